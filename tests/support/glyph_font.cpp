// The glyph font of the test payload (see glyph_font.h).
#include "tests/support/glyph_font.h"

#include "install/install.h"
#include "render/render.h"
#include "resources/resource.h"
#include "startup/startup.h"

namespace {
std::vector<unsigned char> fontData;
}  // namespace

bool EnsureTestGlyphFont() {
  if (!fontData.empty()) return true;
  appInstance = GetModuleHandleA(nullptr);
  std::vector<unsigned char> data(kGlyphFontBytes);
  unsigned long length = static_cast<unsigned long>(data.size());
  if (InflatePayload(IDR_GLYPH_FONT, data.data(), &length) != 0 || length != data.size())
    return false;
  if (!LoadGlyphFont(data.data())) return false;
  fontData.swap(data);  // the glyph bitmaps were made from these bytes; they stay
  return true;
}

const std::vector<unsigned char>& TestGlyphFontData() { return fontData; }
