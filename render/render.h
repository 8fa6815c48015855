// Chinese text rendering and controls: the bitmap glyph font, mixed-text
// measuring and drawing, the owner-drawn painters and the message box.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/glyph_locate.h"
#include "base/message_layout.h"
#include "resources/app_state.h"

// ---- Bitmap glyph font and text output --------------------------------------
// sampleFont and buttonDefaultProc belong to render; they are declared with
// the shared state.

// Makes glyphBitmap/glyphDc from the inflated font (kGlyphFontBytes bytes).
// On failure releases whatever was made and returns 0.
int LoadGlyphFont(const unsigned char* fontData);
void ReleaseGlyphFont();  // selects the old bitmaps back, deletes everything

SIZE MeasureMixedText(HDC dc, const char* text);
SIZE DrawMixedText(HDC dc, int x, int y, const char* text, int inverse);
void TextOutGbk(HDC dc, int x, int y, const char* text, int length);
int CreateSampleFont();
int IsDbcsSystem();

// ---- Owner-drawn controls ---------------------------------------------------
// What the buttons' owner knows and the painter does not.
struct ButtonPaintContext {
  int defaultCommand;  // the button Enter triggers, outlined in black; 0 none
  bool nextInstalls;   // IDC_NEXT is captioned Agree/Install, not Next
  // The GB2312 text of the controls outside the caption table; null: their
  // window text, which is then their name as well.
  const char* labelText;
};
constexpr ButtonPaintContext kPlainButtons = {0, false, nullptr};
void DrawOwnerButton(const DRAWITEMSTRUCT* item, const ButtonPaintContext& context);
// itemText: the GB2312 text to draw for an existing item; null: the item's
// own text, fetched from the list.
void DrawListItem(int controlId, int isCombo, const DRAWITEMSTRUCT* item, HWND dialog,
                  const char* itemText = nullptr);
// Unicode window procedure: install it with SetWindowLongPtrW, so that the
// check box keeps its UTF-16 name.
LRESULT CALLBACK CheckControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintCheckControl(HWND window, HDC dc);

// ---- Names --------------------------------------------------------------------
// Owner drawing ignores the window texts, so each control carries its caption
// as its UTF-16 window text: the name a screen reader reads. No '&' in any.
// The name of owner-drawn button id, or null for one without a caption.
const wchar_t* OwnerButtonName(int id, bool nextInstalls);
// Names every owner-drawn button of dialog that has a caption.
void NameOwnerButtons(HWND dialog, bool nextInstalls);
// The name of the glyph check box id, or null.
const wchar_t* CheckCaptionName(int id);

// ---- Message box ------------------------------------------------------------
// kind kMessageKindOk: OK; kMessageKindYesNo: Yes/No; any other kind
// (kMessageKindOkCancel): OK/Cancel. Returns the id of the closing command
// (kMessageCommand*), or -1 when the dialog cannot be made.
// The Chinese text is named (for screen readers) by its UTF-16 twin from
// the text table; a text made at run time gives its name itself (null: none).
int ShowMessage(const char* chineseText, const char* englishText, int kind, HWND owner);
int ShowMessage(const char* chineseText, const wchar_t* chineseName, const char* englishText, int kind,
                HWND owner);
// The name of a Chinese text made at run time: FORMAT (a UTF-16 twin from
// the text table) with its one "%s" replaced by ANSI_TEXT (a path, in the
// system's code page). False, with an empty name, where it does not fit.
bool FormatMessageName(wchar_t* name, std::size_t size, const wchar_t* format, const char* ansiText);
INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
