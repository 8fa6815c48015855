// Shared helpers of the render tests: the glyph font of the test payload,
// 32-bit memory surfaces with pixel access, and PNG output for screenshots.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Inflates font resource 110 of the test payload and loads it into glyphDc
// (once per process). Returns false when either step fails.
bool EnsureGlyphFont();
// The inflated font data; empty before EnsureGlyphFont succeeded.
const std::vector<unsigned char>& GlyphFontData();
// Whether the font data has ink at pixel (x, y) of image.
bool FontInk(int image, int x, int y);

class Surface;
// Pixels of the 16x16 square at (x, y) of surface that differ from the glyph
// cell of code, with its ink shown as ink and its paper as paper.
int GlyphMismatches(const Surface& surface, int x, int y, unsigned short code, COLORREF ink,
                    COLORREF paper);

// A top-down 32-bit DIB selected into a memory DC.
class Surface {
 public:
  Surface(int width, int height);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  void Fill(COLORREF colour);
  COLORREF Pixel(int x, int y) const;  // as a COLORREF (0x00BBGGRR)
  // Number of pixels that differ from other (same size).
  int CountDifferences(const Surface& other) const;
  // Bounding box of the pixels of the given colour; empty (0,0,0,0) if none.
  RECT BoundsOf(COLORREF colour, const RECT& within) const;
  bool WritePng(const std::string& path) const;

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  unsigned* bits_ = nullptr;
};

// Writes 32-bit 0x00RRGGBB pixels, top row first, as an RGB PNG.
bool WritePng(const std::string& path, const unsigned* pixels, int width, int height);

// Folder "screenshots" beside the running test executable (created).
std::string ScreenshotFolder();
