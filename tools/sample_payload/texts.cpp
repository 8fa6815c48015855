// The sample payload's texts: generated ones of an exact size (plain text,
// word lists, HTML pages) and the fixed ones read from the texts folder.
#include "tools/sample_payload/texts.h"

#include "tools/sample_payload/bytes.h"

namespace {

// Appends generated lines (each ending with its line break) while they fit
// into size minus the tail, then pads the last line with blanks before its
// line break, so the text has exactly size bytes and still ends with a
// line break. A line that would overflow is replaced by another, shorter one.
template <typename NextLine>
Bytes FillText(std::size_t size, const std::string& head, const std::string& tail, NextLine nextLine) {
  Bytes out(head.begin(), head.end());
  if (out.size() + tail.size() > size) Fail("text head and tail exceed the file size");
  std::size_t room = size - tail.size();
  for (int misses = 0; misses < 24;) {
    std::string line = nextLine();
    if (out.size() + line.size() <= room) {
      Append(out, line);
      misses = 0;
    } else {
      ++misses;
    }
  }
  std::size_t breakAt = out.size();
  while (breakAt > 0 && (out[breakAt - 1] == '\n' || out[breakAt - 1] == '\r')) --breakAt;
  out.insert(out.begin() + static_cast<std::ptrdiff_t>(breakAt), room - out.size(), ' ');
  Append(out, tail);
  return out;
}

std::string ChineseSentences(const Language& language, Random& random, Encoding encoding) {
  std::string line;
  unsigned sentences = random.Between(1, 3);
  for (unsigned s = 0; s < sentences; ++s) {
    unsigned words = random.Between(4, 16);
    for (unsigned w = 0; w < words; ++w) {
      const std::string* form = &Form(language.DrawWord(random), encoding);
      while (form->empty()) form = &Form(language.DrawWord(random), encoding);
      line += *form;
      if (w + 1 < words && random.Below(6) == 0) line += Form(language.Punctuation(random.Below(2) ? 0 : 2), encoding);
    }
    line += Form(language.Punctuation(1), encoding);
  }
  return line;
}

std::string EnglishSentences(const Language& language, Random& random) {
  std::string line;
  unsigned sentences = random.Between(1, 3);
  for (unsigned s = 0; s < sentences; ++s) {
    unsigned words = random.Between(5, 14);
    for (unsigned w = 0; w < words; ++w) {
      std::string word = language.DrawEnglish(random);
      if (w == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 'a' + 'A');
      if (!line.empty()) line += ' ';
      line += word;
      if (w + 1 < words && random.Below(8) == 0) line += ',';
    }
    line += '.';
  }
  return line;
}

// "pinyin<TAB>word word ..." lines, as in the key and word-list dictionaries.
std::string KeyedWordLine(const Language& language, Random& random) {
  const Word& key = language.DrawWord(random);
  std::string line = language.Syllable(key.syllables[0]);
  line += '\t';
  unsigned count = random.Between(1, 8);
  for (unsigned i = 0; i < count; ++i) {
    if (i) line += ' ';
    line += language.DrawWord(random).gb;
  }
  return line + "\r\n";
}

// "character=part part": the component tables of the stroke input.
std::string PartsLine(const Language& language, Random& random) {
  const Hanzi& zi = language.DrawHanzi(random);
  std::string line{static_cast<char>(zi.lead), static_cast<char>(zi.trail), '='};
  unsigned parts = random.Between(2, 4);
  for (unsigned i = 0; i < parts; ++i) {
    const Hanzi& part = language.HanziAt(random.Below(300));
    line += static_cast<char>(part.lead);
    line += static_cast<char>(part.trail);
    if (i + 1 < parts) line += ' ';
  }
  return line + "\r\n";
}

std::string CedictLine(const Language& language, Random& random) {
  const Word& word = language.DrawWord(random);
  std::string line = word.traditional + " " + word.utf8 + " [" + word.pinyin + "] /";
  unsigned glosses = random.Between(1, 3);
  for (unsigned g = 0; g < glosses; ++g) {
    unsigned words = random.Between(1, 4);
    for (unsigned w = 0; w < words; ++w) line += std::string(w ? " " : "") + language.DrawEnglish(random);
    line += '/';
  }
  return line + "\n";
}

}  // namespace

