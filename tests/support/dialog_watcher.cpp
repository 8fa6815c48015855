// Dialog watchers and the message-box answerer (see dialog_watcher.h).
#include "tests/support/dialog_watcher.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "resources/resource.h"
#include "tests/support/window_search.h"

namespace {
constexpr UINT kTickMs = 30;

std::vector<DialogWatcher*> watchers;
bool visiting = false;

// Modal dialogs that no watcher took, with the tick count when first seen.
struct Unclaimed {
  HWND dialog;
  ULONGLONG since;
  bool reported;
};
std::vector<Unclaimed> unclaimed;

bool IsModalOverItsOwner(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  return owner != nullptr && !IsWindowEnabled(owner);
}

struct Texts {
  std::string shown, buttons;
};

void Append(std::string* list, const char* text) {
  *list += list->empty() ? "\"" : ", \"";
  *list += text;
  *list += "\"";
}

BOOL CALLBACK AppendText(HWND child, LPARAM lParam) {
  char text[256] = "";
  GetWindowTextA(child, text, sizeof text);
  if (text[0] == '\0' || !IsWindowVisible(child)) return TRUE;
  char className[16] = "";
  GetClassNameA(child, className, sizeof className);
  auto* texts = reinterpret_cast<Texts*>(lParam);
  Append(lstrcmpiA(className, "Button") == 0 ? &texts->buttons : &texts->shown, text);
  return TRUE;
}

std::string Describe(HWND dialog) {
  char caption[256] = "";
  GetWindowTextA(dialog, caption, sizeof caption);
  Texts texts;
  EnumChildWindows(dialog, AppendText, reinterpret_cast<LPARAM>(&texts));
  return std::string("caption \"") + caption + "\", texts " + (texts.shown.empty() ? "none" : texts.shown) +
         ", buttons " + (texts.buttons.empty() ? "none" : texts.buttons);
}

bool TakenByAWatcher(HWND dialog) {
  return std::any_of(watchers.begin(), watchers.end(),
                     [dialog](const DialogWatcher* watcher) { return watcher->Took(dialog); });
}

// Fails the test for a modal dialog nobody took in time and cancels it:
// first as a user would, then, should that not close it, from its loop.
void CheckUnclaimed(const std::vector<HWND>& dialogs) {
  unclaimed.erase(std::remove_if(unclaimed.begin(), unclaimed.end(),
                                 [](const Unclaimed& entry) { return !IsWindowVisible(entry.dialog); }),
                  unclaimed.end());
  const ULONGLONG now = GetTickCount64();
  for (HWND dialog : dialogs) {
    if (TakenByAWatcher(dialog) || !IsModalOverItsOwner(dialog)) continue;
    auto entry = std::find_if(unclaimed.begin(), unclaimed.end(),
                              [dialog](const Unclaimed& seen) { return seen.dialog == dialog; });
    if (entry == unclaimed.end()) {
      unclaimed.push_back({dialog, now, false});
      continue;
    }
    if (now - entry->since < DialogWatcher::kUnexpectedDialogMs) continue;
    if (!entry->reported) {
      entry->reported = true;
      entry->since = now;
      ADD_FAILURE() << "a dialog nobody expected stood " << DialogWatcher::kUnexpectedDialogMs
                    << " ms: " << Describe(dialog) << "; cancelled";
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else {
      EndDialog(dialog, IDCANCEL);
    }
  }
}
}  // namespace

DialogWatcher::DialogWatcher(std::function<bool(HWND)> isTarget, std::function<void(HWND)> act)
    : isTarget_(std::move(isTarget)), act_(std::move(act)) {
  timer_ = SetTimer(nullptr, 0, kTickMs, &DialogWatcher::OnTimer);
  watchers.push_back(this);
}

DialogWatcher::~DialogWatcher() {
  KillTimer(nullptr, timer_);
  watchers.erase(std::remove(watchers.begin(), watchers.end(), this), watchers.end());
}

bool DialogWatcher::Took(HWND dialog) const {
  return std::find(visited_.begin(), visited_.end(), dialog) != visited_.end();
}

void CALLBACK DialogWatcher::OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  // A dialog opened by act is visited on a later tick, not from inside act.
  if (visiting) return;
  for (DialogWatcher* watcher : watchers) {
    if (watcher->timer_ != timer) continue;
    visiting = true;
    watcher->Visit();
    visiting = false;
    return;
  }
}

void DialogWatcher::Visit() {
  visited_.erase(std::remove_if(visited_.begin(), visited_.end(),
                                [](HWND window) { return !IsWindow(window); }),
                 visited_.end());
  WindowQuery query;
  query.threadId = GetCurrentThreadId();
  query.className = "#32770";
  const std::vector<HWND> dialogs = FindWindowsBy(query);
  for (HWND dialog : dialogs) {
    if (Took(dialog) || !isTarget_(dialog)) continue;
    visited_.push_back(dialog);
    act_(dialog);
  }
  // Every watcher's tick looks, so one that has no target open still
  // notices; the first watcher alone judges, once per tick of its own.
  if (!watchers.empty() && watchers.front() == this) CheckUnclaimed(dialogs);
}

MessageAnswerer::MessageAnswerer(int answer)
    : MessageAnswerer([answer](const SeenMessage&) { return answer; }) {}

MessageAnswerer::MessageAnswerer(Chooser choose)
    : choose_(std::move(choose)),
      watcher_([](HWND dialog) { return GetDlgItem(dialog, IDC_MESSAGE_ENGLISH) != nullptr; },
               [this](HWND dialog) { Answer(dialog); }) {}

void MessageAnswerer::Answer(HWND box) {
  SeenMessage seen;
  seen.chinese = Gb2312ControlText(box, IDC_MESSAGE_CHINESE);
  seen.english = ControlText(box, IDC_MESSAGE_ENGLISH);
  for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
    if (IsWindowVisible(GetDlgItem(box, id))) seen.buttons.push_back(id);
  }
  messages_.push_back(seen);
  const int answer = choose_(seen);
  if (answer == kEscape) {
    PressKey(box, VK_ESCAPE);
  } else {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
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

std::string Gb2312Of(const wchar_t* text) {
  char bytes[1024] = "";
  WideCharToMultiByte(936, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
  return bytes;
}

std::string Gb2312ControlText(HWND dialog, int id) {
  wchar_t text[512] = L"";
  GetDlgItemTextW(dialog, id, text, 512);
  return Gb2312Of(text);
}
