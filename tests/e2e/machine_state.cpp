// Reading back and removing what an install leaves (see machine_state.h).
#include "tests/e2e/machine_state.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <iterator>

#include "base/bounded_format.h"
#include "base/manifest.h"
#include "tests/support/manifest_oracle.h"

const ShellNames kShellNames[3] = {
    {L"Tavik Roved Editor", L"Tavik Roved Editor UnInstall", L"Morvelpad"},
    {L"塔维克沐编", L"塔维克沐编卸载", L"塔维克文本编辑"},
    {L"塔維克沐編", L"塔維克沐編卸載", L"塔維克文本編輯"},
};

const char* const kRegisteredKeys[5] = {
    "TVKEditor.Document", "TVKEdit.Document", "Nodrix.Document.1",
    "CLSID\\{3C1A7E52-0B84-4D6E-9F21-6A5D8E0C4B73}", "CLSID\\{7E2B9D14-C5A3-4F08-B6E7-18D40F9A2C65}"};

namespace {
// Folders of drive C that only Wine writes, or that are too large to walk
// for every scenario and never touched by an installer of this kind.
const wchar_t* const kSnapshotSkips[] = {L"C:\\windows\\system32", L"C:\\windows\\syswow64",
                                         L"C:\\windows\\winsxs", L"C:\\windows\\Microsoft.NET",
                                         L"C:\\windows\\globalization", L"C:\\windows\\mono",
                                         L"C:\\windows\\logs"};

void SnapshotFolder(const std::wstring& folder, DiskSnapshot* snapshot) {
  for (const wchar_t* skip : kSnapshotSkips)
    if (lstrcmpiW(folder.c_str(), skip) == 0) return;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    std::wstring path = folder + L"\\" + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      (*snapshot)[path] = L"folder";
      SnapshotFolder(path, snapshot);
    } else {
      wchar_t facts[64];
      swprintf(facts, std::size(facts), L"%lu bytes, time %08lx%08lx", entry.nFileSizeLow,
               entry.ftLastWriteTime.dwHighDateTime, entry.ftLastWriteTime.dwLowDateTime);
      (*snapshot)[path] = facts;
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
}

std::string Hex(DWORD value) {
  char text[16];
  FormatBounded(text, sizeof text, "0x%lx", value);
  return text;
}
}  // namespace

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(size - 1));
  return out;
}

