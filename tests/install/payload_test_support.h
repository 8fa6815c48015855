// Helpers shared by the payload tests: whole-file reads, folder listings and
// a scratch folder that is removed with everything in it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// The whole file, or false when it cannot be read.
bool ReadWholeFile(const std::string& path, Bytes& data);
bool WriteWholeFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
// Names of the entries of a folder, "." and ".." left out, sorted.
std::vector<std::string> ListFolder(const std::string& folder);
// The bytes of payload resource id of module, or empty when it has none.
Bytes ResourceBytes(HMODULE module, int id);

// A fresh folder under the temporary folder, named after the test process
// and a serial number; removed recursively (attributes cleared) at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

void RemoveTree(const std::string& path);
