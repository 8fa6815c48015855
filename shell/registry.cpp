// Registration of the editor's document types and of the two COM local
// servers under HKEY_CLASSES_ROOT: fixed template lists expanded with eight
// arguments, the way an OLE server registers itself.
#include <cstring>

#include "base/bounded_format.h"
#include "base/install_pump.h"
#include "resources/app_state.h"
#include "base/ref_string.h"
#include "shell/shell.h"

// ---- Template lists (arguments: see shell.h) ------------------------------------

const RegistryTemplate kServerKeepTemplates[] = {
    {"%2", "", "%5"},
    {"%2\\Insertable", "", ""},
    {"%2\\protocol\\StdFileEditing\\verb\\0", "", "&Edit"},
    {"CLSID\\%1", "", "%5"},
    {"CLSID\\%1\\Verb\\0", "", "&Edit,0,2"},
    {"CLSID\\%1\\Verb\\1", "", "&Open,0,2"},
    {"CLSID\\%1\\Insertable", "", ""},
    {"CLSID\\%1\\MiscStatus", "", "0"},
    {nullptr, nullptr, nullptr},
};

const RegistryTemplate kServerReplaceTemplates[] = {
    {"%2\\CLSID", "", "%1"},
    {"%2\\protocol\\StdFileEditing\\server", "", "%3"},
    {"CLSID\\%1\\ProgID", "", "%2"},
    {"CLSID\\%1\\InprocHandler32", "", "ole32.dll"},
    {"CLSID\\%1\\LocalServer32", "", "%3"},
    {"CLSID\\%1\\AuxUserType\\2", "", "%4"},
    {"CLSID\\%1\\AuxUserType\\3", "", "%6"},
    {"CLSID\\%1\\DefaultIcon", "", "%3,1"},
    {"%2\\shell\\open\\command", "", "%3 \"%%1\""},
    {"%2\\shell\\print\\command", "", "%3 /p \"%%1\""},
    {"%2\\shell\\printto\\command", "", "%3 /pt \"%%1\" \"%%2\" \"%%3\" \"%%4\""},
    {nullptr, nullptr, nullptr},
};

const RegistryTemplate kRtfExtensionTemplates[] = {
    {"%7", "", "%2"},
    {"%7\\ShellNew", "Data", "{\\rtf1}"},
    {nullptr, nullptr, nullptr},
};

const RegistryTemplate kRtfFileTypeTemplates[] = {
    {"%2", "", "%5"},
    {"%2\\CLSID", "", "%1"},
    {"%2\\shell\\open\\command", "", "%3 \"%%1\""},
    {"%2\\shell\\print\\command", "", "%3 /p \"%%1\""},
    {"%2\\shell\\printto\\command", "", "%3 /pt \"%%1\" \"%%2\" \"%%3\" \"%%4\""},
    {"%2\\DefaultIcon", "", "%3,%8"},
    {nullptr, nullptr, nullptr},
};

namespace {

constexpr REGSAM kTemplateAccess = KEY_READ | KEY_SET_VALUE;
constexpr REGSAM kProbeAccess = KEY_READ | KEY_WRITE;
constexpr int kExpansionSize = 256;  // an expanded text holds at most 255 characters

constexpr char kEditorClassId[] = "{3C1A7E52-0B84-4D6E-9F21-6A5D8E0C4B73}";
constexpr char kPinyinClassId[] = "{7E2B9D14-C5A3-4F08-B6E7-18D40F9A2C65}";

// Expands text into out through the message-insert syntax; a failed
// expansion, or one longer than 255 characters, leaves out empty.
void ExpandTemplate(const char* text, const char* const arguments[kTemplateArgumentCount],
                    RefString& out) {
  DWORD_PTR inserts[kTemplateArgumentCount];
  for (int k = 0; k < kTemplateArgumentCount; ++k) {
    inserts[k] = reinterpret_cast<DWORD_PTR>(arguments[k]);
  }
  char* buffer = out.GetBuffer(kExpansionSize);
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                text, 0, 0, buffer, kExpansionSize,
                                reinterpret_cast<va_list*>(inserts));
  out.ReleaseBuffer(length < kExpansionSize ? static_cast<int>(length) : 0);
}

bool HasNonEmptyValue(HKEY key, const char* valueName) {
  RefString existing;
  return QueryRegistryString(key, existing, valueName) && !existing.IsEmpty();
}

