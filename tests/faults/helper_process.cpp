// Starting and stopping fault_helper.exe (see helper_process.h).
#include "tests/faults/helper_process.h"

std::string HelperPath() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return "";
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1) + "fault_helper.exe";
}

HelperProcess::HelperProcess(const char* mode, const std::string& argument, DWORD timeoutMs) {
  static int serial = 0;
  name_ =
      "TavikFaultHelper_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
  readyEvent_ = CreateEventA(nullptr, TRUE, FALSE, (name_ + "_ready").c_str());
  releaseEvent_ = CreateEventA(nullptr, TRUE, FALSE, (name_ + "_release").c_str());
  std::string commandLine = "\"" + HelperPath() + "\" " + mode + " \"" + argument + "\" " + name_;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  started_ = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info_) != 0;
  if (!started_) return;
  HANDLE waits[2] = {readyEvent_, info_.hProcess};
  ready_ = WaitForMultipleObjects(2, waits, FALSE, timeoutMs) == WAIT_OBJECT_0;
}

HelperProcess::~HelperProcess() {
  if (started_) {
    Release();
    if (WaitForSingleObject(info_.hProcess, 10000) != WAIT_OBJECT_0) Kill();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  if (readyEvent_ != nullptr) CloseHandle(readyEvent_);
  if (releaseEvent_ != nullptr) CloseHandle(releaseEvent_);
}

void HelperProcess::Release() {
  if (releaseEvent_ != nullptr) SetEvent(releaseEvent_);
}

bool HelperProcess::Kill() {
  if (!started_) return false;
  TerminateProcess(info_.hProcess, 9);
  return WaitForSingleObject(info_.hProcess, 10000) == WAIT_OBJECT_0;
}

DWORD HelperProcess::Wait(DWORD timeoutMs) {
  if (!started_) return 0;
  WaitForSingleObject(info_.hProcess, timeoutMs);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}
