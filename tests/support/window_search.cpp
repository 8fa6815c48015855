// Window search (see window_search.h).
#include "tests/support/window_search.h"

namespace {
struct Search {
  const WindowQuery* query;
  std::vector<HWND> found;
  bool firstOnly;
};

bool Matches(HWND window, const WindowQuery& query) {
  if (window == query.except) return false;
  if (query.visible && !IsWindowVisible(window)) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (query.processId != 0 && process != query.processId) return false;
  if (query.className != nullptr) {
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, query.className) != 0) return false;
  }
  if (query.caption != nullptr) {
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (lstrcmpA(caption, query.caption) != 0) return false;
  }
  return query.controlId == 0 || GetDlgItem(window, query.controlId) != nullptr;
}

BOOL CALLBACK Visit(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (!Matches(window, *search->query)) return TRUE;
  search->found.push_back(window);
  return search->firstOnly ? FALSE : TRUE;
}

std::vector<HWND> Run(const WindowQuery& query, bool firstOnly) {
  Search search = {&query, {}, firstOnly};
  if (query.threadId != 0) {
    EnumThreadWindows(query.threadId, Visit, reinterpret_cast<LPARAM>(&search));
  } else {
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

BOOL CALLBACK FindUnpaintedChild(HWND child, LPARAM unpainted) {
  if (!IsWindowVisible(child) || !GetUpdateRect(child, nullptr, FALSE)) return TRUE;
  *reinterpret_cast<bool*>(unpainted) = true;
  return FALSE;
}
}  // namespace

HWND FindWindowBy(const WindowQuery& query) {
  std::vector<HWND> found = Run(query, true);
  return found.empty() ? nullptr : found.front();
}

std::vector<HWND> FindWindowsBy(const WindowQuery& query) { return Run(query, false); }

bool IsPainted(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  bool unpainted = false;
  EnumChildWindows(window, FindUnpaintedChild, reinterpret_cast<LPARAM>(&unpainted));
  return !unpainted;
}
