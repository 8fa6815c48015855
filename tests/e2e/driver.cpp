// The driver of the end-to-end runs (see driver.h). Keys and mouse buttons
// go through SendInput, so they reach the setup program the way a person's
// do: through its message loop, its Enter-key routing and the dialog
// manager. Only reading state (visibility, check marks, texts) talks to its
// windows directly.
#include "tests/e2e/driver.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

#include "resources/resource.h"
#include "tests/e2e/png_file.h"
#include "tests/support/dialog_watcher.h"
#include "tests/support/surface.h"
#include "tests/support/wait.h"
#include "tests/support/window_search.h"

namespace {
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kSettleTimeoutMs = 2000;

// Screenshots are numbered across the runs of one scenario, so a second
// run of the setup program adds to the first one's pictures.
int shotCount = 0;
}  // namespace

void RestartShotNumbers() { shotCount = 0; }

namespace {
std::string WindowText(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

}  // namespace

std::wstring WindowName(HWND window) {
  wchar_t text[1024] = L"";
  GetWindowTextW(window, text, 1024);
  return text;
}

namespace {
// Input goes no faster than the program takes it: the next event waits
// until the thread that has the foreground answers again.
void TakenInput() { PingWindow(GetForegroundWindow()); }

void SendKey(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
  TakenInput();
}

void SendButton(DWORD flag) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flag;
  SendInput(1, &input, sizeof input);
  TakenInput();
}

bool CursorAt(int x, int y) {
  POINT at;
  return GetCursorPos(&at) && at.x == x && at.y == y;
}

void SendMove(int x, int y) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((x * 65535LL + (width - 1) / 2) / (width - 1));
  input.mi.dy = static_cast<LONG>((y * 65535LL + (height - 1) / 2) / (height - 1));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

// Under Wine's virtual desktop a move is now and then undone by a late
// motion event of the X pointer, so the pointer must be seen to stay at
// the place for a moment before the button goes down.
void MoveTo(int x, int y) {
  constexpr ULONGLONG kSteadyMs = 100;
  SendMove(x, y);
  ULONGLONG steadySince = 0;
  WaitFor([&] {
    if (!CursorAt(x, y)) {
      steadySince = 0;
      SetCursorPos(x, y);
      return false;
    }
    if (steadySince == 0) steadySince = GetTickCount64();
    return GetTickCount64() - steadySince >= Scaled(kSteadyMs);
  }, 2500);
}

void ClickAt(int x, int y) {
  MoveTo(x, y);
  SendButton(MOUSEEVENTF_LEFTDOWN);
  SendButton(MOUSEEVENTF_LEFTUP);
}

}  // namespace

std::vector<std::uint8_t> ScreenPixels(const RECT& area) {
  Surface picture(area.right - area.left, area.bottom - area.top);
  if (!picture.CopyFromScreen(area.left, area.top)) return {};
  return picture.Rgb();
}

// Asked by message: another process's edit control keeps its text to
// itself, and GetWindowTextA reads only what the system holds.
std::string ControlText(HWND control) {
  DWORD_PTR length = 0;
  SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                      2000, &copied);
  text.resize(copied);
  return text;
}

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::wstring WindowsPathOf(const std::string& unixPath) {
  std::wstring path = L"Z:" + Widen(unixPath);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

SetupRun::SetupRun(std::wstring exePath, std::wstring shotsDir)
    : exePath_(std::move(exePath)), shotsDir_(std::move(shotsDir)) {}

SetupRun::~SetupRun() {
  if (!started_) return;
  // A run that a failed check left behind must not hold the next one.
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool SetupRun::Start() {
  // Started from its own folder, as a double click in a file manager does;
  // the environment (and with it Wine's locale) is passed on unchanged.
  std::wstring folder = exePath_.substr(0, exePath_.find_last_of(L'\\'));
  std::wstring commandLine = L"\"" + exePath_ + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  started_ = CreateProcessW(exePath_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &startup, &process_) != 0;
  return started_;
}

HWND SetupRun::FindTopLevel(const char* caption) const {
  WindowQuery query;
  query.processId = process_.dwProcessId;
  query.caption = caption;
  return FindWindowBy(query);
}

HWND SetupRun::WaitForWizard() {
  if (!started_) return nullptr;
  WaitUntil([this] { return (wizard_ = FindTopLevel(kWizardCaption)) != nullptr; }, kStartTimeoutMs);
  if (wizard_ != nullptr) Settle(wizard_);
  return wizard_;
}

HWND SetupRun::WaitForDialogWith(int controlId, DWORD timeoutMs) {
  if (!started_) return nullptr;
  WindowQuery query;
  query.processId = process_.dwProcessId;
  query.controlId = controlId;
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindWindowBy(query)) != nullptr; }, timeoutMs);
  if (found != nullptr) Settle(found);
  return found;
}

