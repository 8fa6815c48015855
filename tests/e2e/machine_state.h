// What the setup program leaves on the machine, read back the way the
// installed product and the shell will read it, and removed again so that
// every scenario starts from a machine that never saw an install.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// The names handed to the shell, by UI language: 0 English, 1 Simplified
// Chinese, 2 Traditional Chinese (as Unicode, the way they land on disk).
struct ShellNames {
  const wchar_t* editor;       // also the Start-menu folder
  const wchar_t* uninstaller;
  const wchar_t* notesEditor;  // desktop only
};
extern const ShellNames kShellNames[3];

// The keys of the document-type and COM server registration.
extern const char* const kRegisteredKeys[5];

std::wstring SpecialFolder(int csidl);
std::wstring WindowsFolder();  // without a trailing backslash
std::wstring TempFolder();  // with its trailing backslash
bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
DWORD AttributesOf(const std::wstring& path);
bool ReadBytes(const std::wstring& path, std::string* bytes);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
void DeleteTree(const std::wstring& path);
std::wstring SpeechPackagePath();

// The Windows version that Wine reports to the programs started from now
// on (HKCU\Software\Wine "Version": "win98", "winxp", ...); null gives
// Wine's own default back.
bool ReportWindowsVersion(const char* version);

// Removes the install folders given, every shortcut and Start-menu folder
// of any language, the folders of the systems of version 3 that hold them
// (<Windows>\start menu, <Windows>\Desktop, <Windows>\profiles: a Wine
// prefix has none of its own), the speech package and the registration
// keys.
void ForgetEarlierRuns(const std::vector<std::wstring>& installFolders);

// Differences between the 122 installed files and the payload folder they
// were packed from: bytes and the read-only and hidden attributes. Files
// named in skipBytes are checked for attributes only.
std::vector<std::string> CompareWithPayload(const std::wstring& installDir, const std::wstring& payloadDir,
                                            const std::vector<std::string>& skipBytes);
// dodazaze.ini as the install must leave it, from the packed copy.
std::string ExpectedConfig(const std::string& packed, int useBmpFont, int forceLanguage);

// The target of a shell link, as IShellLinkA reads it; empty when unreadable.
std::string ShortcutTarget(const std::wstring& linkPath);
// A REG_SZ value under HKEY_CLASSES_ROOT; false when key or value is missing.
bool ClassesText(const char* key, const char* valueName, std::string* text);
bool ClassesKeyExists(const char* key);

// Every file of drive C (size and time) and every folder, without the
// system folders that only Wine itself writes; for "nothing was written".
using DiskSnapshot = std::map<std::wstring, std::wstring>;
DiskSnapshot SnapshotDriveC();
std::vector<std::string> SnapshotDifferences(const DiskSnapshot& before, const DiskSnapshot& after);

std::string Narrow(const std::wstring& text);  // for messages: UTF-8
