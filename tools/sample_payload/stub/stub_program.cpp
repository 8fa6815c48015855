// A stand-in for one of the product's programs in the sample payload: a
// real Windows program that shows its own name and exits.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr, TAVIK_STUB_NAME " (sample payload program)", TAVIK_STUB_NAME,
              MB_OK | MB_ICONINFORMATION);
  return 0;
}
