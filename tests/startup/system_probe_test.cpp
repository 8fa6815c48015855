// The system probe under Wine's locales. Wine takes its locale from LC_ALL
// (LANG alone is not enough while the Linux locale is not generated), so
// tests.cmake runs this one program once per locale of the table below.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "startup/startup.h"
#include "startup/startup_steps.h"

namespace {
struct LocaleCase {
  const char* lang;
  unsigned short languageId;  // what the system reports as default language
  int dbcs;
  int uiLanguage;
};

const LocaleCase kLocales[] = {
    {"zh_CN.UTF-8", 0x0804, 1, 1},
    {"zh_SG.UTF-8", 0x1004, 1, 1},
    {"zh_TW.UTF-8", 0x0404, 1, 2},
    {"zh_HK.UTF-8", 0x0C04, 1, 2},
    {"zh_MO.UTF-8", 0x1404, 1, 2},
    {"en_US.UTF-8", 0x0409, 0, 0},
    {"ja_JP.UTF-8", 0x0411, 1, 0},
    {"ko_KR.UTF-8", 0x0412, 1, 0},
};

const LocaleCase* FindLocale() {
  const char* lang = std::getenv("LC_ALL");
  if (lang == nullptr) return nullptr;
  for (const LocaleCase& c : kLocales)
    if (std::strcmp(c.lang, lang) == 0) return &c;
  return nullptr;
}
}  // namespace

TEST(ProbeSystem, FollowsTheSystemLocale) {
  const LocaleCase* expected = FindLocale();
  if (expected == nullptr) GTEST_SKIP() << "LC_ALL is not one of the probed locales";
  isWindowsNT = isVersion3 = isVistaOrLater = isDbcsSystem = uiLanguage = -1;
  ProbeSystem();
  CPINFO info = {};
  ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
  std::printf("LC_ALL=%s: ANSI code page %u, MaxCharSize %u, default language 0x%04X\n",
              expected->lang, GetACP(), info.MaxCharSize, GetSystemDefaultLangID());
  EXPECT_EQ(GetSystemDefaultLangID(), expected->languageId);
  EXPECT_EQ(isDbcsSystem, expected->dbcs);
  EXPECT_EQ(uiLanguage, expected->uiLanguage);
  // Wine reports version 6.1 on the NT platform whatever the locale.
  EXPECT_EQ(isWindowsNT, 1);
  EXPECT_EQ(isVersion3, 0);
  EXPECT_EQ(isVistaOrLater, 1);
}
