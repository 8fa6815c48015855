// One full install of the real setup program under each Windows version
// that Wine can report (HKCU\Software\Wine "Version"), with the way that
// the program's version probe chose seen from outside:
// - major version 3: the shortcut folders are composed under the Windows
//   folder, with "profiles\<user>\" on NT; where those folders are missing,
//   the program folder cannot be made and the user is told so;
// - not NT: the display-test line goes through the wide text output, its
//   code-page-936 bytes converted first;
// - NT 6 and later only: the document types and COM servers are registered.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "base/bounded_format.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "tests/e2e/install_checks.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/png_file.h"
#include "tests/e2e/scenario.h"
#include "tests/support/surface.h"

namespace {
constexpr DWORD kFullInstallTimeoutMs = 240000;
constexpr DWORD kSmallInstallTimeoutMs = 60000;

// What each version must make the program do, written out by hand rather
// than derived from version numbers the way the program does.
struct VersionCase {
  const char* name;  // Wine's name for the version
  bool version3;     // shortcut folders composed under the Windows folder
  bool nt;           // NT platform: "profiles\<user>\" there; display line narrow
  bool registers;    // document types and COM servers registered
};

const VersionCase kVersions[] = {
    {"win31", true, false, false}, {"nt351", true, true, false},  {"win98", false, false, false},
    {"win2k", false, true, false}, {"winxp", false, true, false}, {"win7", false, true, true},
    {"win10", false, true, true},
};

std::wstring UserName() {
  wchar_t name[256] = L"";
  DWORD length = static_cast<DWORD>(std::size(name));
  return GetUserNameW(name, &length) ? name : L"";
}

// The folders where a system of version 3 keeps the Start menu's Programs
// and the desktop, and the first level of them that a prefix lacks.
struct LegacyFolders {
  std::wstring programs, desktop, top;
};

LegacyFolders LegacyFoldersOf(const VersionCase& version) {
  std::wstring base = WindowsFolder() + L"\\";
  std::wstring top = base + L"start menu";
  if (version.nt) {
    top = base + L"profiles";
    base += L"profiles\\" + UserName() + L"\\";
  }
  return {base + L"start menu\\programs", base + L"Desktop", top};
}

// ---- The display-test line --------------------------------------------------------
// Its pixels on the screen are compared with the same bytes drawn here, in
// a memory bitmap with the font that the program asks for, once through
// the wide output after a code-page-936 conversion and once through the
// narrow one. Without a Chinese font the two differ (seven missing-glyph
// marks against fourteen Latin-1 letters), and the screen must match one.
struct Ink {
  int width = 0;
  int height = 0;
  std::vector<bool> marked;  // the pixels that are not the ground, cropped to them
  bool operator==(const Ink& other) const {
    return width == other.width && height == other.height && marked == other.marked;
  }
};

std::uint32_t PixelAt(const std::vector<std::uint8_t>& rgb, int width, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
  return (rgb[at] << 16) | (rgb[at + 1] << 8) | rgb[at + 2];
}

Ink InkOf(const std::vector<std::uint8_t>& rgb, int width, int height, std::uint32_t ground) {
  int left = width, top = height, right = -1, bottom = -1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (PixelAt(rgb, width, x, y) != ground) {
        left = x < left ? x : left;
        right = x > right ? x : right;
        top = y < top ? y : top;
        bottom = y > bottom ? y : bottom;
      }
  Ink ink;
  if (right < 0) return ink;
  ink.width = right - left + 1;
  ink.height = bottom - top + 1;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) ink.marked.push_back(PixelAt(rgb, width, x, y) != ground);
  return ink;
}

// The colour that most pixels have: the control's face.
std::uint32_t GroundOf(const std::vector<std::uint8_t>& rgb, int width, int height) {
  std::map<std::uint32_t, int> counts;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) ++counts[PixelAt(rgb, width, x, y)];
  std::pair<std::uint32_t, int> most = {0, 0};
  for (const auto& entry : counts)
    if (entry.second > most.second) most = entry;
  return most.first;
}

// The font of the display-test line, built from the stock system font as
// the program describes it: Courier New, 16 by 8, GB2312 character set.
HFONT CreateDisplayTestFont() {
  LOGFONTA font = {};
  GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font);
  CopyBounded(font.lfFaceName, sizeof font.lfFaceName, "Courier New");
  font.lfHeight = 16;
  font.lfWidth = 8;
  font.lfWeight = FW_NORMAL;
  font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  font.lfCharSet = GB2312_CHARSET;
  return CreateFontIndirectA(&font);
}

