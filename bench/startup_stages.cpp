// Start-up cut short: the setup program's own start-up steps, built as the
// setup program is (same code, resources, manifest and link), ending after
// one stage. Timed to their exit by startup_probe beside the empty program,
// they split the time to the wizard's first paint into its stages:
//   TAVIK_STAGE 0  process start to WinMain: loader, imports, run-time
//   TAVIK_STAGE 1  + the restricted DLL search and the preloaded system DLLs
//   TAVIK_STAGE 2  + the system probe, the sample font and the glyph font
//   TAVIK_STAGE 3  + comctl32 and the progress bar's class
// What the full program takes beyond stage 3 is the dialog's creation and
// its first paint.
#include <windows.h>

#include "render/render.h"
#include "startup/startup.h"
#include "startup/startup_steps.h"
#include "startup/system_dlls.h"

namespace {
// Holds the whole program in the image even when a stage calls none of it:
// the imports, and so the loader's work, are the setup program's.
int (*volatile wholeProgram)(HINSTANCE, HINSTANCE) = RunSetup;
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (TAVIK_STAGE < 1) return wholeProgram == nullptr ? 1 : 0;
  RestrictDllSearch();
  if (TAVIK_STAGE < 2) return 0;
  appInstance = instance;
  ProbeSystem();
  CreateSampleFont();
  FindModuleDir();
  int result = LoadGlyphFontFromPayload();
  if (TAVIK_STAGE >= 3 && !RegisterProgressClass()) result = 3;
  ReleaseStartupObjects();
  return result;
}
