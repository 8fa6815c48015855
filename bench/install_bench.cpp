// Install benchmark: runs the whole install sequence over the product's
// payload into a fresh folder and reports how long it took, how fast the
// installed bytes came out and the peak working set. Each run is a child
// process of its own, so every peak belongs to one run; the parent prints
// the median of the runs.
//
//   install_bench.exe [--runs N]
//
// Shortcuts and registry keys go to scratch places of the child process
// (HKEY_CURRENT_USER and HKEY_CLASSES_ROOT redirected), never to the real
// Start menu, desktop or classes; message boxes are answered at once.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/bounded_format.h"
#include "install/install.h"
#include "resources/resource.h"
#include "shell/shell.h"
#include "startup/startup.h"
#include "wizard/wizard.h"

namespace {

struct RunResult {
  double seconds = 0;            // the whole RunInstall
  double extractionSeconds = 0;  // progress 10 to 90: stale deletions and the 122 rows
  unsigned long long installedBytes = 0;
  unsigned long long installedFiles = 0;
  unsigned long long peakWorkingSet = 0;
  unsigned long long workingSetBefore = 0;
  int result = 0;
};

HHOOK answerHook = nullptr;
std::vector<HWND> pendingBoxes;
WNDPROC progressDefaultProc = nullptr;
LARGE_INTEGER extractionStart = {};
LARGE_INTEGER extractionEnd = {};

// The sequence sets 10 before its first deletion and 90 after its last row.
LRESULT CALLBACK TimingProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == PBM_SETPOS && wParam == 10) QueryPerformanceCounter(&extractionStart);
  if (message == PBM_SETPOS && wParam == 90) QueryPerformanceCounter(&extractionEnd);
  return CallWindowProcA(progressDefaultProc, window, message, wParam, lParam);
}

// Boxes are answered from their own modal loop, once their buttons are
// laid out: Yes where there is a Yes, OK otherwise.
void CALLBACK AnswerPendingBoxes(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  for (HWND box : pendingBoxes) {
    if (!IsWindow(box)) continue;
    HWND yes = GetDlgItem(box, IDYES);
    int answer =
        yes != nullptr && (GetWindowLongPtrA(yes, GWL_STYLE) & WS_VISIBLE) != 0 ? IDYES : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
  }
  pendingBoxes.clear();
}

LRESULT CALLBACK NoteMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && reinterpret_cast<HWND>(wParam) != mainDialog) {
    pendingBoxes.push_back(reinterpret_cast<HWND>(wParam));
    SetTimer(nullptr, 0, 1, AnswerPendingBoxes);
  }
  return CallNextHookEx(answerHook, code, wParam, lParam);
}

void DeleteTree(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileA(path.c_str());
    return;
  }
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0)
        DeleteTree(path + "\\" + data.cFileName);
    } while (FindNextFileA(search, &data));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

void MeasureFolder(const std::string& folder, RunResult& run) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    run.installedBytes +=
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    ++run.installedFiles;
  } while (FindNextFileA(search, &data));
  FindClose(search);
}

HKEY CreateKey(HKEY parent, const std::string& path) {
  HKEY key = nullptr;
  RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  return key;
}

void SetString(HKEY key, const char* name, const std::string& value) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

// Before any shell call: the shell caches the desktop folder on first use.
bool RedirectUserAndClasses(const std::string& scratchKey, const std::string& root) {
  HKEY user = CreateKey(HKEY_CURRENT_USER, scratchKey + "\\user");
  HKEY classes = CreateKey(HKEY_CURRENT_USER, scratchKey + "\\classes");
  HKEY folders =
      user != nullptr
          ? CreateKey(user,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders")
          : nullptr;
  bool ok = classes != nullptr && folders != nullptr;
  if (ok) {
    SetString(folders, "Programs", root + "\\Programs");
    SetString(folders, "Desktop", root + "\\Desktop");
    ok = RegOverridePredefKey(HKEY_CURRENT_USER, user) == ERROR_SUCCESS &&
         RegOverridePredefKey(HKEY_CLASSES_ROOT, classes) == ERROR_SUCCESS;
  }
  if (folders != nullptr) RegCloseKey(folders);
  if (user != nullptr) RegCloseKey(user);
  if (classes != nullptr) RegCloseKey(classes);
  return ok;
}

void UndoRedirection(const std::string& scratchKey) {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
  RegDeleteTreeA(HKEY_CURRENT_USER, scratchKey.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TavikBench");  // fails while another run uses it
}

// The stand-in for the wizard: a window with the progress bar, as the
// install page shows it.
bool CreateMainWindow() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  mainDialog = CreateWindowA("STATIC", "install benchmark", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             400, 120, nullptr, nullptr, appInstance, nullptr);
  if (mainDialog == nullptr) return false;
  HWND bar = CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD, 10, 40, 360, 20, mainDialog,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS)), appInstance,
                           nullptr);
  if (bar == nullptr) return false;
  progressDefaultProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TimingProgressProc)));
  return true;
}

