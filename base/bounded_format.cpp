// Bounded formatting (see bounded_format.h).
#include "base/bounded_format.h"

#include <cstdio>
#include <cstring>

bool FormatBoundedV(char* out, std::size_t size, const char* format, va_list args) {
  if (out == nullptr || size == 0) return false;
  int written = std::vsnprintf(out, size, format, args);
  if (written < 0 || static_cast<std::size_t>(written) >= size) {
    out[0] = '\0';
    return false;
  }
  return true;
}

bool FormatBounded(char* out, std::size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool fits = FormatBoundedV(out, size, format, args);
  va_end(args);
  return fits;
}

bool CopyBounded(char* out, std::size_t size, const char* text) {
  if (out == nullptr || size == 0) return false;
  std::size_t length = std::strlen(text);
  if (length >= size) {
    out[0] = '\0';
    return false;
  }
  std::memcpy(out, text, length + 1);
  return true;
}
