// The WM_DRAWITEM painter of the owner-drawn buttons and labels of the
// wizard, the message box and the folder chooser: bilingual text by control
// id, face, two-step bevel, default-command outline and focus rectangle.
#include <cstring>

#include "render/gdi_scope.h"
#include "render/render.h"
#include "base/text_cut.h"
#include "resources/resource.h"
#include "resources/texts.h"

namespace {

// Left-aligned in the layout table although no template uses it today.
constexpr int kSpareLeftLabel = 1016;

// A caption as it is drawn (GB2312) and as it is named (UTF-16).
struct ButtonText {
  int id;
  const char* text;
  const wchar_t* name;
};
#define TAVIK_CAPTION(text) text, wide::text

// The same bilingual captions for every UI language. IDC_NEXT changes with
// the page and IDC_PANEL_BLANK is never painted; both are handled apart.
const ButtonText kButtonTexts[] = {
    {IDOK, TAVIK_CAPTION(kTextOk)},
    {IDCANCEL, TAVIK_CAPTION(kTextCancel)},
    {IDC_BACK, TAVIK_CAPTION(kTextBack)},
    {IDYES, TAVIK_CAPTION(kTextYes)},
    {IDNO, TAVIK_CAPTION(kTextNo)},
    {IDC_BROWSE, TAVIK_CAPTION(kTextBrowse)},
    {IDC_PATH_LABEL, TAVIK_CAPTION(kTextInstallPath)},
    {IDC_CHOOSER_DIR_LABEL, TAVIK_CAPTION(kTextDirectories)},
    {IDC_PANEL_TAVIK, TAVIK_CAPTION(kTextPanelTavik)},
    {IDC_CHOOSER_DRIVE_LABEL, TAVIK_CAPTION(kTextDrives)},
    {IDC_PANEL_EDITOR, TAVIK_CAPTION(kTextPanelEditor)},
    {IDC_PANEL_SETUP, TAVIK_CAPTION(kTextPanelSetup)},
    {IDC_DISPLAY_QUESTION, TAVIK_CAPTION(kTextDisplayQuestion)},
    {IDC_DISPLAY_SAMPLE, TAVIK_CAPTION(kTextDisplaySample)},
    {IDC_BOTTOM_STRIP, "", nullptr},  // a blank face: nothing to read
    {IDC_LANGUAGE_LABEL, TAVIK_CAPTION(kTextLanguageLabel)},
};
#undef TAVIK_CAPTION

const ButtonText* ButtonTextOf(int id) {
  for (const ButtonText& entry : kButtonTexts) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

struct LayoutClass {
  int id;
  bool leftAligned;
  bool bevel;
};

const LayoutClass kLayoutClasses[] = {
    {IDC_PATH_LABEL, true, false},       {IDC_CHOOSER_DIR_LABEL, true, false},
    {IDC_CHOOSER_DRIVE_LABEL, true, false}, {kSpareLeftLabel, true, false},
    {IDC_BOTTOM_STRIP, true, false},     {IDC_PANEL_TAVIK, false, false},
    {IDC_PANEL_EDITOR, false, false},    {IDC_PANEL_SETUP, false, false},
    {IDC_MESSAGE_CHINESE, false, false}, {IDC_PANEL_BLANK, false, false},
    {IDC_DISPLAY_QUESTION, false, false}, {IDC_DISPLAY_SAMPLE, false, false},
    {IDC_LANGUAGE_LABEL, false, false},  {IDC_LANGUAGE_COMBO, false, false},
};
constexpr LayoutClass kPushButtonClass = {0, false, true};

// Text-only controls: no bevel whatever layout class their item claims.
const int kNeverBevelled[] = {IDC_DISPLAY_QUESTION, IDC_DISPLAY_SAMPLE, IDC_LANGUAGE_LABEL,
                              IDC_LANGUAGE_COMBO};

LayoutClass LayoutOf(int id) {
  for (const LayoutClass& entry : kLayoutClasses) {
    if (entry.id == id) return entry;
  }
  return kPushButtonClass;
}

bool NeverBevelled(int id) {
  for (int excluded : kNeverBevelled) {
    if (excluded == id) return true;
  }
  return false;
}

// The caption of control id; ids outside the table show the owner's label
// text or else their window text, read into windowText (cut to its size on
// a character boundary).
template <std::size_t N>
const char* CaptionOf(HWND control, int id, const ButtonPaintContext& context, char (&windowText)[N]) {
  if (id == IDC_NEXT) return context.nextInstalls ? kTextAgreeInstall : kTextNext;
  if (const ButtonText* entry = ButtonTextOf(id)) return entry->text;
  // Cut to the same buffer whichever way the text comes.
  if (context.labelText != nullptr) {
    CopyCut(windowText, N, context.labelText);
    return windowText;
  }
  windowText[0] = '\0';
  GetWindowTextA(control, windowText, static_cast<int>(N));
  DropDanglingLead(windowText);
  return windowText;
}

// Two steps of light top/left and dark bottom/right edges, swapped when
// pressed; the default command gets a black outline instead of the outer
// dark line.
void DrawBevel(HDC dc, const RECT& rc, bool selected, bool isDefault) {
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
  ScopedGdiObject penA(CreatePen(PS_SOLID, 1, selected ? dark : light));
  ScopedGdiObject penB(CreatePen(PS_SOLID, 1, selected ? light : dark));
  ScopedSelectObject keepPen(dc, penA.get());
  const int l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
  for (int i = 1; i <= 2; ++i) {
    MoveToEx(dc, l + i, b - i - 1, nullptr);
    LineTo(dc, l + i, t + i);
    LineTo(dc, r - i - 1, t + i);
    SelectObject(dc, penB.get());
    LineTo(dc, r - i - 1, b - i - 1);
    LineTo(dc, l + i, b - i - 1);
    SelectObject(dc, penA.get());
  }
  if (isDefault) {
    SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, l, b - 1, nullptr);
    LineTo(dc, l, t);
    LineTo(dc, r - 1, t);
    LineTo(dc, r - 1, b - 1);
    LineTo(dc, l, b - 1);
    MoveToEx(dc, l + 1, b - 2, nullptr);
    LineTo(dc, r - 2, b - 2);
    LineTo(dc, r - 2, t + 1);
  } else {
    SelectObject(dc, penB.get());
    MoveToEx(dc, l + 1, b - 1, nullptr);
    LineTo(dc, r - 1, b - 1);
    LineTo(dc, r - 1, t);
  }
}

// The display test line is the one text drawn by the system's own Chinese
// font, so the user sees whether the system can show Chinese at all.
void DrawSampleLine(HDC dc, int x, int y, const char* text) {
  if (sampleFont == nullptr) return;
  ScopedSelectObject keepFont(dc, sampleFont);
  TextOutGbk(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

void DrawFace(const DRAWITEMSTRUCT* item, int id, const char* text, int defaultCommand) {
  HDC dc = item->hDC;
  const RECT& rc = item->rcItem;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  const LayoutClass layout = LayoutOf(static_cast<int>(item->CtlID));
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  if (layout.bevel && !NeverBevelled(id)) {
    DrawBevel(dc, rc, selected, static_cast<int>(item->CtlID) == defaultCommand);
  }
  const SIZE extent = MeasureMixedText(dc, text);
  int x = rc.left;
  if (!layout.leftAligned) x += (rc.right - rc.left - extent.cx) / 2;
  int y = rc.top + (rc.bottom - rc.top - extent.cy) / 2;
  if (selected) {
    x += 2;
    y += 1;
  }
  if (id == IDC_DISPLAY_SAMPLE) {
    DrawSampleLine(dc, x, y, text);
  } else {
    DrawMixedText(dc, x, y, text, 0);
  }
}

void DrawFocus(const DRAWITEMSTRUCT* item) {
  RECT rc = item->rcItem;
  const int dx = (rc.right - rc.left) / 10;
  const int dy = (rc.bottom - rc.top) / 8;
  rc.left += dx;
  rc.right -= dx;
  rc.top += dy;
  rc.bottom -= dy;
  DrawFocusRect(item->hDC, &rc);
}

}  // namespace

void DrawOwnerButton(const DRAWITEMSTRUCT* item, const ButtonPaintContext& context) {
  if (item->CtlType != ODT_BUTTON) return;
  const int id = GetDlgCtrlID(item->hwndItem);
  // The blank panel belongs to the dialog's own background: no face, no focus.
  if (id == IDC_PANEL_BLANK) return;
  if (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
    char windowText[80];
    DrawFace(item, id, CaptionOf(item->hwndItem, id, context, windowText),
             context.defaultCommand);
  }
  if (item->itemState & ODS_FOCUS) DrawFocus(item);
}

const wchar_t* OwnerButtonName(int id, bool nextInstalls) {
  if (id == IDC_NEXT) return nextInstalls ? wide::kTextAgreeInstall : wide::kTextNext;
  const ButtonText* entry = ButtonTextOf(id);
  return entry != nullptr ? entry->name : nullptr;
}

namespace {
BOOL CALLBACK NameOwnerButton(HWND control, LPARAM nextInstalls) {
  if ((GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) != BS_OWNERDRAW) return TRUE;
  const wchar_t* name = OwnerButtonName(GetDlgCtrlID(control), nextInstalls != 0);
  if (name != nullptr) SetWindowTextW(control, name);
  return TRUE;
}
}  // namespace

void NameOwnerButtons(HWND dialog, bool nextInstalls) {
  EnumChildWindows(dialog, NameOwnerButton, nextInstalls ? 1 : 0);
}
