// Preservation of the user's word base: asks before a word base that the
// user has modified is replaced.
#include <windows.h>
#include <io.h>

#include <cstdio>

#include "install/install.h"
#include "render/render.h"
#include "resources/app_state.h"
#include "resources/texts.h"

int keepOldWordBase = 0;

namespace {
// The installed input method sets bit 7 of the index's first byte once the
// user has changed the word base; an empty or unreadable index carries no mark.
bool IndexCarriesMark(const char* indexPath) {
  std::FILE* index = std::fopen(indexPath, "rb");
  if (index == nullptr) return false;
  int first = std::fgetc(index);
  std::fclose(index);
  return first != EOF && (first & 0x80) != 0;
}
}  // namespace

void CheckOldWordBase() {
  char path[MAX_PATH];
  // A path that does not fit cannot name an existing file.
  if (!FormatInstallPath(path, sizeof path, "CiZuFlat.igb")) return;
  if (_access(path, 0) != 0) return;
  if (FormatInstallPath(path, sizeof path, "pycizudic.idx") && IndexCarriesMark(path)) {
    const int answer = ShowMessage(kTextWordBaseCn, kTextWordBaseEn, kMessageKindYesNo, mainDialog);
    if (answer != kMessageCommandYes) keepOldWordBase = 1;
  }
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}
