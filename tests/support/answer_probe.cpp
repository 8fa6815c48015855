// The answer probe (see answer_probe.h).
#include "tests/support/answer_probe.h"

namespace {
constexpr DWORD kIntervalMs = 50;
constexpr UINT kTimeoutMs = 200;

double NowMs(const LARGE_INTEGER& frequency) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}
}  // namespace

AnswerProbe::AnswerProbe(HWND window, const char* untilCaption)
    : window_(window), untilCaption_(untilCaption) {
  QueryPerformanceFrequency(&frequency_);
  startMs_ = NowMs(frequency_);
  stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (stop_ != nullptr) thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

AnswerProbe::~AnswerProbe() {
  Stop();
  if (stop_ != nullptr) CloseHandle(stop_);
}

void AnswerProbe::Stop() {
  if (thread_ == nullptr) return;
  SetEvent(stop_);
  // The probe may be asking a window of this very thread: its question is
  // answered while waiting, or it would count as unanswered.
  while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(thread_);
  thread_ = nullptr;
  // A question still open when the window still exists counts as well.
  if (IsWindow(window_)) Close(NowMs(frequency_));
}

void AnswerProbe::Close(double nowMs) {
  if (openSinceMs_ < 0) return;
  if (nowMs - openSinceMs_ > longestUnansweredMs_) {
    longestUnansweredMs_ = nowMs - openSinceMs_;
    longestStartMs_ = openSinceMs_ - startMs_;
  }
  openSinceMs_ = -1;
}

DWORD WINAPI AnswerProbe::Run(void* self) {
  auto* probe = static_cast<AnswerProbe*>(self);
  while (!probe->Finished()) {
    probe->Ask();
    if (WaitForSingleObject(probe->stop_, kIntervalMs) != WAIT_TIMEOUT) break;
  }
  return 0;
}

bool AnswerProbe::Finished() {
  if (!IsWindow(window_)) return true;
  if (untilCaption_ == nullptr) return false;
  HWND box = FindWindowA(nullptr, untilCaption_);
  if (box == nullptr || !IsWindowVisible(box)) return false;
  // A question still open has waited until now at least.
  Close(NowMs(frequency_));
  return true;
}

void AnswerProbe::Ask() {
  double asked = NowMs(frequency_);
  if (openSinceMs_ < 0) openSinceMs_ = asked;
  DWORD_PTR ignored = 0;
  LRESULT answered = SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &ignored);
  ++questions_;
  if (answered != 0) {
    Close(NowMs(frequency_));
  } else if (IsWindow(window_)) {
    ++timeouts_;
  }
  if (IsHungAppWindow(window_)) seenHung_ = true;
}
