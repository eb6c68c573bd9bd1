// Tests of the memo-style line list.
#include "platform/line_list.h"

#include <gtest/gtest.h>

TEST(LineList, TextIsEveryLineFollowedByCrLf) {
  LineList list;
  EXPECT_EQ(list.Text(), "");
  list.Add("alice");
  list.Add("");
  list.Add("bob");
  EXPECT_EQ(list.Text(), "alice\r\n\r\nbob\r\n");
}

TEST(LineList, SettingTextSplitsAtEveryKindOfLineEnd) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},  // a final line end makes no empty line
      {"a\r\nb", {"a", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\n\rb", {"a", "", "b"}},
  };
  for (const auto& c : cases) {
    LineList list;
    list.SetText(c.text);
    EXPECT_EQ(list.Lines(), c.lines) << c.text;
  }
}

TEST(LineList, SearchIsExactAndCaseSensitive) {
  LineList list;
  list.SetText("jimbob\r\nBob\r\nbob\r\n");
  EXPECT_EQ(list.IndexOf("bob"), 2);
  EXPECT_EQ(list.IndexOf("Bob"), 1);
  EXPECT_EQ(list.IndexOf("bo"), -1);
  EXPECT_EQ(list.IndexOf(""), -1);
}

TEST(LineList, OutOfRangeEditsChangeNothing) {
  LineList list;
  list.SetText("a\r\nb\r\n");
  list.Delete(-1);
  list.Delete(2);
  list.Set(5, "x");
  EXPECT_EQ(list.Text(), "a\r\nb\r\n");
  EXPECT_EQ(list.Line(7), "");
  list.Insert(9, "c");  // past the end appends
  list.Insert(0, "z");
  list.Delete(1);
  EXPECT_EQ(list.Text(), "z\r\nb\r\nc\r\n");
}

TEST(LineList, ListenerHearsAppendsAndResets) {
  LineList list;
  std::vector<LineList::Change> heard;
  list.SetListener([&](LineList::Change change) { heard.push_back(change); });
  list.Add("a");
  list.Delete(0);
  list.SetText("x\r\ny");
  EXPECT_EQ(heard, (std::vector<LineList::Change>{LineList::Change::Appended,
                                                  LineList::Change::Reset,
                                                  LineList::Change::Reset}));
}
