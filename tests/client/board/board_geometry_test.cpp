// Tests of the board window's geometry: points to pixels, clicks to points at the edges of the hit
// intervals, the turned view, and the squares stones are drawn and erased in.
#include "client/board/board_geometry.h"

#include <gtest/gtest.h>

#include "client/board/model/board_rules.h"

namespace {
constexpr int kSizes[] = {19, 13, 9};
}  // namespace

TEST(BoardGeometry, LinesLieWhereTheBoardPicturesExpectThem) {
  struct Case {
    int size, first, last;
  } cases[] = {{19, 11, 371}, {13, 18, 366}, {9, 24, 360}};
  for (const auto& c : cases) {
    const BoardGeometry& g = GeometryOf(c.size);
    EXPECT_EQ(g.FirstLine(), c.first) << c.size;
    EXPECT_EQ(g.LastLine(), c.last) << c.size;
    // Column 1 at the left, row 1 at the top; every line one pitch further.
    for (int i = 1; i <= c.size; ++i) {
      EXPECT_EQ(g.PointToPixelX(MakePoint(i, 1)), c.first + (i - 1) * g.CellSize);
      EXPECT_EQ(g.PointToPixelY(MakePoint(1, i)), c.first + (i - 1) * g.CellSize);
    }
    // Stones on the outer lines stay inside the board picture.
    const PixelRect outer = g.StoneRect(c.last, c.last);
    EXPECT_GE(g.StoneRect(c.first, c.first).Left, 0);
    EXPECT_LE(outer.Right, kBoardPictureSide) << c.size;
  }
  // Anything but 13 and 9 is drawn on 19 lines.
  EXPECT_EQ(GeometryOf(7).Size, 19);
}

TEST(BoardGeometry, ClicksMapToLinesAtTheEdgesOfTheHitIntervals) {
  // The examples of the window: midway between two lines on 19, and left of the first line on 13.
  EXPECT_EQ(GeometryOf(19).LineAt(21), 1);
  EXPECT_EQ(GeometryOf(19).LineAt(22), 2);
  EXPECT_EQ(GeometryOf(13).LineAt(3), 0);
  EXPECT_EQ(GeometryOf(13).LineAt(4), 1);
  for (const int size : kSizes) {
    const BoardGeometry& g = GeometryOf(size);
    for (int i = 1; i <= size; ++i) {
      const int low = i * g.CellSize - g.HitBelow;   // excluded
      const int high = i * g.CellSize + g.HitAbove;  // included
      EXPECT_NE(g.LineAt(low), i) << size << " line " << i;
      EXPECT_EQ(g.LineAt(low + 1), i) << size << " line " << i;
      EXPECT_EQ(g.LineAt(high), i) << size << " line " << i;
      EXPECT_NE(g.LineAt(high + 1), i) << size << " line " << i;
      // The line itself and its centre always hit.
      EXPECT_EQ(g.LineAt(i * g.CellSize - g.BoardOrigin), i);
    }
    // The intervals follow each other without a gap inside the board; outside there is none.
    for (int v = GeometryOf(size).CellSize - g.HitBelow + 1; v <= size * g.CellSize + g.HitAbove;
         ++v) {
      EXPECT_GT(g.LineAt(v), 0) << size << " at " << v;
    }
    EXPECT_EQ(g.LineAt(g.CellSize - g.HitBelow), 0) << size;
    EXPECT_EQ(g.LineAt(size * g.CellSize + g.HitAbove + 1), 0) << size;
    EXPECT_EQ(g.LineAt(-5), 0);
  }
}

TEST(BoardGeometry, SnappingKeepsAnAxisThatNoIntervalHolds) {
  const BoardGeometry& g = GeometryOf(13);
  int x = 111, y = 111;
  SnapClickToGrid(g, 3, 60, x, y);  // x left of every interval
  EXPECT_EQ(x, 111);
  EXPECT_EQ(y, 2 * 29 - 11);
  SnapClickToGrid(g, 4, 500, x, y);  // y below every interval
  EXPECT_EQ(x, 18);
  EXPECT_EQ(y, 2 * 29 - 11);
  SnapClickToGrid(g, 380, 381, x, y);  // the last pixel of the last interval, then one beyond
  EXPECT_EQ(x, 366);
  EXPECT_EQ(y, 2 * 29 - 11);
}

