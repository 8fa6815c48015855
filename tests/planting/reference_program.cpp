// The calibration program of the planting test: a GUI program that imports
// only DLLs that every Windows protects (kernel32, user32 and the C
// run-time) and does nothing. The planted names that it loads all the same
// come from the emulator's own DLLs, not from the setup program.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return GetSystemMetrics(SM_CXSCREEN) > 0 ? 0 : 1;
}
