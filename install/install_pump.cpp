// The install's message pump hook (see install_pump.h).
#include "install/install_pump.h"

InstallPump installPump = nullptr;
