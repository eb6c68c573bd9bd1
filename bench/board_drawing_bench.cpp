// Benchmarks of the board window's drawing: a full repaint of a 300-move 19-line game with every
// number shown, replaying the game stone by stone onto the surface, and turning the board.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <vector>

#include "bench/sample_game.h"
#include "client/board/board_canvas.h"
#include "client/board/model/board_model.h"
#include "platform/fonts.h"

namespace {

// Shows the position on a canvas the way the board window does.
class CanvasListener : public BoardListener {
 public:
  explicit CanvasListener(BoardCanvas& canvas, const BoardModel& board)
      : canvas_(canvas), board_(board) {}
  void DrawStone(int point, bool black) override {
    canvas_.DrawStone(Geometry().PointToPixelX(point), Geometry().PointToPixelY(point), black);
  }
  void EraseStone(int point) override {
    canvas_.EraseStone(Geometry().PointToPixelX(point), Geometry().PointToPixelY(point));
  }
  void DrawMoveNumber(int number, int moveIndex) override {
    const int point = board_.MoveList[moveIndex];
    if (!IsStone(board_.Board[point])) return;
    canvas_.DrawMoveNumber(number, Geometry().PointToPixelX(point), Geometry().PointToPixelY(point),
                           board_.Board[point] == kBlack);
  }

 private:
  const BoardGeometry& Geometry() const { return GeometryOf(board_.BoardSize); }
  BoardCanvas& canvas_;
  const BoardModel& board_;
};

// A canvas of 19 lines with a plain board and a sheet of round stones.
void PrepareCanvas(BoardCanvas& canvas) {
  const BoardGeometry& g = GeometryOf(19);
  canvas.SetGeometry(g);
  QImage board(kBoardPictureSide, kBoardPictureSide, QImage::Format_RGB32);
  board.fill(QColor(220, 180, 110));
  canvas.SetBoardPicture(board);
  QImage sheet(40, 40, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  {
    QPainter painter(&sheet);
    painter.fillRect(20, 0, 20, 40, Qt::black);
    for (const bool black : {true, false}) {
      const PixelRect picture = g.SheetRect(black, false);
      const PixelRect mask = g.SheetRect(black, true);
      painter.setPen(Qt::NoPen);
      painter.setBrush(black ? QColor(20, 20, 20) : QColor(235, 235, 235));
      painter.drawEllipse(picture.Left, picture.Top, g.Sprite, g.Sprite);
      painter.setBrush(Qt::white);
      painter.drawEllipse(mask.Left, mask.Top, g.Sprite, g.Sprite);
    }
  }
  canvas.SetStoneSheet(sheet);
  canvas.ResizeSurface(kBoardPictureSide + 1, kBoardPictureSide + 1);
  canvas.DrawBoardGrid();
}

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
