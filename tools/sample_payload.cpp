// Sample payload generator: writes one deterministic file for every row of
// the install manifest and for the extra payloads, shaped like the product's
// own files, so the project builds, installs and runs without them: texts in
// GB2312, Big5 or UTF-8 with CR LF line ends, HTML pages, valid BMP and PNG
// pictures, the real glyph font, real (stub) Windows programs, and binary
// dictionaries that compress about as well as real ones.
//
//   sample_payload --profile full|small --out DIR --font ChnBmp.bin
//                  [--package SPEECH.msi] [--program NAME.exe=PATH]...
//
// full:  the product's sizes: the word base at its real sizes, 57,958,082
//        bytes over the 122 manifest files, the speech package 7,652,864.
// small: the same shapes in a few hundred kilobytes, for fast tests.
// Every file is seeded from its resource id and the profile, never from the
// time, so the same build always writes the same bytes. A manifest
// executable takes the program given as NAME.exe (the stem of its name with
// ".exe"); a missing one fails, naming it. The speech package is the
// installer package given with --package, brought to the profile's size.
#include <iconv.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "base/manifest.h"

namespace {

using Bytes = std::vector<unsigned char>;

// ---- Sizes ----------------------------------------------------------------------

constexpr unsigned long long kFullManifestBytes = 57958082;
constexpr unsigned long kFullPackageBytes = 7652864;
constexpr int kSmallDivisor = 64;  // small profile: sizes of the full one / 64

// Exact sizes of the word base (both profiles keep the ratio between them).
struct FixedSize {
  int id;
  unsigned long bytes;
};
constexpr FixedSize kWordBaseSizes[] = {
    {127, 5241999}, {126, 3204640}, {128, 26002372}, {129, 2077522}};

// Weights for the files whose size is free: the full profile shares what the
// fixed-size files leave of the manifest total out in these proportions
// (kilobytes of a plausible product). Rows not listed weigh by their kind.
constexpr FixedSize kWeights[] = {
    {106, 180}, {131, 420},  {143, 95},   {111, 48},   {153, 260},  {123, 1100}, {118, 30},
    {137, 140}, {114, 12},   {115, 9},    {203, 8},    {204, 7},    {165, 15},   {130, 600},
    {191, 900}, {192, 700},  {132, 1300}, {144, 200},  {162, 48},   {189, 28},   {173, 350},
    {241, 500}, {240, 450},  {248, 60},   {249, 800},  {250, 300},  {251, 150},  {252, 400},
    {254, 90},  {257, 900},  {1022, 10},  {187, 40},   {188, 40},   {145, 2400}, {146, 3500},
    {271, 350}, {272, 120},
};

unsigned long WeightOf(const ManifestRow& row) {
  for (const FixedSize& weight : kWeights)
    if (weight.id == row.id) return weight.bytes;
  return row.content == ContentKind::kHtml ? 24 : 100;
}

// ---- Plumbing ---------------------------------------------------------------------

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "sample_payload: %s\n", message.c_str());
  std::exit(1);
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!out) Fail("cannot write " + path);
}

void Append(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }
void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }
void PutLe16(Bytes& out, unsigned value) {
  out.push_back(static_cast<unsigned char>(value));
  out.push_back(static_cast<unsigned char>(value >> 8));
}
void PutLe32(Bytes& out, unsigned long value) {
  PutLe16(out, static_cast<unsigned>(value & 0xFFFF));
  PutLe16(out, static_cast<unsigned>(value >> 16));
}
void PutBe32(Bytes& out, unsigned long value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

bool EndsWith(const std::string& text, const char* suffix) {
  std::size_t n = std::strlen(suffix);
  return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}
bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// Text conversion through iconv; a text that does not convert completely
// yields an empty result (Big5 lacks some simplified characters).
std::string Convert(const std::string& text, const char* to, const char* from) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) Fail(std::string("iconv cannot convert to ") + to);
  std::string out(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  char* outPtr = &out[0];
  size_t inLeft = text.size(), outLeft = out.size();
  size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1) || inLeft != 0) return std::string();
  out.resize(out.size() - outLeft);
  return out;
}

std::string Gb(const std::string& utf8) {
  std::string gb = Convert(utf8, "GB2312", "UTF-8");
  if (gb.empty() && !utf8.empty()) Fail("text is not GB2312: " + utf8);
  return gb;
}

// ---- Deterministic randomness ----------------------------------------------------

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {
    if (state_ == 0) state_ = 1;
  }
  std::uint64_t Next() {  // xorshift64*
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }
  unsigned Below(unsigned n) { return static_cast<unsigned>((Next() >> 32) % n); }
  unsigned Between(unsigned low, unsigned high) { return low + Below(high - low + 1); }
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

 private:
  std::uint64_t state_;
};

// Ranks drawn with probability proportional to 1 / (rank + 1): the shape of
// word and character frequencies in real text.
class Zipf {
 public:
  explicit Zipf(std::size_t count) : cumulative_(count) {
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i) cumulative_[i] = sum += 1.0 / static_cast<double>(i + 1);
  }
  std::size_t Draw(Random& random) const {
    double target = random.Unit() * cumulative_.back();
    return static_cast<std::size_t>(std::upper_bound(cumulative_.begin(), cumulative_.end(), target) -
                                    cumulative_.begin()) % cumulative_.size();
  }

 private:
  std::vector<double> cumulative_;
};

