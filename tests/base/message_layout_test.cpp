// Layout arithmetic of the message box dialog, apart from any window.
#include "base/message_layout.h"

#include <gtest/gtest.h>

namespace {

// Sizes as the dialog reports them under Wine: 16-pixel glyph line, a
// 110x29 button, 3-pixel dialog frame, a 1280x1024 screen, 19-pixel caption.
MessageLayoutInput Input(int kind, int chineseWidth, int chineseLength, int englishWidth,
                         bool hasEnglish = true) {
  MessageLayoutInput in = {};
  in.chineseWidth = chineseWidth;
  in.chineseHeight = 16;
  in.englishWidth = hasEnglish ? englishWidth : 0;
  in.englishHeight = hasEnglish ? 13 : 0;
  in.hasEnglish = hasEnglish;
  in.buttonWidth = 110;
  in.buttonHeight = 29;
  in.chineseLength = chineseLength;
  in.kind = kind;
  in.dialogFrameWidth = 3;
  in.screenWidth = 1280;
  in.screenHeight = 1024;
  in.captionHeight = 19;
  return in;
}

// Content 364 x 161: width 300 + 2*3 + 2*29 (short text), height 3*(16+29) + 2*13.
TEST(MessageLayout, OkOnlyHasOneCentredButtonTwoButtonHeightsAboveTheBottom) {
  const MessageLayout m = ComputeMessageLayout(Input(kMessageKindOk, 200, 20, 300));
  EXPECT_EQ(m.firstButtonId, kMessageCommandOk);
  EXPECT_EQ(m.secondButtonId, 0);
  EXPECT_EQ(m.window.x, (1280 - 364) / 2);
  EXPECT_EQ(m.window.y, (1024 - 161) / 2);
  EXPECT_EQ(m.window.width, 364);
  EXPECT_EQ(m.window.height, 161 + 19);
  EXPECT_EQ(m.firstButton.x, 127);  // (364 - 110) / 2
  EXPECT_EQ(m.firstButton.y, 103);  // 161 - 2 * 29
  EXPECT_EQ(m.firstButton.width, 110);
  EXPECT_EQ(m.firstButton.height, 29);
  EXPECT_EQ(m.chineseTop, 10);
  EXPECT_EQ(m.chineseHeight, 48);
  EXPECT_TRUE(m.showEnglish);
  EXPECT_EQ(m.englishTop, 63);  // 48 + 10 + 5
  EXPECT_EQ(m.englishHeight, 26);
}

TEST(MessageLayout, TwoButtonKindsPlaceTheirPairAlike) {
  struct Case {
    int kind, first, second;
  } cases[] = {{kMessageKindOkCancel, kMessageCommandOk, kMessageCommandCancel},
               {kMessageKindYesNo, kMessageCommandYes, kMessageCommandNo},
               {-3, kMessageCommandOk, kMessageCommandCancel},
               {2, kMessageCommandOk, kMessageCommandCancel}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind);
    const MessageLayout m = ComputeMessageLayout(Input(c.kind, 200, 20, 300));
    EXPECT_EQ(m.firstButtonId, c.first);
    EXPECT_EQ(m.secondButtonId, c.second);
    EXPECT_EQ(MessageFirstButtonId(c.kind), c.first);
    // The pair spans 7/3 button widths, centred on the content width.
    EXPECT_EQ(m.firstButton.x, 54);    // (364 - 256) / 2
    EXPECT_EQ(m.secondButton.x, 200);  // 54 + 440 / 3
    EXPECT_EQ(m.firstButton.y, 118);   // 161 - 87 / 2
    EXPECT_EQ(m.secondButton.y, 118);
    EXPECT_EQ(m.secondButton.width, 110);
    EXPECT_EQ(m.secondButton.height, 29);
  }
}

// A short text still gets a window wide enough for its buttons; the window
// is placed by the content width all the same.
TEST(MessageLayout, ShortTextGetsTheMinimumWidth) {
  struct Case {
    int kind, width;
  } cases[] = {{kMessageKindOk, 220}, {kMessageKindOkCancel, 330}, {kMessageKindYesNo, 330}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind);
    const MessageLayout m = ComputeMessageLayout(Input(c.kind, 32, 4, 0, false));
    EXPECT_EQ(m.window.width, c.width);
    EXPECT_EQ(m.window.x, (1280 - 96) / 2);  // content 32 + 6 + 58
  }
}

TEST(MessageLayout, LongChineseTextGetsNoExtraMargin) {
  const int at80 = ComputeMessageLayout(Input(kMessageKindOk, 640, 80, 100)).window.width;
  const int at81 = ComputeMessageLayout(Input(kMessageKindOk, 640, 81, 100)).window.width;
  EXPECT_EQ(at80, 640 + 6 + 58);
  EXPECT_EQ(at81, 640 + 6);
  // The wider of the two texts sets the width.
  EXPECT_EQ(ComputeMessageLayout(Input(kMessageKindOk, 100, 90, 700)).window.width, 706);
}

TEST(MessageLayout, NoEnglishHidesTheLineAndAddsNoHeight) {
  const MessageLayout without = ComputeMessageLayout(Input(kMessageKindOk, 200, 20, 0, false));
  const MessageLayout with = ComputeMessageLayout(Input(kMessageKindOk, 200, 20, 100));
  EXPECT_FALSE(without.showEnglish);
  EXPECT_EQ(without.window.height, 3 * (16 + 29) + 19);
  EXPECT_EQ(with.window.height, without.window.height + 26);
  EXPECT_EQ(without.firstButton.y, 3 * (16 + 29) - 2 * 29);
}

}  // namespace
