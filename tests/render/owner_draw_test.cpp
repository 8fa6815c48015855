// DrawOwnerButton painted into memory surfaces over real owner-drawn button
// windows, so the painter's GetDlgCtrlID sees the ids of the dialogs.
#include <gtest/gtest.h>

#include <string>

#include "render/render.h"
#include "render_test_support.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "wizard/wizard.h"

namespace {

constexpr int kWidth = 100;
constexpr int kHeight = 30;
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class OwnerButtonTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EnsureGlyphFont());
    parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 100, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    face_ = GetSysColor(COLOR_BTNFACE);
    light_ = GetSysColor(COLOR_BTNHIGHLIGHT);
    dark_ = GetSysColor(COLOR_BTNSHADOW);
    // The pixel checks below can only tell the edges apart if these differ.
    ASSERT_NE(face_, light_);
    ASSERT_NE(face_, dark_);
    ASSERT_NE(light_, dark_);
    ASSERT_NE(dark_, kBlack);
    savedPage_ = pageIndex;
  }
  void TearDown() override {
    pageIndex = savedPage_;
    if (parent_ != nullptr) DestroyWindow(parent_);
  }

  HWND MakeButton(int id, const char* text = "") {
    return CreateWindowExA(0, "BUTTON", text, WS_CHILD | BS_OWNERDRAW, 0, 0, kWidth, kHeight,
                           parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  }

  // Paints control id (a fresh button window) into surface as WM_DRAWITEM would.
  void Paint(Surface& surface, int id, UINT action, UINT state, const char* text = "") {
    HWND button = MakeButton(id, text);
    ASSERT_NE(button, nullptr);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(id);
    item.itemAction = action;
    item.itemState = state;
    item.hwndItem = button;
    item.hDC = surface.dc();
    item.rcItem = RECT{0, 0, surface.width(), surface.height()};
    DrawOwnerButton(&item, WizardButtonContext(pageIndex));
    DestroyWindow(button);
  }

  HWND parent_ = nullptr;
  COLORREF face_ = 0, light_ = 0, dark_ = 0;
  int savedPage_ = 0;
};

enum Edge { kFace, kLight, kDark, kOutline };

struct EdgePixel {
  int x, y;
  Edge normal, pressed;
};

// Bevel of a plain push button (Back, id 3) in a 100x30 rectangle.
const EdgePixel kBevelPixels[] = {
    {0, 15, kFace, kFace},   {50, 0, kFace, kFace},    // outermost left/top untouched
    {1, 15, kLight, kDark},  {2, 15, kLight, kDark},   // left steps
    {50, 1, kLight, kDark},  {50, 2, kLight, kDark},   // top steps
    {98, 15, kDark, kLight}, {97, 15, kDark, kLight},  // right steps
    {50, 28, kDark, kLight}, {50, 27, kDark, kLight},  // bottom steps
    {50, 29, kDark, kLight}, {99, 15, kDark, kLight},  // outer bottom/right line
    {3, 15, kFace, kFace},   {50, 3, kFace, kFace},    // inside the bevel
};

TEST_F(OwnerButtonTest, BevelSwapsColoursWhenPressed) {
  Surface normal(kWidth, kHeight), pressed(kWidth, kHeight);
  Paint(normal, IDC_BACK, ODA_DRAWENTIRE, 0);
  Paint(pressed, IDC_BACK, ODA_SELECT, ODS_SELECTED);
  auto colour = [this](Edge edge) {
    return edge == kFace ? face_ : edge == kLight ? light_ : edge == kDark ? dark_ : kBlack;
  };
  for (const EdgePixel& p : kBevelPixels) {
    SCOPED_TRACE(testing::Message() << "pixel (" << p.x << ", " << p.y << ")");
    EXPECT_EQ(normal.Pixel(p.x, p.y), colour(p.normal));
    EXPECT_EQ(pressed.Pixel(p.x, p.y), colour(p.pressed));
  }
}

