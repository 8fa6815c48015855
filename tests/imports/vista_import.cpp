// A program the import gate must refuse: it imports a function that came
// with Windows Vista directly and another through the delay-load table.
// The second is declared dllimport, as the system headers declare most
// functions, so the code calls through its slot; without its stub named
// to the linker (CMakeLists.txt at the top), the i686 link leaves that
// slot zero, which the gate must refuse as well.
#include <windows.h>

extern "C" __declspec(dllimport) HRESULT WINAPI SHGetKnownFolderPath(const GUID& folder, DWORD flags,
                                                                     HANDLE token, PWSTR* path);

namespace {
BOOL CALLBACK DoNothing(PINIT_ONCE, PVOID, PVOID*) { return TRUE; }
}  // namespace

int main() {
  INIT_ONCE once = INIT_ONCE_STATIC_INIT;
  PWSTR path = nullptr;
  const GUID desktop = {0xb4bfcc3a, 0xdb2c, 0x424c, {0xb0, 0x29, 0x7f, 0xe9, 0x9a, 0x87, 0xc6, 0x41}};
  if (GetCommandLineA()[0] == '\x01') SHGetKnownFolderPath(desktop, 0, nullptr, &path);
  return InitOnceExecuteOnce(&once, DoNothing, nullptr, nullptr) ? 0 : 1;
}
