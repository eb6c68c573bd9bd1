// Benchmark of the count of a finished 19-line game: black holds the left side, white the right,
// the border between them bends, both sides have territory marks and dead groups inside.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <utility>
#include <vector>

#include "client/board/model/board_model.h"
#include "client/board/model/territory_count.h"

namespace {

// The finished position, with the dead groups marked and a few territory marks laid.
TerritoryCount FinishedGame() {
  std::vector<std::pair<int, int>> stones;  // point, colour
  for (int row = 1; row <= 19; ++row) {
    // The border steps right and back every four rows.
    const int border = 9 + (row - 1) / 4 % 2;
    stones.emplace_back(MakePoint(border, row), kBlack);
    stones.emplace_back(MakePoint(border + 1, row), kWhite);
  }
  // Dead white groups in black's area, dead black groups in white's.
  for (const auto& [column, row] : {std::pair{3, 3}, {3, 4}, {4, 4}, {5, 15}, {6, 15}}) {
    stones.emplace_back(MakePoint(column, row), kWhite);
  }
  for (const auto& [column, row] : {std::pair{15, 3}, {16, 3}, {16, 16}, {17, 16}, {17, 17}}) {
    stones.emplace_back(MakePoint(column, row), kBlack);
  }
  BoardModel position;
  position.SetBoardSize(19);
  for (const auto& [point, colour] : stones) {
    ++position.SetupCount;
    position.MoveList[position.SetupCount] = point;
    position.SetupColours[position.SetupCount] = colour * 1000 + point;
  }
  position.BufferLength = position.SetupCount;
  position.ClearBoard();
  position.PositionFromRecord();

  TerritoryCount count;
  count.Begin(position, 65);
  for (const int point : {MakePoint(3, 3), MakePoint(5, 15), MakePoint(15, 3), MakePoint(16, 16)}) {
    count.Click(point, true);
  }
  count.Click(MakePoint(1, 1), true);
  count.Click(MakePoint(19, 19), false);
  return count;
}

void BM_CountTerritory(benchmark::State& state) {
  TerritoryCount count = FinishedGame();
  count.CountTerritory();
  // The black area holds 19 * 8.5 points or so; a count that finds far less has gone wrong.
  if (count.BlackTotal < 150 || count.WhiteTotal < 150) {
    std::cerr << "the benchmark position counts " << count.BlackTotal << " to " << count.WhiteTotal
              << "\n";
    std::abort();
  }
  state.counters["black"] = count.BlackTotal;
  state.counters["white"] = count.WhiteTotal;
  count.RestoreBeforeCount();
  // Each round counts and restores the board before the count ("再計算").
  for (auto _ : state) {
    count.CountTerritory();
    benchmark::DoNotOptimize(count.Board.data());
    count.RestoreBeforeCount();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CountTerritory)->Unit(benchmark::kMicrosecond);

}  // namespace
