// Checks of a finished install (see install_checks.h).
#include "tests/e2e/install_checks.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/machine_state.h"

namespace {
std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n  " + line;
  return text;
}

std::wstring FromAnsi(const std::string& text) {
  int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], size);
  out.resize(static_cast<std::size_t>(size > 0 ? size - 1 : 0));
  return out;
}

void ExpectShortcut(const std::wstring& link, const std::wstring& target) {
  SCOPED_TRACE(Narrow(link));
  ASSERT_TRUE(Exists(link)) << "no shortcut";
  const std::wstring resolved = FromAnsi(ShortcutTarget(link));
  EXPECT_EQ(lstrcmpiW(resolved.c_str(), target.c_str()), 0)
      << "points at " << Narrow(resolved) << ", not " << Narrow(target);
  EXPECT_TRUE(Exists(resolved)) << "its target does not exist";
}

// Registry texts are written in the system code page.
std::string ToAnsi(const std::wstring& text) {
  char out[MAX_PATH * 2] = "";
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
  return out;
}

std::string ShortPath(const std::wstring& path) {
  wchar_t shortPath[MAX_PATH] = L"";
  DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::string() : ToAnsi(shortPath);
}

void ExpectClassesText(const char* key, const char* valueName, const std::string& wanted) {
  std::string text;
  EXPECT_TRUE(ClassesText(key, valueName, &text)) << "HKCR\\" << key << " is missing";
  EXPECT_EQ(text, wanted) << "HKCR\\" << key;
}
}  // namespace

void ExpectInstalledTree(const std::wstring& installDir, const std::wstring& payloadDir, int useBmpFont,
                         int forceLanguage) {
  const std::vector<std::string> problems = CompareWithPayload(installDir, payloadDir, {"dodazaze.ini"});
  EXPECT_TRUE(problems.empty()) << problems.size() << " of 122 files differ:" << Joined(problems);

  std::string packed, installed;
  ASSERT_TRUE(ReadBytes(payloadDir + L"\\dodazaze.ini", &packed));
  ASSERT_TRUE(ReadBytes(installDir + L"\\dodazaze.ini", &installed));
  EXPECT_EQ(installed, ExpectedConfig(packed, useBmpFont, forceLanguage));
  EXPECT_TRUE(IsFolder(installDir + L"\\doc")) << "no doc folder";
}

void ExpectShortcuts(const std::wstring& installDir, int uiLanguage, bool desktopWanted) {
  ExpectShortcutsIn(SpecialFolder(CSIDL_PROGRAMS), SpecialFolder(CSIDL_DESKTOPDIRECTORY), installDir,
                    uiLanguage, desktopWanted);
}

void ExpectShortcutsIn(const std::wstring& programs, const std::wstring& desktop,
                       const std::wstring& installDir, int uiLanguage, bool desktopWanted) {
  const ShellNames& names = kShellNames[uiLanguage];
  const std::wstring folder = programs + L"\\" + names.editor;
  EXPECT_TRUE(IsFolder(folder)) << "no Start-menu folder " << Narrow(folder);
  ExpectShortcut(folder + L"\\" + names.editor + L".lnk", installDir + L"\\TVKEdit.exe");
  ExpectShortcut(folder + L"\\" + names.uninstaller + L".lnk", installDir + L"\\TVKEditUnInstall.exe");

  if (desktopWanted) {
    ExpectShortcut(desktop + L"\\" + names.notesEditor + L".lnk", installDir + L"\\Morvel.exe");
    ExpectShortcut(desktop + L"\\" + names.editor + L".lnk", installDir + L"\\TVKEdit.exe");
  } else {
    EXPECT_FALSE(Exists(desktop + L"\\" + names.notesEditor + L".lnk"));
    EXPECT_FALSE(Exists(desktop + L"\\" + names.editor + L".lnk"));
  }
}

void ExpectRegistration(const std::wstring& installDir) {
  const std::string dir = ToAnsi(installDir);
  ExpectClassesText("TVKEditor.Document", "", "Tavik Editor Document");
  ExpectClassesText("TVKEditor.Document\\shell\\open\\command", "", dir + "\\tvkedit.exe %1");
  ExpectClassesText(".rtf", "", "TVKEditor.Document");

  const std::string editor = ShortPath(installDir + L"\\tvkedit.exe");
  const std::string nodrix = ShortPath(installDir + L"\\Nodrix.exe");
  EXPECT_FALSE(editor.empty());
  EXPECT_FALSE(nodrix.empty());
  ExpectClassesText("TVKEdit.Document\\CLSID", "", "{3C1A7E52-0B84-4D6E-9F21-6A5D8E0C4B73}");
  ExpectClassesText("TVKEdit.Document\\shell\\open\\command", "", editor + " \"%1\"");
  ExpectClassesText("CLSID\\{3C1A7E52-0B84-4D6E-9F21-6A5D8E0C4B73}\\ProgID", "", "TVKEdit.Document");
  ExpectClassesText("CLSID\\{3C1A7E52-0B84-4D6E-9F21-6A5D8E0C4B73}\\LocalServer32", "", editor);
  ExpectClassesText("Nodrix.Document.1\\CLSID", "", "{7E2B9D14-C5A3-4F08-B6E7-18D40F9A2C65}");
  ExpectClassesText("CLSID\\{7E2B9D14-C5A3-4F08-B6E7-18D40F9A2C65}\\LocalServer32", "", nodrix);
}
