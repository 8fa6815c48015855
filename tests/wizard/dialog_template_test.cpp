// Dialog templates 114 (the wizard), 112 (the message box) and 168 (the
// folder chooser) read back from the built TavikSetup.exe and parsed here,
// compared with tables typed from the product's dialog descriptions: the
// dialog's own style, place, font and caption, then every control's id,
// class, style, extended style and rectangle, in template order.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct ExpectedControl {
  unsigned id;
  const char* className;  // lower case
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;
};

struct ExpectedDialog {
  int resourceId;
  bool extended;
  DWORD style;
  short x, y, cx, cy;
  const char* caption;
  WORD pointSize;
  const char* font;
  std::vector<ExpectedControl> controls;
};

constexpr DWORD kChild = WS_CHILD;
constexpr DWORD kVisible = WS_VISIBLE;
constexpr DWORD kOwnerDrawn = BS_OWNERDRAW;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kFileList = LBS_NOTIFY | LBS_SORT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                            LBS_DISABLENOSCROLL | WS_BORDER | WS_VSCROLL | WS_TABSTOP;

const ExpectedDialog kWizard = {
    114, true, kDialogStyle | WS_VISIBLE, 30, 14, 460, 215, "Tavik Roved Editor Installer", 8,
    "MS Sans Serif",
    {
        {1002, "edit", kChild | kVisible | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 171, 43, 169, 12},
        {1010, "button", kChild | BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP, 0, 164, 144, 82, 16},
        {1014, "edit", kChild | ES_MULTILINE | ES_READONLY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 0,
         153, 7, 289, 134},
        {1019, "listbox",
         kChild | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOSEL | WS_BORDER |
             WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
         0, 143, 7, 309, 133},
        {1003, "button", kChild | kOwnerDrawn | kVisible | WS_TABSTOP, 0, 342, 42, 76, 16},
        {1004, "button", kChild | BS_AUTOCHECKBOX | BS_NOTIFY | kVisible | WS_TABSTOP, 0, 171, 80, 220, 16},
        {1006, "button", kChild | kOwnerDrawn | kVisible | WS_DISABLED, 0, 171, 27, 223, 16},
        {3, "button", kChild | kOwnerDrawn | kVisible | WS_TABSTOP, 0, 162, 164, 68, 16},
        {1001, "button", kChild | kOwnerDrawn | kVisible | WS_TABSTOP, 0, 238, 164, 106, 16},
        {2, "button", kChild | kOwnerDrawn | kVisible | WS_TABSTOP, 0, 352, 164, 68, 16},
        {167, "static", kChild | SS_CENTER | WS_GROUP | kVisible, 0, 5, 124, 121, 8},
        {102, "static", kChild | SS_ICON | kVisible, WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE, 52, 16, 21, 20},
        {169, "static", kChild | SS_CENTER | WS_GROUP | kVisible, 0, 5, 136, 121, 8},
        {1009, "button", kChild | kOwnerDrawn | kVisible | WS_DISABLED, 0, 5, 59, 121, 16},
        {1011, "button", kChild | kOwnerDrawn | kVisible | WS_DISABLED, 0, 5, 77, 121, 16},
        {1012, "button", kChild | kOwnerDrawn | kVisible | WS_DISABLED, 0, 5, 95, 121, 16},
        {1015, "button", kChild | BS_GROUPBOX, 0, 166, 10, 242, 62},
        {1017, "button", kChild | kOwnerDrawn | WS_DISABLED, 0, 172, 80, 230, 16},
        {1018, "button", kChild | kOwnerDrawn | WS_DISABLED, 0, 181, 22, 210, 27},
        {1007, "button", kChild | BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP, 0, 186, 102, 220, 16},
        {1008, "button", kChild | BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP, 0, 186, 118, 220, 16},
        {1030, "button", kChild | kOwnerDrawn | WS_DISABLED, 0, 155, 80, 230, 16},
        {1031, "combobox",
         kChild | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_AUTOHSCROLL | CBS_HASSTRINGS |
             WS_BORDER | WS_VSCROLL | WS_TABSTOP,
         0, 170, 62, 228, 136},
        {1020, "button", kChild | kOwnerDrawn | kVisible | WS_DISABLED, 0, 5, 156, 121, 16},
        {1021, "button", kChild | kOwnerDrawn | kVisible | WS_DISABLED, 0, 4, 199, 318, 16},
        {108, "static", kChild | kVisible | WS_BORDER, WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, 133, 10, 1, 147},
        {172, "static", kChild | SS_RIGHT | WS_GROUP | kVisible, 0, 328, 204, 84, 8},
        {1026, "msctls_progress32", kChild | PBS_SMOOTH | WS_BORDER, 0, 151, 183, 294, 14},
        {1022, "button", kChild | kOwnerDrawn | WS_DISABLED, 0, 151, 161, 181, 14},
    }};

