// The bitmap glyph font in memory: four monochrome images, each selected
// into a memory device context for the whole run, so drawing a glyph is a
// plain BitBlt with no decoding.
#include "render/render.h"
#include "resources/app_state.h"

namespace {
HGDIOBJ previousBitmap[kGlyphImageCount] = {};
}  // namespace

int LoadGlyphFont(const unsigned char* fontData) {
  for (int k = 0; k < kGlyphImageCount; ++k) {
    glyphBitmap[k] = CreateBitmap(kGlyphImageWidth, kGlyphImageHeight, 1, 1,
                                  fontData + k * kGlyphImageBytes);
    glyphDc[k] = CreateCompatibleDC(nullptr);
    if (glyphBitmap[k] == nullptr || glyphDc[k] == nullptr) {
      ReleaseGlyphFont();
      return 0;
    }
    previousBitmap[k] = SelectObject(glyphDc[k], glyphBitmap[k]);
  }
  return 1;
}

void ReleaseGlyphFont() {
  for (int k = 0; k < kGlyphImageCount; ++k) {
    if (glyphDc[k] != nullptr) {
      if (previousBitmap[k] != nullptr) SelectObject(glyphDc[k], previousBitmap[k]);
      DeleteDC(glyphDc[k]);
      glyphDc[k] = nullptr;
    }
    previousBitmap[k] = nullptr;
    if (glyphBitmap[k] != nullptr) {
      DeleteObject(glyphBitmap[k]);
      glyphBitmap[k] = nullptr;
    }
  }
}
