// Waiting on something another thread or process does: the condition is
// looked at until it holds or the deadline passes. Tests wait this way,
// never for a fixed time.
#pragma once

#include <windows.h>

#include <functional>

// True once condition held, false when timeoutMs passed first; the
// condition is looked at once more at the deadline.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// Returns once the window's thread has answered a message (it is back in
// its message loop), or after timeoutMs when it is busy or hung; false then.
bool PingWindow(HWND window, DWORD timeoutMs = 2000);

// A deadline as this run allows it: timeoutMs times TAVIK_TEST_TIME_SCALE
// (1 to 100; 1 when unset). WaitFor and PingWindow scale their own.
DWORD Scaled(DWORD timeoutMs);
