// The shapes of the payload files that the installer and the installed
// product rely on, read back from the test payload: the configuration file,
// the licences, the word-base mark, valid pictures, pages and programs.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "install/install.h"
#include "base/manifest.h"
#include "payload_test_support.h"
#include "startup/startup.h"

namespace {

Bytes Inflated(int id) {
  static Bytes buffer(kInstallBufferSize);
  unsigned long length = kInstallBufferSize;
  if (InflatePayload(id, buffer.data(), &length) != 0) return Bytes();
  return Bytes(buffer.begin(), buffer.begin() + length);
}

std::string AsText(const Bytes& data) { return std::string(data.begin(), data.end()); }

unsigned long Le32(const Bytes& data, std::size_t at) {
  return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | static_cast<unsigned long>(data[at + 3]) << 24;
}
unsigned long Be32(const Bytes& data, std::size_t at) {
  return static_cast<unsigned long>(data[at]) << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3];
}

bool IsGb2312Text(const std::string& text) {
  return MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0) > 0;
}

bool HasDoubleByteCharacters(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool HasOnlyCrLfLineEnds(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
  return true;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class SamplePayload : public ::testing::Test {
 protected:
  void SetUp() override { appInstance = GetModuleHandleA(nullptr); }
};

TEST_F(SamplePayload, ConfigurationFileEndsWithTheConfigSection) {
  std::string ini = AsText(Inflated(120));
  EXPECT_EQ(ini.rfind("[UI_STR]\r\n", 0), 0u);
  EXPECT_TRUE(EndsWith(ini, "\r\n[Config]\r\nUseBmpFont=0\r\n\r\n"));
  EXPECT_EQ(ini.find("ForceLanguage"), std::string::npos);
  EXPECT_TRUE(HasOnlyCrLfLineEnds(ini));
  EXPECT_TRUE(IsGb2312Text(ini));
  EXPECT_TRUE(HasDoubleByteCharacters(ini));
}

TEST_F(SamplePayload, LicencesAreCrLfTextsEndingWithALineBreak) {
  std::string chinese = AsText(Inflated(163)), english = AsText(Inflated(164));
  for (const std::string* text : {&chinese, &english}) {
    EXPECT_GT(text->size(), 1000u);
    EXPECT_LT(text->size(), 65535u);  // the wizard's buffer with its terminator
    EXPECT_TRUE(EndsWith(*text, "\r\n"));
    EXPECT_TRUE(HasOnlyCrLfLineEnds(*text));
    EXPECT_EQ(text->find('\0'), std::string::npos);
  }
  EXPECT_TRUE(IsGb2312Text(chinese));
  EXPECT_TRUE(HasDoubleByteCharacters(chinese));
  EXPECT_FALSE(HasDoubleByteCharacters(english));
  EXPECT_NE(english.find("Tavik Roved Editor"), std::string::npos);
}

TEST_F(SamplePayload, WordBaseIndexCarriesTheModificationMark) {
  Bytes index = Inflated(128);
  ASSERT_FALSE(index.empty());
  EXPECT_TRUE(index[0] & 0x80);
}

void ExpectValidBmp(const Bytes& data) {
  ASSERT_GE(data.size(), 54u);
  EXPECT_EQ(data[0], 'B');
  EXPECT_EQ(data[1], 'M');
  EXPECT_EQ(Le32(data, 2), data.size());
  EXPECT_EQ(Le32(data, 14), 40u);
  unsigned long width = Le32(data, 18), height = Le32(data, 22);
  unsigned bits = data[28] | data[29] << 8;
  unsigned long stride = (width * bits / 8 + 3) & ~3ul;
  EXPECT_EQ(Le32(data, 10) + stride * height, data.size());
}

void ExpectValidPng(const Bytes& data) {
  static const unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_GE(data.size(), 8u);
  ASSERT_EQ(std::memcmp(data.data(), kSignature, 8), 0);
  std::string types;
  Bytes idat;
  unsigned long width = 0, height = 0;
  std::size_t at = 8;
  while (at + 12 <= data.size()) {
    unsigned long length = Be32(data, at);
    ASSERT_LE(at + 12 + length, data.size());
    std::string type(data.begin() + at + 4, data.begin() + at + 8);
    uLong crc = crc32(0, data.data() + at + 4, length + 4);
    EXPECT_EQ(Be32(data, at + 8 + length), crc) << type;
    if (type == "IHDR") {
      width = Be32(data, at + 8);
      height = Be32(data, at + 12);
      EXPECT_EQ(data[at + 16], 8);  // 8 bits per sample, RGB
      EXPECT_EQ(data[at + 17], 2);
    }
    if (type == "IDAT") idat.insert(idat.end(), data.begin() + at + 8, data.begin() + at + 8 + length);
    types += type + " ";
    at += 12 + length;
  }
  EXPECT_EQ(at, data.size());
  EXPECT_EQ(types.rfind("IHDR ", 0), 0u);
  EXPECT_TRUE(EndsWith(types, "IDAT IEND "));
  uLongf expected = height * (1 + 3 * width), produced = expected;
  EXPECT_EQ(uncompress(Bytes(expected).data(), &produced, idat.data(), static_cast<uLong>(idat.size())), Z_OK);
  EXPECT_EQ(produced, expected);
}

TEST_F(SamplePayload, PicturesPagesAndProgramsAreWellFormed) {
  for (const ManifestRow& row : kManifest) {
    SCOPED_TRACE(row.fileName);
    Bytes data = Inflated(row.id);
    ASSERT_FALSE(data.empty());
    std::string text = AsText(data);
    switch (row.content) {
      case ContentKind::kBmp: ExpectValidBmp(data); break;
      case ContentKind::kPng: ExpectValidPng(data); break;
      case ContentKind::kHtml:
        EXPECT_EQ(text.rfind("<html>", 0), 0u);
        EXPECT_TRUE(EndsWith(text, "</body>\r\n</html>\r\n"));
        EXPECT_TRUE(HasOnlyCrLfLineEnds(text));
        break;
      case ContentKind::kExecutable:
        ASSERT_GE(data.size(), 0x40u);
        EXPECT_EQ(text.rfind("MZ", 0), 0u);
        EXPECT_EQ(text.compare(Le32(data, 0x3C), 4, std::string("PE\0\0", 4)), 0);
        break;
      case ContentKind::kText:
        EXPECT_EQ(text.find('\0'), std::string::npos);
        EXPECT_EQ(text.back(), '\n');
        break;
      default: break;
    }
  }
}

}  // namespace
