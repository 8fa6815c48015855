// Path text helpers: the last character is found by characters, so a trail
// byte that equals '\\' in a double-byte code page is never taken for one.
#include "install/path_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {
// Lead bytes of code page 936.
bool GbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// "D:\" followed by a double-byte character whose trail byte is 0x5C.
const char kTrailBackslash[] = "D:\\\x81\x5C";
}  // namespace

TEST(PathText, TrailingBackslashIsFoundByCharacters) {
  struct Case {
    const char* path;
    LeadByteTest test;
    bool ends;
    const char* dropped;
  };
  const Case cases[] = {
      {"D:\\", nullptr, true, "D:"},
      {"D:\\Apps", nullptr, false, "D:\\Apps"},
      {"D:\\Apps\\\\", nullptr, true, "D:\\Apps\\"},  // one backslash only
      {"", nullptr, false, ""},
      {kTrailBackslash, GbkLeadByte, false, kTrailBackslash},
      {kTrailBackslash, nullptr, true, "D:\\\x81"},  // single-byte code page
      {"D:\\\x81\x5C\\", GbkLeadByte, true, "D:\\\x81\x5C"},
      {"D:\\\x81", GbkLeadByte, false, "D:\\\x81"},  // lone lead byte at the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(EndsWithBackslash(c.path, c.test), c.ends);
    std::string path = c.path;
    DropTrailingBackslash(path.data(), c.test);
    EXPECT_STREQ(path.c_str(), c.dropped);
  }
}

TEST(PathText, LastBackslashSkipsTrailBytes) {
  char path[] = "C:\\Tavik\\\x81\x5C.exe";
  char* cut = FindLastBackslash(path, GbkLeadByte);
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut - path, 8);
  char plain[] = "TVKEdit.exe";
  EXPECT_EQ(FindLastBackslash(plain, GbkLeadByte), nullptr);
}

TEST(PathText, JoinAddsOneBackslashAndRefusesOverlongPaths) {
  char out[260];
  EXPECT_TRUE(JoinPath(out, sizeof out, "D:\\Target", "doc", nullptr));
  EXPECT_STREQ(out, "D:\\Target\\doc");
  EXPECT_TRUE(JoinPath(out, sizeof out, "D:\\Target\\", "doc", nullptr));
  EXPECT_STREQ(out, "D:\\Target\\doc");
  EXPECT_TRUE(JoinPath(out, sizeof out, kTrailBackslash, "doc", GbkLeadByte));
  EXPECT_STREQ(out, "D:\\\x81\x5C\\doc");

  std::string folder(255, 'x');
  EXPECT_TRUE(JoinPath(out, sizeof out, folder.c_str(), "doc", nullptr));  // 259 characters
  EXPECT_FALSE(JoinPath(out, sizeof out, (folder + "y").c_str(), "doc", nullptr));
  EXPECT_STREQ(out, "");
}
