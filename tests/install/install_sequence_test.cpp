// The install sequence with a complete payload: files, attributes, order of
// deletions, progress, word base, settings copy, shortcuts, registration.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "install/install.h"
#include "base/manifest.h"
#include "resources/texts.h"
#include "startup/startup.h"
#include "tests/install/install_sequence_fixture.h"
#include "wizard/wizard.h"

namespace {

const std::vector<int> kAllPositions = {10, 15, 20, 25, 30, 35, 45, 50,
                                        55, 65, 70, 90, 94, 97, 100};
const DWORD kReadOnlyHidden = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
const char* const kWordBaseFiles[] = {"CiZuFlat.igb", "pxcizudic.idx", "pycizudic.idx",
                                      "py2_3ZiCi1stZuMu.idx"};

bool IsWordBaseFile(const std::string& name) {
  return std::any_of(std::begin(kWordBaseFiles), std::end(kWordBaseFiles),
                     [&](const char* file) { return name == file; });
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Every row's file equals its payload and carries the row's attributes;
// the configuration file is compared apart, as the run rewrites it.
void ExpectRowInstalled(const std::string& folder, const ManifestRow& row) {
  SCOPED_TRACE(row.fileName);
  std::string path = folder + "\\" + row.fileName;
  std::string installed;
  ASSERT_TRUE(ReadWholeFile(path, installed));
  if (row.content != ContentKind::kConfig) {
    EXPECT_TRUE(installed == SamplePayload(row.fileName));
  }
  EXPECT_EQ(ReadOnlyHidden(path), RowAttributes(row));
}

// Stale files under three spellings, some read-only and hidden, with
// neighbours whose names are close but not stale.
void PlantStaleFiles(const std::string& folder) {
  std::vector<std::string> names = StaleFileNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string name = i % 3 == 0 ? names[i] : i % 3 == 1 ? Upper(names[i]) : Lower(names[i]);
    EXPECT_TRUE(WriteWholeFile(folder + "\\" + name, "stale", i % 4 == 0 ? kReadOnlyHidden : 0));
  }
  for (const char* neighbour :
       {"pykeys.dic0000", "Gbkflat.dic1", "flatAuto.dic00011", "xflatAdjust.dic"})
    EXPECT_TRUE(WriteWholeFile(folder + "\\" + neighbour, "keep"));
}

}  // namespace

