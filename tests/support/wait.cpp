// Waiting on observable state (see wait.h).
#include "tests/support/wait.h"

namespace {
// Short enough for a test to go on soon after the state changed, long
// enough not to take the processor from the program being watched.
constexpr DWORD kPollMs = 10;
}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return condition();
    Sleep(kPollMs);
  }
}

bool PingWindow(HWND window, DWORD timeoutMs) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &ignored) != 0;
}
