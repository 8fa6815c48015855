// The glyph locator: every code lands inside the font, GB2312 codes on
// their own cells.
#include "base/glyph_locate.h"

#include <gtest/gtest.h>

namespace {

struct Place {
  int image, x, y;
};

Place Locate(unsigned code) {
  Place p = {-1, -1, -1};
  EXPECT_EQ(LocateGlyph(static_cast<unsigned short>(code), &p.x, &p.y, &p.image), 1);
  return p;
}

Place CellPlace(int cell) {
  return {cell / 1888, (cell % 32) * 16, ((cell % 1888) / 32) * 16};
}

void ExpectPlace(const Place& actual, const Place& expected) {
  EXPECT_EQ(actual.image, expected.image);
  EXPECT_EQ(actual.x, expected.x);
  EXPECT_EQ(actual.y, expected.y);
}

TEST(LocateGlyph, KnownCells) {
  struct Case {
    unsigned code;
    Place place;
  } cases[] = {
      {0xA1A1, {0, 0, 0}},      // first symbol
      {0xA7FE, {0, 272, 320}},  // cell 657, last symbol
      {0xB0A1, {0, 288, 320}},  // 啊, cell 658
      {0xF7FE, {3, 16, 880}},   // cell 7425, last hanzi
      {0xC8D5, {1, 352, 528}},  // 日
      {0xBBF0, {0, 176, 880}},  // 火
      {0xA6A4, {0, 400, 224}},  // cell 473
      {0xA8A1, {0, 288, 320}},  // row 8 falls on the hanzi of 0xB0A1
      {0xE946, {3, 0, 896}},    // 镕, outside GB2312
      {0xA9A4, {3, 16, 896}},   // ─ of row 9
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << "code 0x" << c.code);
    ExpectPlace(Locate(c.code), c.place);
  }
}

TEST(LocateGlyph, EveryCodeStaysInsideTheFont) {
  for (unsigned code = 0; code <= 0xFFFF; ++code) {
    const Place p = Locate(code);
    if (p.x < 0 || p.x > 496 || p.x % 16 != 0 || p.y < 0 || p.y > 928 || p.y % 16 != 0 ||
        p.image < 0 || p.image > 3) {
      ADD_FAILURE() << std::hex << "code 0x" << code << std::dec << " gives image " << p.image
                    << " at (" << p.x << ", " << p.y << ")";
      return;
    }
  }
}

TEST(LocateGlyph, GbCodesLandOnTheirCells) {
  int wrong = 0;
  for (unsigned lead = 0xA1; lead <= 0xF7; ++lead) {
    if (lead > 0xA7 && lead < 0xB0) continue;  // rows 8-15 have no cells
    const int first = lead < 0xB0 ? static_cast<int>(lead - 0xA1) * 94
                                  : 658 + static_cast<int>(lead - 0xB0) * 94;
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
      const Place expected = CellPlace(first + static_cast<int>(trail - 0xA1));
      const Place actual = Locate(lead * 256 + trail);
      if (actual.image != expected.image || actual.x != expected.x || actual.y != expected.y) {
        if (++wrong <= 5) ADD_FAILURE() << std::hex << "code 0x" << lead * 256 + trail;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

// Rows 8-15 borrow the hanzi cells eight rows further on (except 0xA9A4).
TEST(LocateGlyph, RowsWithoutCellsBorrowHanziCells) {
  for (unsigned lead = 0xA8; lead <= 0xAF; ++lead) {
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
      const unsigned code = lead * 256 + trail;
      if (code == 0xA9A4) continue;
      SCOPED_TRACE(testing::Message() << std::hex << "code 0x" << code);
      ExpectPlace(Locate(code), Locate(code + 0x0800));
      if (testing::Test::HasFailure()) return;
    }
  }
}

}  // namespace
