// Tests of the board drawing on the backing images: the grid and star points, stones through their
// masks, erasing, numbers and the candidate marker, on every board size.
#include "client/board/board_canvas.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>

#include "client/board/model/board_rules.h"
#include "platform/fonts.h"
#include "tests/client/board/board_test_pictures.h"
#include "tests/wide_test_font.h"

namespace {

constexpr int kSizes[] = {19, 13, 9};

// A canvas of `size` lines on the plain test board and the exact-disc test sheet, grid drawn and
// copied to the surface.
BoardCanvas CanvasOf(int size) {
  BoardCanvas canvas;
  canvas.SetGeometry(GeometryOf(size));
  canvas.SetBoardPicture(TestPlainPicture(kBoardPictureSide, kBoardPictureSide, kTestBoardColour));
  canvas.SetStoneSheet(TestStoneSheet(GeometryOf(size)));
  canvas.ResizeSurface(kBoardPictureSide + 1, kBoardPictureSide + 1);
  canvas.DrawBoardGrid();
  canvas.RepaintBoardBitmap();
  return canvas;
}

QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

}  // namespace

TEST(BoardCanvas, GridLinesAndStarPointsAreDrawnOnTheBoardPicture) {
  for (const int size : kSizes) {
    const BoardCanvas canvas = CanvasOf(size);
    const BoardGeometry& g = GeometryOf(size);
    const QImage& board = canvas.Image1;
    const int first = g.FirstLine(), last = g.LastLine();
    // Both ends of every line, the far corner included.
    for (int d = first; d <= last; d += g.CellSize) {
      EXPECT_EQ(At(board, d, first), QColor(Qt::black)) << size << " " << d;
      EXPECT_EQ(At(board, d, last), QColor(Qt::black)) << size << " " << d;
      EXPECT_EQ(At(board, first, d), QColor(Qt::black)) << size << " " << d;
      EXPECT_EQ(At(board, last, d), QColor(Qt::black)) << size << " " << d;
    }
    // Nothing beyond the outer lines, nothing inside a cell.
    EXPECT_EQ(At(board, first - 1, first + 5), kTestBoardColour);
    EXPECT_EQ(At(board, last + 1, first + 5), kTestBoardColour);
    EXPECT_EQ(At(board, first + 5, first + 5), kTestBoardColour);
    // A star point is a 5 x 5 square without its corners.
    for (int i = 0; i < g.StarCount; ++i) {
      const int cx = g.PointToPixelX(MakePoint(g.StarPoints[i][0], g.StarPoints[i][1]));
      const int cy = g.PointToPixelY(MakePoint(g.StarPoints[i][0], g.StarPoints[i][1]));
      for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
          const bool corner = std::abs(dx) == 2 && std::abs(dy) == 2;
          EXPECT_EQ(At(board, cx + dx, cy + dy) == QColor(Qt::black), !corner)
              << size << " star " << i << " " << dx << "," << dy;
        }
      }
    }
    // The surface shows the board picture.
    EXPECT_EQ(canvas.Surface.copy(0, 0, kBoardPictureSide, kBoardPictureSide), board);
  }
  // 19 lines have nine star points, 13 and 9 five.
  EXPECT_EQ(GeometryOf(19).StarCount, 9);
  EXPECT_EQ(GeometryOf(13).StarCount, 5);
  EXPECT_EQ(GeometryOf(9).StarCount, 5);
}

