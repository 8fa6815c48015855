// Configuration file generator and oracle (see config_oracle.h).
#include "tests/faults/config_oracle.h"

#include <cstring>

namespace {

const char kUse[] = "UseBmpFont=";
const char kForce[] = "ForceLanguage=";
constexpr std::size_t kPiece = 255;  // the rewrite reads lines in pieces of this many bytes

int Pick(std::mt19937& random, int count) {
  return std::uniform_int_distribution<int>(0, count - 1)(random);
}

std::string Junk(std::mt19937& random, int length, bool lineEnds) {
  std::string text;
  for (int i = 0; i < length; ++i) {
    char c = static_cast<char>(Pick(random, 256));
    if (!lineEnds && (c == '\n' || c == '\r')) c = 'j';
    text += c;
  }
  return text;
}

std::string Gb2312(std::mt19937& random, int characters) {
  std::string text;
  for (int i = 0; i < characters; ++i) {
    text += static_cast<char>(0xB0 + Pick(random, 0x48));
    text += static_cast<char>(0xA1 + Pick(random, 0x5E));
  }
  return text;
}

std::string Value(std::mt19937& random, const char* key) {
  return std::string(key) + (key == kUse ? "01"[Pick(random, 2)] : "012"[Pick(random, 3)]);
}

std::string Filler(std::mt19937& random) {
  switch (Pick(random, 5)) {
    case 0:
      return "Title=" + Gb2312(random, 1 + Pick(random, 12));
    case 1:
      return "[UI_STR]";
    case 2:
      return "Str" + std::to_string(Pick(random, 999)) + "=" + Gb2312(random, Pick(random, 30));
    case 3:
      return "";
    default:
      return "; note " + std::to_string(Pick(random, 99999));
  }
}

// A line of at least 256 bytes with key text placed around a piece boundary.
std::string LongLine(std::mt19937& random, const std::string& key) {
  int before = static_cast<int>(kPiece) - 20 + Pick(random, 40) + (Pick(random, 3) == 0 ? 255 : 0);
  std::string line(static_cast<std::size_t>(before), 'x');
  if (Pick(random, 4) == 0) line = std::string(kPiece, 'y');  // the key starts the second piece
  return line + key + std::string(static_cast<std::size_t>(Pick(random, 300)), 'z');
}

std::vector<std::string> ShapeLines(std::mt19937& random, ConfigShape shape) {
  std::vector<std::string> lines;
  for (int i = Pick(random, 6); i > 0; --i) lines.push_back(Filler(random));
  auto configSection = [&] {
    lines.push_back("[Config]");
    if (Pick(random, 4) != 0) lines.push_back(Value(random, kUse));
    if (Pick(random, 2) != 0) lines.push_back(Value(random, kForce));
  };
  switch (shape) {
    case ConfigShape::kLongLines:
      lines.push_back(
          LongLine(random, Pick(random, 2) ? Value(random, kUse) : Value(random, kForce)));
      if (Pick(random, 2)) lines.push_back(std::string(256 + Pick(random, 600), 'L'));
      configSection();
      if (Pick(random, 2)) lines.push_back(LongLine(random, Value(random, kForce)));
      break;
    case ConfigShape::kOutsideSection:
      lines.push_back("[Other]");
      lines.push_back(Value(random, Pick(random, 2) ? kUse : kForce));
      if (Pick(random, 2)) configSection();
      break;
    case ConfigShape::kKeysTwice:
      configSection();
      for (int i = 1 + Pick(random, 3); i > 0; --i) {
        lines.push_back(Value(random, Pick(random, 2) ? kUse : kForce));
        if (Pick(random, 2)) lines.push_back(Filler(random));
      }
      break;
    case ConfigShape::kKeysBeforeHeader:
      lines.push_back(Value(random, kUse));
      lines.push_back(Value(random, kForce));
      if (Pick(random, 2)) lines.push_back("[Config]");
      break;
    case ConfigShape::kBinaryJunk:
      lines.push_back(Junk(random, Pick(random, 400), true));
      if (Pick(random, 2)) configSection();
      lines.push_back(Junk(random, Pick(random, 60), false) + Value(random, kForce));
      break;
    case ConfigShape::kAwkwardValues: {
      const std::string awkward[] = {
          kUse,
          kForce,
          std::string(kForce) + "12",
          std::string(" ") + Value(random, kUse),
          "x=" + Value(random, kForce),
          Value(random, kUse) + " " + Value(random, kForce),
          std::string(kUse) + kForce + "1",
          Value(random, kUse) + " ; keep this",
      };
      lines.push_back("[Config]");
      for (int i = 1 + Pick(random, 3); i > 0; --i) lines.push_back(awkward[Pick(random, 8)]);
      break;
    }
    default:
      configSection();
      break;
  }
  for (int i = Pick(random, 3); i > 0; --i) lines.push_back(Filler(random));
  return lines;
}

}  // namespace

