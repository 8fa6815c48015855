// The sample payload's language material: GB2312 level-1 hanzi with a
// plausible syllable each, a vocabulary of words drawn from them with
// their Big5, UTF-8 and pinyin forms, and English words; all drawn with
// natural-language frequencies.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/sample_payload/random.h"

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

enum class Encoding { kGb2312, kBig5, kUtf8 };

const std::string& Form(const Word& word, Encoding encoding);

class Language {
 public:
  // textsDir holds syllables.txt and english_words.txt.
  explicit Language(const std::string& textsDir);

  const Hanzi& DrawHanzi(Random& random) const { return hanzi_[hanziRanks_.Draw(random)]; }
  const Hanzi& HanziAt(std::size_t rank) const { return hanzi_[rank % hanzi_.size()]; }
  const Word& DrawWord(Random& random) const { return words_[wordRanks_.Draw(random)]; }
  const Word& Punctuation(std::size_t index) const { return punctuation_[index]; }
  const std::string& DrawEnglish(Random& random) const { return englishWords_[englishRanks_.Draw(random)]; }
  const std::string& Syllable(std::size_t index) const { return syllables_[index]; }
  unsigned SyllableCount() const { return static_cast<unsigned>(syllables_.size()); }

  static std::string Utf8Of(const Hanzi& h);

 private:
  static constexpr unsigned kWordCount = 6000;
  static constexpr unsigned kLevel1Count = 3755;

  Word MakeWord(Random& random) const;

  std::vector<std::string> syllables_, englishWords_;
  std::vector<Hanzi> hanzi_;
  std::vector<Word> words_;
  std::vector<Word> punctuation_;
  Zipf wordRanks_, hanziRanks_, englishRanks_;
};
