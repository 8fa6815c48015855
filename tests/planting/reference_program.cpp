// The calibration program of the planting test. It imports the DLLs that
// the setup program imports at load time (its delay-loaded ones come later,
// by full path; all are known DLLs of every Windows from XP on, which
// Windows takes with their own imports from its system folder) and does
// nothing. Wine has no known DLLs: the planted names that this program
// loads come from Wine's own DLLs while they load, before the program's
// first instruction, and say nothing about the setup program. It makes no
// window: a window loads DLLs late, by name, through the program's own
// search, which is the very fault the planting test looks for.
#include <windows.h>

namespace {
// Referenced, never called: each keeps its DLL in the import table.
volatile FARPROC keptImports[] = {
    reinterpret_cast<FARPROC>(&RegCloseKey),
    reinterpret_cast<FARPROC>(&GetStockObject),
};
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Ended at once, without the DLLs' detach code: Wine's comctl32 loads the
  // theme DLL by name while it detaches, a late load like those the test
  // is about, not a part of the import chain.
  TerminateProcess(GetCurrentProcess(), keptImports[0] != nullptr ? 0 : 1);
  return 1;
}
