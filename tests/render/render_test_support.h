// Shared helpers of the render tests: the glyph font of the test payload,
// glyph cells compared on memory surfaces, and PNG output for screenshots.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/surface.h"

// Inflates font resource 110 of the test payload and loads it into glyphDc
// (once per process). Returns false when either step fails.
bool EnsureGlyphFont();
// The inflated font data; empty before EnsureGlyphFont succeeded.
const std::vector<unsigned char>& GlyphFontData();
// Whether the font data has ink at pixel (x, y) of image.
bool FontInk(int image, int x, int y);

// Pixels of the 16x16 square at (x, y) of surface that differ from the glyph
// cell of code, with its ink shown as ink and its paper as paper.
int GlyphMismatches(const Surface& surface, int x, int y, unsigned short code, COLORREF ink,
                    COLORREF paper);

// Writes 32-bit 0x00RRGGBB pixels, top row first, as an RGB PNG.
bool WritePng(const std::string& path, const unsigned* pixels, int width, int height);
bool WritePng(const std::string& path, const Surface& surface);

// Folder "screenshots" beside the running test executable (created).
std::string ScreenshotFolder();
