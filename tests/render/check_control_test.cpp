// The check boxes' painter and subclass over real check-box windows.
#include <gtest/gtest.h>

#include <vector>

#include "render/render.h"
#include "render_test_support.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "wizard/wizard.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 20;
// Client 400x20 grows to (-2,-2)-(402,22): h 24; the check box's frame is
// (1,3)-(13,13), so captions start at 2*13-1 = 25, one pixel below the top.
constexpr int kCaptionX = 25;
constexpr int kCaptionY = 1;
constexpr unsigned short kCodeJian = 0xBDA8;  // 建
constexpr unsigned short kCodeZheng = 0xD5FD;  // 正
constexpr unsigned short kCodeBu = 0xB2BB;  // 不
constexpr unsigned short kCodeRi = 0xC8D5;  // 日

std::vector<UINT> passedOn;
WNDPROC realButtonProc = nullptr;

// Stands in for the standard procedure, noting what reaches it.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  passedOn.push_back(message);
  return CallWindowProcW(realButtonProc, window, message, wParam, lParam);
}

class CheckControlTest : public testing::Test {
 protected:
  // One visible parent for the whole suite (invisible windows get no update
  // regions); each test makes and destroys its own check boxes.
  static void SetUpTestSuite() {
    parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 10, 10, 500, 100, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  static void TearDownTestSuite() { DestroyWindow(parent_); }
  void SetUp() override {
    ASSERT_TRUE(EnsureGlyphFont());
    ASSERT_NE(parent_, nullptr);
    face_ = GetSysColor(COLOR_BTNFACE);
  }

  HWND MakeBox(int id, LONG type = BS_AUTOCHECKBOX, const char* text = "") {
    return CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | type, 0, 0, kWidth,
                           kHeight, parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  }

  static HWND parent_;
  COLORREF face_ = 0;
};
HWND CheckControlTest::parent_ = nullptr;

TEST_F(CheckControlTest, CaptionComesFromTheTableOrTheWindowText) {
  struct Case {
    int id;
    const char* windowText;
    unsigned short firstGlyph;
  } cases[] = {
      {IDC_DESKTOP_ICON, "ignored", kCodeJian},
      {IDC_DISPLAY_OK, "ignored", kCodeZheng},
      {IDC_DISPLAY_NOT_OK, "ignored", kCodeBu},
      {1050, "\xC8\xD5 other", kCodeRi},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id);
    HWND box = MakeBox(c.id, BS_AUTOCHECKBOX, c.windowText);
    Surface surface(kWidth, kHeight);
    PaintCheckControl(box, surface.dc());
    EXPECT_EQ(GlyphMismatches(surface, kCaptionX, kCaptionY, c.firstGlyph, RGB(0, 0, 0), face_),
              0);
    EXPECT_EQ(surface.Pixel(kWidth - 1, kHeight - 1), face_);
    DestroyWindow(box);
  }
}

// Checked and disabled change only the frame; the caption stays the same.
TEST_F(CheckControlTest, StatesChangeTheFrameOnly) {
  HWND box = MakeBox(IDC_DISPLAY_OK);
  Surface plain(kWidth, kHeight), checked(kWidth, kHeight), disabled(kWidth, kHeight);
  PaintCheckControl(box, plain.dc());
  SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
  PaintCheckControl(box, checked.dc());
  SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
  EnableWindow(box, FALSE);
  PaintCheckControl(box, disabled.dc());
  for (Surface* other : {&checked, &disabled}) {
    int inFrame = 0, outside = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (plain.Pixel(x, y) == other->Pixel(x, y)) continue;
        (x >= 1 && x < 13 && y >= 3 && y < 13 ? inFrame : outside)++;
      }
    }
    EXPECT_GT(inFrame, 0);
    EXPECT_EQ(outside, 0);
  }
  EXPECT_EQ(GlyphMismatches(disabled, kCaptionX, kCaptionY, kCodeZheng, RGB(0, 0, 0), face_), 0);
  DestroyWindow(box);
}

TEST_F(CheckControlTest, FocusRectangleAroundTheCaptionOnlyWithFocus) {
  HWND box = MakeBox(IDC_DISPLAY_NOT_OK);
  HWND other = MakeBox(IDC_DISPLAY_OK);
  SetFocus(other);
  Surface without(kWidth, kHeight);
  PaintCheckControl(box, without.dc());
  SetFocus(box);
  ASSERT_EQ(GetFocus(), box);
  Surface with(kWidth, kHeight);
  PaintCheckControl(box, with.dc());
  // Every change lies on the rectangle from one pixel before the caption
  // to three pixels after it, one pixel above the glyphs to two below.
  const SIZE caption = MeasureMixedText(with.dc(), kTextDisplayNotOk);
  const RECT ring = {kCaptionX - 1, kCaptionY - 1, kCaptionX + caption.cx + 3, kCaptionY + 18};
  int onRing = 0, elsewhere = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (with.Pixel(x, y) == without.Pixel(x, y)) continue;
      const bool inside = x >= ring.left && x < ring.right && y >= ring.top && y < ring.bottom;
      const bool edge = x == ring.left || x == ring.right - 1 || y == ring.top ||
                        y == ring.bottom - 1;
      (inside && edge ? onRing : elsewhere)++;
    }
  }
  EXPECT_GT(onRing, 0);
  EXPECT_EQ(elsewhere, 0);
  DestroyWindow(box);
  DestroyWindow(other);
}

TEST_F(CheckControlTest, SubclassPaintsItselfAndPassesTheRestOn) {
  HWND box = MakeBox(IDC_DESKTOP_ICON);
  realButtonProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(box, GWLP_WNDPROC));
  WNDPROC savedDefault = buttonDefaultProc;
  buttonDefaultProc = RecordingProc;
  SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CheckControlProc));
  passedOn.clear();

  InvalidateRect(box, nullptr, TRUE);
  UpdateWindow(box);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(box, &update, FALSE)) << "WM_PAINT left the control invalid";
  for (UINT message : passedOn) EXPECT_NE(message, static_cast<UINT>(WM_PAINT));

  // A click is passed on (it ticks the box) and leaves the control to repaint.
  passedOn.clear();
  SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(GetUpdateRect(box, &update, FALSE));
  SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  ASSERT_GE(passedOn.size(), 3u);
  EXPECT_EQ(passedOn[0], static_cast<UINT>(WM_LBUTTONDOWN));

  SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(realButtonProc));
  buttonDefaultProc = savedDefault;
  DestroyWindow(box);
}

}  // namespace
