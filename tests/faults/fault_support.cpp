// Helpers of the fault suite (see fault_support.h).
#include "tests/faults/fault_support.h"

#include <algorithm>
#include <cctype>

namespace {
// Kept apart from the other test helpers, so that this file links beside
// either of them.
bool ReadEntry(const std::string& path, Bytes& data) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(file, &size) != 0;
  if (ok) {
    data.assign(static_cast<std::size_t>(size.QuadPart), 0);
    DWORD read = 0;
    ok = data.empty() ||
         (ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr) &&
          read == data.size());
  }
  CloseHandle(file);
  return ok;
}
}  // namespace

FolderState Snapshot(const std::string& folder) {
  FolderState state;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return state;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string path = folder + "\\" + name;
    FileState& entry = state[name];
    entry.attributes = GetFileAttributesA(path.c_str()) & kWatchedAttributes;
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !ReadEntry(path, entry.bytes)) {
      entry.bytes = AsBytes("<unreadable>");
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return state;
}

std::string DescribeChange(const FolderState& before, const FolderState& after) {
  for (const auto& [name, entry] : before) {
    auto found = after.find(name);
    if (found == after.end()) return name + " disappeared";
    if (found->second.attributes != entry.attributes) {
      return name + ": attributes " + std::to_string(entry.attributes) + " became " +
             std::to_string(found->second.attributes);
    }
    if (found->second.bytes != entry.bytes) {
      return name + ": " + std::to_string(entry.bytes.size()) + " bytes became " +
             std::to_string(found->second.bytes.size()) + " different bytes";
    }
  }
  for (const auto& entry : after) {
    if (before.count(entry.first) == 0) return entry.first + " appeared";
  }
  return "";
}

bool IsExtractionTempName(const std::string& name) {
  if (name.size() != 12 || name.compare(0, 4, "~tvk") != 0 || name.compare(8, 4, ".tmp") != 0) {
    return false;
  }
  for (std::size_t i = 4; i < 8; ++i) {
    char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

std::string MakeFolderOfLength(const std::string& parent, std::size_t length, char fill) {
  std::string path = parent;
  while (path.size() < length) {
    std::size_t remaining = length - path.size();  // backslash and name
    std::size_t part = remaining <= 201 ? remaining - 1 : std::min<std::size_t>(200, remaining - 3);
    path += "\\" + std::string(part, fill);
    CreateDirectoryA(path.c_str(), nullptr);
  }
  return path;
}

Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }
