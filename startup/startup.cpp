// Start-up, message loop and teardown (in progress: returns at once).
#include "startup/startup.h"

int RunSetup(HINSTANCE instance, HINSTANCE previousInstance) {
  if (previousInstance != nullptr) return 0;
  appInstance = instance;
  return 0;
}