Bytes HtmlPage(const Language& language, Random& random, const std::string& name, std::size_t size) {
  Encoding encoding = Contains(name, "_b5") ? Encoding::kBig5 : Encoding::kGb2312;
  bool english = Contains(name, "_en");
  const char* charset = english ? "iso-8859-1" : encoding == Encoding::kBig5 ? "big5" : "gb2312";
  std::string title = english ? "Tavik Roved Editor: " + name
                              : Form(language.DrawWord(random), encoding) + " " + name;
  std::string head = "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" +
                     std::string(charset) + "\">\r\n<title>" + title + "</title>\r\n</head>\r\n<body>\r\n<h1>" +
                     title + "</h1>\r\n";
  int paragraph = 0;
  return FillText(size, head, "</body>\r\n</html>\r\n", [&]() -> std::string {
    ++paragraph;
    if (paragraph % 9 == 0) return "<h2>" + std::to_string(paragraph / 9) + ". " +
                                   (english ? EnglishSentences(language, random).substr(0, 40)
                                            : Form(language.DrawWord(random), encoding)) + "</h2>\r\n";
    if (paragraph % 13 == 0)
      return "<p><img src=\"pysampci" + std::to_string(1 + paragraph % 8) + ".PNG\" alt=\"\"></p>\r\n";
    if (paragraph % 5 == 0) {
      std::string row = "<table border=\"1\"><tr>";
      for (int cell = 0; cell < 4; ++cell)
        row += "<td>" + language.Syllable(random.Below(language.SyllableCount())) + "</td><td>" +
               Form(language.DrawWord(random), encoding) + "</td>";
      return row + "</tr></table>\r\n";
    }
    return "<p>" + (english ? EnglishSentences(language, random) : ChineseSentences(language, random, encoding)) +
           "</p>\r\n";
  });
}

Bytes TextFile(const Language& language, Random& random, const std::string& name, std::size_t size) {
  if (EndsWith(name, ".u8")) {
    std::string head = "# CC-CEDICT style word list of the Tavik Roved Editor sample payload\n"
                       "#! version=1\n#! charset=UTF-8\n";
    return FillText(size, head, "", [&] { return CedictLine(language, random); });
  }
  if (EndsWith(name, ".tab")) {
    // One character pair a line: the form of the other script, then ours.
    bool big5First = name[0] == 'b';
    std::size_t rank = 0;
    return FillText(size, "", "", [&] {
      std::string gb, big5;
      while (big5.empty()) {  // characters without a Big5 form have no pair
        const Hanzi& h = language.HanziAt(rank++);
        gb = {static_cast<char>(h.lead), static_cast<char>(h.trail)};
        big5 = Convert(Language::Utf8Of(h), "BIG5", "UTF-8");
      }
      return (big5First ? big5 + " " + gb : gb + " " + big5) + "\r\n";
    });
  }
  if (Contains(name, "ZiParts")) return FillText(size, "", "", [&] { return PartsLine(language, random); });
  if (Contains(name, "ordered_by_usage")) {
    std::size_t rank = 0;
    return FillText(size, "", "", [&] {
      const Hanzi& h = language.HanziAt(rank++);
      return std::to_string(rank) + "\t" + std::string{static_cast<char>(h.lead), static_cast<char>(h.trail)} +
             "\t" + std::to_string(2000000 / rank + random.Below(50)) + "\r\n";
    });
  }
  if (EndsWith(name, ".dic") || EndsWith(name, ".bin"))
    return FillText(size, "", "", [&] { return KeyedWordLine(language, random); });
  if (Contains(name, "_en"))
    return FillText(size, "", "", [&] { return EnglishSentences(language, random) + "\r\n"; });
  return FillText(size, "", "", [&] { return ChineseSentences(language, random, Encoding::kGb2312) + "\r\n"; });
}

Bytes FixedText(const std::string& path, bool gb2312) {
  std::string text = CrLf(ReadLines(path));
  if (gb2312) text = Gb(text);
  return Bytes(text.begin(), text.end());
}
