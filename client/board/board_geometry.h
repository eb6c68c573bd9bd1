// client/board/board_geometry.h — where the board window draws for 19, 13 and 9 lines: the pixel
// pitch and offset of the grid, star points, stone sprites and their sheet, erase squares, move
// number fonts, the candidate marker, the click hit intervals and the picture files.
//
// Pixels are those of the board surface (PaintBox1), whose top left is the top left of the board
// picture. Rectangles are left .. right by top .. bottom with the right and bottom edges excluded.
#pragma once
#include <array>
#include <string>

struct PixelRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const PixelRect&) const = default;
};

// Font size (points, at 96 pixels per inch) and text origin (offset of the top left of the text
// from the intersection centre) of a move number.
struct NumberStyle {
  int FontSize = 0;
  int Dx = 0, Dy = 0;
};

struct BoardGeometry {
  int Size;         // lines: 19, 13 or 9
  int CellSize;     // pixel pitch of the grid
  int BoardOrigin;  // line i lies at i * CellSize - BoardOrigin
  int Sprite;       // side of a stone picture in the sheet
  // Stone destination: centre - StoneBefore .. centre + StoneAfter on each axis.
  int StoneBefore, StoneAfter;
  // Erase square: centre - EraseBefore .. centre + EraseAfter on each axis.
  int EraseBefore, EraseAfter;
  // A coordinate v belongs to line i when i * CellSize - HitBelow < v <= i * CellSize + HitAbove.
  int HitBelow, HitAbove;
  // Candidate triangle: apex (x, y - f), base corners (x -+ e, y + d).
  int TriangleF, TriangleE, TriangleD;
  // Star points as (column, row).
  std::array<std::array<int, 2>, 9> StarPoints;
  int StarCount;
  // Sheet rectangles, top left corners (each Sprite x Sprite).
  int BlackPictureX, BlackPictureY, WhitePictureX, WhitePictureY;
  int BlackMaskX, BlackMaskY, WhiteMaskX, WhiteMaskY;
  // Picture files below the folder bmp.
  const char* BoardPicture;        // black's view
  const char* TurnedBoardPicture;  // white's view
  const char* StoneSheet;

  int FirstLine() const { return CellSize - BoardOrigin; }
  int LastLine() const { return Size * CellSize - BoardOrigin; }
  // ClickX and ClickY after a size change: the first line.
  int ClickStart() const { return FirstLine(); }

  // Centre of the intersection of a point: x from its column, y from its row.
  int PointToPixelX(int point) const;
  int PointToPixelY(int point) const;
  // The line whose hit interval holds v (1..Size), or 0 when none does.
  int LineAt(int v) const;
  // The PointNumber of the intersection whose centre is (clickX, clickY).
  int ClickedPoint(int clickX, int clickY) const;

  PixelRect StoneRect(int x, int y) const;
  PixelRect EraseRect(int x, int y) const;
  PixelRect SheetRect(bool black, bool mask) const;
  // The font and origin of a number of `digits` digits (more than three are drawn like three).
  NumberStyle NumberStyleFor(int digits, bool onBlack) const;
};

// The geometry of 13 or 9 lines; anything else gets the 19-line geometry.
const BoardGeometry& GeometryOf(int size);

// Every picture below the folder bmp has this size: it holds the 19-, 13- and 9-line grids with
// their stones wholly inside.
constexpr int kBoardPictureSide = 383;

// Sets (clickX, clickY) to the centre of the line whose hit interval holds x, and of the one that
// holds y; a coordinate that no interval holds keeps its previous value.
void SnapClickToGrid(const BoardGeometry& geometry, int x, int y, int& clickX, int& clickY);
