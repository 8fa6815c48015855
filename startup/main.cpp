// Process entry point of the setup program.
#include "startup/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int) {
  return RunSetup(instance, previousInstance);
}
