// The installer's Big5 texts (shortcut names for a Traditional Chinese
// system). Compiled with -fexec-charset=BIG5; the source stays UTF-8.
#include "texts.h"

const char kBig5EditorName[] = "塔維克沐編";
const char kBig5UninstallerName[] = "塔維克沐編卸載";
const char kBig5NotesEditorName[] = "塔維克文本編輯";
