// Payload resource extraction: a resource of type "TEXT" holds one zlib
// stream of one installed file. A file is written under a temporary name
// beside its target and moved over the target only once every byte is on
// disk, so a failed write never leaves a cut file under an installed name;
// only a folder too deep for that name, or a target another program holds
// open, is written in place, and a failure there is told apart.
#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "base/bounded_format.h"
#include "install/install.h"
#include "base/install_pump.h"
#include "resources/app_state.h"

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

// What goes into an installed file: bytes in memory, or a payload stream
// inflated piece by piece. Write puts all of it into file and may be asked
// more than once (the plain way writes again what a refused replace had
// written); Check says, without writing, whether Write can succeed on its
// side, so the plain way touches the target only for a sound stream, and
// Size is then the number of bytes that Write will give.
class FileContent {
 public:
  virtual bool Write(HANDLE file) = 0;
  virtual bool Check() = 0;
  virtual unsigned long Size() const = 0;
  // Whether the last failure was the content's own (a damaged stream, a
  // file past its capacity) rather than the disk's.
  virtual bool ContentFailed() const = 0;

 protected:
  ~FileContent() = default;
};

bool WriteAll(HANDLE file, const unsigned char* data, unsigned long length) {
  DWORD written = 0;
  return length == 0 || (WriteFile(file, data, length, &written, nullptr) && written == length);
}

class MemoryContent final : public FileContent {
 public:
  MemoryContent(const unsigned char* data, unsigned long length) : data_(data), length_(length) {}
  bool Write(HANDLE file) override { return Check() && WriteAll(file, data_, length_); }
  bool Check() override { return length_ == 0 || data_ != nullptr; }
  unsigned long Size() const override { return length_; }
  bool ContentFailed() const override { return false; }

 private:
  const unsigned char* data_;
  unsigned long length_;
};

// One payload resource, inflated in pieces straight into the file: no file
// is ever whole in memory. The stream decides before the replace: its
// Adler-32 is checked when inflate reaches the end, and only then does
// Write report success.
class StreamContent final : public FileContent {
 public:
  StreamContent(int id, unsigned long capacity) : capacity_(capacity) { FindPayload(id, &source_, &sourceSize_); }
  bool Write(HANDLE file) override { return (result_ = Inflate(file)) == Z_OK; }
  bool Check() override { return (result_ = Inflate(INVALID_HANDLE_VALUE)) == Z_OK; }
  unsigned long Size() const override { return size_; }
  bool ContentFailed() const override { return result_ != Z_OK && result_ != Z_ERRNO; }

 private:
  int Inflate(HANDLE file);

  const unsigned char* source_ = nullptr;
  unsigned long sourceSize_ = 0;
  unsigned long capacity_;
  unsigned long size_ = 0;  // bytes of the last whole pass
  int result_ = Z_OK;
};

// 256 KiB pieces: few enough writes that Wine's per-call cost stays small,
// small enough that the install's memory is the program's, not the files'.
constexpr unsigned long kPieceBytes = 256 * 1024;

// The codes uncompress gives for the same stream and capacity: more output
// than capacity is Z_BUF_ERROR, a stream that ends early is Z_DATA_ERROR.
// Z_ERRNO: the file refused a write.
int StreamContent::Inflate(HANDLE file) {
  std::unique_ptr<unsigned char[]> piece(new (std::nothrow) unsigned char[kPieceBytes]);
  if (!piece) return Z_MEM_ERROR;
  z_stream stream = {};
  stream.next_in = const_cast<Bytef*>(source_);
  stream.avail_in = source_ != nullptr ? sourceSize_ : 0;
  if (inflateInit(&stream) != Z_OK) return Z_MEM_ERROR;
  unsigned long produced = 0;
  int result = Z_OK;
  for (;;) {
    // One byte more than the capacity allows tells "exactly full" from "too
    // long" without a second pass.
    unsigned long left = capacity_ - produced;
    stream.next_out = piece.get();
    stream.avail_out = static_cast<uInt>(left >= kPieceBytes ? kPieceBytes : left + 1);
    uInt offered = stream.avail_out;
    int status = inflate(&stream, Z_NO_FLUSH);
    unsigned long got = offered - stream.avail_out;
    produced += got;
    if (produced > capacity_) {
      result = Z_BUF_ERROR;
      break;
    }
    if (file != INVALID_HANDLE_VALUE && !WriteAll(file, piece.get(), got)) {
      result = Z_ERRNO;
      break;
    }
    if (status == Z_STREAM_END) break;
    if (status != Z_OK) {
      // All input was offered at once, so a stall means the stream ended early.
      result = status == Z_BUF_ERROR || status == Z_NEED_DICT ? Z_DATA_ERROR : status;
      break;
    }
    KeepAnswering();
  }
  inflateEnd(&stream);
  ReleasePayloadPages(source_, sourceSize_);
  if (result == Z_OK) size_ = produced;
  return result;
}