// ---- Language material -------------------------------------------------------------

const char* const kSyllables[] = {
    "a", "ai", "an", "ang", "ao", "ba", "bai", "ban", "bang", "bao", "bei", "ben", "beng", "bi",
    "bian", "biao", "bie", "bin", "bing", "bo", "bu", "ca", "cai", "can", "cang", "cao", "ce",
    "ceng", "cha", "chai", "chan", "chang", "chao", "che", "chen", "cheng", "chi", "chong", "chou",
    "chu", "chuan", "chuang", "chui", "chun", "chuo", "ci", "cong", "cou", "cu", "cuan", "cui",
    "cun", "cuo", "da", "dai", "dan", "dang", "dao", "de", "deng", "di", "dian", "diao", "die",
    "ding", "diu", "dong", "dou", "du", "duan", "dui", "dun", "duo", "e", "en", "er", "fa", "fan",
    "fang", "fei", "fen", "feng", "fo", "fou", "fu", "ga", "gai", "gan", "gang", "gao", "ge", "gei",
    "gen", "geng", "gong", "gou", "gu", "gua", "guai", "guan", "guang", "gui", "gun", "guo", "ha",
    "hai", "han", "hang", "hao", "he", "hei", "hen", "heng", "hong", "hou", "hu", "hua", "huai",
    "huan", "huang", "hui", "hun", "huo", "ji", "jia", "jian", "jiang", "jiao", "jie", "jin",
    "jing", "jiong", "jiu", "ju", "juan", "jue", "jun", "ka", "kai", "kan", "kang", "kao", "ke",
    "ken", "keng", "kong", "kou", "ku", "kua", "kuai", "kuan", "kuang", "kui", "kun", "kuo", "la",
    "lai", "lan", "lang", "lao", "le", "lei", "leng", "li", "lia", "lian", "liang", "liao", "lie",
    "lin", "ling", "liu", "long", "lou", "lu", "luan", "lun", "luo", "lv", "lve", "ma", "mai",
    "man", "mang", "mao", "me", "mei", "men", "meng", "mi", "mian", "miao", "mie", "min", "ming",
    "miu", "mo", "mou", "mu", "na", "nai", "nan", "nang", "nao", "ne", "nei", "nen", "neng", "ni",
    "nian", "niang", "niao", "nie", "nin", "ning", "niu", "nong", "nu", "nuan", "nuo", "nv", "nve",
    "o", "ou", "pa", "pai", "pan", "pang", "pao", "pei", "pen", "peng", "pi", "pian", "piao", "pie",
    "pin", "ping", "po", "pou", "pu", "qi", "qia", "qian", "qiang", "qiao", "qie", "qin", "qing",
    "qiong", "qiu", "qu", "quan", "que", "qun", "ran", "rang", "rao", "re", "ren", "reng", "ri",
    "rong", "rou", "ru", "ruan", "rui", "run", "ruo", "sa", "sai", "san", "sang", "sao", "se",
    "sen", "seng", "sha", "shai", "shan", "shang", "shao", "she", "shen", "sheng", "shi", "shou",
    "shu", "shua", "shuai", "shuan", "shuang", "shui", "shun", "shuo", "si", "song", "sou", "su",
    "suan", "sui", "sun", "suo", "ta", "tai", "tan", "tang", "tao", "te", "teng", "ti", "tian",
    "tiao", "tie", "ting", "tong", "tou", "tu", "tuan", "tui", "tun", "tuo", "wa", "wai", "wan",
    "wang", "wei", "wen", "weng", "wo", "wu", "xi", "xia", "xian", "xiang", "xiao", "xie", "xin",
    "xing", "xiong", "xiu", "xu", "xuan", "xue", "xun", "ya", "yan", "yang", "yao", "ye", "yi",
    "yin", "ying", "yo", "yong", "you", "yu", "yuan", "yue", "yun", "za", "zai", "zan", "zang",
    "zao", "ze", "zei", "zen", "zeng", "zha", "zhai", "zhan", "zhang", "zhao", "zhe", "zhen",
    "zheng", "zhi", "zhong", "zhou", "zhu", "zhua", "zhuai", "zhuan", "zhuang", "zhui", "zhun",
    "zhuo", "zi", "zong", "zou", "zu", "zuan", "zui", "zun", "zuo",
};
constexpr unsigned kSyllableCount = sizeof kSyllables / sizeof kSyllables[0];

const char* const kEnglishWords[] = {
    "the", "of", "and", "to", "a", "in", "is", "you", "that", "it", "for", "input", "on", "with",
    "as", "word", "are", "this", "be", "by", "character", "or", "can", "from", "press", "key",
    "type", "pinyin", "editor", "Chinese", "text", "when", "each", "which", "list", "code",
    "phrase", "stroke", "select", "number", "space", "window", "file", "open", "first", "next",
    "page", "line", "mode", "tone", "base", "user", "new", "shows", "candidate", "letters",
    "keyboard", "simplified", "traditional", "menu", "option", "enter", "left", "right", "shift",
    "control", "switch", "between", "English", "set", "also", "more", "most", "only", "will",
    "your", "all", "one", "two", "three", "if", "not", "then", "so", "use", "used", "same",
    "other", "into", "its", "than", "them", "these", "their", "has", "have", "was", "were",
    "dictionary", "frequency", "learns", "order", "example", "help", "guide", "sample", "screen",
    "picture", "shown", "below", "above", "symbol", "punctuation", "full", "width", "half",
    "font", "display", "document", "save", "print", "find", "replace", "paste", "copy", "cut",
    "undo", "setting", "default", "program", "install", "folder", "system", "version", "quick",
    "step", "steps", "radical", "component", "shape", "sound", "syllable", "initial", "final",
};
constexpr unsigned kEnglishWordCount = sizeof kEnglishWords / sizeof kEnglishWords[0];

