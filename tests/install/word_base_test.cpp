// CheckOldWordBase against real files, its question answered from a timer.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/disk_test_support.h"
#include "base/bounded_format.h"
#include "install/install.h"
#include "resources/texts.h"
#include "wizard/wizard.h"

namespace {
constexpr const char* kMissing = nullptr;

class WordBaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EnsureTestGlyphFont());
    folder_ = MakeScratchFolder("tavik-word-base");
    ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, folder_.c_str()));
  }
  void TearDown() override { RemoveTree(folder_); }

  std::string folder_;
};
}  // namespace

TEST_F(WordBaseTest, QuestionOnlyForAMarkedWordBase) {
  struct Case {
    const char* name;
    bool wordBasePresent;
    const char* index;  // first bytes of pycizudic.idx; kMissing for no file
    int answer;
    bool asked;
    int keep;
  };
  const Case cases[] = {
      {"no word base", false, "\x80", IDNO, false, 0},
      {"index missing", true, kMissing, IDNO, false, 0},
      {"index empty", true, "", IDNO, false, 0},
      {"no mark", true, "\x7F\xFF", IDNO, false, 0},
      {"marked, Yes", true, "\x80", IDYES, true, 0},
      {"marked, No", true, "\xFF", IDNO, true, 1},
      {"marked, Escape", true, "\x80", MessageAnswerer::kEscape, true, 1},
  };
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveTree(folder_);
    CreateDirectoryA(folder_.c_str(), nullptr);
    if (c.wordBasePresent) {
      ASSERT_TRUE(WriteWholeFile(folder_ + "\\CiZuFlat.igb", "igb"));
    }
    if (c.index != kMissing) {
      ASSERT_TRUE(WriteWholeFile(folder_ + "\\pycizudic.idx", c.index));
    }
    keepOldWordBase = 0;
    SetCursor(arrow);

    MessageAnswerer answerer(c.answer);
    CheckOldWordBase();

    EXPECT_EQ(keepOldWordBase, c.keep);
    ASSERT_EQ(answerer.messages().size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(answerer.messages()[0].chinese, kTextWordBaseCn);
      EXPECT_EQ(answerer.messages()[0].english, kTextWordBaseEn);
      EXPECT_EQ(answerer.messages()[0].buttons, (std::vector<int>{IDYES, IDNO}));
    }
    // The hourglass comes up whenever a word base was found.
    EXPECT_EQ(GetCursor(), c.wordBasePresent ? wait : arrow);
  }
}
