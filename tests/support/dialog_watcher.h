// Answering the dialogs that the code under test opens on this thread, the
// way a user would, from inside their modal loops.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// While alive, a thread timer hands every visible dialog of this thread
// that isTarget accepts to act, once per dialog. The code under test runs
// the dialog's modal loop, which dispatches the timer.
//
// A modal dialog that no live watcher takes (one whose owner it disabled)
// is one that nobody expected: once it has stood kUnexpectedDialogMs, the
// test fails naming its caption and texts, and the dialog is cancelled so
// that the code under test goes on instead of holding the test until its
// time runs out.
class DialogWatcher {
 public:
  static constexpr DWORD kUnexpectedDialogMs = 3000;

  DialogWatcher(std::function<bool(HWND)> isTarget, std::function<void(HWND)> act);
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  bool Took(HWND dialog) const;

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD);
  void Visit();

  std::function<bool(HWND)> isTarget_;
  std::function<void(HWND)> act_;
  std::vector<HWND> visited_;
  UINT_PTR timer_ = 0;
};

// One of the program's message boxes (ShowMessage) as the user saw it.
struct SeenMessage {
  std::string chinese;
  std::string english;
  std::vector<int> buttons;  // visible command buttons among 1, 2, 6, 7
};

// Answers every message box that opens while it lives and records it.
class MessageAnswerer {
 public:
  static constexpr int kEscape = 0;  // press Escape instead of a button
  // Gives the button to press (or kEscape); runs inside the box's modal
  // loop and may act on other windows first.
  using Chooser = std::function<int(const SeenMessage&)>;

  explicit MessageAnswerer(int answer = IDOK);
  explicit MessageAnswerer(Chooser choose);
  const std::vector<SeenMessage>& messages() const { return messages_; }

 private:
  void Answer(HWND box);

  Chooser choose_;
  std::vector<SeenMessage> messages_;
  DialogWatcher watcher_;
};

// Posts a key press to a dialog the way the dialog manager sees one.
void PressKey(HWND dialog, WPARAM key);
// The text of a control of a window of this process.
std::string ControlText(HWND dialog, int id);
// A UTF-16 text as GB2312 bytes (code page 936), to compare with the
// program's GB2312 texts whatever the system's code page.
std::string Gb2312Of(const wchar_t* text);
// The UTF-16 window text of a control of this process, as GB2312.
std::string Gb2312ControlText(HWND dialog, int id);
