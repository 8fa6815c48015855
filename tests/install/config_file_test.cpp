// UpdateConfigFile on real files: byte-exact results with CR LF line ends,
// the file left read-only and hidden, a missing file never created. The
// line-level cases (long lines, keys before the header, bare line feeds)
// are in config_rewrite_test.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/disk_test_support.h"
#include "base/bounded_format.h"
#include "install/install.h"
#include "startup/startup.h"
#include "wizard/wizard.h"

namespace {
const char kInstalled[] = "[UI_STR]\r\n提示=请稍候\r\n[Config]\r\nUseBmpFont=0\r\n\r\n";

class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = MakeScratchFolder("tavik-config");
    path_ = folder_ + "\\dodazaze.ini";
    ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, folder_.c_str()));
  }
  void TearDown() override { RemoveTree(folder_); }

  // Runs UpdateConfigFile on content and returns what the file then holds.
  std::string Update(const std::string& content, int displayOk, int language,
                     DWORD attributes = 0) {
    SetAttributes(path_, 0);
    if (!WriteWholeFile(path_, content)) return "<not written>";
    SetAttributes(path_, attributes);
    chineseDisplayOk = displayOk;
    forceLanguage = language;
    EXPECT_EQ(UpdateConfigFile(), 1);
    DWORD after = GetFileAttributesA(path_.c_str());
    EXPECT_NE(after, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(after & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN});
    return ReadBytes(path_);
  }

  std::string folder_;
  std::string path_;
};
}  // namespace

TEST_F(ConfigFileTest, KeysWrittenWithCrLfLineEnds) {
  struct Case {
    const char* name;
    std::string content;
    int displayOk;
    int language;
    DWORD attributes;
    std::string expected;
  };
  const Case cases[] = {
      {"installed file, no Chinese", kInstalled, 0, 2, 0,
       "[UI_STR]\r\n提示=请稍候\r\n[Config]\r\nUseBmpFont=1\r\n\r\n\r\nForceLanguage=2\r\n"},
      {"installed file, read-only and hidden", kInstalled, 1, 0,
       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN,
       "[UI_STR]\r\n提示=请稍候\r\n[Config]\r\nUseBmpFont=0\r\n\r\n\r\nForceLanguage=0\r\n"},
      {"empty file", "", 1, 1, 0,
       "\r\n\r\n[Config]\r\n\r\n\r\nUseBmpFont=0\r\n\r\nForceLanguage=1\r\n"},
      {"both keys keep the length", "[Config]\r\nUseBmpFont=1\r\nForceLanguage=0\r\nX=1\r\n", 1, 2,
       0, "[Config]\r\nUseBmpFont=0\r\nForceLanguage=2\r\nX=1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Update(c.content, c.displayOk, c.language, c.attributes), c.expected);
  }
}

TEST_F(ConfigFileTest, SecondRunChangesOnlyTheValues) {
  std::string once = Update(kInstalled, 0, 2);
  std::string twice = Update(once, 1, 1);
  EXPECT_EQ(twice.size(), once.size());
  EXPECT_EQ(twice, "[UI_STR]\r\n提示=请稍候\r\n[Config]\r\nUseBmpFont=0\r\n\r\n\r\nForceLanguage=1\r\n");
}

TEST_F(ConfigFileTest, MissingFileIsNotCreated) {
  EXPECT_EQ(UpdateConfigFile(), 1);
  EXPECT_FALSE(FileExists(path_));
}

// A key whose old value is empty, shorter or longer than the new one, on
// any line end, at the end of the file without one: afterwards the file
// holds one line of it, and the system's profile reader takes the new value.
TEST_F(ConfigFileTest, NewValuesTakeEffect) {
  struct Case {
    const char* name;
    std::string content;
  };
  const Case cases[] = {
      {"empty values, CR LF", "[Config]\r\nUseBmpFont=\r\nForceLanguage=\r\n"},
      {"empty values, bare line feeds", "[Config]\nUseBmpFont=\nForceLanguage=\n"},
      {"empty values, mixed line ends", "[Config]\r\nUseBmpFont=\nForceLanguage=\r\n"},
      {"longer values", "[Config]\r\nUseBmpFont=00\r\nForceLanguage=000\r\n"},
      {"keys at the end without a line end", "[Config]\r\nUseBmpFont=0\r\nForceLanguage="},
      {"one key at the end without a line end", "[Config]\nForceLanguage="},
  };
  for (const Case& c : cases) {
    for (int language = 1; language <= 2; ++language) {
      SCOPED_TRACE(std::string(c.name) + ", language " + std::to_string(language));
      std::string after = Update(c.content, 0, language, FILE_ATTRIBUTE_READONLY);
      WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());  // drops a cached copy
      EXPECT_EQ(GetPrivateProfileIntA("Config", "UseBmpFont", -1, path_.c_str()), 1);
      EXPECT_EQ(GetPrivateProfileIntA("Config", "ForceLanguage", -1, path_.c_str()), language);
      for (const char* key : {"UseBmpFont=", "ForceLanguage="}) {
        std::size_t first = after.find(key);
        EXPECT_NE(first, std::string::npos) << key;
        EXPECT_EQ(after.find(key, first + 1), std::string::npos) << key << " twice in " << after;
      }
    }
  }
}