TEST_F(InstallSequenceTest, CompleteRunInstallsEveryFileAndClosingStep) {
  keepOldWordBase = 1;  // left over from an earlier run: must not skip anything now
  isVistaOrLater = 1;
  chineseDisplayOk = 0;
  forceLanguage = kLanguageTraditional;
  ASSERT_FALSE(IsWindowVisible(ProgressBar()));

  EXPECT_EQ(Run(), 1);

  EXPECT_EQ(MessageBoxCount(), 0);
  EXPECT_EQ(keepOldWordBase, 0);
  for (const ManifestRow& row : kManifest) ExpectRowInstalled(installFolder, row);
  EXPECT_EQ(ListFolder(installFolder).size(), kManifestRowCount);

  std::string config;
  ASSERT_TRUE(ReadWholeFile(InstallPath("dodazaze.ini"), config));
  EXPECT_NE(config.find("\r\nUseBmpFont=1\r\n"), std::string::npos) << config;
  EXPECT_NE(config.find("\r\nForceLanguage=2\r\n"), std::string::npos) << config;

  std::string startMenu = ProgramsFolder() + "\\Tavik Roved Editor";
  EXPECT_EQ(ReadShellLink(startMenu + "\\Tavik Roved Editor.lnk").path, InstallPath("TVKEdit.exe"));
  EXPECT_EQ(ReadShellLink(startMenu + "\\Tavik Roved Editor UnInstall.lnk").path,
            InstallPath("TVKEditUnInstall.exe"));
  EXPECT_EQ(ReadShellLink(DesktopFolder() + "\\Morvelpad.lnk").path, InstallPath("Morvel.exe"));
  EXPECT_EQ(ReadShellLink(DesktopFolder() + "\\Tavik Roved Editor.lnk").path, InstallPath("TVKEdit.exe"));

  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "TVKEditor.Document", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  if (key != nullptr) RegCloseKey(key);

  // The bar stays visible with the range it was created with.
  EXPECT_TRUE(IsWindowVisible(ProgressBar()));
  PBRANGE range = {};
  SendMessageA(ProgressBar(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 100);
}

TEST_F(InstallSequenceTest, ProgressIsRepaintedAtEachPosition) {
  ASSERT_EQ(Run(), 1);
  EXPECT_EQ(ProgressPositions(), kAllPositions);
  // Nothing dispatches messages during the run: every position must be
  // painted at once, before the sequence moves on.
  for (std::size_t i = 0; i < events.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NE(events[i].kind, SequenceEvent::kOtherProgressMessage) << events[i].value;
    if (events[i].kind != SequenceEvent::kSetPos) continue;
    ASSERT_LT(i + 1, events.size());
    EXPECT_EQ(events[i + 1].kind, SequenceEvent::kPaint) << "position " << events[i].value;
  }
}

TEST_F(InstallSequenceTest, StaleFilesGoBeforeTheFirstFileIsWritten) {
  PlantStaleFiles(installFolder);

  ASSERT_EQ(Run(), 1);

  // pykeys.dic and gbkflat.dic are both stale names and the first rows: had
  // a deletion come after them, they would be missing now.
  for (const std::string& name : StaleFileNames()) {
    SCOPED_TRACE(name);
    bool installedAgain = name == "pykeys.dic" || name == "Gbkflat.dic";
    EXPECT_EQ(FileExists(InstallPath(name.c_str())), installedAgain);
  }
  ExpectRowInstalled(installFolder, kManifest[0]);
  ExpectRowInstalled(installFolder, kManifest[1]);
  for (const char* neighbour :
       {"pykeys.dic0000", "Gbkflat.dic1", "flatAuto.dic00011", "xflatAdjust.dic"})
    EXPECT_TRUE(FileExists(InstallPath(neighbour))) << neighbour;
}

struct WordBaseCase {
  int answer;
  bool kept;
};
class WordBaseAnswer : public InstallSequenceTest,
                       public ::testing::WithParamInterface<WordBaseCase> {};
INSTANTIATE_TEST_SUITE_P(KeptAndReplaced, WordBaseAnswer,
                         ::testing::Values(WordBaseCase{IDNO, true}, WordBaseCase{IDYES, false}));

TEST_P(WordBaseAnswer, WordBaseIsKeptOrReplacedAsAnswered) {
  const WordBaseCase& c = GetParam();
  // An earlier install: its word base carries the modification mark, and
  // read-only hidden dictionaries that must be replaced all the same.
  const DWORD oldAttributes[] = {FILE_ATTRIBUTE_HIDDEN, 0, FILE_ATTRIBUTE_READONLY,
                                 kReadOnlyHidden};
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(WriteWholeFile(InstallPath(kWordBaseFiles[i]),
                               std::string(1, '\x81') + "old " + kWordBaseFiles[i],
                               oldAttributes[i]));
  EXPECT_TRUE(WriteWholeFile(InstallPath("py_1key.dic"), "old", kReadOnlyHidden));
  EXPECT_TRUE(WriteWholeFile(InstallPath("sort.dic"), "old", kReadOnlyHidden));
  PlantStaleFiles(installFolder);
  SetQuestionAnswer(c.answer);

  ASSERT_EQ(Run(), 1);

  EXPECT_EQ(keepOldWordBase, c.kept ? 1 : 0);
  // The question comes after the bar shows 10 and before any file.
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[0].kind, SequenceEvent::kSetPos);
  EXPECT_EQ(events[0].value, 10);
  EXPECT_EQ(events[2].kind, SequenceEvent::kMessageBox);
  EXPECT_EQ(MessageBoxCount(), 1);
  EXPECT_EQ(ProgressPositions(), kAllPositions);

  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(kWordBaseFiles[i]);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(InstallPath(kWordBaseFiles[i]), bytes));
    if (c.kept) {
      EXPECT_EQ(bytes, std::string(1, '\x81') + "old " + kWordBaseFiles[i]);
      EXPECT_EQ(ReadOnlyHidden(InstallPath(kWordBaseFiles[i])), oldAttributes[i]);
    } else {
      EXPECT_TRUE(bytes == SamplePayload(kWordBaseFiles[i]));
      EXPECT_EQ(ReadOnlyHidden(InstallPath(kWordBaseFiles[i])), 0u);
    }
  }
  for (const ManifestRow& row : kManifest)
    if (!IsWordBaseFile(row.fileName)) ExpectRowInstalled(installFolder, row);
  for (const std::string& name : StaleFileNames()) {
    if (name != "pykeys.dic" && name != "Gbkflat.dic") {
      EXPECT_FALSE(FileExists(InstallPath(name.c_str()))) << name;
    }
  }
}