std::wstring SpecialFolder(int csidl) {
  wchar_t path[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return std::wstring();
  return path;
}

std::wstring WindowsFolder() {
  wchar_t path[MAX_PATH] = L"";
  UINT length = GetWindowsDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return L"C:\\windows";
  if (path[length - 1] == L'\\') path[length - 1] = L'\0';
  return path;
}

bool ReportWindowsVersion(const char* version) {
  HKEY wine = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &wine,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LSTATUS status;
  if (version == nullptr) {
    status = RegDeleteValueA(wine, "Version");
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  } else {
    status = RegSetValueExA(wine, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                            static_cast<DWORD>(std::strlen(version) + 1));
  }
  RegCloseKey(wine);
  return status == ERROR_SUCCESS;
}

std::wstring TempFolder() {
  wchar_t path[MAX_PATH] = L"";
  DWORD length = GetTempPathW(MAX_PATH, path);
  return length == 0 || length >= MAX_PATH ? std::wstring(L"C:\\") : std::wstring(path);
}

std::wstring SpeechPackagePath() { return TempFolder() + L"Sapi51forTavik.msi"; }

DWORD AttributesOf(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }
bool Exists(const std::wstring& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }
bool IsFolder(const std::wstring& path) {
  DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ReadBytes(const std::wstring& path, std::string* bytes) {
  bytes->clear();
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(file, &size) != 0;
  if (ok) {
    bytes->resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes->empty() ||
         (ReadFile(file, &(*bytes)[0], static_cast<DWORD>(bytes->size()), &read, nullptr) && read == bytes->size());
  }
  CloseHandle(file);
  return ok;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  CloseHandle(file);
  return ok;
}

void DeleteTree(const std::wstring& path) {
  DWORD attributes = AttributesOf(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") DeleteTree(path + L"\\" + name);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

void ForgetEarlierRuns(const std::vector<std::wstring>& installFolders) {
  for (const std::wstring& folder : installFolders) DeleteTree(folder);
  const std::wstring programs = SpecialFolder(CSIDL_PROGRAMS);
  const std::wstring desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
  for (const ShellNames& names : kShellNames) {
    DeleteTree(programs + L"\\" + names.editor);
    DeleteTree(desktop + L"\\" + names.editor + L".lnk");
    DeleteTree(desktop + L"\\" + names.notesEditor + L".lnk");
  }
  for (const wchar_t* legacy : {L"\\start menu", L"\\Desktop", L"\\profiles"})
    DeleteTree(WindowsFolder() + legacy);
  DeleteTree(SpeechPackagePath());
  for (const char* key : kRegisteredKeys) RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
}

std::vector<std::string> CompareWithPayload(const std::wstring& installDir, const std::wstring& payloadDir,
                                            const std::vector<std::string>& skipBytes) {
  std::vector<std::string> problems;
  for (const ManifestRow& row : kManifest) {
    const std::string name = row.fileName;
    const std::wstring installed = installDir + L"\\" + std::wstring(name.begin(), name.end());
    const DWORD attributes = AttributesOf(installed);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      problems.push_back(name + ": missing");
      continue;
    }
    // Attributes from the table typed apart from the product's.
    const ExpectedRow* expected = FindExpectedRow(row.fileName);
    if (expected == nullptr) {
      problems.push_back(name + ": not in the expected table");
      continue;
    }
    const DWORD wanted = (expected->readOnly ? FILE_ATTRIBUTE_READONLY : 0) |
                         (expected->hidden ? FILE_ATTRIBUTE_HIDDEN : 0);
    const DWORD got = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    if (got != wanted) problems.push_back(name + ": attributes " + Hex(got) + ", wanted " + Hex(wanted));
    bool skip = false;
    for (const std::string& s : skipBytes) skip = skip || s == name;
    if (skip) continue;
    std::string have, packed;
    if (!ReadBytes(payloadDir + L"\\" + std::wstring(name.begin(), name.end()), &packed)) {
      problems.push_back(name + ": not in the payload folder");
    } else if (!ReadBytes(installed, &have)) {
      problems.push_back(name + ": unreadable");
    } else if (have != packed) {
      problems.push_back(name + ": " + std::to_string(have.size()) + " bytes differ from the packed " +
                         std::to_string(packed.size()));
    }
  }
  return problems;
}

std::string ExpectedConfig(const std::string& packed, int useBmpFont, int forceLanguage) {
  // The packed copy ends "[Config]", "UseBmpFont=0", an empty line: the value
  // is rewritten in place and the missing ForceLanguage line appended.
  std::string expected = packed;
  const std::string key = "UseBmpFont=";
  const std::size_t at = expected.rfind(key);
  if (at == std::string::npos) return std::string();
  expected[at + key.size()] = static_cast<char>('0' + useBmpFont);
  expected += "\r\nForceLanguage=" + std::to_string(forceLanguage) + "\r\n";
  return expected;
}

std::string ShortcutTarget(const std::wstring& linkPath) {
  std::string target;
  HRESULT init = CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      char path[MAX_PATH] = "";
      if (SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ)) &&
          SUCCEEDED(link->GetPath(path, sizeof path, nullptr, SLGP_RAWPATH)))
        target = path;
      file->Release();
    }
    link->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return target;
}

bool ClassesText(const char* key, const char* valueName, std::string* text) {
  char data[1024] = "";
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  if (RegGetValueA(HKEY_CLASSES_ROOT, key, valueName, RRF_RT_REG_SZ, &type, data, &size) != ERROR_SUCCESS)
    return false;
  *text = data;
  return true;
}

bool ClassesKeyExists(const char* key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

DiskSnapshot SnapshotDriveC() {
  DiskSnapshot snapshot;
  SnapshotFolder(L"C:", &snapshot);
  return snapshot;
}

std::vector<std::string> SnapshotDifferences(const DiskSnapshot& before, const DiskSnapshot& after) {
  std::vector<std::string> differences;
  for (const auto& [path, facts] : after) {
    auto earlier = before.find(path);
    if (earlier == before.end())
      differences.push_back("new: " + Narrow(path));
    else if (earlier->second != facts)
      differences.push_back("changed: " + Narrow(path) + " (" + Narrow(earlier->second) + " -> " +
                            Narrow(facts) + ")");
  }
  for (const auto& [path, facts] : before)
    if (after.find(path) == after.end()) differences.push_back("gone: " + Narrow(path));
  return differences;
}
