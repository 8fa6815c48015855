// The UTF-16 twins of the interface texts, made by the compiler from the
// same UTF-8 list as the GB2312 ones: the program never converts Chinese
// through a code page that the system may lack.
#include <cstring>

#include "texts.h"

namespace wide {
#define TAVIK_TEXT(name, text) const wchar_t name[] = L"" text;
#include "resources/ui_texts.inc"
#undef TAVIK_TEXT
}  // namespace wide

const wchar_t kTextInstallingReason[] = L"正在安装塔维克沐编 Installing Tavik Roved Editor";

namespace {
struct TextTwin {
  const char* gb2312;
  const wchar_t* utf16;
};

const TextTwin kTwins[] = {
#define TAVIK_TEXT(name, text) {name, wide::name},
#include "resources/ui_texts.inc"
#undef TAVIK_TEXT
};
}  // namespace

const wchar_t* WideTwinOf(const char* text) {
  if (text == nullptr) return nullptr;
  for (const TextTwin& twin : kTwins) {
    if (twin.gb2312 == text || std::strcmp(twin.gb2312, text) == 0) return twin.utf16;
  }
  return nullptr;
}
