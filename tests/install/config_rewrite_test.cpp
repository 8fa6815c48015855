// The configuration rewrite on a byte stream: keys written over their
// lines, missing ones appended, nothing else touched. Line ends are single
// "\n" here; the CR LF text-mode file is covered by config_file_test.
#include "install/config_rewrite.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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

const char kInstalled[] = "[UI_STR]\nTitle=x\n[Config]\nUseBmpFont=0\n\n";
}  // namespace

TEST(ConfigRewrite, KeysRewrittenInPlaceOrAppended) {
  const std::string longLine(300, 'x');
  const std::string piece(kConfigLinePiece, 'x');
  struct Case {
    const char* name;
    std::string content;
    char useBmpFont;
    int forceLanguage;
    std::string expected;
  };
  const Case cases[] = {
      {"installed file", kInstalled, '1', 2,
       "[UI_STR]\nTitle=x\n[Config]\nUseBmpFont=1\n\n\nForceLanguage=2\n"},
      {"empty file", "", '0', 1, "\n\n[Config]\n\n\nUseBmpFont=0\n\nForceLanguage=1\n"},
      {"both keys", "[Config]\nForceLanguage=0\nUseBmpFont=0\nTail=y\n", '1', 2,
       "[Config]\nForceLanguage=2\nUseBmpFont=1\nTail=y\n"},
      {"header only missing key appended", "[Config]\nForceLanguage=0", '1', 1,
       "[Config]\nForceLanguage=1\nUseBmpFont=1\n"},
      {"long line stays whole", longLine + "\n[Config]\nUseBmpFont=0\nForceLanguage=0\n", '1', 0,
       longLine + "\n[Config]\nUseBmpFont=1\nForceLanguage=0\n"},
      // A key right after the first 255 characters starts a piece of its own.
      {"key in the second piece", piece + "UseBmpFont=0\n[Config]\nForceLanguage=0\n", '1', 2,
       piece + "UseBmpFont=1\n[Config]\nForceLanguage=2\n"},
      // Keys seen before any header: no header is written over what follows.
      {"keys before the header", "UseBmpFont=0\nForceLanguage=0\n[Config]\nOther=1\n", '1', 2,
       "UseBmpFont=1\nForceLanguage=2\n[Config]\nOther=1\n"},
      {"keys and no header", "UseBmpFont=1\nForceLanguage=1\n", '0', 0,
       "UseBmpFont=0\nForceLanguage=0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Rewrite(c.content, c.useBmpFont, c.forceLanguage), c.expected);
  }
}

TEST(ConfigRewrite, SecondRunChangesOnlyTheValues) {
  std::string once = Rewrite(kInstalled, '1', 2);
  std::string twice = Rewrite(once, '0', 1);
  EXPECT_EQ(twice, "[UI_STR]\nTitle=x\n[Config]\nUseBmpFont=0\n\n\nForceLanguage=1\n");
}
