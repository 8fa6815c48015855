// The wizard's dialog procedure: one handler per message, the commands
// switched by control id.
#include "base/bounded_format.h"
#include "base/install_pump.h"
#include "render/render.h"
#include "resources/languages.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "wizard/wizard.h"
#include "wizard/wizard_steps.h"

namespace {
constexpr UINT kListItemHeight = 23;
constexpr UINT kListItemWidth = 1024;

// The interface languages offered for the installed product; the value
// becomes forceLanguage. The list holds the UTF-16 names, which screen
// readers read; the painter draws the GB2312 text of the item's value.
struct LanguageItem {
  int value;
  const char* text;
  const wchar_t* name;
};
const LanguageItem kLanguageItems[] = {
    {kLanguageEnglish, kTextLanguageEnglish, wide::kTextLanguageEnglish},
    {kLanguageSimplified, kTextLanguageSimplified, wide::kTextLanguageSimplified},
    {kLanguageTraditional, kTextLanguageTraditional, wide::kTextLanguageTraditional},
};

const char* LanguageText(ULONG_PTR value) {
  for (const LanguageItem& item : kLanguageItems) {
    if (static_cast<ULONG_PTR>(item.value) == value) return item.text;
  }
  return nullptr;
}

// The check boxes whose captions are drawn from the glyph font.
const int kGlyphCheckBoxes[] = {IDC_DESKTOP_ICON, IDC_DISPLAY_OK, IDC_DISPLAY_NOT_OK};

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
  // A longer path could not be taken into installDir whole.
  SendDlgItemMessageA(dialog, IDC_PATH_EDIT, EM_LIMITTEXT, sizeof installDir - 1, 0);
}

// The current interface language comes first and is selected.
void FillLanguageList(HWND dialog) {
  HWND combo = GetDlgItem(dialog, IDC_LANGUAGE_COMBO);
  for (const LanguageItem& item : kLanguageItems) {
    LPARAM name = reinterpret_cast<LPARAM>(item.name);
    LRESULT position = item.value == forceLanguage ? SendMessageW(combo, CB_INSERTSTRING, 0, name)
                                                   : SendMessageW(combo, CB_ADDSTRING, 0, name);
    if (position >= 0) SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(position), item.value);
  }
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  // Wine leaves the selection field at 16 pixels whatever the measure
  // answer says, which cuts the glyph line; the field is set outright.
  SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), kListItemHeight);
}

// Subclassed as Unicode windows: an ANSI procedure would pass every name
// through the system's code page.
void SubclassCheckBoxes(HWND dialog) {
  for (int id : kGlyphCheckBoxes) {
    HWND box = GetDlgItem(dialog, id);
    LONG_PTR previous = SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CheckControlProc));
    if (previous != 0) buttonDefaultProc = reinterpret_cast<WNDPROC>(previous);
    SetWindowTextW(box, CheckCaptionName(id));
  }
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
  FillLanguageList(dialog);
  SubclassCheckBoxes(dialog);
  NameOwnerButtons(dialog, WizardButtonContext(pageIndex).nextInstalls);
  installPump = TakeWaitingMessages;
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
      DrawListItem(IDC_LANGUAGE_COMBO, 1, item, dialog, LanguageText(item->itemData));
      break;
    default:
      DrawOwnerButton(item, WizardButtonContext(pageIndex));
      break;
  }
  return TRUE;
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// The check boxes paint their own captions; the platform's repaint of the
// box alone would leave the caption stale.
void Repaint(HWND dialog, int id) { InvalidateRect(GetDlgItem(dialog, id), nullptr, FALSE); }

void OnBack(HWND dialog) {
  if (pageIndex <= kPathPage) return;
  --pageIndex;
  ShowPage(dialog, pageIndex);
}

// Every visit to the display test starts without an answer.
void EnterDisplayTest(HWND dialog) {
  pageIndex = kDisplayTestPage;
  ShowPage(dialog, kDisplayTestPage);
  CheckDlgButton(dialog, IDC_DISPLAY_OK, BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_DISPLAY_NOT_OK, BST_UNCHECKED);
  Repaint(dialog, IDC_DISPLAY_OK);
  Repaint(dialog, IDC_DISPLAY_NOT_OK);
}

