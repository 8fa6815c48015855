// Test bed of the install sequence (see install_sequence_fixture.h).
#include "tests/install/install_sequence_fixture.h"

#include <commctrl.h>

#include <cstring>
#include <set>

#include "base/bounded_format.h"
#include "install/install.h"
#include "resources/resource.h"
#include "shell/shell.h"
#include "startup/startup.h"
#include "tests/support/dialog_watcher.h"
#include "tests/support/manifest_oracle.h"
#include "tests/support/sandbox.h"
#include "tests/support/wait.h"
#include "wizard/wizard.h"

namespace {

std::string rootFolder;  // the tests' folders; the shell folders are the sandbox's
Sandbox* sandbox = nullptr;
HWND progressBar = nullptr;
WNDPROC progressDefaultProc = nullptr;
HHOOK messageHook = nullptr;
std::vector<SequenceEvent>* recording = nullptr;
std::vector<std::string>* recordingTexts = nullptr;
int questionAnswer = IDYES;
std::set<HWND> answeredBoxes;
std::vector<HWND> pendingBoxes;
int testCounter = 0;

void Record(SequenceEvent::Kind kind, int value) {
  if (recording != nullptr) recording->push_back({kind, value});
}

// Wine's progress bar repaints itself inside PBM_SETPOS; the Windows one
// only invalidates. The recorder makes it behave like the Windows one, so a
// WM_PAINT right after a position can only come from the caller's repaint.
LRESULT SetPositionWithoutPainting(HWND window, WPARAM position) {
  // Redraw on would show a hidden bar.
  if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) == 0)
    return CallWindowProcA(progressDefaultProc, window, PBM_SETPOS, position, 0);
  CallWindowProcA(progressDefaultProc, window, WM_SETREDRAW, FALSE, 0);
  LRESULT previous = CallWindowProcA(progressDefaultProc, window, PBM_SETPOS, position, 0);
  CallWindowProcA(progressDefaultProc, window, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(window, nullptr, TRUE);
  return previous;
}

LRESULT CALLBACK RecordingProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == PBM_SETPOS) {
    Record(SequenceEvent::kSetPos, static_cast<int>(wParam));
    return SetPositionWithoutPainting(window, wParam);
  }
  if (message == WM_PAINT) {
    Record(SequenceEvent::kPaint, 0);
  } else if (message > WM_USER && message <= WM_USER + 0x20) {
    Record(SequenceEvent::kOtherProgressMessage, static_cast<int>(message));
  }
  return CallWindowProcA(progressDefaultProc, window, message, wParam, lParam);
}

// A box is answered from its own modal loop, once it has laid out its
// buttons (it can be activated while it still initialises): a Yes/No
// question with the chosen answer, anything else with OK.
void CALLBACK AnswerPendingBoxes(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  for (HWND box : pendingBoxes) {
    if (!IsWindow(box)) continue;
    HWND yes = GetDlgItem(box, IDYES);
    bool question = yes != nullptr && (GetWindowLongPtrA(yes, GWL_STYLE) & WS_VISIBLE) != 0;
    int answer = question ? questionAnswer : IDOK;
    Record(SequenceEvent::kMessageBox, answer);
    if (recordingTexts != nullptr) recordingTexts->push_back(ControlText(box, IDC_MESSAGE_ENGLISH));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
  }
  pendingBoxes.clear();
}

LRESULT CALLBACK NoteMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char className[32] = "";
    GetClassNameA(box, className, sizeof className);
    if (box != mainDialog && std::strcmp(className, "#32770") == 0 &&
        answeredBoxes.insert(box).second) {
      pendingBoxes.push_back(box);
      SetTimer(nullptr, 0, 1, AnswerPendingBoxes);
    }
  }
  return CallNextHookEx(messageHook, code, wParam, lParam);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// Stands in for the wizard: a visible window holding a hidden progress bar
// with the wizard's id, as the wizard's install page has it.
void CreateMainWindow() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = appInstance;
  windowClass.lpszClassName = "TavikSequenceTestMain";
  RegisterClassA(&windowClass);
  mainDialog = CreateWindowA("TavikSequenceTestMain", "install sequence test", WS_OVERLAPPEDWINDOW,
                             0, 0, 400, 200, nullptr, nullptr, appInstance, nullptr);
  ASSERT_NE(mainDialog, nullptr);
  progressBar = CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD, 10, 100, 360, 20, mainDialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS)),
                              appInstance, nullptr);
  ASSERT_NE(progressBar, nullptr);
  progressDefaultProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      progressBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProgressProc)));
  ShowWindow(mainDialog, SW_SHOWNOACTIVATE);
  UpdateWindow(mainDialog);
}

class SequenceEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    rootFolder = MakeScratchFolder("tavik_seq");
    ASSERT_FALSE(rootFolder.empty());
    // Before any shell call: the shell keeps the folders it read first.
    sandbox = new Sandbox("install_sequence", Sandbox::kAll);
    ASSERT_EQ(sandbox->error(), "");
    appInstance = GetModuleHandleA(nullptr);
    CreateMainWindow();
    messageHook = SetWindowsHookExA(WH_CBT, NoteMessageBoxes, nullptr, GetCurrentThreadId());
    ASSERT_NE(messageHook, nullptr);
  }

  void TearDown() override {
    if (messageHook != nullptr) UnhookWindowsHookEx(messageHook);
    if (mainDialog != nullptr) DestroyWindow(mainDialog);
    mainDialog = nullptr;
    delete sandbox;
    sandbox = nullptr;
    RemoveTree(rootFolder);
  }
};

