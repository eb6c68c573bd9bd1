// Tests of the lobby's and the message board's texts.
#include "client/connection/model/lobby_texts.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"

TEST(SplitListLines, EveryEntryNeedsItsLineEnd) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(SplitListLines(""), Lines{});
  EXPECT_EQ(SplitListLines("\r\n"), Lines{""});
  EXPECT_EQ(SplitListLines("a\r\nb\r\n"), (Lines{"a", "b"}));
  // The second entry has no closing CR LF: only the first is shown.
  EXPECT_EQ(SplitListLines("a\r\nb"), Lines{"a"});
  EXPECT_EQ(SplitListLines("a\nb\r\n"), Lines{"a\nb"});
  EXPECT_EQ(SplitListLines(J("[ 1 ]\r\n本因坊\r\nソ連 End\r\n")),
            (Lines{"[ 1 ]", J("本因坊"), J("ソ連 End")}));
}

TEST(WaitListHint, PicksTheKthBracketedSegment) {
  const std::string hints = "[0][1][0][3]";
  EXPECT_EQ(WaitListHint(hints, 1), " 0 ");
  EXPECT_EQ(WaitListHint(hints, 2), " 1 ");
  EXPECT_EQ(WaitListHint(hints, 4), " 3 ");
  EXPECT_EQ(WaitListHint(hints, 5), "");
  EXPECT_EQ(WaitListHint(hints, 0), "");
  EXPECT_EQ(WaitListHint("", 1), "");
  EXPECT_EQ(WaitListHint("[12]", 1), " 12 ");
  // A segment without its "]" never matches, even when a later one would.
  EXPECT_EQ(WaitListHint("[2", 1), "");
  EXPECT_EQ(WaitListHint("[2", 2), "");
}

TEST(WatchGameNumber, ReadsOnlyTheGameNumberLine) {
  EXPECT_EQ(WatchGameNumber("[ 2 ]"), 2);
  EXPECT_EQ(WatchGameNumber("[ 5 ]"), 5);
  EXPECT_EQ(WatchGameNumber(J("本因坊")), 0);
  EXPECT_EQ(WatchGameNumber("[ 2"), 0);
  EXPECT_EQ(WatchGameNumber("2 ]"), 0);
  EXPECT_EQ(WatchGameNumber("[  ]"), 0);
  // Full-width digits are not a decimal number.
  EXPECT_EQ(WatchGameNumber(J("[ ２ ]")), 0);
}

TEST(GameGroupStart, SnapsToTheFirstLineOfItsGroup) {
  const int expected[] = {0, 0, 0, 3, 3, 3, 6};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(GameGroupStart(i), expected[i]) << i;
  EXPECT_EQ(GameGroupStart(-1), 0);
}

TEST(NigiriText, CountWordAndStones) {
  EXPECT_EQ(NigiriText(3), J("握りの結果：石3個、半です。○○○"));
  EXPECT_EQ(NigiriText(8), J("握りの結果：石8個、丁です。○○○○○○○○"));
  EXPECT_EQ(NigiriText(1), J("握りの結果：石1個、半です。○"));
}

TEST(IsAcceptableLoginName, RefusesTagBracketsAndControlsButNotTrailBytes) {
  for (const char* name : {"Taro", "55555", "a b", ""})
    EXPECT_TRUE(IsAcceptableLoginName(name)) << name;
  // ゾ is 83 5D and ソ is 83 5C: their trail bytes are "]" and "\".
  EXPECT_TRUE(IsAcceptableLoginName(J("ゾロ")));
  EXPECT_TRUE(IsAcceptableLoginName(J("ソ連")));
  for (const char* name : {"a<b", "a>b", "[x", "y]", "tab\tname", "line\r\n", "\x7F"}) {
    EXPECT_FALSE(IsAcceptableLoginName(name)) << name;
  }
  EXPECT_FALSE(IsAcceptableLoginName(J("ゾ]")));
}

TEST(BoardPostText, EscapesAndDropsTheLeftOverLineBreak) {
  EXPECT_EQ(BoardPostText("a>>b"), "a><b");
  EXPECT_EQ(BoardPostText("\r\nhello"), "hello");
  EXPECT_EQ(BoardPostText("\r\n\r\nhello"), "\r\nhello");
  // Three in a row become >, <, >; a post can neither open a tag nor lose its last character.
  EXPECT_EQ(BoardPostText(">>>").find(">>"), std::string::npos);
  EXPECT_EQ(BoardPostText("<<QuellName=x").find("<<"), std::string::npos);
  const std::string ends_with_gt = BoardPostText("smile >");
  EXPECT_NE(ends_with_gt.back(), '>');
  EXPECT_EQ(BoardLine(J("本因坊"), "hi"), J("[ 本因坊 ]：hi"));
}
