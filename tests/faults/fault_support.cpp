// Helpers of the fault suite (see fault_support.h).
#include "tests/faults/fault_support.h"

#include <cctype>

FolderState Snapshot(const std::string& folder) {
  FolderState state;
  for (const std::string& name : ListFolder(folder)) {
    std::string path = folder + "\\" + name;
    FileState& entry = state[name];
    entry.attributes = GetFileAttributesA(path.c_str()) & kWatchedAttributes;
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !ReadWholeFile(path, entry.bytes)) {
      entry.bytes = AsBytes("<unreadable>");
    }
  }
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
    if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }
