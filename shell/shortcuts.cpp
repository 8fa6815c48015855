// Shortcuts: the program folder in the Start menu with the editor and its
// uninstaller, and the desktop shortcuts, written as shell link files.
#include <windows.h>
#include <shlobj.h>
#include <io.h>

#include <cstring>
#include <cwchar>
#include <iterator>

#include "base/bounded_format.h"
#include "base/install_pump.h"
#include "base/path_text.h"
#include "render/render.h"
#include "resources/app_state.h"
#include "resources/texts.h"
#include "base/legacy_path.h"
#include "shell/shell.h"

static_assert(kFolderDesktop == CSIDL_DESKTOP && kFolderPrograms == CSIDL_PROGRAMS,
              "legacy folder codes are the shell's");

namespace {
bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

bool LookUpFolder(char (&path)[MAX_PATH], int folderCode) {
  return isVersion3 ? BuildLegacyFolderPath(path, folderCode)
                    : GetShellFolderPath(path, folderCode);
}

void TellStartMenuFailure() {
  ShowMessage(kTextStartMenuCn, kTextStartMenuEn, kMessageKindOk, mainDialog);
}

void TellFolderFailure(const char* shownPath) {
  char text[2 * MAX_PATH];  // a whole folder path and the text around it
  if (!FormatBounded(text, sizeof text, kTextStartFolderCn, shownPath)) {
    shownPath = "";
    FormatBounded(text, sizeof text, kTextStartFolderCn, shownPath);
  }
  wchar_t name[2 * MAX_PATH];
  const bool named = FormatMessageName(name, std::size(name), wide::kTextStartFolderCn, shownPath);
  ShowMessage(text, named ? name : nullptr, kTextFolderEn, kMessageKindOk, mainDialog);
}

// Makes "<programs>\<folderName>" (only its last level) into folder.
// A composed path that does not fit is a failure without any write.
bool MakeProgramFolder(char (&folder)[MAX_PATH], const char* folderName) {
  char programs[MAX_PATH];
  CopyBounded(programs, sizeof programs, folder);
  if (!FormatBounded(folder, sizeof folder, "%s\\%s", programs, folderName)) {
    TellFolderFailure(folderName);
    return false;
  }
  if (_access(folder, 0) == 0) return true;
  if (CreateDirectoryA(folder, nullptr)) return true;
  TellFolderFailure(folder);
  return false;
}

bool CreateEntryLink(const char* folder, const ShortcutEntry& entry) {
  char linkPath[MAX_PATH];
  char targetPath[MAX_PATH];
  if (!FormatBounded(linkPath, sizeof linkPath, "%s\\%s.lnk", folder, entry.name)) return false;
  if (!FormatBounded(targetPath, sizeof targetPath, "%s\\%s", installDir, entry.fileName))
    return false;
  return CreateShellLink(targetPath, linkPath, entry.name);
}

// Everything after SetPath succeeded; returns the HRESULT that decides.
HRESULT DescribeAndSave(IShellLinkA* link, const char* targetPath, const char* linkPath,
                        const char* description) {
  link->SetDescription(description);
  link->SetIconLocation(targetPath, 0);
  char workingDirectory[MAX_PATH];
  CopyBounded(workingDirectory, sizeof workingDirectory, targetPath);
  if (char* cut = FindLastBackslash(workingDirectory, IsAnsiLeadByte)) {
    *cut = '\0';
    link->SetWorkingDirectory(workingDirectory);
  }

  IPersistFile* file = nullptr;
  HRESULT result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (FAILED(result)) return result;
  WCHAR widePath[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) == 0) {
    result = E_FAIL;
  } else {
    result = file->Save(widePath, TRUE);
  }
  file->Release();
  return result;
}
}  // namespace

bool GetShellFolderPath(char* path, int folderCode) {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator))) return false;
  LPITEMIDLIST items = nullptr;
  bool found = false;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, folderCode, &items))) {
    found = SHGetPathFromIDListA(items, path) != FALSE;
    allocator->Free(items);
  }
  allocator->Release();
  return found;
}

bool BuildLegacyFolderPath(char* path, int folderCode) {
  char windowsDirectory[MAX_PATH];
  UINT length = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
  char userName[256];
  DWORD userLength = sizeof userName;
  if (isWindowsNT && !GetUserNameA(userName, &userLength)) return false;
  LegacyFolderFacts facts;
  facts.windowsDirectory = length > 0 && length < sizeof windowsDirectory ? windowsDirectory
                                                                           : nullptr;
  facts.isWindowsNT = isWindowsNT != 0;
  facts.userName = isWindowsNT ? userName : nullptr;
  return ComposeLegacyFolderPath(path, MAX_PATH, facts, folderCode, IsAnsiLeadByte);
}

bool CreateShellLink(const char* targetPath, const char* linkPath, const char* description) {
  // Paths that do not fit the platform's 260-byte buffers are refused before
  // anything is written: a shortened one would name another file.
  if (strlen(targetPath) >= MAX_PATH || strlen(linkPath) >= MAX_PATH) return false;
  // The shell link object takes a good part of a second on a slow machine.
  KeepAnswering();
  HRESULT result = CoInitialize(nullptr);
  if (FAILED(result)) return false;
  IShellLinkA* link = nullptr;
  result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                            reinterpret_cast<void**>(&link));
  if (SUCCEEDED(result)) {
    result = link->SetPath(targetPath);
    if (SUCCEEDED(result)) result = DescribeAndSave(link, targetPath, linkPath, description);
    link->Release();
  }
  CoUninitialize();
  return SUCCEEDED(result);
}

int CreateStartMenuEntry(const char* folderName, const ShortcutEntry* entries, int folderCode) {
  char folder[MAX_PATH];
  if (!LookUpFolder(folder, folderCode)) {
    TellStartMenuFailure();
    return 0;
  }
  if (folderName != nullptr && folderName[0] != '\0' && !MakeProgramFolder(folder, folderName))
    return 0;
  // A failed entry does not stop the others; the last entry's result is
  // the one that decides whether the user is told.
  bool created = true;
  for (const ShortcutEntry* entry = entries; entry != nullptr && entry->name != nullptr; ++entry)
    created = CreateEntryLink(folder, *entry);
  if (created) return 1;
  TellStartMenuFailure();
  return 0;
}

void CreateDesktopShortcut(const char* fileName, const char* linkName) {
  char targetPath[MAX_PATH];
  if (!FormatBounded(targetPath, sizeof targetPath, "%s\\%s", installDir, fileName)) return;
  char desktop[MAX_PATH];
  if (!LookUpFolder(desktop, CSIDL_DESKTOP)) return;
  char linkPath[MAX_PATH];
  if (!FormatBounded(linkPath, sizeof linkPath, "%s\\%s.lnk", desktop, linkName)) return;
  CreateShellLink(targetPath, linkPath, linkName);
}

void CreateProductStartMenu(int column) {
  const ShortcutEntry entries[] = {
      {kEditorName[column], "TVKEdit.exe"},
      {kUninstallerName[column], "TVKEditUnInstall.exe"},
      {nullptr, nullptr},
  };
  CreateStartMenuEntry(kEditorName[column], entries, CSIDL_PROGRAMS);
}

void CreateProductDesktopShortcuts(int column) {
  CreateDesktopShortcut("Morvel.exe", kNotesEditorName[column]);
  CreateDesktopShortcut("TVKEdit.exe", kEditorName[column]);
}

const ShellInstallSteps kShellInstallSteps = {CreateProductStartMenu, CreateProductDesktopShortcuts,
                                              RegisterDocumentTypes};
