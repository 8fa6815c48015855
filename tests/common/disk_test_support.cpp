// Helpers of the disk-facing Windows tests (see disk_test_support.h).
#include "tests/common/disk_test_support.h"

#include <algorithm>
#include <cstdio>

#include "install/install.h"
#include "render/render.h"
#include "resources/resource.h"
#include "startup/startup.h"

namespace {
std::vector<DialogWatcher*> watchers;
DialogWatcher* visiting = nullptr;

struct EnumState {
  std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM state) {
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  if (IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0)
    reinterpret_cast<EnumState*>(state)->dialogs.push_back(window);
  return TRUE;
}
}  // namespace

std::string MakeScratchFolder(const std::string& tag) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string folder = std::string(temp) + tag + "-" + std::to_string(GetCurrentProcessId());
  RemoveTree(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

std::string ReadBytes(const std::string& path) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return "<missing>";
  for (int c; (c = std::fgetc(file)) != EOF;) bytes += static_cast<char>(c);
  std::fclose(file);
  return bytes;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsEmptyFolder(const std::string& path) {
  if (!IsFolder(path)) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  bool empty = true;
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") empty = false;
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return empty;
}

void SetAttributes(const std::string& path, DWORD attributes) {
  SetFileAttributesA(path.c_str(), attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL);
}

bool EnsureTestGlyphFont() {
  static bool loaded = false;
  if (loaded) return true;
  appInstance = GetModuleHandleA(nullptr);
  static std::vector<unsigned char> font(307200);
  unsigned long length = static_cast<unsigned long>(font.size());
  if (InflatePayload(IDR_GLYPH_FONT, font.data(), &length) != 0) return false;
  loaded = LoadGlyphFont(font.data()) != 0;
  return loaded;
}

DialogWatcher::DialogWatcher(std::function<bool(HWND)> isTarget, std::function<void(HWND)> act)
    : isTarget_(std::move(isTarget)), act_(std::move(act)) {
  timer_ = SetTimer(nullptr, 0, 30, &DialogWatcher::OnTimer);
  watchers.push_back(this);
}

DialogWatcher::~DialogWatcher() {
  KillTimer(nullptr, timer_);
  watchers.erase(std::remove(watchers.begin(), watchers.end(), this), watchers.end());
}

void CALLBACK DialogWatcher::OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  // A dialog opened by act is visited on a later tick, not from inside act.
  if (visiting != nullptr) return;
  for (DialogWatcher* watcher : watchers) {
    if (watcher->timer_ != timer) continue;
    visiting = watcher;
    watcher->Visit();
    visiting = nullptr;
    return;
  }
}

void DialogWatcher::Visit() {
  visited_.erase(std::remove_if(visited_.begin(), visited_.end(),
                                [](HWND window) { return !IsWindow(window); }),
                 visited_.end());
  EnumState state;
  EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&state));
  for (HWND dialog : state.dialogs) {
    if (std::find(visited_.begin(), visited_.end(), dialog) != visited_.end()) continue;
    if (!isTarget_(dialog)) continue;
    visited_.push_back(dialog);
    act_(dialog);
  }
}

MessageAnswerer::MessageAnswerer(int answer)
    : answer_(answer),
      watcher_([](HWND dialog) { return GetDlgItem(dialog, IDC_MESSAGE_ENGLISH) != nullptr; },
               [this](HWND dialog) { Answer(dialog); }) {}

void MessageAnswerer::Answer(HWND box) {
  SeenMessage seen;
  seen.chinese = ControlText(box, IDC_MESSAGE_CHINESE);
  seen.english = ControlText(box, IDC_MESSAGE_ENGLISH);
  for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
    if (IsWindowVisible(GetDlgItem(box, id))) seen.buttons.push_back(id);
  }
  messages_.push_back(seen);
  if (answer_ == kEscape) {
    PressKey(box, VK_ESCAPE);
  } else {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer_, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, answer_)));
  }
}

void PressKey(HWND dialog, WPARAM key) {
  HWND focus = GetFocus();
  HWND target = focus != nullptr && IsChild(dialog, focus) ? focus : dialog;
  PostMessageA(target, WM_KEYDOWN, key, 0);
}

std::string ControlText(HWND dialog, int id) {
  char text[512] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}
