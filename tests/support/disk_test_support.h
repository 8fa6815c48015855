// Watchers that answer the dialogs the code under test opens. The tests
// that use them also use the scratch folders and the glyph font, which come
// along.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/glyph_font.h"

// While alive, a thread timer hands every visible dialog of this thread that
// isTarget accepts to act, once per dialog. The code under test runs the
// dialog's modal loop, which dispatches the timer.
class DialogWatcher {
 public:
  DialogWatcher(std::function<bool(HWND)> isTarget, std::function<void(HWND)> act);
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD);
  void Visit();

  std::function<bool(HWND)> isTarget_;
  std::function<void(HWND)> act_;
  std::vector<HWND> visited_;
  UINT_PTR timer_ = 0;
};

// One message box as the user saw it.
struct SeenMessage {
  std::string chinese;
  std::string english;
  std::vector<int> buttons;  // visible command buttons among 1, 2, 6, 7
};

// Answers the program's message box (ShowMessage) and records it.
class MessageAnswerer {
 public:
  static constexpr int kEscape = 0;  // press Escape instead of a button
  explicit MessageAnswerer(int answer = IDOK);
  const std::vector<SeenMessage>& messages() const { return messages_; }

 private:
  void Answer(HWND box);

  int answer_;
  std::vector<SeenMessage> messages_;
  DialogWatcher watcher_;
};

// Posts a key press to a dialog the way the dialog manager sees one.
void PressKey(HWND dialog, WPARAM key);
std::string ControlText(HWND dialog, int id);
