// client/board/board_replay.cpp — the board window's replay bar (stepping through the moves held:
// a watched or finished game, a loaded record, the analysis room) and the marks of the analysis
// room drawn on the board.
#include <optional>

#include "client/board/board_marks.h"
#include "client/board/board_window.h"
#include "client/board/model/replay_bar.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "platform/cp932.h"

void TForm4::Image11MouseDown(int x) {
  // A room member without the input right follows the operator's steps.
  if (BoardMode == kBoardRoom && InputAllowed == 0) {
    ClientShowMessage(J("今 は 操 作 で き ま せ ん"));
    return;
  }
  // A running own game stays at its newest move (the bar is hidden then): a step back would put
  // the next move received over the moves after it.
  if (BoardMode == kBoardOwnGame) return;
  const ReplayBarField field = ReplayBarFieldAt(x);
  if (field.Action == ReplayAction::kNone) return;
  IdleSeconds = 0;
  PerformReplayAction(*this, field.Action);
  if (BoardMode != kBoardRoom) return;
  // The room's marks show on the colour they were set on; the members take the same step.
  FormPaint();
  if (Form2->Connected()) Form2->SendToServer(ReplayRoomInput(field.RoomInputType, MoveTop));
}

void TForm4::DrawMark(int code, int point) {
  if (!IsPlayingPoint(point, BoardSize)) return;
  const std::optional<MarkStyle> style = MarkStyleFor(code, BoardSize, Board[point]);
  if (!style) return;
  canvas_.DrawMark(*style, PointToPixelX(point), PointToPixelY(point));
  PaintBox1->update();
}
