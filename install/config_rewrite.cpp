// The in-place rewrite of the two configuration keys (see config_rewrite.h).
#include "install/config_rewrite.h"

#include <cstring>

#include "install/bounded_format.h"

namespace {
constexpr char kSectionHeader[] = "[Config]";
constexpr char kUseBmpFontKey[] = "UseBmpFont=";
constexpr char kForceLanguageKey[] = "ForceLanguage=";

// Writes value over the old value of key in piece, the bytes the file holds
// from pieceStart, and goes on reading after the piece. Only the value's
// characters are written: whatever stands before the key stays, and both
// keys on one line each get their value. When the old value is shorter than
// the new one the write would run into the line end and join this line with
// the next: the line is then left as it is and the key counts as missing
// (it is appended at the end). A stream open for update must be positioned
// between reading and writing, hence a seek on both sides.
bool RewriteValue(std::FILE* file, long pieceStart, long pieceEnd, const char* piece,
                  const char* key, const char* value) {
  const char* found = std::strstr(piece, key);
  if (found == nullptr) return false;
  const char* old = found + std::strlen(key);
  std::size_t valueLength = std::strlen(value);
  for (std::size_t i = 0; i < valueLength; ++i) {
    if (old[i] == '\0' || old[i] == '\r' || old[i] == '\n') return false;
  }
  std::fseek(file, pieceStart + static_cast<long>(old - piece), SEEK_SET);
  std::fputs(value, file);
  std::fseek(file, pieceEnd, SEEK_SET);
  return true;
}
}  // namespace

void RewriteConfigKeys(std::FILE* file, char useBmpFont, int forceLanguage) {
  char useBmpFontValue[8];
  char forceLanguageValue[16];
  FormatBounded(useBmpFontValue, sizeof useBmpFontValue, "%c", useBmpFont);
  FormatBounded(forceLanguageValue, sizeof forceLanguageValue, "%d", forceLanguage);

  bool sectionSeen = false;
  bool useBmpFontSeen = false;
  bool forceLanguageSeen = false;
  char line[kConfigLinePiece + 1];
  for (;;) {
    long lineStart = std::ftell(file);
    if (std::fgets(line, sizeof line, file) == nullptr) break;
    long lineEnd = std::ftell(file);
    if (std::strstr(line, kSectionHeader) != nullptr) sectionSeen = true;
    if (RewriteValue(file, lineStart, lineEnd, line, kUseBmpFontKey, useBmpFontValue)) {
      useBmpFontSeen = true;
    }
    if (RewriteValue(file, lineStart, lineEnd, line, kForceLanguageKey, forceLanguageValue)) {
      forceLanguageSeen = true;
    }
    if (useBmpFontSeen && forceLanguageSeen) return;
  }

  std::fseek(file, 0, SEEK_END);
  if (!sectionSeen) std::fputs("\r\n\r\n[Config]\r\n\r\n", file);
  if (!useBmpFontSeen) std::fprintf(file, "\r\n%s%s\r\n", kUseBmpFontKey, useBmpFontValue);
  if (!forceLanguageSeen) std::fprintf(file, "\r\n%s%s\r\n", kForceLanguageKey, forceLanguageValue);
}
