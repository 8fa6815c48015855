// Extraction on a drive that runs out of space part-way: a small file
// system (with_small_disk.sh) is filled until only a chosen number of bytes
// is left, then the manifest is extracted over previous versions of some of
// its files. No file under an installed name is ever cut short: each holds
// its complete new bytes (extraction said 1) or its previous bytes or is
// absent (extraction said 0), and no temporary file is left behind.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/bounded_format.h"
#include "base/config_rewrite.h"
#include "install/install.h"
#include "base/manifest.h"
#include "startup/startup.h"
#include "tests/faults/fault_support.h"
#include "tests/install/payload_test_support.h"
#include "wizard/wizard.h"

namespace {

constexpr DWORD kReadOnlyHidden = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
constexpr unsigned long long kPage = 4096;  // tmpfs hands out space in pages

std::string SmallDisk() {
  const char* disk = std::getenv("TAVIK_SMALL_DISK");
  return disk != nullptr ? disk : "";
}

unsigned long long Pages(unsigned long long bytes) { return (bytes + kPage - 1) / kPage * kPage; }

class DiskFull : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* reason = std::getenv("TAVIK_SMALL_DISK_SKIP")) GTEST_SKIP() << reason;
    if (SmallDisk().empty()) GTEST_SKIP() << "not started by with_small_disk.sh";
    appInstance = GetModuleHandleA(nullptr);
    static Bytes shared(kInstallBufferSize);
    buffer_ = shared.data();
    folder_ = SmallDisk() + "\\install";
    filler_ = SmallDisk() + "\\filler.bin";
    ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, folder_.c_str()));
    for (const ManifestRow& row : kManifest) {
      unsigned long length = kInstallBufferSize;
      ASSERT_EQ(InflatePayload(row.id, buffer_, &length), Z_OK);
      expected_.emplace_back(buffer_, buffer_ + length);
    }
  }

  void TearDown() override {
    if (!folder_.empty()) RemoveTree(folder_);
    if (!filler_.empty()) RemoveTree(filler_);
  }

  // A fresh install folder where every third row has a previous version.
  void PreparePrevious() {
    RemoveTree(folder_);
    RemoveTree(filler_);
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    for (std::size_t i = 0; i < kManifestRowCount; i += 3) {
      std::string path = folder_ + "\\" + kManifest[i].fileName;
      ASSERT_TRUE(WriteWholeFile(path, "previous " + std::to_string(i)));
      ASSERT_TRUE(SetFileAttributesA(path.c_str(), kReadOnlyHidden));
    }
  }

  static std::string Previous(std::size_t row) {
    return row % 3 == 0 ? "previous " + std::to_string(row) : "";
  }

  unsigned char* buffer_ = nullptr;
  std::string folder_;
  std::string filler_;
  std::vector<Bytes> expected_;
};

