// The check boxes of the wizard with bitmap-glyph captions: a subclass that
// paints the platform's check-box frame and draws the caption itself.

#include "render/render.h"
#include "base/text_cut.h"
#include "resources/resource.h"
#include "resources/texts.h"

WNDPROC buttonDefaultProc = nullptr;

namespace {

// A caption as it is drawn (GB2312) and as it is named (UTF-16).
struct CheckCaption {
  int id;
  const char* text;
  const wchar_t* name;
};

const CheckCaption kCheckCaptions[] = {
    {IDC_DESKTOP_ICON, kTextDesktopIcon, wide::kTextDesktopIcon},
    {IDC_DISPLAY_OK, kTextDisplayOk, wide::kTextDisplayOk},
    {IDC_DISPLAY_NOT_OK, kTextDisplayNotOk, wide::kTextDisplayNotOk},
};

template <std::size_t N>
const char* CheckCaptionOf(HWND window, char (&windowText)[N]) {
  const int id = GetDlgCtrlID(window);
  for (const CheckCaption& entry : kCheckCaptions) {
    if (entry.id == id) return entry.text;
  }
  windowText[0] = '\0';
  GetWindowTextA(window, windowText, static_cast<int>(N));
  DropDanglingLead(windowText);
  return windowText;
}

// The box square at the left of rc, trimmed the way the platform's own
// check boxes and radio buttons sit beside their captions.
RECT FrameBox(const RECT& rc, LONG style, UINT* state) {
  const int h = rc.bottom - rc.top;
  RECT box = {rc.left, rc.top, rc.left + h, rc.bottom};
  const LONG type = style & 0xFF;
  if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) {
    InflateRect(&box, -(h / 4), -(h / 4));
    box.top -= 1;
    box.left -= h / 8;
    box.right -= h / 7;
    box.bottom -= 3;
    *state = 0;
  } else {
    InflateRect(&box, -(h / 12), -(h / 12));
    box.left -= 1;
    box.top += 1;
    box.right -= h / 5;
    box.bottom -= 2;
    *state = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON ? DFCS_BUTTONRADIO : 0;
  }
  return box;
}

}  // namespace

void PaintCheckControl(HWND window, HDC dc) {
  const bool checked = SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
  RECT rc;
  GetClientRect(window, &rc);
  InflateRect(&rc, 2, 2);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));

  UINT state = 0;
  RECT box = FrameBox(rc, GetWindowLongA(window, GWL_STYLE), &state);
  if (checked) state |= DFCS_CHECKED;
  if (!IsWindowEnabled(window)) state |= DFCS_INACTIVE;
  DrawFrameControl(dc, &box, DFC_BUTTON, state);

  char windowText[127];
  const char* caption = CheckCaptionOf(window, windowText);
  const SIZE extent = MeasureMixedText(dc, caption);
  // The caption starts one box width to the right of the box.
  const int tx = 2 * box.right - box.left;
  const int ty = rc.top + 3;
  DrawMixedText(dc, tx, ty, caption, 0);
  if (GetFocus() == window) {
    RECT focus = {tx - 1, ty - 1, tx + extent.cx + 3, ty + 18};
    DrawFocusRect(dc, &focus);
  }
}

LRESULT CALLBACK CheckControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      // The platform's own painting is never reached: it would draw the
      // caption in a system font that may have no Chinese.
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintCheckControl(window, dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_LBUTTONDOWN:
      // The pressed state is drawn by the platform straight to the screen,
      // over the caption; a full repaint puts the glyphs back.
      InvalidateRect(window, nullptr, TRUE);
      break;
    case WM_SETTEXT: {
      // The name is kept, but the platform's check box would paint it in a
      // system font at once: only the glyph caption is ever drawn.
      const LRESULT kept = DefWindowProcW(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, FALSE);
      return kept;
    }
    default:
      break;
  }
  if (buttonDefaultProc == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return CallWindowProcW(buttonDefaultProc, window, message, wParam, lParam);
}

const wchar_t* CheckCaptionName(int id) {
  for (const CheckCaption& entry : kCheckCaptions) {
    if (entry.id == id) return entry.name;
  }
  return nullptr;
}
