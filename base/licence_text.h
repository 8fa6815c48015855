// The Chinese licence as list lines: the inflated text cut at its line
// breaks in place. No Windows header here (also built natively).
#pragma once

#include <cstddef>

// The list box takes no more lines than this.
constexpr std::size_t kMaxLicenceLines = 500;

// Cuts text into lines in place and stores where each starts in
// lines[0..capacity). A line ends at a carriage return, which becomes the
// terminator; a line feed right after it is skipped, any other line feed
// stays in the line. Text after the last carriage return is no line.
// Returns the number of lines stored.
std::size_t SplitLicenceLines(char* text, const char** lines, std::size_t capacity);
