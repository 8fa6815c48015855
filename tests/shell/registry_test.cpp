// Registration of the document types and COM servers, run against a
// scratch key that stands in for HKEY_CLASSES_ROOT.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

#include "base/bounded_format.h"
#include "base/ref_string.h"
#include "shell/shell.h"
#include "tests/support/sandbox_fixtures.h"
#include "wizard/wizard.h"

namespace {

struct Row {
  const char* key;
  const char* name;
  const char* data;
};

// $L install folder, $E / $P short paths of the two servers, {E} / {P}
// their class ids.
const Row kRegisteredWithRtfPresent[] = {
    {".rtf", "", "TVKEditor.Document"},
    {"rtffile", "", "Rich Text Format"},
    {"TVKEditor.Document", "", "Tavik Editor Document"},
    {"TVKEditor.Document\\shell\\open\\command", "", "$L\\tvkedit.exe %1"},
    {"TVKEdit.Document", "", "TVKEdit Document"},
    {"TVKEdit.Document\\Insertable", "", ""},
    {"TVKEdit.Document\\protocol\\StdFileEditing\\verb\\0", "", "&Edit"},
    {"TVKEdit.Document\\protocol\\StdFileEditing\\server", "", "$E"},
    {"TVKEdit.Document\\CLSID", "", "{E}"},
    {"TVKEdit.Document\\shell\\open\\command", "", "$E \"%1\""},
    {"TVKEdit.Document\\shell\\print\\command", "", "$E /p \"%1\""},
    {"TVKEdit.Document\\shell\\printto\\command", "", "$E /pt \"%1\" \"%2\" \"%3\" \"%4\""},
    {"CLSID\\{E}", "", "TVKEdit Document"},
    {"CLSID\\{E}\\Verb\\0", "", "&Edit,0,2"},
    {"CLSID\\{E}\\Verb\\1", "", "&Open,0,2"},
    {"CLSID\\{E}\\Insertable", "", ""},
    {"CLSID\\{E}\\MiscStatus", "", "0"},
    {"CLSID\\{E}\\ProgID", "", "TVKEdit.Document"},
    {"CLSID\\{E}\\InprocHandler32", "", "ole32.dll"},
    {"CLSID\\{E}\\LocalServer32", "", "$E"},
    {"CLSID\\{E}\\AuxUserType\\2", "", "TVKEdit Document"},
    {"CLSID\\{E}\\AuxUserType\\3", "", "TVKEdit"},
    {"CLSID\\{E}\\DefaultIcon", "", "$E,1"},
    {"Nodrix.Document.1", "", "Nodrix Document"},
    {"Nodrix.Document.1\\Insertable", "", ""},
    {"Nodrix.Document.1\\protocol\\StdFileEditing\\verb\\0", "", "&Edit"},
    {"Nodrix.Document.1\\protocol\\StdFileEditing\\server", "", "$P"},
    {"Nodrix.Document.1\\CLSID", "", "{P}"},
    {"Nodrix.Document.1\\shell\\open\\command", "", "$P \"%1\""},
    {"Nodrix.Document.1\\shell\\print\\command", "", "$P /p \"%1\""},
    {"Nodrix.Document.1\\shell\\printto\\command", "", "$P /pt \"%1\" \"%2\" \"%3\" \"%4\""},
    {"CLSID\\{P}", "", "Nodrix Document"},
    {"CLSID\\{P}\\Verb\\0", "", "&Edit,0,2"},
    {"CLSID\\{P}\\Verb\\1", "", "&Open,0,2"},
    {"CLSID\\{P}\\Insertable", "", ""},
    {"CLSID\\{P}\\MiscStatus", "", "0"},
    {"CLSID\\{P}\\ProgID", "", "Nodrix.Document.1"},
    {"CLSID\\{P}\\InprocHandler32", "", "ole32.dll"},
    {"CLSID\\{P}\\LocalServer32", "", "$P"},
    {"CLSID\\{P}\\AuxUserType\\2", "", "Nodrix Document"},
    {"CLSID\\{P}\\AuxUserType\\3", "", "Nodrix"},
    {"CLSID\\{P}\\DefaultIcon", "", "$P,1"},
};

const Row kRtfFileTypeByEditor[] = {
    {"rtffile", "", "Rich Text Document"},
    {"rtffile\\CLSID", "", "{E}"},
    {"rtffile\\shell\\open\\command", "", "$E \"%1\""},
    {"rtffile\\shell\\print\\command", "", "$E /p \"%1\""},
    {"rtffile\\shell\\printto\\command", "", "$E /pt \"%1\" \"%2\" \"%3\" \"%4\""},
    {"rtffile\\DefaultIcon", "", "$E,1"},
};

using Values = std::map<std::string, std::string>;  // "key|value name" -> data

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

class Registration : public ServerRegistrationTest {
 protected:
  void SetUp() override {
    ServerRegistrationTest::SetUp();
    if (HasFatalFailure()) return;
    UseInstallDir(folder_);
  }

