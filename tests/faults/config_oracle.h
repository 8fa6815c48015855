// A seeded generator of configuration files and an oracle of what the
// [Config] rewrite must make of them, written apart from the product code.
// No Windows header here (the pure tests are also built natively).
#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <vector>

// The shapes the generator draws from; each file has one.
enum class ConfigShape {
  kInstalled,         // the installed file, CR LF
  kBareLineFeeds,     // LF only
  kNoFinalLineEnd,    // the last line has no line end
  kLongLines,         // lines past 255 bytes, keys near the piece boundary
  kOutsideSection,    // keys in other sections
  kKeysTwice,         // a key on several lines
  kKeysBeforeHeader,  // both keys ahead of "[Config]"
  kBinaryJunk,        // NUL, lone CR, bytes above 0x7F, control bytes
  kEmpty,             // no bytes at all
  kAwkwardValues,     // empty or long old values, keys mid-line, both on one line
  kShapeCount
};
const char* ShapeName(ConfigShape shape);

std::string GenerateConfig(std::mt19937& random, ConfigShape shape);

// What the file must hold after the rewrite with these values.
std::string ExpectedRewrite(const std::string& input, char useBmpFont, int forceLanguage);

// The value of key in the first [Config] section of text as a profile
// reader takes it (first line of the key, letter case ignored, the value's
// leading digits up to a blank or ';'), or -1 when there is none.
int ReadConfigValue(const std::string& text, const char* key);

// Checks the promise itself, apart from the oracle: both values read back,
// every input line is kept in order with at most its value word changed,
// and the only lines added are a "[Config]" header, empty lines and at most
// one line of each key. Returns "" or what is wrong.
std::string CheckOnlyValuesChanged(const std::string& input, const std::string& output,
                                   char useBmpFont, int forceLanguage);
