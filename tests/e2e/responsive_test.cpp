// The setup program answers its window all through a full install, asked
// from this process as the system asks, and whatever the user does while
// it installs (the close box, Alt+F4, Escape, clicks where the buttons
// were) leaves the install to finish as if untouched.
#include <windows.h>

#include <cstdio>
#include <string>

#include "resources/resource.h"
#include "tests/support/answer_probe.h"
#include "tests/e2e/install_checks.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scenario.h"

namespace {
constexpr DWORD kFullInstallTimeoutMs = 240000;
// The system calls a window hung after 5 s; the window answers between
// rows and between the pieces of every file, so no answer waits longer
// than the install-run test allows any step.
constexpr double kLongestUnansweredMs = 250;
}  // namespace

using Responsive = Scenario;

TEST_F(Responsive, FullInstallAnswersThroughoutAndIgnoresLeaving) {
  SetupRun& setup = Launch(Build::kFull);
  ASSERT_NE(setup.wizard(), nullptr);
  WizardChoices choices;
  choices.installDir = "C:\\TavikE2E\\Responsive";
  const std::wstring installDir = Widen(choices.installDir);
  DeleteTree(installDir);

  const DWORD pressed = WalkToInstall(choices);
  // From Install on: the pages before it load and draw in one go.
  AnswerProbe probe(setup.wizard(), kMessageCaption);
  ASSERT_TRUE(setup.WaitUntil([&] { return !setup.Shows(IDC_NEXT); })) << "the install did not start";

  // Through the system's input queue, as a person leaves or goes on.
  EXPECT_TRUE(setup.ClickCloseBox(setup.wizard())) << "no close box found";
  setup.Activate(setup.wizard());
  setup.PressKey(VK_ESCAPE);
  setup.PressChord(VK_MENU, VK_F4);
  setup.PressKey(VK_RETURN);
  for (int id : {IDC_BACK, IDCANCEL, IDC_NEXT}) setup.ClickWindow(setup.Control(id));
  // And as other programs ask: a close request, the buttons' commands.
  PostMessageA(setup.wizard(), WM_CLOSE, 0, 0);
  for (int id : {IDC_BACK, IDCANCEL, IDC_NEXT})
    PostMessageA(setup.wizard(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  // All of it reached the program while it was still installing.
  EXPECT_FALSE(setup.MessageOpen()) << "the install was over before the input";
  EXPECT_FALSE(setup.Shows(IDC_NEXT));

  const InstallEnd end = FinishInstall(pressed, false, kFullInstallTimeoutMs);
  probe.Stop();
  ASSERT_EQ(end.exitCode, 0u);
  ExpectInstalledTree(installDir, PayloadDir(Build::kFull), 0, 0);
  ExpectShortcuts(installDir, 0, true);

  EXPECT_LE(probe.longestUnansweredMs(), kLongestUnansweredMs);
  EXPECT_FALSE(probe.seenHung()) << "the system called the wizard hung";
  std::printf("full install: %d questions, %d timed out, longest unanswered %.0f ms from %.0f ms\n",
              probe.questions(), probe.timeouts(), probe.longestUnansweredMs(), probe.longestStartMs());
}
