// Composition of the legacy shortcut folder paths (see legacy_path.h).
#include "base/legacy_path.h"

#include "base/bounded_format.h"

namespace {
const char* FolderEnding(int folderCode) {
  switch (folderCode) {
    case kFolderPrograms: return "start menu\\programs";
    case kFolderDesktop: return "Desktop";
    default: return "";
  }
}
}  // namespace

bool ComposeLegacyFolderPath(char* out, std::size_t size, const LegacyFolderFacts& facts,
                             int folderCode, LeadByteTest isLeadByte) {
  if (size > 0) out[0] = '\0';
  if (facts.isWindowsNT && facts.userName == nullptr) return false;
  if (facts.windowsDirectory == nullptr) return false;
  const char* separator = EndsWithBackslash(facts.windowsDirectory, isLeadByte) ? "" : "\\";
  if (facts.isWindowsNT) {
    return FormatBounded(out, size, "%s%sprofiles\\%s\\%s", facts.windowsDirectory, separator,
                         facts.userName, FolderEnding(folderCode));
  }
  return FormatBounded(out, size, "%s%s%s", facts.windowsDirectory, separator,
                       FolderEnding(folderCode));
}
