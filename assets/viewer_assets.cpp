// assets/viewer_assets.cpp — the diagram viewer's pictures: one small kaya board for every size
// (the viewer draws its grid) and a stone sheet per size, white stone first, then black, on the
// board's own tone (the viewer copies stones without a mask, so their corners show it).
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "assets/asset_generator.h"
#include "client/views/diagram_viewer_geometry.h"
#include "platform/pictures.h"

namespace {

QRgb Mix(QColor a, QColor b, double t) {
  auto channel = [t](int x, int y) {
    return std::clamp(static_cast<int>(std::lround(x * (1 - t) + y * t)), 0, 255);
  };
  return qRgb(channel(a.red(), b.red()), channel(a.green(), b.green()),
              channel(a.blue(), b.blue()));
}

QImage SmallBoard() {
  QImage board(kViewerBoardWidth, kViewerBoardHeight, QImage::Format_RGB32);
  PaintWoodGrain(board, board.rect(), QColor(226, 182, 108), 0x55B0u);
  QPainter painter(&board);
  painter.setPen(QColor(255, 236, 196, 60));
  painter.drawLine(0, 0, board.width() - 1, 0);
  painter.drawLine(0, 0, 0, board.height() - 1);
  painter.setPen(QColor(90, 55, 20, 80));
  painter.drawLine(0, board.height() - 1, board.width() - 1, board.height() - 1);
  painter.drawLine(board.width() - 1, 0, board.width() - 1, board.height() - 1);
  return board;
}

// The board's mean colour: the tone around the stones in the sheets.
QColor MeanTone(const QImage& board) {
  double r = 0, g = 0, b = 0;
  for (int y = 0; y < board.height(); ++y) {
    for (int x = 0; x < board.width(); ++x) {
      const QRgb pixel = board.pixel(x, y);
      r += qRed(pixel);
      g += qGreen(pixel);
      b += qBlue(pixel);
    }
  }
  const double n = static_cast<double>(board.width()) * board.height();
  return {static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
}

// A small stone lit from the upper left: a soft body and a highlight, its rim blended into the
// board's tone by the part of each pixel the disc covers.
void PaintSmallStone(QImage& sheet, int left, int side, bool black, QColor tone) {
  const double centre = side / 2.0;
  const double radius = side / 2.0 - 0.3;
  for (int row = 0; row < side; ++row) {
    for (int column = 0; column < side; ++column) {
      const double coverage = DiscCoverage(column, row, centre, radius);
      const double u = (column + 0.5 - centre) / radius;
      const double v = (row + 0.5 - centre) / radius;
      const double light = std::max(0.0, 1 - std::hypot(u + 0.38, v + 0.42) / 1.1);
      int level = black ? static_cast<int>(18 + 70 * std::pow(light, 3))
                        : static_cast<int>(200 + 52 * light - 18 * (u * u + v * v));
      level = std::clamp(level, 0, 255);
      const QColor shade =
          black ? QColor(level, level, level + 3) : QColor(level, level, level - 6);
      sheet.setPixel(left + column, row, Mix(tone, shade, coverage));
    }
  }
}

QImage SmallStoneSheet(const ViewerGeometry& g, QColor tone) {
  QImage sheet(g.SheetWidth(), g.SheetHeight(), QImage::Format_RGB32);
  sheet.fill(tone);
  PaintSmallStone(sheet, g.WhiteLeft, g.Sprite, false, tone);
  PaintSmallStone(sheet, g.BlackLeft, g.Sprite, true, tone);
  return sheet;
}

std::string Bmp(std::string_view name) { return "bmp/" + std::string(name); }

}  // namespace

std::vector<AssetFile> ViewerAssets() {
  const QImage board = SmallBoard();
  const QColor tone = MeanTone(board);
  std::vector<AssetFile> files;
  files.push_back({Bmp(kViewerBoardPicture),
                   [board](const std::string& path) { return SaveBitmapPicture(path, board); }});
  for (const ViewerGeometry* g : {&kViewerGeometry19, &kViewerGeometry13, &kViewerGeometry9}) {
    files.push_back({Bmp(g->StoneSheet), [g, tone](const std::string& path) {
                       return SaveBitmapPicture(path, SmallStoneSheet(*g, tone));
                     }});
  }
  return files;
}
