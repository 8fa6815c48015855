// The program's own message box: a modal dialog (template 112) with the
// Chinese text in bitmap glyphs, the English text below it in the dialog's
// font, and one or two owner-drawn bilingual buttons.
#include <cstring>
#include <cwchar>
#include <iterator>

#include "base/message_layout.h"
#include "render/render.h"
#include "base/text_cut.h"
#include "resources/app_state.h"
#include "resources/resource.h"
#include "resources/texts.h"

namespace {

// One message box at a time: the pending call's kind and English text, read
// only while the dialog initialises.
int messageKind = kMessageKindOk;
char messageEnglish[kMessageEnglishCapacity] = "";

// The Chinese text as the glyphs draw it and as the control names it; kept
// by each dialog (DWLP_USER), so its repaints always find their own text.
struct ChineseText {
  const char* drawn;
  const wchar_t* name;
};

const ChineseText* ChineseOf(HWND dialog) {
  return reinterpret_cast<const ChineseText*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The English line is ASCII; converted as the system would show it.
void NameEnglish(HWND english) {
  wchar_t name[kMessageEnglishCapacity];
  if (MultiByteToWideChar(CP_ACP, 0, messageEnglish, -1, name, kMessageEnglishCapacity) > 0)
    SetWindowTextW(english, name);
}

SIZE EnglishExtent(HDC dc) {
  SIZE extent = {0, 0};
  const int length = static_cast<int>(std::strlen(messageEnglish));
  if (length == 0 || !GetTextExtentPointA(dc, messageEnglish, length, &extent)) {
    return SIZE{0, 0};
  }
  return extent;
}

SIZE ClientSize(HWND window) {
  RECT rc;
  if (window == nullptr || !GetClientRect(window, &rc)) {
    return SIZE{kMessageButtonFallbackWidth, kMessageButtonFallbackHeight};
  }
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

MessageLayoutInput MeasureMessage(HWND dialog, const char* chineseText) {
  MessageLayoutInput in = {};
  HDC dc = GetDC(dialog);
  const SIZE chinese = MeasureMixedText(dc, chineseText);
  const SIZE english = EnglishExtent(dc);
  ReleaseDC(dialog, dc);
  const SIZE button = ClientSize(GetDlgItem(dialog, MessageFirstButtonId(messageKind)));
  in.chineseWidth = chinese.cx;
  in.chineseHeight = chinese.cy;
  in.englishWidth = english.cx;
  in.englishHeight = english.cy;
  in.hasEnglish = messageEnglish[0] != '\0';
  in.buttonWidth = button.cx;
  in.buttonHeight = button.cy;
  in.chineseLength = static_cast<int>(std::strlen(chineseText));
  in.kind = messageKind;
  in.dialogFrameWidth = GetSystemMetrics(SM_CXDLGFRAME);
  in.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  in.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  in.captionHeight = GetSystemMetrics(SM_CYCAPTION);
  return in;
}

void ShowAt(HWND dialog, int id, const LayoutRect& place) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) return;
  ShowWindow(control, SW_SHOW);
  MoveWindow(control, place.x, place.y, place.width, place.height, TRUE);
}

BOOL OnInitDialog(HWND dialog, const ChineseText* chineseText) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(chineseText));
  NameOwnerButtons(dialog, false);
  const MessageLayout layout = ComputeMessageLayout(MeasureMessage(dialog, chineseText->drawn));
  SetWindowPos(dialog, nullptr, layout.window.x, layout.window.y, layout.window.width,
               layout.window.height, SWP_NOZORDER);
  RECT client;
  GetClientRect(dialog, &client);

  ShowAt(dialog, layout.firstButtonId, layout.firstButton);
  if (layout.secondButtonId != 0) ShowAt(dialog, layout.secondButtonId, layout.secondButton);

  HWND chinese = GetDlgItem(dialog, IDC_MESSAGE_CHINESE);
  // The glyphs are drawn from chineseText->drawn, never from this name.
  SetWindowTextW(chinese, chineseText->name != nullptr ? chineseText->name : L"");
  MoveWindow(chinese, client.left, layout.chineseTop, client.right, layout.chineseHeight, TRUE);

  HWND english = GetDlgItem(dialog, IDC_MESSAGE_ENGLISH);
  if (layout.showEnglish) {
    NameEnglish(english);
    MoveWindow(english, client.left, layout.englishTop, client.right, layout.englishHeight,
               TRUE);
  } else {
    ShowWindow(english, SW_HIDE);
  }
  // TRUE: the focus goes to the first visible button in template order.
  return TRUE;
}

void OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
    case IDYES:
    case IDNO:
      EndDialog(dialog, id);
      break;
    default:
      break;
  }
}

}  // namespace

INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog, reinterpret_cast<const ChineseText*>(lParam));
    case WM_DRAWITEM: {
      const ChineseText* chinese = ChineseOf(dialog);
      const ButtonPaintContext context = {0, false, chinese != nullptr ? chinese->drawn : ""};
      DrawOwnerButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), context);
      return TRUE;
    }
    case WM_COMMAND:
      // Escape and the close box arrive as IDCANCEL in every kind.
      OnCommand(dialog, LOWORD(wParam));
      return FALSE;
    default:
      return FALSE;
  }
}

bool FormatMessageName(wchar_t* name, std::size_t size, const wchar_t* format, const char* ansiText) {
  if (size == 0) return false;
  name[0] = L'\0';
  const wchar_t* slot = std::wcsstr(format, L"%s");
  wchar_t text[MAX_PATH * 2];
  if (slot == nullptr ||
      MultiByteToWideChar(CP_ACP, 0, ansiText, -1, text, static_cast<int>(std::size(text))) == 0)
    return false;
  const std::size_t before = static_cast<std::size_t>(slot - format);
  const std::size_t middle = std::wcslen(text);
  const std::size_t after = std::wcslen(slot + 2);
  if (before + middle + after >= size) return false;
  std::wmemcpy(name, format, before);
  std::wmemcpy(name + before, text, middle);
  std::wmemcpy(name + before + middle, slot + 2, after + 1);
  return true;
}

int ShowMessage(const char* chineseText, const char* englishText, int kind, HWND owner) {
  return ShowMessage(chineseText, WideTwinOf(chineseText), englishText, kind, owner);
}

int ShowMessage(const char* chineseText, const wchar_t* chineseName, const char* englishText, int kind,
                HWND owner) {
  messageKind = kind;
  // English texts are display texts: an over-long one is shown cut, not lost.
  CopyCut(messageEnglish, std::size(messageEnglish), englishText != nullptr ? englishText : "");
  const ChineseText chinese = {chineseText != nullptr ? chineseText : "", chineseName};
  const INT_PTR result =
      DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_MESSAGE), owner, MessageDialogProc,
                      reinterpret_cast<LPARAM>(&chinese));
  // DialogBoxParam reports an invalid owner as 0 and other failures as -1.
  return result > 0 ? static_cast<int>(result) : -1;
}
