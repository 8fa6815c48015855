// The names that the setup program hands to the shell follow the system's
// language: run under a Chinese Wine locale (LC_ALL), the Start-menu folder
// and the shortcuts are named in GB2312 or Big5, and land on disk as the
// Unicode names those bytes stand for.
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>

#include "tests/e2e/install_checks.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scenario.h"

namespace {
// The UI language the run expects (1 Simplified, 2 Traditional), from the
// test's environment, and the ANSI code page that language comes with.
int ExpectedLanguage() {
  const char* value = std::getenv("TAVIK_E2E_UI_LANGUAGE");
  return value != nullptr ? std::atoi(value) : 0;
}
UINT CodePageOf(int language) { return language == 1 ? 936 : language == 2 ? 950 : 1252; }
}  // namespace

using ShellNamesTest = Scenario;

TEST_F(ShellNamesTest, FollowTheSystemLanguage) {
  const int language = ExpectedLanguage();
  ASSERT_TRUE(language == 1 || language == 2) << "TAVIK_E2E_UI_LANGUAGE must be 1 or 2";
  ASSERT_EQ(GetACP(), CodePageOf(language)) << "the Wine locale did not come through";

  Launch(Build::kSmall);
  ASSERT_NE(run().wizard(), nullptr);
  WizardChoices choices;
  choices.installDir = "C:\\TavikE2E\\Names";
  ASSERT_EQ(FinishInstall(WalkToInstall(choices), false, 60000).exitCode, 0u);

  ExpectShortcuts(L"C:\\TavikE2E\\Names", language, true);
  EXPECT_FALSE(Exists(SpecialFolder(CSIDL_PROGRAMS) + L"\\" + kShellNames[0].editor))
      << "an English Start-menu folder on a Chinese system";
}
