// The sample payload's language material (see language.h).
#include "tools/sample_payload/language.h"

#include <utility>

#include "tools/sample_payload/bytes.h"

const std::string& Form(const Word& word, Encoding encoding) {
  switch (encoding) {
    case Encoding::kBig5: return word.big5;
    case Encoding::kUtf8: return word.utf8;
    default: return word.gb;
  }
}

Language::Language(const std::string& textsDir)
    : syllables_(ReadWords(textsDir + "/syllables.txt")),
      englishWords_(ReadWords(textsDir + "/english_words.txt")),
      wordRanks_(kWordCount),
      hanziRanks_(kLevel1Count),
      englishRanks_(englishWords_.size()) {
  for (unsigned lead = 0xB0; lead <= 0xD7; ++lead)
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
      if (lead == 0xD7 && trail > 0xF9) break;  // the end of level 1
      unsigned index = static_cast<unsigned>(hanzi_.size());
      hanzi_.push_back({static_cast<unsigned char>(lead), static_cast<unsigned char>(trail),
                        index * SyllableCount() / kLevel1Count});
    }
  Random random(2024);
  for (std::size_t i = hanzi_.size() - 1; i > 0; --i) std::swap(hanzi_[i], hanzi_[random.Below(static_cast<unsigned>(i + 1))]);
  for (unsigned i = 0; i < kWordCount; ++i) words_.push_back(MakeWord(random));
  for (const char* mark : {"，", "。", "、", "：", "；", "“", "”", "（", "）"})
    punctuation_.push_back({Gb(mark), Convert(mark, "BIG5", "UTF-8"), mark, mark, "", {}});
}

std::string Language::Utf8Of(const Hanzi& h) {
  return Convert(std::string{static_cast<char>(h.lead), static_cast<char>(h.trail)}, "UTF-8", "GB2312");
}

Word Language::MakeWord(Random& random) const {
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
    word.pinyin += syllables_[h.syllable];
    word.pinyin += static_cast<char>('1' + (h.lead * 7 + h.trail) % 4);
  }
  word.utf8 = Convert(word.gb, "UTF-8", "GB2312");
  word.big5 = Convert(word.utf8, "BIG5", "UTF-8");
  word.traditional = word.big5.empty() ? word.utf8 : Convert(word.big5, "UTF-8", "BIG5");
  return word;
}
