// assets/board_assets.cpp — the board window's pictures and the stone sound: kaya boards for each
// size and view (the grid is drawn by the window), shaded stone sheets with their masks, the
// walnut background, the replay bar and the buttons.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "assets/asset_generator.h"
#include "client/board/board_geometry.h"
#include "client/board/board_pictures.h"
#include "platform/fonts.h"
#include "platform/pictures.h"

namespace {

constexpr const char* kLabelFont = "IPAPGothic";
// The board picture lies at (8, 8) in the window; the background shades the table under it.
constexpr int kBoardLeft = 8;
constexpr int kBoardTop = 8;
const QColor kKaya(228, 184, 108);
// The wood tone a stone's edge pixels are blended towards, so stones sit softly on the board.
const QColor kEdgeTone(205, 160, 92);

QRgb Mix(QColor a, QColor b, double t) {
  auto channel = [t](int x, int y) {
    return std::clamp(static_cast<int>(std::lround(x * (1 - t) + y * t)), 0, 255);
  };
  return qRgb(channel(a.red(), b.red()), channel(a.green(), b.green()),
              channel(a.blue(), b.blue()));
}

// ---------------------------------------------------------------------------------------------
// Boards

QImage KayaBoard(std::uint32_t seed) {
  QImage board(kBoardPictureSide, kBoardPictureSide, QImage::Format_RGB32);
  // Straight grain (masame) running down the board: fine late-wood lines whose spacing wanders a
  // little, broad bands of lighter and deeper colour across it, and a faint sheen.
  for (int y = 0; y < board.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(board.scanLine(y));
    for (int x = 0; x < board.width(); ++x) {
      const double drift = 2.2 * ValueNoise(x, y, 260, seed) + 0.5 * ValueNoise(x, y, 55, seed + 1);
      const double growth = x / 4.6 + drift + 0.8 * ValueNoise(x, 0, 30, seed + 2);
      const double ring = growth - std::floor(growth);
      const double late_wood = std::pow(ring, 9);
      const double band = ValueNoise(x, y * 0.08, 38, seed + 3);
      const double fleck = ValueNoise(x * 0.7, y * 0.05, 2.5, seed + 4);
      const double sheen = ValueNoise(x, y, 140, seed + 5);
      const double factor = 0.94 + 0.09 * band + 0.04 * sheen - 0.10 * late_wood - 0.025 * fleck;
      row[x] = Mix(QColor(0, 0, 0), kKaya, factor);
    }
  }
  QPainter painter(&board);
  const int side = kBoardPictureSide;
  for (int i = 0; i < 3; ++i) {
    painter.setPen(QColor(255, 236, 196, 70 - 20 * i));
    painter.drawLine(i, i, side - 1 - i, i);
    painter.drawLine(i, i, i, side - 1 - i);
    painter.setPen(QColor(90, 55, 20, 90 - 25 * i));
    painter.drawLine(i, side - 1 - i, side - 1 - i, side - 1 - i);
    painter.drawLine(side - 1 - i, i, side - 1 - i, side - 1 - i);
  }
  return board;
}

// White's view is the same board seen from the other side.
QImage TurnedBoard(const QImage& board) { return board.transformed(QTransform().rotate(180)); }

// ---------------------------------------------------------------------------------------------
// Stones

// The colour of a stone at the normalised position (u, v) of its disc (u*u + v*v <= 1), lit from
// the upper left: a lens-shaped stone with soft diffuse light and a small bright highlight.
QColor StoneShade(double u, double v, bool black) {
  const double d2 = std::min(1.0, u * u + v * v);
  const double height = std::sqrt(1 - d2) * 0.75;
  double nx = u, ny = v, nz = height;
  const double n = std::sqrt(nx * nx + ny * ny + nz * nz);
  nx /= n;
  ny /= n;
  nz /= n;
  const double lx = -0.48, ly = -0.58, lz = 0.66;  // light from the upper left
  const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
  // Half vector between the light and the eye (0, 0, 1).
  double hx = lx, hy = ly, hz = lz + 1;
  const double h = std::sqrt(hx * hx + hy * hy + hz * hz);
  hx /= h;
  hy /= h;
  hz /= h;
  const double specular = std::pow(std::max(0.0, nx * hx + ny * hy + nz * hz), black ? 28 : 40);
  double level;
  if (black) {
    level = 14 + 52 * diffuse + 175 * specular;
  } else {
    // Shell white: bright, greying towards the rim, with a faint warm tint.
    level = 186 + 58 * diffuse + 30 * specular - 16 * std::pow(d2, 3);
  }
  level = std::clamp(level, 0.0, 255.0);
  const int l = static_cast<int>(std::lround(level));
  if (black) return {l, l, std::min(255, l + 4)};
  return {l, std::max(0, l - 2), std::max(0, l - 7)};
}

// Draws the stone picture and its mask of one colour: each pixel that the disc covers at least a
// third is white in the mask; its colour is the shading blended towards the wood by the part it
// does not cover. Everything else is white in the picture and black in the mask.
void PaintStoneSprite(QImage& sheet, const BoardGeometry& g, bool black) {
  const PixelRect picture = g.SheetRect(black, false);
  const PixelRect mask = g.SheetRect(black, true);
  const int s = g.Sprite;
  const double centre = s / 2.0;
  const double radius = s / 2.0 - 0.35;
  for (int row = 0; row < s; ++row) {
    for (int column = 0; column < s; ++column) {
      const double coverage = DiscCoverage(column, row, centre, radius);
      const bool stone = coverage >= 1.0 / 3;
      QRgb colour = qRgb(255, 255, 255);
      if (stone) {
        const double u = (column + 0.5 - centre) / radius;
        const double v = (row + 0.5 - centre) / radius;
        colour = Mix(StoneShade(u, v, black), kEdgeTone, 1 - coverage);
      }
      sheet.setPixel(picture.Left + column, picture.Top + row, colour);
      sheet.setPixel(mask.Left + column, mask.Top + row,
                     stone ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
  }
}

QImage StoneSheet(const BoardGeometry& g) {
  const int side = 2 * (g.Sprite + 1);
  QImage sheet(side, side, QImage::Format_RGB32);
  // Pictures on white at the left, masks on black at the right.
  QPainter(&sheet).fillRect(0, 0, side / 2, side, Qt::white);
  QPainter(&sheet).fillRect(side / 2, 0, side - side / 2, side, Qt::black);
  PaintStoneSprite(sheet, g, true);
  PaintStoneSprite(sheet, g, false);
  return sheet;
}

// ---------------------------------------------------------------------------------------------
// Background

bool WriteBoardBackground(const std::string& path) {
  QImage image(kBoardBackgroundWidth, kBoardBackgroundHeight, QImage::Format_RGB32);
  PaintWoodGrain(image, image.rect(), QColor(122, 86, 54), 0x6A11u);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  // A soft shadow under the board, falling to the lower right.
  const QRectF board(kBoardLeft, kBoardTop, kBoardPictureSide + 1, kBoardPictureSide + 1);
  for (int i = 7; i >= 1; --i) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 10, 0, 11));
    painter.drawRoundedRect(board.translated(3, 4).adjusted(-i, -i, i, i), i + 2, i + 2);
  }
  // The right column is a little lighter, so the panels and buttons read as one group.
  painter.setBrush(QColor(255, 240, 215, 22));
  painter.drawRoundedRect(QRectF(402, 2, 190, 420), 6, 6);
  painter.end();
  PaintVignette(image, 0.18);
  return SaveJpegPicture(path, image, 92);
}