  void UseInstallDir(const std::string& folder) {
    ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, folder.c_str()));
    shortEditor_ = ShortPath(folder + "\\tvkedit.exe");
    shortPinyin_ = ShortPath(folder + "\\Nodrix.exe");
  }

  static std::string ShortPath(const std::string& path) {
    char shortPath[MAX_PATH] = "";
    DWORD length = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    return length > 0 && length < sizeof shortPath ? shortPath : "";
  }

  std::string Fill(std::string text) const {
    ReplaceAll(text, "$L", installDir);
    ReplaceAll(text, "$E", shortEditor_);
    ReplaceAll(text, "$P", shortPinyin_);
    ReplaceAll(text, "{E}", "{3C1A7E52-0B84-4D6E-9F21-6A5D8E0C4B73}");
    ReplaceAll(text, "{P}", "{7E2B9D14-C5A3-4F08-B6E7-18D40F9A2C65}");
    return text;
  }

  template <size_t count>
  Values Expected(const Row (&rows)[count]) const {
    Values values;
    for (const Row& row : rows) values[Fill(row.key) + "|" + row.name] = Fill(row.data);
    return values;
  }

  void Preset(const char* keyName, const char* name, const char* data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(classes_, keyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                             static_cast<DWORD>(std::strlen(data) + 1)), ERROR_SUCCESS);
    RegCloseKey(key);
  }

  // Every value below key, each checked to be REG_SZ with its NUL counted.
  void Walk(HKEY key, const std::string& path, Values& values, std::set<std::string>& keys) const {
    char name[256];
    BYTE data[1024];
    for (DWORD index = 0;; ++index) {
      DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
      if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
      data[dataSize] = 0;
      const char* text = reinterpret_cast<const char*>(data);
      SCOPED_TRACE(path + "|" + name);
      EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
      EXPECT_EQ(dataSize, std::strlen(text) + 1);
      values[path + "|" + name] = text;
    }
    for (DWORD index = 0;; ++index) {
      DWORD nameSize = sizeof name;
      if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      std::string child = path.empty() ? name : path + "\\" + name;
      keys.insert(child);
      HKEY sub = nullptr;
      ASSERT_EQ(RegOpenKeyExA(key, name, 0, KEY_READ, &sub), ERROR_SUCCESS) << child;
      Walk(sub, child, values, keys);
      RegCloseKey(sub);
    }
  }

  Values ReadAll(std::set<std::string>* keys = nullptr) const {
    Values values;
    std::set<std::string> found;
    Walk(classes_, "", values, found);
    if (keys != nullptr) *keys = found;
    return values;
  }

  bool Has(const char* keyName) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(classes_, Fill(keyName).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  std::string shortEditor_;
  std::string shortPinyin_;
};

