// The glyph font of the test payload, loaded once per test process.
#pragma once

#include <vector>

// Sets appInstance and loads the glyph font of the test payload (once).
bool EnsureTestGlyphFont();
// The font's bytes as loaded; empty before EnsureTestGlyphFont succeeds.
const std::vector<unsigned char>& TestGlyphFontData();
