// Glyph cell arithmetic of the bitmap glyph font. Pure arithmetic: no
// Windows header, so it is also built and tested natively.
#pragma once

// Geometry of the font: four 512x944 monochrome images of 16x16 cells.
constexpr int kGlyphImageCount = 4;
constexpr int kGlyphImageWidth = 512;
constexpr int kGlyphImageHeight = 944;
constexpr int kGlyphImageBytes = 60416;  // 64 bytes a row, no padding
constexpr int kGlyphFontBytes = kGlyphImageCount * kGlyphImageBytes;  // 241,664
constexpr int kGlyphCell = 16;

// Turns a double-byte code (lead * 256 + trail) into the top-left pixel of
// its cell and the image that holds it. Always returns 1.
int LocateGlyph(unsigned short code, int* x, int* y, int* image);
