// client/board/board_canvas.h — the board window's pictures and its drawing primitives: the board
// picture with the grid the program draws on it (Image1), the stone sheet (Image2), and the
// surface the board is shown from (PaintBox1's backing image), which every primitive draws into.
#pragma once
#include <QImage>

#include "client/board/board_geometry.h"
#include "client/board/board_marks.h"

class BoardCanvas {
 public:
  BoardCanvas();

  // The geometry of the board size now shown; the pictures are replaced separately.
  void SetGeometry(const BoardGeometry& geometry) { geometry_ = &geometry; }
  const BoardGeometry& Geometry() const { return *geometry_; }

  // Takes a loaded board picture or stone sheet (any format; kept as 32-bit RGB).
  void SetBoardPicture(const QImage& picture);
  void SetStoneSheet(const QImage& sheet);
  // Gives the surface its size (the board picture's plus one pixel each way) in the form colour.
  void ResizeSurface(int width, int height);

  // The grid lines and star points of the geometry, in black, on the board picture.
  void DrawBoardGrid();
  // The board picture, whole, onto the surface.
  void RepaintBoardBitmap();
  // A stone centred on (x, y): the colour's mask is ORed onto the surface, then its picture ANDed,
  // so the stone replaces what was there and the rest of the sprite square stays as it was.
  void DrawStone(int x, int y, bool black);
  // The erase square around (x, y) from the board picture.
  void EraseStone(int x, int y);
  // A move number on the stone centred on (x, y): white on black, black on white, clipped to the
  // erase square around (x, y).
  void DrawMoveNumber(int number, int x, int y, bool onBlack);
  // The same in a font and place of the caller's (a board with its own number table).
  void DrawMoveNumber(int number, int x, int y, bool onBlack, const NumberStyle& style);
  // The candidate of a two-click move: a stone of the user's colour centred on (stoneX, stoneY),
  // then a triangle outline around (x, y), white on a black stone and black on a white one, clipped
  // to the erase square around (x, y).
  void DrawCandidateMarker(int stoneX, int stoneY, int x, int y, bool black);
  // A mark's glyph in its style on the point centred on (x, y), clipped to the erase square
  // around (x, y).
  void DrawMark(const MarkStyle& style, int x, int y);

  QImage Image1;   // the board picture with its grid
  QImage Image2;   // the stone sheet
  QImage Surface;  // what the board surface shows

 private:
  const BoardGeometry* geometry_;
};

// The form colour of the board window (0xBBGGRR 15792383), which the surface starts in.
constexpr unsigned kBoardFormColour = 15792383;
