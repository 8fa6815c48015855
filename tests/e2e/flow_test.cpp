// The wizard's pages as a person walks them: the answers, the licence in
// both languages, Back, the Enter key, a folder that cannot be made, and
// leaving on every page by Cancel, Escape or the close box.
#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "base/bounded_format.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "tests/e2e/install_checks.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scenario.h"

namespace {
constexpr DWORD kInstallTimeoutMs = 60000;
constexpr DWORD kExitTimeoutMs = 15000;

// The licence list shows one item per line ended by a carriage return,
// at most 500.
std::vector<std::string> LicenceLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; lines.size() < 500 && (end = text.find('\r', start)) != std::string::npos;) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

// Asked in UTF-16 and converted here: Wine hands an ANSI LB_GETTEXT across
// processes cut after its first character.
std::string ListItem(HWND list, int index) {
  wchar_t item[1024] = L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, 2000, &length);
  if (length >= std::size(item)) return "(too long)";
  SendMessageTimeoutW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item),
                      SMTO_ABORTIFHUNG, 2000, &length);
  char text[4096] = "";
  WideCharToMultiByte(CP_ACP, 0, item, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

int ListCount(HWND list) {
  DWORD_PTR count = 0;
  SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
  return static_cast<int>(count);
}

void ExpectBack(SetupRun& run, bool shown) {
  EXPECT_EQ(run.Shows(IDC_BACK), shown) << "Back " << (shown ? "hidden" : "shown");
  EXPECT_EQ(IsWindowEnabled(run.Control(IDC_BACK)) != FALSE, shown);
}
}  // namespace

using PageFlow = Scenario;

TEST_F(PageFlow, AnswersLicenceBackAndTheEnterKey) {
  SetupRun& setup = Launch(Build::kSmall);
  ASSERT_NE(setup.wizard(), nullptr);
  EXPECT_EQ(setup.Focused(), setup.Control(IDC_PATH_EDIT)) << "the path edit should have the focus";
  ExpectBack(setup, false);
  ASSERT_TRUE(setup.ReplaceEditText(IDC_PATH_EDIT, "C:\\TavikE2E\\Flow"));
  Next(Page::kDisplayTest);
  ExpectBack(setup, true);

  // No answer: told to answer, and the page stays.
  EXPECT_FALSE(setup.IsChecked(IDC_DISPLAY_OK) || setup.IsChecked(IDC_DISPLAY_NOT_OK));
  setup.Click(IDC_NEXT);
  MessageSeen ask = ExpectMessage(kTextAnswerCn, kTextAnswerEn, "answer-please");
  ASSERT_NE(ask.window, nullptr);
  EXPECT_EQ(ask.buttons, std::vector<int>{IDOK});
  setup.Answer(ask, IDOK);
  EXPECT_EQ(setup.CurrentPage(), Page::kDisplayTest);

  // Space on the focused answer ticks it; the other answer takes it back.
  ASSERT_TRUE(setup.TabTo(IDC_DISPLAY_OK));
  setup.PressKey(VK_SPACE);
  EXPECT_TRUE(setup.WaitUntil([&] { return setup.IsChecked(IDC_DISPLAY_OK); }));
  setup.Click(IDC_DISPLAY_NOT_OK);
  EXPECT_TRUE(setup.WaitUntil([&] { return setup.IsChecked(IDC_DISPLAY_NOT_OK); }));
  EXPECT_FALSE(setup.IsChecked(IDC_DISPLAY_OK));
  setup.Shot(setup.wizard(), "display-test-answered");

  // Back and Next again: the answers start empty on every visit.
  setup.Click(IDC_BACK);
  ASSERT_TRUE(setup.WaitForPage(Page::kPath));
  ExpectBack(setup, false);
  Next(Page::kDisplayTest);
  EXPECT_FALSE(setup.IsChecked(IDC_DISPLAY_OK));
  EXPECT_FALSE(setup.IsChecked(IDC_DISPLAY_NOT_OK));

  // Enter on a focused check box presses Next and leaves the box as it was.
  ASSERT_TRUE(setup.TabTo(IDC_DISPLAY_OK));
  setup.PressKey(VK_SPACE);
  ASSERT_TRUE(setup.WaitUntil([&] { return setup.IsChecked(IDC_DISPLAY_OK); }));
  setup.PressKey(VK_RETURN);
  ASSERT_TRUE(setup.WaitForPage(Page::kLicence));
  EXPECT_TRUE(setup.IsChecked(IDC_DISPLAY_OK));

  // The English licence first, the Chinese lines once "English" is cleared.
  std::string english, chinese;
  ASSERT_TRUE(ReadBytes(PayloadDir(Build::kSmall) + L"\\License_en.txt", &english));
  ASSERT_TRUE(ReadBytes(PayloadDir(Build::kSmall) + L"\\License_cn.txt", &chinese));
  const std::vector<std::string> lines = LicenceLines(chinese);
  EXPECT_TRUE(setup.IsChecked(IDC_LICENCE_ENGLISH));
  EXPECT_TRUE(setup.Shows(IDC_LICENCE_EDIT));
  EXPECT_FALSE(setup.Shows(IDC_LICENCE_LIST));
  EXPECT_EQ(ControlText(setup.Control(IDC_LICENCE_EDIT)), english);
  setup.Click(IDC_LICENCE_ENGLISH);
  // The page shows all of its controls before it hides the licence not
  // chosen: wait for the end of that, not for its first half.
  ASSERT_TRUE(setup.WaitUntil(
      [&] { return setup.Shows(IDC_LICENCE_LIST) && !setup.Shows(IDC_LICENCE_EDIT); }));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(ListCount(setup.Control(IDC_LICENCE_LIST)), static_cast<int>(lines.size()));
  EXPECT_EQ(ListItem(setup.Control(IDC_LICENCE_LIST), 0), lines.front());
  setup.Shot(setup.wizard(), "licence-chinese");

  // Back to the display test and Next again: English is shown anew, and the
  // texts are not loaded a second time.
  setup.Click(IDC_BACK);
  ASSERT_TRUE(setup.WaitForPage(Page::kDisplayTest));
  Next(Page::kLicence);
  EXPECT_TRUE(setup.IsChecked(IDC_LICENCE_ENGLISH));
  EXPECT_TRUE(setup.Shows(IDC_LICENCE_EDIT));
  EXPECT_EQ(ListCount(setup.Control(IDC_LICENCE_LIST)), static_cast<int>(lines.size()));

  Next(Page::kLanguage);
  ExpectBack(setup, true);
  setup.Shot(setup.wizard(), "language-page");

  // The real Enter key with the language list focused starts the install.
  ASSERT_TRUE(setup.TabTo(IDC_LANGUAGE_COMBO));
  const DWORD pressed = CalendarMs();
  setup.PressKey(VK_RETURN);
  EXPECT_TRUE(setup.WaitUntil([&] { return !setup.Shows(IDC_NEXT); })) << "Enter did not start the install";
  ASSERT_EQ(FinishInstall(pressed, false, kInstallTimeoutMs).exitCode, 0u);
  ExpectInstalledTree(L"C:\\TavikE2E\\Flow", PayloadDir(Build::kSmall), 0, 0);
}

