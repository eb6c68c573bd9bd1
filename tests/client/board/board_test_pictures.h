// tests/client/board/board_test_pictures.h — plain pictures for the board window in a test's
// folders: boards of one colour, stone sheets whose stones and masks are exact discs of known
// colours, the background and every button, all at the sizes the window expects.
#pragma once
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "client/board/board_geometry.h"
#include "client/board/board_pictures.h"
#include "client/views/diagram_viewer_geometry.h"
#include "client/views/model/preview_geometry.h"
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
        sheet.setPixelColor(
            picture.Left + column, picture.Top + row,
            stone ? (black ? kTestBlackStone : kTestWhiteStone) : QColor(Qt::white));
        sheet.setPixelColor(mask.Left + column, mask.Top + row,
                            stone ? QColor(Qt::white) : QColor(Qt::black));
      }
    }
  }
  return sheet;
}

// The small board's sheet: exact discs of the test stone colours on `board`'s colour.
inline QImage TestPreviewStoneSheet(QColor board) {
  QImage sheet(kPreviewSheetWidth, kPreviewSheetHeight, QImage::Format_RGB32);
  sheet.fill(board);
  for (const int top : {0, kPreviewWhiteSpriteTop}) {
    for (int row = 0; row < kPreviewSprite; ++row) {
      for (int column = 0; column < kPreviewSprite; ++column) {
        if (!InTestStone(column, row, kPreviewSprite)) continue;
        sheet.setPixelColor(column, top + row, top == 0 ? kTestBlackStone : kTestWhiteStone);
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

// The file bytes of a picture, encoded once per process: the same plain pictures are written into
// several folders, and encoding is the slow part in a sanitizer build.
inline const std::string& EncodedTestPicture(const std::string& key, const QImage& picture,
                                             bool jpeg) {
  static std::map<std::string, std::string> encoded;
  auto found = encoded.find(key);
  if (found != encoded.end()) return found->second;
  const std::string scratch = std::filesystem::temp_directory_path().string() + "/kor-picture-" +
                              std::to_string(::getpid()) + (jpeg ? ".jpg" : ".bmp");
  if (jpeg) {
    SaveJpegPicture(scratch, picture, 90);
  } else {
    SaveBitmapPicture(scratch, picture);
  }
  std::string bytes;
  ReadWholeFile(scratch, bytes);
  std::remove(scratch.c_str());
  return encoded.emplace(key, std::move(bytes)).first->second;
}

inline std::string ColourKey(QColor colour) { return colour.name().toStdString(); }

// A stone sheet of the diagram viewer: a white and a black disc on the board colour, no masks.
inline QImage TestViewerStoneSheet(const ViewerGeometry& geometry, QColor board) {
  QImage sheet(geometry.SheetWidth(), geometry.SheetHeight(), QImage::Format_RGB32);
  sheet.fill(board);
  for (int row = 0; row < geometry.Sprite; ++row) {
    for (int column = 0; column < geometry.Sprite; ++column) {
      if (!InTestStone(column, row, geometry.Sprite)) continue;
      sheet.setPixelColor(geometry.WhiteLeft + column, row, kTestWhiteStone);
      sheet.setPixelColor(geometry.BlackLeft + column, row, kTestBlackStone);
    }
  }
  return sheet;
}

// Writes every picture of the board window and the diagram viewer into `folder`/bmp.
inline void WriteBoardWindowPictures(const std::string& folder, QColor board = kTestBoardColour,
                                     QColor turned = kTestTurnedBoardColour) {
  const std::string bmp = JoinPath(folder, "bmp");
  MakeDirectory(bmp);
  const auto plain = [](int width, int height, QColor colour) {
    return EncodedTestPicture(
        "plain " + std::to_string(width) + "x" + std::to_string(height) + ColourKey(colour),
        TestPlainPicture(width, height, colour), false);
  };
  for (const int size : {19, 13, 9}) {
    const BoardGeometry& geometry = GeometryOf(size);
    WriteWholeFile(JoinPath(bmp, geometry.BoardPicture),
                   plain(kBoardPictureSide, kBoardPictureSide, board));
    WriteWholeFile(JoinPath(bmp, geometry.TurnedBoardPicture),
                   plain(kBoardPictureSide, kBoardPictureSide, turned));
    WriteWholeFile(
        JoinPath(bmp, geometry.StoneSheet),
        EncodedTestPicture("sheet " + std::to_string(size), TestStoneSheet(geometry), false));
  }
  WriteWholeFile(JoinPath(bmp, std::string(kBoardBackgroundPicture)),
                 EncodedTestPicture("background",
                                    TestPlainPicture(kBoardBackgroundWidth, kBoardBackgroundHeight,
                                                     QColor(240, 232, 216)),
                                    true));
  for (const ButtonPicture& button : kBoardButtonPictures) {
    WriteWholeFile(JoinPath(bmp, std::string(button.File)),
                   plain(button.Width, button.Height, QColor(226, 210, 180)));
  }
  WriteWholeFile(JoinPath(bmp, std::string(kViewerBoardPicture)),
                 plain(kViewerBoardWidth, kViewerBoardHeight, board));
  for (const int size : {19, 13, 9}) {
    const ViewerGeometry& geometry = ViewerGeometryOf(size);
    WriteWholeFile(JoinPath(bmp, std::string(geometry.StoneSheet)),
                   EncodedTestPicture("viewer sheet " + std::to_string(size) + ColourKey(board),
                                      TestViewerStoneSheet(geometry, board), false));
  }
  // The small board of the record preview and the game-list board.
  WriteWholeFile(JoinPath(bmp, std::string(kPreviewBoardPicture)),
                 plain(kPreviewBoardSide, kPreviewBoardSide, board));
  WriteWholeFile(
      JoinPath(bmp, std::string(kPreviewStonePicture)),
      EncodedTestPicture("preview sheet" + ColourKey(board), TestPreviewStoneSheet(board), false));
}
