// DrawListItem over a real licence list box and language combo box.
#include <gtest/gtest.h>

#include <string>

#include "render/render.h"
#include "render_test_support.h"
#include "resources/resource.h"
#include "resources/texts.h"

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 23;
constexpr unsigned short kCodeYing = 0xD3A2;  // 英, the ninth byte of "English 英文"

COLORREF Or(COLORREF a, COLORREF b) { return a | b; }

class ListItemTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EnsureGlyphFont());
    HINSTANCE instance = GetModuleHandleA(nullptr);
    dialog_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                              instance, nullptr);
    list_ = CreateWindowExA(0, "LISTBOX", "",
                            WS_CHILD | LBS_NOSEL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0, 0,
                            kWidth, 200, dialog_, reinterpret_cast<HMENU>(IDC_LICENCE_LIST),
                            instance, nullptr);
    combo_ = CreateWindowExA(0, "COMBOBOX", "",
                             WS_CHILD | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                             0, 0, kWidth, 200, dialog_,
                             reinterpret_cast<HMENU>(IDC_LANGUAGE_COMBO), instance, nullptr);
    ASSERT_NE(list_, nullptr);
    ASSERT_NE(combo_, nullptr);
    for (const char* item : {kTextLanguageEnglish, kTextLanguageSimplified}) {
      SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
      SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    window_ = GetSysColor(COLOR_WINDOW);
    highlight_ = GetSysColor(COLOR_HIGHLIGHT);
    highlightText_ = GetSysColor(COLOR_HIGHLIGHTTEXT);
    ASSERT_NE(Or(highlight_, highlightText_), highlight_) << "glyphs would not show";
  }
  void TearDown() override { DestroyWindow(dialog_); }

  void Draw(Surface& surface, bool combo, UINT itemId, UINT state) {
    DRAWITEMSTRUCT item = {};
    item.CtlType = combo ? ODT_COMBOBOX : ODT_LISTBOX;
    item.CtlID = combo ? IDC_LANGUAGE_COMBO : IDC_LICENCE_LIST;
    item.itemID = itemId;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = combo ? combo_ : list_;
    item.hDC = surface.dc();
    item.rcItem = RECT{0, 0, surface.width(), surface.height()};
    DrawListItem(static_cast<int>(item.CtlID), combo ? 1 : 0, &item, dialog_);
  }

  // Where 英 lands: two pixels in, after "English " in the surface's font.
  int YingX(const Surface& surface) {
    return 2 + MeasureMixedText(surface.dc(), "English ").cx;
  }

  HWND dialog_ = nullptr, list_ = nullptr, combo_ = nullptr;
  COLORREF window_ = 0, highlight_ = 0, highlightText_ = 0;
};

TEST_F(ListItemTest, ComboSelectionShowsGlyphsInHighlightColours) {
  Surface selected(kWidth, kHeight), plain(kWidth, kHeight);
  Draw(selected, true, 0, ODS_SELECTED);
  Draw(plain, true, 0, 0);
  // Selected: the glyphs are ORed onto the highlight ground.
  EXPECT_EQ(GlyphMismatches(selected, YingX(selected), 2, kCodeYing,
                            Or(highlight_, highlightText_), highlight_),
            0);
  EXPECT_EQ(selected.Pixel(kWidth - 1, kHeight - 1), highlight_);
  // Not selected: the glyphs are ANDed in the window text colour.
  EXPECT_EQ(GlyphMismatches(plain, YingX(plain), 2, kCodeYing,
                            GetSysColor(COLOR_WINDOWTEXT) & window_, window_),
            0);
  EXPECT_EQ(plain.Pixel(kWidth - 1, kHeight - 1), window_);
}

TEST_F(ListItemTest, LicenceListNeverShowsASelection) {
  Surface selected(kWidth, kHeight), plain(kWidth, kHeight);
  Draw(selected, false, 1, ODS_SELECTED | ODS_FOCUS);
  Draw(plain, false, 1, 0);
  EXPECT_EQ(selected.CountDifferences(plain), 0);
  Surface first(kWidth, kHeight);
  Draw(first, false, 0, 0);
  EXPECT_EQ(GlyphMismatches(first, YingX(first), 2, kCodeYing, RGB(0, 0, 0), window_), 0);
}

TEST_F(ListItemTest, ItemOutsideTheListLeavesOnlyTheGround) {
  HWND empty = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                               0, 0, 100, 100, dialog_, reinterpret_cast<HMENU>(1040),
                               GetModuleHandleA(nullptr), nullptr);
  struct Case {
    bool combo;
    UINT itemId;
    UINT state;
    COLORREF ground;
  } cases[] = {
      {false, static_cast<UINT>(-1), 0, window_},
      {false, 2, 0, window_},
      {true, static_cast<UINT>(-1), ODS_SELECTED, highlight_},
      {true, 2, 0, window_},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.combo ? "combo" : "list") << " item "
                                    << static_cast<int>(c.itemId));
    Surface surface(kWidth, kHeight), ground(kWidth, kHeight);
    surface.Fill(RGB(255, 0, 255));
    ground.Fill(c.ground);
    Draw(surface, c.combo, c.itemId, c.state);
    EXPECT_EQ(surface.CountDifferences(ground), 0);
  }
  // A list with no items at all.
  Surface surface(kWidth, kHeight), ground(kWidth, kHeight);
  ground.Fill(window_);
  DRAWITEMSTRUCT item = {ODT_LISTBOX, 1040, 0, ODA_DRAWENTIRE, 0, empty, surface.dc(),
                         RECT{0, 0, kWidth, kHeight}, 0};
  DrawListItem(1040, 0, &item, dialog_);
  EXPECT_EQ(surface.CountDifferences(ground), 0);
}

TEST_F(ListItemTest, DeviceContextStateIsRestored) {
  Surface surface(kWidth, kHeight);
  SetTextColor(surface.dc(), RGB(1, 2, 3));
  SetBkColor(surface.dc(), RGB(4, 5, 6));
  SetBkMode(surface.dc(), OPAQUE);
  Draw(surface, true, 0, ODS_SELECTED);
  Draw(surface, false, 0, 0);
  EXPECT_EQ(GetTextColor(surface.dc()), RGB(1, 2, 3));
  EXPECT_EQ(GetBkColor(surface.dc()), RGB(4, 5, 6));
  EXPECT_EQ(GetBkMode(surface.dc()), OPAQUE);
}

// Items longer than the painter's 260-byte buffer are shown cut after the
// last whole character that fits, never copied past the buffer.
TEST_F(ListItemTest, OverlongItemIsShownCut) {
  constexpr int kWide = 2600;  // room for 162 glyphs
  std::string item, shown;
  for (int i = 0; i < 300; ++i) item += "\xC8\xD5";  // 日
  for (int i = 0; i < 129; ++i) shown += "\xC8\xD5";  // 258 bytes; 260 would not fit
  for (bool combo : {false, true}) {
    SCOPED_TRACE(combo ? "combo" : "list");
    HWND control = combo ? combo_ : list_;
    SendMessageA(control, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
    SendMessageA(control, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageA(control, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(shown.c_str()));
    Surface cut(kWide, kHeight), reference(kWide, kHeight);
    Draw(cut, combo, 0, 0);
    Draw(reference, combo, 1, 0);
    EXPECT_EQ(cut.CountDifferences(reference), 0);
    EXPECT_EQ(GlyphMismatches(cut, 2 + 128 * 16, 2, 0xC8D5, RGB(0, 0, 0), window_), 0);
  }
}

}  // namespace
