// The interface languages, as uiLanguage and forceLanguage hold them, and
// the order of every per-language text table. No Windows header here (also
// built natively).
#pragma once

constexpr int kLanguageEnglish = 0;
constexpr int kLanguageSimplified = 1;   // Chinese, GB2312
constexpr int kLanguageTraditional = 2;  // Chinese, Big5 for the shell's texts
constexpr int kLanguageCount = 3;        // the ones this program has texts for

// Two more Chinese interface values that the editor accepts; this program
// never offers them, but it reads them as Chinese all the same.
constexpr int kLanguageChineseOther[] = {4, 5};

constexpr bool IsChineseLanguage(int language) {
  return language == kLanguageSimplified || language == kLanguageTraditional ||
         language == kLanguageChineseOther[0] || language == kLanguageChineseOther[1];
}

// A text table's column for language: below English reads English, past
// Traditional reads Traditional.
constexpr int LanguageColumn(int language) {
  if (language < kLanguageSimplified) return kLanguageEnglish;
  return language == kLanguageSimplified ? kLanguageSimplified : kLanguageTraditional;
}