// ---------------------------------------------------------------------------------------------
// Buttons

// A lacquered wooden key: rounded, lit from above, with a dark rim.
void PaintKey(QPainter& painter, const QRectF& rect, bool inset = false) {
  QLinearGradient face(rect.topLeft(), rect.bottomLeft());
  if (inset) {
    face.setColorAt(0, QColor(120, 74, 40));
    face.setColorAt(1, QColor(150, 98, 56));
  } else {
    face.setColorAt(0, QColor(246, 226, 190));
    face.setColorAt(0.5, QColor(230, 200, 150));
    face.setColorAt(1, QColor(204, 166, 112));
  }
  painter.setPen(QPen(QColor(92, 58, 28), 1));
  painter.setBrush(face);
  painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
  if (!inset) {
    painter.setPen(QPen(QColor(255, 248, 230, 150), 1));
    painter.drawLine(QPointF(rect.left() + 4, rect.top() + 1.5),
                     QPointF(rect.right() - 4, rect.top() + 1.5));
  }
}

void PaintLabel(QPainter& painter, const QRectF& rect, const char* text, int pixels,
                QColor colour = QColor(60, 34, 14)) {
  painter.setFont(PixelFont(kLabelFont, pixels, true));
  painter.setPen(colour);
  painter.drawText(rect, Qt::AlignCenter, QString::fromUtf8(text));
}

