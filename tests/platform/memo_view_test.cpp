// Tests of the read-only memo that follows a line list.
#include "platform/memo_view.h"

#include <gtest/gtest.h>

#include <QTextBlock>

#include "platform/cp932.h"
#include "platform/qt_text.h"
#include "tests/qt_wait.h"

TEST(MemoView, FollowsAppendsAndResetsOfItsList) {
  LineList lines;
  lines.Add(J("対局"));
  MemoView memo;
  memo.Bind(&lines);
  EXPECT_EQ(memo.ShownText(), J("対局"));
  lines.Add("bob");
  EXPECT_EQ(memo.ShownText(), J("対局") + "\r\nbob");
  lines.Delete(0);
  EXPECT_EQ(memo.ShownText(), "bob");
  lines.Clear();
  EXPECT_EQ(memo.ShownText(), "");
  EXPECT_TRUE(memo.isReadOnly());
}

TEST(MemoView, AListThatOutlivesItsViewIsLeftUnbound) {
  LineList lines;
  {
    MemoView memo;
    memo.Bind(&lines);
  }
  lines.Add("after the view is gone");  // must not reach the destroyed view
  EXPECT_EQ(lines.Count(), 1);
}

// A bounded view shows the newest lines, a few appended ones or a burst larger than the view,
// and catches up by itself (a view that only caught up when asked would never show a line).
TEST(MemoView, ABoundedViewShowsOnlyTheNewestLinesOnceItCatchesUp) {
  LineList lines;
  for (const char* line : {"a", "b", "c"}) lines.Add(line);
  MemoView memo;
  memo.Bind(&lines);
  memo.SetMaximumLines(3);
  const auto last_shown = [&] { return FromQt(memo.document()->lastBlock().text()); };
  lines.Add("d");
  ASSERT_TRUE(WaitFor([&] { return last_shown() == "d"; }));
  EXPECT_EQ(memo.ShownText(), "b\r\nc\r\nd");
  for (const char* line : {"e", "f", "g", "h"}) lines.Add(line);
  ASSERT_TRUE(WaitFor([&] { return last_shown() == "h"; }));
  EXPECT_EQ(memo.ShownText(), "f\r\ng\r\nh");
  EXPECT_EQ(lines.Count(), 8);  // the list keeps every line
  lines.Add("i");
  lines.Delete(0);  // a reset in between shows the list as it stands
  EXPECT_EQ(memo.ShownText(), "g\r\nh\r\ni");
}
