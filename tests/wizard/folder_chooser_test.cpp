// The folder chooser as a real old-style open-file dialog driven from a
// timer, and CreateInstallFolder on real folders.
#include "tests/support/disk_test_support.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/bounded_format.h"
#include "base/manifest.h"
#include "resources/texts.h"
#include "startup/startup.h"
#include "wizard/wizard.h"

namespace {
const char kEditBefore[] = "C:\\Before\\Tavik";

std::string CurrentFolder() {
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof folder, folder);
  return folder;
}

bool SamePath(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// What the chooser looked like when the timer found it.
struct ChooserView {
  bool found = false;
  bool cancelOwnerDrawn = false;
  bool focusOnFolderList = false;
  bool fileNameHidden = false;
  bool folderListShown = false;
  std::string currentFolderLabel;
};

// Opens the entry of the folder list that starts with name, as a double
// click would.
bool OpenListedFolder(HWND chooser, const char* name) {
  HWND list = GetDlgItem(chooser, lst2);
  LRESULT index = SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(name));
  if (index == LB_ERR) return false;
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(lst2, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
  return true;
}

class FolderChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EnsureTestGlyphFont());
    scratch_ = MakeScratchFolder("tavik-chooser");
    ASSERT_TRUE(CreateDirectoryA((scratch_ + "\\apps").c_str(), nullptr));
    owner_ = CreateWindowExA(0, "STATIC", "wizard", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(owner_, nullptr);
    CreateWindowExA(0, "EDIT", kEditBefore, WS_CHILD | WS_VISIBLE, 10, 10, 300, 20, owner_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PATH_EDIT)), nullptr, nullptr);
    CopyBounded(installDir, sizeof installDir, "unchanged");
  }
  void TearDown() override {
    DestroyWindow(owner_);
    SetCurrentDirectoryA("C:\\");
    RemoveTree(scratch_);
  }

  // Runs Browse starting in startFolder; step acts on the open chooser.
  ChooserView Browse(const std::string& startFolder, std::function<void(HWND)> step) {
    ChooserView view;
    SetCurrentDirectoryA(startFolder.c_str());
    DialogWatcher watcher([](HWND dialog) { return GetDlgItem(dialog, lst2) != nullptr; },
                          [&](HWND chooser) {
                            view.found = true;
                            HWND cancel = GetDlgItem(chooser, IDCANCEL);
                            view.cancelOwnerDrawn =
                                (GetWindowLongA(cancel, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
                            view.focusOnFolderList = GetFocus() == GetDlgItem(chooser, lst2);
                            view.fileNameHidden = !IsWindowVisible(GetDlgItem(chooser, edt1));
                            view.folderListShown = IsWindowVisible(GetDlgItem(chooser, lst2)) != 0;
                            view.currentFolderLabel = ControlText(chooser, stc1);
                            step(chooser);
                          });
    BrowseForFolder(owner_);
    // The process's folder is where it was before Browse.
    EXPECT_TRUE(SamePath(CurrentFolder(), startFolder)) << CurrentFolder();
    return view;
  }

  std::string EditText() { return ControlText(owner_, IDC_PATH_EDIT); }

  std::string scratch_;
  HWND owner_ = nullptr;
};

void PressOk(HWND chooser) {
  PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDOK)));
}
}  // namespace

TEST_F(FolderChooserTest, OkTakesTheOpenedFolder) {
  ChooserView view = Browse(scratch_, [](HWND chooser) {
    EXPECT_TRUE(OpenListedFolder(chooser, "[apps]"));
    PressOk(chooser);
  });
  ASSERT_TRUE(view.found);
  EXPECT_TRUE(view.cancelOwnerDrawn);
  EXPECT_TRUE(view.focusOnFolderList);
  EXPECT_TRUE(view.fileNameHidden);
  EXPECT_TRUE(view.folderListShown);
  EXPECT_FALSE(view.currentFolderLabel.empty());
  EXPECT_TRUE(SamePath(installDir, scratch_ + "\\apps")) << installDir;
  EXPECT_TRUE(SamePath(EditText(), scratch_ + "\\apps\\Tavik")) << EditText();
}

