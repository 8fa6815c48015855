// Drives the setup program through its wizard to a complete install, from
// outside and as a user would: the path typed into the path edit, the
// display test answered, Next on every page, the closing message answered
// OK and the speech-package offer declined. It notes the program's peak
// working set, which the program reaches while it extracts.
//
//   wizard_drive.exe SETUP_EXE FOLDER RESULT_FILE
//
// FOLDER should not exist yet: the wizard makes it, as on a first install.
// RESULT_FILE gets "<exit code> <peak working set bytes> <boxes answered>";
// the exit code is -1 when the program had to be stopped.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "window_watch.h"

namespace {

constexpr double kTimeoutMs = 60000;
constexpr int kClosingBoxes = 2;  // "Installation Success!", then the speech-package offer

struct Drive {
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start = {};
  SIZE_T peakWorkingSet = 0;
  int boxesAnswered = 0;
};

bool Running(const Drive& drive) {
  return WaitForSingleObject(drive.process.hProcess, 0) == WAIT_TIMEOUT &&
         MillisecondsSince(drive.start) < kTimeoutMs;
}

// The peak only grows; the last reading before the program ends is its peak.
void NotePeak(Drive& drive) {
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(drive.process.hProcess, &memory, sizeof memory) &&
      memory.PeakWorkingSetSize > drive.peakWorkingSet)
    drive.peakWorkingSet = memory.PeakWorkingSetSize;
}

HWND WaitForPaintedWizard(Drive& drive) {
  while (Running(drive)) {
    HWND wizard = FindVisibleWindow(drive.process.dwProcessId, nullptr);
    if (wizard != nullptr && IsPainted(wizard)) return wizard;
    Sleep(1);
  }
  return nullptr;
}

// The pages before the install only switch controls, so their commands are
// sent and have been handled on return. The last one starts the install,
// which opens modal boxes: it is posted.
void WalkToInstall(HWND wizard, const char* folder) {
  SetDlgItemTextA(wizard, IDC_PATH_EDIT, folder);
  SendMessageA(wizard, WM_COMMAND, MAKEWPARAM(IDC_NEXT, BN_CLICKED), 0);  // to the display test
  CheckDlgButton(wizard, IDC_DISPLAY_OK, BST_CHECKED);
  SendMessageA(wizard, WM_COMMAND, MAKEWPARAM(IDC_NEXT, BN_CLICKED), 0);  // to the licence
  SendMessageA(wizard, WM_COMMAND, MAKEWPARAM(IDC_NEXT, BN_CLICKED), 0);  // to the language
  PostMessageA(wizard, WM_COMMAND, MAKEWPARAM(IDC_NEXT, BN_CLICKED), 0);  // install
}

// A box with a visible Cancel is the speech-package offer: declined. Any
// other is told OK.
void AnswerBox(HWND box) {
  HWND cancel = GetDlgItem(box, IDCANCEL);
  int answer = cancel != nullptr && IsWindowVisible(cancel) ? IDCANCEL : IDOK;
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}

void AnswerBoxesUntilEnd(Drive& drive, HWND wizard) {
  HWND answered = nullptr;
  while (Running(drive)) {
    NotePeak(drive);
    HWND box = FindVisibleWindow(drive.process.dwProcessId, wizard);
    if (box != nullptr && box != answered && IsPainted(box)) {
      AnswerBox(box);
      answered = box;
      ++drive.boxesAnswered;
    }
    Sleep(5);
  }
}

bool Start(const char* program, Drive& drive) {
  std::string line = std::string("\"") + program + "\"";
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  QueryPerformanceCounter(&drive.start);
  return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &drive.process) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: wizard_drive.exe SETUP_EXE FOLDER RESULT_FILE\n");
    return 2;
  }
  Drive drive;
  if (!Start(argv[1], drive)) return 1;
  HWND wizard = WaitForPaintedWizard(drive);
  if (wizard != nullptr) {
    WalkToInstall(wizard, argv[2]);
    AnswerBoxesUntilEnd(drive, wizard);
  }
  DWORD exitCode = static_cast<DWORD>(-1);
  if (WaitForSingleObject(drive.process.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(drive.process.hProcess, 1);
    WaitForSingleObject(drive.process.hProcess, INFINITE);
  } else {
    GetExitCodeProcess(drive.process.hProcess, &exitCode);
  }
  CloseHandle(drive.process.hThread);
  CloseHandle(drive.process.hProcess);

  FILE* out = std::fopen(argv[3], "w");
  if (out == nullptr) return 1;
  std::fprintf(out, "%d %llu %d\n", static_cast<int>(exitCode), static_cast<unsigned long long>(drive.peakWorkingSet),
               drive.boxesAnswered);
  bool complete = wizard != nullptr && exitCode == 0 && drive.boxesAnswered == kClosingBoxes;
  return std::fclose(out) == 0 && complete ? 0 : 1;
}