// One entry of a list. False only when its value could not be written; a
// key that cannot be created or opened counts as such.
bool ApplyTemplate(const RegistryTemplate& entry, const char* const arguments[], int replace) {
  if (entry.keyTemplate[0] == '\0') return true;
  RefString keyName;
  RefString data;
  ExpandTemplate(entry.keyTemplate, arguments, keyName);
  ExpandTemplate(entry.dataTemplate, arguments, data);
  if (keyName.IsEmpty()) return true;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, keyName.Text(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      kTemplateAccess, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  bool written = true;
  if (replace != 0 || !HasNonEmptyValue(key, entry.valueName)) {
    written = SetRegistryString(key, data.Text(), entry.valueName);
  }
  RegCloseKey(key);
  return written;
}

// The short form of installDir\fileName; empty when the path does not fit
// or the system gives no short form (the file is missing, for one).
void GetServerShortPath(const char* fileName, char (&shortPath)[MAX_PATH]) {
  shortPath[0] = '\0';
  char longPath[MAX_PATH];
  if (!FormatBounded(longPath, sizeof longPath, "%s\\%s", installDir, fileName)) return;
  DWORD length = GetShortPathNameA(longPath, shortPath, sizeof shortPath);
  if (length == 0 || length >= sizeof shortPath) shortPath[0] = '\0';
}

bool CanOpenForWriting(const char* keyName) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName, 0, kProbeAccess, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

bool SetClassesRootDefault(const char* keyName, const char* data) {
  return RegSetValueA(HKEY_CLASSES_ROOT, keyName, REG_SZ, data,
                      static_cast<DWORD>(std::strlen(data))) == ERROR_SUCCESS;
}

// The replace list only follows a keep list that went through completely.
void RegisterServerClass(const char* const arguments[]) {
  if (ApplyRegistryTemplates(kServerKeepTemplates, arguments, 0)) {
    ApplyRegistryTemplates(kServerReplaceTemplates, arguments, 1);
  }
}

}  // namespace

// ---- Registry access --------------------------------------------------------------

bool SetRegistryString(HKEY key, const char* data, const char* valueName) {
  DWORD size = static_cast<DWORD>(std::strlen(data) + 1);
  return RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), size) ==
         ERROR_SUCCESS;
}

bool QueryRegistryString(HKEY key, RefString& output, const char* valueName) {
  output.Empty();
  DWORD size = 0;
  if (RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  char* buffer = output.GetBuffer(static_cast<int>(size));
  // The value may have changed since its size was asked for.
  if (RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                       &size) != ERROR_SUCCESS) {
    output.ReleaseBuffer(0);
    return false;
  }
  output.ReleaseBuffer(static_cast<int>(strnlen(buffer, size)));
  return true;
}

bool ApplyRegistryTemplates(const RegistryTemplate* list,
                            const char* const arguments[kTemplateArgumentCount], int replace) {
  HKEY classIds = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, nullptr, REG_OPTION_NON_VOLATILE,
                      kTemplateAccess, nullptr, &classIds, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  bool result = true;
  for (const RegistryTemplate* entry = list; entry->keyTemplate != nullptr; ++entry) {
    // Registry writes reach the disk slowly on a busy machine.
    KeepAnswering();
    if (!ApplyTemplate(*entry, arguments, replace)) {
      result = false;
      break;
    }
  }
  RegCloseKey(classIds);
  return result;
}

// ---- The three registrations ----------------------------------------------------

bool RegisterEditorProgId() {
  if (!SetClassesRootDefault("TVKEditor.Document", "Tavik Editor Document")) return false;
  char serverPath[MAX_PATH];
  if (!FormatBounded(serverPath, sizeof serverPath, "%s\\tvkedit.exe", installDir)) return false;
  RefString command;
  command.Format("%s %%1", serverPath);  // the long path and an unquoted %1
  if (!SetClassesRootDefault("TVKEditor.Document\\shell\\open\\command", command.Text())) {
    return false;
  }
  return SetClassesRootDefault(".rtf", "TVKEditor.Document");
}

void RegisterEditorDocumentClass() {
  char serverPath[MAX_PATH];
  GetServerShortPath("tvkedit.exe", serverPath);
  const char* arguments[kTemplateArgumentCount] = {
      kEditorClassId, "TVKEdit.Document", serverPath, "TVKEdit Document",
      "TVKEdit Document", "TVKEdit", nullptr, nullptr};
  RegisterServerClass(arguments);

  // The RTF fall-back: a system with no ".rtf" or no "rtffile" gets the editor.
  arguments[1] = "rtffile";
  arguments[4] = "Rich Text Document";
  arguments[6] = ".rtf";
  arguments[7] = "1";
  if (!CanOpenForWriting(".rtf")) ApplyRegistryTemplates(kRtfExtensionTemplates, arguments, 1);
  if (!CanOpenForWriting("rtffile")) ApplyRegistryTemplates(kRtfFileTypeTemplates, arguments, 1);
}

void RegisterPinyinServerClass() {
  char serverPath[MAX_PATH];
  GetServerShortPath("Nodrix.exe", serverPath);
  const char* arguments[kTemplateArgumentCount] = {
      kPinyinClassId, "Nodrix.Document.1", serverPath, "Nodrix Document",
      "Nodrix Document", "Nodrix", nullptr, nullptr};
  RegisterServerClass(arguments);
}

void RegisterDocumentTypes() {
  RegisterEditorProgId();
  KeepAnswering();
  RegisterEditorDocumentClass();
  KeepAnswering();
  RegisterPinyinServerClass();
}
