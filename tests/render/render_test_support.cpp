// Shared helpers of the render tests (see render_test_support.h).
#include "render_test_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>

#include "install/install.h"
#include "render/render.h"
#include "resources/resource.h"
#include "startup/startup.h"
#include "tests/support/glyph_font.h"

namespace {

void PutBigEndian(std::vector<unsigned char>& out, unsigned value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back((value >> shift) & 0xFF);
}

void PutChunk(std::vector<unsigned char>& out, const char* type,
              const std::vector<unsigned char>& data) {
  PutBigEndian(out, static_cast<unsigned>(data.size()));
  std::vector<unsigned char> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBigEndian(out, crc32(0, body.data(), static_cast<uInt>(body.size())));
}
}  // namespace

bool EnsureGlyphFont() { return EnsureTestGlyphFont(); }

const std::vector<unsigned char>& GlyphFontData() { return TestGlyphFontData(); }

bool FontInk(int image, int x, int y) {
  const unsigned char byte = TestGlyphFontData()[image * kGlyphImageBytes + y * 64 + x / 8];
  return (byte & (0x80 >> (x % 8))) == 0;
}

int GlyphMismatches(const Surface& surface, int x, int y, unsigned short code, COLORREF ink,
                    COLORREF paper) {
  int sx, sy, image;
  LocateGlyph(code, &sx, &sy, &image);
  int mismatches = 0;
  for (int dy = 0; dy < kGlyphCell; ++dy) {
    for (int dx = 0; dx < kGlyphCell; ++dx) {
      const COLORREF expected = FontInk(image, sx + dx, sy + dy) ? ink : paper;
      mismatches += surface.Pixel(x + dx, y + dy) != expected;
    }
  }
  return mismatches;
}

bool WritePng(const std::string& path, const Surface& surface) {
  return surface.ok() && WritePng(path, surface.Bits(), surface.width(), surface.height());
}

bool WritePng(const std::string& path, const unsigned* pixels, int width, int height) {
  std::vector<unsigned char> raw;
  raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * width));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < width; ++x) {
      const unsigned pixel = pixels[y * width + x];
      raw.push_back((pixel >> 16) & 0xFF);
      raw.push_back((pixel >> 8) & 0xFF);
      raw.push_back(pixel & 0xFF);
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<unsigned char> packed(packedSize);
  if (compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size())) != Z_OK) {
    return false;
  }
  packed.resize(packedSize);

  std::vector<unsigned char> header;
  PutBigEndian(header, static_cast<unsigned>(width));
  PutBigEndian(header, static_cast<unsigned>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", packed);
  PutChunk(file, "IEND", {});

  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}

std::string ScreenshotFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  folder.erase(folder.find_last_of("\\/") + 1);
  folder += "screenshots";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// Runs in every test executable that links this file: a run registered for
// a code page must really get it, or its results mean nothing.
TEST(CodePage, IsTheOneTheRunAskedFor) {
  const char* wanted = std::getenv("TAVIK_EXPECT_ACP");
  if (wanted == nullptr) GTEST_SKIP() << "no code page asked for";
  EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(wanted)));
}
