// A picture in memory to draw into or copy the screen into, with its
// pixels readable: a top-down 32-bit DIB selected into a memory DC.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

class Surface {
 public:
  Surface(int width, int height);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  // False when the DC or the bitmap could not be made.
  bool ok() const { return bits_ != nullptr; }
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // 0x00RRGGBB, top row first, with all drawing finished.
  const unsigned* Bits() const;
  void Fill(COLORREF colour);
  COLORREF Pixel(int x, int y) const;  // as a COLORREF (0x00BBGGRR)
  // Copies the screen rectangle of this surface's size at (left, top).
  bool CopyFromScreen(int left, int top);
  // The pixels as RGB bytes, top row first.
  std::vector<std::uint8_t> Rgb() const;
  // Number of pixels that differ from other (same size).
  int CountDifferences(const Surface& other) const;
  // Bounding box of the pixels of the given colour; empty (0,0,0,0) if none.
  RECT BoundsOf(COLORREF colour, const RECT& within) const;

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  unsigned* bits_ = nullptr;
};
