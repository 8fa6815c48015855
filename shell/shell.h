// Shell integration: shortcuts and the registry registration of the
// editor's document types and COM servers.
#pragma once

#include <windows.h>

#include "install/install.h"

// ---- Shortcuts --------------------------------------------------------------
struct ShortcutEntry {
  const char* name;      // display name and .lnk file name; null ends a list
  const char* fileName;  // target, relative to installDir
};

int CreateStartMenuEntry(const char* folderName, const ShortcutEntry* entries, int folderCode);
void CreateDesktopShortcut(const char* fileName, const char* linkName);
bool GetShellFolderPath(char* path, int folderCode);     // path: MAX_PATH bytes
bool BuildLegacyFolderPath(char* path, int folderCode);  // path: MAX_PATH bytes
bool CreateShellLink(const char* targetPath, const char* linkPath, const char* description);

// The install run's shell steps, for RunInstall: the Start-menu folder with
// the editor and its uninstaller, the desktop links of the notes editor and
// the editor, and RegisterDocumentTypes. column: LanguageColumn(uiLanguage).
void CreateProductStartMenu(int column);
void CreateProductDesktopShortcuts(int column);
extern const ShellInstallSteps kShellInstallSteps;

// ---- Document-type and COM server registration -------------------------------
class RefString;

// A template entry: key template, value name ("" = default value), data
// template. A list ends with an entry whose keyTemplate is null.
struct RegistryTemplate {
  const char* keyTemplate;
  const char* valueName;
  const char* dataTemplate;
};

// The four fixed lists, expanded with kTemplateArgumentCount arguments
// (%1 class id, %2 ProgID or file type, %3 server path, %4 short type name,
// %5 full type name, %6 application name, %7 file extension, %8 icon index).
constexpr int kTemplateArgumentCount = 8;
extern const RegistryTemplate kServerKeepTemplates[];
extern const RegistryTemplate kServerReplaceTemplates[];
extern const RegistryTemplate kRtfExtensionTemplates[];
extern const RegistryTemplate kRtfFileTypeTemplates[];

void RegisterDocumentTypes();
bool RegisterEditorProgId();
void RegisterEditorDocumentClass();
void RegisterPinyinServerClass();
bool ApplyRegistryTemplates(const RegistryTemplate* list,
                            const char* const arguments[kTemplateArgumentCount], int replace);
bool SetRegistryString(HKEY key, const char* data, const char* valueName);
bool QueryRegistryString(HKEY key, RefString& output, const char* valueName);
