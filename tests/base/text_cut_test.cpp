// Cutting display texts without splitting a double-byte character.
#include "base/text_cut.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(CopyCut, KeepsWholeCharactersOnly) {
  struct Case {
    const char* text;
    std::size_t size;
    const char* expected;
    bool whole;
  } cases[] = {
      {"abc", 4, "abc", true},
      {"abcd", 4, "abc", false},
      {"", 1, "", true},
      {"a", 1, "", false},
      {"ab\xC8\xD5", 5, "ab\xC8\xD5", true},
      {"ab\xC8\xD5", 4, "ab", false},        // never half of a character
      {"\xC8\xD5\xB3\xF6x", 4, "\xC8\xD5", false},
      {"ab\xC8", 4, "ab\xC8", true},         // a lone last lead byte is whole
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "text \"" << c.text << "\" size " << c.size);
    char out[8];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(CopyCut(out, c.size, c.text), c.whole);
    EXPECT_STREQ(out, c.expected);
    for (std::size_t i = c.size; i < sizeof out; ++i) EXPECT_EQ(out[i], '#') << "past the end";
  }
  char none[1] = {'#'};
  EXPECT_FALSE(CopyCut(none, 0, "a"));
  EXPECT_EQ(none[0], '#');
}

TEST(DropDanglingLead, RemovesOnlyALoneLastLeadByte) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"AB\xC8", "AB"},
      {"\xC8\xD5\xC8", "\xC8\xD5"},
      {"\xC8\xD5", "\xC8\xD5"},        // the trail byte has bit 7 set too
      {"A\xC8\xA1", "A\xC8\xA1"},
      {"", ""},
      {"plain", "plain"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "text \"" << c.text << "\"");
    std::string text(c.text);
    DropDanglingLead(text.data());
    EXPECT_STREQ(text.c_str(), c.expected);
  }
}

}  // namespace
