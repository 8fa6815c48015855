// Where the program's DLLs come from. Run from a download folder, the
// program must never load a DLL that lies beside it: Windows looks in the
// program's folder first for every DLL that is not one of its known DLLs.
#pragma once

#include <windows.h>

// Which protections RestrictDllSearch put in place (bits of its result).
constexpr unsigned kDefaultDirsSystemOnly = 1;  // SetDefaultDllDirectories: system folder only
constexpr unsigned kCurrentFolderDropped = 2;   // SetDllDirectoryA(""): no current folder
constexpr unsigned kLateDllsPreloaded = 4;      // kPreloadedDlls loaded from the system folder

// The first thing the process does (WinMain's first line), before any DLL
// is loaded by name, delay-loaded ones included. Where kernel32 has
// SetDefaultDllDirectories (8 and later; 7 and Vista with the update that
// added it), every later search by name looks in the system folder only.
// Where it has SetDllDirectoryA (XP SP1 on), the current folder is dropped
// from the search. On every system the DLLs that system DLLs load late by
// name are then loaded by full path, so that a later load by name finds
// them loaded: the only protection for those names where
// SetDefaultDllDirectories is missing. Returns the bits above.
unsigned RestrictDllSearch();

// Loads a DLL by its full path in the system folder; the DLL's own imports
// are searched for in that folder first. Null when the path does not fit
// or the DLL cannot be loaded. For any DLL that is not statically imported.
HMODULE LoadSystemLibrary(const char* name);

// The DLLs that system DLLs used by the program load late by name and that
// are not known DLLs on some Windows from XP on.
struct PreloadedDll {
  const char* name;
  const char* loadedBy;  // why it is on the list
};
extern const PreloadedDll kPreloadedDlls[];
extern const int kPreloadedDllCount;

// Loads every entry of kPreloadedDlls that the system folder has.
void PreloadSystemDlls();
