// client/views/small_board.cpp — the small board's grid and stones.
#include "client/views/small_board.h"

#include <QPainter>

#include "client/connection/client_program.h"
#include "client/views/model/preview_geometry.h"
#include "platform/pictures.h"

void DrawSmallBoardGrid(QImage& board, int size) {
  const PreviewGeometry& g = PreviewGeometryOf(size);
  QPainter painter(&board);
  painter.setPen(Qt::black);
  for (int c = g.FirstLine; c <= g.LastLine; c += g.Pitch) {
    painter.drawLine(c, g.FirstLine, c, g.LastLine);
    painter.drawLine(g.FirstLine, c, g.LastLine, c);
  }
  for (int i = 0; i < g.StarCount; ++i) {
    painter.fillRect(g.Stars[i].Left, g.Stars[i].Top, 3, 3, Qt::black);
  }
}

namespace {
void CopySprite(QPainter& painter, const QImage& sheet, int size, int point, bool black) {
  const PreviewSpot spot = PreviewSpotOf(PreviewGeometryOf(size), point);
  painter.drawImage(QPoint(spot.X - 5, spot.Y - 5), sheet,
                    QRect(0, black ? 0 : kPreviewWhiteSpriteTop, kPreviewSprite, kPreviewSprite));
}
}  // namespace

void DrawSmallBoardStone(QImage& surface, const QImage& sheet, int size, int point, bool black) {
  QPainter painter(&surface);
  CopySprite(painter, sheet, size, point, black);
}

void DrawSmallBoardStones(QImage& surface, const QImage& sheet, int size, const int* entries,
                          int count, int setupCount, const PointArray& position) {
  QPainter painter(&surface);
  for (int i = 1; i <= count; ++i) {
    const int point = i <= setupCount ? entries[i] % 1000 : entries[i];
    if (!IsPlayingPoint(point, size) || position[point] <= 0) continue;
    CopySprite(painter, sheet, size, point, position[point] == kBlack);
  }
}

namespace {
// Stand-ins for a missing picture: a plain board, and plain discs on its colour.
const QColor kPlainWood(214, 172, 100);

QImage PlainStoneSheet() {
  QImage sheet(kPreviewSheetWidth, kPreviewSheetHeight, QImage::Format_RGB32);
  sheet.fill(kPlainWood);
  QPainter painter(&sheet);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(20, 20, 20));
  painter.drawEllipse(QRectF(0, 0, kPreviewSprite, kPreviewSprite));
  painter.setBrush(QColor(236, 236, 230));
  painter.drawEllipse(QRectF(0, kPreviewWhiteSpriteTop, kPreviewSprite, kPreviewSprite));
  return sheet;
}
}  // namespace

std::string LoadSmallBoardPictures(QImage& board, QImage& sheet) {
  // One message is enough when the folder of pictures is missing.
  std::string first_failure;
  const auto load = [&first_failure](std::string_view name, QImage& picture) {
    std::string message;
    if (LoadBitmapPicture(WorkPath("bmp/" + std::string(name)), picture, &message)) return true;
    if (first_failure.empty()) first_failure = message;
    return false;
  };
  if (!load(kPreviewBoardPicture, board)) {
    board = QImage(kPreviewBoardSide, kPreviewBoardSide, QImage::Format_RGB32);
    board.fill(kPlainWood);
  }
  if (!load(kPreviewStonePicture, sheet)) sheet = PlainStoneSheet();
  return first_failure;
}
