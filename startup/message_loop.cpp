// The program's one message loop. It routes Enter itself: a focused push
// button is pressed by Enter, anything else makes Enter mean Next/Install.
#include "startup/startup.h"
#include "base/startup_logic.h"
#include "startup/startup_steps.h"
#include "wizard/wizard.h"

bool RouteEnterKey() {
  HWND focus = GetFocus();
  char className[100] = "";
  unsigned long style = 0;
  if (focus != nullptr) {
    GetClassNameA(focus, className, sizeof className);
    className[sizeof className - 1] = '\0';
    style = static_cast<unsigned long>(GetWindowLongA(focus, GWL_STYLE));
  }
  if (ChooseEnterTarget(focus != nullptr, className, style) == EnterTarget::kFocusedButton) {
    PostMessageA(mainDialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED), 0);
    return true;
  }
  PostMessageA(mainDialog, WM_COMMAND, MAKEWPARAM(defaultCommandId, BN_CLICKED), 0);
  return false;
}

void RunMessageLoop() {
  MSG message;
  // The test comes before each wait: a handler that sets -1 ends the loop
  // without one more message.
  while (pageIndex >= 0) {
    BOOL result = GetMessageA(&message, nullptr, 0, 0);
    // -1 would repeat forever with the same failure; treat it like the end.
    if (result == 0 || result == -1) break;
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && RouteEnterKey()) continue;
    if (!IsDialogMessageA(mainDialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}
