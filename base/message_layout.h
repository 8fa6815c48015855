// Layout of the message box dialog, computed from measured extents, the
// button size and the system metrics alone, so it is checked without a
// window. No Windows header here (also built natively).
#pragma once

// Kinds of ShowMessage: 0 OK only, 4 Yes and No, any other OK and Cancel.
constexpr int kMessageKindOk = 0;
constexpr int kMessageKindOkCancel = 1;
constexpr int kMessageKindYesNo = 4;

// The platform's command ids of the dialog's buttons.
constexpr int kMessageCommandOk = 1;
constexpr int kMessageCommandCancel = 2;
constexpr int kMessageCommandYes = 6;
constexpr int kMessageCommandNo = 7;

// Button size taken when the first button cannot be found in the dialog.
constexpr int kMessageButtonFallbackWidth = 82;
constexpr int kMessageButtonFallbackHeight = 12;

// The English text is kept in a buffer of this size, terminator included.
constexpr int kMessageEnglishCapacity = 128;

struct MessageLayoutInput {
  int chineseWidth, chineseHeight;  // MeasureMixedText of the Chinese text
  int englishWidth, englishHeight;  // (0, 0) when absent or not measurable
  bool hasEnglish;                  // an English text is shown at all
  int buttonWidth, buttonHeight;    // client size of the first button
  int chineseLength;                // bytes of the Chinese text
  int kind;
  int dialogFrameWidth;             // SM_CXDLGFRAME
  int screenWidth, screenHeight;    // SM_CXSCREEN, SM_CYSCREEN
  int captionHeight;                // SM_CYCAPTION
};

struct LayoutRect {
  int x, y, width, height;
};

struct MessageLayout {
  int firstButtonId, secondButtonId;  // secondButtonId 0: one button only
  LayoutRect window;                  // screen position and window size
  LayoutRect firstButton, secondButton;
  // The text controls span the client rectangle's width; only their
  // vertical placement is fixed here.
  int chineseTop, chineseHeight;
  bool showEnglish;
  int englishTop, englishHeight;
};

// The command id of the first button of a kind (its size sizes both).
int MessageFirstButtonId(int kind);
MessageLayout ComputeMessageLayout(const MessageLayoutInput& in);
