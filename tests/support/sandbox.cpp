// The registry and shell-folder sandbox (see sandbox.h).
#include "tests/support/sandbox.h"

#include <sddl.h>

#include "tests/support/files.h"

namespace {
constexpr char kTestsKey[] = "Software\\TavikTests";
constexpr char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

HKEY CreateKey(HKEY parent, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

bool SetString(HKEY key, const char* name, const std::string& value) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

// A deletion by name would follow a link key to its target, so every key
// is opened as itself and deleted through its handle.
void DeleteKey(HKEY parent, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, name, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return;
  EmptyKey(key);
  using DeleteKeyFunction = LONG(NTAPI*)(HANDLE);
  auto deleteKey = reinterpret_cast<DeleteKeyFunction>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey"));
  if (deleteKey != nullptr) deleteKey(key);
  RegCloseKey(key);
}
}  // namespace

void EmptyKey(HKEY key) {
  char name[256];
  for (std::string previous;;) {
    DWORD size = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    if (previous == name) break;  // could not be deleted; give up rather than loop
    previous = name;
    DeleteKey(key, name);
  }
  for (;;) {
    DWORD size = sizeof name;
    if (RegEnumValueA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
        RegDeleteValueA(key, name) != ERROR_SUCCESS)
      break;
  }
}

Sandbox::Sandbox(const std::string& name, unsigned scope) {
  std::string tag = name + "_" + std::to_string(GetCurrentProcessId());
  keyPath_ = std::string(kTestsKey) + "\\" + tag;
  root_ = CreateKey(HKEY_CURRENT_USER, keyPath_);
  if (root_ == nullptr) {
    error_ = "cannot create HKEY_CURRENT_USER\\" + keyPath_;
    return;
  }
  EmptyKey(root_);  // left by a killed run under the same process id
  if (scope & kClasses) {
    classes_ = CreateKey(root_, "Classes");
    if (classes_ == nullptr || RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_) != ERROR_SUCCESS)
      error_ = "cannot redirect HKEY_CLASSES_ROOT";
  }
  if (scope & kUser) RedirectUser();
}

void Sandbox::RedirectUser() {
  folder_ = MakeScratchFolder(keyPath_.substr(keyPath_.rfind('\\') + 1) + "-sandbox");
  if (folder_.empty() || !CreateDirectoryA(ProgramsFolder().c_str(), nullptr) ||
      !CreateDirectoryA(DesktopFolder().c_str(), nullptr)) {
    error_ = "cannot make the shell folders under " + folder_;
    return;
  }
  user_ = CreateKey(root_, "User");
  HKEY folders = user_ != nullptr ? CreateKey(user_, kUserShellFolders) : nullptr;
  bool ok = folders != nullptr && SetString(folders, "Programs", ProgramsFolder()) &&
            SetString(folders, "Desktop", DesktopFolder());
  if (folders != nullptr) RegCloseKey(folders);
  if (!ok || RegOverridePredefKey(HKEY_CURRENT_USER, user_) != ERROR_SUCCESS)
    error_ = "cannot redirect HKEY_CURRENT_USER";
}

Sandbox::~Sandbox() {
  if (user_ != nullptr) RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  if (classes_ != nullptr) RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
  for (HKEY key : {classes_, user_}) {
    if (key != nullptr) RegCloseKey(key);
  }
  if (root_ != nullptr) {
    EmptyKey(root_);
    RegCloseKey(root_);
    RegDeleteKeyA(HKEY_CURRENT_USER, keyPath_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestsKey);  // only when no other run uses it
  }
  if (!folder_.empty()) RemoveTree(folder_);
}

std::string Sandbox::NativeKeyPath() const {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::string();
  BYTE buffer[256];
  DWORD size = 0;
  bool ok = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) != 0;
  CloseHandle(token);
  char* sid = nullptr;
  if (!ok || !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid))
    return std::string();
  std::string path = std::string("\\Registry\\User\\") + sid + "\\" + keyPath_;
  LocalFree(sid);
  return path;
}

bool Sandbox::MakeUncreatableKey(const std::string& keyName) {
  if (classes_ == nullptr) return false;
  HKEY key = nullptr;
  if (RegCreateKeyExA(root_, "Volatile", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  std::size_t cut = keyName.rfind('\\');
  if (cut != std::string::npos) {
    key = CreateKey(classes_, keyName.substr(0, cut));
    if (key == nullptr) return false;
    RegCloseKey(key);
  }
  if (RegCreateKeyExA(classes_, keyName.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  std::string target = NativeKeyPath() + "\\Volatile\\Missing";
  std::wstring wide(target.begin(), target.end());
  bool linked = RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                               reinterpret_cast<const BYTE*>(wide.c_str()),
                               static_cast<DWORD>(wide.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(key);
  return linked;
}

void Sandbox::EmptyClasses() {
  if (classes_ != nullptr) EmptyKey(classes_);
}

void Sandbox::EmptyShellFolders() {
  if (folder_.empty()) return;
  for (const std::string& folder : {ProgramsFolder(), DesktopFolder()}) {
    for (const std::string& name : ListFolder(folder)) RemoveTree(folder + "\\" + name);
  }
}
