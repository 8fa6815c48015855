// The steps that RunSetup is made of, declared apart so that tests can run
// them one by one (the probe under several locales, the message loop with
// a dialog of their own).
#pragma once

#include <windows.h>

// Process exit codes of the setup program.
constexpr int kExitNormal = 0;       // finished, cancelled or failed install
constexpr int kExitNoGlyphFont = 1;  // the glyph font could not be loaded
constexpr int kExitNoWizard = 2;     // the wizard dialog could not be created

// Sets isWindowsNT, isVersion3, isVistaOrLater, isDbcsSystem and uiLanguage.
void ProbeSystem();

// Sets moduleDir from the running program's path. When that folder does
// not fit its 260 bytes, moduleDir stays empty: no file is looked up beside
// the program rather than one in a different folder.
void FindModuleDir();

// Inflates payload resource 110 and makes the four glyph images. Returns
// kExitNormal when glyphDc is ready, else the exit code of the failure
// (after telling the user when memory ran out).
int LoadGlyphFontFromPayload();

// Registers the progress bar's class from comctl32, loaded by full path
// from the system folder. False when the DLL or its function is missing.
bool RegisterProgressClass();

// Runs the program's message loop until pageIndex drops below zero or a
// quit message arrives. Enter is routed by RouteEnterKey first.
void RunMessageLoop();

// Posts the command that Enter stands for to mainDialog. Returns true when
// the key press is used up (a focused push button was pressed) and must go
// neither to the dialog manager nor to the window.
bool RouteEnterKey();

// Releases the glyph font and sampleFont; safe to call with any of them
// missing, and again.
void ReleaseStartupObjects();
