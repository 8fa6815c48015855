// PNG encoding with zlib (see png_encode.h).
#include "tools/png_encode.h"

#include <zlib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutBe32(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(Bytes& out, const char type[4], const Bytes& data) {
  PutBe32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeStart = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, out.data() + typeStart, static_cast<uInt>(out.size() - typeStart));
  PutBe32(out, static_cast<std::uint32_t>(crc));
}

// Each byte less the same channel of the pixel to its left: smooth pictures
// then compress far better than unfiltered ones.
Bytes SubFilteredRows(int width, int height, const Bytes& rgb) {
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  Bytes raw;
  raw.reserve((rowBytes + 1) * static_cast<std::size_t>(height));
  for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) {
    raw.push_back(1);
    const std::uint8_t* pixels = rgb.data() + row * rowBytes;
    for (std::size_t i = 0; i < rowBytes; ++i)
      raw.push_back(static_cast<std::uint8_t>(pixels[i] - (i < 3 ? 0 : pixels[i - 3])));
  }
  return raw;
}

}  // namespace

bool EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb, const std::string& software,
               std::vector<std::uint8_t>& png) {
  if (width <= 0 || height <= 0 ||
      rgb.size() != static_cast<std::size_t>(width) * 3 * static_cast<std::size_t>(height))
    return false;
  const Bytes raw = SubFilteredRows(width, height, rgb);
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  Bytes packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return false;
  packed.resize(packedSize);

  Bytes header;
  PutBe32(header, static_cast<std::uint32_t>(width));
  PutBe32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace

  png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(png, "IHDR", header);
  if (!software.empty()) {
    std::string text = std::string("Software") + '\0' + software;
    PutChunk(png, "tEXt", Bytes(text.begin(), text.end()));
  }
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", {});
  return true;
}
