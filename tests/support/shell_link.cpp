// Reads a shell link file (see shell_link.h).
#include "tests/support/shell_link.h"

#include <windows.h>
#include <shlobj.h>

LinkFacts ReadShellLink(const std::string& linkPath) {
  LinkFacts facts;
  // COM may already be up on this thread, in either apartment.
  HRESULT init = CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    WCHAR wide[MAX_PATH];
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) > 0 &&
          SUCCEEDED(file->Load(wide, STGM_READ))) {
        facts.loaded = true;
        char text[1024] = "";
        if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) facts.path = text;
        text[0] = '\0';
        if (SUCCEEDED(link->GetDescription(text, sizeof text))) facts.description = text;
        text[0] = '\0';
        if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) facts.workingDirectory = text;
        text[0] = '\0';
        if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &facts.iconIndex))) facts.iconPath = text;
      }
      file->Release();
    }
    link->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return facts;
}
