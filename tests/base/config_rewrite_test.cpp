// The configuration rewrite on a file's bytes: values replaced on their
// lines, missing keys added with CR LF line ends, nothing else touched.
#include "base/config_rewrite.h"

#include <gtest/gtest.h>

#include <string>

namespace {
// The file's own line ends: every "\n" of text becomes CR LF.
std::string Crlf(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

std::string Rewrite(const std::string& content, char useBmpFont, int forceLanguage) {
  return RewriteConfigText(content, useBmpFont, forceLanguage);
}

const char kInstalled[] = "[UI_STR]\nTitle=x\n[Config]\nUseBmpFont=0\n\n";
}  // namespace

TEST(ConfigRewrite, KeysRewrittenInPlaceOrAppended) {
  const std::string longLine(300, 'x');
  const std::string piece(255, 'x');
  struct Case {
    const char* name;
    std::string content;
    char useBmpFont;
    int forceLanguage;
    std::string expected;
  };
  const Case cases[] = {
      {"installed file", Crlf(kInstalled), '1', 2,
       Crlf("[UI_STR]\nTitle=x\n[Config]\nUseBmpFont=1\n\n\nForceLanguage=2\n")},
      {"empty file", "", '0', 1, Crlf("\n\n[Config]\n\n\nUseBmpFont=0\n\nForceLanguage=1\n")},
      {"both keys", Crlf("[Config]\nForceLanguage=0\nUseBmpFont=0\nTail=y\n"), '1', 2,
       Crlf("[Config]\nForceLanguage=2\nUseBmpFont=1\nTail=y\n")},
      {"last line without line end", Crlf("[Config]\nForceLanguage=0"), '1', 1,
       Crlf("[Config]\nForceLanguage=1\nUseBmpFont=1\n")},
      {"long line stays whole", Crlf(longLine + "\n[Config]\nUseBmpFont=0\nForceLanguage=0\n"),
       '1', 0, Crlf(longLine + "\n[Config]\nUseBmpFont=1\nForceLanguage=0\n")},
      // Past 255 bytes a line is still one line: a key text inside it is no key.
      {"key text inside a long line", Crlf("[Config]\n" + piece + "UseBmpFont=0\nForceLanguage=0\n"), '1',
       2, Crlf("[Config]\n" + piece + "UseBmpFont=0\nForceLanguage=2\n\nUseBmpFont=1\n")},
      // Keys ahead of any header are in no section: the profile reader
      // never finds them there, so [Config] gets its own.
      {"keys before the header", Crlf("UseBmpFont=0\nForceLanguage=0\n[Config]\nOther=1\n"), '1',
       2, Crlf("UseBmpFont=0\nForceLanguage=0\n[Config]\nOther=1\n\nUseBmpFont=1\n\nForceLanguage=2\n")},
      {"keys and no header", Crlf("UseBmpFont=1\nForceLanguage=1\n"), '0', 0,
       Crlf("UseBmpFont=1\nForceLanguage=1\n\n\n[Config]\n\n\nUseBmpFont=0\n\nForceLanguage=0\n")},
      // Bare LF line ends (a hand-edited file): keys still land on their own lines.
      {"bare line feeds", "[Config]\nA=1\nUseBmpFont=0\nForceLanguage=0\nB=2\n", '1', 2,
       "[Config]\nA=1\nUseBmpFont=1\nForceLanguage=2\nB=2\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Rewrite(c.content, c.useBmpFont, c.forceLanguage), c.expected);
  }
}

TEST(ConfigRewrite, SecondRunChangesOnlyTheValues) {
  std::string once = Rewrite(Crlf(kInstalled), '1', 2);
  std::string twice = Rewrite(once, '0', 1);
  EXPECT_EQ(twice, Crlf("[UI_STR]\nTitle=x\n[Config]\nUseBmpFont=0\n\n\nForceLanguage=1\n"));
}
