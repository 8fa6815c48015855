// RefString: the empty representation, copy-on-write, capacity rule, pool
// reuse, Empty, self-append, the formatter and counts under two threads.
#include "base/ref_string.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "tests/support/printf_cases.h"

TEST(RefString, NullAndEmptyTextShareTheEmptyBlockWithoutAllocating) {
  const char* texts[] = {nullptr, ""};
  RefString probe;
  long emptyCount = probe.Inspect().refCount;
  for (const char* text : texts) {
    long allocated = RefString::BlocksAllocated();
    {
      RefString value(text);
      EXPECT_TRUE(value.Inspect().isEmptyRepresentation);
      EXPECT_STREQ(value.Text(), "");
      EXPECT_EQ(value.Inspect().refCount, emptyCount + 1);
    }
    EXPECT_EQ(RefString::BlocksAllocated(), allocated);
    EXPECT_EQ(probe.Inspect().refCount, emptyCount);
  }
}

TEST(RefString, CopySharesUntilAChange) {
  RefString original("abc");
  RefString copy(original);
  EXPECT_EQ(copy.Text(), original.Text());
  EXPECT_EQ(original.Inspect().refCount, 2);
  copy.Append("def");
  EXPECT_STREQ(original.Text(), "abc");
  EXPECT_STREQ(copy.Text(), "abcdef");
  EXPECT_EQ(original.Inspect().refCount, 1);
  EXPECT_EQ(copy.Inspect().refCount, 1);

  copy.ReleaseBuffer(1);  // no GetBuffer before: the shared text must not change
  RefString shared(original);
  shared.ReleaseBuffer(1);
  EXPECT_STREQ(original.Text(), "abc");
  EXPECT_STREQ(shared.Text(), "a");
}

TEST(RefString, AssignReusesAPrivateBlockAndSharesAnother) {
  RefString value("a longer text here");
  const char* block = value.Text();
  value.Assign("short");
  EXPECT_EQ(value.Text(), block);
  EXPECT_STREQ(value.Text(), "short");
  RefString other("other");
  value = other;
  EXPECT_EQ(value.Text(), other.Text());
  value.Assign(value.Text() + 2);  // from inside its own, now shared, block
  EXPECT_STREQ(value.Text(), "her");
  EXPECT_STREQ(other.Text(), "other");
  value.Assign("");
  EXPECT_TRUE(value.Inspect().isEmptyRepresentation);
}

TEST(RefString, GetBufferOnEmptyFollowsTheCapacityRule) {
  RefString value;
  char* buffer = value.GetBuffer(256);
  EXPECT_EQ(value.Inspect().capacity, 275);
  std::snprintf(buffer, 257, "%s", "written");
  value.ReleaseBuffer(-1);
  EXPECT_EQ(value.Length(), 7);
  EXPECT_STREQ(value.Text(), "written");
  value.ReleaseBuffer(3);
  EXPECT_STREQ(value.Text(), "wri");
  EXPECT_EQ(RefString::LockDepth(), 0);
}

TEST(RefString, ReleasedSmallBlockIsReusedByItsSizeClass) {
  struct Case { int length; int capacity; };
  const Case cases[] = {{1, 19}, {20, 39}, {363, 379}};  // 379 + 1 is the last pooled size
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    const char* block;
    int freeBefore;
    {
      RefString first(std::string(c.length, 'a').c_str());
      ASSERT_EQ(first.Inspect().capacity, c.capacity);
      block = first.Text();
      freeBefore = RefString::FreeBlocks(c.capacity);
    }
    EXPECT_EQ(RefString::FreeBlocks(c.capacity), freeBefore + 1);
    RefString second(std::string(c.length | 3, 'b').c_str());  // same class, other length
    EXPECT_EQ(second.Text(), block);
    EXPECT_EQ(RefString::FreeBlocks(c.capacity), freeBefore);
  }
}