TEST(BoardGeometry, EveryIntersectionIsClickedBackToItsPoint) {
  for (const int size : kSizes) {
    const BoardGeometry& g = GeometryOf(size);
    for (int column = 1; column <= size; ++column) {
      for (int row = 1; row <= size; ++row) {
        const int point = MakePoint(column, row);
        const int x = g.PointToPixelX(point);
        const int y = g.PointToPixelY(point);
        // Anywhere in the cell's hit square clicks the point.
        for (const auto& [dx, dy] : {std::pair{0, 0},
                                     {1 - g.HitBelow + g.BoardOrigin, 0},
                                     {g.HitAbove + g.BoardOrigin, g.HitAbove + g.BoardOrigin}}) {
          int clickX = 0, clickY = 0;
          SnapClickToGrid(g, x + dx, y + dy, clickX, clickY);
          EXPECT_EQ(clickX, x);
          EXPECT_EQ(clickY, y);
          EXPECT_EQ(g.ClickedPoint(clickX, clickY), point) << size << " " << column << "," << row;
        }
      }
    }
  }
}

TEST(BoardGeometry, TurnedPointsAreDrawnAndClickedMirroredThroughTheCentre) {
  for (const int size : kSizes) {
    const BoardGeometry& g = GeometryOf(size);
    const int mirror = g.FirstLine() + g.LastLine();
    for (int column = 1; column <= size; ++column) {
      for (int row = 1; row <= size; ++row) {
        const int point = MakePoint(column, row);
        const int turned = TurnPoint(point, size);
        ASSERT_TRUE(IsPlayingPoint(turned, size));
        EXPECT_EQ(g.PointToPixelX(turned), mirror - g.PointToPixelX(point));
        EXPECT_EQ(g.PointToPixelY(turned), mirror - g.PointToPixelY(point));
        // A click on the mirrored pixel names the turned point.
        int clickX = 0, clickY = 0;
        SnapClickToGrid(g, mirror - g.PointToPixelX(point), mirror - g.PointToPixelY(point), clickX,
                        clickY);
        EXPECT_EQ(g.ClickedPoint(clickX, clickY), turned);
      }
    }
  }
}

TEST(BoardGeometry, EraseSquaresCoverTheirStoneAndLeaveTheNeighboursAlone) {
  for (const int size : kSizes) {
    const BoardGeometry& g = GeometryOf(size);
    const int x = g.PointToPixelX(MakePoint(5, 5));
    const int y = g.PointToPixelY(MakePoint(5, 5));
    const PixelRect stone = g.StoneRect(x, y);
    const PixelRect erase = g.EraseRect(x, y);
    EXPECT_EQ(stone.Width(), g.Sprite);
    EXPECT_EQ(stone.Height(), g.Sprite);
    EXPECT_LE(erase.Left, stone.Left) << size;
    EXPECT_LE(erase.Top, stone.Top) << size;
    EXPECT_GE(erase.Right, stone.Right) << size;
    EXPECT_GE(erase.Bottom, stone.Bottom) << size;
    // The neighbour's erase square starts where this one ends (or later) on both axes.
    const PixelRect next = g.EraseRect(x + g.CellSize, y + g.CellSize);
    EXPECT_LE(erase.Right, next.Left) << size;
    EXPECT_LE(erase.Bottom, next.Top) << size;
    // And this stone lies wholly outside the neighbour's square.
    EXPECT_LE(stone.Right, next.Left) << size;
  }
}

TEST(BoardGeometry, LongNumbersAreDrawnLikeThreeDigits) {
  for (const int size : kSizes) {
    const BoardGeometry& g = GeometryOf(size);
    for (const bool black : {true, false}) {
      const NumberStyle three = g.NumberStyleFor(3, black);
      const NumberStyle four = g.NumberStyleFor(4, black);
      EXPECT_EQ(four.FontSize, three.FontSize);
      EXPECT_EQ(four.Dx, three.Dx);
      EXPECT_EQ(four.Dy, three.Dy);
    }
  }
}
