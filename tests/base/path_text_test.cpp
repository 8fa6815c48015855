// Path text helpers: the last character is found by characters, so a trail
// byte that equals '\\' in a double-byte code page is never taken for one.
#include "base/path_text.h"

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

TEST(PathText, OnlyPlainFullPathsAreInstallFolders) {
  const std::string longest = "C:\\" + std::string(246, 'a') + "\\abcdefghi";  // 259 characters
  ASSERT_EQ(longest.size(), 259u);
  struct Case {
    std::string path;
    bool plain;
  };
  const Case cases[] = {
      // Full paths, a single trailing backslash, the drive root.
      {"C:\\Tavik", true},
      {"d:\\Apps\\Tavik\\", true},
      {"D:\\", true},
      {"C:\\Program Files\\Tavik Roved\\v1.0\\a b\\c\\d\\e", true},
      {"\\\\server\\share\\Tavik", true},
      {"\\\\server\\share", true},
      {"C:\\\xD5\x5C\xCE\xC4", true},  // trail byte 0x5C inside a character
      {"C:\\\x81\x5C", true},
      {longest, true},
      {"C:\\..a\\ lead", true},
      // Not full: relative, drive-relative, no drive letter, empty.
      {"Tavik", false},
      {"reltest", false},
      {"C:Tavik", false},
      {"C:drel", false},
      {"\\Tavik", false},
      {"1:\\Tavik", false},
      {"", false},
      {" ", false},
      {"\\\\server", false},
      {"\\\\server\\", false},
      {"\\\\\\share\\x", false},
      // A component that ends in a space or a dot.
      {"C:\\Tavik ", false},
      {"C:\\sp ", false},
      {"C:\\dot.", false},
      {"C:\\a.\\b", false},
      {"C:\\a \\b", false},
      {"C:\\..\\b", false},
      {"C:\\Tavik\\.", false},
      // Characters names may not hold.
      {"C:\\a<b", false},
      {"C:\\a>b", false},
      {"C:\\a\"b", false},
      {"C:\\a/b", false},
      {"C:/Tavik", false},
      {"C:\\a|b", false},
      {"C:\\a?b", false},
      {"C:\\a*b", false},
      {"C:\\a:b", false},
      {"C:\\a\tb", false},
      {"C:\\a\x1F", false},
      // Devices, with or without an extension, in any letter case.
      {"C:\\con\\Tavik", false},
      {"C:\\CON", false},
      {"C:\\prn.txt", false},
      {"C:\\Aux", false},
      {"C:\\nul.a.b", false},
      {"C:\\com1", false},
      {"C:\\COM9\\x", false},
      {"C:\\lpt1", false},
      {"C:\\LPT9.log", false},
      {"C:\\con .txt", false},
      {"C:\\console", true},
      {"C:\\com0", true},
      {"C:\\com10", true},
      {"C:\\lpt", true},
      {"C:\\nul_", true},
      // Empty components and the prefixes that bypass name checks.
      {"C:\\a\\\\b", false},
      {"C:\\\\", false},
      {"C:\\a\\\\", false},
      {"\\\\?\\C:\\Tavik", false},
      {"\\\\.\\C:\\Tavik", false},
      {"\\\\?\\UNC\\server\\share", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsPlainFullPath(c.path.c_str(), GbkLeadByte), c.plain);
  }
  // Taken byte by byte, the character's 0x5C splits it: "\x81" alone and an
  // empty component after it.
  EXPECT_FALSE(IsPlainFullPath("C:\\\x81\x5C\x5C" "a", nullptr));
  EXPECT_TRUE(IsPlainFullPath("C:\\\x81\x5C\x5C" "a", GbkLeadByte));
  // Superscript port digits (code page 1252: \xB9, \xB2, \xB3) name
  // devices too; in a double-byte code page those bytes start characters.
  for (const char* device : {"C:\\COM\xB9", "C:\\com\xB2.txt", "C:\\LPT\xB3\\x", "C:\\lpt\xB9 .log"}) {
    EXPECT_FALSE(IsPlainFullPath(device, nullptr)) << device;
  }
  EXPECT_TRUE(IsPlainFullPath("C:\\COM\xB9\xA1", nullptr));
  EXPECT_TRUE(IsPlainFullPath("C:\\COM\xB9", GbkLeadByte));
  // A lead byte that ends the path stands alone.
  EXPECT_TRUE(IsPlainFullPath("C:\\a\x81", GbkLeadByte));
  EXPECT_FALSE(IsPlainFullPath(nullptr, GbkLeadByte));
}
