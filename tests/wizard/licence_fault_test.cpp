// The licence page over a payload whose English licence is missing: the
// load fails without a message and is tried again on the next visit.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "resources/resource.h"
#include "tests/wizard/wizard_test_support.h"
#include "wizard/wizard.h"

TEST_F(WizardTest, FailedLoadIsRetriedWithoutDoublingTheChineseLines) {
  const std::string chinese = PayloadText(IDR_LICENCE_CN);
  const LRESULT lines = std::count(chinese.begin(), chinese.end(), '\r');
  ASSERT_GT(lines, 0);
  HWND list = GetDlgItem(dialog, IDC_LICENCE_LIST);

  GoToPage(2);
  EXPECT_EQ(textPagesLoaded, 0);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), lines);
  Click(IDC_NEXT);
  Click(IDC_BACK);  // the second visit loads both texts again
  EXPECT_EQ(pageIndex, 2);
  EXPECT_EQ(textPagesLoaded, 0);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), lines);
  EXPECT_TRUE(messages().empty());
}
