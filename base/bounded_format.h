// Bounded formatting for every path and text buffer of the installer.
// A result that does not fit is a failure, never a shorter text: a cut path
// names a different file. No Windows header here (also built natively).
#pragma once

#include <cstdarg>
#include <cstddef>

// printf-style formatting into out[0..size). Returns true when the whole
// result fit; otherwise returns false and leaves out as an empty text.
bool FormatBounded(char* out, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
bool FormatBoundedV(char* out, std::size_t size, const char* format, va_list args);

// Copies text into out[0..size). Same contract as FormatBounded.
bool CopyBounded(char* out, std::size_t size, const char* text);
