// Finding windows of this or another process by what a person would go by:
// caption, kind, a control inside, visibility. Owned pop-ups such as
// message boxes are top-level windows too.
#pragma once

#include <windows.h>

#include <vector>

// Empty fields match any window.
struct WindowQuery {
  DWORD processId = 0;            // windows of this process only
  DWORD threadId = 0;             // windows of this thread only
  const char* caption = nullptr;  // exact window text
  const char* className = nullptr;  // case-insensitive, "#32770" for dialogs
  int controlId = 0;              // holds a child with this id
  HWND except = nullptr;
  bool visible = true;            // visible windows only
};

// The first top-level window that matches, or null.
HWND FindWindowBy(const WindowQuery& query);
// Every top-level window that matches, in Z order.
std::vector<HWND> FindWindowsBy(const WindowQuery& query);

// True once the window and every visible child have no region waiting to
// be painted. Update regions live in the window server, so this holds for
// a window of another process too.
bool IsPainted(HWND window);
