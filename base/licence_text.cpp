// The Chinese licence cut into list lines (see licence_text.h).
#include "base/licence_text.h"

std::size_t SplitLicenceLines(char* text, const char** lines, std::size_t capacity) {
  std::size_t count = 0;
  char* lineStart = text;
  // A GB2312 trail byte is never 13, so a byte-wise scan cannot cut a
  // character in two.
  for (char* cursor = text; *cursor != '\0' && count < capacity; ++cursor) {
    if (*cursor != '\r') continue;
    *cursor = '\0';
    lines[count++] = lineStart;
    if (cursor[1] == '\n') ++cursor;
    lineStart = cursor + 1;
  }
  return count;
}
