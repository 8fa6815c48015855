// Helpers of the Windows tests of the folder chooser, install folder, word
// base, configuration file and shortcuts: scratch folders and files, the
// glyph font and the dialog watchers, all in one include.
#pragma once

#include "tests/support/dialog_watcher.h"
#include "tests/support/files.h"
#include "tests/support/glyph_font.h"
