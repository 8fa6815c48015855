// The wizard's dialog procedure: one handler per message, the commands
// switched by control id.
#include "install/bounded_format.h"
#include "render/render.h"
#include "resources/resource.h"
#include "startup/startup.h"
#include "wizard/wizard.h"

namespace {
constexpr UINT kListItemHeight = 23;
constexpr UINT kListItemWidth = 1024;

// windowsDir with its trailing backslash; empty when the platform does not
// give a folder that fits.
void ReadWindowsDir() {
  char folder[MAX_PATH];
  UINT length = GetWindowsDirectoryA(folder, sizeof folder);
  if (length == 0 || length >= sizeof folder) {
    windowsDir[0] = '\0';
    return;
  }
  const char* separator = folder[length - 1] == '\\' ? "" : "\\";
  FormatBounded(windowsDir, sizeof windowsDir, "%s%s", folder, separator);
}

// The default install folder lies on the Windows folder's drive; drive C
// when the Windows folder is unknown.
void SetDefaultInstallPath(HWND dialog) {
  char drive = windowsDir[0];
  if (!((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z'))) drive = 'C';
  char path[MAX_PATH];
  if (FormatBounded(path, sizeof path, "%c:\\%s", drive, productFolderName))
    SetDlgItemTextA(dialog, IDC_PATH_EDIT, path);
}

INT_PTR OnInitDialog(HWND dialog) {
  SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));
  ReadWindowsDir();
  SetDefaultInstallPath(dialog);
  CheckDlgButton(dialog, IDC_DESKTOP_ICON, BST_CHECKED);
  HWND back = GetDlgItem(dialog, IDC_BACK);
  ShowWindow(back, SW_HIDE);
  EnableWindow(back, FALSE);
  // TRUE: the dialog manager focuses the first visible tab stop, the path.
  return TRUE;
}

INT_PTR OnMeasureItem(MEASUREITEMSTRUCT* item) {
  if (item->CtlID != IDC_LICENCE_LIST && item->CtlID != IDC_LANGUAGE_COMBO) return FALSE;
  item->itemHeight = kListItemHeight;
  item->itemWidth = kListItemWidth;
  return TRUE;
}

INT_PTR OnDrawItem(HWND dialog, const DRAWITEMSTRUCT* item) {
  switch (item->CtlID) {
    case IDC_LICENCE_LIST:
      DrawListItem(IDC_LICENCE_LIST, 0, item, dialog);
      break;
    case IDC_LANGUAGE_COMBO:
      DrawListItem(IDC_LANGUAGE_COMBO, 1, item, dialog);
      break;
    default:
      DrawOwnerButton(item);
      break;
  }
  return TRUE;
}

// Only the control id counts: notification codes are not told apart.
INT_PTR OnCommand(int controlId) {
  switch (controlId) {
    case IDCANCEL:  // Cancel, Escape and the close box
      pageIndex = -1;
      break;
    default:
      break;
  }
  return FALSE;
}
}  // namespace

INT_PTR CALLBACK WizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog);
    case WM_MEASUREITEM:
      return OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
      return OnDrawItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam));
    default:
      return FALSE;
  }
}
