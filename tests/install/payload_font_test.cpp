// The glyph font payload (resource 110): its size, and chosen cells checked
// against GNU Unifont read here, with GB2312 mapped to Unicode by the
// platform's code page 936, not by the font builder's own conversion.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "install/install.h"
#include "payload_test_support.h"
#include "resources/resource.h"
#include "startup/startup.h"

namespace {

constexpr unsigned long kFontCapacity = 307200;  // start-up's buffer for the font
constexpr unsigned long kFontBytes = 241664;     // four 512x944 monochrome images
constexpr int kImageBytes = 60416;
constexpr int kRowBytes = 64;
constexpr int kCellsPerRow = 32;
constexpr int kCellsPerImage = 1888;

using Rows = std::vector<unsigned>;  // 16 rows of 16 pixels, bit 15 leftmost, 1 = ink

// The Unifont glyphs of the wanted code points; narrow (8-pixel) glyphs are
// centred in the 16-pixel cell, as the font lays them out.
std::map<unsigned, Rows> ReadUnifont(const std::vector<unsigned>& wanted) {
  std::map<unsigned, Rows> glyphs;
  std::ifstream in(TAVIK_UNIFONT_HEX);
  std::string line;
  while (std::getline(in, line)) {
    std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    unsigned code = static_cast<unsigned>(std::strtoul(line.substr(0, colon).c_str(), nullptr, 16));
    bool isWanted = false;
    for (unsigned w : wanted) isWanted |= w == code;
    if (!isWanted) continue;
    std::string bits = line.substr(colon + 1);
    while (!bits.empty() && (bits.back() == '\r' || bits.back() == '\n')) bits.pop_back();
    std::size_t digits = bits.size() / 16;  // 2 for narrow, 4 for wide glyphs
    Rows rows;
    for (int row = 0; row < 16; ++row) {
      unsigned value = static_cast<unsigned>(std::strtoul(bits.substr(row * digits, digits).c_str(), nullptr, 16));
      rows.push_back(digits == 2 ? value << 4 : value);
    }
    glyphs[code] = rows;
  }
  return glyphs;
}

unsigned UnicodeOf(unsigned short gbCode) {
  char bytes[2] = {static_cast<char>(gbCode >> 8), static_cast<char>(gbCode & 0xFF)};
  wchar_t wide[2] = {0, 0};
  int count = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes, 2, wide, 2);
  return count == 1 ? static_cast<unsigned>(wide[0]) : 0;
}

Rows CellRows(const std::vector<unsigned char>& font, int cell) {
  int image = cell / kCellsPerImage, row = cell % kCellsPerImage / kCellsPerRow, column = cell % kCellsPerRow;
  Rows rows;
  for (int y = 0; y < 16; ++y) {
    std::size_t at = static_cast<std::size_t>(image) * kImageBytes + (row * 16 + y) * kRowBytes + column * 2;
    unsigned pixels = static_cast<unsigned>(font[at]) << 8 | font[at + 1];
    rows.push_back(~pixels & 0xFFFF);  // 0 is ink in the font
  }
  return rows;
}

TEST(GlyphFontPayload, InflatesToFourImagesAndHoldsUnifontGlyphs) {
  appInstance = GetModuleHandleA(nullptr);
  std::vector<unsigned char> font(kFontCapacity);
  unsigned long length = kFontCapacity;
  ASSERT_EQ(InflatePayload(IDR_GLYPH_FONT, font.data(), &length), 0);
  ASSERT_EQ(length, kFontBytes);

  struct Case {
    unsigned short code;        // what the program draws
    unsigned short glyphSource;  // the GB code whose character the cell shows
    int cell;
  };
  const Case cases[] = {
      {0xA1A1, 0xA1A1, 0},     // ideographic space
      {0xB0A1, 0xB0A1, 658},   // 啊, first hanzi
      {0xF7FE, 0xF7FE, 7425},  // 齄, last hanzi
      {0xA6A4, 0xA9A4, 473},   // sixth symbol row holds the box drawing of row 9: ─
      {0xE946, 0xE946, 7456},  // 镕, a GBK code outside GB2312
      {0xC8D5, 0xC8D5, 2966},  // 日
      {0xBBF0, 0xBBF0, 1771},  // 火
  };
  std::vector<unsigned> wanted;
  for (const Case& c : cases) wanted.push_back(UnicodeOf(c.glyphSource));
  std::map<unsigned, Rows> unifont = ReadUnifont(wanted);
  ASSERT_EQ(unifont.size(), std::size(cases)) << "cannot read " << TAVIK_UNIFONT_HEX;

  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.code);
    unsigned unicode = UnicodeOf(c.glyphSource);
    ASSERT_NE(unicode, 0u);
    EXPECT_EQ(CellRows(font, c.cell), unifont[unicode]);
  }
}

}  // namespace
