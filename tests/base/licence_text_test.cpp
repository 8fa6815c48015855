// The Chinese licence cut into list lines.
#include "base/licence_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> Split(std::string text, std::size_t capacity = kMaxLicenceLines) {
  std::vector<const char*> lines(capacity + 1, nullptr);
  std::size_t count = SplitLicenceLines(&text[0], lines.data(), capacity);
  EXPECT_EQ(lines[capacity], nullptr);  // nothing stored beyond the capacity
  return std::vector<std::string>(lines.begin(), lines.begin() + count);
}
}  // namespace

TEST(SplitLicenceLines, LinesEndAtCarriageReturns) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"one\r\ntwo\r\n", {"one", "two"}},
      {"one\r\ntwo", {"one"}},  // the last line shows only with its break
      {"one\r\n\r\ntwo\r\n", {"one", "", "two"}},
      {"\r\n", {""}},
      {"one\rtwo\r", {"one", "two"}},
      {"one\ntwo\r\n", {"one\ntwo"}},  // a lone line feed stays in the line
      {"one\r\n\ntwo\r\n", {"one", "\ntwo"}},  // only one line feed is skipped
      {"\xD6\xD0\xCE\xC4\r\n\xCA\xAB\r\n", {"\xD6\xD0\xCE\xC4", "\xCA\xAB"}},  // GB2312
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Split(c.text), c.lines);
  }
}

TEST(SplitLicenceLines, StopsAtTheCapacity) {
  std::string text;
  for (int i = 0; i < 502; ++i) text += std::to_string(i) + "\r\n";
  std::vector<std::string> lines = Split(text);
  ASSERT_EQ(lines.size(), kMaxLicenceLines);
  EXPECT_EQ(lines.front(), "0");
  EXPECT_EQ(lines.back(), "499");
  EXPECT_EQ(Split("a\r\nb\r\nc\r\n", 2), (std::vector<std::string>{"a", "b"}));
}
