// ShowMessage as a real modal dialog under Wine, answered from a thread
// timer the way a user would: a button click, Escape or the close box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/message_layout.h"
#include "render/render.h"
#include "render_test_support.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "startup/startup.h"

namespace {

enum class Answer { kClick, kEscape, kCloseBox };

// What the timer saw of the open dialog, and how it answered.
struct Visit {
  Answer answer = Answer::kClick;
  int clickId = 0;
  std::string screenshot;  // PNG file name, or empty
  bool found = false;
  std::vector<int> visibleButtons;
  bool englishVisible = false;
  std::string chineseText, englishText;
  int focusId = 0;
  bool ownerEnabled = true;
  HWND owner = nullptr;
  RECT window = {}, chinese = {}, client = {};
  SIZE button = {};
  int ticks = 0;
};
Visit visit;

constexpr int kStuck = 99;  // result when the answer did not close the dialog
const int kButtonIds[] = {IDOK, IDCANCEL, IDYES, IDNO};

std::string TextOf(HWND dialog, int id) {
  char text[512] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// The Chinese text's name is UTF-16; as GB2312 it compares with the table.
std::string Gb2312ControlText(HWND dialog, int id) {
  wchar_t name[512] = L"";
  GetDlgItemTextW(dialog, id, name, 512);
  char text[1024] = "";
  WideCharToMultiByte(936, 0, name, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

void Capture(HWND dialog, const std::string& name) {
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT rc;
  GetWindowRect(dialog, &rc);
  Surface shot(rc.right - rc.left, rc.bottom - rc.top);
  shot.CopyFromScreen(rc.left, rc.top);
  WritePng(ScreenshotFolder() + "\\" + name, shot);
}

void Record(HWND dialog) {
  visit.found = true;
  for (int id : kButtonIds) {
    if (IsWindowVisible(GetDlgItem(dialog, id))) visit.visibleButtons.push_back(id);
  }
  HWND english = GetDlgItem(dialog, IDC_MESSAGE_ENGLISH);
  visit.englishVisible = IsWindowVisible(english) != FALSE;
  visit.chineseText = Gb2312ControlText(dialog, IDC_MESSAGE_CHINESE);
  visit.englishText = TextOf(dialog, IDC_MESSAGE_ENGLISH);
  // Where the dialog manager puts the focus once the dialog is active (with
  // tests running alongside, another process may hold the activation).
  visit.focusId = GetDlgCtrlID(GetNextDlgTabItem(dialog, nullptr, FALSE));
  if (visit.owner != nullptr) visit.ownerEnabled = IsWindowEnabled(visit.owner) != FALSE;
  GetWindowRect(dialog, &visit.window);
  GetClientRect(dialog, &visit.client);
  HWND chinese = GetDlgItem(dialog, IDC_MESSAGE_CHINESE);
  GetWindowRect(chinese, &visit.chinese);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&visit.chinese), 2);
  RECT button = {};
  GetClientRect(GetDlgItem(dialog, visit.visibleButtons.empty() ? IDOK : visit.visibleButtons[0]),
                &button);
  visit.button = SIZE{button.right, button.bottom};
}

void AnswerDialog(HWND dialog) {
  switch (visit.answer) {
    case Answer::kClick:
      PostMessageA(GetDlgItem(dialog, visit.clickId), BM_CLICK, 0, 0);
      break;
    case Answer::kEscape: {
      // Where a key goes: the focused control, which the dialog loop routes.
      HWND focus = GetFocus();
      HWND target = focus != nullptr && IsChild(dialog, focus) ? focus : dialog;
      PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
      break;
    }
    case Answer::kCloseBox:
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
}

BOOL CALLBACK FindOwnDialog(HWND window, LPARAM found) {
  char caption[64] = "";
  GetWindowTextA(window, caption, sizeof caption);
  if (std::string(caption) != "Morvel Install Message") return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  // Only this thread's dialog: other test processes may show theirs on the
  // same display at the same time.
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindOwnDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr || !IsWindowVisible(dialog)) return;
  if (visit.ticks++ == 0) {
    Record(dialog);
    if (!visit.screenshot.empty()) Capture(dialog, visit.screenshot);
    AnswerDialog(dialog);
  } else if (visit.ticks > 100) {
    KillTimer(nullptr, timer);
    EndDialog(dialog, kStuck);
  }
}

int Show(const char* chinese, const char* english, int kind, Answer answer, int clickId = 0,
         HWND owner = nullptr, const char* screenshot = "") {
  visit = Visit();
  visit.answer = answer;
  visit.clickId = clickId;
  visit.owner = owner;
  visit.screenshot = screenshot;
  UINT_PTR timer = SetTimer(nullptr, 0, 20, OnTimer);
  const int result = ShowMessage(chinese, english, kind, owner);
  KillTimer(nullptr, timer);
  return result;
}

class MessageBoxTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(EnsureGlyphFont()); }
};