// Every key that holds a value, and each of its ancestors.
std::set<std::string> KeysOf(const Values& values) {
  std::set<std::string> keys;
  for (const auto& entry : values) {
    std::string key = entry.first.substr(0, entry.first.find('|'));
    for (size_t cut = key.find('\\'); cut != std::string::npos; cut = key.find('\\', cut + 1)) {
      keys.insert(key.substr(0, cut));
    }
    keys.insert(key);
  }
  return keys;
}

void ExpectContains(const Values& actual, const Values& expected) {
  for (const auto& entry : expected) {
    SCOPED_TRACE(entry.first);
    auto found = actual.find(entry.first);
    ASSERT_NE(found, actual.end());
    EXPECT_EQ(found->second, entry.second);
  }
}

}  // namespace

TEST_F(Registration, WritesTheCompleteTreeWhenRtfTypesExist) {
  ASSERT_NE(shortEditor_, "");
  ASSERT_NE(shortEditor_, folder_ + "\\tvkedit.exe");  // long and short forms differ
  Preset(".rtf", "", "rtffile");
  Preset("rtffile", "", "Rich Text Format");
  RegisterDocumentTypes();
  std::set<std::string> keys;
  Values values = ReadAll(&keys);
  Values expected = Expected(kRegisteredWithRtfPresent);
  EXPECT_EQ(values, expected);
  EXPECT_EQ(keys, KeysOf(expected));
}

TEST_F(Registration, MissingRtfFileTypeIsCreatedWithTheEditor) {
  Preset(".rtf", "", "rtffile");
  RegisterDocumentTypes();
  Values values = ReadAll();
  ExpectContains(values, Expected(kRtfFileTypeByEditor));
  EXPECT_EQ(values.count(".rtf\\ShellNew|Data"), 0u);  // ".rtf" existed
}

TEST_F(Registration, RtfExtensionListWritesShellNewData) {
  Preset(".rtf\\ShellNew", "", "left alone");
  const char* arguments[kTemplateArgumentCount] = {
      "{3C1A7E52-0B84-4D6E-9F21-6A5D8E0C4B73}", "rtffile", shortEditor_.c_str(), "TVKEdit Document",
      "Rich Text Document", "TVKEdit", ".rtf", "1"};
  EXPECT_TRUE(ApplyRegistryTemplates(kRtfExtensionTemplates, arguments, 1));
  Values expected = {{".rtf|", "rtffile"}, {".rtf\\ShellNew|", "left alone"},
                     {".rtf\\ShellNew|Data", "{\\rtf1}"}};
  EXPECT_EQ(ReadAll(), expected);
}

TEST_F(Registration, ExistingValuesStayWhileTheReplaceListOverwrites) {
  const Row presets[] = {
      {"TVKEdit.Document", "", "Custom type"},
      {"CLSID\\{E}", "", "Custom class"},
      {"CLSID\\{E}\\Verb\\0", "", "&Change"},
      {"CLSID\\{E}\\MiscStatus", "", ""},  // empty counts as absent
      {"TVKEdit.Document\\CLSID", "", "{00000000-0000-0000-0000-000000000000}"},
      {"CLSID\\{E}\\LocalServer32", "", "C:\\old\\server.exe"},
      {"CLSID\\{E}\\ProgID", "", "Other.Document"},
      {"TVKEdit.Document\\shell\\open\\command", "", "old.exe \"%1\""},
      {".rtf", "", "wordpad.document"},
  };
  const Row after[] = {
      {"TVKEdit.Document", "", "Custom type"},
      {"CLSID\\{E}", "", "Custom class"},
      {"CLSID\\{E}\\Verb\\0", "", "&Change"},
      {"CLSID\\{E}\\MiscStatus", "", "0"},
      {"TVKEdit.Document\\CLSID", "", "{E}"},
      {"CLSID\\{E}\\LocalServer32", "", "$E"},
      {"CLSID\\{E}\\ProgID", "", "TVKEdit.Document"},
      {"TVKEdit.Document\\shell\\open\\command", "", "$E \"%1\""},
      {".rtf", "", "TVKEditor.Document"},
  };
  for (const Row& row : presets) Preset(Fill(row.key).c_str(), row.name, row.data);
  RegisterDocumentTypes();
  ExpectContains(ReadAll(), Expected(after));
}