TEST(BoardCanvas, StonesReplaceTheBoardInsideTheirMaskOnlyInBothColours) {
  for (const int size : kSizes) {
    for (const bool black : {true, false}) {
      BoardCanvas canvas = CanvasOf(size);
      const BoardGeometry& g = GeometryOf(size);
      const QImage before = canvas.Surface;
      const int point = MakePoint(1, size);  // a corner: the grid runs under the stone's edge
      const int x = g.PointToPixelX(point), y = g.PointToPixelY(point);
      canvas.DrawStone(x, y, black);
      const PixelRect rect = g.StoneRect(x, y);
      int stonePixels = 0;
      for (int row = 0; row < g.Sprite; ++row) {
        for (int column = 0; column < g.Sprite; ++column) {
          const int px = rect.Left + column, py = rect.Top + row;
          if (InTestStone(column, row, g.Sprite)) {
            ++stonePixels;
            EXPECT_EQ(At(canvas.Surface, px, py), black ? kTestBlackStone : kTestWhiteStone)
                << size << " at " << px << "," << py;
          } else {
            EXPECT_EQ(At(canvas.Surface, px, py), At(before, px, py))
                << size << " at " << px << "," << py;
          }
        }
      }
      EXPECT_GT(stonePixels, g.Sprite * g.Sprite * 2 / 3);  // a disc fills 0.7 of its square
      // The centre of the stone is its intersection.
      EXPECT_EQ(At(canvas.Surface, x, y), black ? kTestBlackStone : kTestWhiteStone);
      // Outside the destination square nothing changed.
      EXPECT_EQ(At(canvas.Surface, rect.Right, y), At(before, rect.Right, y));
      EXPECT_EQ(At(canvas.Surface, x, rect.Top - 1), At(before, x, rect.Top - 1));
    }
  }
}

TEST(BoardCanvas, ErasingRestoresTheBoardAndGridAndKeepsTheNeighbours) {
  const WideFontSubstitute wide("ＭＳ ゴシック");  // a number that would reach the neighbour
  ASSERT_TRUE(wide.Installed());
  for (const int size : kSizes) {
    BoardCanvas canvas = CanvasOf(size);
    const BoardGeometry& g = GeometryOf(size);
    const QImage empty = canvas.Surface;
    const int p = MakePoint(4, 4);  // a star point under the stone
    const int q = MakePoint(5, 4);
    canvas.DrawStone(g.PointToPixelX(p), g.PointToPixelY(p), true);
    canvas.DrawStone(g.PointToPixelX(q), g.PointToPixelY(q), false);
    canvas.DrawMoveNumber(12, g.PointToPixelX(p), g.PointToPixelY(p), true);
    QImage withNeighbour = empty;
    {
      BoardCanvas only = CanvasOf(size);
      only.DrawStone(g.PointToPixelX(q), g.PointToPixelY(q), false);
      withNeighbour = only.Surface;
    }
    canvas.EraseStone(g.PointToPixelX(p), g.PointToPixelY(p));
    EXPECT_EQ(canvas.Surface, withNeighbour) << size;
    canvas.EraseStone(g.PointToPixelX(q), g.PointToPixelY(q));
    EXPECT_EQ(canvas.Surface, empty) << size;
  }
}

TEST(BoardCanvas, NumbersAreWhiteOnBlackAndBlackOnWhiteInsideTheirStone) {
  const QFontInfo used(PixelFont("ＭＳ ゴシック", 20));
  const bool halfWidthDigits =
      QFontMetrics(PixelFont("ＭＳ ゴシック", 20)).horizontalAdvance("0") <= 10;
  for (const int size : kSizes) {
    for (const bool black : {true, false}) {
      for (const int number : {7, 42, 365}) {
        BoardCanvas canvas = CanvasOf(size);
        const BoardGeometry& g = GeometryOf(size);
        const int x = g.PointToPixelX(MakePoint(5, 5)), y = g.PointToPixelY(MakePoint(5, 5));
        canvas.DrawStone(x, y, black);
        const QImage stone = canvas.Surface;
        canvas.DrawMoveNumber(number, x, y, black);
        const PixelRect rect = g.StoneRect(x, y);
        int changed = 0, outside = 0;
        for (int py = 0; py < canvas.Surface.height(); ++py) {
          for (int px = 0; px < canvas.Surface.width(); ++px) {
            const QColor now = At(canvas.Surface, px, py);
            if (now == At(stone, px, py)) continue;
            const bool in =
                px >= rect.Left && px < rect.Right && py >= rect.Top && py < rect.Bottom;
            if (!in) {
              ++outside;
              continue;
            }
            ++changed;
            // The text is lighter than a black stone and darker than a white one.
            if (black) {
              EXPECT_GT(now.lightness(), kTestBlackStone.lightness());
            } else {
              EXPECT_LT(now.lightness(), kTestWhiteStone.lightness());
            }
          }
        }
        EXPECT_GT(changed, 8) << size << " " << number;
        // With the program's number font (half-width digits) the number stays on its stone.
        if (halfWidthDigits) {
          EXPECT_EQ(outside, 0) << size << " " << number << " in " << used.family().toStdString();
        }
      }
    }
  }
}

