// The setup program as built: opened as a data file, it holds one payload
// resource for every manifest row and for the speech package, each one zlib
// stream of the file it was packed from; a full sample payload has the
// product's sizes and compresses like it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "install/install.h"
#include "base/manifest.h"
#include "payload_test_support.h"
#include "startup/startup.h"

namespace {

const std::string kPayloadDir = TAVIK_PRODUCT_PAYLOAD_DIR;
constexpr bool kFullSample = TAVIK_PRODUCT_FULL_SAMPLE;

struct Totals {
  unsigned long long manifestBytes = 0, manifestPacked = 0;
};

class ProductPayload : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(TAVIK_SETUP_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << "cannot open " << TAVIK_SETUP_EXE;
    appInstance = module_;
  }
  void TearDown() override {
    appInstance = GetModuleHandleA(nullptr);
    if (module_) FreeLibrary(module_);
  }

  // Checks one payload resource against its file; returns the file size.
  unsigned long CheckPayload(int id, const char* fileName, unsigned long long* packed) {
    SCOPED_TRACE(fileName);
    Bytes stream = ResourceBytes(module_, id);
    EXPECT_GE(stream.size(), 6u);
    if (stream.size() < 6) return 0;
    EXPECT_EQ(stream[0], 0x78);
    EXPECT_EQ(stream[1], 0xDA);
    *packed += stream.size();
    Bytes source;
    EXPECT_TRUE(ReadWholeFile(kPayloadDir + "/" + fileName, source));
    unsigned long length = kInstallBufferSize;
    EXPECT_EQ(InflatePayload(id, buffer_.data(), &length), 0);
    EXPECT_EQ(length, source.size());
    EXPECT_TRUE(length == source.size() && std::equal(source.begin(), source.end(), buffer_.begin()));
    return static_cast<unsigned long>(source.size());
  }

  HMODULE module_ = nullptr;
  Bytes buffer_ = Bytes(kInstallBufferSize);
};

TEST_F(ProductPayload, EveryPayloadInflatesToItsFile) {
  Totals totals;
  std::map<int, unsigned long> sizes;
  for (const ManifestRow& row : kManifest) {
    sizes[row.id] = CheckPayload(row.id, row.fileName, &totals.manifestPacked);
    totals.manifestBytes += sizes[row.id];
  }
  unsigned long long extraPacked = 0;
  for (const ExtraPayload& extra : kExtraPayloads) sizes[extra.id] = CheckPayload(extra.id, extra.fileName, &extraPacked);
  if (!kFullSample) return;

  // The product's sizes: the word base, the speech package, the manifest.
  EXPECT_EQ(sizes[127], 5241999u);
  EXPECT_EQ(sizes[126], 3204640u);
  EXPECT_EQ(sizes[128], 26002372u);
  EXPECT_EQ(sizes[129], 2077522u);
  EXPECT_EQ(sizes[1029], 7652864u);
  EXPECT_EQ(totals.manifestBytes, 57958082u);
  const double kProductPacked = 25963044;
  EXPECT_GT(totals.manifestPacked, kProductPacked * 0.9);
  EXPECT_LT(totals.manifestPacked, kProductPacked * 1.1);
}

}  // namespace