std::vector<std::uint8_t> DrawSample(int width, int height, std::uint32_t ground, bool wide) {
  Surface picture(width, height);
  HFONT font = CreateDisplayTestFont();
  if (!picture.ok() || font == nullptr) {
    if (font != nullptr) DeleteObject(font);
    return {};
  }
  HGDIOBJ previousFont = SelectObject(picture.dc(), font);
  picture.Fill(RGB(ground >> 16, (ground >> 8) & 0xFF, ground & 0xFF));
  SetBkMode(picture.dc(), TRANSPARENT);
  SetTextColor(picture.dc(), RGB(0, 0, 0));
  const int length = static_cast<int>(std::strlen(kTextDisplaySample));
  if (wide) {
    wchar_t text[64];
    const int count = MultiByteToWideChar(936, 0, kTextDisplaySample, length, text, std::size(text));
    TextOutW(picture.dc(), 0, 0, text, count);
  } else {
    TextOutA(picture.dc(), 0, 0, kTextDisplaySample, length);
  }
  std::vector<std::uint8_t> rgb = picture.Rgb();
  SelectObject(picture.dc(), previousFont);
  DeleteObject(font);
  return rgb;
}
}  // namespace

class VersionMatrix : public Scenario, public ::testing::WithParamInterface<VersionCase> {
 protected:
  const char* WindowsVersion() const override { return GetParam().name; }

  // Which output drew the display-test line: true for the wide one. The
  // three pictures are left beside the screenshots.
  void ExpectSampleLineDrawnThrough(bool wide) {
    RECT area;
    ASSERT_TRUE(GetWindowRect(run().Control(IDC_DISPLAY_SAMPLE), &area));
    const int width = area.right - area.left, height = area.bottom - area.top;
    const std::vector<std::uint8_t> screen = ScreenPixels(area);
    ASSERT_EQ(screen.size(), static_cast<std::size_t>(width) * height * 3) << "cannot read the screen";
    const std::uint32_t ground = GroundOf(screen, width, height);
    const std::vector<std::uint8_t> wideDrawn = DrawSample(width, height, ground, true);
    const std::vector<std::uint8_t> narrowDrawn = DrawSample(width, height, ground, false);
    ASSERT_EQ(wideDrawn.size(), screen.size());
    ASSERT_EQ(narrowDrawn.size(), screen.size());
    WritePng(shotsDir_ + L"\\sample-line-screen.png", width, height, screen);
    WritePng(shotsDir_ + L"\\sample-line-wide.png", width, height, wideDrawn);
    WritePng(shotsDir_ + L"\\sample-line-narrow.png", width, height, narrowDrawn);

    const Ink seen = InkOf(screen, width, height, ground);
    const Ink throughWide = InkOf(wideDrawn, width, height, ground);
    const Ink throughNarrow = InkOf(narrowDrawn, width, height, ground);
    ASSERT_GT(seen.width, 0) << "nothing drawn on the display-test line";
    ASSERT_FALSE(throughWide == throughNarrow) << "the two outputs draw alike here: nothing to tell apart";
    const Ink& wanted = wide ? throughWide : throughNarrow;
    const Ink& other = wide ? throughNarrow : throughWide;
    EXPECT_TRUE(seen == wanted) << "the line (" << seen.width << "x" << seen.height << " px of ink) is not the "
                                << (wide ? "wide" : "narrow") << " output's (" << wanted.width << "x"
                                << wanted.height << ")";
    EXPECT_FALSE(seen == other) << "the line is the " << (wide ? "narrow" : "wide") << " output's";
  }
};

