// Setup wizard: the main dialog's pages, the install run, the folder
// chooser and the creation of the install folder.
#pragma once

#include <windows.h>

#include "render/render.h"
#include "resources/app_state.h"
#include "resources/resource.h"

// ---- Globals owned by the wizard --------------------------------------------
// The shared ones (pageIndex, installDir, ...) are in resources/app_state.h.
extern int textPagesLoaded;  // both licence texts are in their controls

// How the wizard's buttons are painted while page is the current page.
ButtonPaintContext WizardButtonContext(int page);

INT_PTR CALLBACK WizardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowPage(HWND dialog, int page);

// ---- Folder chooser and install folder --------------------------------------
void BrowseForFolder(HWND dialog);  // the Browse (1003) command
UINT_PTR CALLBACK FolderChooserHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int CreateInstallFolder(HWND wizardDialog);  // 1 success, 0 failure (told)
