// Stale dictionary file names (see stale_files.h).
#include "base/stale_files.h"

#include "base/bounded_format.h"

namespace {

// The four formats are applied in this order for each suffix.
constexpr const char* kStaleBaseNames[] = {"pykeys.dic", "Gbkflat.dic", "flatAuto.dic",
                                           "flatAdjust.dic"};
constexpr std::size_t kBaseNameCount = sizeof kStaleBaseNames / sizeof kStaleBaseNames[0];
static_assert(kBaseNameCount * 16 == kStaleFileCount, "one name per base and suffix");

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool FormatStaleFileName(char* out, std::size_t size, std::size_t index) {
  if (index >= kStaleFileCount) {
    if (out != nullptr && size > 0) out[0] = '\0';
    return false;
  }
  // Suffix 0 is the bare name, never "0000"; suffixes 1..15 are their four
  // binary digits, the last one changing fastest.
  unsigned suffix = static_cast<unsigned>(index / kBaseNameCount);
  const char* base = kStaleBaseNames[index % kBaseNameCount];
  if (suffix == 0) return CopyBounded(out, size, base);
  return FormatBounded(out, size, "%s%1u%1u%1u%1u", base, (suffix >> 3) & 1u, (suffix >> 2) & 1u,
                       (suffix >> 1) & 1u, suffix & 1u);
}

bool SameFileNameIgnoringCase(const char* a, const char* b) {
  while (*a != '\0' && *b != '\0') {
    if (static_cast<unsigned char>(*a) & 0x80) {
      // A double-byte character compares exactly: its trail byte may look
      // like an ASCII letter but is not one.
      if (*a != *b || a[1] != b[1]) return false;
      if (a[1] == '\0') return true;
      a += 2;
      b += 2;
      continue;
    }
    if (FoldCase(*a) != FoldCase(*b)) return false;
    ++a;
    ++b;
  }
  return *a == *b;
}