// How a write ended: the new bytes whole under the target's name; nothing
// changed (the target as it was); or a write in place that failed after the
// target was opened, which the install must not pass over as a skipped row.
enum class Written { kWhole, kRefused, kInPlaceFailed };

bool SeekTo(HANDLE file, ULONGLONG offset) {
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != 0;
}

bool SetFileLength(HANDLE file, ULONGLONG length) { return SeekTo(file, length) && SetEndOfFile(file); }

// Claims the disk space for length bytes by writing zeros past the file's
// end, so that the writes over the old bytes that follow need none. Zeros
// written, not the end moved: a file system may extend a file without
// allocating (a sparse end) and run out of space only later, part-way.
bool GrowTo(HANDLE file, ULONGLONG oldLength, ULONGLONG length) {
  if (length <= oldLength) return true;
  std::unique_ptr<unsigned char[]> zeros(new (std::nothrow) unsigned char[kPieceBytes]());
  if (!zeros || !SetFileLength(file, oldLength)) return false;
  for (ULONGLONG left = length - oldLength; left > 0;) {
    unsigned long piece = left < kPieceBytes ? static_cast<unsigned long>(left) : kPieceBytes;
    if (!WriteAll(file, zeros.get(), piece)) return false;
    left -= piece;
    KeepAnswering();
  }
  return true;
}

