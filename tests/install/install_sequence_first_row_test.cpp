// The install sequence when its very first row has no payload: the stale
// files are gone all the same, and nothing else happens.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "install/install.h"
#include "tests/install/install_sequence_fixture.h"
#include "wizard/wizard.h"

TEST_F(InstallSequenceTest, StaleFilesAreDeletedEvenWhenTheFirstRowFails) {
  for (const std::string& name : StaleFileNames())
    EXPECT_TRUE(WriteWholeFile(InstallPath(name.c_str()), "stale", FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(WriteWholeFile(moduleFolder + "SCtrlSet0.bin", "settings"));

  EXPECT_EQ(Run(), 0);

  EXPECT_TRUE(ListFolder(installFolder).empty());
  EXPECT_EQ(ProgressPositions(), std::vector<int>{10});
  EXPECT_TRUE(ListFolder(ProgramsFolder()).empty());
  EXPECT_TRUE(ListFolder(windowsFolder).empty());
}