using InstallFolder = Scenario;

TEST_F(InstallFolder, MissingParentIsToldAndTheCorrectedPathInstalls) {
  Launch(Build::kSmall);
  ASSERT_NE(run().wizard(), nullptr);
  WizardChoices choices;
  choices.installDir = "C:\\TavikE2E\\Missing\\Tavik";
  WalkToInstall(choices);
  char english[128];
  ASSERT_TRUE(FormatBounded(english, sizeof english, kTextFolderHintEn, kTextFolderEn));
  MessageSeen told = ExpectMessage(kTextFolderCn, english, "folder-message");
  ASSERT_NE(told.window, nullptr);
  run().Answer(told, IDOK);

  // Back on the path page, where the path can be put right.
  ASSERT_TRUE(run().WaitForPage(Page::kPath));
  EXPECT_TRUE(run().Shows(IDC_NEXT));
  run().Shot(run().wizard(), "back-on-path-page");
  EXPECT_FALSE(Exists(L"C:\\TavikE2E\\Missing"));

  choices.installDir = "C:\\TavikE2E\\Corrected";
  ASSERT_EQ(FinishInstall(WalkToInstall(choices), false, kInstallTimeoutMs).exitCode, 0u);
  ExpectInstalledTree(L"C:\\TavikE2E\\Corrected", PayloadDir(Build::kSmall), 0, 0);
  EXPECT_FALSE(Exists(L"C:\\TavikE2E\\Missing"));
}

// ---- Leaving without installing --------------------------------------------------

enum class LeaveBy { kCancel, kEscape, kCloseBox };

class Abandon : public Scenario {
 protected:
  // Goes to the page, leaves by the way given, and checks that the program
  // ended with 0 and wrote nothing.
  void LeaveOnEveryPage(LeaveBy how) {
    for (Page page : {Page::kPath, Page::kDisplayTest, Page::kLicence, Page::kLanguage}) {
      SCOPED_TRACE("page " + std::to_string(static_cast<int>(page)));
      const DiskSnapshot before = SnapshotDriveC();
      SetupRun& setup = Launch(Build::kSmall);
      ASSERT_NE(setup.wizard(), nullptr);
      if (page >= Page::kDisplayTest) Next(Page::kDisplayTest);
      if (page >= Page::kLicence) {
        setup.Click(IDC_DISPLAY_OK);
        ASSERT_TRUE(setup.WaitUntil([&] { return setup.IsChecked(IDC_DISPLAY_OK); }));
        Next(Page::kLicence);
      }
      if (page >= Page::kLanguage) Next(Page::kLanguage);
      setup.Shot(setup.wizard(), "before-leaving-page-" + std::to_string(static_cast<int>(page)));
      Leave(setup, how);
      DWORD exitCode = 99;
      ASSERT_TRUE(setup.WaitForExit(&exitCode, kExitTimeoutMs)) << "the program did not end";
      EXPECT_EQ(exitCode, 0u);
      const std::vector<std::string> written = SnapshotDifferences(before, SnapshotDriveC());
      EXPECT_TRUE(written.empty()) << written.size() << " changes on drive C, first: " << written.front();
      for (const char* key : kRegisteredKeys) EXPECT_FALSE(ClassesKeyExists(key)) << key;
    }
  }

 private:
  static void Leave(SetupRun& setup, LeaveBy how) {
    switch (how) {
      case LeaveBy::kCancel:
        setup.Click(IDCANCEL);
        break;
      case LeaveBy::kEscape:
        setup.Activate(setup.wizard());
        setup.PressKey(VK_ESCAPE);
        break;
      case LeaveBy::kCloseBox:
        EXPECT_TRUE(setup.ClickCloseBox(setup.wizard())) << "no close box found";
        break;
    }
  }
};

TEST_F(Abandon, CancelOnEveryPage) { LeaveOnEveryPage(LeaveBy::kCancel); }
TEST_F(Abandon, EscapeOnEveryPage) { LeaveOnEveryPage(LeaveBy::kEscape); }
TEST_F(Abandon, CloseBoxOnEveryPage) { LeaveOnEveryPage(LeaveBy::kCloseBox); }
