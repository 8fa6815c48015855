// Scratch folders and whole-file helpers of the Windows tests and benchmarks.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// The whole file, or false when it cannot be read (bytes then empty).
bool ReadWholeFile(const std::string& path, Bytes& bytes);
bool ReadWholeFile(const std::string& path, std::string& bytes);
// The whole file, or "<missing>" when it cannot be read.
std::string ReadBytes(const std::string& path);
// Replaces the file (read-only or hidden ones too) and then gives it
// attributes (FILE_ATTRIBUTE_*; 0 leaves it normal).
[[nodiscard]] bool WriteWholeFile(const std::string& path, const std::string& bytes,
                                  DWORD attributes = 0);
Bytes AsBytes(const std::string& text);

bool FileExists(const std::string& path);
bool IsFolder(const std::string& path);
bool IsEmptyFolder(const std::string& path);
// Sets a file's attributes (FILE_ATTRIBUTE_*); 0 stands for normal.
void SetAttributes(const std::string& path, DWORD attributes);
// The read-only and hidden bits, or INVALID_FILE_ATTRIBUTES.
DWORD ReadOnlyHidden(const std::string& path);
// Names of the entries of a folder, "." and ".." left out, sorted.
std::vector<std::string> ListFolder(const std::string& folder);
// Deletes a file, or a folder and everything in it, read-only and hidden
// entries included; nothing when path does not exist.
void RemoveTree(const std::string& path);

// A fresh folder "<temp>\<tag>-<pid>" (created; an old one is removed first).
std::string MakeScratchFolder(const std::string& tag);

// A fresh folder under the temporary folder, named after the tag, the test
// process and a serial number; removed with everything in it at the end.
// path() is empty when it could not be made.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& tag = "tavik_scratch");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// A folder whose path has exactly `length` characters, made below parent
// (which exists) from components of at most 200 characters of fill.
std::string MakeFolderOfLength(const std::string& parent, std::size_t length, char fill);

// Free bytes for the caller on the volume of folder.
unsigned long long FreeBytes(const std::string& folder);
// Grows the file at path until the volume has at most `leave` bytes free.
bool FillDisk(const std::string& path, unsigned long long leave);
