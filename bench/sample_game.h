// bench/sample_game.h — the 300-move 19-line game the board benchmarks replay.
#pragma once
#include <cstdlib>
#include <iostream>
#include <random>
#include <vector>

#include "client/board/model/board_model.h"

inline constexpr int kSampleGameMoves = 300;

// The moves of one 300-move game with many captures: random legal moves, taking an opponent
// group in atari whenever one can be taken, and a pass now and then.
inline const std::vector<int>& SampleGameMoves() {
  static const std::vector<int> moves = [] {
    BoardModel board;
    std::mt19937 random(20261209);
    while (board.MoveTop < kSampleGameMoves) {
      const int mover = board.NextMoveIsBlack() ? kBlack : kWhite;
      std::vector<int> legal, capturing;
      for (int p = 0; p < kPointCount; ++p) {
        if (!board.IsPlayablePoint(p)) continue;
        legal.push_back(p);
        for (const int step : kNeighbourSteps) {
          if (board.Board[p + step] == OtherColour(mover) && board.Liberties[p + step] == 1) {
            capturing.push_back(p);
            break;
          }
        }
      }
      if (legal.empty() || random() % 40 == 0) {
        board.PlacePass();
      } else {
        board.PendingPoint = !capturing.empty() && random() % 4 != 0
                                 ? capturing[random() % capturing.size()]
                                 : legal[random() % legal.size()];
        mover == kBlack ? board.PlaceBlackStone() : board.PlaceWhiteStone();
      }
    }
    if (board.CaptureCount < 30) {
      std::cerr << "the benchmark game captures too little\n";
      std::abort();
    }
    return std::vector<int>(board.MoveList.begin() + 1, board.MoveList.begin() + board.MoveTop + 1);
  }();
  return moves;
}

// A cleared board holding the sample game in its buffer.
inline void LoadSampleGame(BoardModel& board) {
  board.ResetPosition();
  for (const int point : SampleGameMoves()) board.AppendToBuffer(point);
}
