// The rewrite of the two configuration keys (see config_rewrite.h).
#include "base/config_rewrite.h"

#include <cstddef>

namespace {
constexpr char kSectionName[] = "Config";
constexpr const char* kKeys[] = {"UseBmpFont", "ForceLanguage"};
constexpr std::size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool EndsValue(char c) { return c == '\r' || c == '\n' || c == ';' || IsBlank(c); }

// One line of text: [start, end) without its line end.
struct Line {
  std::size_t start;
  std::size_t end;
  std::size_t next;  // where the following line starts
};

Line LineAt(const std::string& text, std::size_t start) {
  std::size_t newline = text.find('\n', start);
  std::size_t next = newline == std::string::npos ? text.size() : newline + 1;
  std::size_t end = newline == std::string::npos ? text.size() : newline;
  if (end > start && text[end - 1] == '\r') --end;
  return {start, end, next};
}

std::size_t SkipBlanks(const std::string& text, std::size_t at, std::size_t end) {
  while (at < end && IsBlank(text[at])) ++at;
  return at;
}

// True when text at [at, end) begins with word, letters in any case.
bool StartsWithWord(const std::string& text, std::size_t at, std::size_t end, const char* word) {
  for (; *word != '\0'; ++word, ++at) {
    if (at >= end || Lower(text[at]) != Lower(*word)) return false;
  }
  return true;
}

std::size_t Length(const char* word) {
  std::size_t length = 0;
  while (word[length] != '\0') ++length;
  return length;
}

bool IsHeader(const std::string& text, const Line& line) {
  std::size_t at = SkipBlanks(text, line.start, line.end);
  return at < line.end && text[at] == '[';
}

bool IsConfigHeader(const std::string& text, const Line& line) {
  std::size_t at = SkipBlanks(text, line.start, line.end);
  return StartsWithWord(text, at, line.end, "[") &&
         StartsWithWord(text, at + 1, line.end, kSectionName) &&
         StartsWithWord(text, at + 1 + Length(kSectionName), line.end, "]");
}

// Where the value of key starts on line, or npos when line is no line of key.
std::size_t ValueStart(const std::string& text, const Line& line, const char* key) {
  std::size_t at = SkipBlanks(text, line.start, line.end);
  if (!StartsWithWord(text, at, line.end, key)) return std::string::npos;
  at = SkipBlanks(text, at + Length(key), line.end);
  if (at >= line.end || text[at] != '=') return std::string::npos;
  return SkipBlanks(text, at + 1, line.end);
}
}  // namespace

std::string RewriteConfigText(const std::string& text, char useBmpFont, int forceLanguage) {
  const std::string values[kKeyCount] = {std::string(1, useBmpFont), std::to_string(forceLanguage)};
  std::string result;
  result.reserve(text.size() + 64);
  bool seen[kKeyCount] = {false, false};
  bool inSection = false;
  bool sectionFound = false;
  bool added = false;
  auto addMissing = [&](std::string& out, bool lineEndFirst) {
    for (std::size_t k = 0; k < kKeyCount; ++k) {
      if (seen[k]) continue;
      if (lineEndFirst) out += "\r\n";
      out += std::string(kKeys[k]) + "=" + values[k] + "\r\n";
    }
    added = true;
  };
  for (std::size_t start = 0; start < text.size();) {
    Line line = LineAt(text, start);
    if (IsHeader(text, line)) {
      // The section ends here: its missing keys go before the next header.
      if (inSection && !added) addMissing(result, false);
      inSection = !sectionFound && IsConfigHeader(text, line);
      sectionFound = sectionFound || inSection;
    }
    std::size_t copied = line.start;
    for (std::size_t k = 0; inSection && k < kKeyCount; ++k) {
      std::size_t value = ValueStart(text, line, kKeys[k]);
      if (value == std::string::npos) continue;
      std::size_t valueEnd = value;
      while (valueEnd < line.end && !EndsValue(text[valueEnd])) ++valueEnd;
      result.append(text, copied, value - copied);
      result += values[k];
      copied = valueEnd;
      seen[k] = true;
    }
    result.append(text, copied, line.next - copied);
    start = line.next;
  }
  if (!sectionFound) result += "\r\n\r\n[Config]\r\n\r\n";
  // A last line without a line end: the line end in front keeps the key
  // off it.
  if (!added) addMissing(result, true);
  return result;
}
