// The painter of one item of the owner-drawn licence list box and of the
// language combo box: window-coloured ground, glyph text, and in the combo
// box the selection in the highlight colours.
#include <memory>
#include <new>

#include "render/gdi_scope.h"
#include "render/render.h"
#include "base/text_cut.h"

namespace {

constexpr int kItemTextCapacity = 260;  // terminator included

bool ItemExists(HWND list, int isCombo, UINT itemId) {
  const LRESULT count = SendMessageA(list, isCombo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  // An empty list reports item -1; a failed count is no count at all.
  return count > 0 && itemId < static_cast<UINT>(count);
}

// Reads item itemId into text (kItemTextCapacity bytes). An item longer than
// the buffer is fetched whole into a buffer of its own size and shown cut:
// the list's GETTEXT writes the whole item wherever it is told to.
bool FetchItemText(HWND list, int isCombo, UINT itemId, char (&text)[kItemTextCapacity]) {
  if (!ItemExists(list, isCombo, itemId)) return false;
  const UINT getLength = isCombo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
  const UINT getText = isCombo ? CB_GETLBTEXT : LB_GETTEXT;
  const LRESULT length = SendMessageA(list, getLength, itemId, 0);
  if (length < 0) return false;
  if (length < kItemTextCapacity) {
    text[0] = '\0';
    if (SendMessageA(list, getText, itemId, reinterpret_cast<LPARAM>(text)) < 0) return false;
    return true;
  }
  std::unique_ptr<char[]> whole(new (std::nothrow) char[length + 1]);
  if (!whole) return false;
  whole[0] = '\0';
  if (SendMessageA(list, getText, itemId, reinterpret_cast<LPARAM>(whole.get())) < 0) {
    return false;
  }
  whole[length] = '\0';
  CopyCut(text, sizeof text, whole.get());
  return true;
}

// The text of an existing item: the owner's (a display text, shown cut)
// or else the list's own.
bool ShownText(HWND list, int isCombo, UINT itemId, const char* itemText,
               char (&text)[kItemTextCapacity]) {
  if (itemText == nullptr) return FetchItemText(list, isCombo, itemId, text);
  if (!ItemExists(list, isCombo, itemId)) return false;
  CopyCut(text, sizeof text, itemText);
  return true;
}

void FillComboGround(HDC dc, const RECT& rc, bool selected) {
  const COLORREF ground = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  // The glyphs' paper takes the background colour: it must equal the ground.
  SetBkColor(dc, ground);
  ScopedGdiObject brush(CreateSolidBrush(ground));
  FillRect(dc, &rc, static_cast<HBRUSH>(brush.get()));
}

void FillListGround(HDC dc, const RECT& rc) {
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW));
}

}  // namespace

void DrawListItem(int controlId, int isCombo, const DRAWITEMSTRUCT* item, HWND dialog,
                  const char* itemText) {
  HDC dc = item->hDC;
  const int savedState = SaveDC(dc);
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  if (isCombo) {
    FillComboGround(dc, item->rcItem, selected);
  } else {
    FillListGround(dc, item->rcItem);
  }
  char text[kItemTextCapacity];
  if (ShownText(GetDlgItem(dialog, controlId), isCombo, item->itemID, itemText, text)) {
    RECT rc = item->rcItem;
    InflateRect(&rc, -2, -2);
    // The licence list never shows a selection, whatever state it reports.
    DrawMixedText(dc, rc.left, rc.top, text, isCombo && selected ? 1 : 0);
  }
  RestoreDC(dc, savedState);
}
