// Locked and protected targets: a target held open without sharing (by
// this process or another one), a folder under the target's name, a folder
// that is missing, and read-only hidden targets. Extraction fails or
// replaces exactly as its rules say, and nothing else in the folder changes.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>

#include "base/bounded_format.h"
#include "install/install.h"
#include "base/manifest.h"
#include "startup/startup.h"
#include "tests/faults/fault_support.h"
#include "tests/install/payload_test_support.h"
#include "tests/faults/helper_process.h"
#include "wizard/wizard.h"

namespace {

constexpr DWORD kReadOnly = FILE_ATTRIBUTE_READONLY;
constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;
constexpr DWORD kSystem = FILE_ATTRIBUTE_SYSTEM;
constexpr int kTipsId = 203;
constexpr char kTips[] = "tips.txt";

class ProtectedTarget : public ExtractionTest {
 protected:
  void SetUp() override {
    ExtractionTest::SetUp();
    if (HasFatalFailure()) return;
    unsigned long length = kInstallBufferSize;
    ASSERT_EQ(InflatePayload(kTipsId, buffer_, &length), Z_OK);
    tips_.assign(buffer_, buffer_ + length);
    // Neighbours that no step may touch.
    ASSERT_TRUE(WriteWholeFile(scratch_ / "neighbour.txt", "neighbour"));
    ASSERT_TRUE(SetFileAttributesA((scratch_ / "neighbour.txt").c_str(), kReadOnly | kHidden));
  }

  void PlacePrevious(DWORD attributes) {
    std::string path = scratch_ / kTips;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteWholeFile(path, "previous tips"));
    if (attributes != 0) {
      ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes));
    }
  }

  int Extract(int readOnly, int hidden) {
    return ExtractPayload(kTipsId, kTips, kInstallBufferSize, readOnly, hidden, nullptr);
  }

  // After a refusal while the target was locked: the previous bytes stay,
  // and the file has lost read-only and hidden (cleared before the attempt).
  // Looked at once the lock is gone: a file held without sharing cannot be
  // read either.
  void ExpectPreviousWithoutFlags(const FolderState& before) {
    FolderState expected = before;
    expected[kTips].attributes &= ~(kReadOnly | kHidden);
    EXPECT_EQ(DescribeChange(expected, Snapshot(scratch_.path())), "");
  }

  Bytes tips_;
};