TEST_F(MessageBoxTest, EachButtonClosesWithItsCommand) {
  struct Case {
    int kind, clickId;
    std::vector<int> shown;
  } cases[] = {
      {kMessageKindOk, IDOK, {IDOK}},
      {kMessageKindOkCancel, IDOK, {IDOK, IDCANCEL}},
      {kMessageKindOkCancel, IDCANCEL, {IDOK, IDCANCEL}},
      {kMessageKindYesNo, IDYES, {IDYES, IDNO}},
      {kMessageKindYesNo, IDNO, {IDYES, IDNO}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " click " << c.clickId);
    EXPECT_EQ(Show(kTextWordBaseCn, kTextWordBaseEn, c.kind, Answer::kClick, c.clickId),
              c.clickId);
    ASSERT_TRUE(visit.found);
    EXPECT_EQ(visit.visibleButtons, c.shown);
    // The first shown button takes the focus.
    EXPECT_EQ(visit.focusId, c.shown[0]);
  }
}

TEST_F(MessageBoxTest, EscapeAndCloseBoxCancelInEveryKind) {
  for (int kind : {kMessageKindOk, kMessageKindOkCancel, kMessageKindYesNo}) {
    for (Answer answer : {Answer::kEscape, Answer::kCloseBox}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << " answer "
                                      << (answer == Answer::kEscape ? "Escape" : "close box"));
      EXPECT_EQ(Show(kTextAnswerCn, kTextAnswerEn, kind, answer), IDCANCEL);
      EXPECT_TRUE(visit.found);
    }
  }
}

TEST_F(MessageBoxTest, OwnerIsDisabledWhileOpenAndMayBeNull) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(Show(kTextSuccessCn, kTextSuccessEn, kMessageKindOk, Answer::kClick, IDOK, owner),
            IDOK);
  EXPECT_FALSE(visit.ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  DestroyWindow(owner);

  EXPECT_EQ(Show(kTextMemoryCn, kTextMemoryEn, kMessageKindOk, Answer::kClick, IDOK), IDOK);
  EXPECT_TRUE(visit.found);
}

TEST_F(MessageBoxTest, TextsAreShownInTheirControls) {
  ASSERT_EQ(Show(kTextSpeechCn, kTextSpeechEn, kMessageKindOkCancel, Answer::kClick, IDOK), IDOK);
  EXPECT_EQ(visit.chineseText, kTextSpeechCn);
  EXPECT_EQ(visit.englishText, kTextSpeechEn);
  EXPECT_TRUE(visit.englishVisible);
  // The Chinese line spans the client width, 10 pixels down, 48 high.
  EXPECT_EQ(visit.chinese.left, visit.client.left);
  EXPECT_EQ(visit.chinese.right - visit.chinese.left, visit.client.right);
  EXPECT_EQ(visit.chinese.top, 10);
  EXPECT_EQ(visit.chinese.bottom - visit.chinese.top, 48);
  // Wide enough for three buttons of the template's size.
  EXPECT_GE(visit.window.right - visit.window.left, 3 * visit.button.cx);
}

TEST_F(MessageBoxTest, NullEnglishHidesTheLine) {
  ASSERT_EQ(Show(kTextFolderCn, nullptr, kMessageKindOk, Answer::kClick, IDOK), IDOK);
  EXPECT_FALSE(visit.englishVisible);
  const int withoutHeight = visit.window.bottom - visit.window.top;
  ASSERT_EQ(Show(kTextFolderCn, kTextFolderEn, kMessageKindOk, Answer::kClick, IDOK), IDOK);
  EXPECT_TRUE(visit.englishVisible);
  EXPECT_GT(visit.window.bottom - visit.window.top, withoutHeight);
}

TEST_F(MessageBoxTest, OverlongEnglishIsCutTo127Bytes) {
  const std::string english(300, 'e');
  ASSERT_EQ(Show(kTextFailedCn, english.c_str(), kMessageKindOk, Answer::kClick, IDOK), IDOK);
  EXPECT_EQ(visit.englishText, std::string(127, 'e'));
}

TEST_F(MessageBoxTest, MissingTemplateGivesMinusOne) {
  HINSTANCE saved = appInstance;
  appInstance = GetModuleHandleA("kernel32.dll");  // holds no template 112
  EXPECT_EQ(ShowMessage(kTextMemoryCn, kTextMemoryEn, kMessageKindOk, nullptr), -1);
  appInstance = saved;
}

// For people to look at: build/tests/screenshots/message_kind*.png. They are
// read from the screen, so a window of a test running alongside may cover them.
TEST_F(MessageBoxTest, Screenshots) {
  EXPECT_EQ(Show(kTextSuccessCn, kTextSuccessEn, kMessageKindOk, Answer::kClick, IDOK, nullptr,
                 "message_kind0.png"),
            IDOK);
  EXPECT_EQ(Show(kTextSpeechCn, kTextSpeechEn, kMessageKindOkCancel, Answer::kClick, IDCANCEL,
                 nullptr, "message_kind1.png"),
            IDCANCEL);
  EXPECT_EQ(Show(kTextWordBaseCn, kTextWordBaseEn, kMessageKindYesNo, Answer::kClick, IDNO,
                 nullptr, "message_kind4.png"),
            IDNO);
}

}  // namespace
