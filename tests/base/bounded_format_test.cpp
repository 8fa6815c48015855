// Bounded formatting: a result that does not fit is a failure, never a cut.
#include "base/bounded_format.h"

#include <gtest/gtest.h>

#include <string>

TEST(BoundedFormat, FitsExactlyAtSizeMinusOne) {
  char buffer[8];
  EXPECT_TRUE(FormatBounded(buffer, sizeof buffer, "%s\\%s", "abc", "def"));
  EXPECT_STREQ(buffer, "abc\\def");
  EXPECT_FALSE(FormatBounded(buffer, sizeof buffer, "%s\\%s", "abcd", "def"));
  EXPECT_STREQ(buffer, "");
}

TEST(BoundedFormat, PathOf259CharactersFitsAndOf260Fails) {
  char path[260];
  std::string folder(255, 'x');
  EXPECT_TRUE(FormatBounded(path, sizeof path, "%s\\%s", folder.c_str(), "abc"));  // 259
  EXPECT_FALSE(FormatBounded(path, sizeof path, "%s\\%s", folder.c_str(), "abcd"));  // 260
  EXPECT_STREQ(path, "");
}

TEST(BoundedFormat, CopyRefusesTextThatDoesNotFit) {
  char buffer[4];
  EXPECT_TRUE(CopyBounded(buffer, sizeof buffer, "abc"));
  EXPECT_STREQ(buffer, "abc");
  EXPECT_FALSE(CopyBounded(buffer, sizeof buffer, "abcd"));
  EXPECT_STREQ(buffer, "");
  EXPECT_FALSE(CopyBounded(buffer, 0, "a"));
}
