// The installer's own texts. The Chinese ones reach the binary as GB2312
// (texts_gb2312.cpp) or Big5 (texts_big5.cpp) bytes, and the interface's
// also as UTF-16 (texts_wide.cpp); the sources stay UTF-8.
#pragma once

#include "resources/languages.h"

// The texts of resources/ui_texts.inc twice: as GB2312 bytes (kTextOk, ...),
// which the glyph painters draw, and as UTF-16 (wide::kTextOk, ...), which
// the controls carry as their window texts for screen readers.
#define TAVIK_TEXT(name, text) extern const char name[];
#include "resources/ui_texts.inc"
#undef TAVIK_TEXT

namespace wide {
#define TAVIK_TEXT(name, text) extern const wchar_t name[];
#include "resources/ui_texts.inc"
#undef TAVIK_TEXT
}  // namespace wide

// The UTF-16 twin of one of the GB2312 texts above (by its address or its
// bytes); null for any other text.
const wchar_t* WideTwinOf(const char* text);

// Shown by Windows (Vista on) to a user who logs off while the install runs.
extern const wchar_t kTextInstallingReason[];  // "正在安装塔维克沐编 Installing Tavik Roved Editor"

// Names handed to the shell, indexed by LanguageColumn(uiLanguage); the
// Traditional column is Big5.
extern const char* const kEditorName[kLanguageCount];  // also the Start-menu folder
extern const char* const kUninstallerName[kLanguageCount];
extern const char* const kNotesEditorName[kLanguageCount];

// Big5 halves of the tables above (texts_big5.cpp).
extern const char kBig5EditorName[];
extern const char kBig5UninstallerName[];
extern const char kBig5NotesEditorName[];