// One run in this process; its figures go to resultPath.
int RunChild(const char* resultPath) {
  appInstance = GetModuleHandleA(nullptr);
  char temp[MAX_PATH];
  if (GetTempPathA(sizeof temp, temp) == 0) return 2;
  std::string root = std::string(temp) + "tavik_bench_" + std::to_string(GetCurrentProcessId());
  std::string scratchKey = "Software\\TavikBench\\" + std::to_string(GetCurrentProcessId());
  DeleteTree(root);
  std::string install = root + "\\install";
  std::string windows = root + "\\windows\\";
  for (const std::string& folder :
       {root, install, windows, root + "\\Programs", root + "\\Desktop"})
    CreateDirectoryA(folder.c_str(), nullptr);
  if (!RedirectUserAndClasses(scratchKey, root) || !CreateMainWindow()) return 2;
  answerHook = SetWindowsHookExA(WH_CBT, NoteMessageBoxes, nullptr, GetCurrentThreadId());

  char self[MAX_PATH];
  DWORD selfLength = GetModuleFileNameA(nullptr, self, sizeof self);
  std::string folder(self, selfLength);
  folder.erase(folder.rfind('\\') + 1);
  if (!CopyBounded(installDir, sizeof installDir, install.c_str()) ||
      !CopyBounded(windowsDir, sizeof windowsDir, windows.c_str()) ||
      !CopyBounded(moduleDir, sizeof moduleDir, folder.c_str()))
    return 2;
  desktopIconWanted = 1;
  isVistaOrLater = 1;

  RunResult run;
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  run.workingSetBefore = memory.WorkingSetSize;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  run.result = RunInstall(kShellInstallSteps);
  QueryPerformanceCounter(&end);
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  run.peakWorkingSet = memory.PeakWorkingSetSize;
  double ticks = static_cast<double>(frequency.QuadPart);
  run.seconds = static_cast<double>(end.QuadPart - start.QuadPart) / ticks;
  run.extractionSeconds =
      static_cast<double>(extractionEnd.QuadPart - extractionStart.QuadPart) / ticks;
  MeasureFolder(install, run);

  UnhookWindowsHookEx(answerHook);
  DestroyWindow(mainDialog);
  UndoRedirection(scratchKey);
  DeleteTree(root);

  FILE* out = std::fopen(resultPath, "w");
  if (out == nullptr) return 2;
  std::fprintf(out, "%d %.6f %.6f %llu %llu %llu %llu\n", run.result, run.seconds,
               run.extractionSeconds, run.installedBytes, run.installedFiles, run.peakWorkingSet,
               run.workingSetBefore);
  std::fclose(out);
  return 0;
}

bool RunOnce(int index, RunResult& run) {
  char self[MAX_PATH];
  char temp[MAX_PATH];
  if (GetModuleFileNameA(nullptr, self, sizeof self) == 0 || GetTempPathA(sizeof temp, temp) == 0)
    return false;
  std::string resultPath = std::string(temp) + "tavik_bench_result_" +
                           std::to_string(GetCurrentProcessId()) + "_" + std::to_string(index) +
                           ".txt";
  std::string line = "\"" + std::string(self) + "\" --child \"" + resultPath + "\"";
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  FILE* in = std::fopen(resultPath.c_str(), "r");
  if (in == nullptr) return false;
  int fields = std::fscanf(in, "%d %lf %lf %llu %llu %llu %llu", &run.result, &run.seconds,
                           &run.extractionSeconds, &run.installedBytes, &run.installedFiles,
                           &run.peakWorkingSet, &run.workingSetBefore);
  std::fclose(in);
  DeleteFileA(resultPath.c_str());
  return exitCode == 0 && fields == 7;
}

template <typename T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int RunParent(int runs) {
  std::vector<double> seconds, extraction, throughput, peak, before;
  RunResult last;
  for (int i = 0; i < runs; ++i) {
    RunResult run;
    if (!RunOnce(i, run) || run.result != 1 || run.extractionSeconds <= 0) {
      std::fprintf(stderr, "run %d failed (install result %d)\n", i + 1, run.result);
      return 1;
    }
    last = run;
    seconds.push_back(run.seconds);
    extraction.push_back(run.extractionSeconds);
    throughput.push_back(static_cast<double>(run.installedBytes) / 1e6 / run.extractionSeconds);
    peak.push_back(static_cast<double>(run.peakWorkingSet) / (1024.0 * 1024.0));
    before.push_back(static_cast<double>(run.workingSetBefore) / (1024.0 * 1024.0));
    std::printf(
        "run %d: extraction %.3f s (%.1f MB/s), whole install %.3f s, peak working set %.1f MiB\n",
        i + 1, run.extractionSeconds, throughput.back(), run.seconds, peak.back());
  }
  std::printf("installed per run:  %llu bytes in %llu files\n", last.installedBytes,
              last.installedFiles);
  std::printf("median of %d runs:\n", runs);
  std::printf("  extraction time:  %.3f s (stale deletions and all manifest rows)\n",
              Median(extraction));
  std::printf("  throughput:       %.1f MB/s of installed bytes (1 MB = 10^6 bytes)\n",
              Median(throughput));
  std::printf("  whole install:    %.3f s (with configuration, shortcuts, registration)\n",
              Median(seconds));
  std::printf("  peak working set: %.1f MiB (%.1f MiB before the run)\n", Median(peak),
              Median(before));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--child") == 0) return RunChild(argv[2]);
  int runs = 5;
  if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) runs = std::atoi(argv[2]);
  if (runs < 1) {
    std::fprintf(stderr, "usage: install_bench.exe [--runs N]\n");
    return 2;
  }
  return RunParent(runs);
}