// The GB2312 level-1 hanzi (rows 16-55) are ordered by pinyin, so a
// character's position gives a plausible syllable; a fixed shuffle of them
// serves as the frequency order.
struct Hanzi {
  unsigned char lead, trail;
  unsigned syllable;
};

struct Word {
  std::string gb, big5, utf8;  // big5 empty when it has no Big5 form
  std::string traditional;     // UTF-8 of the Big5 form (or of the GB2312 one)
  std::string pinyin;          // syllables with tone digits, space separated
  std::vector<unsigned> syllables;
};

class Language {
 public:
  Language() : wordRanks_(kWordCount), hanziRanks_(kLevel1Count), englishRanks_(kEnglishWordCount) {
    for (unsigned lead = 0xB0; lead <= 0xD7; ++lead)
      for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
        if (lead == 0xD7 && trail > 0xF9) break;  // the end of level 1
        unsigned index = static_cast<unsigned>(hanzi_.size());
        hanzi_.push_back({static_cast<unsigned char>(lead), static_cast<unsigned char>(trail),
                          index * kSyllableCount / kLevel1Count});
      }
    Random random(2024);
    for (std::size_t i = hanzi_.size() - 1; i > 0; --i) std::swap(hanzi_[i], hanzi_[random.Below(static_cast<unsigned>(i + 1))]);
    for (unsigned i = 0; i < kWordCount; ++i) words_.push_back(MakeWord(random));
    for (const char* mark : {"，", "。", "、", "：", "；", "“", "”", "（", "）"})
      punctuation_.push_back({Gb(mark), Convert(mark, "BIG5", "UTF-8"), mark, mark, "", {}});
  }

  const Hanzi& DrawHanzi(Random& random) const { return hanzi_[hanziRanks_.Draw(random)]; }
  const Hanzi& HanziAt(std::size_t rank) const { return hanzi_[rank % hanzi_.size()]; }
  std::size_t HanziCount() const { return hanzi_.size(); }
  const Word& DrawWord(Random& random) const { return words_[wordRanks_.Draw(random)]; }
  const Word& Punctuation(std::size_t index) const { return punctuation_[index]; }
  const char* DrawEnglish(Random& random) const { return kEnglishWords[englishRanks_.Draw(random)]; }

  static std::string Utf8Of(const Hanzi& h) {
    return Convert(std::string{static_cast<char>(h.lead), static_cast<char>(h.trail)}, "UTF-8", "GB2312");
  }

 private:
  static constexpr unsigned kWordCount = 6000;
  static constexpr unsigned kLevel1Count = 3755;

  Word MakeWord(Random& random) const {
    static const unsigned kLengthWeights[] = {15, 60, 13, 12};  // 1 to 4 characters
    unsigned pick = random.Below(100), length = 1;
    for (unsigned sum = 0; length <= 4 && (sum += kLengthWeights[length - 1]) <= pick;) ++length;
    Word word;
    for (unsigned i = 0; i < length; ++i) {
      const Hanzi& h = DrawHanzi(random);
      word.gb += static_cast<char>(h.lead);
      word.gb += static_cast<char>(h.trail);
      word.syllables.push_back(h.syllable);
      if (i) word.pinyin += ' ';
      word.pinyin += kSyllables[h.syllable];
      word.pinyin += static_cast<char>('1' + (h.lead * 7 + h.trail) % 4);
    }
    word.utf8 = Convert(word.gb, "UTF-8", "GB2312");
    word.big5 = Convert(word.utf8, "BIG5", "UTF-8");
    word.traditional = word.big5.empty() ? word.utf8 : Convert(word.big5, "UTF-8", "BIG5");
    return word;
  }

  std::vector<Hanzi> hanzi_;
  std::vector<Word> words_;
  std::vector<Word> punctuation_;
  Zipf wordRanks_, hanziRanks_, englishRanks_;
};

enum class Encoding { kGb2312, kBig5, kUtf8 };

const std::string& Form(const Word& word, Encoding encoding) {
  switch (encoding) {
    case Encoding::kBig5: return word.big5;
    case Encoding::kUtf8: return word.utf8;
    default: return word.gb;
  }
}

// ---- Texts of an exact size -------------------------------------------------------

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
  std::string line = kSyllables[key.syllables[0]];
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

// ---- Fixed texts ---------------------------------------------------------------------

std::string CrLf(const char* const* lines, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += std::string(lines[i]) + "\r\n";
  return text;
}