const ExpectedDialog kMessage = {
    112, false, kDialogStyle | WS_VISIBLE, 0, 0, 330, 85, "Morvel Install Message", 8, "MS Sans Serif",
    {
        {1, "button", kChild | kOwnerDrawn | WS_TABSTOP, 0, 87, 64, 73, 18},
        {6, "button", kChild | kOwnerDrawn | WS_TABSTOP, 0, 174, 64, 73, 18},
        {7, "button", kChild | kOwnerDrawn | WS_TABSTOP, 0, 257, 66, 73, 18},
        {2, "button", kChild | kOwnerDrawn | WS_TABSTOP, 0, 6, 64, 73, 18},
        {1013, "button", kChild | kOwnerDrawn | kVisible | WS_DISABLED, 0, 6, 4, 321, 24},
        {1028, "static", kChild | SS_CENTER | kVisible, 0, 6, 35, 87, 8},
    }};

const ExpectedDialog kFolderChooser = {
    168, false, kDialogStyle, 36, 24, 258, 182, "Choose Destination Directory", 8, "Helv",
    {
        {1090, "static", kChild | WS_GROUP, 0, 169, 103, 68, 9},
        {1152, "edit", kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_OEMCONVERT, 0, 168, 99, 68, 12},
        {1120, "listbox", kChild | kFileList, 0, 168, 89, 68, 17},
        {1088, "static", kChild | SS_NOPREFIX | WS_GROUP | kVisible, 0, 13, 23, 92, 9},
        {1121, "listbox", kChild | kFileList | kVisible, 0, 12, 36, 126, 129},
        {1089, "static", kChild | WS_GROUP, 0, 167, 91, 68, 9},
        {1136, "combobox",
         kChild | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 0, 167,
         100, 68, 36},
        {1091, "static", kChild | WS_GROUP, 0, 158, 133, 64, 8},
        {1137, "combobox",
         kChild | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_AUTOHSCROLL | CBS_SORT |
             CBS_HASSTRINGS | WS_BORDER | WS_VSCROLL | WS_TABSTOP | kVisible,
         0, 158, 142, 77, 68},
        {1, "button", kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP | kVisible, 0, 160, 36, 76, 16},
        {2, "button", kChild | WS_GROUP | WS_TABSTOP | kVisible, 0, 160, 64, 76, 16},
        {1038, "button", kChild | WS_GROUP | WS_TABSTOP, 0, 177, 97, 50, 14},
        {1040, "button", kChild | BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 0, 179, 88, 50, 12},
        {1008, "button", kChild | kOwnerDrawn | kVisible | WS_DISABLED, 0, 14, 3, 119, 16},
        {1010, "button", kChild | kOwnerDrawn | kVisible | WS_DISABLED, 0, 158, 124, 77, 16},
        {65535, "static", kChild | WS_GROUP, 0, 13, 8, 92, 9},
    }};

// ---- A reader of dialog templates, classic and extended ---------------------------

class TemplateReader {
 public:
  TemplateReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  WORD Word() { return static_cast<WORD>(Take(2)); }
  DWORD Dword() { return static_cast<DWORD>(Take(4)); }
  short Short() { return static_cast<short>(Word()); }
  void Align(std::size_t to) { at_ = (at_ + to - 1) / to * to; }
  void Skip(std::size_t bytes) {
    ok_ = ok_ && at_ + bytes <= size_;
    at_ += bytes;
  }
  // A name or an ordinal: "" for none, "#N" for ordinal N, else the text
  // (ASCII only in these templates' names).
  std::string NameOrOrdinal() {
    WORD first = Word();
    if (first == 0) return "";
    if (first == 0xFFFF) return "#" + std::to_string(Word());
    std::string text(1, static_cast<char>(first));
    for (WORD c; ok_ && (c = Word()) != 0;) text += c < 0x80 ? static_cast<char>(c) : '?';
    return text;
  }

