// Payload resource extraction: a resource of type "TEXT" holds one zlib
// stream of one installed file. A file is written under a temporary name
// beside its target and moved over the target only once every byte is on
// disk, so a failed write never leaves a cut file under an installed name;
// only a folder too deep for that name, or a target another program holds
// open, is written in place.
#include <windows.h>
#include <zlib.h>

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
// behind is never taken for one of ours, and only this exact shape counts
// as ours: a user's "~notes" or "~1" in the install folder is the user's.
constexpr char kTempPrefix[] = "~tvk";
constexpr char kTempSuffix[] = ".tmp";
constexpr std::size_t kTempNameLength = 12;  // "~tvkXXXX.tmp"
constexpr int kTempAttempts = 32;

void SetAttributes(const char* path, DWORD attributes) {
  attributes &= kSettableBits;
  SetFileAttributesA(path, attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL);
}

enum class TempName { kMade, kNoRoom, kFailed };

// Names a temporary file "~tvkXXXX.tmp" in the folder of target. kNoRoom
// when the folder is too deep for that name: a shortened name could be
// taken for a file of the user's, so the caller writes the plain way instead.
TempName BuildTempPath(const char* target, unsigned serial, char (&path)[MAX_PATH]) {
  std::size_t length = std::strlen(target);
  std::size_t folderLength = length;
  while (folderLength > 0 && target[folderLength - 1] != '\\' && target[folderLength - 1] != '/' &&
         target[folderLength - 1] != ':')
    --folderLength;
  if (folderLength == length || length >= sizeof path) return TempName::kFailed;
  if (folderLength + kTempNameLength >= sizeof path) return TempName::kNoRoom;
  return FormatBounded(path, sizeof path, "%.*s%s%04X%s", static_cast<int>(folderLength), target,
                       kTempPrefix, serial & 0xFFFFu, kTempSuffix)
             ? TempName::kMade
             : TempName::kFailed;
}

// Creates a new temporary file beside target, carrying attributes from the
// start; never opens an existing one. *noRoom tells a folder too deep for
// the name from a failure.
HANDLE CreateTempFile(const char* target, DWORD attributes, char (&tempPath)[MAX_PATH], bool* noRoom) {
  static unsigned counter = 0;
  unsigned base = static_cast<unsigned>(GetCurrentProcessId()) * 0x9E37u;
  attributes &= kSettableBits;
  *noRoom = false;
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    TempName named = BuildTempPath(target, base + counter++, tempPath);
    if (named != TempName::kMade) {
      *noRoom = named == TempName::kNoRoom;
      return INVALID_HANDLE_VALUE;
    }
    HANDLE file = CreateFileA(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

// The name BuildTempPath gives: "~tvk", four upper-case hex digits, ".tmp",
// letter case included.
bool IsTempFileName(const char* name) {
  if (std::strlen(name) != kTempNameLength || std::strncmp(name, kTempPrefix, 4) != 0 ||
      std::strcmp(name + 8, kTempSuffix) != 0)
    return false;
  for (std::size_t i = 4; i < 8; ++i) {
    char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

// The plain way: open, truncate, one write. Used where no temporary name
// fits and where another program holds the target open; a failed write can
// leave a cut file, which is why it is never the first choice.
bool WriteInPlace(const char* target, const unsigned char* data, unsigned long length,
                  DWORD attributes) {
  if (length != 0 && data == nullptr) return false;
  // Shares reading and writing: a holder that lets others write must not
  // be refused for having the file open for reading or writing itself.
  HANDLE file = CreateFileA(target, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool complete = SetEndOfFile(file) &&
                  (length == 0 || (WriteFile(file, data, length, &written, nullptr) && written == length));
  complete = CloseHandle(file) && complete;
  if (complete) SetAttributes(target, attributes);
  return complete;
}

// True when a replace of target failed only because another program has
// it open (the input method holding its dictionaries during a reinstall):
// the file is there, is a plain file and is not read-only, so the refusal
// was about the open handle, which still lets the plain way write.
bool RefusedWhileInUse(DWORD error, const char* target) {
  if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return false;
  DWORD attributes = GetFileAttributesA(target);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

// The one way every installed file reaches the disk. All bytes go to a
// new temporary file that is then moved over target, the file getting its
// attributes when it is made (the creating handle may write a read-only
// file). On a failure the temporary file is removed and target is as it
// was, except where the plain way is taken: a folder too deep for the
// temporary name, or a replace refused because the target is in use.
bool ReplaceFileContents(const char* target, const unsigned char* data, unsigned long length,
                         DWORD attributes) {
  char tempPath[MAX_PATH];
  bool noRoom = false;
  HANDLE file = CreateTempFile(target, attributes, tempPath, &noRoom);
  if (file == INVALID_HANDLE_VALUE) return noRoom && WriteInPlace(target, data, length, attributes);
  DWORD written = 0;
  bool complete = length == 0 || (data != nullptr && WriteFile(file, data, length, &written, nullptr) &&
                                  written == length);
  // A failed close can mean the last bytes never reached the disk.
  complete = CloseHandle(file) && complete;
  if (complete && MoveFileExA(tempPath, target, MOVEFILE_REPLACE_EXISTING)) return true;
  DWORD error = GetLastError();
  SetFileAttributesA(tempPath, FILE_ATTRIBUTE_NORMAL);  // a read-only file cannot be deleted
  DeleteFileA(tempPath);
  return complete && RefusedWhileInUse(error, target) && WriteInPlace(target, data, length, attributes);
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

  // The new file carries the old one's other attributes (system, archive,
  // ...) as if it had been rewritten in place, plus the requested flags.
  DWORD requested = (readOnly ? FILE_ATTRIBUTE_READONLY : 0) | (hidden ? FILE_ATTRIBUTE_HIDDEN : 0);
  DWORD wanted = requested | (existed ? previous & ~kFlagBits : 0);
  return ReplaceFileContents(path, data, length, wanted) ? 1 : 0;
}

int RemoveStaleTempFiles(const char* folder) {
  char pattern[MAX_PATH];
  if (!FormatBounded(pattern, sizeof pattern, "%s\\%s*%s", folder, kTempPrefix, kTempSuffix)) return 0;
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
