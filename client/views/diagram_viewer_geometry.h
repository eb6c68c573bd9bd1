// client/views/diagram_viewer_geometry.h — where the diagram viewer draws for 19, 13 and 9 lines:
// its small grid on the one board picture, star squares, stone sheets (white picture first, then
// black, no masks), stone squares, and the fonts and places of move numbers and marks.
//
// Pixels are those of the viewer's board picture, whose top left is the window's. Rectangles
// exclude their right and bottom edges.
#pragma once
#include <array>
#include <string_view>

// The board picture of every size, and its size: the window's width and the height above the
// caption panel and the replay bar.
inline constexpr std::string_view kViewerBoardPicture = "ssGoBan.bmp";
inline constexpr int kViewerBoardWidth = 231;
inline constexpr int kViewerBoardHeight = 232;

struct ViewerGeometry {
  int Size;         // lines
  int CellSize;     // pixel pitch
  int BoardOrigin;  // line i lies at i * CellSize - BoardOrigin
  // Star points: top left corners of 3 x 3 filled squares.
  std::array<std::array<int, 2>, 9> StarCorners;
  int StarCount;
  std::string_view StoneSheet;  // below the folder bmp
  int Sprite;                   // side of a stone picture in the sheet
  int WhiteLeft, BlackLeft;     // left edge of each picture in the sheet (both at the top)
  // Stone and erase square: centre - StoneBefore .. centre + StoneAfter on each axis.
  int StoneBefore, StoneAfter;

  int FirstLine() const { return CellSize - BoardOrigin; }
  int LastLine() const { return Size * CellSize - BoardOrigin; }
  int PointToPixelX(int point) const { return (point / 21) * CellSize - BoardOrigin; }
  int PointToPixelY(int point) const { return (point % 21) * CellSize - BoardOrigin; }
  // The sheet's size: both pictures side by side with a column between them.
  int SheetWidth() const { return BlackLeft + Sprite; }
  int SheetHeight() const { return Sprite; }
};

// clang-format off
inline constexpr ViewerGeometry kViewerGeometry19 = {
    .Size = 19, .CellSize = 12, .BoardOrigin = 5,
    .StarCorners = {{{42, 42}, {42, 114}, {42, 186}, {114, 42}, {114, 114}, {114, 186},
                     {186, 42}, {186, 114}, {186, 186}}},
    .StarCount = 9, .StoneSheet = "ssGoStone.bmp", .Sprite = 12, .WhiteLeft = 0, .BlackLeft = 13,
    .StoneBefore = 5, .StoneAfter = 7};
inline constexpr ViewerGeometry kViewerGeometry13 = {
    .Size = 13, .CellSize = 17, .BoardOrigin = 4,
    .StarCorners = {{{63, 63}, {63, 165}, {165, 63}, {165, 165}, {114, 114}}},
    .StarCount = 5, .StoneSheet = "ssGoStone13.bmp", .Sprite = 16, .WhiteLeft = 0,
    .BlackLeft = 17, .StoneBefore = 8, .StoneAfter = 8};
inline constexpr ViewerGeometry kViewerGeometry9 = {
    .Size = 9, .CellSize = 26, .BoardOrigin = 15,
    .StarCorners = {{{62, 62}, {62, 166}, {166, 62}, {166, 166}, {114, 114}}},
    .StarCount = 5, .StoneSheet = "ssGoStone9.bmp", .Sprite = 19, .WhiteLeft = 0,
    .BlackLeft = 20, .StoneBefore = 9, .StoneAfter = 10};
// clang-format on

// The geometry of 13 or 9 lines; anything else gets the 19-line geometry.
constexpr const ViewerGeometry& ViewerGeometryOf(int size) {
  return size == 13 ? kViewerGeometry13 : size == 9 ? kViewerGeometry9 : kViewerGeometry19;
}

// Font size (points) and the top left of the text relative to the intersection centre.
struct ViewerTextPlace {
  int FontSize;
  int Dx, Dy;
};

// A move number of one or two digits (as shown) on a stone.
constexpr ViewerTextPlace ViewerNumberPlace(int size, int digits, bool onBlack) {
  if (digits <= 1) {
    if (size == 13) return {10, -2, -6};
    if (size == 9) return {13, onBlack ? -2 : -3, -8};
    return {9, -2, -5};
  }
  if (size == 9) return {10, onBlack ? -5 : -6, -6};
  return {8, -5, -4};
}

// A mark's glyph on a point that holds a stone or is empty.
constexpr ViewerTextPlace ViewerMarkPlace(int size, std::string_view glyph, bool onStone) {
  int addend = 0, dx = 0, dy = -3;
  if (onStone) {
    dx -= 4;
  } else {
    dx -= 5;
    addend = size == 13 ? 2 : 1;
    dy -= addend;
  }
  int font = addend;
  if (size == 9) {
    font += 11;
    dy -= 4;
    dx -= 2;
  } else if (size == 13) {
    font += 9;
    dy -= 2;
    dx -= 1;
  } else {
    font += 8;
  }
  // Most glyphs stand one pixel right of the origin; these keep it or move further.
  const bool symbol =
      glyph == "□" || glyph == "☆" || glyph == "▽" || glyph == "△" || glyph == "◇" || glyph == "×";
  const bool keeps = symbol || (glyph == "○" && size != 19) || (glyph == "Ｃ" && size != 9) ||
                     ((glyph == "Ｄ" || glyph == "Ｇ") && size == 13);
  const bool further = (glyph == "Ｅ" && size == 9) || glyph == "Ｆ";
  const int right = keeps ? 0 : further ? 2 : 1;
  // Some glyphs stand a pixel higher, the down triangle a pixel lower on 13 lines.
  const bool higher =
      ((glyph == "□" || glyph == "☆" || glyph == "◇" || glyph == "Ｄ" || glyph == "Ｇ") &&
       size == 19) ||
      glyph == "△" || glyph == "Ａ";
  const bool lower = glyph == "▽" && size == 13;
  const int down = higher ? -1 : lower ? 1 : 0;
  return {font, dx + right, dy + down};
}
