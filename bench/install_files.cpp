// The install's files alone, without the wizard and without the closing
// steps: the 122 manifest rows through ExtractManifest, as RunInstall
// extracts them, with no progress bar. The same work as an installer that
// only copies files; linked with nothing but the extraction code, so the
// process loads no more than that work needs.
//
//   install_files.exe FOLDER [RESULT_FILE]
//
// RESULT_FILE gets "<result> <seconds of the rows>".
#include <windows.h>

#include <cstdio>

#include "base/bounded_format.h"
#include "install/install.h"
#include "startup/startup.h"
#include "wizard/wizard.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: install_files.exe FOLDER [RESULT_FILE]\n");
    return 2;
  }
  appInstance = GetModuleHandleA(nullptr);
  if (!CopyBounded(installDir, sizeof installDir, argv[1])) return 2;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  int result = ExtractManifest(false, nullptr) ? 1 : 0;
  QueryPerformanceCounter(&end);
  if (argc == 3) {
    FILE* out = std::fopen(argv[2], "w");
    if (out == nullptr) return 2;
    std::fprintf(out, "%d %.6f\n", result,
                 static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    if (std::fclose(out) != 0) return 2;
  }
  return result == 1 ? 0 : 1;
}
