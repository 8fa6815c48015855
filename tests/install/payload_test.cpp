// Payload extraction: resources to memory and to files, the capacity rule,
// attributes, target paths and the temporary file of every write.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "base/bounded_format.h"
#include "install/install.h"
#include "base/manifest.h"
#include "payload_test_support.h"
#include "startup/startup.h"
#include "tests/support/import_patch.h"
#include "wizard/wizard.h"

namespace {

const std::string kSampleDir = TAVIK_SAMPLE_DIR;  // the files the test payload was packed from
constexpr int kNoSuchId = 999;
constexpr int kTipsId = 203;  // "tips.txt": a small text
constexpr DWORD kReadOnly = FILE_ATTRIBUTE_READONLY;
constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;
constexpr DWORD kSystem = FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kArchive = FILE_ATTRIBUTE_ARCHIVE;

Bytes SampleFile(const std::string& name) {
  Bytes data;
  EXPECT_TRUE(ReadWholeFile(kSampleDir + "/" + name, data)) << name;
  return data;
}

Bytes FileBytes(const std::string& path) {
  Bytes data;
  EXPECT_TRUE(ReadWholeFile(path, data)) << path;
  return data;
}

Bytes TextBytes(const char* text) { return Bytes(text, text + std::strlen(text)); }

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

class PayloadTest : public ExtractionTest {
 protected:
  // A previous file with the given text and attributes (0: plain).
  void MakePreviousFile(const std::string& path, const char* text, DWORD attributes) {
    ASSERT_TRUE(WriteWholeFile(path, text));
    if (attributes) {
      ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes));
    }
  }

};

TEST_F(PayloadTest, EveryResourceIsExactlyOneStreamOfItsSourceFile) {
  std::vector<std::pair<int, const char*>> payloads;
  for (const ManifestRow& row : kManifest) payloads.emplace_back(row.id, row.fileName);
  for (const ExtraPayload& extra : kExtraPayloads) payloads.emplace_back(extra.id, extra.fileName);
  for (const auto& [id, fileName] : payloads) {
    SCOPED_TRACE(fileName);
    Bytes stream = ResourceBytes(appInstance, id);
    ASSERT_GE(stream.size(), 6u);
    EXPECT_EQ(stream[0], 0x78);
    EXPECT_EQ(stream[1], 0xDA);
    // uncompress2 reports how much input the stream used: all of it.
    uLongf produced = kInstallBufferSize;
    uLong used = static_cast<uLong>(stream.size());
    ASSERT_EQ(uncompress2(buffer_, &produced, stream.data(), &used), Z_OK);
    EXPECT_EQ(used, stream.size());

    Bytes source = SampleFile(fileName);
    unsigned long length = kInstallBufferSize;
    ASSERT_EQ(InflatePayload(id, buffer_, &length), Z_OK);
    ASSERT_EQ(length, source.size());
    EXPECT_TRUE(std::equal(source.begin(), source.end(), buffer_));
  }
}

TEST_F(PayloadTest, CapacityMustHoldTheWholeFile) {
  for (const ManifestRow& row : kManifest) {
    if (row.id != 120 && row.id != 110 && row.id != 128) continue;  // ini, font, word-base index
    SCOPED_TRACE(row.fileName);
    Bytes source = SampleFile(row.fileName);
    unsigned long size = static_cast<unsigned long>(source.size());
    unsigned long length = size - 1;
    EXPECT_EQ(InflatePayload(row.id, buffer_, &length), Z_BUF_ERROR);
    EXPECT_EQ(length, size - 1);
    EXPECT_EQ(ExtractPayload(row.id, row.fileName, size - 1, 1, 1, nullptr), 0);
    EXPECT_TRUE(ListFolder(scratch_.path()).empty());

    EXPECT_EQ(ExtractPayload(row.id, row.fileName, size, 1, 1, nullptr), 1);
    EXPECT_EQ(FileBytes(scratch_ / row.fileName), source);
    EXPECT_EQ(ListFolder(scratch_.path()), std::vector<std::string>{row.fileName});
    RemoveTree(scratch_ / row.fileName);
  }
}

TEST_F(PayloadTest, MissingIdTouchesNothing) {
  unsigned long length = 4096;
  EXPECT_NE(InflatePayload(kNoSuchId, buffer_, &length), Z_OK);
  EXPECT_EQ(length, 4096u);
  EXPECT_EQ(ExtractPayload(kNoSuchId, "absent.bin", kInstallBufferSize, 0, 0, nullptr), 0);
  EXPECT_TRUE(ListFolder(scratch_.path()).empty());
}

