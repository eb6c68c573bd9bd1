// Drawing the board, its stones, numbers and the candidate marker into the board surface.
#include "client/board/board_canvas.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/fonts.h"
#include "platform/memo_colors.h"
#include "platform/qt_text.h"

namespace {

// Half-width digits of half the font's height keep the numbers inside their stones.
constexpr const char* kNumberFont = "ＭＳ ゴシック";

// Combines the `source` rectangle of `sheet` into `target` at (left, top), pixel by pixel, with
// `op` on the colour bits; the parts outside either image are left out.
template <typename Op>
void CombineSprite(QImage& target, int left, int top, const QImage& sheet, const PixelRect& source,
                   Op op) {
  if (target.isNull() || sheet.isNull()) return;
  // The rows and columns of the sprite that lie inside both images, found once.
  const int firstRow = std::max({0, -top, -source.Top});
  const int endRow =
      std::min({source.Height(), target.height() - top, sheet.height() - source.Top});
  const int firstColumn = std::max({0, -left, -source.Left});
  const int endColumn =
      std::min({source.Width(), target.width() - left, sheet.width() - source.Left});
  for (int row = firstRow; row < endRow; ++row) {
    auto* out = reinterpret_cast<QRgb*>(target.scanLine(top + row));
    const auto* in = reinterpret_cast<const QRgb*>(sheet.constScanLine(source.Top + row));
    for (int column = firstColumn; column < endColumn; ++column) {
      QRgb& pixel = out[left + column];
      pixel = 0xFF000000u | (op(pixel, in[source.Left + column]) & 0x00FFFFFFu);
    }
  }
}

// Lets `painter` draw only inside `square`: numbers and marks stay within the square that erasing
// their point restores, however wide the glyphs of the font the machine has.
void ClipToSquare(QPainter& painter, const PixelRect& square) {
  painter.setClipRect(QRect(square.Left, square.Top, square.Width(), square.Height()));
}

// Windows sizes fonts in points at 96 pixels per inch.
int PixelsOfPoints(int points) { return static_cast<int>(std::lround(points * 96.0 / 72.0)); }

}  // namespace

BoardCanvas::BoardCanvas() : geometry_(&GeometryOf(19)) {}

void BoardCanvas::SetBoardPicture(const QImage& picture) {
  Image1 = picture.convertToFormat(QImage::Format_RGB32);
}

void BoardCanvas::SetStoneSheet(const QImage& sheet) {
  Image2 = sheet.convertToFormat(QImage::Format_RGB32);
}

void BoardCanvas::ResizeSurface(int width, int height) {
  Surface = QImage(width, height, QImage::Format_RGB32);
  Surface.fill(ColorFromBgr(kBoardFormColour));
}

void BoardCanvas::DrawBoardGrid() {
  if (Image1.isNull()) return;
  const BoardGeometry& g = *geometry_;
  QPainter painter(&Image1);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(Qt::black, 0));
  const int first = g.FirstLine();
  const int last = g.LastLine();
  for (int d = first; d <= last; d += g.CellSize) {
    painter.drawLine(d, first, d, last);
    painter.drawLine(first, d, last, d);
  }
  // A star point is a 5 x 5 square without its corners.
  for (int i = 0; i < g.StarCount; ++i) {
    const int cx = g.StarPoints[static_cast<std::size_t>(i)][0] * g.CellSize - g.BoardOrigin;
    const int cy = g.StarPoints[static_cast<std::size_t>(i)][1] * g.CellSize - g.BoardOrigin;
    painter.fillRect(QRect(cx - 1, cy - 2, 3, 5), Qt::black);
    painter.fillRect(QRect(cx - 2, cy - 1, 5, 3), Qt::black);
  }
}

void BoardCanvas::RepaintBoardBitmap() {
  if (Surface.isNull() || Image1.isNull()) return;
  QPainter painter(&Surface);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(0, 0, Image1);
}

void BoardCanvas::DrawStone(int x, int y, bool black) {
  const BoardGeometry& g = *geometry_;
  const PixelRect target = g.StoneRect(x, y);
  CombineSprite(Surface, target.Left, target.Top, Image2, g.SheetRect(black, true),
                [](QRgb under, QRgb mask) { return under | mask; });
  CombineSprite(Surface, target.Left, target.Top, Image2, g.SheetRect(black, false),
                [](QRgb under, QRgb picture) { return under & picture; });
}

void BoardCanvas::EraseStone(int x, int y) {
  if (Surface.isNull() || Image1.isNull()) return;
  const PixelRect square = geometry_->EraseRect(x, y);
  const QRect rect(square.Left, square.Top, square.Width(), square.Height());
  QPainter painter(&Surface);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(rect.topLeft(), Image1, rect);
}

void BoardCanvas::DrawMoveNumber(int number, int x, int y, bool onBlack) {
  const int digits = static_cast<int>(std::to_string(number).size());
  DrawMoveNumber(number, x, y, onBlack, geometry_->NumberStyleFor(digits, onBlack));
}

void BoardCanvas::DrawMoveNumber(int number, int x, int y, bool onBlack, const NumberStyle& style) {
  if (Surface.isNull()) return;
  const std::string text = std::to_string(number);
  QPainter painter(&Surface);
  ClipToSquare(painter, geometry_->EraseRect(x, y));
  painter.setFont(PixelFont(kNumberFont, PixelsOfPoints(style.FontSize)));
  painter.setPen(onBlack ? Qt::white : Qt::black);
  // The origin is the top left of the text cell, as the platform's text output places it.
  painter.drawText(QRect(x + style.Dx, y + style.Dy, 200, 200),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QString::fromStdString(text));
}

void BoardCanvas::DrawCandidateMarker(int stoneX, int stoneY, int x, int y, bool black) {
  DrawStone(stoneX, stoneY, black);
  if (Surface.isNull()) return;
  const BoardGeometry& g = *geometry_;
  QPainter painter(&Surface);
  ClipToSquare(painter, g.EraseRect(x, y));
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(black ? Qt::white : Qt::black, 0));
  const QPoint apex(x, y - g.TriangleF);
  const QPoint left(x - g.TriangleE, y + g.TriangleD);
  const QPoint right(x + g.TriangleE, y + g.TriangleD);
  painter.drawLine(apex, left);
  painter.drawLine(left, right);
  painter.drawLine(right, apex);
}

void BoardCanvas::DrawMark(const MarkStyle& style, int x, int y) {
  if (Surface.isNull()) return;
  QPainter painter(&Surface);
  ClipToSquare(painter, geometry_->EraseRect(x, y));
  painter.setFont(PixelFont(kNumberFont, PixelsOfPoints(style.FontSize), style.Bold));
  const QColor ink = style.Ink == MarkInk::kWhite   ? QColor(Qt::white)
                     : style.Ink == MarkInk::kBlack ? QColor(Qt::black)
                                                    : ColorFromBgr(0xFF0000);
  painter.setPen(ink);
  painter.drawText(QRect(x + style.Dx, y + style.Dy, 200, 200),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, ToQt(style.Glyph));
}
