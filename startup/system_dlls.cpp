// The process's DLL search, restricted before anything is loaded by name,
// and system DLLs loaded by full path (see system_dlls.h).
#include "startup/system_dlls.h"

#include "base/bounded_format.h"

namespace {
// Not in the headers of older tool chains, and looked up at run time anyway.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryAFn = BOOL(WINAPI*)(LPCSTR);
}  // namespace

// Each name is missing from the known DLLs of some Windows from XP on and is
// loaded late, by name, by a system DLL that this program uses (comctl32,
// comdlg32 for the folder chooser, shell32 for special folders, links and
// ShellExecute, ole32 for the link object, advapi32 for the registry); a
// peer installer's preload list was the guide. Names that a system lacks
// are skipped.
const PreloadedDll kPreloadedDlls[] = {
    {"uxtheme.dll", "visual styles of the controls and the chooser"},
    {"dwmapi.dll", "desktop composition, from uxtheme on Vista and 7"},
    {"msimg32.dll", "alpha and transparent blits of the themed controls"},
    {"oleacc.dll", "accessibility of the common controls"},
    {"userenv.dll", "profile folders for the shell's special folders"},
    {"profapi.dll", "profile folders, from userenv on 7"},
    {"setupapi.dll", "device data for the shell's drive list"},
    {"apphelp.dll", "compatibility checks of ShellExecute"},
    {"propsys.dll", "item properties of the shell on Vista and 7"},
    {"linkinfo.dll", "the target data of a saved shell link"},
    {"ntshrui.dll", "share overlays of the shell's folder views"},
    {"clbcatq.dll", "the COM class catalogue, for the link object"},
    {"version.dll", "file versions; not a known DLL from 7 on"},
    {"cryptbase.dll", "random numbers of advapi32 and COM on 7"},
    {"cryptsp.dll", "the crypto provider of advapi32 on 7"},
};
const int kPreloadedDllCount = static_cast<int>(sizeof kPreloadedDlls / sizeof kPreloadedDlls[0]);

HMODULE LoadSystemLibrary(const char* name) {
  char systemFolder[MAX_PATH];
  UINT length = GetSystemDirectoryA(systemFolder, sizeof systemFolder);
  if (length == 0 || length >= sizeof systemFolder) return nullptr;
  char path[MAX_PATH];
  if (!FormatBounded(path, sizeof path, "%s\\%s", systemFolder, name)) return nullptr;
  // Altered search path: the DLL's own imports come from its folder, not
  // from the program's.
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void PreloadSystemDlls() {
  // Kept loaded for the whole run: a later search by name must find them.
  for (const PreloadedDll& dll : kPreloadedDlls) LoadSystemLibrary(dll.name);
}

unsigned RestrictDllSearch() {
  unsigned applied = 0;
  // kernel32 is in every process before the program's first instruction.
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return applied;
  auto setDefaultDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesFn>(GetProcAddress(kernel, "SetDefaultDllDirectories"));
  if (setDefaultDirectories != nullptr && setDefaultDirectories(kSearchSystem32))
    applied |= kDefaultDirsSystemOnly;
  auto setDllDirectory = reinterpret_cast<SetDllDirectoryAFn>(GetProcAddress(kernel, "SetDllDirectoryA"));
  if (setDllDirectory != nullptr && setDllDirectory(""))
    applied |= kCurrentFolderDropped;
  // Also where the search is restricted: a DLL that was loaded before this
  // line (an import of the program's imports) may make its later loads with
  // the search it was loaded with, as Wine's uxtheme does with msimg32; a
  // DLL already loaded is found by name without any search.
  PreloadSystemDlls();
  return applied | kLateDllsPreloaded;
}