// A holder whose sharing lets another writer in (the input method keeps
// its dictionaries open for reading and writing during a reinstall) gets
// the new file written in place; one that does not keeps the old file
// whole, and the extraction fails. Never a mixture of the two.
struct ShareCase {
  const char* name;
  DWORD share;
  bool replaced;
};
constexpr ShareCase kShareCases[] = {
    {"none", 0, false},
    {"read", FILE_SHARE_READ, false},
    {"read and write", FILE_SHARE_READ | FILE_SHARE_WRITE, true},
    {"read, write and delete", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
};

TEST_F(ProtectedTarget, HeldOpenByAnotherProcessInEachShareMode) {
  for (const ShareCase& held : kShareCases) {
    SCOPED_TRACE(std::string("shared for ") + held.name);
    PlacePrevious(kReadOnly | kHidden | kSystem);
    FolderState expected = Snapshot(scratch_.path());
    {
      HelperProcess holder(("hold-share-" + std::to_string(held.share)).c_str(), scratch_ / kTips);
      ASSERT_TRUE(holder.ready());
      EXPECT_EQ(Extract(1, 1), held.replaced ? 1 : 0);
      holder.Release();
      EXPECT_EQ(holder.Wait(10000), 0u);
    }
    if (held.replaced) {
      expected[kTips].bytes = tips_;
    } else {
      expected[kTips].attributes &= ~(kReadOnly | kHidden);
    }
    EXPECT_EQ(DescribeChange(expected, Snapshot(scratch_.path())), "");
  }
}

TEST_F(ProtectedTarget, HeldOpenForReadingByThisProcess) {
  for (const ShareCase& held : kShareCases) {
    SCOPED_TRACE(std::string("shared for ") + held.name);
    PlacePrevious(kReadOnly | kHidden | kSystem);
    FolderState expected = Snapshot(scratch_.path());
    HANDLE handle = CreateFileA((scratch_ / kTips).c_str(), GENERIC_READ, held.share, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Extract(1, 1), held.replaced ? 1 : 0);
    CloseHandle(handle);
    if (held.replaced) {
      expected[kTips].bytes = tips_;
    } else {
      expected[kTips].attributes &= ~(kReadOnly | kHidden);
    }
    EXPECT_EQ(DescribeChange(expected, Snapshot(scratch_.path())), "");
    EXPECT_EQ(Extract(0, 0), 1) << "once the handle is closed";
  }
}

TEST_F(ProtectedTarget, HeldOpenByAnotherProcess) {
  PlacePrevious(kReadOnly | kHidden);
  FolderState before = Snapshot(scratch_.path());
  {
    HelperProcess holder("hold", scratch_ / kTips);
    ASSERT_TRUE(holder.ready());
    EXPECT_EQ(Extract(1, 1), 0);
    holder.Release();
    EXPECT_EQ(holder.Wait(10000), 0u);
  }
  ExpectPreviousWithoutFlags(before);
  EXPECT_EQ(Extract(1, 1), 1);
  Bytes installed;
  ASSERT_TRUE(ReadWholeFile(scratch_ / kTips, installed));
  EXPECT_TRUE(installed == tips_);
}

// The settings copy in the Windows folder, held by another program: the
// same rule as an installed file, the source's bytes whole or the old ones.
TEST_F(ProtectedTarget, SettingsCopyHeldByAnotherProcess) {
  ScratchFolder module;
  ASSERT_TRUE(WriteWholeFile(module / "SCtrlSet0.bin", "new settings"));
  ASSERT_TRUE(FormatBounded(moduleDir, sizeof moduleDir, "%s\\", module.path().c_str()));
  ASSERT_TRUE(FormatBounded(windowsDir, sizeof windowsDir, "%s\\", scratch_.path().c_str()));
  std::string target = scratch_ / "SCtrlSet0.bin";
  for (const ShareCase& held : kShareCases) {
    SCOPED_TRACE(std::string("shared for ") + held.name);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteWholeFile(target, "earlier settings"));
    FolderState expected = Snapshot(scratch_.path());
    {
      HelperProcess holder(("hold-share-" + std::to_string(held.share)).c_str(), target);
      ASSERT_TRUE(holder.ready());
      CopySettingsFile();
      holder.Release();
      EXPECT_EQ(holder.Wait(10000), 0u);
    }
    if (held.replaced) expected["SCtrlSet0.bin"].bytes = AsBytes("new settings");
    EXPECT_EQ(DescribeChange(expected, Snapshot(scratch_.path())), "");
  }
}

