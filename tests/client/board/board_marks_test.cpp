// Tests of the board window's marks: which code a point shows, and each glyph's font size, text
// origin and ink by board size and by what stands on the point.
#include "client/board/board_marks.h"

#include <gtest/gtest.h>

#include "client/board/model/board_rules.h"
#include "platform/cp932.h"

TEST(BoardMarks, AMarkShowsOnlyOnTheColourItWasSetOnAndOnlyWithAGlyph) {
  struct Case {
    int mark;
    int stone;
    int shown;
  } cases[] = {
      {3, kEmpty, 3},     {3, kBlack, 0},    {1003, kBlack, 3}, {1003, kEmpty, 0},
      {5015, kWhite, 15}, {5001, kBlack, 0}, {8, kEmpty, 0},    {16, kEmpty, 0},
      {0, kEmpty, 0},     {-5, kEmpty, 0},   {1999, kBlack, 0}, {9, kOutside, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShownMarkCode(c.mark, c.stone), c.shown) << c.mark << " on " << c.stone;
  }
}

TEST(BoardMarks, GlyphSizeOriginAndInkPerBoardSize) {
  struct Case {
    int code, size, stone;
    const char* glyph;
    int font, dx, dy;
    bool bold;
    MarkInk ink;
  } cases[] = {
      {1, 19, kEmpty, "□", 12, -7, -7, true, MarkInk::kBlue},
      {2, 19, kEmpty, "☆", 12, -7, -8, true, MarkInk::kBlue},
      {7, 19, kEmpty, "×", 13, -8, -7, true, MarkInk::kBlue},
      {9, 19, kEmpty, "Ａ", 13, -6, -8, true, MarkInk::kBlue},
      {10, 19, kBlack, "Ｂ", 12, -4, -7, false, MarkInk::kWhite},
      {6, 19, kWhite, "◇", 11, -6, -7, false, MarkInk::kBlack},
      {3, 13, kEmpty, "○", 15, -9, -9, true, MarkInk::kBlue},
      {14, 13, kEmpty, "Ｆ", 16, -6, -10, true, MarkInk::kBlue},
      {5, 13, kWhite, "△", 11, -6, -8, false, MarkInk::kBlack},
      {4, 9, kEmpty, "▽", 21, -13, -13, true, MarkInk::kBlue},
      {7, 9, kEmpty, "×", 21, -14, -14, true, MarkInk::kBlue},
      {14, 9, kWhite, "Ｆ", 20, -8, -15, false, MarkInk::kBlack},
      {14, 9, kBlack, "Ｆ", 20, -9, -15, false, MarkInk::kWhite},
      {13, 9, kWhite, "Ｅ", 20, -9, -15, false, MarkInk::kBlack},
      {15, 9, kBlack, "Ｇ", 20, -10, -15, false, MarkInk::kWhite},
      {11, 9, kEmpty, "Ｃ", 21, -11, -16, true, MarkInk::kBlue},
  };
  for (const auto& c : cases) {
    const auto style = MarkStyleFor(c.code, c.size, c.stone);
    ASSERT_TRUE(style.has_value()) << c.code;
    const std::string where = std::to_string(c.code) + " on " + std::to_string(c.size) + " lines";
    EXPECT_EQ(style->Glyph, J(c.glyph)) << where;
    EXPECT_EQ(style->FontSize, c.font) << where;
    EXPECT_EQ(style->Dx, c.dx) << where;
    EXPECT_EQ(style->Dy, c.dy) << where;
    EXPECT_EQ(style->Bold, c.bold) << where;
    EXPECT_EQ(style->Ink, c.ink) << where;
  }
  for (const int code : {0, 8, 16, -1, 1003, 100000}) {
    EXPECT_FALSE(MarkStyleFor(code, 19, kEmpty).has_value()) << code;
  }
}
