// Test bed of the install sequence: a main window with a recording progress
// bar, message boxes answered by a hook, the shell folders and
// HKEY_CLASSES_ROOT redirected into scratch space of this process, and a
// fresh install, Windows and program folder for every test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/manifest.h"
#include "tests/support/files.h"
#include "tests/support/shell_link.h"

// What the progress bar and the message hook saw, in order.
struct SequenceEvent {
  enum Kind { kSetPos, kPaint, kOtherProgressMessage, kMessageBox } kind;
  int value;  // the position for kSetPos, the message for kOtherProgressMessage
};

class InstallSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the sequence with the events of this run recorded afresh.
  int Run();

  std::string InstallPath(const char* name) const { return installFolder + "\\" + name; }
  // Points installDir elsewhere for one test (the folder must exist).
  void UseInstallFolder(const std::string& folder);
  static HWND ProgressBar();
  std::vector<int> ProgressPositions() const;
  int MessageBoxCount() const;
  // The start-menu and desktop folders the shell hands out in this process.
  static std::string ProgramsFolder();
  static std::string DesktopFolder();
  // Number of keys and values under the redirected HKEY_CLASSES_ROOT.
  static int ClassesRootEntryCount();

  std::string testFolder;     // holds the three below; removed afterwards
  std::string installFolder;  // installDir
  std::string windowsFolder;  // windowsDir, with trailing backslash
  std::string moduleFolder;   // moduleDir, with trailing backslash
  std::vector<SequenceEvent> events;
  std::vector<std::string> messageTexts;  // the English half of each box of the last run
};

// Answer the message hook gives to the next Yes/No question (IDYES/IDNO);
// notices are always answered with OK.
void SetQuestionAnswer(int answer);

// Runs run a few times and expects the committed memory not to grow by
// anything like the install buffer's size.
void ExpectNoMemoryKept(const std::function<void()>& run);

// The 64 stale dictionary names, spelled out independently of the installer.
std::vector<std::string> StaleFileNames();

// ---- Files ------------------------------------------------------------------
// The packed sample payload, read from the build folder.
std::string SamplePayload(const char* fileName);
// The expected attribute bits of a manifest row.
DWORD RowAttributes(const ManifestRow& row);
// Runs a command of the host system (Wine runs Unix programs directly);
// false when it could not be run or did not exit with 0.
bool RunHostShell(const std::string& command);
