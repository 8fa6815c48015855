// Glyph cell arithmetic (see glyph_locate.h).
#include "base/glyph_locate.h"

namespace {
constexpr unsigned short kCodeRong = 0xE946;     // GBK code outside GB2312
constexpr unsigned short kCodeBoxLine = 0xA9A4;  // GB2312 row 9, no row of its own
}  // namespace

int LocateGlyph(unsigned short code, int* x, int* y, int* image) {
  if (code == kCodeRong || code == kCodeBoxLine) {
    *image = 3;
    *x = code == kCodeRong ? 0 : 16;
    *y = 896;
    return 1;
  }
  // For lead and trail bytes of at least 0xA1 this is (lead - 0xA0) * 96 +
  // (trail - 0xA0): a 96-column grid that the two subtractions below fold
  // into the 94-column cell numbering, symbol rows first, hanzi from 658.
  unsigned c = (static_cast<unsigned>(code) + 0x5F60u) & 0xFFFFu;
  int v = static_cast<int>((c >> 8) * 96 + (c & 0xFFu));
  int d, b;
  if (code < 0xB0A1) {
    d = v - 97;
    b = v - 97;
  } else {
    d = v - 1537;
    b = v - 879;
  }
  int q = d / 96;  // truncates toward zero, as the cell numbering expects
  unsigned g = static_cast<unsigned>(b - 2 * q) & 0xFFFFu;
  *x = static_cast<int>(g % 32) * 16;
  int top = static_cast<int>(g / 32) * 16;
  int img = top / kGlyphImageHeight;
  *image = img > 3 ? 3 : img;
  *y = top % kGlyphImageHeight;
  return 1;
}
