// The program's shared state: one declaration of every global that more
// than one subsystem reads, so that any layer may include it without
// reaching up into the layer that owns the variable. Each line names its
// owner, the one folder that defines it (in its globals.cpp or beside the
// code that keeps it current). Everything else a subsystem keeps is
// declared in its own header.
#pragma once

#include <windows.h>

#include "resources/languages.h"
#include "resources/resource.h"

// ---- Owned by startup/: set once at start-up, live for the whole run ---------
extern HINSTANCE appInstance;      // startup: every resource is looked up here
extern HWND mainDialog;            // startup: the wizard dialog (template 114)
extern int isWindowsNT;            // startup: platform id VER_PLATFORM_WIN32_NT
extern int isVersion3;             // startup: major version 3, any platform
extern int isVistaOrLater;         // startup: NT platform, major version above 5
extern int isDbcsSystem;           // startup: ANSI code page is double-byte
extern int uiLanguage;             // startup: kLanguage* of the shell texts
extern int forceLanguage;          // startup (0), then wizard: kLanguage* for the product
extern char productFolderName[16]; // startup: "Tavik"
extern char moduleDir[MAX_PATH];   // startup: folder of the running exe, with '\'
extern HBITMAP glyphBitmap[4];     // startup (made by render): the glyph font's images
extern HDC glyphDc[4];             // startup (made by render): DCs holding glyphBitmap[k]
extern HICON appIcon;              // startup: icon 104

// ---- Owned by wizard/ -------------------------------------------------------
extern int pageIndex;              // wizard: 0..3 page, 99 installing, -1 quit
constexpr int defaultCommandId = IDC_NEXT;  // wizard: the command Enter triggers
extern char windowsDir[MAX_PATH];  // wizard: Windows folder, with trailing '\'
extern char installDir[MAX_PATH];  // wizard: install folder as chosen or typed
extern int chineseDisplayOk;       // wizard: the display test was answered OK
extern int desktopIconWanted;      // wizard: check box 1004 at Install

// ---- Owned by render/ -------------------------------------------------------
extern HFONT sampleFont;           // render: GB2312 "Courier New" for the display test
extern WNDPROC buttonDefaultProc;  // render: the check boxes' standard procedure,
                                   // stored by the wizard when it subclasses them

// ---- Owned by install/ ------------------------------------------------------
extern int keepOldWordBase;        // install: the user kept the old word base