struct SettingsCase {
  const char* name;
  bool sourcePresent;
  bool targetPresent;
};
class SettingsFile : public InstallSequenceTest,
                     public ::testing::WithParamInterface<SettingsCase> {};
INSTANTIATE_TEST_SUITE_P(SourceAndTarget, SettingsFile,
                         ::testing::Values(SettingsCase{"over a read-only copy", true, true},
                                           SettingsCase{"into an empty folder", true, false},
                                           SettingsCase{"no source, old copy stays", false, true},
                                           SettingsCase{"no source, nothing made", false, false}));

TEST_P(SettingsFile, SettingsFileIsCopiedOnlyWhenBesideTheProgram) {
  const SettingsCase& c = GetParam();
  SCOPED_TRACE(c.name);
  std::string source = moduleFolder + "SCtrlSet0.bin";
  std::string target = windowsFolder + "SCtrlSet0.bin";
  if (c.sourcePresent) {
    EXPECT_TRUE(WriteWholeFile(source, "new settings"));
  }
  if (c.targetPresent) {
    EXPECT_TRUE(WriteWholeFile(target, "old settings", kReadOnlyHidden));
  }

  ASSERT_EQ(Run(), 1);

  std::string copied;
  if (c.sourcePresent) {
    ASSERT_TRUE(ReadWholeFile(target, copied));
    EXPECT_EQ(copied, "new settings");
  } else if (c.targetPresent) {
    ASSERT_TRUE(ReadWholeFile(target, copied));
    EXPECT_EQ(copied, "old settings");
    EXPECT_EQ(ReadOnlyHidden(target), kReadOnlyHidden);
  }
  EXPECT_EQ(ListFolder(windowsFolder).size(), c.sourcePresent || c.targetPresent ? 1u : 0u);
}

struct ShortcutCase {
  int language;
  int desktopWanted;
  int column;  // of kEditorName and the other name tables
};
class ShortcutNames : public InstallSequenceTest,
                      public ::testing::WithParamInterface<ShortcutCase> {};
INSTANTIATE_TEST_SUITE_P(Languages, ShortcutNames,
                         ::testing::Values(ShortcutCase{-1, 1, 0}, ShortcutCase{0, 0, 0},
                                           ShortcutCase{1, 1, 1}, ShortcutCase{2, 0, 2},
                                           ShortcutCase{3, 1, 2}));

TEST_P(ShortcutNames, ShortcutNamesFollowTheShellLanguage) {
  const ShortcutCase& c = GetParam();
  SCOPED_TRACE("uiLanguage " + std::to_string(c.language));
  uiLanguage = c.language;
  desktopIconWanted = c.desktopWanted;

  ASSERT_EQ(Run(), 1);

  std::string editor = kEditorName[c.column];
  std::string folder = ProgramsFolder() + "\\" + editor;
  EXPECT_EQ(ListFolder(ProgramsFolder()), std::vector<std::string>{editor});
  EXPECT_EQ(ReadShellLink(folder + "\\" + editor + ".lnk").path, InstallPath("TVKEdit.exe"));
  EXPECT_EQ(ReadShellLink(folder + "\\" + kUninstallerName[c.column] + ".lnk").path,
            InstallPath("TVKEditUnInstall.exe"));
  if (c.desktopWanted) {
    EXPECT_EQ(ListFolder(DesktopFolder()).size(), 2u);
    EXPECT_EQ(ReadShellLink(DesktopFolder() + "\\" + kNotesEditorName[c.column] + ".lnk").path,
              InstallPath("Morvel.exe"));
    EXPECT_EQ(ReadShellLink(DesktopFolder() + "\\" + editor + ".lnk").path, InstallPath("TVKEdit.exe"));
  } else {
    EXPECT_TRUE(ListFolder(DesktopFolder()).empty());
  }
}

