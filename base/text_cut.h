// Shortening display texts to a fixed buffer without splitting a double-byte
// character. Only for texts shown to the user: a path is never cut (see
// base/bounded_format.h). No Windows header here (also built natively).
#pragma once

#include <cstddef>

// Copies as much of text as fits into out[0..size), whole characters only
// (a byte with bit 7 set starts a two-byte character), always terminated.
// Returns true when the whole text fit.
bool CopyCut(char* out, std::size_t size, const char* text);

// A platform call that fills a fixed buffer may stop between the two bytes of
// a character; this drops such a lone lead byte from the end of text.
void DropDanglingLead(char* text);
