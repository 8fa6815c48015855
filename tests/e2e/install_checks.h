// Checks of a finished install, shared by the scenarios that install.
#pragma once

#include <string>

// The 122 files byte-exact with the payload folder and with their
// attributes, dodazaze.ini as the choices made it, and the "doc" folder.
void ExpectInstalledTree(const std::wstring& installDir, const std::wstring& payloadDir, int useBmpFont,
                         int forceLanguage);
// Start-menu folder and shortcuts named in the given UI language (index
// into kShellNames) resolving to the installed programs; the desktop
// shortcuts present or absent as wanted.
void ExpectShortcuts(const std::wstring& installDir, int uiLanguage, bool desktopWanted);
// The same in the Programs and desktop folders given.
void ExpectShortcutsIn(const std::wstring& programs, const std::wstring& desktop,
                       const std::wstring& installDir, int uiLanguage, bool desktopWanted);
// The document types and COM servers registered for the install folder.
void ExpectRegistration(const std::wstring& installDir);
