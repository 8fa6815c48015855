// The [Config] rewrite against thousands of seeded configuration files:
// after the rewrite only the two values' characters differ from the input,
// plus the text that the rules append; no byte is ever lost.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "install/config_rewrite.h"
#include "tests/faults/config_oracle.h"

namespace {

std::string Rewrite(const std::string& content, char useBmpFont, int forceLanguage) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return "<no temporary file>";
  std::fwrite(content.data(), 1, content.size(), file);
  std::rewind(file);
  RewriteConfigKeys(file, useBmpFont, forceLanguage);
  std::rewind(file);
  std::string result;
  for (int c; (c = std::fgetc(file)) != EOF;) result += static_cast<char>(c);
  std::fclose(file);
  return result;
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

// Lines that a rewrite from the start of the line used to damage: the key's
// old value too short (its line end was overwritten and two lines joined),
// text before the key, both keys on one line.
TEST(ConfigFault, AwkwardLinesKeepTheirBytes) {
  struct Case {
    const char* name;
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {"empty value, bare line feed", "[Config]\nUseBmpFont=\nForceLanguage=0\n",
       "[Config]\nUseBmpFont=\nForceLanguage=2\n\r\nUseBmpFont=1\r\n"},
      {"empty value, CR LF", "[Config]\r\nForceLanguage=\r\nUseBmpFont=0\r\n",
       "[Config]\r\nForceLanguage=\r\nUseBmpFont=1\r\n\r\nForceLanguage=2\r\n"},
      {"text before the key", "[Config]\r\n UseBmpFont=0\r\nx=ForceLanguage=0\r\n",
       "[Config]\r\n UseBmpFont=1\r\nx=ForceLanguage=2\r\n"},
      {"both keys on one line", "[Config]\r\nUseBmpFont=0 ForceLanguage=0\r\nTail\r\n",
       "[Config]\r\nUseBmpFont=1 ForceLanguage=2\r\nTail\r\n"},
      {"value with a remark", "[Config]\r\nUseBmpFont=0 ; set by setup\r\nForceLanguage=1\r\n",
       "[Config]\r\nUseBmpFont=1 ; set by setup\r\nForceLanguage=2\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Rewrite(c.input, '1', 2), c.expected);
  }
}
