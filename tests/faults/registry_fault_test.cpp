// A registry key that cannot be created, at every position of the template
// lists of both COM server classes and at every write of the editor's
// ProgID: the list stops there, the replace list is not applied after a
// failed keep list, the writes before the failure stand and nothing else is
// touched. Wine does not enforce registry security for the key's own user,
// so the failing key is a link to a key that cannot be created (a
// non-volatile child of a volatile key).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/bounded_format.h"
#include "shell/shell.h"
#include "tests/support/sandbox_fixtures.h"
#include "wizard/wizard.h"

namespace {

using Values = std::map<std::string, std::string>;  // "key|value name" -> data

// The expansion rule of the templates: "%N" inserts argument N, "%%" is "%".
std::string Expand(const char* text, const char* const arguments[]) {
  std::string out;
  for (const char* c = text; *c != '\0'; ++c) {
    if (c[0] == '%' && c[1] >= '1' && c[1] <= '8') {
      const char* argument = arguments[c[1] - '1'];
      out += argument != nullptr ? argument : "";
      ++c;
    } else if (c[0] == '%' && c[1] == '%') {
      out += '%';
      ++c;
    } else {
      out += *c;
    }
  }
  return out;
}

struct Entry {
  std::string key;
  std::string name;
  std::string data;
};

std::vector<Entry> ExpandList(const RegistryTemplate* list, const char* const arguments[]) {
  std::vector<Entry> entries;
  for (const RegistryTemplate* t = list; t->keyTemplate != nullptr; ++t) {
    entries.push_back(
        {Expand(t->keyTemplate, arguments), t->valueName, Expand(t->dataTemplate, arguments)});
  }
  return entries;
}

class RegistryFault : public ServerRegistrationTest {
 protected:
  void SetUp() override {
    ServerRegistrationTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, folder_.c_str()));
  }

  // Empties the classes for the next case.
  void Reset() {
    sandbox_->EmptyClasses();
    links_.clear();
  }

  // keyName (below the scratch classes) becomes a key that cannot be
  // created; its parents are made first, as ordinary keys.
  void MakeUncreatable(const std::string& keyName) {
    ASSERT_TRUE(sandbox_->MakeUncreatableKey(keyName)) << keyName;
    links_.push_back(keyName);
    HKEY probe = nullptr;
    ASSERT_NE(
        RegCreateKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_SET_VALUE, nullptr, &probe, nullptr),
        ERROR_SUCCESS);
  }

  // Every value and every key below the scratch classes; a key that cannot
  // be opened (the link) counts as a key without values.
  void Walk(HKEY key, const std::string& path, Values& values, std::set<std::string>& keys) const {
    char name[256];
    BYTE data[1024];
    for (DWORD index = 0;; ++index) {
      DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
      if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize) !=
          ERROR_SUCCESS)
        break;
      data[dataSize] = 0;
      values[path + "|" + name] = reinterpret_cast<const char*>(data);
    }
    for (DWORD index = 0;; ++index) {
      DWORD nameSize = sizeof name;
      if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        break;
      std::string child = path.empty() ? name : path + "\\" + name;
      keys.insert(child);
      HKEY sub = nullptr;
      if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
      Walk(sub, child, values, keys);
      RegCloseKey(sub);
    }
  }

  void ReadAll(Values& values, std::set<std::string>& keys) const {
    Walk(classes_, "", values, keys);
  }

  std::string ShortPath(const char* file) const {
    char path[MAX_PATH] = "";
    DWORD length = GetShortPathNameA((folder_ + file).c_str(), path, sizeof path);
    return length > 0 && length < sizeof path ? path : "";
  }

  std::vector<std::string> links_;
};

// Every key that holds a value and each of its ancestors.
std::set<std::string> KeysOf(const Values& values) {
  std::set<std::string> keys;
  for (const auto& entry : values) {
    std::string key = entry.first.substr(0, entry.first.find('|'));
    for (std::size_t cut = key.find('\\'); cut != std::string::npos;
         cut = key.find('\\', cut + 1)) {
      keys.insert(key.substr(0, cut));
    }
    keys.insert(key);
  }
  return keys;
}

