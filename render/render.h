// Chinese text rendering and controls: the bitmap glyph font, mixed-text
// measuring and drawing, the owner-drawn painters and the message box.
#pragma once

#include <windows.h>

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
};
constexpr ButtonPaintContext kPlainButtons = {0, false};
void DrawOwnerButton(const DRAWITEMSTRUCT* item, const ButtonPaintContext& context);
void DrawListItem(int controlId, int isCombo, const DRAWITEMSTRUCT* item, HWND dialog);
LRESULT CALLBACK CheckControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintCheckControl(HWND window, HDC dc);

// ---- Message box ------------------------------------------------------------
// kind kMessageKindOk: OK; kMessageKindYesNo: Yes/No; any other kind
// (kMessageKindOkCancel): OK/Cancel. Returns the id of the closing command
// (kMessageCommand*), or -1 when the dialog cannot be made.
int ShowMessage(const char* chineseText, const char* englishText, int kind, HWND owner);
INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
