// The installer's GB2312 texts. This file is compiled with
// -fexec-charset=GBK, so every narrow literal below is GB2312 in the binary
// while the source stays readable UTF-8. Keep Big5 texts out of this file.
#include "texts.h"

#define TAVIK_TEXT(name, text) const char name[] = text;
#include "resources/ui_texts.inc"
#undef TAVIK_TEXT

static const char kGbEditorName[] = "塔维克沐编";
static const char kGbUninstallerName[] = "塔维克沐编卸载";
static const char kGbNotesEditorName[] = "塔维克文本编辑";

const char* const kEditorName[kLanguageCount] = {"Tavik Roved Editor", kGbEditorName, kBig5EditorName};
const char* const kUninstallerName[kLanguageCount] = {"Tavik Roved Editor UnInstall", kGbUninstallerName,
                                         kBig5UninstallerName};
const char* const kNotesEditorName[kLanguageCount] = {"Morvelpad", kGbNotesEditorName, kBig5NotesEditorName};