TEST_P(VersionMatrix, FullInstallTakesTheWayOfTheVersion) {
  const VersionCase& version = GetParam();
  const LegacyFolders legacy = LegacyFoldersOf(version);
  if (version.version3) {
    // As those systems had them before any install.
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, legacy.programs.c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, legacy.desktop.c_str(), nullptr), ERROR_SUCCESS);
  }
  std::string rtfBefore;
  const bool hadRtf = ClassesText(".rtf", "", &rtfBefore);
  const bool hadRtfFile = ClassesKeyExists("rtffile");

  Launch(Build::kFull);
  ASSERT_NE(run().wizard(), nullptr);
  WizardChoices choices;
  choices.onDisplayTestPage = [&] { ExpectSampleLineDrawnThrough(!version.nt); };
  const InstallEnd end = FinishInstall(WalkToInstall(choices), false, kFullInstallTimeoutMs);
  ASSERT_EQ(end.exitCode, 0u);

  const std::wstring installDir = DefaultInstallDir();
  ExpectInstalledTree(installDir, PayloadDir(Build::kFull), 0, 0);
  const std::wstring shellPrograms = SpecialFolder(CSIDL_PROGRAMS) + L"\\" + kShellNames[0].editor;
  if (version.version3) {
    ExpectShortcutsIn(legacy.programs, legacy.desktop, installDir, 0, true);
    EXPECT_FALSE(Exists(shellPrograms)) << "a Start-menu folder where the shell keeps it";
    const std::wstring shellDesktopLink =
        SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + kShellNames[0].editor + L".lnk";
    EXPECT_FALSE(Exists(shellDesktopLink)) << "a shortcut on the shell's desktop";
  } else {
    ExpectShortcuts(installDir, 0, true);
    EXPECT_FALSE(Exists(legacy.top)) << Narrow(legacy.top) << " made on a system of version " << version.name;
  }

  if (version.registers) {
    ExpectRegistration(installDir);
  } else {
    for (const char* key : kRegisteredKeys) EXPECT_FALSE(ClassesKeyExists(key)) << "HKCR\\" << key << " written";
    std::string rtfAfter;
    EXPECT_EQ(ClassesText(".rtf", "", &rtfAfter), hadRtf);
    EXPECT_EQ(rtfAfter, rtfBefore) << "HKCR\\.rtf changed";
    EXPECT_EQ(ClassesKeyExists("rtffile"), hadRtfFile) << "HKCR\\rtffile made";
  }
}

// The systems of version 3 again, without the folders that hold the
// shortcuts: the program folder cannot be made, only its own last level is
// ever tried, the user is told which folder failed, and the install still
// succeeds.
class MissingLegacyFolders : public VersionMatrix {};

TEST_P(MissingLegacyFolders, AreToldAndNotMade) {
  const VersionCase& version = GetParam();
  const LegacyFolders legacy = LegacyFoldersOf(version);
  ASSERT_FALSE(Exists(legacy.top));
  ASSERT_FALSE(Exists(WindowsFolder() + L"\\Desktop"));

  Launch(Build::kSmall);
  ASSERT_NE(run().wizard(), nullptr);
  WizardChoices choices;
  choices.installDir = "C:\\TavikE2E\\Legacy";
  const DWORD pressed = WalkToInstall(choices);
  char told[2 * MAX_PATH];
  ASSERT_TRUE(FormatBounded(told, sizeof told, kTextStartFolderCn,
                            Narrow(legacy.programs + L"\\" + kShellNames[0].editor).c_str()));
  MessageSeen folder = ExpectMessage(told, kTextFolderEn, "folder-message", kSmallInstallTimeoutMs);
  ASSERT_NE(folder.window, nullptr);
  EXPECT_EQ(folder.buttons, std::vector<int>{IDOK});
  run().Answer(folder, IDOK);
  ASSERT_EQ(FinishInstall(pressed, false, kSmallInstallTimeoutMs).exitCode, 0u);

  EXPECT_FALSE(Exists(legacy.top)) << "a parent level was made: " << Narrow(legacy.top);
  EXPECT_FALSE(Exists(legacy.desktop)) << "the desktop folder was made";
  EXPECT_FALSE(Exists(SpecialFolder(CSIDL_PROGRAMS) + L"\\" + kShellNames[0].editor));
}

std::string NameOf(const ::testing::TestParamInfo<VersionCase>& info) { return info.param.name; }

std::vector<VersionCase> Version3Cases() {
  std::vector<VersionCase> cases;
  for (const VersionCase& version : kVersions)
    if (version.version3) cases.push_back(version);
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Windows, VersionMatrix, ::testing::ValuesIn(kVersions), NameOf);
INSTANTIATE_TEST_SUITE_P(Windows, MissingLegacyFolders, ::testing::ValuesIn(Version3Cases()), NameOf);
