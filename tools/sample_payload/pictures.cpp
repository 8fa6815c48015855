// The sample payload's pictures (see pictures.h).
#include "tools/sample_payload/pictures.h"

#include <string>

#include "tools/png_encode.h"

Canvas KeyboardPicture(Random& random, int width, int height) {
  Canvas canvas(width, height, 0xD4D0C8);
  int rows = 4, keyHeight = std::max(8, height / (rows + 1)), keyWidth = std::max(8, width / 14);
  for (int row = 0; row < rows; ++row)
    for (int key = 0; key < 13 - row; ++key) {
      int x = key * keyWidth + row * keyWidth / 2 + 4, y = row * keyHeight + keyHeight / 2;
      canvas.Fill(x, y, keyWidth - 4, keyHeight - 4, 0xFFFFFF);
      canvas.Frame(x, y, keyWidth - 4, keyHeight - 4, 0x404040);
      for (int g = 0; g + 14 < keyHeight - 4; g += 14)
        canvas.Glyph(random, x + 3, y + 2 + g, g ? 0xC00000 : 0x000000);
    }
  return canvas;
}

Canvas ScreenshotPicture(Random& random, int width, int height) {
  Canvas canvas(width, height, 0xFFFFFF);
  for (int x = 0; x < width; ++x)
    canvas.Fill(x, 0, 1, 18, 0x0A2400 | static_cast<std::uint32_t>(0x6A + x * 0x90 / std::max(1, width)));
  canvas.Fill(0, 18, width, 20, 0xD4D0C8);
  for (int y = 44; y + 14 < height; y += 16)
    for (int x = 6; x + 14 < width; x += 14)
      if (random.Below(10) < 7) canvas.Glyph(random, x, y, 0x000000);
  int boxX = width / 3, boxY = height / 2;
  canvas.Fill(boxX, boxY, width / 3, 40, 0xFFFFE1);
  canvas.Frame(boxX, boxY, width / 3, 40, 0x000000);
  for (std::size_t i = 0; i < canvas.pixels.size(); ++i)
    if (random.Below(40) == 0) canvas.pixels[i] ^= 0x0F0F0F & static_cast<std::uint32_t>(random.Next());
  return canvas;
}

Canvas WelcomePicture(Random& random, int width, int height) {
  Canvas canvas(width, height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      canvas.pixels[static_cast<std::size_t>(y) * width + x] =
          (static_cast<std::uint32_t>(40 + 160 * y / height) << 16) |
          (static_cast<std::uint32_t>(80 + 100 * x / width) << 8) | 0xC0;
  canvas.Fill(width / 8, height / 3, width * 3 / 4, height / 3, 0xFFFFFF);
  canvas.Frame(width / 8, height / 3, width * 3 / 4, height / 3, 0x000080);
  for (int x = width / 8 + 8; x + 14 < width * 7 / 8; x += 14) canvas.Glyph(random, x, height / 2 - 6, 0x000080);
  return canvas;
}

Bytes BmpFile(const Canvas& canvas, int bitsPerPixel) {
  int paletteEntries = bitsPerPixel == 8 ? 256 : 0;
  std::size_t stride = (static_cast<std::size_t>(canvas.width) * bitsPerPixel / 8 + 3) & ~std::size_t{3};
  unsigned long dataOffset = 14 + 40 + 4 * paletteEntries;
  unsigned long fileSize = dataOffset + static_cast<unsigned long>(stride * canvas.height);
  Bytes out;
  Append(out, "BM");
  PutLe32(out, fileSize);
  PutLe32(out, 0);
  PutLe32(out, dataOffset);
  PutLe32(out, 40);
  PutLe32(out, static_cast<unsigned long>(canvas.width));
  PutLe32(out, static_cast<unsigned long>(canvas.height));
  PutLe16(out, 1);
  PutLe16(out, static_cast<unsigned>(bitsPerPixel));
  PutLe32(out, 0);  // BI_RGB
  PutLe32(out, static_cast<unsigned long>(stride * canvas.height));
  PutLe32(out, 2835);  // 72 dpi
  PutLe32(out, 2835);
  PutLe32(out, static_cast<unsigned long>(paletteEntries));
  PutLe32(out, 0);
  for (int i = 0; i < paletteEntries; ++i) {
    int r = i / 36 % 6, g = i / 6 % 6, b = i % 6;
    bool cube = i < 216;
    int grey = (i - 216) * 255 / 39;
    out.push_back(static_cast<unsigned char>(cube ? b * 51 : grey));
    out.push_back(static_cast<unsigned char>(cube ? g * 51 : grey));
    out.push_back(static_cast<unsigned char>(cube ? r * 51 : grey));
    out.push_back(0);
  }
  for (int y = canvas.height - 1; y >= 0; --y) {
    std::size_t rowStart = out.size();
    for (int x = 0; x < canvas.width; ++x) {
      std::uint32_t c = canvas.pixels[static_cast<std::size_t>(y) * canvas.width + x];
      unsigned r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
      if (bitsPerPixel == 8) {
        out.push_back(static_cast<unsigned char>((r + 25) / 51 * 36 + (g + 25) / 51 * 6 + (b + 25) / 51));
      } else {
        out.push_back(static_cast<unsigned char>(b));
        out.push_back(static_cast<unsigned char>(g));
        out.push_back(static_cast<unsigned char>(r));
      }
    }
    out.resize(rowStart + stride, 0);
  }
  return out;
}

Bytes PngFile(const Canvas& canvas) {
  std::vector<std::uint8_t> rgb;
  rgb.reserve(canvas.pixels.size() * 3);
  for (std::uint32_t c : canvas.pixels)
    for (int shift = 16; shift >= 0; shift -= 8) rgb.push_back(static_cast<std::uint8_t>(c >> shift));
  std::vector<std::uint8_t> png;
  if (!EncodePng(canvas.width, canvas.height, rgb, "Tavik Roved Editor sample payload", png))
    Fail("cannot encode a PNG image");
  return Bytes(png.begin(), png.end());
}
