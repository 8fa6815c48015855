// The wizard's page flow on the real dialog: the language list, Back, the
// display test, the licence page and Cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "render/render.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "startup/startup.h"
#include "tests/wizard/wizard_test_support.h"
#include "wizard/wizard.h"

namespace {
// The items are UTF-16; compared with the program's GB2312 texts.
std::string ComboText(HWND combo, int position) {
  wchar_t text[260] = L"";
  if (SendMessageW(combo, CB_GETLBTEXTLEN, position, 0) >= 260) return "<long>";
  SendMessageW(combo, CB_GETLBTEXT, position, reinterpret_cast<LPARAM>(text));
  return Gb2312Of(text);
}

std::string ListText(HWND list, int position) {
  char text[260] = "";
  if (SendMessageA(list, LB_GETTEXTLEN, position, 0) >= static_cast<LRESULT>(sizeof text)) return "<long>";
  SendMessageA(list, LB_GETTEXT, position, reinterpret_cast<LPARAM>(text));
  return text;
}
}  // namespace

TEST_F(WizardTest, LanguageListPutsTheCurrentLanguageFirst) {
  struct Case {
    int forceLanguage;
    std::vector<std::string> texts;
    std::vector<LRESULT> values;
  };
  const Case cases[] = {
      {0, {kTextLanguageEnglish, kTextLanguageSimplified, kTextLanguageTraditional}, {0, 1, 2}},
      {1, {kTextLanguageSimplified, kTextLanguageEnglish, kTextLanguageTraditional}, {1, 0, 2}},
      {2, {kTextLanguageTraditional, kTextLanguageEnglish, kTextLanguageSimplified}, {2, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.forceLanguage);
    forceLanguage = c.forceLanguage;
    RecreateWizard();
    HWND combo = GetDlgItem(dialog, IDC_LANGUAGE_COMBO);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
    for (int position = 0; position < 3; ++position) {
      EXPECT_EQ(ComboText(combo, position), c.texts[position]);
      EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, position, 0), c.values[position]);
    }
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    // The selection field shows a whole glyph line, like the items.
    EXPECT_GE(SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 23);
  }
}

TEST_F(WizardTest, CheckBoxesCarryTheGlyphPainter) {
  for (int id : {IDC_DESKTOP_ICON, IDC_DISPLAY_OK, IDC_DISPLAY_NOT_OK}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(dialog, id), GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(CheckControlProc));
  }
  ASSERT_NE(buttonDefaultProc, nullptr);
  EXPECT_NE(buttonDefaultProc, CheckControlProc);
}

TEST_F(WizardTest, BackOnlyBeyondThePathPage) {
  EXPECT_EQ(ShownPages(), std::vector<int>{0});
  EXPECT_FALSE(Shown(IDC_BACK));
  EXPECT_FALSE(Enabled(IDC_BACK));
  Command(IDC_BACK);  // the command alone, as Enter on a focused Back would give
  EXPECT_EQ(pageIndex, 0);
  EXPECT_EQ(ShownPages(), std::vector<int>{0});

  GoToPage(3);
  for (int page = 3; page >= 1; --page) {
    SCOPED_TRACE(page);
    EXPECT_EQ(pageIndex, page);
    EXPECT_EQ(ShownPages(), std::vector<int>{page});
    EXPECT_TRUE(Shown(IDC_BACK));
    EXPECT_TRUE(Enabled(IDC_BACK));
    Click(IDC_BACK);
  }
  EXPECT_EQ(pageIndex, 0);
  EXPECT_EQ(ShownPages(), std::vector<int>{0});
  EXPECT_FALSE(Shown(IDC_BACK));
  EXPECT_FALSE(Enabled(IDC_BACK));
}

TEST_F(WizardTest, EachVisitToTheDisplayTestStartsWithoutAnswer) {
  for (int answer : {IDC_DISPLAY_OK, IDC_DISPLAY_NOT_OK}) {
    SCOPED_TRACE(answer);
    Click(IDC_NEXT);
    ASSERT_EQ(pageIndex, 1);
    EXPECT_FALSE(Checked(IDC_DISPLAY_OK));
    EXPECT_FALSE(Checked(IDC_DISPLAY_NOT_OK));
    Click(answer);
    EXPECT_TRUE(Checked(answer));
    Click(IDC_BACK);
    ASSERT_EQ(pageIndex, 0);
  }
  Click(IDC_NEXT);
  EXPECT_FALSE(Checked(IDC_DISPLAY_OK));
  EXPECT_FALSE(Checked(IDC_DISPLAY_NOT_OK));
}

TEST_F(WizardTest, NextWithoutAnswerAsksAndStays) {
  GoToPage(1);
  Click(IDC_NEXT);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].chinese, kTextAnswerCn);
  EXPECT_EQ(messages()[0].english, "Please select a choice.");
  EXPECT_EQ(messages()[0].buttons, std::vector<int>{IDOK});
  EXPECT_EQ(pageIndex, 1);
  EXPECT_EQ(ShownPages(), std::vector<int>{1});
}

