// Damaged payload resources: every class of damage on a sample of
// resources (see tests.cmake). A damaged stream never yields a wrong file:
// extraction fails with 0 and the previous file keeps its bytes and
// attributes, with nothing left beside it; only a flipped bit that inflating
// ignores (padding of the last deflate byte) may still give the original.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "base/bounded_format.h"
#include "install/install.h"
#include "base/install_pump.h"
#include "base/manifest.h"
#include "startup/startup.h"
#include "tests/faults/fault_support.h"
#include "tests/install/payload_test_support.h"
#include "wizard/wizard.h"

namespace {

struct DamageCase {
  int id;        // the damaged copy
  int original;  // the sound resource it was copied from
  const char* name;
  char kind;      // 'f' a flipped bit, 'c' a cut stream
  long position;  // byte offset or length kept; negative from the end
  bool percent;   // position is a percentage of the stream's size
  int bit;
};
#include "damage_cases.inc"

constexpr DWORD kReadOnlyHidden = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

long ResolvePosition(const DamageCase& c, long size) {
  if (c.percent) return size * c.position / 100;
  return c.position < 0 ? size + c.position : c.position;
}

// The stream the packer was asked to make from the sound one.
Bytes ExpectedDamage(const Bytes& stream, const DamageCase& c) {
  Bytes result = stream;
  long at = ResolvePosition(c, static_cast<long>(stream.size()));
  if (c.kind == 'f') {
    result[static_cast<std::size_t>(at)] ^= static_cast<unsigned char>(1u << c.bit);
  } else {
    result.resize(static_cast<std::size_t>(at));
  }
  return result;
}

// Header (2 bytes) and Adler-32 trailer (4 bytes) are checked as a whole:
// no single flipped bit there can pass.
bool MustFail(const DamageCase& c, long streamSize) {
  if (c.kind == 'c') return true;
  long at = ResolvePosition(c, streamSize);
  return at < 2 || at >= streamSize - 4;
}

std::string FileNameOf(int id) {
  for (const ManifestRow& row : kManifest)
    if (row.id == id) return row.fileName;
  for (const ExtraPayload& extra : kExtraPayloads)
    if (extra.id == id) return extra.fileName;
  return "unknown.bin";
}

class DamagedPayload : public ExtractionTest {
 protected:
  Bytes Inflated(int id, unsigned long capacity = kInstallBufferSize) {
    unsigned long length = capacity;
    EXPECT_EQ(InflatePayload(id, buffer_, &length), Z_OK) << id;
    return Bytes(buffer_, buffer_ + (length <= capacity ? length : 0));
  }

  // A previous file under name, plain or read-only and hidden.
  void PlacePrevious(const std::string& name, DWORD attributes) {
    std::string path = scratch_ / name;
    ASSERT_TRUE(WriteWholeFile(path, "previous " + name));
    if (attributes != 0) {
      ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes));
    }
  }

};

TEST_F(DamagedPayload, NoDamagedStreamYieldsAWrongFile) {
  int failed = 0;
  int harmless = 0;
  for (std::size_t i = 0; i < std::size(kDamageCases); ++i) {
    const DamageCase& c = kDamageCases[i];
    std::string name = FileNameOf(c.original);
    SCOPED_TRACE(name + ", " + c.name + ", copy " + std::to_string(c.id));
    Bytes sound = ResourceBytes(appInstance, c.original);
    ASSERT_GE(sound.size(), 6u);
    ASSERT_EQ(ResourceBytes(appInstance, c.id), ExpectedDamage(sound, c)) << "fault not in place";
    Bytes original = Inflated(c.original);

    PlacePrevious(name, i % 2 == 0 ? kReadOnlyHidden : 0);
    FolderState before = Snapshot(scratch_.path());
    unsigned long length = kInstallBufferSize;
    int code = InflatePayload(c.id, buffer_, &length);
    int written = ExtractPayload(c.id, name.c_str(), kInstallBufferSize, 1, 1, nullptr);
    EXPECT_EQ(written, code == Z_OK ? 1 : 0) << "zlib said " << code;
    if (written == 0) {
      ++failed;
      EXPECT_EQ(length, kInstallBufferSize);
      EXPECT_EQ(DescribeChange(before, Snapshot(scratch_.path())), "");
    } else {
      ++harmless;
      EXPECT_FALSE(MustFail(c, static_cast<long>(sound.size())));
      Bytes installed;
      ASSERT_TRUE(ReadWholeFile(scratch_ / name, installed));
      EXPECT_TRUE(installed == original) << "a damaged stream gave different bytes";
    }
    RemoveTree(scratch_ / name);
  }
  std::printf(
      "[ figures  ] %zu damaged streams: %d failed cleanly, %d harmless flips gave the original\n",
      std::size(kDamageCases), failed, harmless);
}

