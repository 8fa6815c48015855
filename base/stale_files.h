// Names of the stale dictionary files that an install deletes before it
// writes the new dictionaries: earlier releases left numbered variants of
// four dictionaries beside the current ones, and the input method would
// otherwise pick them up. No Windows header here (also built natively).
#pragma once

#include <cstddef>

constexpr std::size_t kStaleFileCount = 64;

// Fills out with the index-th stale file name (0 <= index < kStaleFileCount)
// in deletion order: every base name without a suffix, then every base name
// with "0001", then with "0010", and so on to "1111". False when index is
// out of range or the name does not fit (out is then empty).
bool FormatStaleFileName(char* out, std::size_t size, std::size_t index);

// True when a and b are the same file name to a file system that ignores
// letter case. Only ASCII letters fold; double-byte characters (a lead byte
// with bit 7 set and its trail byte) must match exactly.
bool SameFileNameIgnoringCase(const char* a, const char* b);