QImage NewButton(const ButtonPicture& button) {
  QImage image(button.Width, button.Height, QImage::Format_RGB32);
  image.fill(QColor(122, 86, 54));
  return image;
}

std::function<bool(const std::string&)> LabelButton(ButtonPicture button, const char* text) {
  return [button, text](const std::string& path) {
    QImage image = NewButton(button);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintKey(painter, image.rect());
    PaintLabel(painter, image.rect(), text, 13);
    painter.end();
    return SaveBitmapPicture(path, image);
  };
}

// Pass at the left (x up to 42), resignation at the right.
bool WritePassResignButton(const std::string& path) {
  QImage image = NewButton(kPassResignButton);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintKey(painter, image.rect());
  painter.setPen(QPen(QColor(92, 58, 28), 1));
  painter.drawLine(QPointF(42.5, 4), QPointF(42.5, image.height() - 4));
  PaintLabel(painter, QRectF(0, 0, 43, image.height()), "パス", 13);
  PaintLabel(painter, QRectF(43, 0, image.width() - 43, image.height()), "投了", 13);
  painter.end();
  return SaveBitmapPicture(path, image);
}

// Counting at the left; the inset key (31..54, 3..24) starts the shared count.
bool WriteCountButton(const std::string& path) {
  QImage image = NewButton(kCountButton);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintKey(painter, image.rect());
  PaintLabel(painter, QRectF(1, 0, 30, image.height()), "整地", 12);
  PaintKey(painter, QRectF(31, 3, 24, 22), true);
  PaintLabel(painter, QRectF(31, 3, 24, 22), "共同", 10, QColor(255, 240, 210));
  // Territory marks: a black and a white square.
  painter.setPen(QPen(QColor(60, 34, 14), 1));
  painter.setBrush(QColor(25, 25, 25));
  painter.drawRect(QRectF(60.5, 9.5, 8, 8));
  painter.setBrush(QColor(250, 250, 250));
  painter.drawRect(QRectF(72.5, 9.5, 8, 8));
  painter.end();
  return SaveBitmapPicture(path, image);
}

// Six fields of 28 pixels: to the start, ten back, one back, one forward, ten forward, to the end.
bool WriteReplayBar(const std::string& path) {
  QImage image = NewButton(kReplayBar);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const double h = image.height();
  const QColor ink(60, 34, 14);
  auto triangle = [&](double x, double cy, bool left) {
    QPainterPath path;
    const double w = 6.5, half = 5.5;
    if (left) {
      path.moveTo(x, cy);
      path.lineTo(x + w, cy - half);
      path.lineTo(x + w, cy + half);
    } else {
      path.moveTo(x + w, cy);
      path.lineTo(x, cy - half);
      path.lineTo(x, cy + half);
    }
    path.closeSubpath();
    painter.fillPath(path, ink);
  };
  for (int field = 0; field < 6; ++field) {
    const QRectF rect(field * 28, 0, 28, h);
    PaintKey(painter, rect.adjusted(0.5, 1, -0.5, -1));
    const double cy = h / 2;
    const double cx = rect.center().x();
    switch (field) {
      case 0:
        painter.fillRect(QRectF(cx - 6, cy - 5.5, 2, 11), ink);
        triangle(cx - 3.5, cy, true);
        break;
      case 1:
        triangle(cx - 7, cy, true);
        triangle(cx - 0.5, cy, true);
        break;
      case 2:
        triangle(cx - 3.5, cy, true);
        break;
      case 3:
        triangle(cx - 3, cy, false);
        break;
      case 4:
        triangle(cx - 6.5, cy, false);
        triangle(cx, cy, false);
        break;
      default:
        triangle(cx - 3, cy, false);
        painter.fillRect(QRectF(cx + 4, cy - 5.5, 2, 11), ink);
        break;
    }
  }
  painter.end();
  return SaveBitmapPicture(path, image);
}

// The analysis room's input-kind and first-colour keys: a label over the indicator square
// (9, 26)-(13, 30) that the window fills.
std::function<bool(const std::string&)> IndicatorButton(ButtonPicture button, const char* text) {
  return [button, text](const std::string& path) {
    QImage image = NewButton(button);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintKey(painter, image.rect());
    PaintLabel(painter, QRectF(0, 2, image.width(), 20), text, 12);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(92, 58, 28));
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(8, 25, 6, 6));
    painter.end();
    return SaveBitmapPicture(path, image);
  };
}