class DocumentTypes : public InstallSequenceTest, public ::testing::WithParamInterface<int> {};
INSTANTIATE_TEST_SUITE_P(OlderAndNewer, DocumentTypes, ::testing::Values(0, 1));

TEST_P(DocumentTypes, RegistersDocumentTypesOnlyOnNewerSystems) {
  int vista = GetParam();
  isVistaOrLater = vista;
  ASSERT_EQ(Run(), 1);
  if (vista) {
    EXPECT_GT(ClassesRootEntryCount(), 0);
  } else {
    EXPECT_EQ(ClassesRootEntryCount(), 0);
  }
}

// Wine looks names up without regard to case, but the folder may hold a
// name in another case, or in two, when it was written from Linux.
TEST_F(InstallSequenceTest, StaleFilesInOtherCaseOnACaseSensitiveFolder) {
  std::string unixFolder = "/tmp/tavik_seq_case_" + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(
      RunHostShell("rm -rf " + unixFolder + " && mkdir " + unixFolder + " && cd " + unixFolder +
                   " && echo old > GBKFLAT.DIC && echo old > gbkflat.dic && echo old > PyKeys.Dic"
                   " && echo old > FLATAUTO.DIC0110 && echo old > flatadjust.dic1111"
                   " && echo keep > GBKFLAT.DIC0000 && chmod 444 GBKFLAT.DIC FLATAUTO.DIC0110"));
  std::string folder = "Z:" + unixFolder;
  std::replace(folder.begin(), folder.end(), '/', '\\');
  UseInstallFolder(folder);
  ASSERT_EQ(ReadOnlyHidden(folder + "\\FLATAUTO.DIC0110"),
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));

  EXPECT_EQ(Run(), 1);

  std::vector<std::string> entries = ListFolder(folder);
  for (const char* gone : {"GBKFLAT.DIC", "PyKeys.Dic", "FLATAUTO.DIC0110", "flatadjust.dic1111"})
    EXPECT_EQ(std::count(entries.begin(), entries.end(), gone), 0) << gone;
  // The rows wrote their own spelling, which they could not have, had an
  // old spelling still been there.
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "gbkflat.dic"), 1);
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "pykeys.dic"), 1);
  EXPECT_EQ(std::count(entries.begin(), entries.end(), "GBKFLAT.DIC0000"), 1);
  EXPECT_EQ(entries.size(), kManifestRowCount + 1);
  ExpectRowInstalled(folder, kManifest[1]);
  RemoveTree(folder);
}

TEST_F(InstallSequenceTest, FileWhosePathDoesNotFitFailsAlone) {
  // 238 characters leave room for names of up to 20: every stopping row
  // fits, the longer help pages and tables do not.
  const std::size_t kFolderLength = 238;
  std::string folder = installFolder;
  while (kFolderLength - folder.size() > 201) folder += "\\" + std::string(100, 'p');
  folder += "\\" + std::string(kFolderLength - folder.size() - 1, 'q');
  ASSERT_EQ(folder.size(), kFolderLength);
  ASSERT_EQ(SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr), ERROR_SUCCESS);
  UseInstallFolder(folder);

  EXPECT_EQ(Run(), 1);

  std::size_t fitting = 0;
  for (const ManifestRow& row : kManifest) {
    bool fits = std::strlen(row.fileName) <= 20;
    fitting += fits;
    if (fits) ExpectRowInstalled(folder, row);
  }
  // Nothing was written under a shortened name.
  EXPECT_EQ(ListFolder(folder).size(), fitting);
  EXPECT_LT(fitting, kManifestRowCount);
}

TEST_F(InstallSequenceTest, BufferIsGivenBackAfterASuccessfulRun) {
  ExpectNoMemoryKept([this] {
    RemoveTree(InstallPath("CiZuFlat.igb"));  // no word-base question on the next run
    EXPECT_EQ(Run(), 1);
  });
}
