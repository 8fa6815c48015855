// RunSetup in a program that has the payload but no wizard template: the
// dialog cannot be created, so the program must not enter its loop.
#include <windows.h>

#include <gtest/gtest.h>

#include "render/render.h"
#include "startup/startup.h"
#include "startup/startup_steps.h"
#include "tests/support/window_search.h"

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
  WindowQuery query;
  query.processId = GetCurrentProcessId();
  EXPECT_EQ(FindWindowsBy(query).size(), 0u);
}
