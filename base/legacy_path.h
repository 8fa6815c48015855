// Folder paths for shortcuts on systems of major version 3, which have no
// shell special-folder interface: composed from the Windows directory by
// fixed rules. No Windows header here (also built natively).
#pragma once

#include <cstddef>

#include "base/path_text.h"

// The shell folder codes this program uses (CSIDL_DESKTOP, CSIDL_PROGRAMS).
constexpr int kFolderDesktop = 0;
constexpr int kFolderPrograms = 2;

struct LegacyFolderFacts {
  const char* windowsDirectory;  // null when it could not be read
  bool isWindowsNT;
  const char* userName;          // NT only: null when the query failed
};

// "<windows>\[profiles\<user>\]start menu\programs" for kFolderPrograms,
// "...Desktop" for kFolderDesktop, nothing appended for other codes. A
// Windows directory that is a drive root keeps its single backslash.
// False (out empty) when a fact is missing or the path does not fit.
bool ComposeLegacyFolderPath(char* out, std::size_t size, const LegacyFolderFacts& facts,
                             int folderCode, LeadByteTest isLeadByte);