TEST_F(OwnerButtonTest, OnlyTheDefaultCommandGetsTheBlackOutline) {
  // Outline on all four sides, plus the inner line at the bottom and right.
  const POINT outline[] = {{0, 15}, {50, 0}, {99, 15}, {50, 29}, {50, 28}, {98, 15}};
  Surface next(kWidth, kHeight);
  Paint(next, IDC_NEXT, ODA_DRAWENTIRE, 0);
  for (const POINT& p : outline) {
    SCOPED_TRACE(testing::Message() << "IDC_NEXT pixel (" << p.x << ", " << p.y << ")");
    EXPECT_EQ(next.Pixel(p.x, p.y), kBlack);
  }
  // The message box's buttons never have it, whatever their state.
  for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
    Surface surface(kWidth, kHeight);
    Paint(surface, id, ODA_DRAWENTIRE, ODS_FOCUS);
    for (const POINT& p : outline) {
      SCOPED_TRACE(testing::Message() << "id " << id << " pixel (" << p.x << ", " << p.y << ")");
      EXPECT_NE(surface.Pixel(p.x, p.y), kBlack);
    }
  }
}

TEST_F(OwnerButtonTest, PressedTextMovesTwoRightOneDown) {
  const RECT inside = {4, 4, kWidth - 4, kHeight - 4};
  for (int id : {IDOK, IDC_BACK, IDC_MESSAGE_CHINESE}) {
    SCOPED_TRACE(testing::Message() << "id " << id);
    Surface normal(kWidth, kHeight), pressed(kWidth, kHeight);
    Paint(normal, id, ODA_DRAWENTIRE, 0, kTextYes);
    Paint(pressed, id, ODA_SELECT, ODS_SELECTED, kTextYes);
    const RECT a = normal.BoundsOf(kBlack, inside);
    const RECT b = pressed.BoundsOf(kBlack, inside);
    ASSERT_LT(a.left, a.right) << "no text drawn";
    EXPECT_EQ(b.left, a.left + 2);
    EXPECT_EQ(b.right, a.right + 2);
    EXPECT_EQ(b.top, a.top + 1);
    EXPECT_EQ(b.bottom, a.bottom + 1);
  }
}

TEST_F(OwnerButtonTest, BlankPanelUntouchedAndBottomStripFaceOnly) {
  Surface blank(kWidth, kHeight), strip(kWidth, kHeight), face(kWidth, kHeight);
  blank.Fill(kMagenta);
  strip.Fill(kMagenta);
  face.Fill(face_);
  Paint(blank, IDC_PANEL_BLANK, ODA_DRAWENTIRE, ODS_FOCUS);
  Paint(strip, IDC_BOTTOM_STRIP, ODA_DRAWENTIRE, 0, "window text is not shown");
  Surface magenta(kWidth, kHeight);
  magenta.Fill(kMagenta);
  EXPECT_EQ(blank.CountDifferences(magenta), 0);
  EXPECT_EQ(strip.CountDifferences(face), 0);
}

TEST_F(OwnerButtonTest, DisabledIsDrawnLikeEnabled) {
  for (int id : {IDC_BACK, IDC_MESSAGE_CHINESE, IDC_PANEL_TAVIK}) {
    SCOPED_TRACE(testing::Message() << "id " << id);
    Surface enabled(kWidth, kHeight), disabled(kWidth, kHeight);
    Paint(enabled, id, ODA_DRAWENTIRE, 0, kTextNo);
    HWND button = MakeButton(id, kTextNo);
    EnableWindow(button, FALSE);
    DRAWITEMSTRUCT item = {ODT_BUTTON, static_cast<UINT>(id), 0, ODA_DRAWENTIRE,
                           ODS_DISABLED | ODS_GRAYED, button, disabled.dc(),
                           RECT{0, 0, kWidth, kHeight}, 0};
    DrawOwnerButton(&item, WizardButtonContext(pageIndex));
    DestroyWindow(button);
    EXPECT_EQ(enabled.CountDifferences(disabled), 0);
  }
}

// The table's caption wins over the window text; 1001 follows the page.
TEST_F(OwnerButtonTest, NextButtonCaptionFollowsThePage) {
  constexpr int kWide = 300;
  const RECT inside = {3, 3, kWide - 3, kHeight - 3};
  struct Case {
    int page;
    const char* caption;
  } cases[] = {{0, kTextNext}, {2, kTextNext}, {3, kTextAgreeInstall}, {99, kTextAgreeInstall}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "page " << c.page);
    pageIndex = c.page;
    Surface next(kWide, kHeight), reference(kWide, kHeight);
    Paint(next, IDC_NEXT, ODA_DRAWENTIRE, 0, "window text");
    // 1022 has no table entry: it shows its window text with the same bevel.
    Paint(reference, IDC_UNUSED_LABEL, ODA_DRAWENTIRE, 0, c.caption);
    int differences = 0;
    for (int y = inside.top; y < inside.bottom; ++y) {
      for (int x = inside.left; x < inside.right; ++x) {
        differences += next.Pixel(x, y) != reference.Pixel(x, y);
      }
    }
    EXPECT_EQ(differences, 0);
  }
}

