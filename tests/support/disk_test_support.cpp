// Dialog watchers (see disk_test_support.h).
#include "tests/support/disk_test_support.h"

#include <algorithm>

#include "resources/resource.h"

namespace {
std::vector<DialogWatcher*> watchers;
DialogWatcher* visiting = nullptr;

struct EnumState {
  std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM state) {
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  if (IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0)
    reinterpret_cast<EnumState*>(state)->dialogs.push_back(window);
  return TRUE;
}
}  // namespace

DialogWatcher::DialogWatcher(std::function<bool(HWND)> isTarget, std::function<void(HWND)> act)
    : isTarget_(std::move(isTarget)), act_(std::move(act)) {
  timer_ = SetTimer(nullptr, 0, 30, &DialogWatcher::OnTimer);
  watchers.push_back(this);
}

DialogWatcher::~DialogWatcher() {
  KillTimer(nullptr, timer_);
  watchers.erase(std::remove(watchers.begin(), watchers.end(), this), watchers.end());
}

void CALLBACK DialogWatcher::OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  // A dialog opened by act is visited on a later tick, not from inside act.
  if (visiting != nullptr) return;
  for (DialogWatcher* watcher : watchers) {
    if (watcher->timer_ != timer) continue;
    visiting = watcher;
    watcher->Visit();
    visiting = nullptr;
    return;
  }
}

void DialogWatcher::Visit() {
  visited_.erase(std::remove_if(visited_.begin(), visited_.end(),
                                [](HWND window) { return !IsWindow(window); }),
                 visited_.end());
  EnumState state;
  EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&state));
  for (HWND dialog : state.dialogs) {
    if (std::find(visited_.begin(), visited_.end(), dialog) != visited_.end()) continue;
    if (!isTarget_(dialog)) continue;
    visited_.push_back(dialog);
    act_(dialog);
  }
}

MessageAnswerer::MessageAnswerer(int answer)
    : answer_(answer),
      watcher_([](HWND dialog) { return GetDlgItem(dialog, IDC_MESSAGE_ENGLISH) != nullptr; },
               [this](HWND dialog) { Answer(dialog); }) {}

void MessageAnswerer::Answer(HWND box) {
  SeenMessage seen;
  seen.chinese = ControlText(box, IDC_MESSAGE_CHINESE);
  seen.english = ControlText(box, IDC_MESSAGE_ENGLISH);
  for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
    if (IsWindowVisible(GetDlgItem(box, id))) seen.buttons.push_back(id);
  }
  messages_.push_back(seen);
  if (answer_ == kEscape) {
    PressKey(box, VK_ESCAPE);
  } else {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer_, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, answer_)));
  }
}

void PressKey(HWND dialog, WPARAM key) {
  HWND focus = GetFocus();
  HWND target = focus != nullptr && IsChild(dialog, focus) ? focus : dialog;
  PostMessageA(target, WM_KEYDOWN, key, 0);
}

std::string ControlText(HWND dialog, int id) {
  char text[512] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}
