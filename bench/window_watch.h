// Watching another program's windows from outside, for the start-up probe
// and the wizard driver: update regions live in the window server, so
// another process can tell whether a window has been painted (IsPainted).
#pragma once

#include <windows.h>

#include "tests/support/window_search.h"

// The first visible top-level window of the process other than except
// (owned pop-ups such as message boxes are top-level windows too).
HWND FindVisibleWindow(DWORD processId, HWND except);
double MillisecondsSince(const LARGE_INTEGER& start);