TEST_F(WizardTest, DisplayAnswersExcludeEachOther) {
  struct Case {
    int first, second;
    int displayOk;
  };
  for (const Case& c : {Case{IDC_DISPLAY_OK, IDC_DISPLAY_NOT_OK, 0}, Case{IDC_DISPLAY_NOT_OK, IDC_DISPLAY_OK, 1}}) {
    SCOPED_TRACE(c.first);
    RecreateWizard();
    chineseDisplayOk = -1;
    GoToPage(1);
    Click(c.first);
    Click(c.second);
    EXPECT_FALSE(Checked(c.first));
    EXPECT_TRUE(Checked(c.second));
    Click(IDC_NEXT);
    EXPECT_EQ(pageIndex, 2);
    EXPECT_EQ(chineseDisplayOk, c.displayOk);
  }
}

TEST_F(WizardTest, LicenceOpensInEnglishAndSwitchesWithoutReloading) {
  const std::string english = PayloadText(IDR_LICENCE_EN);
  const std::string chinese = PayloadText(IDR_LICENCE_CN);
  const LRESULT lines = std::count(chinese.begin(), chinese.end(), '\r');
  ASSERT_GT(lines, 2);
  ASSERT_EQ(chinese.substr(chinese.size() - 2), "\r\n");

  GoToPage(2);
  EXPECT_TRUE(Checked(IDC_LICENCE_ENGLISH));
  EXPECT_TRUE(Shown(IDC_LICENCE_EDIT));
  EXPECT_FALSE(Shown(IDC_LICENCE_LIST));
  std::vector<char> edit(english.size() + 2);
  GetDlgItemTextA(dialog, IDC_LICENCE_EDIT, edit.data(), static_cast<int>(edit.size()));
  EXPECT_EQ(std::string(edit.data()), english);

  Click(IDC_LICENCE_ENGLISH);
  EXPECT_FALSE(Shown(IDC_LICENCE_EDIT));
  EXPECT_TRUE(Shown(IDC_LICENCE_LIST));
  HWND list = GetDlgItem(dialog, IDC_LICENCE_LIST);
  ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), lines);
  EXPECT_EQ(ListText(list, 0), chinese.substr(0, chinese.find('\r')));
  std::string withoutLast = chinese.substr(0, chinese.size() - 2);
  EXPECT_EQ(ListText(list, static_cast<int>(lines - 1)), withoutLast.substr(withoutLast.rfind('\n') + 1));

  Click(IDC_LICENCE_ENGLISH);
  EXPECT_TRUE(Shown(IDC_LICENCE_EDIT));
  EXPECT_FALSE(Shown(IDC_LICENCE_LIST));

  // Away and back: the list keeps its one copy of the text.
  Click(IDC_BACK);
  Click(IDC_NEXT);  // the answer given before still stands
  ASSERT_EQ(pageIndex, 2);
  EXPECT_EQ(textPagesLoaded, 1);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), lines);
  EXPECT_TRUE(messages().empty());
}

TEST_F(WizardTest, EnglishIsCheckedAnewOnlyFromTheDisplayTest) {
  GoToPage(2);
  Click(IDC_LICENCE_ENGLISH);  // the Chinese licence
  Click(IDC_NEXT);
  Click(IDC_BACK);  // from the language page: the choice stays
  EXPECT_EQ(pageIndex, 2);
  EXPECT_FALSE(Checked(IDC_LICENCE_ENGLISH));
  EXPECT_TRUE(Shown(IDC_LICENCE_LIST));
  EXPECT_FALSE(Shown(IDC_LICENCE_EDIT));

  Click(IDC_BACK);  // to the display test and on: English again
  Click(IDC_DISPLAY_NOT_OK);
  Click(IDC_NEXT);
  EXPECT_TRUE(Checked(IDC_LICENCE_ENGLISH));
  EXPECT_TRUE(Shown(IDC_LICENCE_EDIT));
  EXPECT_FALSE(Shown(IDC_LICENCE_LIST));
}

TEST_F(WizardTest, LicenceSwitchLosingFocusKeepsTheLanguagePage) {
  GoToPage(2);
  Click(IDC_LICENCE_ENGLISH);  // the check box now has the focus
  ASSERT_EQ(GetFocus(), GetDlgItem(dialog, IDC_LICENCE_ENGLISH));
  Command(IDC_NEXT);  // Enter on a check box means Next
  SetFocus(GetDlgItem(dialog, IDC_LANGUAGE_COMBO));
  Pump();
  EXPECT_EQ(pageIndex, 3);
  EXPECT_EQ(ShownPages(), std::vector<int>{3});
  EXPECT_FALSE(Shown(IDC_LICENCE_LIST));
  EXPECT_FALSE(Shown(IDC_LICENCE_EDIT));
}

TEST_F(WizardTest, CancelOnAnyPageEndsWithoutWriting) {
  std::string scratch = MakeScratchFolder("tavik-wizard-cancel");
  std::string target = scratch + "\\Tavik";
  for (int page = 0; page <= 3; ++page) {
    SCOPED_TRACE(page);
    RecreateWizard();
    SetDlgItemTextA(dialog, IDC_PATH_EDIT, target.c_str());
    GoToPage(page);
    Click(IDCANCEL);
    EXPECT_EQ(pageIndex, -1);
    EXPECT_FALSE(FileExists(target));
  }
  EXPECT_TRUE(IsEmptyFolder(scratch));
  RemoveTree(scratch);
}
