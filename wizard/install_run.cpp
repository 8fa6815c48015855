// The install run behind Install on the language page: the folder, the
// install sequence, the five-second floor, the closing messages and the
// offer of the speech package.
#include <windows.h>
#include <shellapi.h>


#include "base/bounded_format.h"
#include "install/install.h"
#include "base/manifest.h"
#include "render/render.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "shell/shell.h"
#include "wizard/wizard.h"
#include "wizard/wizard_steps.h"

namespace {
constexpr ULONGLONG kCalendarStepsPerSecond = 10000000;  // 100-ns steps
constexpr ULONGLONG kInstallFloor = 5 * kCalendarStepsPerSecond;
// Short enough that the result shows promptly once the floor is reached.
constexpr DWORD kFloorSliceMs = 50;
const char kPackageName[] = "Sapi51forTavik.msi";

// The controls that vanish while the install runs; the progress bar takes
// their place.
const int kButtonsHiddenForInstall[] = {IDC_NEXT, IDC_BACK, IDCANCEL, IDC_BOTTOM_STRIP};

// Between Install and the closing message: the wizard keeps the wait
// cursor however the pointer moves.
bool installRunning = false;

// While the install sequence runs, log-off and shutdown wait for it.
bool holdingSessionEnd = false;

// From Vista on Windows shows the user why the session waits. Looked up,
// not imported: XP has neither function.
using ShutdownReasonCreate = BOOL(WINAPI*)(HWND window, LPCWSTR reason);
using ShutdownReasonDestroy = BOOL(WINAPI*)(HWND window);

FARPROC User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 != nullptr ? GetProcAddress(user32, name) : nullptr;
}

void HoldSessionEnd(HWND dialog) {
  holdingSessionEnd = true;
  auto create = reinterpret_cast<ShutdownReasonCreate>(User32Function("ShutdownBlockReasonCreate"));
  if (create != nullptr) create(dialog, kTextInstallingReason);
}

void ReleaseSessionEnd(HWND dialog) {
  holdingSessionEnd = false;
  auto destroy = reinterpret_cast<ShutdownReasonDestroy>(User32Function("ShutdownBlockReasonDestroy"));
  if (destroy != nullptr) destroy(dialog);
}

// Mouse and keyboard input that reaches the wizard while it installs is
// dropped, not kept: it must not press anything once the install is over.
bool IsUserInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

void TellFolderTooLong(HWND dialog) {
  char english[128];
  FormatBounded(english, sizeof english, kTextFolderHintEn, kTextFolderEn);
  ShowMessage(kTextFolderCn, english, kMessageKindOk, dialog);
}

// installDir from the path edit; false (told) when the text would not fit
// whole, since a cut path names another folder.
bool ReadInstallDir(HWND dialog) {
  HWND edit = GetDlgItem(dialog, IDC_PATH_EDIT);
  if (GetWindowTextLengthA(edit) >= static_cast<int>(sizeof installDir)) {
    TellFolderTooLong(dialog);
    return false;
  }
  GetWindowTextA(edit, installDir, sizeof installDir);
  return true;
}

// After a folder that could not be made the user must be able to correct
// the path, which only the path page shows.
void ReturnToPathPage(HWND dialog) {
  pageIndex = kPathPage;
  ShowPage(dialog, kPathPage);
  // The button's caption follows pageIndex: Next again, not Install.
  InvalidateRect(GetDlgItem(dialog, IDC_NEXT), nullptr, FALSE);
  HWND edit = GetDlgItem(dialog, IDC_PATH_EDIT);
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
  SendMessageA(edit, EM_SETSEL, 0, -1);
}

int SelectedLanguage(HWND dialog) {
  HWND combo = GetDlgItem(dialog, IDC_LANGUAGE_COMBO);
  LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (selected == CB_ERR) return forceLanguage;
  LRESULT value = SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0);
  return value == CB_ERR ? forceLanguage : static_cast<int>(value);
}

