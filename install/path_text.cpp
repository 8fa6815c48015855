// Path text helpers (see path_text.h).
#include "install/path_text.h"

#include "install/bounded_format.h"

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
}  // namespace

bool EndsWithBackslash(const char* path, LeadByteTest isLeadByte) {
  const char* last = LastCharacter(path, isLeadByte);
  return last != nullptr && *last == '\\';
}

void DropTrailingBackslash(char* path, LeadByteTest isLeadByte) {
  char* last = const_cast<char*>(LastCharacter(path, isLeadByte));
  if (last != nullptr && *last == '\\') *last = '\0';
}

char* FindLastBackslash(char* path, LeadByteTest isLeadByte) {
  char* found = nullptr;
  for (char* p = path; *p != '\0'; ++p) {
    if (*p == '\\') {
      found = p;
    } else if (isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') {
      ++p;
    }
  }
  return found;
}

bool JoinPath(char* out, std::size_t size, const char* folder, const char* name,
              LeadByteTest isLeadByte) {
  const char* separator = EndsWithBackslash(folder, isLeadByte) ? "" : "\\";
  return FormatBounded(out, size, "%s%s%s", folder, separator, name);
}
