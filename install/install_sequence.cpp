// The install sequence: every file, setting, shortcut and registry key of
// one installation, in a fixed order, with the progress bar kept current.
#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <string>

#include "base/bounded_format.h"
#include "install/install.h"
#include "base/install_pump.h"
#include "base/manifest.h"
#include "base/stale_files.h"
#include "render/render.h"
#include "resources/app_state.h"
#include "resources/languages.h"
#include "resources/resource.h"
#include "resources/texts.h"

namespace {

constexpr int kProgressStarted = 10;
constexpr int kProgressFilesDone = 90;
constexpr int kProgressStartMenuDone = 94;
constexpr int kProgressShortcutsDone = 97;
constexpr int kProgressComplete = 100;

// Another spelling of one stale name could survive the first deletion on a
// case-sensitive file system; more than a handful means deletion is failing.
constexpr int kMaxOtherSpellings = 8;
// The editor's settings are a few kilobytes; anything past this is not them.
constexpr unsigned long kLargestSettingsFile = 16ul << 20;

// The bar is painted at once, not when the queue is next looked at. Each
// step of the bar also lets the window answer between the closing steps.
void SetProgress(HWND progressBar, int position) {
  SendMessageA(progressBar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  UpdateWindow(progressBar);
  KeepAnswering();
}

// Finds a file in installDir whose name equals name apart from letter case
// and copies its actual name into found.
bool FindOtherSpelling(const char* path, const char* name, char* found, size_t foundSize) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(path, &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool matched = false;
  do {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        SameFileNameIgnoringCase(data.cFileName, name)) {
      matched = CopyBounded(found, foundSize, data.cFileName);
    }
  } while (!matched && FindNextFileA(search, &data));
  FindClose(search);
  return matched;
}

// The installed dictionaries carry other letter cases than these names
// ("gbkflat.dic" against "Gbkflat.dic"); where the file system tells case
// apart, every spelling of the name must go all the same.
void DeleteStaleFile(const char* name) {
  char path[MAX_PATH];
  if (!FormatInstallPath(path, sizeof path, name)) return;
  DeleteInstalledFile(path);
  for (int spelling = 0; spelling < kMaxOtherSpellings; ++spelling) {
    char found[MAX_PATH];
    char foundPath[MAX_PATH];
    if (!FindOtherSpelling(path, name, found, sizeof found)) return;
    if (!FormatInstallPath(foundPath, sizeof foundPath, found)) return;
    if (DeleteInstalledFile(foundPath) != 0) return;
  }
}

void DeleteStaleFiles() {
  for (size_t index = 0; index < kStaleFileCount; ++index) {
    char name[MAX_PATH];
    if (FormatStaleFileName(name, sizeof name, index)) DeleteStaleFile(name);
    KeepAnswering();
  }
}

void ShowManifestProgress(int position) { SetProgress(GetDlgItem(mainDialog, IDC_PROGRESS), position); }

// The user learns which file may now be cut; the wizard then reports the
// failed install as for any other failure.
void TellWriteFailed(const char* fileName) {
  char chinese[MAX_PATH + 128];
  char english[MAX_PATH + 128];
  if (!FormatBounded(chinese, sizeof chinese, kTextWriteCn, fileName) ||
      !FormatBounded(english, sizeof english, kTextWriteEn, fileName))
    return;
  wchar_t name[MAX_PATH + 128];
  const bool named = FormatMessageName(name, std::size(name), wide::kTextWriteCn, fileName);
  ShowMessage(chinese, named ? name : nullptr, english, kMessageKindOk, mainDialog);
}

// The names handed to the shell must be in the code page of the system's
// own language, whatever language the product's interface is.
void CreateShortcuts(const ShellInstallSteps& shell, HWND progressBar) {
  const int column = LanguageColumn(uiLanguage);
  shell.createStartMenu(column);
  SetProgress(progressBar, kProgressStartMenuDone);
  if (desktopIconWanted) shell.createDesktopShortcuts(column);
}

// Every step of the sequence. 0 when a stopping row failed: the closing
// steps then do not run.
int InstallSteps(const ShellInstallSteps& shell) {
  HWND progressBar = GetDlgItem(mainDialog, IDC_PROGRESS);
  ShowWindow(progressBar, SW_SHOW);
  SetProgress(progressBar, kProgressStarted);

  keepOldWordBase = 0;
  CheckOldWordBase();
  // Whatever the answer: the stale files are not part of the word base.
  DeleteStaleFiles();
  // What an interrupted earlier run was writing when it stopped.
  RemoveStaleTempFiles(installDir);

  const char* failedInPlace = nullptr;
  if (!ExtractManifest(keepOldWordBase == 1, ShowManifestProgress, &failedInPlace)) {
    if (failedInPlace != nullptr) TellWriteFailed(failedInPlace);
    return 0;
  }

  // The closing steps never change the result.
  SetProgress(progressBar, kProgressFilesDone);
  UpdateConfigFile();
  CreateShortcuts(shell, progressBar);
  SetProgress(progressBar, kProgressShortcutsDone);
  SetProgress(progressBar, kProgressComplete);
  CopySettingsFile();
  return 1;
}

}  // namespace

// The editor's saved settings travel beside the setup program, when the
// distributor put them there, and the editor looks for them in the
// Windows folder. Written as an installed file is (a temporary copy, then
// a replace), so a copy that fails leaves the earlier one whole; the copy
// carries the source's read-only and hidden bits as a file copy would.
void CopySettingsFile() {
  // An empty folder would make a relative path: the copy would read from
  // or write into whatever the current folder happens to be.
  if (moduleDir[0] == '\0' || windowsDir[0] == '\0') return;
  char source[MAX_PATH];
  char target[MAX_PATH];
  if (!FormatBounded(source, sizeof source, "%sSCtrlSet%c.bin", moduleDir, '0')) return;
  DWORD attributes = GetFileAttributesA(source);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return;
  if (!FormatBounded(target, sizeof target, "%sSCtrlSet%c.bin", windowsDir, '0')) return;
  std::string bytes;
  if (!ReadSmallFile(source, kLargestSettingsFile, bytes)) return;
  WriteInstalledFile(nullptr, reinterpret_cast<const unsigned char*>(bytes.data()),
                     static_cast<unsigned long>(bytes.size()), (attributes & FILE_ATTRIBUTE_READONLY) != 0,
                     (attributes & FILE_ATTRIBUTE_HIDDEN) != 0, target);
}

// Files are inflated in pieces straight to disk, so the sequence needs no
// buffer of a file's size and no step of it can run out of memory before it
// starts; kInstallBufferSize remains the largest file it installs.
int RunInstall(const ShellInstallSteps& shell) {
  if (InstallSteps(shell) == 0) return 0;
  if (isVistaOrLater) shell.registerDocumentTypes();
  return 1;
}
