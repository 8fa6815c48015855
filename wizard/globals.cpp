// Globals owned by the wizard (see wizard.h).
#include "wizard/wizard.h"

int pageIndex = 0;
char windowsDir[MAX_PATH] = "";
char installDir[MAX_PATH] = "";
int chineseDisplayOk = 0;
int desktopIconWanted = 0;
int textPagesLoaded = 0;
WNDPROC buttonDefaultProc = nullptr;
