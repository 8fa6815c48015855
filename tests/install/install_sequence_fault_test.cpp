// The install sequence over a damaged payload: duplicat.dic (row 7) is
// missing, tips.txt (row 13) fails its checksum, and pycizudic.idx (row 105,
// a stopping row of the word base) is cut short.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "install/install.h"
#include "base/manifest.h"
#include "startup/startup.h"
#include "tests/install/install_sequence_fixture.h"
#include "wizard/wizard.h"

namespace {

const DWORD kReadOnlyHidden = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
const char* const kWordBaseFiles[] = {"CiZuFlat.igb", "pxcizudic.idx", "pycizudic.idx",
                                      "py2_3ZiCi1stZuMu.idx"};

std::size_t RowNumber(const char* fileName) {
  for (std::size_t i = 0; i < kManifestRowCount; ++i)
    if (std::strcmp(kManifest[i].fileName, fileName) == 0) return i + 1;
  return 0;
}

void PlantMarkedWordBase(const std::string& folder) {
  for (const char* name : kWordBaseFiles) EXPECT_TRUE(WriteWholeFile(folder + "\\" + name, "\x81old"));
}

}  // namespace

TEST_F(InstallSequenceTest, FailedContinueRowsLeaveTheRunSuccessful) {
  // Kept word base: the damaged stopping row 105 does not run.
  PlantMarkedWordBase(installFolder);
  SetQuestionAnswer(IDNO);
  EXPECT_TRUE(WriteWholeFile(InstallPath("tips.txt"), "old tips", kReadOnlyHidden));

  EXPECT_EQ(Run(), 1);

  EXPECT_FALSE(FileExists(InstallPath("duplicat.dic")));
  // The damaged stream fails before the old file is opened.
  std::string tips;
  ASSERT_TRUE(ReadWholeFile(InstallPath("tips.txt"), tips));
  EXPECT_EQ(tips, "old tips");
  EXPECT_EQ(ReadOnlyHidden(InstallPath("tips.txt")), kReadOnlyHidden);
  for (const ManifestRow& row : kManifest) {
    if (row.id == 118 || row.id == 203 || row.condition == RowCondition::kWordBaseReplaced)
      continue;
    std::string installed;
    EXPECT_TRUE(ReadWholeFile(InstallPath(row.fileName), installed)) << row.fileName;
  }
  std::string config;
  ASSERT_TRUE(ReadWholeFile(InstallPath("dodazaze.ini"), config));
  EXPECT_NE(config.find("ForceLanguage="), std::string::npos);
  EXPECT_EQ(ListFolder(ProgramsFolder()).size(), 1u);
}

TEST_F(InstallSequenceTest, FailedStoppingRowEndsTheRunAtOnce) {
  isVistaOrLater = 1;
  EXPECT_TRUE(WriteWholeFile(moduleFolder + "SCtrlSet0.bin", "settings"));

  EXPECT_EQ(Run(), 0);

  std::size_t failedRow = RowNumber("pycizudic.idx");
  ASSERT_EQ(failedRow, 105u);
  for (std::size_t row = 1; row <= kManifestRowCount; ++row) {
    const char* name = kManifest[row - 1].fileName;
    bool damagedContinueRow = row == RowNumber("duplicat.dic") || row == RowNumber("tips.txt");
    EXPECT_EQ(FileExists(InstallPath(name)), row < failedRow && !damagedContinueRow) << name;
  }
  // None of the closing steps ran.
  EXPECT_EQ(ProgressPositions(), (std::vector<int>{10, 15, 20, 25, 30, 35, 45, 50, 55, 65}));
  std::string config;
  ASSERT_TRUE(ReadWholeFile(InstallPath("dodazaze.ini"), config));
  EXPECT_TRUE(config == SamplePayload("dodazaze.ini"));
  EXPECT_TRUE(ListFolder(ProgramsFolder()).empty());
  EXPECT_TRUE(ListFolder(DesktopFolder()).empty());
  EXPECT_TRUE(ListFolder(windowsFolder).empty());
  EXPECT_EQ(ClassesRootEntryCount(), 0);
  EXPECT_EQ(MessageBoxCount(), 0);
}

TEST_F(InstallSequenceTest, BufferIsGivenBackWhenARowStopsTheRun) {
  ExpectNoMemoryKept([this] { EXPECT_EQ(Run(), 0); });
}