// An empty folder global names no folder: nothing is read from or written
// into the current folder, or the root of the current drive, in its place.
TEST_F(ProtectedTarget, EmptyFoldersNameNoPath) {
  ScratchFolder current;
  ScratchFolder module;
  char previous[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(sizeof previous, previous);
  ASSERT_TRUE(length > 0 && length < sizeof previous);
  ASSERT_TRUE(SetCurrentDirectoryA(current.path().c_str()));
  ASSERT_TRUE(WriteWholeFile(current / "SCtrlSet0.bin", "found in the current folder"));
  ASSERT_TRUE(WriteWholeFile(module / "SCtrlSet0.bin", "beside the program"));
  FolderState currentBefore = Snapshot(current.path());
  FolderState windowsBefore = Snapshot(scratch_.path());
  struct Case {
    const char* name;
    std::string module;
    std::string windows;
  };
  const Case cases[] = {{"no program folder", "", scratch_.path() + "\\"},
                        {"no Windows folder", module.path() + "\\", ""},
                        {"neither", "", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(CopyBounded(moduleDir, sizeof moduleDir, c.module.c_str()));
    ASSERT_TRUE(CopyBounded(windowsDir, sizeof windowsDir, c.windows.c_str()));
    CopySettingsFile();
    EXPECT_EQ(DescribeChange(currentBefore, Snapshot(current.path())), "");
    EXPECT_EQ(DescribeChange(windowsBefore, Snapshot(scratch_.path())), "");
  }
  // An empty install folder: "\name" would be the root of the current drive.
  std::string name = "tvk-no-install-folder-" + std::to_string(GetCurrentProcessId()) + ".txt";
  std::string root = std::string(1, current.path()[0]) + ":\\" + name;
  installDir[0] = '\0';
  EXPECT_EQ(ExtractPayload(kTipsId, name.c_str(), kInstallBufferSize, 0, 0, nullptr), 0);
  bool written = GetFileAttributesA(root.c_str()) != INVALID_FILE_ATTRIBUTES;
  DeleteFileA(root.c_str());
  EXPECT_FALSE(written) << root;
  std::string leftOver = std::string(1, current.path()[0]) + ":\\~tvkE0E0.tmp";
  bool placed = WriteWholeFile(leftOver, "not in any install folder");
  EXPECT_EQ(RemoveStaleTempFiles(""), 0);
  EXPECT_TRUE(!placed || GetFileAttributesA(leftOver.c_str()) != INVALID_FILE_ATTRIBUTES);
  DeleteFileA(leftOver.c_str());
  SetCurrentDirectoryA(previous);
}

TEST_F(ProtectedTarget, AFolderUnderTheTargetNameStays) {
  ASSERT_TRUE(CreateDirectoryA((scratch_ / kTips).c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(scratch_ / kTips + "\\inside.txt", "inside"));
  FolderState before = Snapshot(scratch_.path());
  FolderState inside = Snapshot(scratch_ / kTips);
  EXPECT_EQ(Extract(1, 1), 0);
  EXPECT_EQ(DescribeChange(before, Snapshot(scratch_.path())), "");
  EXPECT_EQ(DescribeChange(inside, Snapshot(scratch_ / kTips)), "");
}

TEST_F(ProtectedTarget, AMissingFolderGetsNothing) {
  FolderState before = Snapshot(scratch_.path());
  std::string missing = scratch_ / "missing";
  ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, missing.c_str()));
  EXPECT_EQ(Extract(0, 0), 0);
  EXPECT_EQ(DescribeChange(before, Snapshot(scratch_.path())), "");
}

// Read-only and hidden never stop a replacement: the new file carries the
// requested flags plus the other attributes of the one it replaced.
TEST_F(ProtectedTarget, ReadOnlyHiddenTargetsAreReplaced) {
  const DWORD previous[] = {0, kReadOnly, kHidden, kReadOnly | kHidden,
                            kReadOnly | kHidden | kSystem};
  int cases = 0;
  for (DWORD attributes : previous) {
    for (int flags = 0; flags < 4; ++flags) {
      int readOnly = flags & 1;
      int hidden = (flags >> 1) & 1;
      SCOPED_TRACE("previous " + std::to_string(attributes) + ", flags " + std::to_string(flags));
      PlacePrevious(attributes);
      FolderState before = Snapshot(scratch_.path());
      EXPECT_EQ(Extract(readOnly, hidden), 1);
      FolderState expected = before;
      expected[kTips].bytes = tips_;
      expected[kTips].attributes =
          (attributes & kSystem) | (readOnly ? kReadOnly : 0) | (hidden ? kHidden : 0);
      EXPECT_EQ(DescribeChange(expected, Snapshot(scratch_.path())), "");
      ++cases;
    }
  }
  std::printf("[ figures  ] %d read-only or hidden targets replaced\n", cases);
}

}  // namespace
