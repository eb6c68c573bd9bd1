// Benchmarks of the rules engine over a whole 19-line game and of the game record text.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/sample_game.h"
#include "client/board/model/board_model.h"
#include "client/board/model/record_text.h"

namespace {

void BM_ReplayWholeGame(benchmark::State& state) {
  BoardModel board;
  for (auto _ : state) {
    LoadSampleGame(board);
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
    LoadSampleGame(board);
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
  LoadSampleGame(board);
  board.PositionFromRecord();
  RecordHeader header{"black", "white", "2026/12/09", "9:05:07", "TM[1800]", ""};
  return WriteSgfRecord(board, header);
}

void BM_WriteRecord(benchmark::State& state) {
  BoardModel board;
  LoadSampleGame(board);
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
