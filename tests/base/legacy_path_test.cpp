// Shortcut folders composed from the Windows directory on major version 3.
#include "base/legacy_path.h"

#include <gtest/gtest.h>

#include <string>

TEST(LegacyPath, ComposedByPlatformAndFolderCode) {
  struct Case {
    const char* windowsDirectory;
    bool isWindowsNT;
    const char* userName;
    int folderCode;
    bool composed;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\WINDOWS", false, nullptr, kFolderPrograms, true, "C:\\WINDOWS\\start menu\\programs"},
      {"C:\\WINDOWS", false, nullptr, kFolderDesktop, true, "C:\\WINDOWS\\Desktop"},
      {"C:\\WINNT", true, "ann", kFolderPrograms, true,
       "C:\\WINNT\\profiles\\ann\\start menu\\programs"},
      {"C:\\WINNT", true, "ann", kFolderDesktop, true, "C:\\WINNT\\profiles\\ann\\Desktop"},
      {"C:\\", false, nullptr, kFolderPrograms, true, "C:\\start menu\\programs"},
      {"C:\\", true, "ann", kFolderDesktop, true, "C:\\profiles\\ann\\Desktop"},
      {"C:\\WINDOWS", false, nullptr, 5, true, "C:\\WINDOWS\\"},  // other codes add nothing
      {"C:\\WINNT", true, nullptr, kFolderPrograms, false, ""},   // user name unknown
      {nullptr, false, nullptr, kFolderPrograms, false, ""},      // Windows directory unknown
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    char path[260] = "stale";
    LegacyFolderFacts facts = {c.windowsDirectory, c.isWindowsNT, c.userName};
    EXPECT_EQ(ComposeLegacyFolderPath(path, sizeof path, facts, c.folderCode, nullptr), c.composed);
    EXPECT_STREQ(path, c.expected);
  }
}

TEST(LegacyPath, PathThatDoesNotFitFails) {
  std::string windows(260 - sizeof "\\Desktop", 'w');  // result of exactly 259 characters
  char path[260];
  LegacyFolderFacts facts = {windows.c_str(), false, nullptr};
  EXPECT_TRUE(ComposeLegacyFolderPath(path, sizeof path, facts, kFolderDesktop, nullptr));
  EXPECT_EQ(std::string(path).size(), 259u);
  windows += 'w';
  facts.windowsDirectory = windows.c_str();
  EXPECT_FALSE(ComposeLegacyFolderPath(path, sizeof path, facts, kFolderDesktop, nullptr));
  EXPECT_STREQ(path, "");
}
