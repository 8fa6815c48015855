// Extraction from a payload set built with chosen faults (see tests.cmake):
// 143 left out, 203 with a damaged checksum, 204 cut in half, and 900 an
// empty file. A failed extraction leaves the previous file as it was.
#include <gtest/gtest.h>
#include <zlib.h>

#include "base/bounded_format.h"
#include "install/install.h"
#include "base/manifest.h"
#include "payload_test_support.h"
#include "startup/startup.h"
#include "wizard/wizard.h"

namespace {

constexpr DWORD kReadOnlyHidden = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

using FaultyPayload = ExtractionTest;

TEST_F(FaultyPayload, FailedExtractionKeepsThePreviousFile) {
  struct Case {
    int id;
    const char* fileName;
    int result;  // of InflatePayload; 1 stands for "any nonzero code"
  };
  const Case cases[] = {
      {143, "py_1key.dic", 1},
      {203, "tips.txt", Z_DATA_ERROR},
      {204, "tips_en.txt", Z_DATA_ERROR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileName);
    unsigned long length = kInstallBufferSize;
    int result = InflatePayload(c.id, buffer_, &length);
    if (c.result == 1) {
      EXPECT_NE(result, Z_OK);
    } else {
      EXPECT_EQ(result, c.result);
    }
    EXPECT_EQ(length, kInstallBufferSize);

    std::string target = scratch_ / c.fileName;
    ASSERT_TRUE(WriteWholeFile(target, "previous contents"));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), kReadOnlyHidden));
    EXPECT_EQ(ExtractPayload(c.id, c.fileName, kInstallBufferSize, 0, 0, nullptr), 0);
    Bytes data;
    ASSERT_TRUE(ReadWholeFile(target, data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "previous contents");
    EXPECT_EQ(GetFileAttributesA(target.c_str()) & kReadOnlyHidden, kReadOnlyHidden);
    EXPECT_EQ(ListFolder(scratch_.path()), std::vector<std::string>{c.fileName});
    RemoveTree(target);
  }
}

TEST_F(FaultyPayload, OtherResourcesOfTheSetAndAnEmptyFileExtract) {
  EXPECT_EQ(ExtractPayload(120, "dodazaze.ini", kInstallBufferSize, 1, 1, nullptr), 1);
  EXPECT_EQ(ExtractPayload(900, "empty.dat", kInstallBufferSize, 0, 0, nullptr), 1);
  Bytes data;
  ASSERT_TRUE(ReadWholeFile(scratch_ / "empty.dat", data));
  EXPECT_TRUE(data.empty());
  EXPECT_EQ(ListFolder(scratch_.path()), (std::vector<std::string>{"dodazaze.ini", "empty.dat"}));
}

}  // namespace
