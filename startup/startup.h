// Start-up and main loop: process entry, system probe, the glyph font in
// memory, the wizard dialog's creation, the message loop and teardown.
#pragma once

#include <windows.h>

// The globals that start-up sets are declared with the rest of the shared
// state, where the lower layers can read them.
#include "resources/app_state.h"

// The whole program: start-up steps, message loop and teardown. Returns the
// process exit code. WinMain is a one-line call to this.
int RunSetup(HINSTANCE instance, HINSTANCE previousInstance);
