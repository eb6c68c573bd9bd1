// assets/preview_assets.cpp — the small board of the record preview and the game-list board: a
// quiet wooden board (the windows draw its grid) and a sheet of two 9-pixel stones on the board's
// own colour, since the windows copy the sprites without a mask.
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "assets/asset_generator.h"
#include "client/views/model/preview_geometry.h"
#include "platform/pictures.h"

namespace {

// The board's mean tone: the sprites' corners carry it, so the grain stays faint enough that a
// corner never stands out from the wood around it.
const QColor kSmallBoardWood(222, 180, 110);

bool WritePreviewBoard(const std::string& path) {
  QImage board(kPreviewBoardSide, kPreviewBoardSide, QImage::Format_RGB32);
  for (int y = 0; y < board.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(board.scanLine(y));
    for (int x = 0; x < board.width(); ++x) {
      const double grain = ValueNoise(x * 0.25, y * 6, 4, 0x5A11u) - 0.5;
      const double band = ValueNoise(x, y, 70, 0x5A12u) - 0.5;
      const double factor = 1 + 0.06 * grain + 0.04 * band;
      row[x] = qRgb(std::clamp(static_cast<int>(kSmallBoardWood.red() * factor), 0, 255),
                    std::clamp(static_cast<int>(kSmallBoardWood.green() * factor), 0, 255),
                    std::clamp(static_cast<int>(kSmallBoardWood.blue() * factor), 0, 255));
    }
  }
  return SaveBitmapPicture(path, board);
}

// A shaded disc lit from the upper left, its edge blended into the wood by the part of each pixel
// it covers.
void PaintSmallStone(QImage& sheet, int top, bool black) {
  const double centre = kPreviewSprite / 2.0;
  const double radius = kPreviewSprite / 2.0 - 0.2;
  for (int row = 0; row < kPreviewSprite; ++row) {
    for (int column = 0; column < kPreviewSprite; ++column) {
      const double coverage = DiscCoverage(column, row, centre, radius);
      if (coverage == 0) continue;
      const double u = (column + 0.5 - centre) / radius;
      const double v = (row + 0.5 - centre) / radius;
      const double light = std::max(0.0, 1 - std::hypot(u + 0.45, v + 0.45) / 1.6);
      const double level = black ? 18 + 95 * std::pow(light, 3) : 192 + 60 * light;
      const double t = coverage;
      const QColor wood = kSmallBoardWood;
      const auto mix = [t](double stone, int board) {
        return std::clamp(static_cast<int>(std::lround(stone * t + board * (1 - t))), 0, 255);
      };
      sheet.setPixel(column, top + row,
                     qRgb(mix(level, wood.red()), mix(level, wood.green()),
                          mix(black ? level + 3 : level - 6, wood.blue())));
    }
  }
}

bool WritePreviewStones(const std::string& path) {
  QImage sheet(kPreviewSheetWidth, kPreviewSheetHeight, QImage::Format_RGB32);
  sheet.fill(kSmallBoardWood);
  PaintSmallStone(sheet, 0, true);
  PaintSmallStone(sheet, kPreviewWhiteSpriteTop, false);
  return SaveBitmapPicture(path, sheet);
}

}  // namespace

std::vector<AssetFile> PreviewAssets() {
  return {
      {"bmp/" + std::string(kPreviewBoardPicture), WritePreviewBoard},
      {"bmp/" + std::string(kPreviewStonePicture), WritePreviewStones},
  };
}