TEST_F(RegistryFault, AKeyThatCannotBeCreatedStopsItsListAtEveryPosition) {
  const std::string editorShort = ShortPath("\\tvkedit.exe");
  const std::string pinyinShort = ShortPath("\\Nodrix.exe");
  ASSERT_FALSE(editorShort.empty());
  struct ServerClass {
    const char* name;
    void (*registerClass)();
    const char* arguments[kTemplateArgumentCount];
  };
  const ServerClass classes[] = {
      {"editor",
       RegisterEditorDocumentClass,
       {"{3C1A7E52-0B84-4D6E-9F21-6A5D8E0C4B73}", "TVKEdit.Document", editorShort.c_str(),
        "TVKEdit Document", "TVKEdit Document", "TVKEdit", nullptr, nullptr}},
      {"pinyin",
       RegisterPinyinServerClass,
       {"{7E2B9D14-C5A3-4F08-B6E7-18D40F9A2C65}", "Nodrix.Document.1", pinyinShort.c_str(),
        "Nodrix Document", "Nodrix Document", "Nodrix", nullptr, nullptr}},
  };
  int cases = 0;
  for (const ServerClass& serverClass : classes) {
    std::vector<Entry> keep = ExpandList(kServerKeepTemplates, serverClass.arguments);
    std::vector<Entry> replace = ExpandList(kServerReplaceTemplates, serverClass.arguments);
    std::vector<Entry> all = keep;
    all.insert(all.end(), replace.begin(), replace.end());
    for (std::size_t failing = 0; failing < all.size(); ++failing) {
      SCOPED_TRACE(std::string(serverClass.name) + ": " + all[failing].key);
      Reset();
      // The editor's RTF fall-back looks at these; present, it writes nothing.
      for (const char* present : {".rtf", "rtffile"}) {
        HKEY key = nullptr;
        RegCreateKeyExA(classes_, present, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
      }
      MakeUncreatable(all[failing].key);
      Values presetValues;
      std::set<std::string> presetKeys;
      ReadAll(presetValues, presetKeys);

      serverClass.registerClass();

      // Written: the entries ahead of the failing one; the replace list
      // only when the failure lies inside it. "CLSID" is opened (made when
      // missing) before each list.
      Values expected = presetValues;
      for (std::size_t k = 0; k < failing; ++k)
        expected[all[k].key + "|" + all[k].name] = all[k].data;
      std::set<std::string> expectedKeys = presetKeys;
      expectedKeys.insert("CLSID");
      for (const std::string& key : KeysOf(expected)) expectedKeys.insert(key);
      Values values;
      std::set<std::string> keys;
      ReadAll(values, keys);
      EXPECT_EQ(values, expected);
      EXPECT_EQ(keys, expectedKeys);
      ++cases;
    }
  }
  std::printf("[ figures  ] %d template entries made to fail, one at a time\n", cases);
}

TEST_F(RegistryFault, TheEditorProgIdStopsAtItsFirstFailedWrite) {
  const std::string command = std::string(installDir) + "\\tvkedit.exe %1";
  const Entry writes[] = {
      {"TVKEditor.Document", "", "Tavik Editor Document"},
      {"TVKEditor.Document\\shell\\open\\command", "", command},
      {".rtf", "", "TVKEditor.Document"},
  };
  for (std::size_t failing = 0; failing < std::size(writes); ++failing) {
    SCOPED_TRACE(writes[failing].key);
    Reset();
    MakeUncreatable(writes[failing].key);
    Values before;
    std::set<std::string> keysBefore;
    ReadAll(before, keysBefore);
    EXPECT_FALSE(RegisterEditorProgId());
    Values expected = before;
    for (std::size_t k = 0; k < failing; ++k) expected[writes[k].key + "|"] = writes[k].data;
    Values values;
    std::set<std::string> keys;
    ReadAll(values, keys);
    EXPECT_EQ(values, expected);
    std::set<std::string> expectedKeys = keysBefore;
    for (const std::string& key : KeysOf(expected)) expectedKeys.insert(key);
    EXPECT_EQ(keys, expectedKeys);
  }
}

// One class failing leaves the other class and the ProgID whole.
TEST_F(RegistryFault, AFailedClassDoesNotStopTheOthers) {
  MakeUncreatable("CLSID\\{3C1A7E52-0B84-4D6E-9F21-6A5D8E0C4B73}\\Verb\\1");
  RegisterDocumentTypes();
  Values values;
  std::set<std::string> keys;
  ReadAll(values, keys);
  EXPECT_EQ(values["TVKEditor.Document|"], "Tavik Editor Document");
  EXPECT_EQ(values[".rtf|"], "TVKEditor.Document");
  EXPECT_EQ(values["CLSID\\{3C1A7E52-0B84-4D6E-9F21-6A5D8E0C4B73}\\Verb\\0|"], "&Edit,0,2");
  EXPECT_EQ(values.count("TVKEdit.Document\\CLSID|"), 0u);  // the editor's replace list did not run
  const std::string pinyinShort = ShortPath("\\Nodrix.exe");
  const char* arguments[kTemplateArgumentCount] = {"{7E2B9D14-C5A3-4F08-B6E7-18D40F9A2C65}",
                                                   "Nodrix.Document.1",
                                                   pinyinShort.c_str(),
                                                   "Nodrix Document",
                                                   "Nodrix Document",
                                                   "Nodrix",
                                                   nullptr,
                                                   nullptr};
  for (const RegistryTemplate* list : {kServerKeepTemplates, kServerReplaceTemplates}) {
    for (const Entry& entry : ExpandList(list, arguments)) {
      EXPECT_EQ(values[entry.key + "|" + entry.name], entry.data) << entry.key;
    }
  }
}

}  // namespace
