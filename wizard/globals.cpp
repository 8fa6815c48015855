// Globals owned by the wizard (the shared ones are declared in
// resources/app_state.h).
#include "wizard/wizard.h"

int pageIndex = 0;
char windowsDir[MAX_PATH] = "";
char installDir[MAX_PATH] = "";
int chineseDisplayOk = 0;
int desktopIconWanted = 0;
int textPagesLoaded = 0;
