// The ".msi" stand-in handler (see open_record.h). The record lies in the
// temporary folder, beside the package itself.
#include "tests/e2e/open_record.h"

#include <windows.h>

#include <cstdio>

#include "tests/e2e/machine_state.h"

namespace {
constexpr char kProgId[] = "TavikE2E.OpenRecorder";

std::wstring RecordPath() { return TempFolder() + L"tavik-e2e-opened.txt"; }

bool SetClassesDefault(const char* key, const std::string& value) {
  return RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, value.c_str(), static_cast<DWORD>(value.size())) ==
         ERROR_SUCCESS;
}
}  // namespace

bool RegisterOpenRecorder() {
  char driver[MAX_PATH] = "";
  DWORD length = GetModuleFileNameA(nullptr, driver, sizeof driver);
  if (length == 0 || length >= sizeof driver) return false;
  const std::string command = std::string("\"") + driver + "\" " + kRecordOpenSwitch + " \"%1\"";
  return SetClassesDefault(".msi", kProgId) &&
         SetClassesDefault((std::string(kProgId) + "\\shell\\open\\command").c_str(), command);
}

int RecordOpenedFile(const char* path) {
  FILE* out = _wfopen(RecordPath().c_str(), L"wb");
  if (out == nullptr) return 1;
  std::fputs(path, out);
  return std::fclose(out) == 0 ? 0 : 1;
}

void ForgetOpenedFile() { DeleteFileW(RecordPath().c_str()); }

bool ReadOpenedFile(std::string* path) { return ReadBytes(RecordPath(), path); }
