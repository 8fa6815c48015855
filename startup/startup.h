// Start-up and main loop: process entry, system probe, the glyph font in
// memory, the wizard dialog's creation, the message loop and teardown.
#pragma once

#include <windows.h>

// ---- Globals set at start-up (live for the whole run) ----------------------
extern HINSTANCE appInstance;      // every resource is looked up here
extern HWND mainDialog;            // the wizard dialog (template 114)
extern int isWindowsNT;            // platform id VER_PLATFORM_WIN32_NT
extern int isVersion3;             // major version 3, any platform
extern int isVistaOrLater;         // NT platform, major version above 5
extern int isDbcsSystem;           // ANSI code page is double-byte
extern int uiLanguage;             // 0 English, 1 GB2312, 2 Big5: shell texts
extern int forceLanguage;          // interface language picked for the product
extern char productFolderName[16]; // "Tavik"
extern char moduleDir[MAX_PATH];   // folder of the running exe, with '\'
extern HBITMAP glyphBitmap[4];     // the four images of the glyph font
extern HDC glyphDc[4];             // memory DCs holding glyphBitmap[k]
extern HICON appIcon;              // icon 104

// The whole program: start-up steps, message loop and teardown. Returns the
// process exit code. WinMain is a one-line call to this.
int RunSetup(HINSTANCE instance, HINSTANCE previousInstance);
