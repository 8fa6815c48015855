// The calibration program of the planting test: a GUI program that imports
// only DLLs that every Windows protects (kernel32, user32 and the C
// run-time) and does nothing but make and destroy one hidden window, as
// every GUI program does. The planted names that it loads all the same
// come from the emulator's own DLLs, not from the setup program.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  DestroyWindow(window);
  return 0;
}
