// The restricted DLL search and the loading of system DLLs by full path.
// The planted copies are the planting test's recorder DLL: a copy that a
// search reaches writes its path into planted-loads.txt beside itself.
#include "startup/system_dlls.h"

#include <gtest/gtest.h>

#include <string>

#include "startup/startup_steps.h"

namespace {
std::string SystemFolder() {
  char folder[MAX_PATH] = "";
  GetSystemDirectoryA(folder, sizeof folder);
  return folder;
}

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(module, path, sizeof path);
  return path;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

bool SameText(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::string TestFolder() { return FolderOf(ModulePath(nullptr)); }

std::string PlantedLoads() {
  std::string text;
  HANDLE file = CreateFileA((TestFolder() + "\\planted-loads.txt").c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

// The recorder DLL beside this test program under a name of no system DLL.
class PlantedCopy {
 public:
  explicit PlantedCopy(const char* name) : path_(TestFolder() + "\\" + name) {
    // The recorder is built into this program's folder.
    copied_ = CopyFileA((TestFolder() + "\\planted.dll").c_str(), path_.c_str(), FALSE) != 0;
  }
  ~PlantedCopy() { DeleteFileA(path_.c_str()); }
  PlantedCopy(const PlantedCopy&) = delete;
  PlantedCopy& operator=(const PlantedCopy&) = delete;
  bool copied() const { return copied_; }

 private:
  std::string path_;
  bool copied_ = false;
};
}  // namespace

TEST(LoadSystemLibrary, TakesTheSystemFoldersCopyAndRefusesAPathThatDoesNotFit) {
  HMODULE controls = LoadSystemLibrary("comctl32.dll");
  ASSERT_NE(controls, nullptr);
  EXPECT_TRUE(SameText(FolderOf(ModulePath(controls)), SystemFolder())) << ModulePath(controls);
  EXPECT_TRUE(RegisterProgressClass());
  WNDCLASSEXA progress = {};
  progress.cbSize = sizeof progress;
  EXPECT_NE(GetClassInfoExA(controls, "msctls_progress32", &progress), FALSE);

  const std::string tooLong(MAX_PATH - SystemFolder().size(), 'x');
  EXPECT_EQ(LoadSystemLibrary(tooLong.c_str()), nullptr);
}

TEST(PreloadSystemDlls, EveryListedDllThatTheSystemHasComesFromTheSystemFolder) {
  PreloadSystemDlls();
  int present = 0;
  for (int i = 0; i < kPreloadedDllCount; ++i) {
    const std::string name = kPreloadedDlls[i].name;
    SCOPED_TRACE(name);
    if (GetFileAttributesA((SystemFolder() + "\\" + name).c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    ++present;
    HMODULE module = GetModuleHandleA(name.c_str());
    ASSERT_NE(module, nullptr) << "not loaded";
    EXPECT_TRUE(SameText(FolderOf(ModulePath(module)), SystemFolder())) << ModulePath(module);
  }
  EXPECT_GT(present, 0) << "the system folder has none of the listed DLLs";
}

// Last: the restriction holds for the rest of the process.
TEST(RestrictDllSearch, AProgramFolderCopyIsFoundBeforeAndNotAfter) {
  DeleteFileA((TestFolder() + "\\planted-loads.txt").c_str());
  PlantedCopy before("tavik_probe_before.dll");
  PlantedCopy after("tavik_probe_after.dll");
  ASSERT_TRUE(before.copied() && after.copied());

  // The recorder refuses to load; its record shows that the search found it.
  EXPECT_EQ(LoadLibraryA("tavik_probe_before.dll"), nullptr);
  ASSERT_NE(PlantedLoads().find("tavik_probe_before.dll"), std::string::npos)
      << "the program's folder was not searched even before: the test proves nothing";

  const unsigned applied = RestrictDllSearch();
  // Wine's kernel32 has SetDefaultDllDirectories and SetDllDirectoryA.
  EXPECT_EQ(applied, kDefaultDirsSystemOnly | kCurrentFolderDropped | kLateDllsPreloaded);
  EXPECT_EQ(LoadLibraryA("tavik_probe_after.dll"), nullptr);
  EXPECT_EQ(PlantedLoads().find("tavik_probe_after.dll"), std::string::npos) << PlantedLoads();
  // A system DLL by name is still found.
  EXPECT_NE(LoadLibraryA("comdlg32.dll"), nullptr);
  DeleteFileA((TestFolder() + "\\planted-loads.txt").c_str());
}
