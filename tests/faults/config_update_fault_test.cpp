// UpdateConfigFile on seeded configuration files in the install folder:
// the same promise as the rewrite in memory (only the values change, the
// rules' lines are added), the system's profile reader takes the new values,
// and the file is read-only and hidden after.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "base/bounded_format.h"
#include "install/install.h"
#include "startup/startup.h"
#include "tests/faults/config_oracle.h"
#include "tests/faults/fault_support.h"
#include "tests/install/payload_test_support.h"
#include "wizard/wizard.h"

namespace {
constexpr DWORD kReadOnlyHidden = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
constexpr int kFiles = 300;
}  // namespace

TEST(ConfigUpdateFault, SeededFilesInTheInstallFolder) {
  ScratchFolder scratch;
  ASSERT_FALSE(scratch.path().empty());
  ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, scratch.path().c_str()));
  std::string path = scratch / "dodazaze.ini";
  std::mt19937 random(4242);
  int checked = 0;
  for (int i = 0; i < kFiles; ++i) {
    auto shape = static_cast<ConfigShape>(i % static_cast<int>(ConfigShape::kShapeCount));
    SCOPED_TRACE("file " + std::to_string(i) + ", " + ShapeName(shape));
    std::string input = GenerateConfig(random, shape);
    chineseDisplayOk = static_cast<int>(random() % 2);
    forceLanguage = static_cast<int>(random() % 3);
    char useBmpFont = chineseDisplayOk ? '0' : '1';
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteWholeFile(path, input));
    // As installed: read-only and hidden, every other file.
    if (i % 2 == 0) {
      ASSERT_TRUE(SetFileAttributesA(path.c_str(), kReadOnlyHidden));
    }

    EXPECT_EQ(UpdateConfigFile(), 1);

    Bytes bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    std::string output(bytes.begin(), bytes.end());
    EXPECT_EQ(CheckOnlyValuesChanged(input, output, useBmpFont, forceLanguage), "");
    EXPECT_EQ(output, ExpectedRewrite(input, useBmpFont, forceLanguage));
    // The system's own profile reader takes the values the rewrite wrote
    // (its cache flushed first). Its reading of NUL and stray CR bytes is
    // its own affair.
    if (shape != ConfigShape::kBinaryJunk) {
      WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
      EXPECT_EQ(GetPrivateProfileIntA("Config", "UseBmpFont", -1, path.c_str()), useBmpFont - '0');
      EXPECT_EQ(GetPrivateProfileIntA("Config", "ForceLanguage", -1, path.c_str()), forceLanguage);
    }
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & kReadOnlyHidden, kReadOnlyHidden);
    EXPECT_EQ(ListFolder(scratch.path()), std::vector<std::string>{"dodazaze.ini"});
    ++checked;
  }
  std::printf("[ figures  ] %d configuration files through UpdateConfigFile\n", checked);
}
