// bench/canvas_board.h — a board shown on a BoardCanvas the way the board window shows it, for the
// benchmarks that count the drawing.
#pragma once
#include <QPainter>

#include "client/board/board_canvas.h"
#include "client/board/model/board_model.h"

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
inline void PrepareCanvas(BoardCanvas& canvas) {
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
