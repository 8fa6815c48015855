// Display-text cutting (see text_cut.h).
#include "base/text_cut.h"

#include <cstring>

namespace {
// Bytes of the character that starts at text; a lead byte in the last
// position stands alone, as the glyph walker treats it.
std::size_t CharacterLength(const char* text) {
  return (static_cast<unsigned char>(text[0]) & 0x80) && text[1] != '\0' ? 2 : 1;
}
}  // namespace

bool CopyCut(char* out, std::size_t size, const char* text) {
  if (out == nullptr || size == 0) return false;
  std::size_t kept = 0;
  while (text[kept] != '\0') {
    std::size_t length = CharacterLength(text + kept);
    if (kept + length > size - 1) break;
    kept += length;
  }
  std::memcpy(out, text, kept);
  out[kept] = '\0';
  return text[kept] == '\0';
}

void DropDanglingLead(char* text) {
  std::size_t i = 0;
  while (text[i] != '\0') {
    std::size_t length = CharacterLength(text + i);
    if (length == 1 && (static_cast<unsigned char>(text[i]) & 0x80)) {
      text[i] = '\0';
      return;
    }
    i += length;
  }
}
