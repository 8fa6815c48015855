// The real message loop driving the real wizard template, with a recording
// dialog procedure in place of the wizard's: Enter routing and the loop's
// two ways out.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "resources/resource.h"
#include "startup/startup.h"
#include "startup/startup_steps.h"
#include "wizard/wizard.h"

namespace {
// Posted behind the key press: the first re-posts the second, so the loop
// ends only after every command posted while handling the key has arrived.
constexpr UINT kEndProbe = WM_APP + 1;
constexpr UINT kEndLoop = WM_APP + 2;

std::vector<int> commands;  // control ids of WM_COMMAND, in arrival order
int keyMessagesAtFocus = 0;
WNDPROC focusDefaultProc = nullptr;

INT_PTR CALLBACK RecordingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      commands.push_back(LOWORD(wParam));
      return TRUE;
    case kEndProbe:
      PostMessageA(dialog, kEndLoop, 0, 0);
      return TRUE;
    case kEndLoop:
      pageIndex = -1;
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT CALLBACK CountingControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN || message == WM_CHAR) ++keyMessagesAtFocus;
  return CallWindowProcA(focusDefaultProc, window, message, wParam, lParam);
}

class MessageLoopTest : public testing::Test {
 protected:
  void SetUp() override {
    appInstance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    mainDialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_WIZARD), nullptr,
                                    RecordingDialogProc, 0);
    ASSERT_NE(mainDialog, nullptr);
    pageIndex = 0;
  }
  void TearDown() override {
    DestroyWindow(mainDialog);
    mainDialog = nullptr;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // Focuses the control, presses Enter on it through the queue and runs
  // the loop until the key and everything it caused were handled.
  void PressEnterOn(int controlId) {
    HWND control = GetDlgItem(mainDialog, controlId);
    ASSERT_NE(control, nullptr);
    ShowWindow(control, SW_SHOW);
    EnableWindow(control, TRUE);
    SetFocus(control);
    ASSERT_EQ(GetFocus(), control);
    focusDefaultProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingControlProc)));
    commands.clear();
    keyMessagesAtFocus = 0;
    PostMessageA(control, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(mainDialog, kEndProbe, 0, 0);
    RunMessageLoop();
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(focusDefaultProc));
  }
};
}  // namespace

TEST_F(MessageLoopTest, EnterOnAPushButtonPressesThatButtonOnly) {
  for (int id : {IDC_BACK, IDC_BROWSE, IDC_NEXT, IDCANCEL}) {
    SCOPED_TRACE(id);
    PressEnterOn(id);
    // One command, the button's own: the dialog manager never saw the key
    // (it would have sent a command of its own), nor did the button.
    EXPECT_EQ(commands, std::vector<int>{id});
    EXPECT_EQ(keyMessagesAtFocus, 0);
    pageIndex = 0;
  }
}

TEST_F(MessageLoopTest, EnterElsewhereMeansNextAndStillReachesTheDialogManager) {
  for (int id : {IDC_DESKTOP_ICON, IDC_PATH_EDIT, IDC_LANGUAGE_COMBO, IDC_DISPLAY_OK}) {
    SCOPED_TRACE(id);
    UINT checkBefore = IsDlgButtonChecked(mainDialog, id);
    PressEnterOn(id);
    // The dialog manager answers Enter at once with IDOK (the template has
    // no default push button); the posted Next/Install arrives after it.
    EXPECT_EQ(commands, (std::vector<int>{IDOK, IDC_NEXT}));
    EXPECT_EQ(IsDlgButtonChecked(mainDialog, id), checkBefore);
    pageIndex = 0;
  }
}

TEST_F(MessageLoopTest, StopsRightAfterTheHandlerThatEndsIt) {
  constexpr UINT kLater = WM_APP + 3;
  PostMessageA(mainDialog, kEndLoop, 0, 0);
  PostMessageA(mainDialog, kLater, 0, 0);
  RunMessageLoop();
  EXPECT_EQ(pageIndex, -1);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, mainDialog, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, kLater);  // never taken by the loop
}

TEST_F(MessageLoopTest, QuitMessageEndsTheLoopWhilePageIndexStaysPut) {
  PostQuitMessage(0);
  RunMessageLoop();
  EXPECT_EQ(pageIndex, 0);
}