TEST_F(PayloadTest, ReplacedFileCarriesTheFlagsAndKeepsItsOtherAttributes) {
  struct Case {
    DWORD before;  // attributes of the previous file; 0: no previous file
    int readOnly, hidden;
    DWORD after;  // read-only, hidden and system afterwards
  };
  const Case cases[] = {
      {kReadOnly | kHidden | kSystem | kArchive, 1, 1, kReadOnly | kHidden | kSystem},
      {kReadOnly | kHidden | kArchive, 0, 0, 0},
      {kReadOnly | kHidden | kSystem, 1, 0, kReadOnly | kSystem},
      {kReadOnly | kHidden | kSystem, 0, 1, kHidden | kSystem},
      {kArchive, 0, 1, kHidden},
      {0, 1, 1, kReadOnly | kHidden},
      {0, 0, 0, 0},
  };
  Bytes tips = SampleFile("tips.txt");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "before " << c.before << " flags " << c.readOnly << c.hidden);
    std::string target = scratch_ / "tips.txt";
    RemoveTree(target);
    if (c.before) {
      MakePreviousFile(target, "old contents", c.before);
      // Wine reports every file as archived, so only the others are exact.
      ASSERT_EQ(Attributes(target) & (kReadOnly | kHidden | kSystem), c.before & ~kArchive);
    } else {
      ASSERT_FALSE(FileExists(target));
    }

    EXPECT_EQ(ExtractPayload(kTipsId, "tips.txt", kInstallBufferSize, c.readOnly, c.hidden, nullptr), 1);
    EXPECT_EQ(FileBytes(target), tips);
    DWORD after = Attributes(target);
    EXPECT_EQ(after & (kReadOnly | kHidden | kSystem), c.after);
    if (c.before & kArchive) {
      EXPECT_TRUE(after & kArchive);
    }
    EXPECT_EQ(ListFolder(scratch_.path()), std::vector<std::string>{"tips.txt"});
  }
}

TEST_F(PayloadTest, FullPathOverridesInstallFolderAndFileName) {
  std::string folder = scratch_ / "elsewhere";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  std::string target = folder + "\\package.msi";
  EXPECT_EQ(ExtractPayload(kTipsId, "decoy.txt", kInstallBufferSize, 0, 0, target.c_str()), 1);
  EXPECT_EQ(FileBytes(target), SampleFile("tips.txt"));
  EXPECT_EQ(ListFolder(folder), std::vector<std::string>{"package.msi"});
  EXPECT_EQ(ListFolder(scratch_.path()), std::vector<std::string>{"elsewhere"});
}

TEST_F(PayloadTest, TargetPathsUpTo259CharactersAndNoLonger) {
  // Short names leave the temporary file no room for its full name: it
  // shrinks rather than the path failing.
  const std::size_t nameLengths[] = {1, 3, 11, 12, 40};
  int serial = 0;
  for (std::size_t nameLength : nameLengths) {
    SCOPED_TRACE(testing::Message() << "name of " << nameLength);
    std::string base = scratch_ / ("n" + std::to_string(++serial));
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
    std::string folder = MakeFolderOfLength(base, MAX_PATH - 1 - 1 - nameLength, 'd');
    ASSERT_FALSE(folder.empty());
    ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, folder.c_str()));
    std::string name(nameLength, 'f');
    ASSERT_EQ(folder.size() + 1 + name.size(), 259u);

    EXPECT_EQ(ExtractPayload(kTipsId, name.c_str(), kInstallBufferSize, 1, 0, nullptr), 1);
    EXPECT_EQ(FileBytes(folder + "\\" + name), SampleFile("tips.txt"));
    std::string longer = name + "g";
    EXPECT_EQ(ExtractPayload(kTipsId, longer.c_str(), kInstallBufferSize, 1, 0, nullptr), 0);
    std::string longPath = folder + "\\" + longer;
    EXPECT_EQ(WriteInstalledFile("x", buffer_, 1, 0, 0, longPath.c_str()), 0);
    EXPECT_EQ(ListFolder(folder), std::vector<std::string>{name});
  }
}

TEST_F(PayloadTest, FailedWritesKeepThePreviousFileAndLeaveNoTemporaryFile) {
  const unsigned char data[] = "new contents";
  // A folder where the file should go.
  std::string folderTarget = scratch_ / "folder.dat";
  ASSERT_TRUE(CreateDirectoryA(folderTarget.c_str(), nullptr));
  EXPECT_EQ(WriteInstalledFile("folder.dat", data, sizeof data, 0, 0, nullptr), 0);
  EXPECT_TRUE(Attributes(folderTarget) & FILE_ATTRIBUTE_DIRECTORY);
  // A missing folder.
  std::string missing = scratch_ / "missing\\file.dat";
  EXPECT_EQ(WriteInstalledFile(nullptr, data, sizeof data, 0, 0, missing.c_str()), 0);
  // A previous file held open without sharing: it cannot be replaced; it
  // has lost read-only and hidden and keeps its contents.
  std::string locked = scratch_ / "locked.dat";
  MakePreviousFile(locked, "old contents", kReadOnly | kHidden);
  HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(WriteInstalledFile("locked.dat", data, sizeof data, 1, 1, nullptr), 0);
  CloseHandle(holder);
  EXPECT_EQ(FileBytes(locked), TextBytes("old contents"));
  EXPECT_EQ(Attributes(locked) & (kReadOnly | kHidden), 0u);

  EXPECT_EQ(ListFolder(scratch_.path()), (std::vector<std::string>{"folder.dat", "locked.dat"}));
  EXPECT_TRUE(ListFolder(folderTarget).empty());
}

