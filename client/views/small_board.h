// client/views/small_board.h — drawing the small board of the record preview and the game-list
// board: the grid on the board picture, and the stones copied from the sprite sheet.
#pragma once
#include <QImage>

#include "client/board/model/board_rules.h"

// The grid lines and star squares of `size` lines (19, 13, anything else 9) on `board`.
void DrawSmallBoardGrid(QImage& board, int size);
// The stone of `point` from `sheet` onto `surface`, without a mask.
void DrawSmallBoardStone(QImage& surface, const QImage& sheet, int size, int point, bool black);
// Every entry of `entries[1..count]` whose point still holds a stone on `position` (setup entries,
// the first `setupCount`, are colour * 1000 + point; moves are bare points).
void DrawSmallBoardStones(QImage& surface, const QImage& sheet, int size, const int* entries,
                          int count, int setupCount, const PointArray& position);
