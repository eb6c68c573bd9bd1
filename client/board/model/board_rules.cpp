// Flood fills and the capture-only placement shared by every board.
#include "client/board/model/board_rules.h"

void FillPlayingArea(PointArray& points, int size) {
  for (int p = 0; p < kPointCount; ++p) points[p] = IsPlayingPoint(p, size) ? kEmpty : kOutside;
}

bool GroupHasNoLiberty(const PointArray& board, PointArray& visited, int point) {
  visited[point] = 1;
  for (const int step : kNeighbourSteps) {
    if (board[point + step] == kEmpty) return false;
  }
  const int colour = board[point];
  for (const int step : kNeighbourSteps) {
    const int n = point + step;
    if (visited[n] == 0 && board[n] == colour && !GroupHasNoLiberty(board, visited, n)) {
      return false;
    }
  }
  return true;
}

void ClearVisited(PointArray& visited, int point) {
  visited[point] = 0;
  for (const int step : kNeighbourSteps) {
    if (visited[point + step] > 0) ClearVisited(visited, point + step);
  }
}

void PlaceStoneCapturing(PointArray& board, PointArray& visited, int point, int colour) {
  board[point] = colour;
  const int other = OtherColour(colour);
  for (const int step : kNeighbourSteps) {
    const int n = point + step;
    if (board[n] != other) continue;
    if (GroupHasNoLiberty(board, visited, n)) {
      RemoveVisitedGroup(visited, n, [&board](int p) { board[p] = kEmpty; });
    } else {
      ClearVisited(visited, n);
    }
  }
}