const ::testing::Environment* const sequenceEnvironment =
    ::testing::AddGlobalTestEnvironment(new SequenceEnvironment);

}  // namespace

void SetQuestionAnswer(int answer) { questionAnswer = answer; }

void InstallSequenceTest::SetUp() {
  testFolder = rootFolder + "\\t" + std::to_string(++testCounter);
  installFolder = testFolder + "\\install";
  windowsFolder = testFolder + "\\windows\\";
  moduleFolder = testFolder + "\\module\\";
  for (const std::string& folder : {testFolder, installFolder, windowsFolder, moduleFolder})
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
  ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, installFolder.c_str()));
  ASSERT_TRUE(CopyBounded(windowsDir, sizeof windowsDir, windowsFolder.c_str()));
  ASSERT_TRUE(CopyBounded(moduleDir, sizeof moduleDir, moduleFolder.c_str()));
  desktopIconWanted = 1;
  uiLanguage = kLanguageEnglish;
  isVistaOrLater = 0;
  keepOldWordBase = 0;
  chineseDisplayOk = 0;
  forceLanguage = kLanguageEnglish;
  questionAnswer = IDYES;
  ShowWindow(progressBar, SW_HIDE);
  SendMessageA(progressBar, PBM_SETPOS, 0, 0);
  sandbox->EmptyClasses();
}

void InstallSequenceTest::TearDown() {
  recording = nullptr;
  answeredBoxes.clear();
  RemoveTree(testFolder);
  sandbox->EmptyShellFolders();
}

int InstallSequenceTest::Run() {
  events.clear();
  messageTexts.clear();
  recording = &events;
  recordingTexts = &messageTexts;
  int result = RunInstall(kShellInstallSteps);
  recording = nullptr;
  recordingTexts = nullptr;
  return result;
}

std::vector<int> InstallSequenceTest::ProgressPositions() const {
  std::vector<int> positions;
  for (const SequenceEvent& event : events)
    if (event.kind == SequenceEvent::kSetPos) positions.push_back(event.value);
  return positions;
}

int InstallSequenceTest::MessageBoxCount() const {
  int count = 0;
  for (const SequenceEvent& event : events) count += event.kind == SequenceEvent::kMessageBox;
  return count;
}

void InstallSequenceTest::UseInstallFolder(const std::string& folder) {
  installFolder = folder;
  ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, folder.c_str()));
}

HWND InstallSequenceTest::ProgressBar() { return progressBar; }

std::string InstallSequenceTest::ProgramsFolder() { return sandbox->ProgramsFolder(); }
std::string InstallSequenceTest::DesktopFolder() { return sandbox->DesktopFolder(); }

int InstallSequenceTest::ClassesRootEntryCount() {
  DWORD subkeys = 0;
  DWORD values = 0;
  RegQueryInfoKeyA(sandbox->classes(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                   nullptr, nullptr, nullptr, nullptr);
  return static_cast<int>(subkeys + values);
}

std::vector<std::string> StaleFileNames() {
  static const char* const kBases[] = {"pykeys.dic", "Gbkflat.dic", "flatAuto.dic",
                                       "flatAdjust.dic"};
  static const char* const kSuffixes[] = {"",     "0001", "0010", "0011", "0100", "0101",
                                          "0110", "0111", "1000", "1001", "1010", "1011",
                                          "1100", "1101", "1110", "1111"};
  std::vector<std::string> names;
  for (const char* suffix : kSuffixes)
    for (const char* base : kBases) names.push_back(std::string(base) + suffix);
  return names;
}

namespace {

// Committed private memory of this process.
SIZE_T CommittedPrivateBytes() {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION region;
  const char* address = nullptr;
  while (VirtualQuery(address, &region, sizeof region) == sizeof region) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    if (next <= address) break;
    address = next;
  }
  return total;
}

}  // namespace

void ExpectNoMemoryKept(const std::function<void()>& run) {
  run();  // first-use allocations settle
  SIZE_T before = CommittedPrivateBytes();
  for (int i = 0; i < 3; ++i) run();
  SIZE_T after = CommittedPrivateBytes();
  // A buffer kept per run would add some 29 MB each time.
  EXPECT_LT(after, before + (8u << 20)) << before << " -> " << after;
}

// ---- Files ------------------------------------------------------------------

std::string SamplePayload(const char* fileName) {
  std::string path = std::string("Z:") + TAVIK_SAMPLE_PAYLOAD_DIR + "/" + fileName;
  for (char& c : path)
    if (c == '/') c = '\\';
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
  return bytes;
}

DWORD RowAttributes(const ManifestRow& row) {
  // From the table typed apart from the product's; a name it lacks fails.
  const ExpectedRow* expected = FindExpectedRow(row.fileName);
  if (expected == nullptr) return INVALID_FILE_ATTRIBUTES - 1;
  return (expected->readOnly ? FILE_ATTRIBUTE_READONLY : 0) |
         (expected->hidden ? FILE_ATTRIBUTE_HIDDEN : 0);
}

bool RunHostShell(const std::string& command) {
  // Wine starts a Unix program without a process handle to wait on, so the
  // command signals its end through a marker file.
  std::string marker = "/tmp/tavik_seq_shell_" + std::to_string(GetCurrentProcessId()) + "_" +
                       std::to_string(GetTickCount());
  std::string line = "/bin/sh -c \"(" + command + ") && touch " + marker + "\"";
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  std::string windowsMarker = "Z:" + marker;
  for (char& c : windowsMarker)
    if (c == '/') c = '\\';
  if (!WaitFor([&] { return FileExists(windowsMarker); }, 5000)) return false;
  DeleteFileA(windowsMarker.c_str());
  return true;
}
