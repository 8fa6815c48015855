// The folder chooser behind Browse (the platform's old-style open-file
// dialog on template 168, turned into a folder picker by a hook) and the
// creation of the install folder when Install is pressed.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <cstring>

#include "base/bounded_format.h"
#include "base/manifest.h"
#include "base/path_text.h"
#include "render/render.h"
#include "resources/texts.h"
#include "wizard/wizard.h"

namespace {
// The old dialog's file-name limit; the chooser never returns a file name.
constexpr DWORD kChooserFileChars = 128;

bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

// A folder deeper than the limit would lose the rows with the longest
// names (their paths no longer fit), and the install would still be
// called a success.
bool FitsEveryFile(const char* folder) { return std::strlen(folder) <= LongestInstallFolder(MAX_PATH); }

// What Install takes: a plain full path deep enough for every file.
bool IsAcceptedFolder(const char* folder) {
  return IsPlainFullPath(folder, IsAnsiLeadByte) && FitsEveryFile(folder);
}

void TellFolderRefused(HWND dialog) {
  char english[128];
  FormatBounded(english, sizeof english, kTextFolderHintEn, kTextFolderEn);
  ShowMessage(kTextFolderCn, english, kMessageKindOk, dialog);
}

UINT_PTR OnChooserInit(HWND dialog) {
  // The Cancel button is painted like every other button of the program,
  // with its bilingual caption.
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  if (cancel != nullptr) {
    LONG_PTR style = GetWindowLongPtrA(cancel, GWL_STYLE);
    SetWindowLongPtrA(cancel, GWL_STYLE, style | BS_OWNERDRAW);
    InvalidateRect(cancel, nullptr, TRUE);
  }
  SetFocus(GetDlgItem(dialog, lst2));
  return TRUE;
}

UINT_PTR OnChooserDrawItem(const DRAWITEMSTRUCT* item) {
  switch (item->CtlID) {
    case IDC_CHOOSER_DIR_LABEL:
    case IDC_CHOOSER_DRIVE_LABEL:
    case IDCANCEL:
      DrawOwnerButton(item, WizardButtonContext(pageIndex));
      return TRUE;
    default:
      return FALSE;
  }
}

// OK takes the folder that the dialog has made current (the one last
// opened in its folder or drive list), never the highlighted line.
UINT_PTR TakeCurrentFolder(HWND dialog) {
  char folder[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) return FALSE;
  DropTrailingBackslash(folder, IsAnsiLeadByte);
  CopyBounded(installDir, sizeof installDir, folder);
  EndDialog(dialog, 1);
  return TRUE;
}
}  // namespace

UINT_PTR CALLBACK FolderChooserHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnChooserInit(dialog);
    case WM_DRAWITEM:
      return OnChooserDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND:
      return LOWORD(wParam) == IDOK ? TakeCurrentFolder(dialog) : FALSE;
    default:
      return FALSE;
  }
}

void BrowseForFolder(HWND dialog) {
  // The dialog changes the process's current folder as the user moves, and
  // ending it from the hook does not always put it back (OFN_NOCHANGEDIR
  // is not honoured everywhere), so keep and restore it here.
  char previousFolder[MAX_PATH];
  DWORD previousLength = GetCurrentDirectoryA(sizeof previousFolder, previousFolder);
  bool restore = previousLength > 0 && previousLength < sizeof previousFolder;

  char fileName[MAX_PATH] = "";
  OPENFILENAMEA request = {};
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the old layout, no later fields
  request.hwndOwner = dialog;
  request.hInstance = nullptr;  // the template comes from the program's own module
  request.lpstrFile = fileName;
  request.nMaxFile = kChooserFileChars;
  request.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE |
                  OFN_PATHMUSTEXIST;  // no OFN_EXPLORER: the old-style dialog
  request.lpfnHook = FolderChooserHook;
  request.lpTemplateName = MAKEINTRESOURCEA(IDD_FOLDER_CHOOSER);
  BOOL chosen = GetOpenFileNameA(&request);
  if (restore) SetCurrentDirectoryA(previousFolder);
  if (!chosen) return;

  char path[MAX_PATH];
  // The folder is the platform's current folder, which it keeps trimmed
  // and resolved; should it ever be one that Install would refuse (a
  // device path, a name ending in a dot, too deep for the files), it is
  // not offered.
  if (!FormatBounded(path, sizeof path, "%s\\%s", installDir, productFolderName) || !IsAcceptedFolder(path)) {
    TellFolderRefused(dialog);
    return;
  }
  SetDlgItemTextA(dialog, IDC_PATH_EDIT, path);
}

int CreateInstallFolder(HWND wizardDialog) {
  // A relative folder depends on where the program was started, and a name
  // that Windows trims ("C:\a.") makes a folder other than the one that
  // the shortcuts and the registry would name: refused before anything is
  // made, even where such a folder exists. So is one too deep for the files.
  if (!IsAcceptedFolder(installDir)) {
    TellFolderRefused(wizardDialog);
    return 0;
  }
  // Entering the folder is the existence test; it stays the current folder.
  if (SetCurrentDirectoryA(installDir)) return 1;
  if (!CreateDirectoryA(installDir, nullptr)) {
    TellFolderRefused(wizardDialog);
    return 0;
  }
  char docFolder[MAX_PATH];
  if (JoinPath(docFolder, sizeof docFolder, installDir, "doc", IsAnsiLeadByte))
    CreateDirectoryA(docFolder, nullptr);
  return 1;
}
