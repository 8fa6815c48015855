// The two licence texts, inflated from their payload resources into the
// licence page's controls on the first visit to that page.
#include <memory>
#include <new>

#include "install/install.h"
#include "base/manifest.h"
#include "render/render.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "base/licence_text.h"
#include "wizard/wizard.h"
#include "wizard/wizard_steps.h"

namespace {

void FillLicenceList(HWND dialog, char* text) {
  HWND list = GetDlgItem(dialog, IDC_LICENCE_LIST);
  // A load that failed halfway left the lines of the Chinese text here;
  // loading again must not show them twice.
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  const char* lines[kMaxLicenceLines];
  std::size_t count = SplitLicenceLines(text, lines, kMaxLicenceLines);
  for (std::size_t i = 0; i < count; ++i)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lines[i]));
}

void FillLicenceEdit(HWND dialog, const char* text) {
  SendDlgItemMessageA(dialog, IDC_LICENCE_EDIT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// One licence text into its control; false when it could not be had.
bool LoadLicence(HWND dialog, int id) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kLicenceBufferBytes]);
  if (!buffer) {
    ShowMessage(kTextMemoryCn, kTextMemoryEn, kMessageKindOk, mainDialog);
    return false;
  }
  unsigned long length = kLicenceBufferBytes;
  if (InflatePayload(id, reinterpret_cast<unsigned char*>(buffer.get()), &length) != 0) return false;
  if (length >= kLicenceBufferBytes) return false;
  buffer[length] = '\0';
  if (id == IDR_LICENCE_CN) {
    FillLicenceList(dialog, buffer.get());
  } else {
    FillLicenceEdit(dialog, buffer.get());
  }
  return true;
}
}  // namespace

int LoadLicenceTexts(HWND dialog) {
  if (!LoadLicence(dialog, IDR_LICENCE_CN) || !LoadLicence(dialog, IDR_LICENCE_EN)) return 0;
  textPagesLoaded = 1;
  return 1;
}