// The dialog is repainted here for the buttons to vanish before the
// install starts, not at its first look at the queue.
void HideButtonsForInstall(HWND dialog) {
  for (int id : kButtonsHiddenForInstall) {
    ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    UpdateWindow(dialog);
  }
}

// The wait cursor is seen only over the dialog, so the pointer goes there.
void ShowWaitCursor(HWND dialog) {
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  RECT frame;
  POINT pointer;
  if (!GetWindowRect(dialog, &frame) || !GetCursorPos(&pointer)) return;
  if (PtInRect(&frame, pointer)) return;
  SetCursorPos(frame.left + (frame.right - frame.left) / 2, frame.top + (frame.bottom - frame.top) / 2);
}

// The temporary folder, or the root of drive C when there is none; false
// when the package's path would not fit.
bool MakePackagePath(char* path, std::size_t size) {
  char folder[MAX_PATH];
  DWORD length = GetTempPathA(sizeof folder, folder);
  const char* base = length == 0 || length >= sizeof folder ? "C:\\" : folder;
  return FormatBounded(path, size, "%s%s", base, kPackageName);
}

bool IsFile(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void OfferSpeechPackage() {
  const int answer = ShowMessage(kTextSpeechCn, kTextSpeechEn, kMessageKindOkCancel, mainDialog);
  if (answer != kMessageCommandOk) return;
  // Inflated in pieces straight to the file: no buffer of the package's
  // size, so no memory message either; kPackageBufferBytes stays its limit.
  char path[MAX_PATH];
  if (!MakePackagePath(path, sizeof path)) return;
  // Only a package written whole is opened: a stale or cut one left in the
  // temporary folder would fail in the installer, not here.
  int extracted = ExtractPayload(IDR_SPEECH_PACKAGE, kPackageName, kPackageBufferBytes, 0, 0, path);
  if (extracted && IsFile(path)) ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
}
}  // namespace

ULONGLONG CalendarNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

CalendarClock installClock = CalendarNow;

void TakeWaitingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to end the program mid-install; left for the main loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (IsUserInput(message.message)) continue;
    DispatchMessageA(&message);
  }
}

void WaitForInstallFloor(ULONGLONG start) {
  for (;;) {
    TakeWaitingMessages();
    ULONGLONG now = installClock();
    // A clock set back during the install must not hold the program.
    if (now < start || now - start >= kInstallFloor) return;
    ULONGLONG leftMs = (kInstallFloor - (now - start)) / (kCalendarStepsPerSecond / 1000) + 1;
    DWORD sliceMs = leftMs < kFloorSliceMs ? static_cast<DWORD>(leftMs) : kFloorSliceMs;
    // Wakes for any message as well, so the window answers at once.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, sliceMs, QS_ALLINPUT);
  }
}

bool InstallShowsWaitCursor() { return installRunning; }

bool InstallHoldsSessionEnd() { return holdingSessionEnd; }

void RunInstallFromWizard(HWND dialog) {
  ShowPage(dialog, pageIndex);
  pageIndex = kInstallState;
  if (!ReadInstallDir(dialog) || !CreateInstallFolder(dialog)) {
    ReturnToPathPage(dialog);
    return;
  }
  desktopIconWanted = IsDlgButtonChecked(dialog, IDC_DESKTOP_ICON) == BST_CHECKED ? 1 : 0;
  forceLanguage = SelectedLanguage(dialog);
  HideButtonsForInstall(dialog);

  ULONGLONG start = installClock();
  installRunning = true;
  ShowWaitCursor(dialog);
  HoldSessionEnd(dialog);
  int installed = RunInstall(kShellInstallSteps);
  ReleaseSessionEnd(dialog);
  // However fast the install was, its page stays up for five seconds.
  WaitForInstallFloor(start);
  installRunning = false;

  if (installed) {
    ShowMessage(kTextSuccessCn, kTextSuccessEn, kMessageKindOk, dialog);
    OfferSpeechPackage();
  } else {
    ShowMessage(kTextFailedCn, kTextFailedEn, kMessageKindOk, dialog);
  }
  pageIndex = kQuitState;
}
