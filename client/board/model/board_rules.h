// client/board/model/board_rules.h — points of the board grid, stone codes, and the flood fills and
// capture-only placement that every board of the client shares.
//
// A board is a 21 x 21 grid of PointNumbers (column * 21 + row, 0..440). Columns and rows 1 to the
// board size (19, 13 or 9) are the playing area; everything else is the border ring, which holds
// -50, so every neighbour of a playing point lies inside the arrays and needs no bound test.
#pragma once
#include <array>

constexpr int kGridWidth = 21;
constexpr int kPointCount = kGridWidth * kGridWidth;

// A board-like array indexed by PointNumber.
using PointArray = std::array<int, kPointCount>;

// StoneCode. The other colour of a stone is its code XOR 4.
constexpr int kEmpty = 0;
constexpr int kBlack = 1;
constexpr int kWhite = 5;
constexpr int kOutside = -50;
constexpr int OtherColour(int colour) { return colour ^ 4; }
constexpr bool IsStone(int code) { return code == kBlack || code == kWhite; }

// One-turn marks that GroupIds holds on an empty point.
constexpr int kKoMark = 600;          // the point just taken in a ko
constexpr int kForbiddenMark = 1501;  // the player to move would have no liberty there

// Neighbour offsets in the one order every loop of the rules walks them: next column, previous
// column, next row, previous row.
constexpr std::array<int, 4> kNeighbourSteps = {kGridWidth, -kGridWidth, 1, -1};

constexpr bool IsBoardSize(int size) { return size == 19 || size == 13 || size == 9; }
constexpr int PointColumn(int point) { return point / kGridWidth; }
constexpr int PointRow(int point) { return point % kGridWidth; }
constexpr int MakePoint(int column, int row) { return column * kGridWidth + row; }
// The largest playing area (19 lines) runs from its first point, 1-1, to its last, 19-19: every
// point inside the ring that can hold a stone or a mark on any board.
constexpr int kLargestBoardSize = 19;
constexpr int kFirstPlayingPoint = MakePoint(1, 1);
constexpr int kLastPlayingPoint = MakePoint(kLargestBoardSize, kLargestBoardSize);

// True for a point of the playing area of a board of `size` lines (column and row 1..size).
// Every point that comes from outside is tested with this before it indexes an array.
constexpr bool IsPlayingPoint(int point, int size) {
  if (point <= 0 || point >= kPointCount) return false;
  const int column = PointColumn(point), row = PointRow(point);
  return column >= 1 && column <= size && row >= 1 && row <= size;
}

// The point seen from the other side of the board (turned by 180 degrees). Only playing points
// turn; a pass (0) and anything else stays as it is.
constexpr int TurnPoint(int point, int size) {
  return IsPlayingPoint(point, size) ? size * 22 + 22 - point : point;
}

// 0 on the playing area of `size`, -50 on the ring.
void FillPlayingArea(PointArray& points, int size);

// The group of the stone on `point` has no empty neighbour. Depth-first; marks every stone it
// reaches in `visited` and returns at the first liberty it sees, so the caller either removes the
// group (RemoveVisitedGroup) or clears the marks (ClearVisited).
bool GroupHasNoLiberty(const PointArray& board, PointArray& visited, int point);

// Clears the visited marks connected to `point`.
void ClearVisited(PointArray& visited, int point);

// Walks the stones that GroupHasNoLiberty marked, starting at `point`: calls `take(p)` on each,
// which must empty the point on its board, and clears its visited mark.
template <typename Take>
void RemoveVisitedGroup(PointArray& visited, int point, Take&& take) {
  take(point);
  visited[point] = 0;
  for (const int step : kNeighbourSteps) {
    if (visited[point + step] != 0) RemoveVisitedGroup(visited, point + step, take);
  }
}

// The reduced rules of the previews and of re-basing a record: `colour` is put on `point`
// (replacing whatever stands there) and every neighbouring group of the other colour that is left
// without a liberty is removed. No ko, no forbidden points, no prisoners, no log.
void PlaceStoneCapturing(PointArray& board, PointArray& visited, int point, int colour);
