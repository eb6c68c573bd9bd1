// client/views/small_board.cpp — the small board's grid and stones.
#include "client/views/small_board.h"

#include <QPainter>

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
