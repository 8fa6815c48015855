// RefString::Format on seeded format texts (literal runs, several
// conversions, "%%", unknown conversions, "%n"/"%S" endings, a format cut
// inside a spec) and the registry's template expansion around its
// 255-character limit. Numeric conversions must equal the C library's;
// the rest follows the formatter's own rules, built up piece by piece
// while the format is generated.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/ref_string.h"
#include "shell/shell.h"
#include "tests/support/printf_cases.h"
#include "tests/support/sandbox_fixtures.h"

namespace {

// ---- Format --------------------------------------------------------------------------

std::string Literal(std::mt19937& random) {
  std::string text;
  for (int k = Pick(random, 12); k > 0; --k) {
    if (Pick(random, 6) == 0) {
      text += static_cast<char>(0xB0 + Pick(random, 0x40));  // a GB2312 character
      text += static_cast<char>(0xA1 + Pick(random, 0x5E));
    } else {
      text += PickOf(random, "abcxyz ABC.,:;\\/-_=()[]{}0123456789");
    }
  }
  return text;
}

void AddConversion(std::mt19937& random, Generated& g) {
  if (Pick(random, 6) != 0) {
    AddNumericConversion(random, g);
    return;
  }
  // Text: a precision cuts it, a width is ignored.
  Argument a;
  a.type = 's';
  a.s = Literal(random);
  int precision = Pick(random, 3) ? -1 : Pick(random, 10);
  std::string written = "%" + (Pick(random, 2) ? std::to_string(Pick(random, 20)) : std::string());
  if (precision >= 0) written += "." + std::to_string(precision);
  g.format += written + "s";
  g.expected += precision >= 0 && static_cast<std::size_t>(precision) < a.s.size()
                    ? a.s.substr(0, precision)
                    : a.s;
  g.args.push_back(a);
}

Generated GenerateFormat(std::mt19937& random) {
  Generated g;
  for (int piece = Pick(random, 7); piece > 0; --piece) {
    switch (Pick(random, 5)) {
      case 0: {
        std::string text = Literal(random);
        g.format += text;
        g.expected += text;
        break;
      }
      case 1:
        g.format += "%%";
        g.expected += "%";
        break;
      case 2: {  // an unknown conversion appends itself, after any spec
        char c = PickOf(random, "qyzkQ!%");
        if (c == '!') break;  // "%!" takes an argument; left to the fixed cases
        g.format += "%" + std::string(Pick(random, 2) ? "-5" : "") + c;
        g.expected += c;
        break;
      }
      default:
        if (g.args.size() < kMaxArguments) AddConversion(random, g);
        break;
    }
  }
  switch (Pick(random, 6)) {
    case 0: {  // the rest is literal, "%" and all
      std::string rest = Literal(random) + "%d%s%%";
      g.format += std::string(Pick(random, 2) ? "%n" : "%-3S") + rest;
      g.expected += rest;
      break;
    }
    case 1:  // a format that ends inside a spec
      g.format += Pick(random, 2) ? "%" : "%-08.";
      break;
    default:
      break;
  }
  return g;
}

TEST(FormatFault, SeededFormatsMatchTheirPieces) {
  int formats = 0, conversions = 0;
  for (unsigned seed : {3u, 1009u, 65537u}) {
    std::mt19937 random(seed);
    RefString out("reused");
    for (int round = 0; round < 1500; ++round) {
      Generated g = GenerateFormat(random);
      SCOPED_TRACE("seed " + std::to_string(seed) + ", format \"" + g.format + "\"");
      CallFormat(out, g.format.c_str(), g.args, 0);
      ASSERT_EQ(std::string(out.Text()), g.expected);
      ASSERT_EQ(out.Length(), static_cast<int>(g.expected.size()));
      ++formats;
      conversions += static_cast<int>(g.args.size());
    }
  }
  EXPECT_EQ(RefString::LockDepth(), 0);
  std::printf("[ figures  ] %d format texts, %d conversions with arguments\n", formats,
              conversions);
}

// Wide conversions: results up to several hundred characters, well past
// the 64-byte buffer of a plain implementation.
TEST(FormatFault, WideResultsAreWhole) {
  RefString out;
  for (int width : {63, 64, 65, 255, 256, 300, 1000}) {
    SCOPED_TRACE(width);
    std::string spec = "%" + std::to_string(width) + "d";
    out.Format(("<" + spec + ">").c_str(), 12345);
    EXPECT_EQ(std::string(out.Text()), "<" + CPrinted(spec, 12345) + ">");
    spec = "%." + std::to_string(width) + "f";
    out.Format(spec.c_str(), 1.0 / 3);
    EXPECT_EQ(std::string(out.Text()), CPrinted(spec, 1.0 / 3));
    std::string text(static_cast<std::size_t>(width), 't');
    out.Format("%s|%.5s", text.c_str(), text.c_str());
    EXPECT_EQ(std::string(out.Text()), text + "|ttttt");
  }
}

// ---- Template expansion ----------------------------------------------------------------

constexpr std::size_t kExpansionLimit = 255;

class TemplateExpansion : public ClassesSandboxTest {
 protected:
  // The default value of key below the scratch classes, or "<no key>".
  std::string Value(const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(classes_, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
      return "<no key>";
    char data[1024] = "";
    DWORD size = sizeof data - 1;
    LONG result =
        RegQueryValueExA(opened, "", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(opened);
    return result == ERROR_SUCCESS ? std::string(data) : "<no value>";
  }
};

// A template of literal runs and inserts, and its expansion.
struct Expansion {
  std::string templateText;
  std::string expanded;
};

Expansion Expand(std::mt19937& random, const std::string& prefix,
                 const std::vector<std::string>& args) {
  Expansion e{prefix, prefix};
  for (int piece = 1 + Pick(random, 4); piece > 0; --piece) {
    int insert = Pick(random, 9);
    if (insert == 8) {
      e.templateText += "%%";
      e.expanded += "%";
    } else {
      e.templateText += "%" + std::to_string(insert + 1);
      e.expanded += args[static_cast<std::size_t>(insert)];
    }
    // No digit or "!" right after an insert: those would extend it.
    std::string text;
    for (int k = Pick(random, 6); k > 0; --k) text += PickOf(random, "abcdef .-_");
    e.templateText += text;
    e.expanded += text;
  }
  return e;
}

TEST_F(TemplateExpansion, AroundTheLimitKeysAreSkippedAndDataEmptied) {
  std::mt19937 random(8191);
  int entries = 0, skippedKeys = 0, emptiedData = 0, atLimit = 0;
  for (int list = 0; list < 60; ++list) {
    std::vector<std::string> args;
    for (int k = 0; k < kTemplateArgumentCount; ++k)
      args.push_back(std::string(Pick(random, 90), 'a' + k));
    std::vector<Expansion> keys, data;
    std::vector<RegistryTemplate> templates;
    for (int entry = 0; entry < 6; ++entry) {
      std::string prefix = "F" + std::to_string(list) + "_" + std::to_string(entry) + "_";
      keys.push_back(Expand(random, prefix, args));
      data.push_back(Expand(random, "", args));
      // Pad with the last argument's letter to land near the limit.
      for (Expansion* e : {&keys.back(), &data.back()}) {
        std::size_t target = kExpansionLimit - 2 + static_cast<std::size_t>(Pick(random, 5));
        if (Pick(random, 3) != 0 && e->expanded.size() < target) {
          std::string pad(target - e->expanded.size(), 'z');
          e->templateText += pad;
          e->expanded += pad;
        }
      }
    }
    for (std::size_t k = 0; k < keys.size(); ++k) {
      templates.push_back({keys[k].templateText.c_str(), "", data[k].templateText.c_str()});
    }
    templates.push_back({nullptr, nullptr, nullptr});
    const char* arguments[kTemplateArgumentCount];
    for (int k = 0; k < kTemplateArgumentCount; ++k)
      arguments[k] = args[static_cast<std::size_t>(k)].c_str();
    ASSERT_TRUE(ApplyRegistryTemplates(templates.data(), arguments, 1));
    for (std::size_t k = 0; k < keys.size(); ++k) {
      SCOPED_TRACE("key " + std::to_string(keys[k].expanded.size()) + ", data " +
                   std::to_string(data[k].expanded.size()));
      bool keyFits = keys[k].expanded.size() <= kExpansionLimit;
      bool dataFits = data[k].expanded.size() <= kExpansionLimit;
      std::string expected = !keyFits ? "<no key>" : dataFits ? data[k].expanded : "";
      EXPECT_EQ(Value(keys[k].expanded.substr(0, kExpansionLimit)), expected);
      ++entries;
      skippedKeys += !keyFits;
      emptiedData += keyFits && !dataFits;
      atLimit +=
          keys[k].expanded.size() == kExpansionLimit || data[k].expanded.size() == kExpansionLimit;
    }
  }
  std::printf(
      "[ figures  ] %d template entries: %d keys past the limit skipped, %d data past it "
      "written empty, %d expansions of exactly 255\n",
      entries, skippedKeys, emptiedData, atLimit);
}

}  // namespace
