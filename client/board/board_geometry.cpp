// The three board geometries of the board window.
#include "client/board/board_geometry.h"

#include <algorithm>

namespace {

constexpr int kGridWidth = 21;

// Number styles by digits (1, 2, 3) and stone colour (black, white).
using NumberTable = std::array<std::array<NumberStyle, 2>, 3>;

constexpr NumberTable kNumbers19 = {{
    {{{13, -2, -8}, {13, -3, -8}}},
    {{{10, -5, -6}, {10, -6, -6}}},
    {{{8, -7, -4}, {8, -7, -4}}},
}};
constexpr NumberTable kNumbers13 = {{
    {{{20, -6, -13}, {20, -6, -13}}},
    {{{17, -11, -12}, {17, -12, -12}}},
    {{{13, -11, -8}, {13, -11, -8}}},
}};
constexpr NumberTable kNumbers9 = {{
    {{{28, -9, -18}, {28, -8, -18}}},
    {{{24, -15, -16}, {24, -15, -16}}},
    {{{13, -11, -8}, {13, -11, -8}}},
}};

// clang-format off
const BoardGeometry kGeometry19 = {
    .Size = 19, .CellSize = 20, .BoardOrigin = 9, .Sprite = 19,
    .StoneBefore = 9, .StoneAfter = 10, .EraseBefore = 10, .EraseAfter = 10,
    .HitBelow = 19, .HitAbove = 1, .TriangleF = 5, .TriangleE = 4, .TriangleD = 3,
    .StarPoints = {{{4, 4}, {4, 10}, {4, 16}, {10, 4}, {10, 10}, {10, 16}, {16, 4}, {16, 10},
                    {16, 16}}},
    .StarCount = 9,
    .BlackPictureX = 0, .BlackPictureY = 0, .WhitePictureX = 0, .WhitePictureY = 20,
    .BlackMaskX = 20, .BlackMaskY = 0, .WhiteMaskX = 20, .WhiteMaskY = 20,
    .BoardPicture = "GoBan19.bmp", .TurnedBoardPicture = "GoBan19WH.bmp",
    .StoneSheet = "GoStone.bmp"};

// Both colours share one mask on 13 lines.
const BoardGeometry kGeometry13 = {
    .Size = 13, .CellSize = 29, .BoardOrigin = 11, .Sprite = 29,
    .StoneBefore = 14, .StoneAfter = 15, .EraseBefore = 14, .EraseAfter = 15,
    .HitBelow = 26, .HitAbove = 3, .TriangleF = 8, .TriangleE = 6, .TriangleD = 4,
    .StarPoints = {{{4, 4}, {4, 10}, {10, 4}, {10, 10}, {7, 7}}},
    .StarCount = 5,
    .BlackPictureX = 0, .BlackPictureY = 0, .WhitePictureX = 0, .WhitePictureY = 30,
    .BlackMaskX = 30, .BlackMaskY = 0, .WhiteMaskX = 30, .WhiteMaskY = 0,
    .BoardPicture = "GoBan13.bmp", .TurnedBoardPicture = "GoBan13WH.bmp",
    .StoneSheet = "GoStone13.bmp"};

const BoardGeometry kGeometry9 = {
    .Size = 9, .CellSize = 42, .BoardOrigin = 18, .Sprite = 41,
    .StoneBefore = 20, .StoneAfter = 21, .EraseBefore = 21, .EraseAfter = 21,
    .HitBelow = 39, .HitAbove = 3, .TriangleF = 10, .TriangleE = 8, .TriangleD = 6,
    .StarPoints = {{{3, 3}, {3, 7}, {7, 3}, {7, 7}, {5, 5}}},
    .StarCount = 5,
    .BlackPictureX = 0, .BlackPictureY = 0, .WhitePictureX = 0, .WhitePictureY = 42,
    .BlackMaskX = 42, .BlackMaskY = 0, .WhiteMaskX = 42, .WhiteMaskY = 42,
    .BoardPicture = "GoBan9.bmp", .TurnedBoardPicture = "GoBan9WH.bmp",
    .StoneSheet = "GoStone9.bmp"};
// clang-format on

const NumberTable& NumbersOf(int size) {
  return size == 13 ? kNumbers13 : size == 9 ? kNumbers9 : kNumbers19;
}

}  // namespace

const BoardGeometry& GeometryOf(int size) {
  if (size == 13) return kGeometry13;
  if (size == 9) return kGeometry9;
  return kGeometry19;
}

int BoardGeometry::PointToPixelX(int point) const {
  return (point / kGridWidth) * CellSize - BoardOrigin;
}

int BoardGeometry::PointToPixelY(int point) const {
  return (point % kGridWidth) * CellSize - BoardOrigin;
}

int BoardGeometry::LineAt(int v) const {
  for (int i = 1; i <= Size; ++i) {
    if (i * CellSize - HitBelow < v && v <= i * CellSize + HitAbove) return i;
  }
  return 0;
}

int BoardGeometry::ClickedPoint(int clickX, int clickY) const {
  return ((BoardOrigin + clickX) / CellSize) * kGridWidth + (BoardOrigin + clickY) / CellSize;
}

PixelRect BoardGeometry::StoneRect(int x, int y) const {
  return {x - StoneBefore, y - StoneBefore, x + StoneAfter, y + StoneAfter};
}

PixelRect BoardGeometry::EraseRect(int x, int y) const {
  return {x - EraseBefore, y - EraseBefore, x + EraseAfter, y + EraseAfter};
}

PixelRect BoardGeometry::SheetRect(bool black, bool mask) const {
  int left = 0, top = 0;
  if (mask) {
    left = black ? BlackMaskX : WhiteMaskX;
    top = black ? BlackMaskY : WhiteMaskY;
  } else {
    left = black ? BlackPictureX : WhitePictureX;
    top = black ? BlackPictureY : WhitePictureY;
  }
  return {left, top, left + Sprite, top + Sprite};
}

NumberStyle BoardGeometry::NumberStyleFor(int digits, bool onBlack) const {
  const int row = std::clamp(digits, 1, 3) - 1;
  return NumbersOf(Size)[static_cast<std::size_t>(row)][onBlack ? 0 : 1];
}

void SnapClickToGrid(const BoardGeometry& geometry, int x, int y, int& clickX, int& clickY) {
  if (const int column = geometry.LineAt(x); column > 0) {
    clickX = column * geometry.CellSize - geometry.BoardOrigin;
  }
  if (const int row = geometry.LineAt(y); row > 0) {
    clickY = row * geometry.CellSize - geometry.BoardOrigin;
  }
}
