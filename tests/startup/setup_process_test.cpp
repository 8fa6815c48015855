// The built setup program as a user meets it: started as its own process,
// found by its caption, closed the three ways a user closes it, and its
// exit code read. A copy built with a damaged glyph font must end with 1
// and never show a window.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "resources/resource.h"

namespace {
constexpr char kCaption[] = "Tavik Roved Editor Installer";
constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;

// Build paths come as Unix paths; Wine sees the root as drive Z.
std::string WindowsPath(const char* unixPath) {
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

struct WindowSearch {
  DWORD processId;
  HWND wizard;
  int visible;
};

BOOL CALLBACK InspectWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->processId || !IsWindowVisible(window)) return TRUE;
  ++search->visible;
  char caption[64] = "";
  GetWindowTextA(window, caption, sizeof caption);
  if (std::strcmp(caption, kCaption) == 0) search->wizard = window;
  return TRUE;
}

WindowSearch SearchWindows(DWORD processId) {
  WindowSearch search = {processId, nullptr, 0};
  EnumWindows(InspectWindow, reinterpret_cast<LPARAM>(&search));
  return search;
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

  // The wizard once it is visible, or null after the timeout.
  HWND WaitForWizard() {
    for (DWORD waited = 0; waited < kStartTimeoutMs; waited += 50) {
      WindowSearch search = SearchWindows(info_.dwProcessId);
      if (search.wizard != nullptr) return search.wizard;
      if (WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

  // Waits for the end; counts the visible windows seen on the way.
  bool WaitForExit(DWORD* exitCode, int* windowsSeen) {
    for (DWORD waited = 0; waited < kExitTimeoutMs; waited += 20) {
      *windowsSeen += SearchWindows(info_.dwProcessId).visible;
      if (WaitForSingleObject(info_.hProcess, 20) == WAIT_OBJECT_0)
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