TEST_F(FolderChooserTest, DriveRootGivesNoDoubledBackslash) {
  // The parent of C:\windows is the drive root.
  ChooserView view = Browse("C:\\windows", [](HWND chooser) {
    EXPECT_TRUE(OpenListedFolder(chooser, "[..]"));
    PressOk(chooser);
  });
  ASSERT_TRUE(view.found);
  EXPECT_TRUE(SamePath(installDir, "C:")) << installDir;
  EXPECT_TRUE(SamePath(EditText(), "C:\\Tavik")) << EditText();
}

TEST_F(FolderChooserTest, CancelAndEscapeLeaveThePathAlone) {
  for (bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Escape" : "Cancel");
    ChooserView view = Browse(scratch_, [escape](HWND chooser) {
      EXPECT_TRUE(OpenListedFolder(chooser, "[apps]"));
      if (escape) {
        PressKey(chooser, VK_ESCAPE);
      } else {
        PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDCANCEL)));
      }
    });
    ASSERT_TRUE(view.found);
    EXPECT_EQ(EditText(), kEditBefore);
    EXPECT_STREQ(installDir, "unchanged");
  }
}

// The chooser's folder gets "\Tavik"; where that passes the deepest
// install folder for the longest file name, it is refused as Install
// refuses it, and the path stays; one character shallower is offered.
TEST_F(FolderChooserTest, FolderTooDeepForTheFilesIsNotOffered) {
  std::size_t longest = 0;
  for (const ManifestRow& row : kManifest) longest = std::max(longest, std::strlen(row.fileName));
  const std::size_t deepest = MAX_PATH - 2 - longest;
  for (bool offered : {true, false}) {
    std::size_t length = deepest - (offered ? 6 : 5);
    SCOPED_TRACE(length);
    std::string folder = MakeFolderOfLength(scratch_ + "\\apps", length, offered ? 'o' : 'r');
    MessageAnswerer answerer;
    ChooserView view = Browse(folder, PressOk);
    ASSERT_TRUE(view.found);
    EXPECT_EQ(EditText(), offered ? folder + "\\Tavik" : kEditBefore);
    ASSERT_EQ(answerer.messages().size(), offered ? 0u : 1u);
    if (!offered) {
      EXPECT_EQ(answerer.messages()[0].english, "Cannot create folder! Please check folder path.");
    }
    SetDlgItemTextA(owner_, IDC_PATH_EDIT, kEditBefore);
  }
}

class InstallFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EnsureTestGlyphFont());
    scratch_ = MakeScratchFolder("tavik-install-folder");
  }
  void TearDown() override {
    SetCurrentDirectoryA("C:\\");  // a current folder cannot be removed
    RemoveTree(scratch_);
  }

  int Create(const std::string& folder) {
    EXPECT_TRUE(CopyBounded(installDir, sizeof installDir, folder.c_str()));
    return CreateInstallFolder(nullptr);
  }

  std::string scratch_;
};

TEST_F(InstallFolderTest, ExistingFolderGetsNothingAdded) {
  MessageAnswerer answerer;
  EXPECT_EQ(Create(scratch_), 1);
  EXPECT_TRUE(IsEmptyFolder(scratch_));
  EXPECT_TRUE(answerer.messages().empty());
}

TEST_F(InstallFolderTest, NewFolderGetsAnEmptyDocFolder) {
  for (const char* typed : {"\\Target", "\\Trailing\\"}) {
    SCOPED_TRACE(typed);
    MessageAnswerer answerer;
    std::string folder = scratch_ + typed;
    EXPECT_EQ(Create(folder), 1);
    EXPECT_TRUE(IsEmptyFolder(folder + (folder.back() == '\\' ? "doc" : "\\doc")));
    EXPECT_TRUE(answerer.messages().empty());
  }
}

TEST_F(InstallFolderTest, MissingParentIsToldAndNothingMade) {
  MessageAnswerer answerer;
  EXPECT_EQ(Create(scratch_ + "\\New\\Deeper"), 0);
  EXPECT_TRUE(IsEmptyFolder(scratch_));
  ASSERT_EQ(answerer.messages().size(), 1u);
  EXPECT_EQ(answerer.messages()[0].chinese, kTextFolderCn);
  EXPECT_EQ(answerer.messages()[0].english, "Cannot create folder! Please check folder path.");
  EXPECT_EQ(answerer.messages()[0].buttons, std::vector<int>{IDOK});
}
