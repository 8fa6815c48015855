// Glyph font builder: makes the installer's 16x16 bitmap glyph font
// ("ChnBmp.bin", 241,664 bytes) from GNU Unifont's hex file.
//
//   font_builder unifont.hex ChnBmp.bin
//
// Layout: four 512x944 monochrome images, 64-byte rows top-down, MSB is the
// leftmost pixel, 0 = ink. Cells are numbered across, then down, then image
// by image: cells 0-657 are GB2312 symbol rows 1-7 (the sixth holding the
// box-drawing forms of row 9), 658-7425 the hanzi rows 16-87, cell 7456 is
// U+9555 and 7457 U+2500. Everything else is paper.
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/glyph_locate.h"

namespace {

constexpr int kCellsPerImage = (kGlyphImageWidth / kGlyphCell) * (kGlyphImageHeight / kGlyphCell);
constexpr int kRowBytes = kGlyphImageWidth / 8;

using Glyph = std::vector<unsigned short>;  // 16 rows, bit 15 = leftmost

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "font_builder: %s\n", message.c_str());
  std::exit(1);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Unifont hex lines are "CODEPOINT:BITS" with 32 hex digits for an 8x16
// glyph and 64 for a 16x16 one. Narrow glyphs are centred in the cell.
std::map<unsigned, Glyph> ReadUnifont(const char* path) {
  std::ifstream in(path);
  if (!in) Fail(std::string("cannot read ") + path);
  std::map<unsigned, Glyph> glyphs;
  std::string line;
  while (std::getline(in, line)) {
    std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    unsigned code = static_cast<unsigned>(std::strtoul(line.substr(0, colon).c_str(), nullptr, 16));
    if (code > 0xFFFF) continue;
    std::string bits = line.substr(colon + 1);
    Glyph glyph(16, 0);
    bool wide = bits.size() == 64;
    if (!wide && bits.size() != 32) continue;
    int digitsPerRow = wide ? 4 : 2;
    for (int row = 0; row < 16; ++row) {
      unsigned value = 0;
      for (int d = 0; d < digitsPerRow; ++d) {
        int v = HexValue(bits[row * digitsPerRow + d]);
        if (v < 0) Fail("bad hex digit in glyph " + line.substr(0, colon));
        value = value * 16 + static_cast<unsigned>(v);
      }
      glyph[row] = static_cast<unsigned short>(wide ? value : value << 4);
    }
    glyphs[code] = glyph;
  }
  return glyphs;
}

// GB2312 (EUC-CN) bytes to a Unicode code point; 0 when unassigned.
unsigned GbToUnicode(iconv_t converter, unsigned char lead, unsigned char trail) {
  char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  unsigned char out[4] = {0, 0, 0, 0};
  char* inPtr = in;
  char* outPtr = reinterpret_cast<char*>(out);
  size_t inLeft = 2, outLeft = 4;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || outLeft != 0)
    return 0;
  return out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<unsigned>(out[3]) << 24);
}

void PlaceGlyph(std::vector<unsigned char>& font, int cell, const Glyph& glyph) {
  int image = cell / kCellsPerImage;
  int inImage = cell % kCellsPerImage;
  int top = (inImage / 32) * kGlyphCell;
  int left = (inImage % 32) * kGlyphCell;
  for (int row = 0; row < 16; ++row) {
    std::size_t offset = static_cast<std::size_t>(image) * kGlyphImageBytes +
                         static_cast<std::size_t>(top + row) * kRowBytes + left / 8;
    // Ink is 0: invert the unifont bits.
    font[offset] = static_cast<unsigned char>(~(glyph[row] >> 8));
    font[offset + 1] = static_cast<unsigned char>(~glyph[row]);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) Fail("usage: font_builder unifont.hex ChnBmp.bin");
  std::map<unsigned, Glyph> glyphs = ReadUnifont(argv[1]);
  iconv_t converter = iconv_open("UCS-4LE", "GB2312");
  if (converter == reinterpret_cast<iconv_t>(-1)) Fail("iconv has no GB2312");

  std::vector<unsigned char> font(kGlyphFontBytes, 0xFF);
  int placed = 0;
  auto place = [&](int cell, unsigned code) {
    auto found = glyphs.find(code);
    if (code == 0 || found == glyphs.end()) return;
    PlaceGlyph(font, cell, found->second);
    ++placed;
  };
  // Symbol rows 1-7; the sixth cell row shows GB2312 row 9 (box drawing).
  for (int row = 0; row < 7; ++row) {
    unsigned char lead = static_cast<unsigned char>(row == 5 ? 0xA9 : 0xA1 + row);
    for (int column = 0; column < 94; ++column)
      place(row * 94 + column, GbToUnicode(converter, lead, static_cast<unsigned char>(0xA1 + column)));
  }
  for (int lead = 0xB0; lead <= 0xF7; ++lead)
    for (int trail = 0xA1; trail <= 0xFE; ++trail)
      place(658 + (lead - 0xB0) * 94 + (trail - 0xA1),
            GbToUnicode(converter, static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)));
  place(7456, 0x9555);  // GBK E946, outside GB2312
  place(7457, 0x2500);  // GB2312 A9A4
  iconv_close(converter);

  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(font.data()), static_cast<std::streamsize>(font.size()));
  if (!out) Fail(std::string("cannot write ") + argv[2]);
  std::printf("font_builder: %d glyphs placed, %zu bytes\n", placed, font.size());
  return 0;
}
