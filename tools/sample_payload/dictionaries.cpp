// The sample payload's binary files: dictionaries of the word base and
// compressed containers (see dictionaries.h).
#include "tools/sample_payload/dictionaries.h"

#include <cstring>
#include <string>

namespace {

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
    if (random.Below(4) == 0 && ++second >= language.SyllableCount()) {
      second = 0;
      first = (first + 1) % language.SyllableCount();
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

}  // namespace

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
