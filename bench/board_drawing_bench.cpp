// Benchmarks of the board window's drawing: a full repaint of a 300-move 19-line game with every
// number shown, replaying the game stone by stone onto the surface, and turning the board.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <vector>

#include "bench/canvas_board.h"
#include "bench/sample_game.h"
#include "client/board/model/board_model.h"
#include "platform/fonts.h"

namespace {

// The window's FormPaint: the board, then every stone still on it with its number.
void BM_RepaintWholeGameWithNumbers(benchmark::State& state) {
  BoardCanvas canvas;
  PrepareCanvas(canvas);
  BoardModel board;
  LoadSampleGame(board);
  board.PositionFromRecord();
  board.NumbersOn = true;
  CanvasListener listener(canvas, board);
  board.SetListener(&listener);
  for (auto _ : state) {
    canvas.RepaintBoardBitmap();
    board.DrawSetupStones();
    board.DrawPlayedStones();
    benchmark::DoNotOptimize(canvas.Surface.constBits());
  }
  board.SetListener(nullptr);
}
BENCHMARK(BM_RepaintWholeGameWithNumbers)->Unit(benchmark::kMicrosecond);

// Loading a record shows it move by move: each stone drawn, captures erased, numbers moved on.
void BM_ReplayWholeGameOntoTheSurface(benchmark::State& state) {
  BoardCanvas canvas;
  PrepareCanvas(canvas);
  BoardModel board;
  CanvasListener listener(canvas, board);
  board.SetListener(&listener);
  for (auto _ : state) {
    LoadSampleGame(board);
    canvas.RepaintBoardBitmap();
    board.PositionFromRecord();
    benchmark::DoNotOptimize(canvas.Surface.constBits());
  }
  board.SetListener(nullptr);
}
BENCHMARK(BM_ReplayWholeGameOntoTheSurface)->Unit(benchmark::kMicrosecond);

// The turn button: every move turned, the game rebuilt, and the window repainted.
void BM_TurnTheBoard(benchmark::State& state) {
  BoardCanvas canvas;
  PrepareCanvas(canvas);
  BoardModel board;
  LoadSampleGame(board);
  CanvasListener listener(canvas, board);
  board.SetListener(&listener);
  board.PositionFromRecord();
  for (auto _ : state) {
    board.TurnBoardPosition();
    canvas.RepaintBoardBitmap();
    board.DrawSetupStones();
    board.DrawPlayedStones();
    benchmark::DoNotOptimize(canvas.Surface.constBits());
  }
  board.SetListener(nullptr);
}
BENCHMARK(BM_TurnTheBoard)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  InstallJapaneseFontSubstitutes();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
