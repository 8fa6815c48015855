// Helpers of the fault suite: snapshots of a folder (names, bytes and the
// attributes the installer may change), compared before and after a fault,
// and the names of the extraction's temporary files.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/files.h"

// The attributes an install step may set or clear; the rest (archive, for
// one, which the file system keeps on its own) are left out of snapshots.
constexpr DWORD kWatchedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

struct FileState {
  DWORD attributes = 0;  // masked with kWatchedAttributes
  Bytes bytes;           // empty for a folder
  bool operator==(const FileState& other) const {
    return attributes == other.attributes && bytes == other.bytes;
  }
};
using FolderState = std::map<std::string, FileState>;

// Every entry of folder, one level deep.
FolderState Snapshot(const std::string& folder);
// "" when equal, else the first difference in words, for a failure message.
std::string DescribeChange(const FolderState& before, const FolderState& after);

// A temporary file of the extraction: "~tvk", four upper-case hex digits, ".tmp".
bool IsExtractionTempName(const std::string& name);