// The installed configuration: interface strings, then the [Config] section
// that the installer rewrites; it ends with an empty line and has no
// ForceLanguage line.
Bytes ConfigFile(bool english) {
  static const char* const kChinese[] = {
      "[UI_STR]",
      "AppTitle=塔维克编辑器 Tavik Roved Editor",
      "MenuFile=文件(&F)",
      "MenuEdit=编辑(&E)",
      "MenuView=查看(&V)",
      "MenuHelp=帮助(&H)",
      "StatusReady=就绪",
      "ModePinyin=拼音输入",
      "ModeStroke=笔画输入",
      "ModeEnglish=英文",
      "SwitchHint=按 Ctrl+空格 切换中英文",
      "WordBaseSaved=词库已保存。",
      "WordBaseFull=词库已满，请整理后再加词。",
      "FindSaying=查找成语",
      "[Config]",
      "UseBmpFont=0",
      "",
  };
  static const char* const kEnglish[] = {
      "[UI_STR]",
      "AppTitle=Tavik Roved Editor",
      "MenuFile=&File",
      "MenuEdit=&Edit",
      "MenuView=&View",
      "MenuHelp=&Help",
      "StatusReady=Ready",
      "ModePinyin=Pinyin input",
      "ModeStroke=Stroke input",
      "ModeEnglish=English",
      "SwitchHint=Press Ctrl+Space to switch between Chinese and English",
      "WordBaseSaved=The word base has been saved.",
      "WordBaseFull=The word base is full; tidy it before adding words.",
      "FindSaying=Find a saying",
      "[Config]",
      "UseBmpFont=0",
      "",
  };
  std::string text = english ? CrLf(kEnglish, std::size(kEnglish)) : Gb(CrLf(kChinese, std::size(kChinese)));
  return Bytes(text.begin(), text.end());
}

Bytes LicenceCn() {
  static const char* const kLines[] = {
      "塔维克编辑器 最终用户许可协议",
      "",
      "请在安装本软件之前仔细阅读本协议。",
      "安装、复制或使用本软件即表示您同意",
      "接受本协议的全部条款。",
      "",
      "一、许可",
      "您可以在您拥有或使用的计算机上安装",
      "并使用本软件，数量不限。",
      "您可以为备份目的复制本软件。",
      "",
      "二、限制",
      "您不得出租、出售本软件，也不得将",
      "本软件作为其他产品的一部分再发行。",
      "您不得对本软件进行反向工程、反编译",
      "或反汇编，法律明确允许的除外。",
      "",
      "三、词库与数据",
      "随本软件提供的词库、字典和帮助文件",
      "仅供您在本软件中使用。",
      "您自己加入词库的词语归您所有。",
      "",
      "四、免责声明",
      "本软件按“现状”提供，不附带任何",
      "明示或暗示的担保。对于因使用或",
      "无法使用本软件而造成的任何损失，",
      "作者不承担任何责任。",
      "",
      "五、个人信息",
      "本软件不收集、不发送您的任何个人信息。",
      "您输入的文字和您的词库只保存在您自己的",
      "计算机上。",
      "",
      "六、更新",
      "作者可以发布本软件的更新版本。更新版本",
      "同样适用本协议，另有协议的除外。",
      "重新安装时，安装程序会询问是否保留您的",
      "词库。",
      "",
      "七、终止",
      "如您违反本协议的任何条款，本许可",
      "自动终止，您必须销毁本软件的所有副本。",
      "",
      "八、其他",
      "本协议是您与作者之间关于本软件的完整",
      "协议。本协议的任何条款无效，不影响其他",
      "条款的效力。",
      "",
      "如您同意本协议，请按“下一步”继续安装；",
      "如您不同意本协议，请按“取消”退出安装。",
  };
  std::string text = Gb(CrLf(kLines, std::size(kLines)));
  return Bytes(text.begin(), text.end());
}

Bytes LicenceEn() {
  static const char* const kLines[] = {
      "TAVIK ROVED EDITOR - END USER LICENCE AGREEMENT",
      "",
      "Please read this agreement carefully before you install the software. By installing, "
      "copying or using the Tavik Roved Editor, its input methods, word bases, dictionaries "
      "and help files (together \"the software\") you agree to all terms of this agreement.",
      "",
      "1. Licence. You may install and use the software on any number of computers that you "
      "own or use. You may make copies of the software for backup purposes.",
      "",
      "2. Restrictions. You may not rent, lease or sell the software, nor distribute it as part "
      "of another product. You may not reverse engineer, decompile or disassemble the software, "
      "except where the law expressly permits it.",
      "",
      "3. Word bases and data. The word bases, dictionaries and help pages supplied with the "
      "software may be used only with the software. Words that you add to your own word base "
      "belong to you, and this setup program keeps your word base when you ask it to.",
      "",
      "4. No warranty. The software is provided \"as is\", without any warranty, express or "
      "implied, including the warranties of merchantability and fitness for a particular "
      "purpose. In no event shall the authors be liable for any damage arising from the use of, "
      "or the inability to use, the software.",
      "",
      "5. Personal information. The software collects and sends no personal information. The "
      "text you type and your word base stay on your own computer.",
      "",
      "6. Updates. The authors may publish updated versions of the software; this agreement "
      "applies to them unless they come with an agreement of their own.",
      "",
      "7. Termination. This licence ends automatically if you break any of its terms; you must "
      "then destroy all copies of the software.",
      "",
      "8. General. This agreement is the whole agreement between you and the authors about the "
      "software. If any term of it is held invalid, the other terms stay in force.",
      "",
      "If you do not agree to these terms, press Cancel to leave the setup program.",
  };
  std::string text = CrLf(kLines, std::size(kLines));
  return Bytes(text.begin(), text.end());
}

