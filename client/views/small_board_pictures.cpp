// client/views/small_board_pictures.cpp — the small board's pictures from the folder bmp.
#include "client/views/small_board_pictures.h"

#include <QPainter>

#include "client/connection/client_program.h"
#include "client/views/model/preview_geometry.h"
#include "platform/pictures.h"

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
    if (LoadBitmapPicture(AssetPath(std::string("bmp/").append(name)), picture, &message)) return true;
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
