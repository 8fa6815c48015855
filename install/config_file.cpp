// The installed configuration file "dodazaze.ini": records whether Chinese
// showed correctly here and the interface language the user picked.
#include <windows.h>

#include <string>

#include "base/config_rewrite.h"
#include "install/install.h"
#include "resources/app_state.h"

namespace {
// Far beyond any configuration file; a larger one is not ours to rewrite.
constexpr unsigned long kLargestConfigFile = 1ul << 20;
}  // namespace

int UpdateConfigFile() {
  char path[MAX_PATH];
  // A path that does not fit cannot name the installed file.
  if (!FormatInstallPath(path, sizeof path, "dodazaze.ini")) return 1;
  std::string text;
  if (ReadSmallFile(path, kLargestConfigFile, text)) {
    // The product draws its own bitmap font when the system showed no
    // Chinese. Written through a temporary file and a replace, as every
    // installed file: the values may change length, and a failed write
    // then leaves the old file whole rather than cut.
    std::string updated = RewriteConfigText(text, chineseDisplayOk ? '0' : '1', forceLanguage);
    WriteInstalledFile(nullptr, reinterpret_cast<const unsigned char*>(updated.data()),
                       static_cast<unsigned long>(updated.size()), 1, 1, path);
  }
  // Read-only and hidden whatever happened, as after a successful write.
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    SetFileAttributesA(path, attributes | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  return 1;
}
