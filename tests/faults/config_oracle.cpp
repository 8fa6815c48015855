// Configuration file generator and oracle (see config_oracle.h).
#include "tests/faults/config_oracle.h"

#include <cstring>

namespace {

const char kUse[] = "UseBmpFont=";
const char kForce[] = "ForceLanguage=";
constexpr std::size_t kPiece = 255;  // a line length that fixed line buffers cut at

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
          " usebmpfont = 10 ; lower case, blanks, two digits",
          "FORCELANGUAGE=\t",
      };
      lines.push_back("[Config]");
      for (int i = 1 + Pick(random, 3); i > 0; --i) lines.push_back(awkward[Pick(random, 10)]);
      if (Pick(random, 3) == 0) lines.push_back("[After]");
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

namespace {

struct OracleLine {
  std::string text;  // without the line end
  std::string end;   // "\r\n", "\n" or "" (the last line)
};

std::vector<OracleLine> SplitLines(const std::string& input) {
  std::vector<OracleLine> lines;
  std::size_t start = 0;
  while (start < input.size()) {
    std::size_t lf = input.find('\n', start);
    OracleLine line;
    if (lf == std::string::npos) {
      line.text = input.substr(start);
      start = input.size();
    } else {
      line.text = input.substr(start, lf - start);
      line.end = "\n";
      start = lf + 1;
    }
    if (!line.end.empty() && !line.text.empty() && line.text.back() == '\r') {
      line.text.pop_back();
      line.end = "\r\n";
    }
    lines.push_back(line);
  }
  return lines;
}

std::string Folded(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string LeftTrimmed(const std::string& text) {
  std::size_t at = text.find_first_not_of(" \t");
  return at == std::string::npos ? "" : text.substr(at);
}

// The section a header line opens, folded, or "" for a line that is no header.
std::string HeaderName(const std::string& text) {
  std::string trimmed = LeftTrimmed(text);
  if (trimmed.empty() || trimmed[0] != '[') return "";
  std::size_t close = trimmed.find(']');
  return close == std::string::npos ? "[" : Folded(trimmed.substr(1, close - 1));
}

bool IsHeaderLine(const std::string& text) { return !HeaderName(text).empty(); }

// For "Key = value ; remark", the key folded, and where the value word
// starts and ends; false for a line that holds no key.
bool SplitKeyLine(const std::string& text, std::string* key, std::size_t* valueStart,
                  std::size_t* valueEnd) {
  std::size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  std::string name = text.substr(0, equals);
  name = LeftTrimmed(name);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
  if (name.find_first_of(" \t") != std::string::npos) return false;
  *key = Folded(name);
  std::size_t at = equals + 1;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  *valueStart = at;
  while (at < text.size() && std::strchr(" \t;\r", text[at]) == nullptr) ++at;
  *valueEnd = at;
  return true;
}

}  // namespace

std::string ExpectedRewrite(const std::string& input, char useBmpFont, int forceLanguage) {
  const std::string keys[2] = {"usebmpfont", "forcelanguage"};
  const std::string written[2] = {"UseBmpFont=", "ForceLanguage="};
  const std::string values[2] = {std::string(1, useBmpFont), std::to_string(forceLanguage)};
  std::vector<OracleLine> lines = SplitLines(input);
  // The first [Config] section: from its header to the next header.
  std::size_t first = lines.size();
  for (std::size_t i = 0; i < lines.size() && first == lines.size(); ++i) {
    if (HeaderName(lines[i].text) == "config") first = i;
  }
  std::size_t last = first;
  while (last + 1 < lines.size() && !IsHeaderLine(lines[last + 1].text)) ++last;
  bool seen[2] = {false, false};
  for (std::size_t i = first + 1; first < lines.size() && i <= last; ++i) {
    std::string key;
    std::size_t from = 0;
    std::size_t to = 0;
    if (!SplitKeyLine(lines[i].text, &key, &from, &to)) continue;
    for (int k = 0; k < 2; ++k) {
      if (key != keys[k]) continue;
      lines[i].text.replace(from, to - from, values[k]);
      seen[k] = true;
    }
  }
  std::string output;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    output += lines[i].text + lines[i].end;
    bool beforeNextHeader = first < lines.size() && i == last && i + 1 < lines.size();
    for (int k = 0; k < 2 && beforeNextHeader; ++k) {
      if (!seen[k]) output += written[k] + values[k] + "\r\n";
    }
  }
  bool atEnd = first == lines.size() || last + 1 == lines.size();
  if (first == lines.size()) output += "\r\n\r\n[Config]\r\n\r\n";
  for (int k = 0; k < 2 && atEnd; ++k) {
    if (!seen[k]) output += "\r\n" + written[k] + values[k] + "\r\n";
  }
  return output;
}

int ReadConfigValue(const std::string& text, const char* key) {
  bool inSection = false;
  for (const OracleLine& line : SplitLines(text)) {
    if (IsHeaderLine(line.text)) {
      // A second [Config] section is not read: the first one answers.
      if (inSection) return -1;
      inSection = HeaderName(line.text) == "config";
      continue;
    }
    std::string name;
    std::size_t from = 0;
    std::size_t to = 0;
    if (!inSection || !SplitKeyLine(line.text, &name, &from, &to) || name != Folded(key)) continue;
    std::string value = line.text.substr(from, to - from);
    if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stoi(value);
  }
  return -1;
}

std::string CheckOnlyValuesChanged(const std::string& input, const std::string& output,
                                   char useBmpFont, int forceLanguage) {
  if (ReadConfigValue(output, "UseBmpFont") != useBmpFont - '0') return "UseBmpFont does not read back";
  if (ReadConfigValue(output, "ForceLanguage") != forceLanguage) return "ForceLanguage does not read back";
  // Every input line is there, in order, either as it was or with only its
  // value word changed; what is added is a key line, a header or an empty line.
  std::vector<OracleLine> before = SplitLines(input);
  std::vector<OracleLine> after = SplitLines(output);
  std::size_t next = 0;
  int keyLines[2] = {0, 0};
  for (const OracleLine& line : after) {
    std::string key;
    std::size_t from = 0;
    std::size_t to = 0;
    bool isKey = SplitKeyLine(line.text, &key, &from, &to);
    if (next < before.size()) {
      const OracleLine& old = before[next];
      std::string oldKey;
      std::size_t oldFrom = 0;
      std::size_t oldTo = 0;
      bool same = old.text == line.text;
      bool revalued = isKey && SplitKeyLine(old.text, &oldKey, &oldFrom, &oldTo) && oldKey == key &&
                      old.text.substr(0, oldFrom) == line.text.substr(0, from) &&
                      old.text.substr(oldTo) == line.text.substr(to);
      // The input's last line may have had no line end before text was added.
      bool endOk = old.end == line.end || (old.end.empty() && next + 1 == before.size());
      if ((same || revalued) && endOk) {
        ++next;
        continue;
      }
    }
    bool added = line.text.empty() || line.text == "[Config]" ||
                 line.text == std::string("UseBmpFont=") + useBmpFont ||
                 line.text == "ForceLanguage=" + std::to_string(forceLanguage);
    if (!added) return "line \"" + line.text + "\" is neither kept nor added";
    if (isKey) ++keyLines[key == "usebmpfont" ? 0 : 1];
  }
  if (next != before.size()) return "line " + std::to_string(next) + " of the input was lost";
  if (keyLines[0] > 1 || keyLines[1] > 1) return "a key was added twice";
  return "";
}
