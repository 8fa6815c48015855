// Start-up decisions without a window: shell-text language, the program's
// folder, and where Enter goes.
#include "base/startup_logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "resources/languages.h"

TEST(ChooseUiLanguage, FollowsChineseSublanguageOnlyOnDoubleByteSystems) {
  struct Case {
    int dbcs;
    unsigned short languageId;
    int expected;
  };
  const Case cases[] = {
      {1, 0x0404, 2},  // Taiwan
      {1, 0x0C04, 2},  // Hong Kong
      {1, 0x1404, 2},  // Macau
      {1, 0x0804, 1},  // PRC
      {1, 0x1004, 1},  // Singapore
      {0, 0x0804, 0},  // Chinese default language, single-byte code page
      {0, 0x0404, 0},
      {1, 0x0411, 0},  // Japanese on a double-byte system
      {1, 0x0412, 0},  // Korean
      {1, 0x0409, 0},
      {1, 0x0004, 1},  // neutral Chinese: sublanguage 0 is even
      {1, 0x7C04, 2},  // traditional neutral: sublanguage 31
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "dbcs " << c.dbcs << " id 0x" << std::hex << c.languageId);
    EXPECT_EQ(ChooseUiLanguage(c.dbcs, c.languageId), c.expected);
  }
}

TEST(ExtractModuleDir, KeepsTheLastBackslashOrFallsBackToDriveA) {
  struct Case {
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\Setup\\setup.exe", "C:\\Setup\\"},
      {"C:\\setup.exe", "C:\\"},
      {"\\\\server\\share\\dir\\setup.exe", "\\\\server\\share\\dir\\"},
      {"setup.exe", "A:\\"},
      {"", "A:\\"},
      {"C:\\Setup\\", "C:\\Setup\\"},
      {"C:/Setup/setup.exe", "A:\\"},  // only the backslash separates
      // Big5 names whose trail byte is 0x5C: "許.exe", and a folder "功".
      {"C:\\Setup\\\xB3\\.exe", "C:\\Setup\\"},
      {"C:\\\xA5\\\\setup.exe", "C:\\\xA5\\\\"},
  };
  // Lead bytes as in the double-byte code pages, 0x81 to 0xFE.
  LeadByteTest doubleByte = [](unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    char out[260] = "garbage";
    EXPECT_TRUE(ExtractModuleDir(c.path, out, sizeof out, doubleByte));
    EXPECT_STREQ(out, c.expected);
  }
}

TEST(ExtractModuleDir, FolderThatDoesNotFitIsAFailureNotAShorterFolder) {
  // The folder part (with its backslash) is 259 bytes: fits 260 exactly.
  std::string folder = "C:\\" + std::string(255, 'd') + "\\";
  ASSERT_EQ(folder.size(), 259u);
  char out[260];
  EXPECT_TRUE(ExtractModuleDir((folder + "setup.exe").c_str(), out, sizeof out, nullptr));
  EXPECT_EQ(std::string(out), folder);

  // One more byte of folder no longer fits; a long file name alone does not
  // matter.
  std::string longer = "C:\\" + std::string(256, 'd') + "\\setup.exe";
  std::memset(out, 'x', sizeof out);
  EXPECT_FALSE(ExtractModuleDir(longer.c_str(), out, sizeof out, nullptr));
  EXPECT_STREQ(out, "");

  std::string longName = "C:\\Setup\\" + std::string(400, 'n') + ".exe";
  EXPECT_TRUE(ExtractModuleDir(longName.c_str(), out, sizeof out, nullptr));
  EXPECT_STREQ(out, "C:\\Setup\\");

  char tiny[3];
  EXPECT_FALSE(ExtractModuleDir("setup.exe", tiny, sizeof tiny, nullptr));  // "A:\" needs 4
  EXPECT_STREQ(tiny, "");
}

TEST(ChooseEnterTarget, PushButtonsTakeEnterEverythingElseMeansNext) {
  constexpr unsigned long kChild = 0x40000000, kVisible = 0x10000000, kTabStop = 0x00010000;
  constexpr unsigned long kNotify = 0x4000, kLeftText = 0x20;
  struct Case {
    const char* name;
    bool hasFocus;
    const char* className;
    unsigned long style;
    EnterTarget expected;
  };
  const Case cases[] = {
      {"owner-drawn button", true, "Button", kChild | kVisible | kTabStop | 0xB, EnterTarget::kFocusedButton},
      {"plain push button", true, "BUTTON", 0x0, EnterTarget::kFocusedButton},
      {"default push button", true, "button", 0x1, EnterTarget::kFocusedButton},
      {"check box", true, "Button", 0x2, EnterTarget::kDefaultCommand},
      {"auto check box, notify", true, "Button", kChild | kTabStop | kNotify | 0x3, EnterTarget::kDefaultCommand},
      {"radio button", true, "Button", 0x4, EnterTarget::kDefaultCommand},
      {"three-state", true, "Button", 0x5, EnterTarget::kDefaultCommand},
      {"auto three-state", true, "Button", 0x6, EnterTarget::kDefaultCommand},
      {"auto radio button", true, "Button", 0x9, EnterTarget::kDefaultCommand},
      {"check box, text on the left", true, "Button", kLeftText | 0x3, EnterTarget::kDefaultCommand},
      {"group box", true, "Button", 0x7, EnterTarget::kFocusedButton},
      {"edit", true, "Edit", 0x80, EnterTarget::kDefaultCommand},
      {"combo box", true, "ComboBox", 0x3, EnterTarget::kDefaultCommand},
      {"class name only starts with button", true, "Buttonx", 0xB, EnterTarget::kDefaultCommand},
      {"class name shorter than button", true, "Butto", 0xB, EnterTarget::kDefaultCommand},
      {"no focus", false, "Button", 0xB, EnterTarget::kDefaultCommand},
      {"no class name", true, nullptr, 0xB, EnterTarget::kDefaultCommand},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ChooseEnterTarget(c.hasFocus, c.className, c.style), c.expected);
  }
}

// The values that open the licence page in Chinese: 1, 2, 4 and 5.
TEST(IsChineseLanguage, OnlyTheChineseInterfaceValues) {
  const struct {
    int language;
    bool chinese;
  } cases[] = {{-1, false}, {0, false}, {1, true}, {2, true},
               {3, false},  {4, true},  {5, true}, {6, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    EXPECT_EQ(IsChineseLanguage(c.language), c.chinese);
  }
}