bool SetupRun::WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) const {
  return WaitFor(condition, timeoutMs);
}

bool SetupRun::Shows(int id) const {
  HWND control = Control(id);
  return control != nullptr && IsWindowVisible(control);
}

bool SetupRun::IsChecked(int id) const {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(Control(id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
  return state == BST_CHECKED;
}

Page SetupRun::CurrentPage() const {
  if (Shows(IDC_PATH_EDIT)) return Page::kPath;
  if (Shows(IDC_DISPLAY_QUESTION)) return Page::kDisplayTest;
  if (Shows(IDC_LICENCE_ENGLISH)) return Page::kLicence;
  if (Shows(IDC_LANGUAGE_COMBO)) return Page::kLanguage;
  return Page::kNone;
}

bool SetupRun::WaitForPage(Page page) {
  bool reached = WaitUntil([&] { return CurrentPage() == page; });
  if (reached) Settle(wizard_);
  return reached;
}

HWND SetupRun::Focused() const {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return nullptr;
  return info.hwndFocus;
}

// Lets the window's thread process what is queued, then the paint that
// follows, so that a screenshot or a check sees the result of the input.
void SetupRun::Settle(HWND window) const {
  PingWindow(window);
  if (!WaitFor([window] { return IsPainted(window); }, kSettleTimeoutMs))
    std::fprintf(stderr, "driver: window %p still not painted after %lu ms\n", static_cast<void*>(window),
                 static_cast<unsigned long>(kSettleTimeoutMs));
  PingWindow(window);
}

void SetupRun::Activate(HWND window) {
  if (GetForegroundWindow() != window) SetForegroundWindow(window);
  WaitUntil([window] { return GetForegroundWindow() == window; }, 2000);
}

void SetupRun::PressKey(WORD key) {
  SendKey(key, false);
  SendKey(key, true);
}

void SetupRun::PressChord(WORD modifier, WORD key) {
  SendKey(modifier, false);
  PressKey(key);
  SendKey(modifier, true);
}

void SetupRun::TypeText(const std::string& text) {
  for (char c : text) {
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wScan = static_cast<unsigned char>(c);
    input[0].ki.dwFlags = KEYEVENTF_UNICODE;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof input[0]);
    TakenInput();
  }
  Settle(wizard_);
}

bool SetupRun::TabTo(int id) {
  HWND target = Control(id);
  Activate(wizard_);
  for (int presses = 0; presses < 30; ++presses) {
    if (Focused() == target) return true;
    PressKey(VK_TAB);
    WaitUntil([&] { return Focused() == target; }, 150);
  }
  return Focused() == target;
}

bool SetupRun::ClickUntil(int id, const std::function<bool()>& done) {
  Click(id);
  if (WaitUntil(done)) return true;
  std::fprintf(stderr, "e2e: a click on control %d changed nothing; clicking again\n", id);
  Click(id);
  return WaitUntil(done);
}

void SetupRun::ClickWindow(HWND window) {
  RECT area;
  if (window == nullptr || !GetWindowRect(window, &area)) return;
  ClickAt(area.left + (area.right - area.left) / 2, area.top + (area.bottom - area.top) / 2);
}

// The close box is where the window itself says it is: the first point from
// the right of its caption that hit-tests as HTCLOSE.
bool SetupRun::ClickCloseBox(HWND window) {
  RECT area;
  if (!GetWindowRect(window, &area)) return false;
  const int y = area.top + GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  for (int x = area.right - 1; x > area.right - 80; --x) {
    DWORD_PTR hit = HTNOWHERE;
    SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &hit);
    if (hit == HTCLOSE) {
      // The middle of the box, not its edge.
      ClickAt(x - GetSystemMetrics(SM_CXSIZE) / 3, y);
      return true;
    }
  }
  return false;
}

