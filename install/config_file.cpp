// The installed configuration file "dodazaze.ini": records whether Chinese
// showed correctly here and the interface language the user picked.
#include <windows.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>

#include "install/bounded_format.h"
#include "install/config_rewrite.h"
#include "install/install.h"
#include "startup/startup.h"
#include "wizard/wizard.h"

int UpdateConfigFile() {
  char path[MAX_PATH];
  // A path that does not fit cannot name the installed file.
  if (!FormatBounded(path, sizeof path, "%s\\dodazaze.ini", installDir)) return 1;
  MakeWritable(path, 1, 1);
  _chmod(path, _S_IREAD | _S_IWRITE);

  // Byte mode (see RewriteConfigKeys); "r+" never creates a missing file.
  std::FILE* file = std::fopen(path, "r+b");
  if (file != nullptr) {
    // The product draws its own bitmap font when the system showed no Chinese.
    RewriteConfigKeys(file, chineseDisplayOk ? '0' : '1', forceLanguage);
    std::fclose(file);
  }

  _chmod(path, _S_IREAD);
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES)
    SetFileAttributesA(path, attributes | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  return 1;
}
