// Setup wizard: the main dialog's pages, the install run, the folder
// chooser and the creation of the install folder.
#pragma once

#include <windows.h>

#include "resources/resource.h"

// ---- Globals owned by the wizard --------------------------------------------
extern int pageIndex;                 // 0..3 page, 99 installing, -1 quit
constexpr int defaultCommandId = IDC_NEXT;  // the command Enter triggers
extern char windowsDir[MAX_PATH];     // Windows folder, with trailing '\'
extern char installDir[MAX_PATH];     // install folder as chosen or typed
extern int chineseDisplayOk;          // "正确(OK)" was the answer
extern int desktopIconWanted;         // check box 1004 at Install
extern int textPagesLoaded;           // both licence texts are in their controls
extern WNDPROC buttonDefaultProc;     // the check boxes' standard procedure

INT_PTR CALLBACK WizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowPage(HWND dialog, int page);

// ---- Folder chooser and install folder --------------------------------------
void BrowseForFolder(HWND dialog);  // the Browse (1003) command
UINT_PTR CALLBACK FolderChooserHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int CreateInstallFolder(HWND wizardDialog);  // 1 success, 0 failure (told)
