// The in-place rewrite of the two configuration keys (see config_rewrite.h).
#include "install/config_rewrite.h"

#include <cstring>

#include "install/bounded_format.h"

namespace {
constexpr char kSectionHeader[] = "[Config]";
constexpr char kUseBmpFontKey[] = "UseBmpFont=";
constexpr char kForceLanguageKey[] = "ForceLanguage=";

// Writes text over the start of the line that began at lineStart and
// continues reading after that line. A stream open for update must be
// positioned between reading and writing, hence a seek on both sides.
void WriteOverLine(std::FILE* file, long lineStart, long lineEnd, const char* text) {
  std::fseek(file, lineStart, SEEK_SET);
  std::fputs(text, file);
  std::fseek(file, lineEnd, SEEK_SET);
}
}  // namespace

void RewriteConfigKeys(std::FILE* file, char useBmpFont, int forceLanguage) {
  char useBmpFontText[32];
  char forceLanguageText[32];
  FormatBounded(useBmpFontText, sizeof useBmpFontText, "%s%c", kUseBmpFontKey, useBmpFont);
  FormatBounded(forceLanguageText, sizeof forceLanguageText, "%s%d", kForceLanguageKey,
                forceLanguage);

  bool sectionSeen = false;
  bool useBmpFontSeen = false;
  bool forceLanguageSeen = false;
  char line[kConfigLinePiece + 1];
  for (;;) {
    long lineStart = std::ftell(file);
    if (std::fgets(line, sizeof line, file) == nullptr) break;
    long lineEnd = std::ftell(file);
    if (std::strstr(line, kSectionHeader) != nullptr) sectionSeen = true;
    if (std::strstr(line, kUseBmpFontKey) != nullptr) {
      WriteOverLine(file, lineStart, lineEnd, useBmpFontText);
      useBmpFontSeen = true;
    }
    if (std::strstr(line, kForceLanguageKey) != nullptr) {
      WriteOverLine(file, lineStart, lineEnd, forceLanguageText);
      forceLanguageSeen = true;
    }
    if (useBmpFontSeen && forceLanguageSeen) return;
  }

  std::fseek(file, 0, SEEK_END);
  if (!sectionSeen) std::fputs("\r\n\r\n[Config]\r\n\r\n", file);
  if (!useBmpFontSeen) std::fprintf(file, "\r\n%s\r\n", useBmpFontText);
  if (!forceLanguageSeen) std::fprintf(file, "\r\n%s\r\n", forceLanguageText);
}
