// PNG encoding of 8-bit RGB pictures, for the sample payload's pictures and
// the screenshots of the Windows tests. No Windows header: the host tools
// and the Windows tests both build it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb holds height rows of width pixels, 3 bytes each (red, green, blue),
// top row first. Every row is filtered with "Sub" and the whole picture is
// one IDAT chunk of a zlib stream at level 9, so the same picture always
// gives the same bytes; software, when not empty, goes into a "Software"
// text chunk. False when the sizes do not match or compression fails.
bool EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb, const std::string& software,
               std::vector<std::uint8_t>& png);