bool SetupRun::PickComboItem(int comboId, int index) {
  Click(comboId);
  WindowQuery query;
  query.processId = process_.dwProcessId;
  query.className = "ComboLBox";
  HWND list = nullptr;
  if (!WaitUntil([&] { return (list = FindWindowBy(query)) != nullptr; })) return false;
  Settle(list);
  Shot(wizard_, "language-list-open");
  DWORD_PTR itemHeight = 0;
  SendMessageTimeoutA(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 2000, &itemHeight);
  RECT client;
  GetClientRect(list, &client);
  POINT point = {client.right / 2, static_cast<LONG>(itemHeight * index + itemHeight / 2)};
  ClientToScreen(list, &point);
  ClickAt(point.x, point.y);
  return WaitUntil([list] { return !IsWindowVisible(list); });
}

bool SetupRun::ReplaceEditText(int id, const std::string& text) {
  Click(id);
  WaitUntil([&] { return Focused() == Control(id); });
  PressKey(VK_END);
  PressChord(VK_SHIFT, VK_HOME);
  PressKey(VK_DELETE);
  TypeText(text);
  return WaitUntil([&] { return ControlText(Control(id)) == text; });
}

DWORD CalendarMs() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG steps = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return static_cast<DWORD>(steps / 10000);  // differences of it wrap as GetTickCount's do
}

bool SetupRun::MessageOpen() const { return FindTopLevel(kMessageCaption) != nullptr; }

bool SetupRun::WaitForMessage(MessageSeen* seen, DWORD timeoutMs) {
  HWND box = nullptr;
  if (!WaitUntil([&] { return (box = FindTopLevel(kMessageCaption)) != nullptr; }, timeoutMs))
    return false;
  seen->seenAtMs = CalendarMs();
  seen->window = box;
  Settle(box);
  seen->chinese = Gb2312Of(WindowName(GetDlgItem(box, IDC_MESSAGE_CHINESE)).c_str());
  seen->english = WindowText(GetDlgItem(box, IDC_MESSAGE_ENGLISH));
  seen->buttons.clear();
  for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
    HWND button = GetDlgItem(box, id);
    if (button != nullptr && IsWindowVisible(button)) seen->buttons.push_back(id);
  }
  return true;
}

void SetupRun::Answer(const MessageSeen& message, int buttonId) {
  ClickWindow(GetDlgItem(message.window, buttonId));
  HWND box = message.window;
  auto closed = [box] { return !IsWindow(box) || !IsWindowVisible(box); };
  if (WaitUntil(closed, 3000)) return;
  // Seen under Wine's virtual desktop now and then: the first click after
  // a busy spell of the program's thread is lost. A person clicks again;
  // the log says so.
  std::fprintf(stderr, "driver: message box still open after a click on %d, clicking again\n", buttonId);
  ClickWindow(GetDlgItem(box, buttonId));
  WaitUntil(closed);
}

void SetupRun::Shot(HWND window, const std::string& label, bool live) {
  if (shotsDir_.empty() || window == nullptr) return;
  // Shown active, as the person using it sees it; a window whose thread is
  // busy is taken as it stands.
  if (live) {
    Activate(window);
    Settle(window);
  }
  RECT area;
  if (!GetWindowRect(window, &area)) return;
  // Only what lies on the screen can be read back.
  area.left = area.left < 0 ? 0 : area.left;
  area.top = area.top < 0 ? 0 : area.top;
  const LONG screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const LONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
  area.right = area.right > screenWidth ? screenWidth : area.right;
  area.bottom = area.bottom > screenHeight ? screenHeight : area.bottom;
  if (area.right <= area.left || area.bottom <= area.top) return;
  std::vector<std::uint8_t> rgb = ScreenPixels(area);
  wchar_t number[8];
  swprintf(number, std::size(number), L"%02d-", ++shotCount);
  std::wstring path = shotsDir_ + L"\\" + number + Widen(label) + L".png";
  if (WritePng(path, area.right - area.left, area.bottom - area.top, rgb)) shots_.push_back(path);
}

void SetupRun::Repaint(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  Settle(window);
}

bool SetupRun::WaitForExit(DWORD* exitCode, DWORD timeoutMs) {
  if (!started_ || WaitForSingleObject(process_.hProcess, Scaled(timeoutMs)) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(process_.hProcess, exitCode) != 0;
}
