// Benchmarks of the rules engine over a whole 19-line game and of the game record text.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "client/board/model/board_model.h"
#include "client/board/model/record_text.h"

namespace {

constexpr int kGameMoves = 300;

// The moves of one 300-move 19-line game with many captures: random legal moves, taking an
// opponent group in atari whenever one can be taken, and a pass now and then.
const std::vector<int>& GameMoves() {
  static const std::vector<int> moves = [] {
    BoardModel board;
    std::mt19937 random(20261209);
    std::vector<int> list;
    while (board.MoveTop < kGameMoves) {
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
    for (int i = 1; i <= board.MoveTop; ++i) list.push_back(board.MoveList[i]);
    if (board.CaptureCount < 30) {
      std::cerr << "the benchmark game captures too little\n";
      std::abort();
    }
    return list;
  }();
  return moves;
}

// A cleared board holding the game in its buffer.
void LoadGame(BoardModel& board) {
  board.ResetPosition();
  for (const int point : GameMoves()) board.AppendToBuffer(point);
}

void BM_ReplayWholeGame(benchmark::State& state) {
  BoardModel board;
  for (auto _ : state) {
    LoadGame(board);
    board.PositionFromRecord();
    benchmark::DoNotOptimize(board.Board.data());
  }
  state.counters["captures"] = board.CaptureCount;
  state.counters["moves"] = board.MoveTop;
}
BENCHMARK(BM_ReplayWholeGame)->Unit(benchmark::kMicrosecond);

void BM_StepBackWholeGame(benchmark::State& state) {
  BoardModel board;
  for (auto _ : state) {
    state.PauseTiming();
    LoadGame(board);
    board.PositionFromRecord();
    state.ResumeTiming();
    board.ReplayToStart();
    benchmark::DoNotOptimize(board.Board.data());
  }
}
BENCHMARK(BM_StepBackWholeGame)->Unit(benchmark::kMicrosecond);

// The record of the game as the board window writes it.
std::string GameRecord() {
  BoardModel board;
  LoadGame(board);
  board.PositionFromRecord();
  RecordHeader header{"black", "white", "2026/12/09", "9:05:07", "TM[1800]", ""};
  return WriteSgfRecord(board, header);
}

void BM_WriteRecord(benchmark::State& state) {
  BoardModel board;
  LoadGame(board);
  board.PositionFromRecord();
  const RecordHeader header{"black", "white", "2026/12/09", "9:05:07", "TM[1800]", ""};
  for (auto _ : state) benchmark::DoNotOptimize(WriteSgfRecord(board, header));
}
BENCHMARK(BM_WriteRecord)->Unit(benchmark::kMicrosecond);

void BM_LoadKifuText(benchmark::State& state) {
  const std::string record = GameRecord();
  BoardModel board;
  for (auto _ : state) {
    LoadKifuText(board, record);
    benchmark::DoNotOptimize(board.Board.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(record.size()));
}
BENCHMARK(BM_LoadKifuText)->Unit(benchmark::kMicrosecond);

void BM_StrictReaderAndPosition(benchmark::State& state) {
  const std::string record = GameRecord();
  BoardModel board;
  for (auto _ : state) {
    board.ClearBoard();
    board.SetupCount = board.BufferLength = 0;
    ParseRecordHeader(board, record);
    ParseRecordMoves(board, record);
    board.PositionFromRecord();
    benchmark::DoNotOptimize(board.Board.data());
  }
}
BENCHMARK(BM_StrictReaderAndPosition)->Unit(benchmark::kMicrosecond);

}  // namespace
