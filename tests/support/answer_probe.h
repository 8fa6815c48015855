// Asks a window, from a thread of its own, whether it answers: WM_NULL
// through SendMessageTimeout (200 ms, SMTO_ABORTIFHUNG) every 50 ms, the
// way the system decides that a window is hung, and notes the worst seen.
// Works on a window of this process or of another one.
#pragma once

#include <windows.h>

class AnswerProbe {
 public:
  // untilCaption: the probe stops asking once a visible window of that
  // caption is up (the program's first message box: the install is over);
  // a question still open then counts as unanswered until that moment.
  explicit AnswerProbe(HWND window, const char* untilCaption = nullptr);
  ~AnswerProbe();  // stops the probe
  AnswerProbe(const AnswerProbe&) = delete;
  AnswerProbe& operator=(const AnswerProbe&) = delete;

  // Stops asking; the figures are final afterwards.
  void Stop();
  // The longest time from a question to the window's next answer: a ping
  // that times out stays open until a later one is answered.
  double longestUnansweredMs() const { return longestUnansweredMs_; }
  // When that longest interval began, in ms after the probe started.
  double longestStartMs() const { return longestStartMs_; }
  int questions() const { return questions_; }
  int timeouts() const { return timeouts_; }
  // IsHungAppWindow said true at least once.
  bool seenHung() const { return seenHung_; }

 private:
  static DWORD WINAPI Run(void* self);
  void Ask();
  bool Finished();
  void Close(double nowMs);  // the open question, if any, is answered now

  HWND window_;
  const char* untilCaption_;
  HANDLE stop_ = nullptr;
  HANDLE thread_ = nullptr;
  LARGE_INTEGER frequency_ = {};
  double openSinceMs_ = -1;  // the oldest question not yet answered
  double longestUnansweredMs_ = 0;
  double longestStartMs_ = 0;
  double startMs_ = 0;
  int questions_ = 0;
  int timeouts_ = 0;
  bool seenHung_ = false;
};
