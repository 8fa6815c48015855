// DrawOwnerButton's captions: every id of its caption table painted and
// compared, inside the bevel, with the caption typed here from the
// product's button table and drawn at its own alignment (from the left
// edge, or centred). Compiled with GBK literals: the captions are GB2312.
#include <gtest/gtest.h>

#include <string>

#include "render/render.h"
#include "render_test_support.h"
#include "wizard/wizard.h"

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 30;
constexpr int kInset = 3;  // the bevel and the default button's outline stay outside

struct CaptionCase {
  int id;
  int page;  // pageIndex while painting
  const char* windowText;
  const char* caption;  // what must be drawn
  bool left;            // drawn from the left edge, else centred
};

const CaptionCase kCaptions[] = {
    {1, 0, "x", "确认 OK", false},
    {2, 0, "x", "取消 Cancel", false},
    {3, 0, "x", "退一步 Back", false},
    {6, 0, "x", "是 Yes", false},
    {7, 0, "x", "否 No", false},
    {1001, 0, "x", "下一步 Next", false},
    {1001, 2, "x", "下一步 Next", false},
    {1001, 3, "x", "同意/安装 Agree/Install", false},
    {1003, 0, "x", "改变 Browse ....", false},
    {1006, 0, "x", "安装路径： (Install Path)", true},
    {1008, 0, "x", "路径 (Directories):", true},
    {1009, 0, "x", "《塔维克》 Tavik", false},
    {1010, 0, "x", "磁盘 (Drives):", true},
    {1011, 0, "x", "沐编 Roved Editor", false},
    {1012, 0, "x", "安装程序", false},
    {1017, 0, "x", "以上中文显示正确吗 (Is the Above Chinese Display OK)?", false},
    {1030, 0, "x", "User Interface Language 用户界面语言", false},
    {1021, 0, "not shown", "", true},
    {1013, 0, "the message text", "the message text", false},
    {1016, 0, "a left label", "a left label", true},
    {1022, 0, "no table entry", "no table entry", false},
};

class OwnerCaptionTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EnsureGlyphFont());
    parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, kWidth, 100, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    savedPage_ = pageIndex;
  }
  void TearDown() override {
    pageIndex = savedPage_;
    if (parent_ != nullptr) DestroyWindow(parent_);
  }

  void Paint(Surface& surface, const CaptionCase& c) {
    HWND button = CreateWindowExA(0, "BUTTON", c.windowText, WS_CHILD | BS_OWNERDRAW, 0, 0, kWidth,
                                  kHeight, parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    pageIndex = c.page;
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(c.id);
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = button;
    item.hDC = surface.dc();
    item.rcItem = RECT{0, 0, kWidth, kHeight};
    DrawOwnerButton(&item, WizardButtonContext(pageIndex));
    DestroyWindow(button);
  }

  HWND parent_ = nullptr;
  int savedPage_ = 0;
};

TEST_F(OwnerCaptionTest, EveryCaptionAtItsAlignment) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (const CaptionCase& c : kCaptions) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << ", page " << c.page);
    Surface painted(kWidth, kHeight);
    Paint(painted, c);
    Surface expected(kWidth, kHeight);
    expected.Fill(face);
    // The caption is 16 pixels high, centred in the height; across, from
    // the left edge or centred on its measured width (halves truncated).
    int width = MeasureMixedText(expected.dc(), c.caption).cx;
    ASSERT_LE(width, kWidth - 2 * kInset) << "the case does not fit the button";
    int x = c.left ? 0 : (kWidth - width) / 2;
    DrawMixedText(expected.dc(), x, (kHeight - 16) / 2, c.caption, 0);
    int differences = 0;
    for (int y = kInset; y < kHeight - kInset; ++y) {
      for (int px = kInset; px < kWidth - kInset; ++px) differences += painted.Pixel(px, y) != expected.Pixel(px, y);
    }
    EXPECT_EQ(differences, 0);
  }
}

}  // namespace
