// Start-up and teardown of the setup program: the system probe, the glyph
// font in memory, the wizard dialog, and the release of everything made.
#include "startup/startup.h"

#include <commctrl.h>

#include <memory>
#include <new>
#include <vector>

#include "base/bounded_format.h"
#include "install/install.h"
#include "render/render.h"
#include "resources/languages.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "base/startup_logic.h"
#include "startup/startup_steps.h"
#include "startup/system_dlls.h"
#include "wizard/wizard.h"

namespace {
// Inflated font plus slack: a stream that inflates to more than this is
// damaged, not a bigger font.
constexpr unsigned long kGlyphBufferBytes = 307200;
// The longest path the platform can hand back for a module.
constexpr DWORD kLongPathCapacity = 32768;

bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }
}  // namespace

void ProbeSystem() {
  OSVERSIONINFOA version;
  ZeroMemory(&version, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
  static_assert(sizeof(OSVERSIONINFOA) == 148, "the probe hands over a 148-byte structure");
  if (GetVersionExA(&version)) {
    isWindowsNT = version.dwPlatformId == VER_PLATFORM_WIN32_NT ? 1 : 0;
    isVersion3 = version.dwMajorVersion == 3 ? 1 : 0;
    isVistaOrLater = isWindowsNT && version.dwMajorVersion > 5 ? 1 : 0;
  }
  isDbcsSystem = IsDbcsSystem();
  uiLanguage = ChooseUiLanguage(isDbcsSystem, GetSystemDefaultLangID());
}

void FindModuleDir() {
  // A path longer than 260 bytes may still have a folder that fits, so the
  // path itself is read into a buffer of the platform's full length.
  std::vector<char> modulePath(kLongPathCapacity, '\0');
  DWORD length = GetModuleFileNameA(nullptr, modulePath.data(), kLongPathCapacity);
  if (length >= kLongPathCapacity) {
    moduleDir[0] = '\0';
    return;
  }
  modulePath[length] = '\0';
  ExtractModuleDir(modulePath.data(), moduleDir, sizeof moduleDir, IsAnsiLeadByte);
}

int LoadGlyphFontFromPayload() {
  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kGlyphBufferBytes]);
  if (!buffer) {
    ShowMessage(kTextMemoryCn, kTextMemoryEn, kMessageKindOk, mainDialog);
    return kExitNoGlyphFont;
  }
  unsigned long length = kGlyphBufferBytes;
  if (InflatePayload(IDR_GLYPH_FONT, buffer.get(), &length) != 0) return kExitNoGlyphFont;
  // A stream that inflates cleanly but short would leave the images reading
  // uninitialised bytes: it is as damaged as one that does not inflate.
  if (length < static_cast<unsigned long>(kGlyphFontBytes)) return kExitNoGlyphFont;
  return LoadGlyphFont(buffer.get()) ? kExitNormal : kExitNoGlyphFont;
}

namespace {
using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
}  // namespace

bool RegisterProgressClass() {
  // comctl32 is no known DLL: imported, it would be searched for beside the
  // program before the program's first instruction. It stays loaded for
  // the run, since the class lives in it.
  HMODULE controls = LoadSystemLibrary("comctl32.dll");
  if (controls == nullptr) return false;
  auto initControls =
      reinterpret_cast<InitCommonControlsExFn>(GetProcAddress(controls, "InitCommonControlsEx"));
  if (initControls == nullptr) return false;
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
  return initControls(&classes) != FALSE;
}

void ReleaseStartupObjects() {
  ReleaseGlyphFont();
  if (sampleFont != nullptr) {
    DeleteObject(sampleFont);
    sampleFont = nullptr;
  }
}

int RunSetup(HINSTANCE instance, HINSTANCE previousInstance) {
  if (previousInstance != nullptr) return kExitNormal;
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  ProbeSystem();
  forceLanguage = kLanguageEnglish;
  appInstance = instance;
  CreateSampleFont();
  CopyBounded(productFolderName, sizeof productFolderName, "Tavik");
  FindModuleDir();

  int fontResult = LoadGlyphFontFromPayload();
  if (fontResult != kExitNormal) {
    ReleaseStartupObjects();
    return fontResult;
  }

  pageIndex = 0;
  appIcon = LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_APP));
  // The template holds a progress bar: its class must exist before the
  // dialog is made, or the whole dialog fails.
  RegisterProgressClass();
  mainDialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_WIZARD), nullptr,
                                  WizardDialogProc, 0);
  // Without the dialog the loop would wait for a window that never comes.
  if (mainDialog == nullptr) {
    ReleaseStartupObjects();
    return kExitNoWizard;
  }

  RunMessageLoop();

  DestroyWindow(mainDialog);
  mainDialog = nullptr;
  ReleaseStartupObjects();
  return kExitNormal;
}
