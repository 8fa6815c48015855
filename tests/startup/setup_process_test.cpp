// The built setup program as a user meets it: started as its own process,
// found by its caption, closed the three ways a user closes it, and its
// exit code read. A copy built with a damaged glyph font must end with 1
// and never show a window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/window_search.h"

namespace {
constexpr char kCaption[] = "Tavik Roved Editor Installer";
constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;
// How often the windows are looked at while waiting for the process.
constexpr DWORD kLookMs = 20;

// Build paths come as Unix paths; Wine sees the root as drive Z.
std::string WindowsPath(const char* unixPath) {
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// The visible top-level windows of the process.
std::vector<HWND> VisibleWindows(DWORD processId) {
  WindowQuery query;
  query.processId = processId;
  return FindWindowsBy(query);
}

class SetupProcess {
 public:
  explicit SetupProcess(const char* unixPath) {
    std::string commandLine = "\"" + WindowsPath(unixPath) + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info_) != 0;
  }
  ~SetupProcess() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  bool started() const { return started_; }

  // The wizard once it is visible, or null after the timeout or the end.
  HWND WaitForWizard() {
    WindowQuery query;
    query.processId = info_.dwProcessId;
    query.caption = kCaption;
    for (ULONGLONG end = GetTickCount64() + kStartTimeoutMs; GetTickCount64() < end;) {
      if (HWND wizard = FindWindowBy(query)) return wizard;
      if (WaitForSingleObject(info_.hProcess, kLookMs) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

  // Waits for the end; counts the visible windows seen on the way.
  bool WaitForExit(DWORD* exitCode, int* windowsSeen) {
    for (ULONGLONG end = GetTickCount64() + kExitTimeoutMs; GetTickCount64() < end;) {
      *windowsSeen += static_cast<int>(VisibleWindows(info_.dwProcessId).size());
      if (WaitForSingleObject(info_.hProcess, kLookMs) == WAIT_OBJECT_0)
        return GetExitCodeProcess(info_.hProcess, exitCode) != 0;
    }
    return false;
  }

 private:
  PROCESS_INFORMATION info_ = {};
  bool started_ = false;
};

enum class CloseBy { kEscape, kCloseMessage, kCloseBox };

void Close(HWND wizard, CloseBy how) {
  switch (how) {
    case CloseBy::kEscape:
      // The path edit has the focus when the wizard opens.
      PostMessageA(GetDlgItem(wizard, IDC_PATH_EDIT), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
      break;
    case CloseBy::kCloseMessage:
      PostMessageA(wizard, WM_CLOSE, 0, 0);
      break;
    case CloseBy::kCloseBox:
      PostMessageA(wizard, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
}
}  // namespace

TEST(SetupProcess, EscapeAndTheCloseBoxEndTheProgramWithExitCodeZero) {
  const struct {
    const char* name;
    CloseBy how;
  } cases[] = {{"Escape", CloseBy::kEscape},
               {"WM_CLOSE", CloseBy::kCloseMessage},
               {"SC_CLOSE", CloseBy::kCloseBox}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetupProcess setup(TAVIK_SETUP_EXE);
    ASSERT_TRUE(setup.started());
    HWND wizard = setup.WaitForWizard();
    ASSERT_NE(wizard, nullptr);
    Close(wizard, c.how);
    DWORD exitCode = 99;
    int windowsSeen = 0;
    ASSERT_TRUE(setup.WaitForExit(&exitCode, &windowsSeen));
    EXPECT_EQ(exitCode, 0u);
  }
}

TEST(SetupProcess, DamagedGlyphFontExitsWithOneAndShowsNoWindow) {
  SetupProcess setup(TAVIK_DAMAGED_FONT_SETUP_EXE);
  ASSERT_TRUE(setup.started());
  DWORD exitCode = 99;
  int windowsSeen = 0;
  ASSERT_TRUE(setup.WaitForExit(&exitCode, &windowsSeen));
  EXPECT_EQ(exitCode, 1u);
  EXPECT_EQ(windowsSeen, 0);
}
