// Shared steps of the end-to-end scenarios (see scenario.h).
#include "tests/e2e/scenario.h"

#include <shlobj.h>

#include <cstdlib>

#include "resources/resource.h"
#include "resources/texts.h"
#include "tests/e2e/machine_state.h"
#include "tests/support/window_search.h"

namespace {
constexpr DWORD kInstallFloorMs = 5000;

std::wstring ShotsRoot() {
  const char* chosen = std::getenv("TAVIK_E2E_SHOTS");
  return WindowsPathOf(chosen != nullptr && *chosen != '\0' ? chosen : TAVIK_E2E_SHOTS_DIR);
}

void EmptyShotsFolder(const std::wstring& folder) {
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*.png").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do DeleteFileW((folder + L"\\" + entry.cFileName).c_str());
  while (FindNextFileW(find, &entry));
  FindClose(find);
}
}  // namespace

std::wstring DefaultInstallDir() {
  wchar_t windows[MAX_PATH] = L"C";
  GetWindowsDirectoryW(windows, MAX_PATH);
  return std::wstring(1, windows[0]) + L":\\Tavik";
}

void Scenario::SetUp() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  shotsDir_ = ShotsRoot() + L"\\" + Widen(test->test_suite_name()) + L"." + Widen(test->name());
  // A parameterised test is named "Name/parameter": one folder, not two.
  for (std::size_t at = ShotsRoot().size() + 1; at < shotsDir_.size(); ++at)
    if (shotsDir_[at] == L'/') shotsDir_[at] = L'.';
  EmptyShotsFolder(shotsDir_);
  // Every scenario says which version it runs under: the prefix is shared,
  // and a value left by an earlier scenario would change this one.
  ASSERT_TRUE(ReportWindowsVersion(WindowsVersion())) << "cannot set the Windows version for Wine";
  RestartShotNumbers();
  installRoot_ = L"C:\\TavikE2E";
  ForgetEarlierRuns({DefaultInstallDir(), installRoot_});
  CreateDirectoryW(installRoot_.c_str(), nullptr);
}

std::wstring Scenario::SetupExe(Build build) const {
  return WindowsPathOf(build == Build::kFull ? TAVIK_SETUP_FULL_EXE : TAVIK_SETUP_SMALL_EXE);
}

std::wstring Scenario::PayloadDir(Build build) const {
  return WindowsPathOf(build == Build::kFull ? TAVIK_PAYLOAD_FULL_DIR : TAVIK_PAYLOAD_SMALL_DIR);
}

SetupRun& Scenario::Launch(Build build) { return Launch(SetupExe(build)); }

SetupRun& Scenario::Launch(const std::wstring& exePath) {
  run_ = std::make_unique<SetupRun>(exePath, shotsDir_);
  EXPECT_TRUE(run_->Start()) << "cannot start " << Narrow(exePath);
  EXPECT_NE(run_->WaitForWizard(), nullptr) << "no wizard window";
  return *run_;
}

void Scenario::Next(Page expected) {
  run().ClickUntil(IDC_NEXT, [&] { return run().CurrentPage() == expected; });
  ASSERT_TRUE(run().WaitForPage(expected)) << "page " << static_cast<int>(expected) << " did not come";
}

MessageSeen Scenario::ExpectMessage(const char* chinese, const char* english, const std::string& shot,
                                    DWORD timeoutMs) {
  MessageSeen seen;
  EXPECT_TRUE(run().WaitForMessage(&seen, timeoutMs)) << "no message box for: " << english;
  if (seen.window == nullptr) return seen;
  EXPECT_EQ(seen.chinese, chinese);
  EXPECT_EQ(seen.english, english);
  run().Shot(seen.window, shot);
  return seen;
}

DWORD Scenario::WalkToInstall(const WizardChoices& choices) {
  SetupRun& setup = run();
  EXPECT_EQ(setup.CurrentPage(), Page::kPath);
  if (!choices.installDir.empty()) {
    EXPECT_TRUE(setup.ReplaceEditText(IDC_PATH_EDIT, choices.installDir)) << "the path was not typed";
  }
  if (!choices.desktopIcon) {
    setup.Click(IDC_DESKTOP_ICON);
    EXPECT_TRUE(setup.WaitUntil([&] { return !setup.IsChecked(IDC_DESKTOP_ICON); }));
  }
  setup.Shot(setup.wizard(), "path-page");
  Next(Page::kDisplayTest);
  if (choices.onDisplayTestPage) choices.onDisplayTestPage();

  const int answer = choices.displayOk ? IDC_DISPLAY_OK : IDC_DISPLAY_NOT_OK;
  EXPECT_TRUE(setup.ClickUntil(answer, [&] { return setup.IsChecked(answer); }));
  setup.Shot(setup.wizard(), "display-test-page");
  Next(Page::kLicence);

  setup.Shot(setup.wizard(), "licence-page");
  Next(Page::kLanguage);

  if (choices.language != 0) {
    EXPECT_TRUE(setup.PickComboItem(IDC_LANGUAGE_COMBO, choices.language));
    DWORD_PTR selected = 0;
    SendMessageTimeoutA(setup.Control(IDC_LANGUAGE_COMBO), CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000,
                        &selected);
    EXPECT_EQ(static_cast<int>(selected), choices.language);
  }
  setup.Shot(setup.wizard(), "language-page");
  const DWORD pressed = CalendarMs();
  setup.Click(IDC_NEXT);
  return pressed;
}

InstallEnd Scenario::FinishInstall(DWORD installPressedMs, bool acceptSpeech, DWORD timeoutMs) {
  SetupRun& setup = run();
  InstallEnd end;
  end.installPressedMs = installPressedMs;
  // The install page, while the program works and then holds for the rest
  // of its five seconds; its thread answers only between steps then, so it
  // is taken as it stands once the page has changed and painted.
  EXPECT_TRUE(setup.WaitUntil([&] {
    return (setup.Shows(IDC_PROGRESS) && !setup.Shows(IDC_NEXT) && IsPainted(setup.wizard())) ||
           setup.MessageOpen();
  })) << "the install page did not come";
  setup.Shot(setup.wizard(), "installing", false);

  end.success = ExpectMessage(kTextSuccessCn, kTextSuccessEn, "success-message", timeoutMs);
  if (end.success.window == nullptr) return end;
  EXPECT_GE(end.success.seenAtMs - installPressedMs, kInstallFloorMs)
      << "the result came before the install had lasted five seconds";
  EXPECT_EQ(end.success.buttons, std::vector<int>{IDOK});
  setup.Answer(end.success, IDOK);

  end.speechOffer = ExpectMessage(kTextSpeechCn, kTextSpeechEn, "speech-offer");
  if (end.speechOffer.window == nullptr) return end;
  EXPECT_EQ(end.speechOffer.buttons, (std::vector<int>{IDOK, IDCANCEL}));
  setup.Answer(end.speechOffer, acceptSpeech ? IDOK : IDCANCEL);

  EXPECT_TRUE(setup.WaitForExit(&end.exitCode, 30000)) << "the program did not end";
  EXPECT_EQ(end.exitCode, 0u);
  return end;
}
