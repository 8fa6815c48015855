// The sample payload's pictures: a canvas with a few drawing primitives,
// three kinds of picture drawn on it, and their BMP and PNG files.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tools/sample_payload/bytes.h"
#include "tools/sample_payload/random.h"

struct Canvas {
  int width, height;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB
  Canvas(int w, int h, std::uint32_t colour) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, colour) {}
  void Fill(int x, int y, int w, int h, std::uint32_t colour) {
    for (int row = std::max(0, y); row < std::min(height, y + h); ++row)
      for (int col = std::max(0, x); col < std::min(width, x + w); ++col)
        pixels[static_cast<std::size_t>(row) * width + col] = colour;
  }
  void Frame(int x, int y, int w, int h, std::uint32_t colour) {
    Fill(x, y, w, 1, colour);
    Fill(x, y + h - 1, w, 1, colour);
    Fill(x, y, 1, h, colour);
    Fill(x + w - 1, y, 1, h, colour);
  }
  // A block of "writing": random strokes in a 12x12 cell, like small text.
  void Glyph(Random& random, int x, int y, std::uint32_t colour) {
    for (int stroke = 0; stroke < 4; ++stroke) {
      bool across = random.Below(2);
      int at = random.Between(1, 10), from = random.Between(0, 5), length = random.Between(4, 11 - from);
      if (across) Fill(x + from, y + at, length, 1, colour);
      else Fill(x + at, y + from, 1, length, colour);
    }
  }
};

// A keyboard map: rows of keys, each with its letter and a few characters.
Canvas KeyboardPicture(Random& random, int width, int height);
// A screenshot of the editor: title bar, menu, a text area with writing and
// a candidate window, plus the faint noise of anti-aliased text.
Canvas ScreenshotPicture(Random& random, int width, int height);
// A welcome picture: a smooth gradient with a framed panel.
Canvas WelcomePicture(Random& random, int width, int height);

// Windows bitmap file, bottom-up rows padded to 4 bytes: 24-bit colour, or
// 8-bit with a 6x6x6 colour cube palette.
Bytes BmpFile(const Canvas& canvas, int bitsPerPixel);
Bytes PngFile(const Canvas& canvas);
