// Payload resource extraction: a resource of type "TEXT" holds one zlib
// stream of one installed file. A file is written under a temporary name
// beside its target and moved over the target only once every byte is on
// disk, so a failed write never leaves a cut file under an installed name.
#include <windows.h>
#include <zlib.h>

#include <cctype>
#include <cstring>

#include "install/bounded_format.h"
#include "install/install.h"
#include "startup/startup.h"
#include "wizard/wizard.h"

namespace {

constexpr DWORD kFlagBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
// The bits SetFileAttributesA takes; the others that GetFileAttributesA
// reports (directory, compressed, sparse, ...) are the file system's.
constexpr DWORD kSettableBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// No installed file starts with '~', so a temporary file that a crash left
// behind is never taken for one of ours.
constexpr char kTempPrefix[] = "~tvk";
constexpr int kTempAttempts = 32;

void SetAttributes(const char* path, DWORD attributes) {
  attributes &= kSettableBits;
  SetFileAttributesA(path, attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL);
}

// Names a temporary file in the folder of target. The full form is
// "~tvkXXXX.tmp"; where the folder leaves less room than that (the target
// itself fits, so there is room for at least one character), the name
// shrinks to '~' and as many hex digits as fit: the path never grows past
// the limit that the target already respects.
bool BuildTempPath(const char* target, unsigned serial, char (&path)[MAX_PATH]) {
  std::size_t length = std::strlen(target);
  std::size_t folderLength = length;
  while (folderLength > 0 && target[folderLength - 1] != '\\' && target[folderLength - 1] != '/' &&
         target[folderLength - 1] != ':')
    --folderLength;
  if (folderLength == length || length >= sizeof path) return false;  // no file name, or too long
  std::size_t room = sizeof path - 1 - folderLength;
  char digits[8];
  char name[16];
  if (!FormatBounded(digits, sizeof digits, "%04X", serial & 0xFFFFu)) return false;
  bool fits = FormatBounded(name, sizeof name, "%s%s.tmp", kTempPrefix, digits) && std::strlen(name) <= room;
  if (!fits) {
    std::size_t keep = room - 1 < 4 ? room - 1 : 4;
    if (!FormatBounded(name, sizeof name, "~%s", digits + 4 - keep)) return false;
  }
  return FormatBounded(path, sizeof path, "%.*s%s", static_cast<int>(folderLength), target, name);
}

// Creates a new temporary file beside target; never opens an existing one.
HANDLE CreateTempFile(const char* target, char (&tempPath)[MAX_PATH]) {
  static unsigned counter = 0;
  unsigned base = static_cast<unsigned>(GetCurrentProcessId()) * 0x9E37u;
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    if (!BuildTempPath(target, base + counter++, tempPath)) return INVALID_HANDLE_VALUE;
    HANDLE file = CreateFileA(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

// A temporary name as BuildTempPath gives it: "~tvk", four hex digits and
// ".tmp", or in a folder too deep for that, '~' and up to four upper-case
// hex digits. Nothing else is ever taken for one of ours.
bool IsTempFileName(const char* name) {
  std::size_t length = std::strlen(name);
  bool full = length == 12 && std::strncmp(name, kTempPrefix, 4) == 0 &&
              std::strcmp(name + 8, ".tmp") == 0;
  bool shrunk = length >= 1 && length <= 5 && name[0] == '~';
  if (!full && !shrunk) return false;
  for (std::size_t i = full ? 4 : 1; i < (full ? 8 : length); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (!std::isxdigit(c) || (shrunk && std::islower(c))) return false;
  }
  return true;
}

// Writes all bytes to a new temporary file and moves it over target. On any
// failure the temporary file is removed and target is as it was.
bool ReplaceFileContents(const char* target, const unsigned char* data, unsigned long length) {
  char tempPath[MAX_PATH];
  HANDLE file = CreateTempFile(target, tempPath);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool complete = length == 0 || (data != nullptr && WriteFile(file, data, length, &written, nullptr) &&
                                  written == length);
  // A failed close can mean the last bytes never reached the disk.
  complete = CloseHandle(file) && complete;
  if (complete && MoveFileExA(tempPath, target, MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileA(tempPath);
  return false;
}

}  // namespace

int InflatePayload(int id, unsigned char* buffer, unsigned long* length) {
  if (buffer == nullptr || length == nullptr) return Z_STREAM_ERROR;
  const unsigned char* source = nullptr;
  DWORD sourceSize = 0;
  HRSRC resource = FindResourceA(appInstance, MAKEINTRESOURCEA(id & 0xFFFF), "TEXT");
  if (resource != nullptr) {
    HGLOBAL loaded = LoadResource(appInstance, resource);
    if (loaded != nullptr) {
      source = static_cast<const unsigned char*>(LockResource(loaded));
      sourceSize = SizeofResource(appInstance, resource);
    }
  }
  // No resource means no input: uncompress then reports a nonzero code
  // (Z_DATA_ERROR: the stream ended before it began) like any other fault.
  uLongf produced = *length;
  int result = uncompress(buffer, &produced, source, source != nullptr ? sourceSize : 0);
  if (result == Z_OK) *length = produced;
  return result;
}

int ExtractPayload(int id, const char* fileName, unsigned char* buffer, unsigned long capacity,
                   int readOnly, int hidden, const char* fullPath) {
  unsigned long length = capacity;
  if (InflatePayload(id, buffer, &length) != Z_OK) return 0;
  return WriteInstalledFile(fileName, buffer, length, readOnly, hidden, fullPath);
}

int WriteInstalledFile(const char* fileName, const unsigned char* data, unsigned long length,
                       int readOnly, int hidden, const char* fullPath) {
  char path[MAX_PATH];
  bool built = fullPath != nullptr ? CopyBounded(path, sizeof path, fullPath)
                                   : fileName != nullptr && FormatBounded(path, sizeof path, "%s\\%s", installDir, fileName);
  if (!built) return 0;

  DWORD previous = GetFileAttributesA(path);
  bool existed = previous != INVALID_FILE_ATTRIBUTES;
  if (existed && (previous & FILE_ATTRIBUTE_DIRECTORY)) return 0;
  // The old file loses read-only and hidden before the attempt and keeps
  // that state should the attempt fail.
  if (existed && (previous & kFlagBits)) SetAttributes(path, previous & ~kFlagBits);

  if (!ReplaceFileContents(path, data, length)) return 0;

  DWORD requested = (readOnly ? FILE_ATTRIBUTE_READONLY : 0) | (hidden ? FILE_ATTRIBUTE_HIDDEN : 0);
  if (!existed && requested == 0) return 1;
  // The new file carries the old one's other attributes (system, archive,
  // ...) as if it had been rewritten in place, plus the requested flags.
  DWORD current = GetFileAttributesA(path);
  if (current == INVALID_FILE_ATTRIBUTES) return 1;
  DWORD wanted = current | requested;
  if (existed) wanted |= previous & ~kFlagBits;
  if (wanted != current) SetAttributes(path, wanted);
  return 1;
}

int RemoveStaleTempFiles(const char* folder) {
  char pattern[MAX_PATH];
  if (!FormatBounded(pattern, sizeof pattern, "%s\\~*", folder)) return 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int removed = 0;
  do {
    // The pattern also matches through short names; the full name decides.
    char path[MAX_PATH];
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsTempFileName(found.cFileName) &&
        FormatBounded(path, sizeof path, "%s\\%s", folder, found.cFileName) &&
        DeleteInstalledFile(path) == 0)
      ++removed;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return removed;
}

int MakeWritable(const char* path, int clearReadOnly, int clearHidden) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
  int changed = 0;
  if (clearReadOnly && (attributes & FILE_ATTRIBUTE_READONLY)) {
    attributes &= ~FILE_ATTRIBUTE_READONLY;
    changed = 1;
  }
  if (clearHidden && (attributes & FILE_ATTRIBUTE_HIDDEN)) {
    attributes &= ~FILE_ATTRIBUTE_HIDDEN;
    changed = 1;
  }
  if (changed) SetAttributes(path, attributes);
  return changed;
}

int DeleteInstalledFile(const char* path) {
  MakeWritable(path, 1, 1);
  return DeleteFileA(path) ? 0 : -1;
}
