// Test bed of the wizard tests: the real wizard dialog (template 114 with
// WizardDialogProc) made in this process over the small test payload, as
// start-up leaves it, with helpers that press its controls the way a user
// does and answer the message boxes that it opens.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/disk_test_support.h"

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Destroys the wizard and makes it anew (after a change of forceLanguage).
  void RecreateWizard();
  // A click on the control (BM_CLICK): the button takes the focus and
  // notifies the dialog as a mouse click would.
  void Click(int id);
  // The command alone, as the message loop posts it for Enter.
  void Command(int id);
  bool Shown(int id) const;
  bool Enabled(int id) const;
  bool Checked(int id) const;
  // From the path page to the given page by Next, answering the display
  // test with "正确(OK)".
  void GoToPage(int page);
  // The pages whose controls are all shown (licence controls aside); one
  // entry when the wizard shows exactly one page.
  std::vector<int> ShownPages() const;
  // Lets the dialog handle what is queued (focus changes, repaints).
  static void Pump();
  // The message boxes seen so far; each is answered by answerMessage (OK unless
  // a test says otherwise), so an unexpected one cannot hold a test up.
  const std::vector<SeenMessage>& messages() const;

  HWND dialog = nullptr;
  std::function<int(const SeenMessage&)> answerMessage;

 private:
  std::unique_ptr<MessageAnswerer> boxes_;
};

// The inflated bytes of a payload resource of the test payload.
std::string PayloadText(int id);
