// The shared steps of the end-to-end scenarios: a clean machine before each
// one, the two builds of the setup program, walking the wizard with a set
// of choices, and the closing messages of an install.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "tests/e2e/driver.h"

// Which build of the setup program a scenario runs: the product's payload
// sizes, or the small sample payload for a quick install.
enum class Build { kFull, kSmall };

struct WizardChoices {
  std::string installDir;  // empty keeps the default the wizard offers
  bool displayOk = true;   // the answer on the display-test page
  bool desktopIcon = true;
  int language = 0;        // position in the language list: 0 English, 1 Simplified, 2 Traditional
  // Called once the display-test page is up, before it is answered.
  std::function<void()> onDisplayTestPage;
};

// What the closing part of an install looked like.
struct InstallEnd {
  DWORD installPressedMs = 0;
  MessageSeen success;
  MessageSeen speechOffer;
  DWORD exitCode = 99;
};

class Scenario : public ::testing::Test {
 protected:
  void SetUp() override;
  // The Windows version that Wine reports to the setup program in this
  // scenario ("win98", ...); null keeps Wine's default.
  virtual const char* WindowsVersion() const { return nullptr; }

  std::wstring SetupExe(Build build) const;
  std::wstring PayloadDir(Build build) const;
  // Starts the setup program and waits for its wizard (fails the test
  // when it does not come up).
  SetupRun& Launch(Build build);
  SetupRun& Launch(const std::wstring& exePath);
  SetupRun& run() { return *run_; }

  // Pages 0 to 3 with the choices made, screenshots of each, up to the
  // press of Install (whose time is returned).
  DWORD WalkToInstall(const WizardChoices& choices);
  // Presses Next on the current page and waits for the next page.
  void Next(Page expected);
  // From a pressed Install to the program's end: the success message, the
  // speech offer answered with OK or Cancel, the exit code.
  InstallEnd FinishInstall(DWORD installPressedMs, bool acceptSpeech, DWORD timeoutMs);
  // A message box that must come up now, with its texts checked and a
  // screenshot taken.
  MessageSeen ExpectMessage(const char* chinese, const char* english, const std::string& shot,
                            DWORD timeoutMs = 10000);

  std::wstring installRoot_;  // C:\TavikE2E, parent of the scenarios' install folders
  std::wstring shotsDir_;

 private:
  std::unique_ptr<SetupRun> run_;
};

// The default install folder the wizard offers: the Windows drive, "Tavik".
std::wstring DefaultInstallDir();