// ---- Texts by file ----------------------------------------------------------------

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
        row += "<td>" + std::string(kSyllables[random.Below(kSyllableCount)]) + "</td><td>" +
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

// ---- Binary dictionaries ------------------------------------------------------------
// Tuned so that the whole payload compresses at zlib level 9 to about 45%,
// as the product's own data does: sorted keys, small deltas and repeated
// words compress, the frequency counts and links between records do not.

constexpr unsigned kIndexFrequencySpread = 256;
constexpr unsigned kIndexZeroPercent = 80;

// Flat word list: length, GB2312 word, syllable codes, frequency.
void WordRecords(const Language& language, Random& random, Bytes& out, std::size_t size) {
  while (out.size() < size) {
    const Word& word = language.DrawWord(random);
    out.push_back(static_cast<unsigned char>(word.gb.size()));
    Append(out, word.gb);
    for (unsigned syllable : word.syllables) PutLe16(out, syllable);
    PutLe16(out, static_cast<unsigned>(random.Below(65536)));
  }
}

// Sorted index: syllable pair keys ascending, the offset of the word in the
// flat list, the word's first character and its learnt frequency (most
// words were never picked, so most counts are zero).
void IndexRecords(const Language& language, Random& random, Bytes& out, std::size_t size) {
  unsigned first = 0, second = 0;
  unsigned long offset = 0;
  while (out.size() < size) {
    if (random.Below(4) == 0 && ++second >= kSyllableCount) {
      second = 0;
      first = (first + 1) % kSyllableCount;
    }
    const Word& word = language.DrawWord(random);
    offset += static_cast<unsigned long>(word.gb.size() + 3);
    PutLe16(out, first);
    PutLe16(out, second);
    PutLe32(out, offset);
    out.push_back(static_cast<unsigned char>(word.gb[0]));
    out.push_back(static_cast<unsigned char>(word.gb[1]));
    PutLe16(out, random.Below(100) < kIndexZeroPercent ? 0 : random.Below(kIndexFrequencySpread));
  }
}

// Per-character code table: every GBK code in order with its stroke
// sequence, which starts with the strokes of one of a few hundred common
// components.
void CodeTableRecords(Random& random, Bytes& out, std::size_t size) {
  static const Zipf components(400);
  unsigned code = 0x8140;
  while (out.size() < size) {
    Random component(components.Draw(random) + 1);
    unsigned shared = component.Between(2, 8), own = random.Between(1, 4);
    PutLe16(out, code);
    out.push_back(static_cast<unsigned char>(shared + own));
    for (unsigned i = 0; i < shared; ++i) out.push_back(static_cast<unsigned char>(1 + component.Below(5)));
    for (unsigned i = 0; i < own; ++i) out.push_back(static_cast<unsigned char>(1 + random.Below(5)));
    if (++code > 0xFEFE) code = 0x8140;
  }
}

Bytes DataFile(const Language& language, Random& random, int id, std::size_t size, const char* magic) {
  Bytes out;
  Append(out, magic);
  PutLe32(out, static_cast<unsigned long>(size));
  switch (id % 3) {
    case 0: WordRecords(language, random, out, size); break;
    case 1: IndexRecords(language, random, out, size); break;
    default: CodeTableRecords(random, out, size); break;
  }
  out.resize(size);
  return out;
}

Bytes WordBaseFile(const Language& language, Random& random, const ManifestRow& row, std::size_t size) {
  Bytes out;
  if (row.content == ContentKind::kWordBaseIndex) {
    out.push_back(0x81);  // bit 7: the mark of a word base this setup program installed
    Append(out, "TVKIDX");
    PutLe32(out, static_cast<unsigned long>(size));
    IndexRecords(language, random, out, size);
  } else if (std::strcmp(row.fileName, "CiZuFlat.igb") == 0) {
    Append(out, "TVKIGB");
    WordRecords(language, random, out, size);
  } else {
    Append(out, "TVKIDX");
    IndexRecords(language, random, out, size);
  }
  out.resize(size);
  return out;
}

// Compressed containers (help file, installer package): mostly bytes that
// no compressor can shrink, with some directory structure between them.
Bytes PackedContainer(Random& random, std::size_t size, const Bytes& signature) {
  Bytes out = signature;
  while (out.size() < size) {
    if (random.Below(16) == 0) {
      std::string entry = "/doc/page" + std::to_string(out.size() % 997) + ".htm";
      Append(out, entry);
      out.resize(out.size() + 24, 0);
    } else {
      for (int i = 0; i < 64; ++i) out.push_back(static_cast<unsigned char>(random.Next() >> 56));
    }
  }
  out.resize(size);
  return out;
}

// ---- Pictures -------------------------------------------------------------------------

