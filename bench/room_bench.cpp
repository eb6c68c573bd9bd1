// Benchmarks of the analysis room on a member's board: one received stone that captures, drawn;
// and a member entering a room whose record holds a 300-move game, from the snapshot's text to
// the drawn board.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <chrono>
#include <string>

#include "bench/canvas_board.h"
#include "bench/sample_game.h"
#include "client/board/model/record_text.h"
#include "client/board/model/room_input.h"
#include "client/board/model/room_snapshot.h"
#include "platform/fonts.h"

namespace {

// The room's drawing beyond the position's listener, and the window's repaint.
class CanvasRoomView : public RoomInputView {
 public:
  CanvasRoomView(BoardCanvas& canvas, BoardModel& board, BoardListener& listener)
      : canvas_(canvas), board_(board), listener_(listener) {}
  void HoldDrawing(bool hold) override { board_.SetListener(hold ? nullptr : &listener_); }
  void DrawRoomStone(int point, bool black) override {
    const BoardGeometry& g = GeometryOf(board_.BoardSize);
    canvas_.DrawStone(g.PointToPixelX(point), g.PointToPixelY(point), black);
  }
  void RepaintRoomBoard() override {
    canvas_.RepaintBoardBitmap();
    board_.DrawSetupStones();
    board_.DrawPlayedStones();
  }

 private:
  BoardCanvas& canvas_;
  BoardModel& board_;
  BoardListener& listener_;
};

// The move of the sample game that captures the most stones, and its index.
int BiggestCapture() {
  BoardModel board;
  int best = 0, bestCount = 0;
  for (const int point : SampleGameMoves()) {
    const int before = board.CaptureCount;
    board.PendingPoint = point;
    if (point == 0) {
      board.PlacePass();
    } else if (board.NextMoveIsBlack()) {
      board.PlaceBlackStone();
    } else {
      board.PlaceWhiteStone();
    }
    if (board.CaptureCount - before > bestCount) {
      bestCount = board.CaptureCount - before;
      best = board.MoveTop;
    }
  }
  return best;
}

void BM_MemberAppliesCapturingStone(benchmark::State& state) {
  BoardCanvas canvas;
  PrepareCanvas(canvas);
  BoardModel board;
  CanvasListener listener(canvas, board);
  CanvasRoomView view(canvas, board, listener);
  RoomBoard member(board, view);
  const int index = BiggestCapture();
  board.ResetPosition();
  const std::vector<int>& moves = SampleGameMoves();
  for (int i = 0; i < index - 1; ++i) board.AppendToBuffer(moves[i]);
  board.PositionFromRecord();
  board.SetListener(&listener);
  view.RepaintRoomBoard();
  const bool black = board.NextMoveIsBlack();
  const std::string message = "<<DiscussInput>><<Value=" + std::to_string(moves[index - 1]) +
                              ">><<Type=" + (black ? "1" : "2") + ">>";
  const int capturedBefore = board.BlackCaptured + board.WhiteCaptured;
  int captured = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const bool applied = member.ApplyDiscussInput(message);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    if (!applied) state.SkipWithError("the stone was not applied");
    captured = board.BlackCaptured + board.WhiteCaptured - capturedBefore;
    board.ReplayStepBack();
  }
  state.counters["captured"] = captured;
  board.SetListener(nullptr);
}
BENCHMARK(BM_MemberAppliesCapturingStone)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_LateMemberSnapshotToDrawnBoard(benchmark::State& state) {
  BoardModel game;
  LoadSampleGame(game);
  game.PositionFromRecord();
  const std::string snapshot =
      "<<DiscussEnter>><<Discusser=A>><<DiscussCount=3>><<DiscussList=\r\nA\r\nB\r\nC\r\n>>"
      "<<DiscussMese=[ A ] hello\r\n>><<DiscussRegList=\r\nA\r\n>><<DiscussKifu=" +
      RoomRecordText(WriteSgfRecord(game, {})) + ">><<MoveSuu=250>><<DiscussDia=>><<DraumEND>>";
  BoardCanvas canvas;
  PrepareCanvas(canvas);
  BoardModel board;
  CanvasListener listener(canvas, board);
  CanvasRoomView view(canvas, board, listener);
  RoomBoard member(board, view);
  board.SetListener(&listener);
  for (auto _ : state) {
    board.ResetPosition();
    const RoomSnapshot room = ReadRoomSnapshot(snapshot);
    member.EnterRoom(room.Record, room.MoveSuu);
    benchmark::DoNotOptimize(canvas.Surface.constBits());
  }
  if (board.MoveTop != 250 || board.BufferLength != kSampleGameMoves) {
    state.SkipWithError("the snapshot did not land on move 250 of 300");
  }
  board.SetListener(nullptr);
}
BENCHMARK(BM_LateMemberSnapshotToDrawnBoard)->Unit(benchmark::kMicrosecond);

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
