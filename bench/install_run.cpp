// One install without the wizard, into a folder that the caller made. The
// suite times the whole process from outside; with --result the program
// also times the run from inside.
//
//   install_run.exe FOLDER [--result FILE]
//
// RunInstall does it all: the files, the configuration file, the shortcuts
// and the registration. (install_files.exe installs the files alone.)
//
// With --result the program shows the progress bar that the install page
// holds and notes when the sequence sets it to 10 (before the stale-file
// deletions) and to 90 (after the last manifest row): that span is the
// extraction loop. FILE then gets "<result> <seconds> <extraction seconds>
// <peak working set bytes> <working set before the run bytes> <seconds
// spent in the progress bar's own procedure (its repaints)>".
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "base/bounded_format.h"
#include "install/install.h"
#include "resources/resource.h"
#include "shell/shell.h"
#include "startup/startup.h"
#include "tests/support/sandbox.h"
#include "wizard/wizard.h"

namespace {

constexpr WPARAM kProgressStarted = 10;
constexpr WPARAM kProgressFilesDone = 90;

WNDPROC progressDefaultProc = nullptr;
LARGE_INTEGER extractionStart = {};
LARGE_INTEGER extractionEnd = {};

LONGLONG progressBarTicks = 0;  // spent in the progress bar's own procedure

LRESULT CALLBACK TimingProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == PBM_SETPOS && wParam == kProgressStarted) QueryPerformanceCounter(&extractionStart);
  if (message == PBM_SETPOS && wParam == kProgressFilesDone) QueryPerformanceCounter(&extractionEnd);
  LARGE_INTEGER before, after;
  QueryPerformanceCounter(&before);
  LRESULT result = CallWindowProcA(progressDefaultProc, window, message, wParam, lParam);
  QueryPerformanceCounter(&after);
  progressBarTicks += after.QuadPart - before.QuadPart;
  return result;
}

// Stands in for the wizard: a window with the progress bar under the id
// that the sequence looks up.
bool CreateProgressWindow() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  mainDialog = CreateWindowA("STATIC", "install_run", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 120,
                             nullptr, nullptr, appInstance, nullptr);
  if (mainDialog == nullptr) return false;
  HWND bar = CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD, 10, 40, 360, 20, mainDialog,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS)), appInstance, nullptr);
  if (bar == nullptr) return false;
  progressDefaultProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TimingProgressProc)));
  return progressDefaultProc != nullptr;
}

bool SetFolders(const char* folder) {
  char self[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
  if (length == 0 || length >= sizeof self) return false;
  char* slash = std::strrchr(self, '\\');
  if (slash == nullptr) return false;
  slash[1] = '\0';
  char windows[MAX_PATH];
  UINT windowsLength = GetWindowsDirectoryA(windows, sizeof windows);
  if (windowsLength == 0 || windowsLength >= sizeof windows) return false;
  return CopyBounded(installDir, sizeof installDir, folder) &&
         CopyBounded(moduleDir, sizeof moduleDir, self) &&
         FormatBounded(windowsDir, sizeof windowsDir, "%s\\", windows);
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

PROCESS_MEMORY_COUNTERS MemoryNow() {
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  return memory;
}

bool WriteResult(const char* resultPath, int result, double seconds, SIZE_T workingSetBefore) {
  PROCESS_MEMORY_COUNTERS memory = MemoryNow();
  FILE* out = std::fopen(resultPath, "w");
  if (out == nullptr) return false;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::fprintf(out, "%d %.6f %.6f %llu %llu %.6f\n", result, seconds, Seconds(extractionStart, extractionEnd),
               static_cast<unsigned long long>(memory.PeakWorkingSetSize),
               static_cast<unsigned long long>(workingSetBefore),
               static_cast<double>(progressBarTicks) / static_cast<double>(frequency.QuadPart));
  return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* resultPath = nullptr;
  bool understood = argc == 2 || (argc == 4 && std::strcmp(argv[2], "--result") == 0);
  if (argc == 4) resultPath = argv[3];
  if (!understood) {
    std::fprintf(stderr, "usage: install_run.exe FOLDER [--result FILE]\n");
    return 2;
  }
  // Shortcuts and registration go to keys and folders of this run, removed
  // at its end; set up before any shell call, since the shell keeps the
  // folders it read first.
  Sandbox sandbox("install_run", Sandbox::kAll);
  if (!sandbox.error().empty()) {
    std::fprintf(stderr, "%s\n", sandbox.error().c_str());
    return 2;
  }
  appInstance = GetModuleHandleA(nullptr);
  if (!SetFolders(argv[1])) return 2;
  // What the system probe would find under Wine (NT 6.1), and the desktop
  // icon box ticked: the longest path through the sequence.
  isWindowsNT = 1;
  isVistaOrLater = 1;
  desktopIconWanted = 1;
  if (resultPath != nullptr && !CreateProgressWindow()) return 2;

  SIZE_T workingSetBefore = resultPath != nullptr ? MemoryNow().WorkingSetSize : 0;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  int result = RunInstall(kShellInstallSteps);
  QueryPerformanceCounter(&end);

  if (resultPath != nullptr) {
    bool written = WriteResult(resultPath, result, Seconds(start, end), workingSetBefore);
    DestroyWindow(mainDialog);
    if (!written) return 2;
  }
  return result == 1 ? 0 : 1;
}
