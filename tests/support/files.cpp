// Scratch folders and whole-file helpers (see files.h).
#include "tests/support/files.h"

#include <algorithm>

namespace {
// tmpfs, which the disk-full tests use, hands out space in pages.
constexpr unsigned long long kPage = 4096;
}  // namespace

bool ReadWholeFile(const std::string& path, Bytes& bytes) {
  std::string text;
  bool ok = ReadWholeFile(path, text);
  bytes.assign(text.begin(), text.end());
  return ok;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<char> chunk(1 << 16);
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) != 0) &&
         got > 0)
    bytes.append(chunk.data(), got);
  CloseHandle(file);
  if (!ok) bytes.clear();
  return ok;
}

std::string ReadBytes(const std::string& path) {
  std::string bytes;
  return ReadWholeFile(path, bytes) ? bytes : "<missing>";
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, DWORD attributes) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  ok = CloseHandle(file) && ok;
  if (ok && attributes != 0) ok = SetFileAttributesA(path.c_str(), attributes) != 0;
  return ok;
}

Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsEmptyFolder(const std::string& path) { return IsFolder(path) && ListFolder(path).empty(); }

void SetAttributes(const std::string& path, DWORD attributes) {
  SetFileAttributesA(path.c_str(), attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL);
}

DWORD ReadOnlyHidden(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return attributes;
  return attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveTree(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileA(path.c_str());
    return;
  }
  for (const std::string& name : ListFolder(path)) RemoveTree(path + "\\" + name);
  RemoveDirectoryA(path.c_str());
}

std::string MakeScratchFolder(const std::string& tag) {
  char temp[MAX_PATH];
  DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length >= sizeof temp) return std::string();
  std::string folder = std::string(temp) + tag + "-" + std::to_string(GetCurrentProcessId());
  RemoveTree(folder);
  return CreateDirectoryA(folder.c_str(), nullptr) ? folder : std::string();
}

ScratchFolder::ScratchFolder(const std::string& tag) {
  static int serial = 0;
  path_ = MakeScratchFolder(tag + "_" + std::to_string(++serial));
}

ScratchFolder::~ScratchFolder() {
  if (!path_.empty()) RemoveTree(path_);
}

std::string MakeFolderOfLength(const std::string& parent, std::size_t length, char fill) {
  std::string path = parent;
  while (path.size() < length) {
    std::size_t remaining = length - path.size();  // backslash and name
    // Never leave a last step too short for a backslash and one character.
    std::size_t part = remaining <= 201 ? remaining - 1 : std::min<std::size_t>(200, remaining - 3);
    if (part == 0) return std::string();
    path += "\\" + std::string(part, fill);
    if (!CreateDirectoryA(path.c_str(), nullptr) && !IsFolder(path)) return std::string();
  }
  return path.size() == length ? path : std::string();
}

unsigned long long FreeBytes(const std::string& folder) {
  ULARGE_INTEGER available, total, free;
  if (!GetDiskFreeSpaceExA((folder + "\\").c_str(), &available, &total, &free)) return 0;
  return available.QuadPart;
}

// Real bytes: a sparse file would take no space.
bool FillDisk(const std::string& path, unsigned long long leave) {
  unsigned long long free = FreeBytes(path.substr(0, path.rfind('\\')));
  if (free < leave) return false;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  static const std::vector<char> chunk(1 << 16, 'F');
  bool ok = true;
  for (unsigned long long left = (free - leave) / kPage * kPage; ok && left > 0;) {
    DWORD part = static_cast<DWORD>(left < chunk.size() ? left : chunk.size());
    DWORD written = 0;
    ok = WriteFile(file, chunk.data(), part, &written, nullptr) && written == part;
    left -= part;
  }
  return CloseHandle(file) && ok;
}
