// The registry and shell-folder sandbox of the Windows tests and benchmarks:
// HKEY_CLASSES_ROOT and HKEY_CURRENT_USER of this process redirected into
// scratch keys, and the Start-menu and desktop folders into a scratch
// folder, so that nothing reaches the prefix's real ones, which other test
// programs use at the same time.
#pragma once

#include <windows.h>

#include <string>

class Sandbox {
 public:
  enum Scope : unsigned {
    kClasses = 1,       // HKEY_CLASSES_ROOT
    kUser = 2,          // HKEY_CURRENT_USER, with Programs and Desktop folders of its own
    kAll = kClasses | kUser,
  };
  // The keys live under HKEY_CURRENT_USER\Software\TavikTests\<name>_<pid>,
  // the folders under "<temp>\<name>-sandbox-<pid>". The shell reads the
  // shell folders once per process: a sandbox with kUser comes before any
  // shell call, and lasts as long as the process uses the shell.
  Sandbox(const std::string& name, unsigned scope);
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // "" when every redirection took, else what failed.
  const std::string& error() const { return error_; }
  HKEY classes() const { return classes_; }
  // The sandbox's key below the real HKEY_CURRENT_USER, for links and
  // volatile keys beside the redirected ones.
  const std::string& keyPath() const { return keyPath_; }
  // The same key as the kernel names it, for the target of a link key.
  std::string NativeKeyPath() const;
  std::string ProgramsFolder() const { return folder_ + "\\Programs"; }
  std::string DesktopFolder() const { return folder_ + "\\Desktop"; }

  // Makes keyName (below the redirected classes; its parents are made as
  // ordinary keys) a key that cannot be created. Wine does not enforce
  // registry security for the key's own user, so it becomes a link to a
  // non-volatile child of a volatile key.
  bool MakeUncreatableKey(const std::string& keyName);

  // Deletes every key and value below the redirected classes; link keys
  // are deleted themselves, never what they point at.
  void EmptyClasses();
  // Deletes everything in the Programs and Desktop folders.
  void EmptyShellFolders();

 private:
  void RedirectUser();

  std::string error_;
  std::string keyPath_;
  std::string folder_;
  HKEY root_ = nullptr;
  HKEY classes_ = nullptr;
  HKEY user_ = nullptr;
};

// Deletes every subkey of key and its values' keys below; link keys are
// deleted through their own handles.
void EmptyKey(HKEY key);