TEST_F(DiskFull, NoFileIsLeftCutShort) {
  unsigned long long needed = 0;
  for (const Bytes& file : expected_) needed += Pages(file.size());
  int runs = 0, written = 0, refused = 0;
  for (int eighth = 0; eighth < 8; ++eighth) {
    unsigned long long leave = needed * eighth / 8;
    SCOPED_TRACE("free space " + std::to_string(leave) + " of " + std::to_string(needed));
    PreparePrevious();
    ASSERT_TRUE(FillDisk(filler_, leave));
    std::vector<int> results;
    for (const ManifestRow& row : kManifest) {
      results.push_back(ExtractPayload(row.id, row.fileName, kInstallBufferSize,
                                       row.readOnly, row.hidden, nullptr));
    }
    // Part-way: the first row fails only when nothing was left free.
    EXPECT_EQ(results[0], eighth == 0 ? 0 : 1);
    EXPECT_NE(std::count(results.begin(), results.end(), 0), 0) << "the disk never ran out";
    FolderState after = Snapshot(folder_);
    for (std::size_t i = 0; i < kManifestRowCount; ++i) {
      const ManifestRow& row = kManifest[i];
      SCOPED_TRACE(row.fileName);
      auto found = after.find(row.fileName);
      if (results[i] == 1) {
        ++written;
        ASSERT_NE(found, after.end());
        EXPECT_TRUE(found->second.bytes == expected_[i]);
        DWORD flags =
            (row.readOnly ? FILE_ATTRIBUTE_READONLY : 0) | (row.hidden ? FILE_ATTRIBUTE_HIDDEN : 0);
        EXPECT_EQ(found->second.attributes & kReadOnlyHidden, flags);
      } else if (Previous(i).empty()) {
        ++refused;
        EXPECT_EQ(found, after.end()) << "a file appeared although extraction failed";
      } else {
        ++refused;
        ASSERT_NE(found, after.end());
        EXPECT_TRUE(found->second.bytes == AsBytes(Previous(i)));
      }
      if (found != after.end()) after.erase(found);
    }
    // Nothing else: no temporary file of a failed write stays behind.
    for (const auto& entry : after) ADD_FAILURE() << "left behind: " << entry.first;
    ++runs;
  }
  std::printf(
      "[ figures  ] %d runs out of space, %d files written whole, %d refused with the previous "
      "file or none\n",
      runs, written, refused);
}

// The rewrite of the configuration file needs no space; what it appends
// does. A file that ends on a page boundary with no room left keeps every
// byte it had, and whatever was appended is the start of the right text.
TEST_F(DiskFull, ConfigurationKeepsItsBytesWhenNothingCanBeAppended) {
  PreparePrevious();
  std::string path = folder_ + "\\dodazaze.ini";
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::string input = "[UI_STR]\r\n" + std::string(4096 - 12, 'x') + "\r\n";
  ASSERT_EQ(input.size(), 4096u);
  ASSERT_TRUE(WriteWholeFile(path, input));
  ASSERT_TRUE(FillDisk(filler_, 0));
  chineseDisplayOk = 1;
  forceLanguage = kLanguageTraditional;
  EXPECT_EQ(UpdateConfigFile(), 1);
  Bytes bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  // The rewritten file could not be written whole: the old one stays, whole.
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), input);
  EXPECT_EQ(GetFileAttributesA(path.c_str()) & kReadOnlyHidden, kReadOnlyHidden);
  EXPECT_EQ(Snapshot(folder_).count("dodazaze.ini"), 1u);
  for (const auto& entry : Snapshot(folder_)) EXPECT_FALSE(IsExtractionTempName(entry.first));
}

// A settings copy that runs out of space leaves the earlier copy in the
// Windows folder whole, with its attributes, and no temporary file.
TEST_F(DiskFull, AFailedSettingsCopyKeepsTheEarlierOne) {
  ScratchFolder scratch;
  std::string module = scratch.path();
  ASSERT_FALSE(module.empty());
  std::string windows = SmallDisk() + "\\windows";
  RemoveTree(windows);
  RemoveTree(filler_);
  ASSERT_TRUE(CreateDirectoryA(windows.c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(module + "\\SCtrlSet0.bin", std::string(256 * 1024, 'N')));
  ASSERT_TRUE(WriteWholeFile(windows + "\\SCtrlSet0.bin", "earlier settings"));
  ASSERT_TRUE(SetFileAttributesA((windows + "\\SCtrlSet0.bin").c_str(), kReadOnlyHidden));
  FolderState before = Snapshot(windows);
  ASSERT_TRUE(FillDisk(filler_, 16 * 1024));
  ASSERT_TRUE(FormatBounded(moduleDir, sizeof moduleDir, "%s\\", module.c_str()));
  ASSERT_TRUE(FormatBounded(windowsDir, sizeof windowsDir, "%s\\", windows.c_str()));
  CopySettingsFile();
  FolderState expected = before;
  expected["SCtrlSet0.bin"].attributes &= ~kReadOnlyHidden;  // cleared before the attempt
  EXPECT_EQ(DescribeChange(expected, Snapshot(windows)), "");
  RemoveTree(windows);
}

}  // namespace