// Upper part (y below 32): follow a running game; lower part: a record from the clipboard.
bool WriteRoomFollowButton(const std::string& path) {
  QImage image = NewButton(kRoomFollowButton);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintKey(painter, QRectF(0, 0, image.width(), 31));
  PaintKey(painter, QRectF(0, 32, image.width(), image.height() - 32));
  PaintLabel(painter, QRectF(0, 0, image.width(), 31), "対局室碁盤", 12);
  PaintLabel(painter, QRectF(0, 32, image.width(), image.height() - 32), "クリップボード", 11);
  painter.end();
  return SaveBitmapPicture(path, image);
}

// ---------------------------------------------------------------------------------------------
// The stone sound: a stone set firmly on a wooden board, a short bright click with a woody body.

bool WriteStoneSound(const std::string& path) {
  constexpr int kRate = 22050;
  std::vector<double> samples(static_cast<std::size_t>(kRate * 0.28), 0.0);
  struct Mode {
    double frequency, amplitude, decay;
  };
  const Mode modes[] = {
      {1720, 0.30, 0.030}, {2650, 0.20, 0.018}, {3900, 0.12, 0.010},
      {5300, 0.07, 0.006}, {780, 0.16, 0.045},  {410, 0.10, 0.060},
  };
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    double value = 0;
    for (const Mode& m : modes) {
      value +=
          m.amplitude * std::exp(-t / m.decay) * std::sin(2 * std::numbers::pi * m.frequency * t);
    }
    // The first contact: a very short burst of noise.
    const double noise = ValueNoise(static_cast<double>(i), 0.5, 1.0, 0x57u) * 2 - 1;
    value += 0.35 * noise * std::exp(-t / 0.0025);
    // A soft start avoids a digital step.
    value *= std::min(1.0, t / 0.0004);
    samples[i] = value * 0.9;
  }
  const std::size_t fade = kRate / 40;
  for (std::size_t i = 0; i < fade; ++i) {
    samples[samples.size() - 1 - i] *= static_cast<double>(i) / fade;
  }
  return WriteWav(path, samples, kRate);
}

std::string Bmp(std::string_view name) { return "bmp/" + std::string(name); }

}  // namespace

std::vector<AssetFile> BoardAssets() {
  std::vector<AssetFile> files;
  std::uint32_t seed = 0xB0A2D0u;
  for (const int size : {19, 13, 9}) {
    const BoardGeometry& g = GeometryOf(size);
    const QImage board = KayaBoard(seed++);
    files.push_back({Bmp(g.BoardPicture),
                     [board](const std::string& path) { return SaveBitmapPicture(path, board); }});
    files.push_back({Bmp(g.TurnedBoardPicture), [board](const std::string& path) {
                       return SaveBitmapPicture(path, TurnedBoard(board));
                     }});
    const BoardGeometry* geometry = &g;
    files.push_back({Bmp(g.StoneSheet), [geometry](const std::string& path) {
                       return SaveBitmapPicture(path, StoneSheet(*geometry));
                     }});
  }
  files.push_back({Bmp(kBoardBackgroundPicture), WriteBoardBackground});
  files.push_back({Bmp(kReplayBar.File), WriteReplayBar});
  files.push_back({Bmp(kPassResignButton.File), WritePassResignButton});
  files.push_back({Bmp(kCountButton.File), WriteCountButton});
  files.push_back({Bmp(kRoomFollowButton.File), WriteRoomFollowButton});
  const std::pair<ButtonPicture, const char*> labelled[] = {
      {kDiagramButton, "図面編集"},  {kUndoButton, "手戻り"},         {kSaveButton, "棋譜保存"},
      {kNumbersButton, "手順番号"},  {kEndButton, "終　了"},          {kStopButton, "停止・再開"},
      {kTurnButton, "盤面反転"},     {kRoomEntryButton, "入力登録"},  {kRoomDoneButton, "入力完了"},
      {kRoomLoadButton, "棋譜読込"}, {kRoomReloadButton, "初期棋譜"},
  };
  for (const auto& [button, text] : labelled) {
    files.push_back({Bmp(button.File), LabelButton(button, text)});
  }
  const std::pair<ButtonPicture, const char*> indicators[] = {
      {kKindMoveButton, "着手"},
      {kKindSetupButton, "配置"},
      {kFirstBlackButton, "黒先"},
      {kFirstWhiteButton, "白先"},
  };
  for (const auto& [button, text] : indicators) {
    files.push_back({Bmp(button.File), IndicatorButton(button, text)});
  }
  files.push_back({"stone.wav", WriteStoneSound});
  return files;
}
