// Start-up decisions that need no window (see startup_logic.h).
#include "base/startup_logic.h"

#include <cstring>

#include "base/bounded_format.h"
#include "base/path_text.h"
#include "resources/languages.h"

namespace {
constexpr unsigned short kPrimaryLanguageMask = 0x3FF;
constexpr unsigned short kLangChinese = 0x04;

// The button styles that make a check box or a radio button (BS_CHECKBOX,
// BS_AUTOCHECKBOX, BS_RADIOBUTTON, BS_3STATE, BS_AUTO3STATE,
// BS_AUTORADIOBUTTON). Only the type bits count: BS_LEFTTEXT, BS_ICON and
// BS_BITMAP lie in the same low byte and do not make a check box a push
// button.
constexpr unsigned long kButtonTypeMask = 0x0F;
constexpr unsigned long kCheckOrRadioTypes[] = {2, 3, 4, 5, 6, 9};

bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    unsigned char ca = static_cast<unsigned char>(*a);
    unsigned char cb = static_cast<unsigned char>(*b);
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca - 'A' + 'a');
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb - 'A' + 'a');
    if (ca != cb) return false;
  }
  return *a == *b;
}

bool IsCheckOrRadioStyle(unsigned long style) {
  for (unsigned long type : kCheckOrRadioTypes)
    if ((style & kButtonTypeMask) == type) return true;
  return false;
}
}  // namespace

int ChooseUiLanguage(int dbcsSystem, unsigned short languageId) {
  if (!dbcsSystem || (languageId & kPrimaryLanguageMask) != kLangChinese) return kLanguageEnglish;
  return ((languageId >> 10) & 1) ? kLanguageTraditional : kLanguageSimplified;
}

bool ExtractModuleDir(const char* modulePath, char* out, std::size_t size, LeadByteTest isLeadByte) {
  // Found by character: a trail byte of 0x5C inside a double-byte name is
  // no separator.
  const char* lastBackslash = modulePath != nullptr ? FindLastBackslash(modulePath, isLeadByte) : nullptr;
  if (lastBackslash == nullptr) return CopyBounded(out, size, "A:\\");
  std::size_t length = static_cast<std::size_t>(lastBackslash - modulePath) + 1;
  if (out == nullptr || size == 0) return false;
  if (length >= size) {
    out[0] = '\0';
    return false;
  }
  std::memcpy(out, modulePath, length);
  out[length] = '\0';
  return true;
}

EnterTarget ChooseEnterTarget(bool hasFocus, const char* focusClassName, unsigned long focusStyle) {
  if (hasFocus && focusClassName != nullptr && EqualsIgnoringAsciiCase(focusClassName, "button") &&
      !IsCheckOrRadioStyle(focusStyle))
    return EnterTarget::kFocusedButton;
  return EnterTarget::kDefaultCommand;
}
