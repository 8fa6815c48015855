// The [Config] rewrite against thousands of seeded configuration files:
// after the rewrite both values read back, only the two value words differ
// from the input, plus the lines that the rules add; no byte is ever lost.
#include <gtest/gtest.h>

#include <cstdio>

#include <string>

#include "base/config_rewrite.h"
#include "tests/faults/config_oracle.h"

namespace {

std::string Rewrite(const std::string& content, char useBmpFont, int forceLanguage) {
  return RewriteConfigText(content, useBmpFont, forceLanguage);
}

constexpr unsigned kSeeds[] = {11, 2024, 77031};
constexpr int kFilesPerSeed = 1000;

}  // namespace

TEST(ConfigFault, SeededFilesChangeOnlyInTheirValues) {
  int perShape[static_cast<int>(ConfigShape::kShapeCount)] = {};
  int checked = 0;
  int failures = 0;
  for (unsigned seed : kSeeds) {
    std::mt19937 random(seed);
    for (int i = 0; i < kFilesPerSeed && failures < 5; ++i) {
      auto shape = static_cast<ConfigShape>(i % static_cast<int>(ConfigShape::kShapeCount));
      std::string input = GenerateConfig(random, shape);
      char useBmpFont = "01"[random() % 2];
      int forceLanguage = static_cast<int>(random() % 3);
      SCOPED_TRACE("seed " + std::to_string(seed) + ", file " + std::to_string(i) + ", " +
                   ShapeName(shape));
      std::string output = Rewrite(input, useBmpFont, forceLanguage);
      std::string promise = CheckOnlyValuesChanged(input, output, useBmpFont, forceLanguage);
      EXPECT_EQ(promise, "");
      EXPECT_EQ(output, ExpectedRewrite(input, useBmpFont, forceLanguage));
      if (!promise.empty() || output != ExpectedRewrite(input, useBmpFont, forceLanguage))
        ++failures;
      ++perShape[static_cast<int>(shape)];
      ++checked;
    }
  }
  std::printf("[ figures  ] %d configuration files:", checked);
  for (int s = 0; s < static_cast<int>(ConfigShape::kShapeCount); ++s) {
    std::printf(" %s %d;", ShapeName(static_cast<ConfigShape>(s)), perShape[s]);
  }
  std::printf("\n");
}

// Lines on which the key used to stay behind with its old value while a
// second line of it was appended (a reader takes the first), and lines
// whose neighbours a rewrite must not touch.
TEST(ConfigFault, EveryValueTakesEffect) {
  struct Case {
    const char* name;
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {"empty values, CR LF", "[Config]\r\nUseBmpFont=\r\nForceLanguage=\r\n",
       "[Config]\r\nUseBmpFont=1\r\nForceLanguage=2\r\n"},
      {"empty values, bare line feeds", "[Config]\nUseBmpFont=\nForceLanguage=\n",
       "[Config]\nUseBmpFont=1\nForceLanguage=2\n"},
      {"mixed line ends", "[Config]\r\nUseBmpFont=\nForceLanguage=0\r\n",
       "[Config]\r\nUseBmpFont=1\nForceLanguage=2\r\n"},
      {"values longer than one character", "[Config]\r\nUseBmpFont=10\r\nForceLanguage=123\r\n",
       "[Config]\r\nUseBmpFont=1\r\nForceLanguage=2\r\n"},
      {"last key without a line end", "[Config]\r\nUseBmpFont=0\r\nForceLanguage=",
       "[Config]\r\nUseBmpFont=1\r\nForceLanguage=2"},
      {"last key without a line end, other missing", "[Config]\nUseBmpFont=",
       "[Config]\nUseBmpFont=1\r\nForceLanguage=2\r\n"},
      {"text before a key", "[Config]\r\n UseBmpFont=0\r\nx=ForceLanguage=0\r\n",
       "[Config]\r\n UseBmpFont=1\r\nx=ForceLanguage=0\r\n\r\nForceLanguage=2\r\n"},
      {"both keys on one line", "[Config]\r\nUseBmpFont=0 ForceLanguage=0\r\nTail\r\n",
       "[Config]\r\nUseBmpFont=1 ForceLanguage=0\r\nTail\r\n\r\nForceLanguage=2\r\n"},
      {"value with a remark", "[Config]\r\nUseBmpFont=0 ; set by setup\r\nForceLanguage=1\r\n",
       "[Config]\r\nUseBmpFont=1 ; set by setup\r\nForceLanguage=2\r\n"},
      {"another section follows", "[Config]\r\nUseBmpFont=0\r\n[UI_STR]\r\nA=1\r\n",
       "[Config]\r\nUseBmpFont=1\r\nForceLanguage=2\r\n[UI_STR]\r\nA=1\r\n"},
      {"a key in another section", "[UI_STR]\r\nForceLanguage=0\r\n[Config]\r\nUseBmpFont=0\r\n",
       "[UI_STR]\r\nForceLanguage=0\r\n[Config]\r\nUseBmpFont=1\r\n\r\nForceLanguage=2\r\n"},
      {"blanks and letter case", "[config]\r\n usebmpfont = 0\r\nFORCELANGUAGE=\t1\r\n",
       "[config]\r\n usebmpfont = 1\r\nFORCELANGUAGE=\t2\r\n"},
      {"keys and no header", "UseBmpFont=1\nForceLanguage=1\n",
       "UseBmpFont=1\nForceLanguage=1\n\r\n\r\n[Config]\r\n\r\n\r\nUseBmpFont=1\r\n\r\nForceLanguage=2\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string output = Rewrite(c.input, '1', 2);
    EXPECT_EQ(output, c.expected);
    EXPECT_EQ(ReadConfigValue(output, "UseBmpFont"), 1);
    EXPECT_EQ(ReadConfigValue(output, "ForceLanguage"), 2);
    EXPECT_EQ(CheckOnlyValuesChanged(c.input, output, '1', 2), "");
  }
}