// The plain way: the target opened and overwritten. Used where no temporary
// name fits and where another program holds the target open; never the
// first choice. A stream is checked whole first, and the file is grown to
// its new length before any old byte is touched: a full disk fails there,
// and the old length is put back, so the old bytes stay whole. (Growing
// needs no room but the new file's; a copy to restore from would need room
// for the old one too, somewhere other than a folder where not even a
// temporary name fits, and restoring it would be another write in place.)
// A write that fails after that can leave a cut file: kInPlaceFailed.
Written WriteInPlace(const char* target, FileContent& content, DWORD attributes) {
  if (!content.Check()) return Written::kRefused;
  // Shares reading and writing: a holder that lets others write must not
  // be refused for having the file open for reading or writing itself.
  HANDLE file = CreateFileA(target, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Written::kRefused;
  bool created = GetLastError() != ERROR_ALREADY_EXISTS;
  LARGE_INTEGER old;
  bool sized = GetFileSizeEx(file, &old) != 0;
  ULONGLONG oldLength = sized ? static_cast<ULONGLONG>(old.QuadPart) : 0;
  bool grown = sized && GrowTo(file, oldLength, content.Size());
  if (sized && !grown) SetFileLength(file, oldLength);
  // The new bytes from the start, then the end cut where they end.
  bool complete = grown && SeekTo(file, 0) && content.Write(file) && SetEndOfFile(file);
  complete = CloseHandle(file) && complete;
  if (!grown && created) DeleteFileA(target);  // made by this attempt, and still empty
  if (complete) SetAttributes(target, attributes);
  return complete ? Written::kWhole : Written::kInPlaceFailed;
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
Written ReplaceFileContents(const char* target, FileContent& content, DWORD attributes) {
  char tempPath[MAX_PATH];
  bool noRoom = false;
  HANDLE file = CreateTempFile(target, attributes, tempPath, &noRoom);
  if (file == INVALID_HANDLE_VALUE) {
    return noRoom ? WriteInPlace(target, content, attributes) : Written::kRefused;
  }
  // Flushed before the rename: after a power cut the file system could
  // otherwise hold the new name over data that never reached the disk, and
  // the user's file would be gone for zeros. A failed close can also mean
  // the last bytes never got there.
  bool complete = content.Write(file) && FlushFileBuffers(file);
  complete = CloseHandle(file) && complete;
  if (complete && MoveFileExA(tempPath, target, MOVEFILE_REPLACE_EXISTING)) return Written::kWhole;
  DWORD error = GetLastError();
  SetFileAttributesA(tempPath, FILE_ATTRIBUTE_NORMAL);  // a read-only file cannot be deleted
  DeleteFileA(tempPath);
  if (!complete || !RefusedWhileInUse(error, target)) return Written::kRefused;
  return WriteInPlace(target, content, attributes);
}

// Everything about an installed file but its bytes: the path, the old
// file's attributes and the new one's.
ExtractOutcome InstallFile(const char* fileName, FileContent& content, int readOnly, int hidden,
                           const char* fullPath) {
  char path[MAX_PATH];
  bool built = fullPath != nullptr ? CopyBounded(path, sizeof path, fullPath)
                                   : fileName != nullptr && FormatInstallPath(path, sizeof path, fileName);
  if (!built) return ExtractOutcome::kNotWritten;

  DWORD previous = GetFileAttributesA(path);
  bool existed = previous != INVALID_FILE_ATTRIBUTES;
  if (existed && (previous & FILE_ATTRIBUTE_DIRECTORY)) return ExtractOutcome::kNotWritten;
  // The old file loses read-only and hidden before the attempt and keeps
  // that state should the disk fail the attempt; a damaged stream changes
  // nothing at all, as when the stream was inflated before any file work.
  bool cleared = existed && (previous & kFlagBits);
  if (cleared) SetAttributes(path, previous & ~kFlagBits);

  // The new file carries the old one's other attributes (system, archive,
  // ...) as if it had been rewritten in place, plus the requested flags.
  DWORD requested = (readOnly ? FILE_ATTRIBUTE_READONLY : 0) | (hidden ? FILE_ATTRIBUTE_HIDDEN : 0);
  DWORD wanted = requested | (existed ? previous & ~kFlagBits : 0);
  Written written = ReplaceFileContents(path, content, wanted);
  if (written == Written::kWhole) return ExtractOutcome::kWritten;
  if (written == Written::kInPlaceFailed) return ExtractOutcome::kInPlaceFailed;
  if (cleared && content.ContentFailed()) SetAttributes(path, previous);
  return ExtractOutcome::kNotWritten;
}

}  // namespace

bool FindPayload(int id, const unsigned char** data, unsigned long* size) {
  *data = nullptr;
  *size = 0;
  HRSRC resource = FindResourceA(appInstance, MAKEINTRESOURCEA(id & 0xFFFF), "TEXT");
  if (resource == nullptr) return false;
  HGLOBAL loaded = LoadResource(appInstance, resource);
  if (loaded == nullptr) return false;
  *data = static_cast<const unsigned char*>(LockResource(loaded));
  *size = *data != nullptr ? SizeofResource(appInstance, resource) : 0;
  return *data != nullptr;
}

// A stream is read once, front to back: its pages need not stay in the
// working set for the rest of the install. Unlocking pages that were never
// locked takes them out of the working set on Windows; they stay in the
// file cache, so a second read costs a soft fault.
void ReleasePayloadPages(const unsigned char* data, unsigned long size) {
  if (data == nullptr || size == 0) return;
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  std::uintptr_t page = system.dwPageSize;
  std::uintptr_t start = reinterpret_cast<std::uintptr_t>(data) & ~(page - 1);
  std::uintptr_t end = reinterpret_cast<std::uintptr_t>(data) + size;
  VirtualUnlock(reinterpret_cast<void*>(start), end - start);
}

int InflatePayload(int id, unsigned char* buffer, unsigned long* length) {
  if (buffer == nullptr || length == nullptr) return Z_STREAM_ERROR;
  const unsigned char* source = nullptr;
  unsigned long sourceSize = 0;
  FindPayload(id, &source, &sourceSize);
  // No resource means no input: uncompress then reports a nonzero code
  // (Z_DATA_ERROR: the stream ended before it began) like any other fault.
  uLongf produced = *length;
  int result = uncompress(buffer, &produced, source, sourceSize);
  if (result == Z_OK) *length = produced;
  return result;
}

ExtractOutcome ExtractPayloadOutcome(int id, const char* fileName, unsigned long capacity, int readOnly,
                                     int hidden) {
  StreamContent content(id, capacity);
  return InstallFile(fileName, content, readOnly, hidden, nullptr);
}

int ExtractPayload(int id, const char* fileName, unsigned long capacity, int readOnly, int hidden,
                   const char* fullPath) {
  StreamContent content(id, capacity);
  return InstallFile(fileName, content, readOnly, hidden, fullPath) == ExtractOutcome::kWritten ? 1 : 0;
}

int WriteInstalledFile(const char* fileName, const unsigned char* data, unsigned long length,
                       int readOnly, int hidden, const char* fullPath) {
  MemoryContent content(data, length);
  return InstallFile(fileName, content, readOnly, hidden, fullPath) == ExtractOutcome::kWritten ? 1 : 0;
}

int RemoveStaleTempFiles(const char* folder) {
  if (folder == nullptr || folder[0] == '\0') return 0;  // "\~tvk*.tmp" is the drive's root
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

bool FormatInstallPath(char* path, unsigned long size, const char* name) {
  if (installDir[0] == '\0') {
    if (size > 0) path[0] = '\0';
    return false;
  }
  return FormatBounded(path, size, "%s\\%s", installDir, name);
}

bool ReadSmallFile(const char* path, unsigned long limit, std::string& bytes) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  DWORD size = GetFileSize(file, &high);
  bool read = size != INVALID_FILE_SIZE && high == 0 && size <= limit;
  if (read) {
    bytes.resize(size);
    DWORD got = 0;
    read = size == 0 || (ReadFile(file, &bytes[0], size, &got, nullptr) && got == size);
  }
  CloseHandle(file);
  return read;
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
