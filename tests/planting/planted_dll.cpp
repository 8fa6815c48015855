// A stand-in for a DLL that someone left beside the setup program. When any
// process loads it, it appends the full path it was loaded from and the
// program that loaded it to planted-loads.txt in its own folder, and then
// refuses to load, so that nothing else of it runs in that process.
#include <windows.h>

#include "base/bounded_format.h"

namespace {
// Records longer than this are cut by the loader's own limits anyway.
constexpr DWORD kPathChars = 1024;

void AppendRecord(HINSTANCE self) {
  char dllPath[kPathChars];
  char programPath[kPathChars];
  DWORD dllLength = GetModuleFileNameA(self, dllPath, sizeof dllPath);
  DWORD programLength = GetModuleFileNameA(nullptr, programPath, sizeof programPath);
  if (dllLength == 0 || dllLength >= sizeof dllPath) return;
  if (programLength == 0 || programLength >= sizeof programPath) programPath[0] = '\0';

  char* lastSlash = nullptr;
  for (char* c = dllPath; *c != '\0'; ++c)
    if (*c == '\\') lastSlash = c;
  if (lastSlash == nullptr) return;
  char logPath[kPathChars];
  if (!FormatBounded(logPath, sizeof logPath, "%.*s\\planted-loads.txt",
                     static_cast<int>(lastSlash - dllPath), dllPath))
    return;
  char record[kPathChars * 2 + 4];
  if (!FormatBounded(record, sizeof record, "%s\t%s\r\n", dllPath, programPath)) return;

  HANDLE log = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(log, record, static_cast<DWORD>(lstrlenA(record)), &written, nullptr);
  CloseHandle(log);
}
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  AppendRecord(self);
  return FALSE;
}