TEST(BoardCanvas, NumbersInAWideFontAreCutAtTheEraseSquare) {
  const WideFontSubstitute wide("ＭＳ ゴシック");
  ASSERT_TRUE(wide.Installed());
  // Every digit of the wide font is a solid box wider than the font is high.
  const QFont probe = PixelFont("ＭＳ ゴシック", 20);
  ASSERT_EQ(QFontInfo(probe).family(), QStringLiteral("Kor Wide Digits"));
  ASSERT_GE(QFontMetrics(probe).horizontalAdvance("0"), 24);
  for (const int size : kSizes) {
    for (const bool black : {true, false}) {
      for (const int number : {7, 42, 365}) {
        BoardCanvas canvas = CanvasOf(size);
        const BoardGeometry& g = GeometryOf(size);
        const int x = g.PointToPixelX(MakePoint(5, 5)), y = g.PointToPixelY(MakePoint(5, 5));
        canvas.DrawStone(x, y, black);
        const QImage stone = canvas.Surface;
        canvas.DrawMoveNumber(number, x, y, black);
        const PixelRect square = g.EraseRect(x, y);
        int outside = 0;
        for (int py = 0; py < canvas.Surface.height(); ++py) {
          for (int px = 0; px < canvas.Surface.width(); ++px) {
            const bool in =
                px >= square.Left && px < square.Right && py >= square.Top && py < square.Bottom;
            if (!in && At(canvas.Surface, px, py) != At(stone, px, py)) ++outside;
          }
        }
        EXPECT_EQ(outside, 0) << size << " " << number;
        // The number runs up to the square's right edge and stops there.
        const QColor edge = At(canvas.Surface, square.Right - 1, y);
        const QColor under = At(stone, square.Right - 1, y);
        if (black) {
          EXPECT_GT(edge.lightness(), under.lightness() + 100) << size << " " << number;
        } else {
          EXPECT_LT(edge.lightness(), under.lightness() - 100) << size << " " << number;
        }
      }
    }
  }
}

TEST(BoardCanvas, CandidateIsAStoneOfTheUsersColourWithATriangle) {
  for (const int size : kSizes) {
    for (const bool black : {true, false}) {
      BoardCanvas canvas = CanvasOf(size);
      const BoardGeometry& g = GeometryOf(size);
      const int x = g.PointToPixelX(MakePoint(3, 6)), y = g.PointToPixelY(MakePoint(3, 6));
      canvas.DrawCandidateMarker(x, y, x, y, black);
      const QColor pen = black ? QColor(Qt::white) : QColor(Qt::black);
      // Apex, both base corners, and a pixel of the base between them.
      EXPECT_EQ(At(canvas.Surface, x, y - g.TriangleF), pen) << size;
      EXPECT_EQ(At(canvas.Surface, x - g.TriangleE, y + g.TriangleD), pen) << size;
      EXPECT_EQ(At(canvas.Surface, x + g.TriangleE, y + g.TriangleD), pen) << size;
      EXPECT_EQ(At(canvas.Surface, x, y + g.TriangleD), pen) << size;
      // Inside the triangle the stone shows.
      EXPECT_EQ(At(canvas.Surface, x, y), black ? kTestBlackStone : kTestWhiteStone) << size;
    }
  }
}

TEST(BoardCanvas, MissingPicturesDrawNothingAndDoNotFail) {
  BoardCanvas canvas;
  canvas.ResizeSurface(50, 50);
  const QImage before = canvas.Surface;
  canvas.DrawBoardGrid();
  canvas.RepaintBoardBitmap();
  canvas.DrawStone(11, 11, true);
  canvas.EraseStone(11, 11);
  EXPECT_EQ(canvas.Surface, before);
  // Stones at the very edge of the surface are clipped, not written outside it.
  canvas.SetStoneSheet(TestStoneSheet(GeometryOf(19)));
  canvas.DrawStone(0, 0, true);
  canvas.DrawStone(49, 49, false);
  EXPECT_EQ(At(canvas.Surface, 0, 0), kTestBlackStone);
}