void LeaveDisplayTest(HWND dialog) {
  if (!IsChecked(dialog, IDC_DISPLAY_OK) && !IsChecked(dialog, IDC_DISPLAY_NOT_OK)) {
    ShowMessage(kTextAnswerCn, kTextAnswerEn, kMessageKindOk, dialog);
    return;
  }
  chineseDisplayOk = IsChecked(dialog, IDC_DISPLAY_OK) ? 1 : 0;
  // Only a Chinese interface opens the licence in Chinese.
  if (!IsChineseLanguage(forceLanguage)) CheckDlgButton(dialog, IDC_LICENCE_ENGLISH, BST_CHECKED);
  pageIndex = kLicencePage;
  ShowPage(dialog, kLicencePage);
}

void OnNext(HWND dialog) {
  switch (pageIndex) {
    case kPathPage:
      EnterDisplayTest(dialog);
      break;
    case kDisplayTestPage:
      LeaveDisplayTest(dialog);
      break;
    case kLicencePage:
      pageIndex = kLanguagePage;
      ShowPage(dialog, kLanguagePage);
      break;
    default:
      if (pageIndex >= kLanguagePage) RunInstallFromWizard(dialog);
      break;
  }
}

// The two answers of the display test exclude each other.
void OnDisplayAnswer(HWND dialog, int answer, int other) {
  if (IsChecked(dialog, answer)) CheckDlgButton(dialog, other, BST_UNCHECKED);
  Repaint(dialog, IDC_DISPLAY_OK);
  Repaint(dialog, IDC_DISPLAY_NOT_OK);
}

// Only the control id counts: notification codes are not told apart, so
// the BS_NOTIFY check boxes run their handlers on focus changes too.
INT_PTR OnCommand(HWND dialog, int controlId) {
  // The install run opens modal dialogs, whose loops would hand it a
  // command posted meanwhile (an Enter pressed early): it runs once.
  if (pageIndex == kInstallState) return FALSE;
  switch (controlId) {
    case IDCANCEL:  // Cancel, Escape and the close box
      pageIndex = kQuitState;
      break;
    case IDC_BACK:
      OnBack(dialog);
      break;
    case IDC_NEXT:
      OnNext(dialog);
      break;
    case IDC_BROWSE:
      BrowseForFolder(dialog);
      break;
    case IDC_DESKTOP_ICON:
      Repaint(dialog, IDC_DESKTOP_ICON);
      break;
    case IDC_DISPLAY_OK:
      OnDisplayAnswer(dialog, IDC_DISPLAY_OK, IDC_DISPLAY_NOT_OK);
      break;
    case IDC_DISPLAY_NOT_OK:
      OnDisplayAnswer(dialog, IDC_DISPLAY_NOT_OK, IDC_DISPLAY_OK);
      break;
    case IDC_LICENCE_ENGLISH:
      // The check box loses the focus when Next hides it; that notice must
      // not bring the licence back over the language page.
      if (pageIndex == kLicencePage) ShowPage(dialog, kLicencePage);
      break;
    default:
      break;
  }
  return FALSE;
}
// The install cannot be stopped half-way: the close box, Alt+F4 and a
// WM_CLOSE from outside do nothing while it runs.
INT_PTR OnClose(HWND dialog) {
  if (pageIndex != kInstallState) return FALSE;  // Cancel, as the dialog manager makes it
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
  return TRUE;
}

// FALSE, "not now", holds a log-off or shutdown while the install runs;
// otherwise the platform's answer lets the session end.
INT_PTR OnQueryEndSession(HWND dialog) {
  if (!InstallHoldsSessionEnd()) return FALSE;
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, FALSE);
  return TRUE;
}

// The install answers its messages, and the pointer moved over the window
// would otherwise get the class's arrow back. Under a question of the
// install (the wizard disabled) the pointer is the usual one.
INT_PTR OnSetCursor(HWND dialog) {
  if (!InstallShowsWaitCursor() || !IsWindowEnabled(dialog)) return FALSE;
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
  return TRUE;
}
}  // namespace

// Install is the command behind Next from the language page on.
ButtonPaintContext WizardButtonContext(int page) {
  return {defaultCommandId, page >= kLanguagePage, nullptr};
}

INT_PTR CALLBACK WizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog);
    case WM_MEASUREITEM:
      return OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
      return OnDrawItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND:
      return OnCommand(dialog, LOWORD(wParam));
    case WM_CLOSE:
      return OnClose(dialog);
    case WM_SETCURSOR:
      return OnSetCursor(dialog);
    case WM_QUERYENDSESSION:
      return OnQueryEndSession(dialog);
    default:
      return FALSE;
  }
}