int piecesSeen = 0;
void CountPiece() { ++piecesSeen; }

// A stream of exactly the buffer's size streams to disk whole, over a
// read-only hidden previous file, with the hook run between its pieces.
TEST_F(DamagedPayload, AStreamOfTheBuffersSizeStreamsToDiskInPieces) {
  PlacePrevious("zeros.bin", kReadOnlyHidden);
  piecesSeen = 0;
  installPump = CountPiece;
  int written = ExtractPayload(kZerosFillingBufferId, "zeros.bin", kInstallBufferSize, 1, 0, nullptr);
  installPump = nullptr;
  ASSERT_EQ(written, 1);
  Bytes installed;
  ASSERT_TRUE(ReadWholeFile(scratch_ / "zeros.bin", installed));
  EXPECT_EQ(installed.size(), kInstallBufferSize);
  EXPECT_EQ(std::count(installed.begin(), installed.end(), 0), static_cast<long>(kInstallBufferSize));
  EXPECT_EQ(GetFileAttributesA((scratch_ / "zeros.bin").c_str()) & kReadOnlyHidden, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  // 29 MiB in pieces of at most 256 KiB: the hook runs between every two.
  EXPECT_GE(piecesSeen, 115);
  FolderState after = Snapshot(scratch_.path());
  EXPECT_EQ(after.size(), 1u) << "a temporary file was left beside it";
  RemoveTree(scratch_ / "zeros.bin");
}

TEST_F(DamagedPayload, StreamsThatInflatePastTheBufferFail) {
  unsigned long length = kInstallBufferSize;
  EXPECT_EQ(InflatePayload(kZerosFillingBufferId, buffer_, &length), Z_OK);
  EXPECT_EQ(length, kInstallBufferSize);

  PlacePrevious("zeros.bin", kReadOnlyHidden);
  FolderState before = Snapshot(scratch_.path());
  length = kInstallBufferSize;
  EXPECT_EQ(InflatePayload(kZerosPastBufferId, buffer_, &length), Z_BUF_ERROR);
  EXPECT_EQ(
      ExtractPayload(kZerosPastBufferId, "zeros.bin", kInstallBufferSize, 0, 0, nullptr),
      0);
  EXPECT_EQ(DescribeChange(before, Snapshot(scratch_.path())), "");

  // Every sampled resource into a buffer one byte short of its size.
  int cases = 0;
  for (std::size_t i = 0; i < std::size(kDamageCases); ++i) {
    if (i > 0 && kDamageCases[i].original == kDamageCases[i - 1].original) continue;
    int id = kDamageCases[i].original;
    std::string name = FileNameOf(id);
    SCOPED_TRACE(name);
    Bytes original = Inflated(id);
    ASSERT_FALSE(original.empty());
    unsigned long capacity = static_cast<unsigned long>(original.size()) - 1;
    PlacePrevious(name, kReadOnlyHidden);
    before = Snapshot(scratch_.path());
    length = capacity;
    EXPECT_EQ(InflatePayload(id, buffer_, &length), Z_BUF_ERROR);
    EXPECT_EQ(length, capacity);
    EXPECT_EQ(ExtractPayload(id, name.c_str(), capacity, 0, 0, nullptr), 0);
    EXPECT_EQ(DescribeChange(before, Snapshot(scratch_.path())), "");
    EXPECT_EQ(ExtractPayload(id, name.c_str(), capacity + 1, 0, 0, nullptr), 1);
    Bytes installed;
    ASSERT_TRUE(ReadWholeFile(scratch_ / name, installed));
    EXPECT_TRUE(installed == original);
    RemoveTree(scratch_ / name);
    ++cases;
  }
  std::printf(
      "[ figures  ] %d resources one byte short of room, 2 zero streams at the buffer's size\n",
      cases);
}

}  // namespace
