// tests/client/board/board_test_pictures.h — plain pictures for the board window in a test's
// folders: boards of one colour, stone sheets whose stones and masks are exact discs of known
// colours, the background and every button, all at the sizes the window expects.
#pragma once
#include <QColor>
#include <QImage>
#include <cmath>
#include <string>

#include "client/board/board_geometry.h"
#include "client/board/board_pictures.h"
#include "platform/files.h"
#include "platform/pictures.h"

// Colours of the test pictures. The board of white's view differs from black's, so a test sees
// which one was loaded.
inline const QColor kTestBoardColour(200, 160, 100);
inline const QColor kTestTurnedBoardColour(190, 150, 110);
inline const QColor kTestBlackStone(20, 24, 28);
inline const QColor kTestWhiteStone(232, 228, 224);

// True when the pixel (column, row) of a sprite of side `sprite` belongs to its stone.
inline bool InTestStone(int column, int row, int sprite) {
  const double centre = (sprite - 1) / 2.0;
  return std::hypot(column - centre, row - centre) <= sprite / 2.0 - 0.5;
}

// A stone sheet of `geometry`'s layout: stones on white in the left column, masks (white stone,
// black elsewhere) in the right one.
inline QImage TestStoneSheet(const BoardGeometry& geometry) {
  const int side = 2 * (geometry.Sprite + 1);
  QImage sheet(side, side, QImage::Format_RGB32);
  sheet.fill(Qt::black);
  for (const bool black : {true, false}) {
    const PixelRect picture = geometry.SheetRect(black, false);
    const PixelRect mask = geometry.SheetRect(black, true);
    for (int row = 0; row < geometry.Sprite; ++row) {
      for (int column = 0; column < geometry.Sprite; ++column) {
        const bool stone = InTestStone(column, row, geometry.Sprite);
        sheet.setPixelColor(picture.Left + column, picture.Top + row,
                            stone ? (black ? kTestBlackStone : kTestWhiteStone) : QColor(Qt::white));
        sheet.setPixelColor(mask.Left + column, mask.Top + row,
                            stone ? QColor(Qt::white) : QColor(Qt::black));
      }
    }
  }
  return sheet;
}

inline QImage TestPlainPicture(int width, int height, QColor colour) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.fill(colour);
  return picture;
}

// Writes every picture of the board window into `folder`/bmp.
inline void WriteBoardWindowPictures(const std::string& folder,
                                     QColor board = kTestBoardColour,
                                     QColor turned = kTestTurnedBoardColour) {
  const std::string bmp = JoinPath(folder, "bmp");
  MakeDirectory(bmp);
  for (const int size : {19, 13, 9}) {
    const BoardGeometry& geometry = GeometryOf(size);
    SaveBitmapPicture(JoinPath(bmp, geometry.BoardPicture),
                      TestPlainPicture(kBoardPictureSide, kBoardPictureSide, board));
    SaveBitmapPicture(JoinPath(bmp, geometry.TurnedBoardPicture),
                      TestPlainPicture(kBoardPictureSide, kBoardPictureSide, turned));
    SaveBitmapPicture(JoinPath(bmp, geometry.StoneSheet), TestStoneSheet(geometry));
  }
  SaveJpegPicture(JoinPath(bmp, std::string(kBoardBackgroundPicture)),
                  TestPlainPicture(kBoardBackgroundWidth, kBoardBackgroundHeight,
                                   QColor(240, 232, 216)),
                  90);
  for (const ButtonPicture& button : kBoardButtonPictures) {
    SaveBitmapPicture(JoinPath(bmp, std::string(button.File)),
                      TestPlainPicture(button.Width, button.Height, QColor(226, 210, 180)));
  }
}
