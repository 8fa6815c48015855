// RunSetup in a program that has the payload but no wizard template: the
// dialog cannot be created, so the program must not enter its loop.
#include <windows.h>

#include <gtest/gtest.h>

#include "render/render.h"
#include "startup/startup.h"
#include "startup/startup_steps.h"

namespace {
BOOL CALLBACK CountVisibleWindows(HWND window, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}
}  // namespace

TEST(RunSetup, MissingWizardTemplateEndsWithItsOwnExitCodeAndReleasesAll) {
  // Had RunSetup entered its loop anyway, nothing would end it and this
  // test would run into its timeout.
  int exitCode = RunSetup(GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(exitCode, kExitNoWizard);
  EXPECT_EQ(mainDialog, nullptr);
  for (int k = 0; k < kGlyphImageCount; ++k) {
    EXPECT_EQ(glyphDc[k], nullptr);
    EXPECT_EQ(glyphBitmap[k], nullptr);
  }
  EXPECT_EQ(sampleFont, nullptr);
  int visible = 0;
  EnumWindows(CountVisibleWindows, reinterpret_cast<LPARAM>(&visible));
  EXPECT_EQ(visible, 0);
}
