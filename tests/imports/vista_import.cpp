// A program the import gate must refuse: it imports a function that came
// with Windows Vista directly and another through the delay-load table.
#include <windows.h>

#include <shlobj.h>

namespace {
BOOL CALLBACK DoNothing(PINIT_ONCE, PVOID, PVOID*) { return TRUE; }
}  // namespace

int main() {
  INIT_ONCE once = INIT_ONCE_STATIC_INIT;
  PWSTR path = nullptr;
  if (GetCommandLineA()[0] == '\x01') SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path);
  return InitOnceExecuteOnce(&once, DoNothing, nullptr, nullptr) ? 0 : 1;
}
