// Path text helpers (see path_text.h).
#include "base/path_text.h"

#include "base/bounded_format.h"

#include <cstring>

namespace {
// Start of the last character of path, or null for an empty path.
const char* LastCharacter(const char* path, LeadByteTest isLeadByte) {
  const char* last = nullptr;
  for (const char* p = path; *p != '\0'; ++p) {
    last = p;
    // A lead byte at the very end has no trail byte: it is a character alone.
    if (isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') ++p;
  }
  return last;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A port number: 1 to 9, or the superscript digits that Windows takes for
// them too ("COM\xB9" is COM1 in code page 1252: \xB9, \xB2, \xB3 are the
// superscripts 1, 2, 3), unless the byte starts a double-byte character.
bool IsPortDigit(unsigned char c, LeadByteTest isLeadByte) {
  if (c >= '1' && c <= '9') return true;
  bool superscript = c == 0xB9 || c == 0xB2 || c == 0xB3;
  return superscript && (isLeadByte == nullptr || !isLeadByte(c));
}

// The names that open a device in every folder. Windows ignores an
// extension and spaces before it, so "con .txt" is the console too.
bool IsDeviceName(const char* name, std::size_t length, LeadByteTest isLeadByte) {
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
  static const char* const kNumbered[] = {"COM", "LPT"};
  std::size_t base = 0;
  while (base < length && name[base] != '.') ++base;
  while (base > 0 && name[base - 1] == ' ') --base;
  auto same = [&](const char* device, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
      if (Upper(name[i]) != device[i]) return false;
    return true;
  };
  for (const char* device : kDevices)
    if (base == 3 && same(device, 3)) return true;
  for (const char* device : kNumbered)
    if (base == 4 && same(device, 3) && IsPortDigit(static_cast<unsigned char>(name[3]), isLeadByte))
      return true;
  return false;
}

bool IsForbiddenInName(unsigned char c) {
  return c < 0x20 || std::strchr("<>:\"/|?*", c) != nullptr;
}

// One component, [name, name + length): not empty, no forbidden character,
// not ending in a space or a dot, not a device. Trail bytes of double-byte
// characters are skipped, whatever their value.
bool IsPlainName(const char* name, std::size_t length, LeadByteTest isLeadByte) {
  if (length == 0) return false;
  char last = '\0';
  for (std::size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    last = name[i];
    if (isLeadByte != nullptr && isLeadByte(c) && i + 1 < length) {
      ++i;
      continue;
    }
    if (IsForbiddenInName(c)) return false;
  }
  return last != ' ' && last != '.' && !IsDeviceName(name, length, isLeadByte);
}

// The end of the component that starts at p: the next backslash that is a
// character of its own, or the terminator.
const char* ComponentEnd(const char* p, LeadByteTest isLeadByte) {
  while (*p != '\0' && *p != '\\') {
    if (isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') ++p;
    ++p;
  }
  return p;
}
}  // namespace

bool EndsWithBackslash(const char* path, LeadByteTest isLeadByte) {
  const char* last = LastCharacter(path, isLeadByte);
  return last != nullptr && *last == '\\';
}

void DropTrailingBackslash(char* path, LeadByteTest isLeadByte) {
  char* last = const_cast<char*>(LastCharacter(path, isLeadByte));
  if (last != nullptr && *last == '\\') *last = '\0';
}

const char* FindLastBackslash(const char* path, LeadByteTest isLeadByte) {
  const char* found = nullptr;
  for (const char* p = path; *p != '\0'; ++p) {
    if (*p == '\\') {
      found = p;
    } else if (isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') {
      ++p;
    }
  }
  return found;
}

char* FindLastBackslash(char* path, LeadByteTest isLeadByte) {
  return const_cast<char*>(FindLastBackslash(static_cast<const char*>(path), isLeadByte));
}

bool JoinPath(char* out, std::size_t size, const char* folder, const char* name,
              LeadByteTest isLeadByte) {
  const char* separator = EndsWithBackslash(folder, isLeadByte) ? "" : "\\";
  return FormatBounded(out, size, "%s%s%s", folder, separator, name);
}

bool IsPlainFullPath(const char* path, LeadByteTest isLeadByte) {
  if (path == nullptr) return false;
  const char* rest;
  std::size_t required;  // components that must be there: server and share
  if (path[0] == '\\' && path[1] == '\\') {
    rest = path + 2;
    required = 2;
  } else if (IsDriveLetter(path[0]) && path[1] == ':' && path[2] == '\\') {
    rest = path + 3;
    required = 0;
    if (*rest == '\0') return true;  // the drive's root
  } else {
    return false;  // relative, drive-relative, or not a path at all
  }
  std::size_t count = 0;
  for (const char* p = rest;;) {
    const char* end = ComponentEnd(p, isLeadByte);
    if (!IsPlainName(p, static_cast<std::size_t>(end - p), isLeadByte)) return false;
    ++count;
    if (*end == '\0') break;
    p = end + 1;
    if (*p == '\0') break;  // one trailing backslash
  }
  return count >= required;
}
