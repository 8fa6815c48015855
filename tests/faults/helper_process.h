// Starts fault_helper.exe (built beside the test executables) and waits for
// it to say it is ready through a named event.
#pragma once

#include <windows.h>

#include <string>

// fault_helper.exe beside this program.
std::string HelperPath();

class HelperProcess {
 public:
  // Starts "fault_helper MODE ARGUMENT NAME" and waits up to timeoutMs for
  // NAME_ready; ready() tells whether it came.
  HelperProcess(const char* mode, const std::string& argument, DWORD timeoutMs = 20000);
  ~HelperProcess();  // releases the helper and waits for it (kills it when it lingers)
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;

  bool ready() const { return ready_; }
  void Release();               // sets NAME_release
  bool Kill();                  // TerminateProcess, then waits for the end
  DWORD Wait(DWORD timeoutMs);  // the exit code, or STILL_ACTIVE

 private:
  std::string name_;
  HANDLE readyEvent_ = nullptr;
  HANDLE releaseEvent_ = nullptr;
  PROCESS_INFORMATION info_ = {};
  bool started_ = false;
  bool ready_ = false;
};
