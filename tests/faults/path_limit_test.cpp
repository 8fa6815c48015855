// Every path the installer composes, at 258, 259, 260 and 261 characters:
// one that fits the 260-byte buffers (259 characters and the terminator)
// is used as it is; a longer one is a clean failure. Nothing is written
// under a shortened name: files that carry the shortened names sit beside
// the target as decoys and must come through unchanged.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/bounded_format.h"
#include "install/install.h"
#include "base/manifest.h"
#include "resources/texts.h"
#include "base/ref_string.h"
#include "shell/shell.h"
#include "startup/startup.h"
#include "tests/faults/fault_support.h"
#include "tests/support/disk_test_support.h"
#include "tests/support/sandbox_fixtures.h"
#include "wizard/wizard.h"

namespace {

constexpr std::size_t kLengths[] = {258, 259, 260, 261};
constexpr std::size_t kLongestPath = MAX_PATH - 1;
constexpr DWORD kReadOnlyHidden = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

bool Fits(std::size_t length) { return length <= kLongestPath; }

// Where a C-style cut to 259 characters would have put folder\name.
void PlaceDecoys(const std::string& folder, const std::string& name, const std::string& bytes) {
  std::size_t full = folder.size() + 1 + name.size();
  if (Fits(full)) return;
  std::size_t keep = name.size() - (full - kLongestPath);
  ASSERT_GT(keep, 0u);
  ASSERT_TRUE(WriteWholeFile(folder + "\\" + name.substr(0, keep), bytes));
}

// The shell folders are this program's own, so that the long names never
// reach the prefix's real Start menu and desktop.
SandboxEnvironment* const sandbox = AddSandboxEnvironment("path_limit_test", Sandbox::kAll);

// Names in folder that begin with prefix.
std::vector<std::string> NamesWith(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> names;
  for (const auto& entry : Snapshot(folder)) {
    if (entry.first.compare(0, prefix.size(), prefix) == 0) names.push_back(entry.first);
  }
  return names;
}

class PathLimits : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EnsureTestGlyphFont());
    static std::vector<unsigned char> shared(kInstallBufferSize);
    buffer_ = shared.data();
    base_ = MakeScratchFolder("tvk-path");
    ASSERT_TRUE(IsFolder(base_));
    isVersion3 = 0;
  }
  void TearDown() override { RemoveTree(base_); }

  // A fresh folder of that length for one case.
  std::string Folder(std::size_t length) {
    std::string parent = base_ + "\\" + std::to_string(++serial_);
    CreateDirectoryA(parent.c_str(), nullptr);
    return MakeFolderOfLength(parent, length, 'p');
  }

  void UseInstallDir(const std::string& folder) {
    ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, folder.c_str()));
  }

  std::string base_;
  int serial_ = 0;
  unsigned char* buffer_ = nullptr;
};

TEST_F(PathLimits, ExtractionIntoTheInstallFolderAndToAFullPath) {
  const std::string name = "pykeys.dic";
  for (bool fullPath : {false, true}) {
    for (std::size_t length : kLengths) {
      SCOPED_TRACE(std::string(fullPath ? "full path " : "install folder ") +
                   std::to_string(length));
      std::string folder = Folder(length - 1 - name.size());
      std::string target = folder + "\\" + name;
      UseInstallDir(fullPath ? base_ : folder);
      PlaceDecoys(folder, name, "decoy");
      FolderState before = Snapshot(folder);
      int written = ExtractPayload(106, fullPath ? "other.dic" : name.c_str(),
                                   kInstallBufferSize, 1, 1, fullPath ? target.c_str() : nullptr);
      EXPECT_EQ(written, Fits(length) ? 1 : 0);
      FolderState after = Snapshot(folder);
      if (Fits(length)) {
        ASSERT_EQ(after.count(name), 1u);
        EXPECT_EQ(after[name].attributes, kReadOnlyHidden);
        after.erase(name);
      }
      EXPECT_EQ(DescribeChange(before, after), "");
    }
  }
}

