// Helpers of the fault suite (see fault_support.h).
#include "tests/faults/fault_support.h"

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
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !ReadWholeFile(path, entry.bytes)) {
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