struct Canvas {
  int width, height;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB
  Canvas(int w, int h, std::uint32_t colour) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, colour) {}
  void Fill(int x, int y, int w, int h, std::uint32_t colour) {
    for (int row = std::max(0, y); row < std::min(height, y + h); ++row)
      for (int col = std::max(0, x); col < std::min(width, x + w); ++col)
        pixels[static_cast<std::size_t>(row) * width + col] = colour;
  }
  void Frame(int x, int y, int w, int h, std::uint32_t colour) {
    Fill(x, y, w, 1, colour);
    Fill(x, y + h - 1, w, 1, colour);
    Fill(x, y, 1, h, colour);
    Fill(x + w - 1, y, 1, h, colour);
  }
  // A block of "writing": random strokes in a 12x12 cell, like small text.
  void Glyph(Random& random, int x, int y, std::uint32_t colour) {
    for (int stroke = 0; stroke < 4; ++stroke) {
      bool across = random.Below(2);
      int at = random.Between(1, 10), from = random.Between(0, 5), length = random.Between(4, 11 - from);
      if (across) Fill(x + from, y + at, length, 1, colour);
      else Fill(x + at, y + from, 1, length, colour);
    }
  }
};

// A keyboard map: rows of keys, each with its letter and a few characters.
Canvas KeyboardPicture(Random& random, int width, int height) {
  Canvas canvas(width, height, 0xD4D0C8);
  int rows = 4, keyHeight = std::max(8, height / (rows + 1)), keyWidth = std::max(8, width / 14);
  for (int row = 0; row < rows; ++row)
    for (int key = 0; key < 13 - row; ++key) {
      int x = key * keyWidth + row * keyWidth / 2 + 4, y = row * keyHeight + keyHeight / 2;
      canvas.Fill(x, y, keyWidth - 4, keyHeight - 4, 0xFFFFFF);
      canvas.Frame(x, y, keyWidth - 4, keyHeight - 4, 0x404040);
      for (int g = 0; g + 14 < keyHeight - 4; g += 14)
        canvas.Glyph(random, x + 3, y + 2 + g, g ? 0xC00000 : 0x000000);
    }
  return canvas;
}

// A screenshot of the editor: title bar, menu, a text area with writing and
// a candidate window, plus the faint noise of anti-aliased text.
Canvas ScreenshotPicture(Random& random, int width, int height) {
  Canvas canvas(width, height, 0xFFFFFF);
  for (int x = 0; x < width; ++x)
    canvas.Fill(x, 0, 1, 18, 0x0A2400 | static_cast<std::uint32_t>(0x6A + x * 0x90 / std::max(1, width)));
  canvas.Fill(0, 18, width, 20, 0xD4D0C8);
  for (int y = 44; y + 14 < height; y += 16)
    for (int x = 6; x + 14 < width; x += 14)
      if (random.Below(10) < 7) canvas.Glyph(random, x, y, 0x000000);
  int boxX = width / 3, boxY = height / 2;
  canvas.Fill(boxX, boxY, width / 3, 40, 0xFFFFE1);
  canvas.Frame(boxX, boxY, width / 3, 40, 0x000000);
  for (std::size_t i = 0; i < canvas.pixels.size(); ++i)
    if (random.Below(40) == 0) canvas.pixels[i] ^= 0x0F0F0F & static_cast<std::uint32_t>(random.Next());
  return canvas;
}

