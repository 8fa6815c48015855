// Writes 24-bit RGB pictures as PNG files, so the screenshots of the
// end-to-end runs open in any viewer without a conversion step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb holds height rows of width pixels, 3 bytes each, top row first.
bool WritePng(const std::wstring& path, int width, int height, const std::vector<std::uint8_t>& rgb);
