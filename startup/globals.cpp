// Globals owned by the start-up subsystem (declared in resources/app_state.h);
// set once at start-up.
#include "resources/app_state.h"
#include "resources/languages.h"

HINSTANCE appInstance = nullptr;
HWND mainDialog = nullptr;
int isWindowsNT = 0;
int isVersion3 = 0;
int isVistaOrLater = 0;
int isDbcsSystem = 0;
int uiLanguage = kLanguageEnglish;
int forceLanguage = kLanguageEnglish;
char productFolderName[16] = "Tavik";
char moduleDir[MAX_PATH] = "";
HBITMAP glyphBitmap[4] = {};
HDC glyphDc[4] = {};
HICON appIcon = nullptr;
