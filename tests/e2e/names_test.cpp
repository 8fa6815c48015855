// What a screen reader hears: the name of every visible control on each
// page and in each kind of message, read through the accessibility
// interface while the wizard is walked with the keyboard alone up to an
// installed product; and the names change no pixel of what is drawn.
#include <windows.h>
#include <oleacc.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "resources/texts.h"
#include "tests/e2e/install_checks.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scenario.h"

namespace {
// Where a control shows: wizard pages, or message boxes by their buttons.
enum : unsigned { kPath = 1, kDisplay = 2, kLicence = 4, kLanguage = 8, kPages = 15, kOkBox = 16, kYesNoBox = 32,
                  kOkCancelBox = 64 };

// "page-1" (path) to "page-8" (language); "message-16" (OK) to "message-64".
std::string PlaceName(unsigned where) {
  return (where & kPages ? "page-" : "message-") + std::to_string(where);
}

struct Named {
  unsigned where;
  int id;
  const char* text;  // the program's own GB2312 text
};

const Named kNamed[] = {
    {kPages, IDC_PANEL_TAVIK, kTextPanelTavik},
    {kPages, IDC_PANEL_EDITOR, kTextPanelEditor},
    {kPages, IDC_PANEL_SETUP, kTextPanelSetup},
    {kPath | kDisplay | kLicence, IDC_NEXT, kTextNext},
    {kLanguage, IDC_NEXT, kTextAgreeInstall},
    {kDisplay | kLicence | kLanguage, IDC_BACK, kTextBack},
    {kPages | kOkCancelBox, IDCANCEL, kTextCancel},
    {kPath, IDC_PATH_LABEL, kTextInstallPath},
    {kPath, IDC_BROWSE, kTextBrowse},
    {kPath, IDC_DESKTOP_ICON, kTextDesktopIcon},
    {kDisplay, IDC_DISPLAY_QUESTION, kTextDisplayQuestion},
    {kDisplay, IDC_DISPLAY_SAMPLE, kTextDisplaySample},
    {kDisplay, IDC_DISPLAY_OK, kTextDisplayOk},
    {kDisplay, IDC_DISPLAY_NOT_OK, kTextDisplayNotOk},
    {kLanguage, IDC_LANGUAGE_LABEL, kTextLanguageLabel},
    {kLanguage, IDC_LANGUAGE_COMBO, kTextLanguageEnglish},  // named by its selected item
    {kOkBox | kOkCancelBox, IDOK, kTextOk},
    {kYesNoBox, IDYES, kTextYes},
    {kYesNoBox, IDNO, kTextNo},
};
// Visible controls that show no text of the program's table: the system
// draws their template's or the user's text, or they show none.
const std::set<int> kNotTheProgramsText = {IDC_PANEL_NAME, IDC_PANEL_ICON, IDC_PANEL_INSTALLER,
                                           IDC_RULE, IDC_WEB_ADDRESS, IDC_PANEL_BLANK,
                                           IDC_BOTTOM_STRIP, IDC_PATH_EDIT, IDC_DISPLAY_FRAME,
                                           IDC_LICENCE_ENGLISH, IDC_LICENCE_EDIT};

// The expectation, converted by the system's table for code page 936, not
// by the program.
std::wstring Unicode(const char* gb2312) {
  wchar_t text[256] = L"";
  return MultiByteToWideChar(936, 0, gb2312, -1, text, 256) > 0 ? text : L"(not GB2312)";
}

std::string Utf8(const std::wstring& text) {  // for the printed record
  char bytes[1024] = "";
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
  return bytes;
}

// The name as a screen reader asks for it; WM_GETTEXT where oleacc fails.
std::wstring AccessibleName(HWND control) {
  IAccessible* object = nullptr;
  BSTR name = nullptr;
  VARIANT self;
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  if (SUCCEEDED(AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&object)))) {
    const HRESULT result = object->get_accName(self, &name);
    object->Release();
    std::wstring text = name != nullptr ? std::wstring(name, SysStringLen(name)) : L"";
    SysFreeString(name);
    if (SUCCEEDED(result)) return text;
  }
  char className[64] = "";
  GetClassNameA(control, className, sizeof className);
  std::printf("names of class %s read by WM_GETTEXT\n", className);
  wchar_t text[512] = L"";
  SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

// The pixels of the named controls, then again with their names cleared:
// the painters must not have used them. The names are put back. Both
// pictures follow a whole repaint: some controls overlap by a pixel, and
// the one painted last shows there.
void ExpectNamesDrawNothing(SetupRun& setup, HWND window, const std::vector<HWND>& named) {
  std::vector<std::vector<std::uint8_t>> drawn;
  std::vector<std::wstring> names;
  RECT area;
  setup.Repaint(window);
  for (HWND control : named) {
    drawn.push_back(GetWindowRect(control, &area) ? ScreenPixels(area) : std::vector<std::uint8_t>());
    names.push_back(WindowName(control));
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 2000, nullptr);
  }
  setup.Repaint(window);
  for (std::size_t i = 0; i < named.size(); ++i) {
    GetWindowRect(named[i], &area);
    EXPECT_FALSE(drawn[i].empty());
    EXPECT_TRUE(ScreenPixels(area) == drawn[i]) << "control " << GetDlgCtrlID(named[i]) << " drew its name";
    SendMessageTimeoutW(named[i], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names[i].c_str()), SMTO_ABORTIFHUNG,
                        2000, nullptr);
  }
  setup.Repaint(window);
}

