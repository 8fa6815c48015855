// Drives the real setup program as a person does: starts it as its own
// process, waits for its windows, types and clicks through the system's
// input queue, reads and answers its message boxes, takes screenshots and
// reads the exit code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr char kWizardCaption[] = "Tavik Roved Editor Installer";
constexpr char kMessageCaption[] = "Morvel Install Message";

// Wizard pages, told apart by the controls that each one shows.
enum class Page { kPath = 0, kDisplayTest = 1, kLicence = 2, kLanguage = 3, kNone = -1 };

// A message box of the setup program as it was seen on the screen.
struct MessageSeen {
  HWND window = nullptr;
  std::string chinese;       // window text of control 1013, as GB2312
  std::string english;       // window text of control 1028
  std::vector<int> buttons;  // visible ones among IDOK, IDCANCEL, IDYES, IDNO
  DWORD seenAtMs = 0;        // CalendarMs() when it was first found
};

// Milliseconds of the calendar clock, the one the setup program keeps its
// five-second install page by. Measured by another clock, that floor looks
// short whenever the machine's clock is stepped during an install, as a
// virtual machine's is after a pause.
DWORD CalendarMs();

// Build paths arrive as Unix paths; Wine shows the root as drive Z.
std::wstring WindowsPathOf(const std::string& unixPath);
std::wstring Widen(const std::string& ascii);
// The text of a control of another process (WM_GETTEXT).
std::string ControlText(HWND control);
// The UTF-16 window text that the system holds for a window.
std::wstring WindowName(HWND window);
// The pixels of a screen rectangle as RGB rows, top row first; empty when
// the screen cannot be read.
std::vector<std::uint8_t> ScreenPixels(const RECT& area);
// Screenshot numbers run on across the setup runs of one scenario.
void RestartShotNumbers();

class SetupRun {
 public:
  // Screenshots go to shotsDir as NN-label.png; an empty shotsDir takes none.
  SetupRun(std::wstring exePath, std::wstring shotsDir);
  ~SetupRun();
  SetupRun(const SetupRun&) = delete;
  SetupRun& operator=(const SetupRun&) = delete;

  bool Start();
  // The wizard once it is visible, or null.
  HWND WaitForWizard();
  // A visible top-level window of the program that holds a control of this
  // id, or null. For the platform's dialogs, whose caption is the platform's.
  HWND WaitForDialogWith(int controlId, DWORD timeoutMs);
  HWND wizard() const { return wizard_; }
  HWND Control(int id) const { return GetDlgItem(wizard_, id); }
  bool Shows(int id) const;
  bool IsChecked(int id) const;
  Page CurrentPage() const;
  bool WaitForPage(Page page);
  bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000) const;
  // The window with the keyboard focus in the setup program's thread.
  HWND Focused() const;

  // ---- Input through the system's input queue ---------------------------------
  void Activate(HWND window);  // brings the window to the foreground
  void PressKey(WORD key);     // to the foreground window's focus
  void PressChord(WORD modifier, WORD key);
  void TypeText(const std::string& text);
  bool TabTo(int id);          // Tab until the control has the focus
  void Click(int id) { ClickWindow(Control(id)); }
  // Clicks until DONE holds: now and then Wine's virtual desktop loses a
  // click after a busy spell (the first run in a new prefix, a loaded
  // machine), and a person clicks again. Once more at most.
  bool ClickUntil(int id, const std::function<bool()>& done);
  void ClickWindow(HWND window);
  bool ClickCloseBox(HWND window);
  // Opens the drop-down list of a combo box and clicks its item.
  bool PickComboItem(int comboId, int index);
  // Replaces the text of an edit control by typing, as a person does;
  // true once the control holds the text.
  bool ReplaceEditText(int id, const std::string& text);

  // ---- Message boxes ---------------------------------------------------------------
  bool WaitForMessage(MessageSeen* seen, DWORD timeoutMs);
  bool MessageOpen() const;
  void Answer(const MessageSeen& message, int buttonId);  // mouse on the button

  // ---- Screenshots -----------------------------------------------------------------
  // live: the window's thread answers, so it is activated and let finish
  // painting first.
  void Shot(HWND window, const std::string& label, bool live = true);
  // Invalidates the window with its controls; returns once it is painted.
  void Repaint(HWND window);
  const std::vector<std::wstring>& shots() const { return shots_; }

  // ---- End ---------------------------------------------------------------------------
  bool WaitForExit(DWORD* exitCode, DWORD timeoutMs);

 private:
  HWND FindTopLevel(const char* caption) const;
  void Settle(HWND window) const;

  std::wstring exePath_;
  std::wstring shotsDir_;
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
  HWND wizard_ = nullptr;
  std::vector<std::wstring> shots_;
};
