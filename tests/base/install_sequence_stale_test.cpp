// Names of the stale dictionary files and the case-blind name comparison.
#include "base/stale_files.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(StaleFiles, SixtyFourNamesInDeletionOrder) {
  const char* const bases[] = {"pykeys.dic", "Gbkflat.dic", "flatAuto.dic", "flatAdjust.dic"};
  const char* const suffixes[] = {"",     "0001", "0010", "0011", "0100", "0101", "0110", "0111",
                                  "1000", "1001", "1010", "1011", "1100", "1101", "1110", "1111"};
  std::size_t index = 0;
  for (const char* suffix : suffixes) {
    for (const char* base : bases) {
      SCOPED_TRACE(index);
      char name[32];
      ASSERT_TRUE(FormatStaleFileName(name, sizeof name, index++));
      EXPECT_EQ(std::string(name), std::string(base) + suffix);
    }
  }
  EXPECT_EQ(index, kStaleFileCount);
}

TEST(StaleFiles, OutOfRangeOrTooSmallGivesEmptyText) {
  char name[32] = "x";
  EXPECT_FALSE(FormatStaleFileName(name, sizeof name, kStaleFileCount));
  EXPECT_STREQ(name, "");
  // "flatAdjust.dic1111" needs 19 bytes with its terminator.
  char small[19];
  EXPECT_TRUE(FormatStaleFileName(small, sizeof small, kStaleFileCount - 1));
  EXPECT_FALSE(FormatStaleFileName(small, sizeof small - 1, kStaleFileCount - 1));
  EXPECT_STREQ(small, "");
  char bare[10];  // "pykeys.dic" needs 11
  EXPECT_FALSE(FormatStaleFileName(bare, sizeof bare, 0));
  EXPECT_STREQ(bare, "");
}

TEST(StaleFiles, NamesCompareWithoutLetterCase) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"gbkflat.dic", "Gbkflat.dic", true},
      {"GBKFLAT.DIC", "Gbkflat.dic", true},
      {"flatAdjust.dic0101", "FLATADJUST.DIC0101", true},
      {"gbkflat.dic", "gbkflat.dic0001", false},
      {"gbkflat.dic0001", "gbkflat.dic", false},
      {"", "", true},
      {"a", "", false},
      {"@", "`", false},  // 0x40 and 0x60: not letters, no folding
      {"[", "{", false},
      {"\xC8\xA1x.dic", "\xC8\xA1X.DIC", true},  // double-byte character, then ASCII
      {"\xC8\x41", "\xC8\x61", false},           // trail bytes are not letters
      {"\xC8", "\xC8", true},                    // lone lead byte at the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(SameFileNameIgnoringCase(c.a, c.b), c.same);
  }
}
