// client/board/board_marks.h — the marks (symbols and letters) the board window draws on points:
// which mark a point shows, and the glyph, font size, text origin and ink of each mark code on
// each board size.
#pragma once
#include <optional>
#include <string>

// MarkCode: 1 "□", 2 "☆", 3 "○", 4 "▽", 5 "△", 6 "◇", 7 "×", 9 to 15 "Ａ" to "Ｇ". Code 8 and
// every other code has no glyph.
bool IsDrawableMark(int code);

// The code a point shows for its Marks value: a mark is drawn only while the point holds the
// colour (StoneCode) it was set on; 0 for none.
int ShownMarkCode(int markValue, int stoneCode);

enum class MarkInk { kWhite, kBlack, kBlue };

struct MarkStyle {
  std::string Glyph;   // cp932
  int FontSize = 0;    // points, at 96 pixels per inch
  int Dx = 0, Dy = 0;  // top left of the text from the intersection centre
  bool Bold = false;   // marks on empty points are bold
  MarkInk Ink = MarkInk::kBlue;
};

// How a mark of `code` is drawn on a point holding `stoneCode` on a board of `boardSize` lines
// (13 and 9 have their own offsets, anything else draws as 19); nothing for a code without glyph.
std::optional<MarkStyle> MarkStyleFor(int code, int boardSize, int stoneCode);
