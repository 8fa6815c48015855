// Installs through the wizard of the real setup program, checked the way
// the installed product, the shell and the user meet them afterwards.
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>

#include "resources/resource.h"
#include "resources/texts.h"
#include "tests/e2e/install_checks.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/open_record.h"
#include "tests/e2e/scenario.h"

namespace {
// The product's payload takes a while to write under Wine.
constexpr DWORD kFullInstallTimeoutMs = 240000;
constexpr DWORD kSmallInstallTimeoutMs = 60000;

const char* const kWordBaseFiles[] = {"CiZuFlat.igb", "pxcizudic.idx", "pycizudic.idx",
                                      "py2_3ZiCi1stZuMu.idx"};

}  // namespace

using FullInstall = Scenario;

TEST_F(FullInstall, DefaultsGiveEveryFileTheShortcutsAndTheRegistration) {
  Launch(Build::kFull);
  ASSERT_NE(run().wizard(), nullptr);
  EXPECT_EQ(Widen(ControlText(run().Control(IDC_PATH_EDIT))), DefaultInstallDir());
  ForgetOpenedFile();

  const InstallEnd end = FinishInstall(WalkToInstall(WizardChoices{}), false, kFullInstallTimeoutMs);
  ASSERT_EQ(end.exitCode, 0u);

  const std::wstring installDir = DefaultInstallDir();
  ExpectInstalledTree(installDir, PayloadDir(Build::kFull), 0, 0);
  ExpectShortcuts(installDir, 0, true);
  ExpectRegistration(installDir);
  EXPECT_FALSE(Exists(SpeechPackagePath())) << "declined, yet the package was extracted";
  std::string opened;
  EXPECT_FALSE(ReadOpenedFile(&opened)) << "declined, yet " << opened << " was opened";
}

TEST_F(FullInstall, TraditionalChineseWithoutChineseDisplayAndTheSpeechPackage) {
  ASSERT_TRUE(RegisterOpenRecorder());
  ForgetOpenedFile();
  Launch(Build::kFull);
  ASSERT_NE(run().wizard(), nullptr);
  WizardChoices choices;
  choices.installDir = "C:\\TavikE2E\\Traditional";
  choices.displayOk = false;
  choices.desktopIcon = false;
  choices.language = 2;

  const InstallEnd end = FinishInstall(WalkToInstall(choices), true, kFullInstallTimeoutMs);
  ASSERT_EQ(end.exitCode, 0u);

  const std::wstring installDir = Widen(choices.installDir);
  ExpectInstalledTree(installDir, PayloadDir(Build::kFull), 1, 2);
  ExpectShortcuts(installDir, 0, false);

  std::string package, packed, opened;
  EXPECT_TRUE(ReadBytes(SpeechPackagePath(), &package)) << "the package is not in the temporary folder";
  ASSERT_TRUE(ReadBytes(PayloadDir(Build::kFull) + L"\\Sapi51forTavik.msi", &packed));
  EXPECT_TRUE(package == packed) << "the extracted package differs from the packed one";
  // The shell starts the package's handler on its own; give it a moment.
  EXPECT_TRUE(run().WaitUntil([&] { return ReadOpenedFile(&opened); }, 15000)) << "nothing was opened";
  EXPECT_EQ(lstrcmpiW(Widen(opened).c_str(), SpeechPackagePath().c_str()), 0) << "opened " << opened;
}

using WordBase = Scenario;

TEST_F(WordBase, AnsweringNoKeepsTheModifiedWordBase) {
  WizardChoices choices;
  choices.installDir = "C:\\TavikE2E\\WordBase";
  const std::wstring installDir = Widen(choices.installDir);
  Launch(Build::kSmall);
  ASSERT_NE(run().wizard(), nullptr);
  ASSERT_EQ(FinishInstall(WalkToInstall(choices), false, kSmallInstallTimeoutMs).exitCode, 0u);

  // The user's own words, with the mark that says the word base was changed;
  // and a dictionary file that is not part of the word base.
  for (const char* name : kWordBaseFiles) {
    std::string words = std::string("\xF1 user words of ") + name;
    ASSERT_TRUE(WriteBytes(installDir + L"\\" + Widen(name), words));
  }
  ASSERT_TRUE(WriteBytes(installDir + L"\\sort.dic", "changed by the user"));

  Launch(Build::kSmall);
  ASSERT_NE(run().wizard(), nullptr);
  const DWORD pressed = WalkToInstall(choices);
  MessageSeen question = ExpectMessage(kTextWordBaseCn, kTextWordBaseEn, "word-base-question", 30000);
  ASSERT_NE(question.window, nullptr);
  EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
  run().Answer(question, IDNO);
  ASSERT_EQ(FinishInstall(pressed, false, kSmallInstallTimeoutMs).exitCode, 0u);

  for (const char* name : kWordBaseFiles) {
    SCOPED_TRACE(name);
    std::string kept;
    EXPECT_TRUE(ReadBytes(installDir + L"\\" + Widen(name), &kept));
    EXPECT_EQ(kept, std::string("\xF1 user words of ") + name);
  }
  std::vector<std::string> skip(std::begin(kWordBaseFiles), std::end(kWordBaseFiles));
  skip.push_back("dodazaze.ini");
  const std::vector<std::string> problems = CompareWithPayload(installDir, PayloadDir(Build::kSmall), skip);
  EXPECT_TRUE(problems.empty()) << "first of " << problems.size() << ": " << problems.front();
}

// The main job's demo: the product's payload installed into a folder of
// the build, for a person to look at. Run by cmake/run-setup.sh only.
using Demo = Scenario;

TEST_F(Demo, InstallIntoTheBuildFolder) {
  const char* target = std::getenv("TAVIK_E2E_INSTALL_DIR");
  if (target == nullptr || *target == '\0') GTEST_SKIP() << "TAVIK_E2E_INSTALL_DIR names no folder";
  WizardChoices choices;
  choices.installDir = target;
  const std::wstring installDir = Widen(choices.installDir);
  DeleteTree(installDir);
  Launch(Build::kFull);
  ASSERT_NE(run().wizard(), nullptr);
  ASSERT_EQ(FinishInstall(WalkToInstall(choices), false, kFullInstallTimeoutMs).exitCode, 0u);
  ExpectInstalledTree(installDir, PayloadDir(Build::kFull), 0, 0);
  ExpectShortcuts(installDir, 0, true);
}
