// Mixed single-/double-byte text: double-byte characters come from the
// bitmap glyph font, single bytes from the device context's current font.
#include "render/render.h"
#include "base/bounded_format.h"
#include "resources/app_state.h"

HFONT sampleFont = nullptr;

namespace {
constexpr int kWideTextCapacity = 600;
WCHAR wideTextBuffer[kWideTextCapacity];

// Width of one single-byte character in the DC's font; 0 when the query fails.
int SingleByteWidth(HDC dc, const char* character) {
  SIZE extent;
  return GetTextExtentPointA(dc, character, 1, &extent) ? extent.cx : 0;
}
}  // namespace

SIZE MeasureMixedText(HDC dc, const char* text) {
  SIZE extent = {0, kGlyphCell};
  for (const char* p = text; *p != '\0';) {
    if (static_cast<unsigned char>(*p) & 0x80) {
      extent.cx += kGlyphCell;
      // A lead byte in the last position still counts as a whole glyph.
      p += p[1] != '\0' ? 2 : 1;
    } else {
      extent.cx += SingleByteWidth(dc, p);
      ++p;
    }
  }
  return extent;
}

SIZE DrawMixedText(HDC dc, int x, int y, const char* text, int inverse) {
  int previousMode = SetBkMode(dc, TRANSPARENT);
  int pen = x;
  for (const char* p = text; *p != '\0';) {
    int advance;
    if (static_cast<unsigned char>(*p) & 0x80) {
      // A trailing lead byte pairs with the terminating zero, as it is.
      unsigned short code = static_cast<unsigned short>(
          (static_cast<unsigned char>(p[0]) << 8) | static_cast<unsigned char>(p[1]));
      int sx, sy, image;
      LocateGlyph(code, &sx, &sy, &image);
      BitBlt(dc, pen, y, kGlyphCell, kGlyphCell, glyphDc[image], sx, sy,
             inverse ? SRCPAINT : SRCAND);
      advance = kGlyphCell;
      p += p[1] != '\0' ? 2 : 1;
    } else {
      advance = SingleByteWidth(dc, p);
      // One pixel below the glyph cells, where the system font sits best.
      TextOutA(dc, pen, y + 1, p, 1);
      ++p;
    }
    pen += advance;
  }
  SetBkMode(dc, previousMode);
  return SIZE{pen - x, kGlyphCell};
}

void TextOutGbk(HDC dc, int x, int y, const char* text, int length) {
  if (isWindowsNT) {
    TextOutA(dc, x, y, text, length);
    return;
  }
  int count = MultiByteToWideChar(936, 0, text, length, wideTextBuffer, kWideTextCapacity);
  TextOutW(dc, x, y, wideTextBuffer, count);
}

int CreateSampleFont() {
  LOGFONTA font;
  ZeroMemory(&font, sizeof font);
  GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font);
  CopyBounded(font.lfFaceName, sizeof font.lfFaceName, "Courier New");
  font.lfHeight = 16;
  font.lfWidth = 8;
  font.lfWeight = FW_NORMAL;
  font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  font.lfCharSet = GB2312_CHARSET;
  sampleFont = CreateFontIndirectA(&font);
  return 1;
}

int IsDbcsSystem() {
  CPINFO info;
  return GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1 ? 1 : 0;
}
