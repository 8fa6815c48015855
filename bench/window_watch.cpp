// Watching another program's windows from outside.
#include "window_watch.h"

HWND FindVisibleWindow(DWORD processId, HWND except) {
  WindowQuery query;
  query.processId = processId;
  query.except = except;
  return FindWindowBy(query);
}

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}
