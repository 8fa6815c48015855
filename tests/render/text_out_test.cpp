// Mixed text drawn into memory surfaces with the real glyph font loaded:
// glyph cells pixel for pixel, single bytes through the DC's font.
#include <gtest/gtest.h>

#include "render/render.h"
#include "render_test_support.h"
#include "resources/texts.h"
#include "startup/startup.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kWidth = 160;
constexpr int kHeight = 24;

class TextOutTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(EnsureGlyphFont()); }

  static int SingleWidth(HDC dc, const char* c) {
    SIZE extent;
    return GetTextExtentPointA(dc, c, 1, &extent) ? extent.cx : -1;
  }
};

unsigned short CodeAt(const char* text, int i) {
  return static_cast<unsigned short>(static_cast<unsigned char>(text[i]) << 8 |
                                     static_cast<unsigned char>(text[i + 1]));
}

TEST_F(TextOutTest, GlyphsAreTheFontCellsPixelForPixel) {
  const char* sample = kTextDisplaySample;  // 日出江花红胜火
  const COLORREF dark = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF light = GetSysColor(COLOR_HIGHLIGHTTEXT);
  struct Case {
    const char* name;
    int inverse;
    COLORREF ground, text, ink;
  } cases[] = {
      {"SRCAND on white", 0, kWhite, kBlack, kBlack},
      {"SRCPAINT on highlight", 1, dark, light, dark | light},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Surface surface(kWidth, kHeight), ground(kWidth, kHeight);
    surface.Fill(c.ground);
    ground.Fill(c.ground);
    SetTextColor(surface.dc(), c.text);
    SetBkColor(surface.dc(), c.ground);
    const SIZE extent = DrawMixedText(surface.dc(), 5, 4, sample, c.inverse);
    EXPECT_EQ(extent.cx, 112);
    EXPECT_EQ(extent.cy, 16);
    for (int i = 0; i < 7; ++i) {
      SCOPED_TRACE(testing::Message() << "character " << i);
      EXPECT_EQ(GlyphMismatches(surface, 5 + 16 * i, 4, CodeAt(sample, 2 * i), c.ink, c.ground), 0);
    }
    // Nothing outside the seven cells.
    Surface cells(kWidth, kHeight);
    BitBlt(cells.dc(), 0, 0, kWidth, kHeight, ground.dc(), 0, 0, SRCCOPY);
    BitBlt(cells.dc(), 5, 4, 112, 16, surface.dc(), 5, 4, SRCCOPY);
    EXPECT_EQ(cells.CountDifferences(surface), 0);
  }
}

TEST_F(TextOutTest, SingleBytesSitOnePixelLowerAfterTheirWidth) {
  Surface mixed(kWidth, kHeight), reference(kWidth, kHeight);
  mixed.Fill(kWhite);
  reference.Fill(kWhite);
  const char text[] = "A\xC8\xD5";  // A日
  const SIZE extent = DrawMixedText(mixed.dc(), 3, 2, text, 0);
  const int a = SingleWidth(mixed.dc(), "A");
  ASSERT_GT(a, 0);
  EXPECT_EQ(extent.cx, a + 16);
  EXPECT_EQ(MeasureMixedText(mixed.dc(), text).cx, a + 16);
  // The reference: the letter by the platform one pixel down, then the glyph.
  SetBkMode(reference.dc(), TRANSPARENT);
  TextOutA(reference.dc(), 3, 3, "A", 1);
  BitBlt(reference.dc(), 3 + a, 2, 16, 16, glyphDc[1], 352, 528, SRCAND);
  EXPECT_EQ(mixed.CountDifferences(reference), 0);
  EXPECT_EQ(GlyphMismatches(mixed, 3 + a, 2, 0xC8D5, kBlack, kWhite), 0);
}

TEST_F(TextOutTest, BackgroundModeIsRestored) {
  for (int mode : {OPAQUE, TRANSPARENT}) {
    Surface surface(kWidth, kHeight);
    SetBkMode(surface.dc(), mode);
    DrawMixedText(surface.dc(), 0, 0, "ab\xC8\xD5", 0);
    EXPECT_EQ(GetBkMode(surface.dc()), mode);
  }
  // Opaque mode must not paint the letters' background either.
  Surface surface(kWidth, kHeight), white(kWidth, kHeight);
  surface.Fill(kWhite);
  white.Fill(kWhite);
  SetBkMode(surface.dc(), OPAQUE);
  SetBkColor(surface.dc(), RGB(255, 0, 0));
  DrawMixedText(surface.dc(), 0, 0, "ab", 0);
  EXPECT_FALSE(surface.BoundsOf(RGB(255, 0, 0), RECT{0, 0, kWidth, kHeight}).right > 0);
}

TEST_F(TextOutTest, EmptyTextDrawsNothing) {
  Surface surface(kWidth, kHeight), white(kWidth, kHeight);
  surface.Fill(kWhite);
  white.Fill(kWhite);
  const SIZE drawn = DrawMixedText(surface.dc(), 0, 0, "", 1);
  const SIZE measured = MeasureMixedText(surface.dc(), "");
  EXPECT_EQ(drawn.cx, 0);
  EXPECT_EQ(drawn.cy, 16);
  EXPECT_EQ(measured.cx, 0);
  EXPECT_EQ(measured.cy, 16);
  EXPECT_EQ(surface.CountDifferences(white), 0);
}

// A lead byte in the last position is one glyph wide and draws the cell of
// lead * 256 + 0.
TEST_F(TextOutTest, TrailingLeadBytePairsWithTheTerminator) {
  Surface surface(kWidth, kHeight);
  surface.Fill(kWhite);
  const int a = SingleWidth(surface.dc(), "A");
  EXPECT_EQ(MeasureMixedText(surface.dc(), "\xC8").cx, 16);
  EXPECT_EQ(MeasureMixedText(surface.dc(), "A\xC8").cx, a + 16);
  EXPECT_EQ(MeasureMixedText(surface.dc(), "\xC8\xD5\xC8").cx, 32);
  const SIZE drawn = DrawMixedText(surface.dc(), 0, 0, "\xC8", 0);
  EXPECT_EQ(drawn.cx, 16);
  EXPECT_EQ(GlyphMismatches(surface, 0, 0, 0xC800, kBlack, kWhite), 0);
}

}  // namespace
