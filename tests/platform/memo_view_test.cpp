// Tests of the read-only memo that follows a line list.
#include "platform/memo_view.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"

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