TEST_F(Registration, ServersWithoutShortPathGetEmptyPaths) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  UseInstallDir(std::string(temp) + "Tavik Missing Folder");
  ASSERT_EQ(shortEditor_, "");
  RegisterDocumentTypes();
  const Row rows[] = {
      {"TVKEditor.Document\\shell\\open\\command", "", "$L\\tvkedit.exe %1"},
      {"CLSID\\{E}\\LocalServer32", "", ""},
      {"CLSID\\{P}\\LocalServer32", "", ""},
      {"TVKEdit.Document\\shell\\open\\command", "", " \"%1\""},
      {"TVKEdit.Document\\shell\\print\\command", "", " /p \"%1\""},
      {"CLSID\\{E}\\DefaultIcon", "", ",1"},
  };
  ExpectContains(ReadAll(), Expected(rows));
}

TEST_F(Registration, NothingIsWrittenWhenClsidCannotBeOpened) {
  ASSERT_TRUE(sandbox_->MakeUncreatableKey("CLSID"));
  HKEY key = nullptr;
  ASSERT_NE(RegCreateKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);

  RegisterEditorDocumentClass();
  RegisterPinyinServerClass();
  const char* arguments[kTemplateArgumentCount] = {"{X}", "Probe.Document"};
  EXPECT_FALSE(ApplyRegistryTemplates(kServerKeepTemplates, arguments, 0));
  char name[256];
  std::set<std::string> names;
  for (DWORD index = 0;; ++index) {
    DWORD size = sizeof name;
    if (RegEnumKeyExA(classes_, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.insert(name);
  }
  EXPECT_EQ(names, std::set<std::string>{"CLSID"});
}

TEST_F(Registration, ListStopsAtAFailedWriteAndSkipsTheReplaceList) {
  // No non-volatile key can be created below a volatile one, and a volatile
  // create makes its missing parents volatile too: the class key comes first.
  Preset(Fill("CLSID\\{P}").c_str(), "", "");
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(classes_, Fill("CLSID\\{P}\\Verb").c_str(), 0, nullptr,
                            REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  RegCloseKey(key);
  RegisterPinyinServerClass();
  const Row written[] = {
      {"Nodrix.Document.1\\protocol\\StdFileEditing\\verb\\0", "", "&Edit"},
      {"CLSID\\{P}", "", "Nodrix Document"},
  };
  ExpectContains(ReadAll(), Expected(written));
  for (const char* skipped : {"CLSID\\{P}\\Insertable", "CLSID\\{P}\\MiscStatus",
                              "Nodrix.Document.1\\CLSID", "CLSID\\{P}\\ProgID"}) {
    EXPECT_FALSE(Has(skipped)) << skipped;
  }
}

TEST_F(Registration, QueryReadsUpToTheFirstNulAndEmptiesOnMiss) {
  struct Case { const char* name; const char* bytes; DWORD size; const char* expected; };
  const Case cases[] = {
      {"embedded", "ab\0cd", 6, "ab"},
      {"unterminated", "abc", 3, "abc"},
      {"nul only", "", 1, ""},
      {"no bytes", "", 0, ""},
  };
  for (const Case& c : cases) {
    RegSetValueExA(classes_, c.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(c.bytes), c.size);
  }
  RefString output("stale");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(QueryRegistryString(classes_, output, c.name));
    EXPECT_STREQ(output.Text(), c.expected);
    EXPECT_EQ(output.Length(), static_cast<int>(std::strlen(c.expected)));
  }
  output = "stale";
  EXPECT_FALSE(QueryRegistryString(classes_, output, "missing"));
  EXPECT_TRUE(output.IsEmpty());
}
