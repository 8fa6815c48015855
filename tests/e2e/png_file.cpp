// The screenshots' files: the shared PNG encoder, then one write.
#include "tests/e2e/png_file.h"

#include <cstdio>

#include "tools/png_encode.h"

bool WritePng(const std::wstring& path, int width, int height, const std::vector<std::uint8_t>& rgb) {
  std::vector<std::uint8_t> file;
  if (!EncodePng(width, height, rgb, std::string(), file)) return false;
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}