// Every visible control of window: where it shows a text of the program's
// table, its name is that text in UTF-16, without '&'; a control that the
// tables do not know fails. The names are printed for the record.
void ExpectNames(SetupRun& setup, HWND window, unsigned where, std::vector<Named> texts) {
  texts.insert(texts.end(), std::begin(kNamed), std::end(kNamed));
  std::vector<HWND> named;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    const int id = GetDlgCtrlID(child);
    const std::wstring name = AccessibleName(child);
    std::printf("names cp%u %s: %d \"%s\"\n", GetACP(), PlaceName(where).c_str(), id, Utf8(name).c_str());
    const Named* row = nullptr;
    for (const Named& entry : texts)
      if ((entry.where & where) != 0 && entry.id == id) row = &entry;
    if (row == nullptr) {
      EXPECT_TRUE(kNotTheProgramsText.count(id)) << "control " << id << " has no expected name";
      continue;
    }
    EXPECT_EQ(name, Unicode(row->text)) << "control " << id;
    EXPECT_EQ(name.find(L'&'), std::wstring::npos) << "control " << id;
    // The English line is a static that the system draws from its text;
    // the list's text is its selected item.
    if (id != IDC_MESSAGE_ENGLISH && id != IDC_LANGUAGE_COMBO) named.push_back(child);
  }
  ExpectNamesDrawNothing(setup, window, named);
  if (where & kPages) setup.Shot(window, PlaceName(where));
}
}  // namespace

using ScreenReader = Scenario;

TEST_F(ScreenReader, NamesEveryControlWhileTheKeyboardAloneInstalls) {
  CoInitialize(nullptr);
  // A changed word base in the default folder brings the Yes/No question;
  // the folder stands as an earlier install left it.
  const std::wstring installDir = DefaultInstallDir();
  CreateDirectoryW(installDir.c_str(), nullptr);
  CreateDirectoryW((installDir + L"\\doc").c_str(), nullptr);
  ASSERT_TRUE(WriteBytes(installDir + L"\\CiZuFlat.igb", "user words"));
  ASSERT_TRUE(WriteBytes(installDir + L"\\pycizudic.idx", "\xF1 changed by the user"));
  SetupRun& setup = Launch(Build::kSmall);
  ASSERT_NE(setup.wizard(), nullptr);
  setup.Activate(setup.wizard());

  // Enter in the path means Next; elsewhere the focus may rest on Back, so
  // Next is reached by Tab, as its focus rectangle shows a person.
  auto pressNext = [&] {
    ASSERT_TRUE(setup.TabTo(IDC_NEXT));
    setup.PressKey(VK_RETURN);
  };
  // A message read, then answered by keys; it must be gone before the next.
  auto message = [&](const char* chinese, const char* english, unsigned kind, std::vector<WORD> keys,
                     DWORD timeoutMs) {
    MessageSeen box = ExpectMessage(chinese, english, PlaceName(kind), timeoutMs);
    ASSERT_NE(box.window, nullptr);
    ExpectNames(setup, box.window, kind, {{kind, IDC_MESSAGE_CHINESE, chinese}, {kind, IDC_MESSAGE_ENGLISH, english}});
    setup.Activate(box.window);
    for (WORD key : keys) setup.PressKey(key);
    ASSERT_TRUE(setup.WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }));
  };
  ExpectNames(setup, setup.wizard(), kPath, {});
  setup.PressKey(VK_RETURN);
  ASSERT_TRUE(setup.WaitForPage(Page::kDisplayTest));
  ExpectNames(setup, setup.wizard(), kDisplay, {});
  pressNext();  // no answer yet
  message(kTextAnswerCn, kTextAnswerEn, kOkBox, {VK_SPACE}, 10000);  // on OK, which has the focus
  ASSERT_TRUE(setup.TabTo(IDC_DISPLAY_OK));
  setup.PressKey(VK_SPACE);
  ASSERT_TRUE(setup.WaitUntil([&] { return setup.IsChecked(IDC_DISPLAY_OK); }));
  pressNext();
  ASSERT_TRUE(setup.WaitForPage(Page::kLicence));
  ExpectNames(setup, setup.wizard(), kLicence, {});
  pressNext();
  ASSERT_TRUE(setup.WaitForPage(Page::kLanguage));
  ExpectNames(setup, setup.wizard(), kLanguage, {});
  ASSERT_TRUE(setup.TabTo(IDC_LANGUAGE_COMBO));
  setup.PressKey(VK_DOWN);  // Chinese (Simplified)
  setup.PressKey(VK_RETURN);
  message(kTextWordBaseCn, kTextWordBaseEn, kYesNoBox, {VK_SPACE}, 30000);  // Yes: the new word base
  message(kTextSuccessCn, kTextSuccessEn, kOkBox, {VK_SPACE}, 60000);
  message(kTextSpeechCn, kTextSpeechEn, kOkCancelBox, {VK_TAB, VK_SPACE}, 10000);  // Cancel: no package

  DWORD exitCode = 99;
  ASSERT_TRUE(setup.WaitForExit(&exitCode, 30000) && exitCode == 0) << "the program did not end well";
  ExpectInstalledTree(installDir, PayloadDir(Build::kSmall), 0, 1);
  CoUninitialize();
}
