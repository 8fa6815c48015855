// Start-menu and desktop shortcuts written into this process's sandboxed
// shell folders and read back through the shell link object.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "base/bounded_format.h"
#include "resources/texts.h"
#include "shell/shell.h"
#include "startup/startup.h"
#include "tests/support/disk_test_support.h"
#include "tests/support/sandbox_fixtures.h"
#include "tests/support/shell_link.h"
#include "wizard/wizard.h"

namespace {
SandboxEnvironment* const sandbox = AddSandboxEnvironment("shortcuts_test", Sandbox::kAll);

bool AnyFileLike(const std::string& pattern) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

bool SamePath(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string ShellFolder(int code) {
  char path[MAX_PATH] = "";
  GetShellFolderPath(path, code);
  return path;
}

class ShortcutsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EnsureTestGlyphFont());
    isVersion3 = 0;
    install_ = MakeScratchFolder("tavik-shortcuts");
    for (const char* program : {"TVKEdit.exe", "TVKEditUnInstall.exe", "Morvel.exe"})
      ASSERT_TRUE(WriteWholeFile(install_ + "\\" + program, "MZ"));
    ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, install_.c_str()));
    programs_ = ShellFolder(CSIDL_PROGRAMS);
    ASSERT_TRUE(SamePath(programs_, sandbox->sandbox().ProgramsFolder())) << programs_;
    tag_ = "Tavik test " + std::to_string(GetCurrentProcessId());
    folderName_ = tag_ + " folder";
    editor_ = tag_ + " editor";
    uninstaller_ = tag_ + " uninstall";
  }
  void TearDown() override {
    isVersion3 = 0;
    isWindowsNT = 0;
    RemoveTree(programs_ + "\\" + folderName_);
    for (const std::string& name : {editor_, uninstaller_})
      DeleteFileA((programs_ + "\\" + name + ".lnk").c_str());
    RemoveTree(install_);
  }

  // The editor and uninstaller entries under this test's names.
  const ShortcutEntry* Entries() {
    entries_[0] = {editor_.c_str(), "TVKEdit.exe"};
    entries_[1] = {uninstaller_.c_str(), "TVKEditUnInstall.exe"};
    entries_[2] = {nullptr, nullptr};
    return entries_;
  }

  void ExpectLink(const std::string& linkPath, const std::string& name, const char* program) {
    SCOPED_TRACE(linkPath);
    LinkFacts facts = ReadShellLink(linkPath);
    ASSERT_TRUE(facts.loaded);
    std::string target = std::string(installDir) + "\\" + program;
    EXPECT_TRUE(SamePath(facts.path, target)) << facts.path;
    EXPECT_EQ(facts.description, name);
    EXPECT_TRUE(SamePath(facts.workingDirectory, installDir)) << facts.workingDirectory;
    EXPECT_TRUE(SamePath(facts.iconPath, target)) << facts.iconPath;
    EXPECT_EQ(facts.iconIndex, 0);
  }

  std::string install_, programs_, tag_, folderName_, editor_, uninstaller_;
  ShortcutEntry entries_[3] = {};
};
}  // namespace

TEST_F(ShortcutsTest, StartMenuFolderWithBothShortcuts) {
  std::string folder = programs_ + "\\" + folderName_;
  // The second run finds the folder and replaces the shortcuts.
  for (const std::string& install : {install_, install_ + "\\second"}) {
    SCOPED_TRACE(install);
    ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, install.c_str()));
    MessageAnswerer answerer;
    EXPECT_EQ(CreateStartMenuEntry(folderName_.c_str(), Entries(), CSIDL_PROGRAMS), 1);
    ExpectLink(folder + "\\" + editor_ + ".lnk", editor_, "TVKEdit.exe");
    ExpectLink(folder + "\\" + uninstaller_ + ".lnk", uninstaller_, "TVKEditUnInstall.exe");
    EXPECT_TRUE(answerer.messages().empty());
  }
}

TEST_F(ShortcutsTest, NoFolderNameWritesIntoPrograms) {
  for (const char* folderName : {static_cast<const char*>(nullptr), ""}) {
    SCOPED_TRACE(folderName == nullptr ? "null" : "empty");
    MessageAnswerer answerer;
    EXPECT_EQ(CreateStartMenuEntry(folderName, Entries(), CSIDL_PROGRAMS), 1);
    ExpectLink(programs_ + "\\" + editor_ + ".lnk", editor_, "TVKEdit.exe");
    EXPECT_TRUE(answerer.messages().empty());
    DeleteFileA((programs_ + "\\" + editor_ + ".lnk").c_str());
  }
}

TEST_F(ShortcutsTest, OnlyTheLastEntryDecides) {
  // '|' cannot be part of a file name, so that shortcut cannot be saved.
  const std::string bad = tag_ + " bad|name";
  const ShortcutEntry badFirst[] = {
      {bad.c_str(), "TVKEdit.exe"}, {uninstaller_.c_str(), "TVKEditUnInstall.exe"}, {}};
  const ShortcutEntry badLast[] = {
      {editor_.c_str(), "TVKEdit.exe"}, {bad.c_str(), "TVKEditUnInstall.exe"}, {}};
  {
    MessageAnswerer answerer;
    EXPECT_EQ(CreateStartMenuEntry(folderName_.c_str(), badFirst, CSIDL_PROGRAMS), 1);
    EXPECT_TRUE(answerer.messages().empty());
  }
  MessageAnswerer answerer;
  EXPECT_EQ(CreateStartMenuEntry(folderName_.c_str(), badLast, CSIDL_PROGRAMS), 0);
  ASSERT_EQ(answerer.messages().size(), 1u);
  EXPECT_EQ(answerer.messages()[0].chinese, kTextStartMenuCn);
  EXPECT_EQ(answerer.messages()[0].english, kTextStartMenuEn);
  // The entry before the failed one is written all the same.
  EXPECT_TRUE(FileExists(programs_ + "\\" + folderName_ + "\\" + editor_ + ".lnk"));
}