TEST(RefString, EmptyKeepsOnlyPrivateBlocksUpTo256) {
  struct Case { int length; int capacity; bool kept; };
  const Case cases[] = {{3, 19, true}, {239, 255, true}, {240, 259, false}, {400, 419, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    RefString value(std::string(c.length, 'x').c_str());
    ASSERT_EQ(value.Inspect().capacity, c.capacity);
    const char* block = value.Text();
    value.Empty();
    EXPECT_EQ(value.Length(), 0);
    EXPECT_STREQ(value.Text(), "");
    EXPECT_EQ(value.Text() == block, c.kept);
    EXPECT_EQ(value.Inspect().isEmptyRepresentation, !c.kept);
  }
  RefString original("abc");
  RefString shared(original);
  shared.Empty();
  EXPECT_TRUE(shared.Inspect().isEmptyRepresentation);
  EXPECT_STREQ(original.Text(), "abc");
}

TEST(RefString, AppendingItselfDoublesIt) {
  RefString value("abcdef");
  value.Append(value);
  EXPECT_STREQ(value.Text(), "abcdefabcdef");
  EXPECT_EQ(value.Length(), 12);
  value.Append(value.Text() + 9);  // a tail of itself, through a new block
  EXPECT_STREQ(value.Text(), "abcdefabcdefdef");
  RefString copy(value);
  copy.Append(value);
  EXPECT_EQ(copy.Length(), 30);
  std::string pattern;
  for (int k = 0; k < 500; ++k) pattern += static_cast<char>('a' + k % 26);
  RefString large(pattern.c_str());  // its old block goes back to the heap
  large.Append(large);
  EXPECT_EQ(large.Text(), pattern + pattern);
  value.AppendChar('!');
  value.Append(nullptr);
  value.Append("");
  EXPECT_STREQ(value.Text(), "abcdefabcdefdef!");
  EXPECT_EQ(RefString::LockDepth(), 0);
}

TEST(RefString, FormatFollowsItsOwnConversionRules) {
  struct Case { const char* format; const char* text; const char* expected; };
  const Case cases[] = {
      {"%%", nullptr, "%"},
      {"[%.3s]", "abcdef", "[abc]"},
      {"[%.10s]", "abcdef", "[abcdef]"},
      {"[%.s]", "abcdef", "[abcdef]"},   // nothing after the dot: no cut
      {"[%.hs]", "abcdef", "[]"},        // no digit after the dot: 0
      {"[%8s]", "abc", "[abc]"},         // width has no effect
      {"[%s]", "", "[]"},
      {"[%s]", nullptr, "[]"},
      {"a%nb%sc%d", "x", "ab%sc%d"},     // the rest stays literal
      {"a%5Sb%s", "x", "ab%s"},
      {"%q%5%", nullptr, "q%"},
      {"abc%", nullptr, "abc"},
      {"abc%-08.", nullptr, "abc"},
      {"%s\\tvkedit.exe %%1", "C:\\Tavik", "C:\\Tavik\\tvkedit.exe %1"},
  };
  RefString value;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    value.Format(c.format, c.text);
    EXPECT_STREQ(value.Text(), c.expected);
    EXPECT_EQ(value.Length(), static_cast<int>(std::string(c.expected).size()));
  }
  RefString inner("inner");
  value.Format("<%!>", &inner);
  EXPECT_STREQ(value.Text(), "<inner>");
  value.Format("%*d|%Lf", 5, 1.5);  // "*" takes no argument, "L" is dropped
  EXPECT_STREQ(value.Text(), "5|1.500000");
  const char* block = value.Text();
  value.Format("%d", 42);  // refilled in the block that Empty kept
  EXPECT_EQ(value.Text(), block);
  EXPECT_EQ(RefString::LockDepth(), 0);
}

TEST(RefString, NumericConversionsMatchTheCLibrary) {
  std::mt19937 random(20240611);
  RefString formatted;
  for (int round = 0; round < 3000; ++round) {
    Generated g;
    g.format = g.expected = "<";  // nothing may spill past the conversion
    AddNumericConversion(random, g);
    g.format += ">";
    g.expected += ">";
    SCOPED_TRACE(g.format);
    CallFormat(formatted, g.format.c_str(), g.args, 0);
    EXPECT_EQ(formatted.Text(), g.expected);
  }
}

TEST(RefString, TwoThreadsSharingBlocksLoseNoCount) {
  RefString first("shared by both threads");
  RefString second("and this one as well");
  RefString probe;
  long emptyCount = probe.Inspect().refCount;
  auto work = [&first, &second] {
    for (int k = 0; k < 50000; ++k) {
      RefString copy(k % 2 ? first : second);
      RefString other(copy);
      other.Append("!");  // a private block from the shared pool
      copy = other;
    }
  };
  std::thread a(work);
  std::thread b(work);
  a.join();
  b.join();
  EXPECT_EQ(first.Inspect().refCount, 1);
  EXPECT_EQ(second.Inspect().refCount, 1);
  EXPECT_EQ(probe.Inspect().refCount, emptyCount);
  EXPECT_STREQ(first.Text(), "shared by both threads");
  EXPECT_EQ(RefString::LockDepth(), 0);
}
