// Waiting on observable state (see wait.h).
#include "tests/support/wait.h"

#include <cstdlib>

namespace {
// Short enough for a test to go on soon after the state changed, long
// enough not to take the processor from the program being watched.
constexpr DWORD kPollMs = 10;
}  // namespace

// TAVIK_TEST_TIME_SCALE stretches every deadline: the emulated i386 guest
// runs message-heavy work about ten times slower than a real machine.
DWORD Scaled(DWORD timeoutMs) {
  static const unsigned long scale = [] {
    const char* text = std::getenv("TAVIK_TEST_TIME_SCALE");
    const unsigned long value = text != nullptr ? std::strtoul(text, nullptr, 10) : 1;
    return value >= 1 && value <= 100 ? value : 1UL;
  }();
  return static_cast<DWORD>(timeoutMs * scale);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + Scaled(timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return condition();
    Sleep(kPollMs);
  }
}

bool PingWindow(HWND window, DWORD timeoutMs) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, Scaled(timeoutMs), &ignored) != 0;
}
