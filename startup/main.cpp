// Process entry point of the setup program.
#include "startup/startup.h"
#include "startup/system_dlls.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int) {
  // Before anything loads a DLL by name, delay-loaded ones included: run
  // from a download folder, a DLL left beside the program must not be found.
  RestrictDllSearch();
  return RunSetup(instance, previousInstance);
}