 private:
  unsigned long Take(std::size_t bytes) {
    unsigned long value = 0;
    if (at_ + bytes > size_) ok_ = false;
    for (std::size_t i = 0; ok_ && i < bytes; ++i) value |= static_cast<unsigned long>(data_[at_ + i]) << (8 * i);
    at_ += bytes;
    return value;
  }
  const unsigned char* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

std::string ClassName(const std::string& raw) {
  static const char* const kAtoms[] = {"button", "edit", "static", "listbox", "scrollbar", "combobox"};
  if (raw.size() > 1 && raw[0] == '#') {
    int atom = std::stoi(raw.substr(1));
    return atom >= 0x80 && atom <= 0x85 ? kAtoms[atom - 0x80] : raw;
  }
  std::string lower = raw;
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower;
}

void ExpectTemplate(HMODULE module, const ExpectedDialog& expected) {
  SCOPED_TRACE("template " + std::to_string(expected.resourceId));
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(expected.resourceId), MAKEINTRESOURCEA(5));
  ASSERT_NE(found, nullptr);
  HGLOBAL loaded = LoadResource(module, found);
  ASSERT_NE(loaded, nullptr);
  TemplateReader reader(static_cast<const unsigned char*>(LockResource(loaded)), SizeofResource(module, found));
  bool extended = reader.Word() == 1 && reader.Word() == 0xFFFF;
  EXPECT_EQ(extended, expected.extended);
  DWORD style = 0;
  if (extended) {
    reader.Dword();  // help id
    reader.Dword();  // extended style
    style = reader.Dword();
  } else {
    reader = TemplateReader(static_cast<const unsigned char*>(LockResource(loaded)), SizeofResource(module, found));
    style = reader.Dword();
    reader.Dword();
  }
  EXPECT_EQ(style, expected.style);
  WORD count = reader.Word();
  short frame[4] = {reader.Short(), reader.Short(), reader.Short(), reader.Short()};
  EXPECT_EQ(std::vector<short>(frame, frame + 4),
            (std::vector<short>{expected.x, expected.y, expected.cx, expected.cy}));
  EXPECT_EQ(reader.NameOrOrdinal(), "") << "menu";
  EXPECT_EQ(reader.NameOrOrdinal(), "") << "class";
  EXPECT_EQ(reader.NameOrOrdinal(), expected.caption);
  ASSERT_TRUE(style & DS_SETFONT);
  EXPECT_EQ(reader.Word(), expected.pointSize);
  if (extended) reader.Skip(4);  // weight, italic, character set
  EXPECT_EQ(reader.NameOrOrdinal(), expected.font);
  ASSERT_EQ(count, expected.controls.size());
  for (const ExpectedControl& control : expected.controls) {
    SCOPED_TRACE("control " + std::to_string(control.id));
    reader.Align(4);
    DWORD itemStyle = 0;
    DWORD itemExStyle = 0;
    if (extended) {
      reader.Dword();  // help id
      itemExStyle = reader.Dword();
      itemStyle = reader.Dword();
    } else {
      itemStyle = reader.Dword();
      itemExStyle = reader.Dword();
    }
    short rect[4] = {reader.Short(), reader.Short(), reader.Short(), reader.Short()};
    unsigned id = extended ? reader.Dword() : reader.Word();
    std::string className = ClassName(reader.NameOrOrdinal());
    reader.NameOrOrdinal();  // the text
    reader.Skip(reader.Word());
    ASSERT_TRUE(reader.ok());
    EXPECT_EQ(id, control.id);
    EXPECT_EQ(className, control.className);
    EXPECT_EQ(itemStyle, control.style) << std::hex << (itemStyle ^ control.style) << " differ";
    EXPECT_EQ(itemExStyle, control.exStyle);
    EXPECT_EQ(std::vector<short>(rect, rect + 4),
              (std::vector<short>{control.x, control.y, control.cx, control.cy}));
  }
}

}  // namespace

TEST(DialogTemplate, TheBuiltProgramCarriesTheDescribedDialogs) {
  HMODULE module = LoadLibraryExA(TAVIK_SETUP_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << TAVIK_SETUP_EXE;
  for (const ExpectedDialog* dialog : {&kWizard, &kMessage, &kFolderChooser}) ExpectTemplate(module, *dialog);
  FreeLibrary(module);
}
