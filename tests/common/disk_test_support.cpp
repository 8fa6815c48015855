// Helpers of the disk-facing Windows tests (see disk_test_support.h).
#include "tests/common/disk_test_support.h"

#include <cstdio>

#include "install/install.h"
#include "render/render.h"
#include "resources/resource.h"
#include "startup/startup.h"

std::string MakeScratchFolder(const std::string& tag) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string folder = std::string(temp) + tag + "-" + std::to_string(GetCurrentProcessId());
  RemoveTree(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

std::string ReadBytes(const std::string& path) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return "<missing>";
  for (int c; (c = std::fgetc(file)) != EOF;) bytes += static_cast<char>(c);
  std::fclose(file);
  return bytes;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsEmptyFolder(const std::string& path) {
  if (!IsFolder(path)) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  bool empty = true;
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") empty = false;
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return empty;
}

void SetAttributes(const std::string& path, DWORD attributes) {
  SetFileAttributesA(path.c_str(), attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL);
}

bool EnsureTestGlyphFont() {
  static bool loaded = false;
  if (loaded) return true;
  appInstance = GetModuleHandleA(nullptr);
  static std::vector<unsigned char> font(307200);
  unsigned long length = static_cast<unsigned long>(font.size());
  if (InflatePayload(IDR_GLYPH_FONT, font.data(), &length) != 0) return false;
  loaded = LoadGlyphFont(font.data()) != 0;
  return loaded;
}
