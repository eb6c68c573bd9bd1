// client/views/model/preview_geometry.h — the small board of the record preview and the game-list
// board: its pictures, the pixel geometry of each board size and where a point is drawn.
#pragma once
#include <array>
#include <string_view>

// Below the folder bmp: the board (its grid is drawn by the window) and the stone sprites, which
// are copied without a mask, so the sheet carries the board's colour around each stone.
inline constexpr std::string_view kPreviewBoardPicture = "VaZeGoBan.bmp";
inline constexpr std::string_view kPreviewStonePicture = "VaZeGoStone.bmp";
inline constexpr int kPreviewBoardSide = 191;
inline constexpr int kPreviewSprite = 9;  // a stone is 9 x 9 pixels
// The sheet: black at (0, 0), white at (0, 10), each kPreviewSprite square.
inline constexpr int kPreviewSheetWidth = 10;
inline constexpr int kPreviewSheetHeight = 20;
inline constexpr int kPreviewWhiteSpriteTop = 10;

struct PreviewStar {
  int Left, Top;  // top-left corner of a 3 x 3 square
};

struct PreviewGeometry {
  int Size;       // 19, 13 or 9 lines
  int Pitch;      // pixels from one line to the next
  int Offset;     // a point's column * Pitch - Offset is its x (likewise y)
  int FirstLine;  // pixel of the first and the last grid line, in both axes
  int LastLine;
  int StarCount;
  std::array<PreviewStar, 9> Stars;
};

// The geometry of 19 and 13 lines; any other size is drawn as 9 lines.
const PreviewGeometry& PreviewGeometryOf(int size);

// Where the stone of a point is drawn: the sprite covers (X - 5, Y - 5) up to, not including,
// (X + 4, Y + 4), so its centre lies on the grid lines at X - 1, Y - 1.
struct PreviewSpot {
  int X, Y;
};
PreviewSpot PreviewSpotOf(const PreviewGeometry& geometry, int point);
