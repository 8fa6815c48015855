// Decisions of start-up and of the message loop that need no window: the
// shell-text language, the program's own folder and where Enter goes.
// No Windows header here (also built natively).
#pragma once

#include <cstddef>

#include "base/path_text.h"

// Language of the texts handed to the shell, a kLanguage* value. Only a
// double-byte system whose default language is Chinese gets a Chinese one;
// odd sublanguages (Taiwan, Hong Kong, Macau) are the Traditional ones.
int ChooseUiLanguage(int dbcsSystem, unsigned short languageId);

// Folder of modulePath, trailing backslash kept, into out[0..size).
// A path that is empty or holds no backslash gives "A:\". Returns false,
// leaving out empty, when the folder does not fit. isLeadByte: as for the
// path texts (null for a single-byte code page).
bool ExtractModuleDir(const char* modulePath, char* out, std::size_t size, LeadByteTest isLeadByte);

// Where the message loop sends an Enter key press.
enum class EnterTarget {
  kFocusedButton,   // post the focused push button's id, drop the key
  kDefaultCommand,  // post defaultCommandId, then let the dialog manager have the key
};

// focusClassName and focusStyle describe the window with the keyboard
// focus; they are ignored when hasFocus is false.
EnterTarget ChooseEnterTarget(bool hasFocus, const char* focusClassName, unsigned long focusStyle);