// Each file's data is flushed to the disk before it takes its installed
// name: after a power cut the name must not stand over data never written.
ImportPatch* flushPatch = nullptr;
ImportPatch* movePatch = nullptr;
std::string fileEvents;  // 'F' a flush, 'M' a move

BOOL WINAPI RecordingFlush(HANDLE file) {
  fileEvents += 'F';
  return reinterpret_cast<decltype(&FlushFileBuffers)>(flushPatch->original())(file);
}

BOOL WINAPI RecordingMove(LPCSTR from, LPCSTR to, DWORD flags) {
  fileEvents += 'M';
  return reinterpret_cast<decltype(&MoveFileExA)>(movePatch->original())(from, to, flags);
}

TEST_F(PayloadTest, EveryFileIsFlushedBeforeItTakesItsName) {
  ImportPatch flush("kernel32.dll", "FlushFileBuffers", reinterpret_cast<void*>(RecordingFlush));
  ImportPatch move("kernel32.dll", "MoveFileExA", reinterpret_cast<void*>(RecordingMove));
  flushPatch = &flush;
  movePatch = &move;
  ASSERT_TRUE(move.patched());
  fileEvents.clear();
  const unsigned char data[] = "new contents";
  EXPECT_EQ(WriteInstalledFile("a.txt", data, sizeof data, 0, 0, nullptr), 1);
  EXPECT_EQ(ExtractPayload(kTipsId, "tips.txt", kInstallBufferSize, 1, 1, nullptr), 1);
  EXPECT_EQ(ExtractPayload(kTipsId, "tips.txt", kInstallBufferSize, 0, 0, nullptr), 1);  // over the first
  EXPECT_EQ(fileEvents, "FMFMFM");
  flushPatch = movePatch = nullptr;
}

TEST_F(PayloadTest, EmptyFileIsWritten) {
  EXPECT_EQ(WriteInstalledFile("empty.txt", nullptr, 0, 0, 0, nullptr), 1);
  EXPECT_TRUE(FileBytes(scratch_ / "empty.txt").empty());
  EXPECT_EQ(ListFolder(scratch_.path()), std::vector<std::string>{"empty.txt"});
}

TEST_F(PayloadTest, MakeWritableClearsOnlyWhatItIsAskedTo) {
  struct Case {
    DWORD before;
    int clearReadOnly, clearHidden;
    int result;
    DWORD after;
  };
  const Case cases[] = {
      {kReadOnly | kHidden | kSystem, 1, 1, 1, kSystem},
      {kReadOnly, 1, 1, 1, 0},
      {kHidden, 1, 1, 1, 0},
      {kReadOnly | kHidden, 1, 0, 1, kHidden},
      {kReadOnly | kHidden, 0, 1, 1, kReadOnly},
      {kReadOnly, 0, 1, 0, kReadOnly},
      {kHidden, 0, 0, 0, kHidden},
      {kArchive, 1, 1, 0, 0},
  };
  std::string path = scratch_ / "file.dat";
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "before " << c.before << " clear " << c.clearReadOnly << c.clearHidden);
    RemoveTree(path);
    MakePreviousFile(path, "x", c.before);
    EXPECT_EQ(MakeWritable(path.c_str(), c.clearReadOnly, c.clearHidden), c.result);
    EXPECT_EQ(Attributes(path) & (kReadOnly | kHidden | kSystem), c.after);
  }
  EXPECT_EQ(MakeWritable((scratch_ / "absent.dat").c_str(), 1, 1), 0);
}

TEST_F(PayloadTest, DeleteInstalledFileRemovesReadOnlyHiddenFiles) {
  std::string path = scratch_ / "pykeys.dic";
  MakePreviousFile(path, "x", kReadOnly | kHidden);
  EXPECT_EQ(DeleteInstalledFile(path.c_str()), 0);
  EXPECT_FALSE(FileExists(path));
  EXPECT_EQ(DeleteInstalledFile(path.c_str()), -1);
}

}  // namespace
