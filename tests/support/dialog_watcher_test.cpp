// The dialog watcher's deadline: a modal dialog that no watcher takes fails
// the test, named by its caption and text, and is cancelled soon instead of
// holding the test until its time runs out.
#include <windows.h>

#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include "tests/support/dialog_watcher.h"

TEST(DialogWatcher, UnexpectedModalDialogFailsTheTestNamingItAndIsCancelled) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  MessageAnswerer answerer;  // takes the program's boxes only
  const ULONGLONG start = GetTickCount64();
  int result = 0;
  EXPECT_NONFATAL_FAILURE(result = MessageBoxA(owner, "Nobody answers this", "Unexpected box", MB_OKCANCEL),
                          "caption \"Unexpected box\", texts \"Nobody answers this\"");
  const ULONGLONG waited = GetTickCount64() - start;
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_GE(waited, DialogWatcher::kUnexpectedDialogMs);
  EXPECT_LT(waited, 3 * DialogWatcher::kUnexpectedDialogMs);
  EXPECT_TRUE(answerer.messages().empty());
  DestroyWindow(owner);
}
