// The install manifest table: the facts the installer and the packer rely on.
#include "base/manifest.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "tests/support/manifest_oracle.h"

TEST(Manifest, IdsAndNamesAreUnique) {
  std::set<int> ids;
  std::set<std::string> names;
  for (const ManifestRow& row : kManifest) {
    EXPECT_TRUE(ids.insert(row.id).second) << row.id;
    EXPECT_TRUE(names.insert(row.fileName).second) << row.fileName;
  }
  for (const ExtraPayload& extra : kExtraPayloads) EXPECT_TRUE(ids.insert(extra.id).second);
}

TEST(Manifest, StopRowsAreTheSpecifiedOnes) {
  std::set<int> stopRows;
  for (std::size_t i = 0; i < kManifestRowCount; ++i)
    if (kManifest[i].onFailure == FailureRule::kStop) stopRows.insert(static_cast<int>(i) + 1);
  std::set<int> expected = {1, 2, 3, 4, 9, 10, 11, 103, 105, 106, 107};
  for (int row = 16; row <= 30; ++row) expected.insert(row);
  EXPECT_EQ(stopRows, expected);
}

TEST(Manifest, WordBaseRowsAndProgressPositions) {
  std::set<std::string> wordBase;
  std::string progress;
  for (const ManifestRow& row : kManifest) {
    if (row.condition == RowCondition::kWordBaseReplaced) wordBase.insert(row.fileName);
    if (row.progress != 0) progress += std::to_string(row.progress) + " ";
  }
  EXPECT_EQ(wordBase, (std::set<std::string>{"CiZuFlat.igb", "pxcizudic.idx", "pycizudic.idx",
                                             "py2_3ZiCi1stZuMu.idx"}));
  EXPECT_EQ(progress, "15 20 25 30 35 45 50 55 65 70 ");
}

TEST(Manifest, RowsReadByOtherPartsCarryTheirIds) {
  auto idOf = [](const char* name) {
    for (const ManifestRow& row : kManifest)
      if (std::strcmp(row.fileName, name) == 0) return row.id;
    return -1;
  };
  EXPECT_EQ(idOf("ChnBmp.bin"), 110);
  EXPECT_EQ(idOf("License_cn.txt"), 163);
  EXPECT_EQ(idOf("License_en.txt"), 164);
  EXPECT_EQ(idOf("dodazaze.ini"), 120);
  EXPECT_EQ(kExtraPayloads[0].id, 1029);
}

// Row by row against the table typed apart from the product's.
TEST(Manifest, EveryRowMatchesTheExpectedTable) {
  ASSERT_EQ(kExpectedRowCount, kManifestRowCount);
  for (std::size_t i = 0; i < kManifestRowCount; ++i) {
    const ExpectedRow& expected = kExpectedRows[i];
    const ManifestRow& row = kManifest[i];
    SCOPED_TRACE("row " + std::to_string(expected.row) + " " + expected.fileName);
    EXPECT_EQ(expected.row, static_cast<int>(i) + 1);
    EXPECT_EQ(row.id, expected.id);
    EXPECT_STREQ(row.fileName, expected.fileName);
    EXPECT_EQ(row.readOnly, expected.readOnly);
    EXPECT_EQ(row.hidden, expected.hidden);
    EXPECT_EQ(row.onFailure == FailureRule::kStop, expected.stops);
    EXPECT_EQ(row.condition == RowCondition::kWordBaseReplaced, expected.wordBaseOnly);
    EXPECT_EQ(row.progress, expected.progress);
  }
}
