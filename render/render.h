// Chinese text rendering and controls: the bitmap glyph font, mixed-text
// measuring and drawing, the owner-drawn painters and the message box.
#pragma once

#include <windows.h>

#include "base/glyph_locate.h"

// ---- Bitmap glyph font and text output --------------------------------------
extern HFONT sampleFont;  // GB2312 "Courier New" for the display test line

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
void DrawOwnerButton(const DRAWITEMSTRUCT* item);
void DrawListItem(int controlId, int isCombo, const DRAWITEMSTRUCT* item, HWND dialog);
LRESULT CALLBACK CheckControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintCheckControl(HWND window, HDC dc);

// ---- Message box ------------------------------------------------------------
// kind 0: OK; kind 4: Yes/No; any other kind: OK/Cancel. Returns the id of
// the closing command (1, 2, 6, 7), or -1 when the dialog cannot be made.
int ShowMessage(const char* chineseText, const char* englishText, int kind, HWND owner);
INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