// A welcome picture: a smooth gradient with a framed panel.
Canvas WelcomePicture(Random& random, int width, int height) {
  Canvas canvas(width, height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      canvas.pixels[static_cast<std::size_t>(y) * width + x] =
          (static_cast<std::uint32_t>(40 + 160 * y / height) << 16) |
          (static_cast<std::uint32_t>(80 + 100 * x / width) << 8) | 0xC0;
  canvas.Fill(width / 8, height / 3, width * 3 / 4, height / 3, 0xFFFFFF);
  canvas.Frame(width / 8, height / 3, width * 3 / 4, height / 3, 0x000080);
  for (int x = width / 8 + 8; x + 14 < width * 7 / 8; x += 14) canvas.Glyph(random, x, height / 2 - 6, 0x000080);
  return canvas;
}

// Windows bitmap file, bottom-up rows padded to 4 bytes: 24-bit colour, or
// 8-bit with a 6x6x6 colour cube palette.
Bytes BmpFile(const Canvas& canvas, int bitsPerPixel) {
  int paletteEntries = bitsPerPixel == 8 ? 256 : 0;
  std::size_t stride = (static_cast<std::size_t>(canvas.width) * bitsPerPixel / 8 + 3) & ~std::size_t{3};
  unsigned long dataOffset = 14 + 40 + 4 * paletteEntries;
  unsigned long fileSize = dataOffset + static_cast<unsigned long>(stride * canvas.height);
  Bytes out;
  Append(out, "BM");
  PutLe32(out, fileSize);
  PutLe32(out, 0);
  PutLe32(out, dataOffset);
  PutLe32(out, 40);
  PutLe32(out, static_cast<unsigned long>(canvas.width));
  PutLe32(out, static_cast<unsigned long>(canvas.height));
  PutLe16(out, 1);
  PutLe16(out, static_cast<unsigned>(bitsPerPixel));
  PutLe32(out, 0);  // BI_RGB
  PutLe32(out, static_cast<unsigned long>(stride * canvas.height));
  PutLe32(out, 2835);  // 72 dpi
  PutLe32(out, 2835);
  PutLe32(out, static_cast<unsigned long>(paletteEntries));
  PutLe32(out, 0);
  for (int i = 0; i < paletteEntries; ++i) {
    int r = i / 36 % 6, g = i / 6 % 6, b = i % 6;
    bool cube = i < 216;
    int grey = (i - 216) * 255 / 39;
    out.push_back(static_cast<unsigned char>(cube ? b * 51 : grey));
    out.push_back(static_cast<unsigned char>(cube ? g * 51 : grey));
    out.push_back(static_cast<unsigned char>(cube ? r * 51 : grey));
    out.push_back(0);
  }
  for (int y = canvas.height - 1; y >= 0; --y) {
    std::size_t rowStart = out.size();
    for (int x = 0; x < canvas.width; ++x) {
      std::uint32_t c = canvas.pixels[static_cast<std::size_t>(y) * canvas.width + x];
      unsigned r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
      if (bitsPerPixel == 8) {
        out.push_back(static_cast<unsigned char>((r + 25) / 51 * 36 + (g + 25) / 51 * 6 + (b + 25) / 51));
      } else {
        out.push_back(static_cast<unsigned char>(b));
        out.push_back(static_cast<unsigned char>(g));
        out.push_back(static_cast<unsigned char>(r));
      }
    }
    out.resize(rowStart + stride, 0);
  }
  return out;
}

void PngChunk(Bytes& out, const char* type, const Bytes& data) {
  PutBe32(out, static_cast<unsigned long>(data.size()));
  std::size_t typeAt = out.size();
  Append(out, type);
  Append(out, data);
  uLong crc = crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
  PutBe32(out, crc);
}

// PNG, 8-bit RGB, filter "Sub" on every row, one IDAT of a zlib stream.
Bytes PngFile(const Canvas& canvas) {
  Bytes raw;
  raw.reserve(static_cast<std::size_t>(canvas.height) * (1 + 3 * canvas.width));
  for (int y = 0; y < canvas.height; ++y) {
    raw.push_back(1);
    std::uint32_t left = 0;
    for (int x = 0; x < canvas.width; ++x) {
      std::uint32_t c = canvas.pixels[static_cast<std::size_t>(y) * canvas.width + x];
      for (int shift = 16; shift >= 0; shift -= 8)
        raw.push_back(static_cast<unsigned char>((c >> shift) - (left >> shift)));
      left = c;
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  Bytes packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
    Fail("cannot compress a PNG image");
  packed.resize(packedSize);

  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBe32(header, static_cast<unsigned long>(canvas.width));
  PutBe32(header, static_cast<unsigned long>(canvas.height));
  for (unsigned char field : {8, 2, 0, 0, 0}) header.push_back(field);  // depth, RGB, deflate, filters, no interlace
  PngChunk(out, "IHDR", header);
  std::string software = std::string("Software") + '\0' + "Tavik Roved Editor sample payload";
  PngChunk(out, "tEXt", Bytes(software.begin(), software.end()));
  PngChunk(out, "IDAT", packed);
  PngChunk(out, "IEND", Bytes());
  return out;
}

// ---- The payload ---------------------------------------------------------------------

struct Options {
  bool full = true;
  std::string outDir, fontPath, packagePath;
  std::map<std::string, std::string> programs;  // "NAME.exe" -> path
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (i + 1 >= argc) Fail("missing value after " + arg);
    std::string value = argv[++i];
    if (arg == "--profile") {
      if (value != "full" && value != "small") Fail("--profile wants full or small");
      options.full = value == "full";
    } else if (arg == "--out") {
      options.outDir = value;
    } else if (arg == "--font") {
      options.fontPath = value;
    } else if (arg == "--package") {
      options.packagePath = value;
    } else if (arg == "--program") {
      std::size_t eq = value.find('=');
      if (eq == std::string::npos) Fail("--program wants NAME.exe=PATH");
      options.programs[value.substr(0, eq)] = value.substr(eq + 1);
    } else {
      Fail("unknown option " + arg);
    }
  }
  if (options.outDir.empty() || options.fontPath.empty())
    Fail("usage: sample_payload --profile full|small --out DIR --font FILE [--package FILE.msi] "
         "[--program NAME.exe=PATH]...");
  return options;
}

bool IsWordBase(int id) {
  for (const FixedSize& fixed : kWordBaseSizes)
    if (fixed.id == id) return true;
  return false;
}

// Files whose size follows from their content; the others are cut to the
// size that the budget gives them.
bool HasOwnSize(const ManifestRow& row) {
  switch (row.content) {
    case ContentKind::kData: case ContentKind::kText: case ContentKind::kHtml: case ContentKind::kHelp:
      return IsWordBase(row.id) || std::strcmp(row.fileName, "dodazaze_en.ini") == 0;
    default: return true;
  }
}

Bytes ProgramFile(const Options& options, const std::string& fileName) {
  std::string stem = fileName.substr(0, fileName.rfind('.'));
  auto found = options.programs.find(stem + ".exe");
  if (found == options.programs.end()) Fail("no stub program given for " + fileName + " (--program " + stem + ".exe=PATH)");
  return ReadFile(found->second);
}

Bytes PictureFile(const Options& options, Random& random, const ManifestRow& row) {
  int scale = options.full ? 1 : 4;
  std::string name = row.fileName;
  if (row.content == ContentKind::kBmp) {
    if (Contains(name, "Welcome")) return BmpFile(WelcomePicture(random, 500 / scale, 312 / scale), 24);
    int width = (560 + 16 * (row.id % 7)) / scale, height = (220 + 8 * (row.id % 5)) / scale;
    return BmpFile(KeyboardPicture(random, width, height), 8);
  }
  int width = (320 + 40 * (row.id % 9)) / scale, height = (200 + 30 * (row.id % 7)) / scale;
  return PngFile(ScreenshotPicture(random, width, height));
}

Bytes OwnSizeFile(const Options& options, const Language& language, const ManifestRow& row) {
  Random random(static_cast<std::uint64_t>(row.id) * 2 + (options.full ? 1 : 0));
  switch (row.content) {
    case ContentKind::kGlyphFont: return ReadFile(options.fontPath);
    case ContentKind::kConfig: return ConfigFile(false);
    case ContentKind::kLicenceCn: return LicenceCn();
    case ContentKind::kLicenceEn: return LicenceEn();
    case ContentKind::kExecutable: return ProgramFile(options, row.fileName);
    case ContentKind::kBmp: case ContentKind::kPng: return PictureFile(options, random, row);
    default: break;
  }
  if (std::strcmp(row.fileName, "dodazaze_en.ini") == 0) return ConfigFile(true);
  for (const FixedSize& fixed : kWordBaseSizes)
    if (fixed.id == row.id)
      return WordBaseFile(language, random, row, options.full ? fixed.bytes : fixed.bytes / kSmallDivisor);
  return Bytes();
}

Bytes SizedFile(const Options& options, const Language& language, const ManifestRow& row, std::size_t size) {
  Random random(static_cast<std::uint64_t>(row.id) * 2 + (options.full ? 1 : 0));
  switch (row.content) {
    case ContentKind::kHtml: return HtmlPage(language, random, row.fileName, size);
    case ContentKind::kText: return TextFile(language, random, row.fileName, size);
    case ContentKind::kHelp: return PackedContainer(random, size, {'I', 'T', 'S', 'F', 3, 0, 0, 0});
    default: return DataFile(language, random, row.id, size, "TVKDAT");
  }
}

// Files with a size of their own first; the rest share what is left of the
// manifest total (full profile) in proportion to their weights, the last
// one taking the rounding, so the total is exact.
std::map<int, Bytes> MakeManifestFiles(const Options& options, const Language& language) {
  std::map<int, Bytes> files;
  unsigned long long ownBytes = 0, weightSum = 0;
  const ManifestRow* lastSized = nullptr;
  for (const ManifestRow& row : kManifest) {
    if (HasOwnSize(row)) {
      files[row.id] = OwnSizeFile(options, language, row);
      ownBytes += files[row.id].size();
    } else {
      weightSum += WeightOf(row);
      lastSized = &row;
    }
  }
  if (options.full && ownBytes >= kFullManifestBytes) Fail("fixed files exceed the manifest total");
  unsigned long long budget = options.full ? kFullManifestBytes - ownBytes : weightSum * 1024 / kSmallDivisor;
  unsigned long long given = 0, weightSoFar = 0;
  for (const ManifestRow& row : kManifest) {
    if (HasOwnSize(row)) continue;
    weightSoFar += WeightOf(row);
    unsigned long long upTo = &row == lastSized ? budget : budget * weightSoFar / weightSum;
    files[row.id] = SizedFile(options, language, row, static_cast<std::size_t>(upTo - given));
    given = upTo;
  }
  return files;
}

// The speech-engine package. Given a real installer package, that package
// followed by bytes that do not compress up to the profile's size: the
// installer reads only the sectors that its compound document names, so
// the padding changes nothing but the size and the packed size. Without
// one, a compound document signature over a cabinet that does not compress.
Bytes PackageFile(const Options& options, int id) {
  Random random(static_cast<std::uint64_t>(id) * 2 + (options.full ? 1 : 0));
  std::size_t size = options.full ? kFullPackageBytes : kFullPackageBytes / kSmallDivisor;
  if (options.packagePath.empty())
    return PackedContainer(random, size, {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1});
  Bytes package = ReadFile(options.packagePath);
  if (package.size() > size) Fail(options.packagePath + " is larger than the speech package's size");
  Bytes padding = PackedContainer(random, size - package.size(), {});
  package.insert(package.end(), padding.begin(), padding.end());
  return package;
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);
  if (std::system(("mkdir -p '" + options.outDir + "'").c_str()) != 0) Fail("cannot create " + options.outDir);
  Language language;

  std::map<int, Bytes> files = MakeManifestFiles(options, language);
  unsigned long long manifestBytes = 0;
  for (const ManifestRow& row : kManifest) {
    WriteFile(options.outDir + "/" + row.fileName, files[row.id]);
    manifestBytes += files[row.id].size();
  }
  unsigned long long extraBytes = 0;
  for (const ExtraPayload& extra : kExtraPayloads) {
    Bytes package = PackageFile(options, extra.id);
    WriteFile(options.outDir + "/" + extra.fileName, package);
    extraBytes += package.size();
  }
  std::printf("sample_payload: %s profile in %s: %zu manifest files, %llu bytes; %zu extra, %llu bytes\n",
              options.full ? "full" : "small", options.outDir.c_str(), kManifestRowCount, manifestBytes,
              kExtraPayloadCount, extraBytes);
  return 0;
}
