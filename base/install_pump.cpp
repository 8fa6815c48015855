// The install's message pump hook (see install_pump.h).
#include "base/install_pump.h"

InstallPump installPump = nullptr;
