// Message box layout arithmetic (see message_layout.h). Divisions truncate
// toward zero, as C++ integer division does, which the centring relies on
// when a text is wider than the screen.
#include "base/message_layout.h"

namespace {
int Max(int a, int b) { return a > b ? a : b; }

// Chinese texts shorter than this get two button heights of extra margin.
constexpr int kShortChineseLength = 81;
}  // namespace

int MessageFirstButtonId(int kind) {
  return kind == kMessageKindYesNo ? kMessageCommandYes : kMessageCommandOk;
}

MessageLayout ComputeMessageLayout(const MessageLayoutInput& in) {
  MessageLayout out = {};
  const int bw = in.buttonWidth;
  const int bh = in.buttonHeight;
  const int ch = in.chineseHeight;
  const bool yesNo = in.kind == kMessageKindYesNo;
  const bool oneButton = in.kind == kMessageKindOk;
  out.firstButtonId = MessageFirstButtonId(in.kind);
  out.secondButtonId = oneButton ? 0 : yesNo ? kMessageCommandNo : kMessageCommandCancel;

  const int minWidth = (oneButton ? 2 : 3) * bw;
  int contentWidth = Max(in.chineseWidth, in.englishWidth) + 2 * in.dialogFrameWidth;
  if (in.chineseLength < kShortChineseLength) contentWidth += 2 * bh;
  const int contentHeight = 3 * (ch + bh) + 2 * in.englishHeight;

  // The window is placed by the content width but may be wider (minWidth);
  // the buttons follow the content width too.
  out.window = {(in.screenWidth - contentWidth) / 2, (in.screenHeight - contentHeight) / 2,
                Max(contentWidth, minWidth), contentHeight + in.captionHeight};

  if (oneButton) {
    out.firstButton = {(contentWidth - bw) / 2, contentHeight - 2 * bh, bw, bh};
  } else {
    const int bx = (contentWidth - (7 * bw) / 3) / 2;
    const int by = contentHeight - (3 * bh) / 2;
    out.firstButton = {bx, by, bw, bh};
    out.secondButton = {bx + (4 * bw) / 3, by, bw, bh};
  }

  out.chineseTop = (2 * ch) / 3;
  out.chineseHeight = 3 * ch;
  out.showEnglish = in.hasEnglish;
  out.englishTop = 3 * ch + out.chineseTop + 5;
  out.englishHeight = 2 * in.englishHeight;
  return out;
}