TEST_F(ShortcutsTest, LegacyFolderOfVersion3) {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  char user[256];
  DWORD userLength = sizeof user;
  ASSERT_TRUE(GetUserNameA(user, &userLength));
  isVersion3 = 1;
  isWindowsNT = 1;
  char path[MAX_PATH];
  ASSERT_TRUE(BuildLegacyFolderPath(path, CSIDL_DESKTOP));
  EXPECT_EQ(std::string(path), std::string(windows) + "\\profiles\\" + user + "\\Desktop");
  ASSERT_TRUE(BuildLegacyFolderPath(path, CSIDL_PROGRAMS));
  std::string legacyPrograms = std::string(windows) + "\\profiles\\" + user + "\\start menu\\programs";
  EXPECT_EQ(std::string(path), legacyPrograms);

  // That folder does not exist in the prefix: only the last level is made,
  // so the program folder cannot be created.
  ASSERT_FALSE(FileExists(legacyPrograms));
  MessageAnswerer answerer;
  EXPECT_EQ(CreateStartMenuEntry(folderName_.c_str(), Entries(), CSIDL_PROGRAMS), 0);
  ASSERT_EQ(answerer.messages().size(), 1u);
  char chinese[600];
  std::string folder = legacyPrograms + "\\" + folderName_;
  ASSERT_TRUE(FormatBounded(chinese, sizeof chinese, kTextStartFolderCn, folder.c_str()));
  EXPECT_EQ(answerer.messages()[0].chinese, chinese);
  EXPECT_EQ(answerer.messages()[0].english, "Cannot create folder!");
  EXPECT_FALSE(FileExists(folder));

  isWindowsNT = 0;
  ASSERT_TRUE(BuildLegacyFolderPath(path, CSIDL_PROGRAMS));
  EXPECT_EQ(std::string(path), std::string(windows) + "\\start menu\\programs");
}

TEST_F(ShortcutsTest, DesktopShortcut) {
  std::string link = ShellFolder(CSIDL_DESKTOP) + "\\" + editor_ + ".lnk";
  MessageAnswerer answerer;
  CreateDesktopShortcut("Morvel.exe", editor_.c_str());
  ExpectLink(link, editor_, "Morvel.exe");
  DeleteFileA(link.c_str());
  EXPECT_TRUE(answerer.messages().empty());
}

TEST_F(ShortcutsTest, TargetWithoutBackslashSetsNoWorkingDirectory) {
  std::string link = install_ + "\\bare.lnk";
  ASSERT_TRUE(CreateShellLink("TVKEdit.exe", link.c_str(), "bare"));
  LinkFacts facts = ReadShellLink(link);
  ASSERT_TRUE(facts.loaded);
  EXPECT_EQ(facts.workingDirectory, "");
  EXPECT_EQ(facts.description, "bare");
}

TEST_F(ShortcutsTest, OverlongPathsFailWithoutWriting) {
  // Program folder path beyond 259 characters: told as a folder failure.
  {
    std::string longName = folderName_ + std::string(260 - folderName_.size(), 'f');
    MessageAnswerer answerer;
    EXPECT_EQ(CreateStartMenuEntry(longName.c_str(), Entries(), CSIDL_PROGRAMS), 0);
    ASSERT_EQ(answerer.messages().size(), 1u);
    EXPECT_EQ(answerer.messages()[0].english, "Cannot create folder!");
  }
  // Target paths beyond 259 characters: no shortcut is written.
  std::string deep = install_ + "\\" + std::string(250 - install_.size(), 'd');
  ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, deep.c_str()));
  {
    MessageAnswerer answerer;
    EXPECT_EQ(CreateStartMenuEntry(folderName_.c_str(), Entries(), CSIDL_PROGRAMS), 0);
    EXPECT_TRUE(IsEmptyFolder(programs_ + "\\" + folderName_));
    ASSERT_EQ(answerer.messages().size(), 1u);
    EXPECT_EQ(answerer.messages()[0].english, kTextStartMenuEn);
  }
  // A link name that makes the link path too long: silent on the desktop.
  ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, install_.c_str()));
  std::string longLink(255, 'n');
  MessageAnswerer answerer;
  CreateDesktopShortcut("Morvel.exe", longLink.c_str());
  EXPECT_TRUE(answerer.messages().empty());
  EXPECT_FALSE(AnyFileLike(ShellFolder(CSIDL_DESKTOP) + "\\nnnn*"));
  EXPECT_FALSE(CreateShellLink((install_ + "\\Morvel.exe").c_str(),
                               (install_ + "\\" + longLink + ".lnk").c_str(), "long"));
  EXPECT_FALSE(AnyFileLike(install_ + "\\nnnn*"));
}
