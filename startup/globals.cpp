// Globals of the start-up subsystem (see startup.h); set once at start-up.
#include "startup/startup.h"

HINSTANCE appInstance = nullptr;
HWND mainDialog = nullptr;
int isWindowsNT = 0;
int isVersion3 = 0;
int isVistaOrLater = 0;
int isDbcsSystem = 0;
int uiLanguage = 0;
int forceLanguage = 0;
char productFolderName[16] = "Tavik";
char moduleDir[MAX_PATH] = "";
HBITMAP glyphBitmap[4] = {};
HDC glyphDc[4] = {};
HICON appIcon = nullptr;
