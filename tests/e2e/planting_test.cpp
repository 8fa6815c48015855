// The setup program started from a download folder where someone left DLLs
// under the names of system DLLs that Windows does not protect: none of
// them may be loaded, all the way through the wizard.
//
// Wine loads its own copy of a system DLL first, whatever lies beside the
// program; these names are made native-first for the setup process, so
// that Wine searches as Windows does and a copy in the program's folder is
// taken when the program lets the search reach that folder. Each planted
// copy (planted_dll) writes where it was loaded from into a file of its
// folder and refuses to load.
#include <windows.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/open_record.h"
#include "tests/e2e/scenario.h"

namespace {
constexpr DWORD kInstallTimeoutMs = 60000;
constexpr DWORD kReferenceTimeoutMs = 30000;
constexpr wchar_t kLogName[] = L"planted-loads.txt";

// Names that some Windows from XP on looks for in the program's folder
// first: not in its known-DLL list, loaded late by the system DLLs that the
// program uses (or, for comctl32, imported by the program itself).
const char* const kPlantedNames[] = {
    "apphelp",  "clbcatq", "comctl32", "cryptbase", "cryptsp",  "dwmapi",   "imm32",
    "linkinfo", "lpk",     "msctf",    "msimg32",   "ntmarta",  "ntshrui",  "oleacc",
    "profapi",  "propsys", "riched20", "secur32",   "setupapi", "shfolder", "sspicli",
    "userenv",  "usp10",   "uxtheme",  "version",   "winmm",    "wldp",
};

struct PlantedLoad {
  std::string dll;      // the full path the copy was loaded from
  std::string program;  // the program that loaded it
};

std::string BaseName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('\\') + 1);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  const std::size_t dot = name.rfind(".dll");
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::vector<PlantedLoad> ReadLoads(const std::wstring& folder) {
  std::string text;
  std::vector<PlantedLoad> loads;
  if (!ReadBytes(folder + L"\\" + kLogName, &text)) return loads;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = text.substr(start, end - start);
    const std::size_t tab = line.find('\t');
    loads.push_back({line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
  }
  return loads;
}

// Copies the program and a planted DLL under each name into a fresh folder.
bool MakeDownloadFolder(const std::wstring& folder, const std::wstring& program,
                        const std::wstring& programName, const std::vector<std::string>& names) {
  DeleteTree(folder);
  if (!CreateDirectoryW(folder.c_str(), nullptr)) return false;
  if (!CopyFileW(program.c_str(), (folder + L"\\" + programName).c_str(), TRUE)) return false;
  const std::wstring planted = WindowsPathOf(TAVIK_PLANTED_DLL);
  for (const std::string& name : names)
    if (!CopyFileW(planted.c_str(), (folder + L"\\" + Widen(name) + L".dll").c_str(), TRUE)) return false;
  return true;
}

// Makes the names native-first for one program, the way
// WINEDLLOVERRIDES=<names>=n,b does, through Wine's per-program overrides
// in the registry: an environment variable set here would not reach the
// program, and the driver itself must keep Wine's own DLLs. The overrides
// are removed at the end of the scope.
class NativeFirst {
 public:
  NativeFirst(const std::string& program, const std::vector<std::string>& names)
      : key_("Software\\Wine\\AppDefaults\\" + program) {
    HKEY overrides = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &overrides, nullptr) != ERROR_SUCCESS)
      return;
    for (const std::string& name : names)
      set_ += RegSetValueExA(overrides, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kOrder),
                             sizeof kOrder) == ERROR_SUCCESS;
    RegCloseKey(overrides);
  }
  ~NativeFirst() { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }
  NativeFirst(const NativeFirst&) = delete;
  NativeFirst& operator=(const NativeFirst&) = delete;
  std::size_t set() const { return set_; }

 private:
  static constexpr char kOrder[] = "native,builtin";
  std::string key_;
  std::size_t set_ = 0;
};

std::string Joined(const std::vector<PlantedLoad>& loads) {
  std::string text;
  for (const PlantedLoad& load : loads) text += "\n  " + load.dll + " by " + load.program;
  return text;
}
}  // namespace

