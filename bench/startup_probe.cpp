// Start-up to first paint, watched from outside: the probe starts a program
// and polls the window server's state of that process until its first
// top-level window is visible and neither it nor any visible child has a
// region waiting to be painted. The program itself takes no hook.
//
//   startup_probe.exe ROUNDS RESULT_FILE SETUP_EXE EMPTY_EXE EMPTY_WINDOW_EXE
//
// Each round starts, in turn, the empty program (timed to its exit), the
// empty window program and the setup program (timed to the first paint).
// RESULT_FILE gets one line per start:
//   "<kind> <ms to exit or first visible window> <ms to first paint> <peak working set bytes>"
// with -1 for what was not seen within the time limit; the working set is
// the program's peak up to its first paint.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "window_watch.h"

namespace {

constexpr DWORD kPaintTimeoutMs = 15000;

struct Sample {
  double windowMs = -1;
  double paintMs = -1;
  long long peakWorkingSet = -1;
};

bool Start(const std::string& program, PROCESS_INFORMATION& process) {
  std::string line = "\"" + program + "\"";
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process) != 0;
}

void Finish(PROCESS_INFORMATION& process) {
  if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

Sample TimeToExit(const std::string& program) {
  Sample sample;
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!Start(program, process)) return sample;
  if (WaitForSingleObject(process.hProcess, kPaintTimeoutMs) == WAIT_OBJECT_0) sample.windowMs = MillisecondsSince(start);
  Finish(process);
  return sample;
}

long long PeakWorkingSet(HANDLE process) {
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(process, &memory, sizeof memory)) return -1;
  return static_cast<long long>(memory.PeakWorkingSetSize);
}

// Polls every millisecond: the window and its first paint are each taken at
// the first poll that sees them.
Sample TimeToFirstPaint(const std::string& program) {
  Sample sample;
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!Start(program, process)) return sample;
  while (MillisecondsSince(start) < kPaintTimeoutMs && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
    HWND window = FindVisibleWindow(process.dwProcessId, nullptr);
    if (window != nullptr) {
      if (sample.windowMs < 0) sample.windowMs = MillisecondsSince(start);
      if (IsPainted(window)) {
        sample.paintMs = MillisecondsSince(start);
        sample.peakWorkingSet = PeakWorkingSet(process.hProcess);
        break;
      }
    }
    Sleep(1);
  }
  Finish(process);
  return sample;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: startup_probe.exe ROUNDS RESULT_FILE SETUP_EXE EMPTY_EXE EMPTY_WINDOW_EXE\n");
    return 2;
  }
  int rounds = std::atoi(argv[1]);
  FILE* out = std::fopen(argv[2], "w");
  if (out == nullptr || rounds < 1) return 2;
  for (int round = 0; round < rounds; ++round) {
    Sample empty = TimeToExit(argv[4]);
    Sample window = TimeToFirstPaint(argv[5]);
    Sample setup = TimeToFirstPaint(argv[3]);
    std::fprintf(out, "empty %.3f -1 -1\n", empty.windowMs);
    std::fprintf(out, "empty_window %.3f %.3f %lld\n", window.windowMs, window.paintMs, window.peakWorkingSet);
    std::fprintf(out, "setup %.3f %.3f %lld\n", setup.windowMs, setup.paintMs, setup.peakWorkingSet);
    std::fflush(out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
