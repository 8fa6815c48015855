// Loading of the delay-imported system DLLs (comdlg32, ole32, shell32): the
// first page needs none of them, so they are loaded on their first call
// instead of at start-up. Left alone, the delay-load helper would look each
// one up by its bare name through the search order, the program's folder
// first; this hook loads it by its full path in the system folder instead,
// its own imports searched for there too.
#include <windows.h>
#include <delayimp.h>

#include "startup/system_dlls.h"

namespace {

FARPROC WINAPI LoadFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary) return nullptr;
  HMODULE module = LoadSystemLibrary(info->szDll);
  // A null answer would make the helper try the bare name, which is the
  // search this hook exists to avoid: the failure is raised here instead,
  // as the helper raises it when a DLL cannot be found.
  if (module == nullptr) {
    ULONG_PTR argument = reinterpret_cast<ULONG_PTR>(info);
    RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND), 0, 1, &argument);
  }
  return reinterpret_cast<FARPROC>(module);
}

}  // namespace

// Both hooks (declared extern "C" by delayimp.h) are defined here so that the run-time library's own (null)
// definitions, which share one object file, are never linked in as well.
PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
PfnDliHook __pfnDliFailureHook2 = nullptr;