class Planting : public Scenario {
 protected:
  // The names that Wine's own DLLs load in a program that imports what the
  // setup program may import and does nothing: on Windows those come from
  // the system folder, so they say nothing about the setup program, and
  // are left out of its run.
  // A planted copy refuses to load, which ends a program at its first
  // planted import; so the reference program runs again without the names
  // found so far, until a run loads none.
  std::set<std::string> CalibrateWithReferenceProgram() {
    const std::wstring folder = installRoot_ + L"\\Reference";
    std::vector<std::string> names(std::begin(kPlantedNames), std::end(kPlantedNames));
    std::set<std::string> wineOwn;
    for (std::size_t round = 0; round < std::size(kPlantedNames); ++round) {
      EXPECT_TRUE(MakeDownloadFolder(folder, WindowsPathOf(TAVIK_REFERENCE_EXE), L"reference.exe", names));
      NativeFirst nativeFirst("reference.exe", names);
      EXPECT_EQ(nativeFirst.set(), names.size());
      SetupRun reference(folder + L"\\reference.exe", L"");
      EXPECT_TRUE(reference.Start()) << "cannot start the reference program";
      DWORD exitCode = 99;
      EXPECT_TRUE(reference.WaitForExit(&exitCode, kReferenceTimeoutMs)) << "the reference program did not end";
      const std::vector<PlantedLoad> loads = ReadLoads(folder);
      if (loads.empty()) {
        EXPECT_EQ(exitCode, 0u) << "the reference program failed with no planted DLL loaded";
        break;
      }
      for (const PlantedLoad& load : loads) wineOwn.insert(BaseName(load.dll));
      names.erase(std::remove_if(names.begin(), names.end(),
                                 [&](const std::string& name) { return wineOwn.count(name) != 0; }),
                  names.end());
    }
    return wineOwn;
  }

  // Browse, the chooser's OK, then the path typed over.
  void UseTheFolderChooser(const std::wstring& downloads) {
    run().Click(IDC_BROWSE);
    HWND chooser = run().WaitForDialogWith(lst2, 10000);
    if (chooser == nullptr) {
      // As in SetupRun::Answer: now and then Wine's virtual desktop loses
      // the first click after a busy spell; a person clicks again.
      std::fprintf(stderr, "planting: no chooser after a click on Browse, clicking again\n");
      run().Click(IDC_BROWSE);
      chooser = run().WaitForDialogWith(lst2, 20000);
    }
    ASSERT_NE(chooser, nullptr) << "the folder chooser did not open";
    run().Shot(chooser, "folder-chooser");
    run().ClickWindow(GetDlgItem(chooser, IDOK));
    ASSERT_TRUE(run().WaitUntil([&] { return !IsWindow(chooser); })) << "the chooser did not close";
    // Started from its own folder, the chooser offers that folder.
    EXPECT_EQ(Widen(ControlText(run().Control(IDC_PATH_EDIT))), downloads + L"\\Tavik");
  }
};

TEST_F(Planting, NoDllBesideTheProgramIsLoadedThroughTheWholeWizard) {
  const std::set<std::string> wineOwn = CalibrateWithReferenceProgram();
  std::string leftOut;
  for (const std::string& name : wineOwn) leftOut += " " + name;
  std::printf("planting: left out, loaded by Wine's own DLLs in the reference program:%s\n", leftOut.c_str());

  std::vector<std::string> names;
  for (const char* name : kPlantedNames)
    if (wineOwn.count(name) == 0) names.push_back(name);

  const std::wstring downloads = installRoot_ + L"\\Downloads";
  ASSERT_TRUE(MakeDownloadFolder(downloads, SetupExe(Build::kSmall), L"TavikSetup.exe", names));
  ASSERT_TRUE(RegisterOpenRecorder());
  ForgetOpenedFile();
  NativeFirst nativeFirst("TavikSetup.exe", names);
  ASSERT_EQ(nativeFirst.set(), names.size());
  Launch(downloads + L"\\TavikSetup.exe");
  ASSERT_NE(run().wizard(), nullptr) << "no wizard; planted loads:" << Joined(ReadLoads(downloads));

  UseTheFolderChooser(downloads);
  if (HasFatalFailure()) {
    ADD_FAILURE() << "planted loads:" << Joined(ReadLoads(downloads));
    return;
  }
  WizardChoices choices;
  choices.installDir = "C:\\TavikE2E\\Planted";
  const InstallEnd end = FinishInstall(WalkToInstall(choices), true, kInstallTimeoutMs);
  EXPECT_EQ(end.exitCode, 0u);
  // The shell starts the package's handler on its own; it too inherits the
  // native-first names.
  std::string opened;
  EXPECT_TRUE(run().WaitUntil([&] { return ReadOpenedFile(&opened); }, 15000)) << "nothing was opened";
  EXPECT_TRUE(Exists(Widen(choices.installDir) + L"\\dodazaze.ini"));

  const std::vector<PlantedLoad> loads = ReadLoads(downloads);
  EXPECT_TRUE(loads.empty()) << loads.size() << " planted DLLs were loaded:" << Joined(loads);
}