// The file's identity on disk: a replace gives the target a new one, a
// write in place keeps it.
bool FileIdentity(const std::string& path, ULONGLONG* identity) {
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information;
  bool known = GetFileInformationByHandle(file, &information) != 0;
  CloseHandle(file);
  *identity = (static_cast<ULONGLONG>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
  return known;
}

// Where "~tvkXXXX.tmp" beside the target would pass 259 characters, the
// target is written the plain way, in place, and never through a shorter
// temporary name that a file of the user's could carry. A folder one
// character shallower still goes through the temporary name.
TEST_F(PathLimits, AFolderTooDeepForTheTemporaryName) {
  const std::string name = "pykeys.dic";
  const std::string users[] = {"~", "~1", "~CAFE", "~tvk12.tmp"};
  struct Case {
    std::size_t folderLength;
    bool inPlace;
  };
  const Case cases[] = {{kLongestPath - 13, false}, {kLongestPath - 12, true},
                        {kLongestPath - 11, true}};
  for (const Case& c : cases) {
    for (bool previous : {false, true}) {
      SCOPED_TRACE("folder " + std::to_string(c.folderLength) + (previous ? ", over a file" : ""));
      std::string folder = Folder(c.folderLength);
      std::string target = folder + "\\" + name;
      UseInstallDir(folder);
      for (const std::string& user : users) {
        if (Fits(folder.size() + 1 + user.size())) {
          ASSERT_TRUE(WriteWholeFile(folder + "\\" + user, user));
        }
      }
      ULONGLONG before = 0;
      if (previous) {
        ASSERT_TRUE(WriteWholeFile(target, "previous"));
        SetAttributes(target, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        ASSERT_TRUE(FileIdentity(target, &before));
      }
      FolderState expected = Snapshot(folder);
      EXPECT_EQ(ExtractPayload(106, name.c_str(), kInstallBufferSize, 1, 1, nullptr), 1);
      FolderState after = Snapshot(folder);
      ASSERT_EQ(after.count(name), 1u);
      EXPECT_EQ(after[name].attributes, kReadOnlyHidden);
      EXPECT_NE(after[name].bytes, AsBytes("previous"));
      after.erase(name);
      expected.erase(name);
      EXPECT_EQ(DescribeChange(expected, after), "");
      if (previous) {
        ULONGLONG now = 0;
        ASSERT_TRUE(FileIdentity(target, &now));
        EXPECT_EQ(now == before, c.inPlace) << "written in place";
      }
    }
  }
}

TEST_F(PathLimits, ConfigurationFile) {
  const std::string name = "dodazaze.ini";
  const std::string content = "[Config]\r\nUseBmpFont=0\r\n";
  chineseDisplayOk = 1;
  forceLanguage = kLanguageTraditional;
  for (std::size_t length : kLengths) {
    SCOPED_TRACE(length);
    std::string folder = Folder(length - 1 - name.size());
    UseInstallDir(folder);
    if (Fits(length)) {
      ASSERT_TRUE(WriteWholeFile(folder + "\\" + name, content));
    }
    PlaceDecoys(folder, name, content);
    FolderState before = Snapshot(folder);
    EXPECT_EQ(UpdateConfigFile(), 1);
    FolderState after = Snapshot(folder);
    if (Fits(length)) {
      EXPECT_EQ(ReadBytes(folder + "\\" + name), content + "\r\nForceLanguage=2\r\n");
      before.erase(name);
      after.erase(name);
    }
    EXPECT_EQ(DescribeChange(before, after), "");
  }
}

TEST_F(PathLimits, WordBaseQuestion) {
  // The index has the longer name; the presence mark is one shorter.
  const std::string index = "pycizudic.idx";
  for (std::size_t length : kLengths) {
    SCOPED_TRACE(length);
    std::string folder = Folder(length - 1 - index.size());
    UseInstallDir(folder);
    for (const std::string& name : {std::string("CiZuFlat.igb"), index}) {
      if (Fits(folder.size() + 1 + name.size())) {
        ASSERT_TRUE(WriteWholeFile(folder + "\\" + name, "\x81marked"));
      }
      PlaceDecoys(folder, name, "\x81marked");
    }
    keepOldWordBase = 0;
    MessageAnswerer answerer(IDNO);
    CheckOldWordBase();
    // Only with both paths whole is there a word base to ask about.
    EXPECT_EQ(answerer.messages().size(), Fits(length) ? 1u : 0u);
    EXPECT_EQ(keepOldWordBase, Fits(length) ? 1 : 0);
  }
}

// An install folder whose "doc" folder would reach the path limit is far
// too deep for the longest file names: refused, and nothing is made.
TEST_F(PathLimits, InstallFolderNearThePathLimitIsRefused) {
  for (std::size_t length : kLengths) {
    SCOPED_TRACE(length);
    // installDir\doc is `length` long; installDir itself is new.
    std::string parent = Folder(length - 4 - 6);
    std::string folder = parent + "\\Tavik";
    UseInstallDir(folder);
    MessageAnswerer answerer(IDOK);
    EXPECT_EQ(CreateInstallFolder(nullptr), 0);
    EXPECT_FALSE(IsFolder(folder));
    EXPECT_EQ(answerer.messages().size(), 1u);
  }
}

class ShellPathLimits : public PathLimits {
 protected:
  void SetUp() override {
    PathLimits::SetUp();
    char path[MAX_PATH] = "";
    ASSERT_TRUE(GetShellFolderPath(path, CSIDL_PROGRAMS));
    programs_ = path;
    ASSERT_EQ(lstrcmpiA(path, sandbox->sandbox().ProgramsFolder().c_str()), 0) << path;
    ASSERT_TRUE(GetShellFolderPath(path, CSIDL_DESKTOP));
    desktop_ = path;
    ASSERT_EQ(lstrcmpiA(path, sandbox->sandbox().DesktopFolder().c_str()), 0) << path;
    tag_ = "TvkPath" + std::to_string(GetCurrentProcessId());
    install_ = base_ + "\\install";
    CreateDirectoryA(install_.c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(install_ + "\\TVKEdit.exe", "MZ"));
    UseInstallDir(install_);
  }
  void TearDown() override {
    for (const std::string& folder : {programs_, desktop_}) {
      for (const std::string& name : NamesWith(folder, tag_)) {
        std::string path = folder + "\\" + name;
        if (IsFolder(path)) {
          RemoveTree(path);
        } else {
          DeleteFileA(path.c_str());
        }
      }
    }
    PathLimits::TearDown();
  }

  std::string Named(std::size_t length) {
    std::string name = tag_;
    if (name.size() < length) name += std::string(length - name.size(), 'n');
    return name;
  }

  std::string programs_, desktop_, tag_, install_;
};

TEST_F(ShellPathLimits, StartMenuFolderAndLinkPaths) {
  for (std::size_t length : kLengths) {
    SCOPED_TRACE("program folder " + std::to_string(length));
    std::string folderName = Named(length - programs_.size() - 1);
    ShortcutEntry entries[] = {{"e", "TVKEdit.exe"}, {nullptr, nullptr}};
    MessageAnswerer answerer(IDOK);
    // The folder fits or not; its links (5 more characters) never do.
    EXPECT_EQ(CreateStartMenuEntry(folderName.c_str(), entries, CSIDL_PROGRAMS), 0);
    ASSERT_EQ(answerer.messages().size(), 1u);
    EXPECT_EQ(answerer.messages()[0].english, Fits(length) ? kTextStartMenuEn : kTextFolderEn);
    std::vector<std::string> expected;
    if (Fits(length)) expected.push_back(folderName);
    EXPECT_EQ(NamesWith(programs_, tag_), expected);
    if (Fits(length)) {
      EXPECT_TRUE(IsEmptyFolder(programs_ + "\\" + folderName));
      RemoveTree(programs_ + "\\" + folderName);
    }
  }
  std::string folderName = tag_ + "F";
  for (std::size_t length : kLengths) {
    SCOPED_TRACE("link " + std::to_string(length));
    std::string folder = programs_ + "\\" + folderName;
    std::string linkName = Named(length - folder.size() - 1 - 4);
    ShortcutEntry entries[] = {{linkName.c_str(), "TVKEdit.exe"}, {nullptr, nullptr}};
    MessageAnswerer answerer(IDOK);
    EXPECT_EQ(CreateStartMenuEntry(folderName.c_str(), entries, CSIDL_PROGRAMS),
              Fits(length) ? 1 : 0);
    EXPECT_EQ(answerer.messages().size(), Fits(length) ? 0u : 1u);
    std::vector<std::string> expected;
    if (Fits(length)) expected.push_back(linkName + ".lnk");
    EXPECT_EQ(NamesWith(folder, ""), expected);
    RemoveTree(folder);
  }
}

TEST_F(ShellPathLimits, ShortcutTargetsAndDesktopLinks) {
  for (std::size_t length : kLengths) {
    SCOPED_TRACE("target " + std::to_string(length));
    std::string folder = Folder(length - 1 - std::string("TVKEdit.exe").size());
    if (Fits(length)) {
      ASSERT_TRUE(WriteWholeFile(folder + "\\TVKEdit.exe", "MZ"));
    }
    UseInstallDir(folder);
    std::string linkName = tag_ + "T";
    ShortcutEntry entries[] = {{linkName.c_str(), "TVKEdit.exe"}, {nullptr, nullptr}};
    MessageAnswerer answerer(IDOK);
    EXPECT_EQ(CreateStartMenuEntry(nullptr, entries, CSIDL_PROGRAMS), Fits(length) ? 1 : 0);
    std::vector<std::string> expected;
    if (Fits(length)) expected.push_back(linkName + ".lnk");
    EXPECT_EQ(NamesWith(programs_, linkName), expected);
    DeleteFileA((programs_ + "\\" + linkName + ".lnk").c_str());
  }
  UseInstallDir(install_);
  for (std::size_t length : kLengths) {
    SCOPED_TRACE("desktop link " + std::to_string(length));
    std::string linkName = Named(length - desktop_.size() - 1 - 4);
    CreateDesktopShortcut("TVKEdit.exe", linkName.c_str());
    std::vector<std::string> expected;
    if (Fits(length)) expected.push_back(linkName + ".lnk");
    EXPECT_EQ(NamesWith(desktop_, tag_), expected);
    DeleteFileA((desktop_ + "\\" + linkName + ".lnk").c_str());
  }
}

}  // namespace
