// RunSetup in this process, with the wizard template and the sample
// payload linked in: what start-up leaves behind for the wizard, and that
// Escape ends the program with everything released.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "render/render.h"
#include "resources/resource.h"
#include "startup/startup.h"
#include "startup/startup_steps.h"
#include "wizard/wizard.h"

namespace {
struct Observed {
  bool ran = false;
  HWND dialog = nullptr;
  bool dialogVisible = false;
  bool glyphsReady = false;
  std::string path;
  UINT desktopIcon = 0;
  bool backVisible = true;
  bool backEnabled = true;
  bool pathEditFocused = false;
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  int page = -2;
  LRESULT comboItemHeight = 0;
  LRESULT listItemHeight = 0;
} observed;

// Runs inside the program's own loop, once the wizard is up; leaves by
// pressing Escape the way a user would.
void CALLBACK InspectWizard(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  observed.ran = true;
  observed.dialog = mainDialog;
  observed.dialogVisible = IsWindowVisible(mainDialog) != 0;
  observed.glyphsReady = true;
  for (int k = 0; k < kGlyphImageCount; ++k)
    observed.glyphsReady = observed.glyphsReady && glyphDc[k] != nullptr && glyphBitmap[k] != nullptr;
  char path[MAX_PATH] = "";
  GetDlgItemTextA(mainDialog, IDC_PATH_EDIT, path, sizeof path);
  observed.path = path;
  observed.desktopIcon = IsDlgButtonChecked(mainDialog, IDC_DESKTOP_ICON);
  HWND back = GetDlgItem(mainDialog, IDC_BACK);
  observed.backVisible = IsWindowVisible(back) != 0;
  observed.backEnabled = IsWindowEnabled(back) != 0;
  observed.pathEditFocused = GetFocus() == GetDlgItem(mainDialog, IDC_PATH_EDIT);
  observed.bigIcon = reinterpret_cast<HICON>(SendMessageA(mainDialog, WM_GETICON, ICON_BIG, 0));
  observed.smallIcon = reinterpret_cast<HICON>(SendMessageA(mainDialog, WM_GETICON, ICON_SMALL, 0));
  observed.page = pageIndex;
  observed.comboItemHeight = SendDlgItemMessageA(mainDialog, IDC_LANGUAGE_COMBO, CB_GETITEMHEIGHT, 0, 0);
  observed.listItemHeight = SendDlgItemMessageA(mainDialog, IDC_LICENCE_LIST, LB_GETITEMHEIGHT, 0, 0);
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}
}  // namespace

TEST(RunSetup, ShowsThePathPageAndReleasesEverythingAfterEscape) {
  ASSERT_NE(SetTimer(nullptr, 0, 50, InspectWizard), 0u);
  int exitCode = RunSetup(GetModuleHandleA(nullptr), nullptr);

  ASSERT_TRUE(observed.ran);
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(observed.dialogVisible);
  EXPECT_TRUE(observed.glyphsReady);
  EXPECT_EQ(observed.page, 0);

  char windows[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 0u);
  EXPECT_EQ(observed.path, std::string(1, windows[0]) + ":\\Tavik");
  EXPECT_EQ(std::string(windowsDir), std::string(windows) + "\\");
  EXPECT_EQ(observed.desktopIcon, static_cast<UINT>(BST_CHECKED));
  EXPECT_FALSE(observed.backVisible);
  EXPECT_FALSE(observed.backEnabled);
  EXPECT_TRUE(observed.pathEditFocused);
  EXPECT_NE(observed.bigIcon, nullptr);
  EXPECT_EQ(observed.bigIcon, appIcon);
  EXPECT_EQ(observed.smallIcon, appIcon);
  // Both owner-drawn lists were measured by the wizard, not by the system.
  EXPECT_EQ(observed.comboItemHeight, 23);
  EXPECT_EQ(observed.listItemHeight, 23);

  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof program);
  std::string folder(program, std::strrchr(program, '\\') + 1);
  EXPECT_EQ(std::string(moduleDir), folder);
  EXPECT_EQ(uiLanguage, 0);  // the suite runs with an English locale
  EXPECT_STREQ(productFolderName, "Tavik");

  // Teardown: the dialog is gone and every GDI object of start-up released.
  EXPECT_EQ(mainDialog, nullptr);
  EXPECT_FALSE(IsWindow(observed.dialog));
  for (int k = 0; k < kGlyphImageCount; ++k) {
    EXPECT_EQ(glyphDc[k], nullptr);
    EXPECT_EQ(glyphBitmap[k], nullptr);
  }
  EXPECT_EQ(sampleFont, nullptr);
}

TEST(RunSetup, SecondInstanceReturnsAtOnce) {
  appInstance = nullptr;
  EXPECT_EQ(RunSetup(GetModuleHandleA(nullptr), GetModuleHandleA(nullptr)), 0);
  EXPECT_EQ(appInstance, nullptr);  // not one start-up step ran
  EXPECT_EQ(mainDialog, nullptr);
}