const char* ShapeName(ConfigShape shape) {
  static const char* const names[] = {"installed file",
                                      "bare line feeds",
                                      "no final line end",
                                      "long lines",
                                      "keys outside [Config]",
                                      "keys twice",
                                      "keys before the header",
                                      "binary junk",
                                      "empty file",
                                      "awkward values"};
  return names[static_cast<int>(shape)];
}

std::string GenerateConfig(std::mt19937& random, ConfigShape shape) {
  if (shape == ConfigShape::kEmpty) return "";
  if (shape == ConfigShape::kInstalled) {
    return "[UI_STR]\r\nTitle=" + Gb2312(random, 6) + "\r\n[Config]\r\nUseBmpFont=0\r\n\r\n";
  }
  std::vector<std::string> lines = ShapeLines(random, shape);
  std::string end = shape == ConfigShape::kBareLineFeeds ? "\n" : "\r\n";
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    // Now and then a file mixes its line ends, as hand edits leave them.
    std::string thisEnd = Pick(random, 10) == 0 ? "\n" : end;
    bool last = i + 1 == lines.size();
    text += lines[i];
    if (!last || shape != ConfigShape::kNoFinalLineEnd) text += thisEnd;
  }
  return text;
}

std::string ExpectedRewrite(const std::string& input, char useBmpFont, int forceLanguage) {
  const std::string keys[2] = {kUse, kForce};
  const std::string values[2] = {std::string(1, useBmpFont), std::to_string(forceLanguage)};
  std::string output = input;
  bool seen[2] = {false, false};
  bool section = false;
  std::size_t start = 0;
  while (start < input.size()) {
    std::size_t end = start;
    while (end < input.size() && end - start < kPiece && (end == start || input[end - 1] != '\n'))
      ++end;
    std::string piece = input.substr(start, end - start);
    piece = piece.substr(0, piece.find('\0'));  // a line read ends at a NUL for a text search
    section = section || piece.find("[Config]") != std::string::npos;
    for (int k = 0; k < 2; ++k) {
      std::size_t at = piece.find(keys[k]);
      if (at == std::string::npos) continue;
      std::size_t value = at + keys[k].size();
      bool room = value + values[k].size() <= piece.size();
      for (std::size_t i = value; room && i < value + values[k].size(); ++i) {
        room = piece[i] != '\r' && piece[i] != '\n';
      }
      if (!room) continue;
      output.replace(start + value, values[k].size(), values[k]);
      seen[k] = true;
    }
    if (seen[0] && seen[1]) return output;
    start = end;
  }
  if (!section) output += "\r\n\r\n[Config]\r\n\r\n";
  for (int k = 0; k < 2; ++k) {
    if (!seen[k]) output += "\r\n" + keys[k] + values[k] + "\r\n";
  }
  return output;
}

std::string CheckOnlyValuesChanged(const std::string& input, const std::string& output,
                                   char useBmpFont, int forceLanguage) {
  if (output.size() < input.size()) return "the file got shorter";
  for (std::size_t i = 0; i < input.size(); ++i) {
    if (output[i] == input[i]) continue;
    bool afterUse = i >= 11 && input.compare(i - 11, 11, kUse) == 0 && output[i] == useBmpFont;
    bool afterForce = i >= 14 && input.compare(i - 14, 14, kForce) == 0 &&
                      output[i] == static_cast<char>('0' + forceLanguage);
    if (!afterUse && !afterForce) return "byte " + std::to_string(i) + " changed and is no value";
  }
  std::string appended = output.substr(input.size());
  std::string use = std::string("\r\n") + kUse + useBmpFont + "\r\n";
  std::string force = std::string("\r\n") + kForce + std::to_string(forceLanguage) + "\r\n";
  for (const std::string& header : {std::string(), std::string("\r\n\r\n[Config]\r\n\r\n")}) {
    for (const std::string& first : {std::string(), use}) {
      for (const std::string& second : {std::string(), force}) {
        if (appended == header + first + second) return "";
      }
    }
  }
  return "unexpected text appended: " + appended;
}
