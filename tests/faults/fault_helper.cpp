// A second process for the fault tests:
//   fault_helper hold PATH NAME      opens PATH for reading and writing with
//                                    no sharing, sets event NAME_ready and
//                                    keeps the handle until NAME_release is set
//   fault_helper hold-share-N PATH NAME  the same with share mode N (decimal
//                                    FILE_SHARE_* bits)
//   fault_helper extract FOLDER NAME extracts the manifest into FOLDER over
//                                    and over, after setting NAME_ready, until
//                                    it is killed
// Exit codes: 0 done, 2 bad arguments, 3 the file could not be opened.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "base/bounded_format.h"
#include "install/install.h"
#include "base/manifest.h"
#include "startup/startup.h"
#include "wizard/wizard.h"

namespace {

constexpr DWORD kHoldLimitMs = 60000;

HANDLE OpenNamedEvent(const std::string& name) {
  return OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, name.c_str());
}

int Hold(const char* path, DWORD share, const std::string& name) {
  HANDLE file =
      CreateFileA(path, GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  HANDLE ready = OpenNamedEvent(name + "_ready");
  HANDLE release = OpenNamedEvent(name + "_release");
  if (ready != nullptr) SetEvent(ready);
  if (release != nullptr) WaitForSingleObject(release, kHoldLimitMs);
  CloseHandle(file);
  if (ready != nullptr) CloseHandle(ready);
  if (release != nullptr) CloseHandle(release);
  return 0;
}

int ExtractForever(const char* folder, const std::string& name) {
  appInstance = GetModuleHandleA(nullptr);
  if (!CopyBounded(installDir, sizeof installDir, folder)) return 2;
  auto* buffer = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, kInstallBufferSize));
  if (buffer == nullptr) return 2;
  HANDLE ready = OpenNamedEvent(name + "_ready");
  if (ready != nullptr) SetEvent(ready);
  for (;;) {
    for (const ManifestRow& row : kManifest) {
      ExtractPayload(row.id, row.fileName, kInstallBufferSize, row.readOnly, row.hidden,
                     nullptr);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  constexpr char kHoldShare[] = "hold-share-";
  if (argc == 4 && std::strcmp(argv[1], "hold") == 0) return Hold(argv[2], 0, argv[3]);
  if (argc == 4 && std::strncmp(argv[1], kHoldShare, sizeof kHoldShare - 1) == 0) {
    DWORD share = std::strtoul(argv[1] + sizeof kHoldShare - 1, nullptr, 10);
    return Hold(argv[2], share, argv[3]);
  }
  if (argc == 4 && std::strcmp(argv[1], "extract") == 0) return ExtractForever(argv[2], argv[3]);
  return 2;
}