TEST_F(OwnerButtonTest, FocusRectangleOnlyWithFocusState) {
  Surface plain(kWidth, kHeight), focused(kWidth, kHeight);
  Paint(plain, IDC_BACK, ODA_DRAWENTIRE, 0);
  Paint(focused, IDC_BACK, ODA_DRAWENTIRE, ODS_FOCUS);
  // The rectangle is inset by a tenth of the width and an eighth of the height.
  const RECT ring = {10, 3, 90, 27};
  int onRing = 0, elsewhere = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (plain.Pixel(x, y) == focused.Pixel(x, y)) continue;
      const bool border = (x == ring.left || x == ring.right - 1 || y == ring.top ||
                           y == ring.bottom - 1) &&
                          x >= ring.left && x < ring.right && y >= ring.top && y < ring.bottom;
      (border ? onRing : elsewhere)++;
    }
  }
  EXPECT_GT(onRing, 0);
  EXPECT_EQ(elsewhere, 0);

  // A focus-only notification paints nothing but the rectangle, and nothing
  // at all when the control has lost the focus.
  Surface gained(kWidth, kHeight), lost(kWidth, kHeight), magenta(kWidth, kHeight);
  gained.Fill(kMagenta);
  lost.Fill(kMagenta);
  magenta.Fill(kMagenta);
  Paint(gained, IDC_BACK, ODA_FOCUS, ODS_FOCUS);
  Paint(lost, IDC_BACK, ODA_FOCUS, 0);
  EXPECT_EQ(lost.CountDifferences(magenta), 0);
  EXPECT_GT(gained.CountDifferences(magenta), 0);
  EXPECT_EQ(gained.Pixel(50, 15), kMagenta);
}

TEST_F(OwnerButtonTest, SampleLineUsesTheSampleFontOrNothing) {
  constexpr int kWide = 200;
  Surface face(kWide, kHeight);
  face.Fill(face_);
  HFONT saved = sampleFont;
  sampleFont = nullptr;
  Surface without(kWide, kHeight);
  Paint(without, IDC_DISPLAY_SAMPLE, ODA_DRAWENTIRE, 0);
  EXPECT_EQ(without.CountDifferences(face), 0);

  CreateSampleFont();
  ASSERT_NE(sampleFont, nullptr);
  Surface with(kWide, kHeight), glyphs(kWide, kHeight);
  HGDIOBJ fontBefore = GetCurrentObject(with.dc(), OBJ_FONT);
  Paint(with, IDC_DISPLAY_SAMPLE, ODA_DRAWENTIRE, 0);
  EXPECT_EQ(GetCurrentObject(with.dc(), OBJ_FONT), fontBefore);
  EXPECT_GT(with.CountDifferences(face), 0);
  // Not the bitmap glyphs: the same text as a plain label looks different.
  Paint(glyphs, IDC_MESSAGE_CHINESE, ODA_DRAWENTIRE, 0, kTextDisplaySample);
  EXPECT_GT(with.CountDifferences(glyphs), 0);
  DeleteObject(sampleFont);
  sampleFont = saved;
}

// A window text longer than the painter's 80-byte buffer is cut after 79
// bytes, never inside a double-byte character.
TEST_F(OwnerButtonTest, LongWindowTextIsCutOnACharacterBoundary) {
  constexpr int kWide = 800;
  struct Case {
    std::string text, shown;
  } cases[] = {
      {std::string(100, 'A'), std::string(79, 'A')},
      {[] { std::string s; for (int i = 0; i < 50; ++i) s += "\xC8\xD5"; return s; }(),
       [] { std::string s; for (int i = 0; i < 39; ++i) s += "\xC8\xD5"; return s; }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "length " << c.text.size());
    Surface cut(kWide, kHeight), reference(kWide, kHeight);
    Paint(cut, IDC_MESSAGE_CHINESE, ODA_DRAWENTIRE, 0, c.text.c_str());
    Paint(reference, IDC_MESSAGE_CHINESE, ODA_DRAWENTIRE, 0, c.shown.c_str());
    EXPECT_EQ(cut.CountDifferences(reference), 0);
  }
}

}  // namespace
