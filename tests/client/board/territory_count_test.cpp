// Tests of the count: komi and the result text, dead groups and their points, the region fill
// against a plain region search, the restore after a count, guarded received operations and the
// points of the shared count on every board size.
#include "client/board/model/territory_count.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "platform/cp932.h"
#include "tests/client/board/board_test_support.h"

namespace {

// A count of the position of `rows` (see SetUpPosition) with `marks` ('b' black mark, 'w' white
// mark, anything else nothing) laid over it.
TerritoryCount CountOf(int size, const std::vector<std::string>& rows, int komi = 0,
                       const std::vector<std::string>& marks = {}) {
  BoardModel position;
  SetUpPosition(position, size, rows);
  TerritoryCount count;
  count.Begin(position, komi);
  for (int row = 1; row <= static_cast<int>(marks.size()); ++row) {
    for (int column = 1; column <= static_cast<int>(marks[row - 1].size()); ++column) {
      const char c = marks[row - 1][column - 1];
      if (c == 'b' || c == 'w') count.Click(MakePoint(column, row), c == 'b');
    }
  }
  return count;
}

// Territory of each colour by a plain search: every maximal empty region (dead stones count as
// empty) that touches stones or marks of exactly one colour and no other is that colour's; its
// points that held no dead stone count one each.
std::pair<int, int> RegionTerritory(const TerritoryCount& count) {
  PointArray board = count.Board;
  for (int& v : board) {
    if (v == kDeadBlack || v == kDeadWhite) v = kEmpty;
  }
  std::set<int> seen;
  int black = 0, white = 0;
  for (int start = 0; start < kPointCount; ++start) {
    if (board[start] != kEmpty || seen.count(start) > 0) continue;
    std::vector<int> region{start};
    seen.insert(start);
    bool touchesBlack = false, touchesWhite = false;
    for (std::size_t i = 0; i < region.size(); ++i) {
      for (const int step : kNeighbourSteps) {
        const int n = region[i] + step;
        const int digit = ColourDigit(board[n]);
        touchesBlack |= digit == kBlack;
        touchesWhite |= digit == kWhite;
        if (board[n] == kEmpty && seen.insert(n).second) region.push_back(n);
      }
    }
    if (touchesBlack == touchesWhite) continue;
    int points = 0;
    for (const int p : region) points += count.Board[p] == kEmpty ? 1 : 0;
    (touchesBlack ? black : white) += points;
  }
  return {black, white};
}

const std::vector<std::string> kWalls = {
    // Black wall on column 4, white wall on column 5; a white stone at 2-2 in black's area and a
    // black pair at 7-2 and 8-2 in white's area.
    "...XO....", ".O.XO.XX.", "...XO....", "...XO....", "...XO....",
    "...XO....", "...XO....", "...XO....", "...XO....",
};

}  // namespace

TEST(KomiAndResult, ResultTextsForEveryOutcomeAndKomi) {
  struct Case {
    int komi, black, white;  // totals before komi
    const char* result;
  } cases[] = {
      {65, 70, 64, "    白 半目勝ち"},  // white 70 and a half against 70
      {0, 70, 70, "    持 碁 で す！"},
      {0, 71, 70, "    黒 1 目勝ち"},
      {5, 71, 70, "    黒 半目勝ち"},  // half a point of komi against one point
      {65, 80, 64, "    黒 9 目半勝ち"},
      {65, 60, 64, "    白 10 目半勝ち"},
      {60, 60, 64, "    白 10 目勝ち"},
      {-50, 70, 75, "    持 碁 で す！"},  // white loses exactly 5
      {-55, 70, 75, "    黒 半目勝ち"},    // -6 and a half: white 69.5
      {-5, 70, 70, "    黒 半目勝ち"},     // -1 and a half: white 69.5
      {-5, 70, 71, "    白 半目勝ち"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CountResultText(c.black, c.white + KomiWhole(c.komi), KomiHasHalf(c.komi)),
              J(c.result))
        << c.komi << " " << c.black << " " << c.white;
  }
}

TEST(KomiAndResult, CaptionShowsTheKomiWithItsSignAndTenths) {
  struct Case {
    int komi;
    const char* caption;
  } cases[] = {
      {0, " [ 太郎 ]   ヌルカ - 地の計算"},
      {65, " [ 太郎 ]   ヌルカ - 地の計算  { コ ミ = 6.5 }"},
      {60, " [ 太郎 ]   ヌルカ - 地の計算  { コ ミ = 6 }"},
      {-50, " [ 太郎 ]   ヌルカ - 地の計算  { コ ミ = -5 }"},
      {-55, " [ 太郎 ]   ヌルカ - 地の計算  { コ ミ = -5.5 }"},
      {-5, " [ 太郎 ]   ヌルカ - 地の計算  { コ ミ = -0.5 }"},
  };
  for (const auto& c : cases) EXPECT_EQ(CountCaption(J("太郎"), c.komi), J(c.caption)) << c.komi;
}

TEST(TerritoryCount, DeadGroupsScoreTwiceForTheCaptorAndTheirPointsAreNotTerritory) {
  TerritoryCount count = CountOf(9, kWalls, 65);
  EXPECT_EQ(count.Click(MakePoint(2, 2), true), kMarkGroupDead);
  EXPECT_EQ(count.Click(MakePoint(8, 2), true), kMarkGroupDead);
  // One point per stone when marked.
  EXPECT_EQ(count.BlackScore, 1);
  EXPECT_EQ(count.WhiteScore, 2);
  EXPECT_EQ(count.Board[MakePoint(7, 2)], kDeadBlack);

  count.CountTerritory();
  // Black: 27 points of area, the dead stone's point among them, plus the stone twice.
  EXPECT_EQ(count.BlackTotal, 26 + 2);
  EXPECT_EQ(count.WhiteTotal, 34 + 4);
  EXPECT_EQ(count.ResultText, J("    白 16 目半勝ち"));
  // The scores wait as they were; the territory leaves the board, the dead stones stay off it.
  EXPECT_EQ(count.BlackScore, 1);
  EXPECT_EQ(count.WhiteScore, 2);
  EXPECT_EQ(count.Board[MakePoint(1, 1)], kEmpty);
  EXPECT_EQ(count.Board[MakePoint(7, 2)], kEmpty);

  // Revived, the black pair makes white's side dame.
  count.RestoreBeforeCount();
  EXPECT_EQ(count.Click(MakePoint(7, 2), false), kReviveGroup);
  EXPECT_EQ(count.WhiteScore, 0);
  EXPECT_EQ(count.Board[MakePoint(8, 2)], kBlack);
  count.CountTerritory();
  EXPECT_EQ(count.BlackTotal, 28);
  EXPECT_EQ(count.WhiteTotal, 0);
}

TEST(TerritoryCount, RegionsTouchingBothColoursAreDameWhicheverColourReachesThemFirst) {
  struct Case {
    const char* what;
    std::vector<std::string> rows, marks;
    int black, white;
  } cases[] = {
      // The middle columns are reached first from black (left), then from white.
      {"black left",
       {"..X...O..", "..X...O..", "..X...O..", "..X...O..", "..X...O..", "..X...O..", "..X...O..",
        "..X...O..", "..X...O.."},
       {},
       18,
       18},
      {"white left",
       {"..O...X..", "..O...X..", "..O...X..", "..O...X..", "..O...X..", "..O...X..", "..O...X..",
        "..O...X..", "..O...X.."},
       {},
       18,
       18},
      // A white mark in black's area spoils it; a black mark in the middle keeps it dame.
      {"marks",
       {"..X...O..", "..X...O..", "..X...O..", "..X...O..", "..X...O..", "..X...O..", "..X...O..",
        "..X...O..", "..X...O.."},
       {".w.......", ".........", ".........", ".........", "....b...."},
       0,
       18},
      // Only black stones and the edge: black's; an empty board: nobody's.
      {"edge", {"X........"}, {}, 80, 0},
      {"empty", {}, {}, 0, 0},
  };
  for (const auto& c : cases) {
    TerritoryCount count = CountOf(9, c.rows, 0, c.marks);
    count.CountTerritory();
    EXPECT_EQ(count.BlackTotal, c.black) << c.what;
    EXPECT_EQ(count.WhiteTotal, c.white) << c.what;
  }
}

TEST(TerritoryCount, RandomPositionsCountAsAPlainRegionSearchOnEverySize) {
  std::mt19937 random(4101);
  for (int round = 0; round < 300; ++round) {
    const int size = round % 3 == 0 ? 19 : round % 3 == 1 ? 13 : 9;
    std::vector<std::string> rows(size, std::string(size, '.'));
    std::vector<std::string> marks(size, std::string(size, '.'));
    const int density = 5 + static_cast<int>(random() % 40);
    for (auto& row : rows) {
      for (char& c : row) {
        const int r = static_cast<int>(random() % 100);
        c = r < density ? 'X' : r < 2 * density ? 'O' : '.';
      }
    }
    for (int row = 0; row < size; ++row) {
      for (int column = 0; column < size; ++column) {
        const int r = static_cast<int>(random() % 100);
        if (rows[row][column] == '.' && r < 4) marks[row][column] = r < 2 ? 'b' : 'w';
      }
    }
    TerritoryCount count = CountOf(size, rows, 0, marks);
    // The prisoners of the set-up (stones left without a liberty), then some groups dead.
    const int prisonersOfBlack = count.BlackScore, prisonersOfWhite = count.WhiteScore;
    for (int p = 0; p < kPointCount; ++p) {
      if (IsStone(count.Board[p]) && random() % 25 == 0) count.Click(p, true);
    }
    int deadBlack = 0, deadWhite = 0;
    for (const int v : count.Board) {
      deadBlack += v == kDeadBlack ? 1 : 0;
      deadWhite += v == kDeadWhite ? 1 : 0;
    }
    ASSERT_EQ(count.BlackScore, prisonersOfBlack + deadWhite) << round;
    ASSERT_EQ(count.WhiteScore, prisonersOfWhite + deadBlack) << round;
    const auto [black, white] = RegionTerritory(count);
    count.CountTerritory();
    EXPECT_EQ(count.BlackTotal, prisonersOfBlack + black + 2 * deadWhite) << round;
    EXPECT_EQ(count.WhiteTotal, prisonersOfWhite + white + 2 * deadBlack) << round;
    for (const int v : count.Visited) ASSERT_EQ(v, 0) << round;
  }
}

TEST(TerritoryCount, RecountRestoresMarksDeadStonesAndScoresAndClicksWaitMeanwhile) {
  TerritoryCount count = CountOf(9, kWalls, 0, {".........", ".........", "b.......w"});
  count.Click(MakePoint(2, 2), true);
  const PointArray before = count.Board;
  count.CountTerritory();
  ASSERT_TRUE(count.CountShown);
  const PointArray counted = count.Board;
  EXPECT_EQ(count.Click(MakePoint(6, 6), true), kNoCountOperation);
  EXPECT_FALSE(count.DragOver(MakePoint(6, 7), true, false));
  EXPECT_EQ(count.Board, counted);
  count.RestoreBeforeCount();
  EXPECT_FALSE(count.CountShown);
  EXPECT_EQ(count.Board, before);
  EXPECT_EQ(count.BlackScore, 1);
  EXPECT_EQ(count.WhiteScore, 0);
  // A second count gives the same result.
  count.CountTerritory();
  EXPECT_EQ(count.Board, counted);
}

TEST(TerritoryCount, ReceivedOperationsOffTheBoardOnTheWrongPointOrOutOfOrderChangeNothing) {
  struct Case {
    const char* what;
    int type, point;
    bool counted;  // a count is on show when it arrives
  } cases[] = {
      {"pass", kPlaceBlackMark, 0, false},
      {"negative", kPlaceBlackMark, -22, false},
      {"beyond the grid", kPlaceWhiteMark, 441, false},
      {"far beyond", kMarkGroupDead, 100000, false},
      {"ring", kPlaceBlackMark, MakePoint(0, 3), false},
      {"outside 9 lines", kPlaceBlackMark, MakePoint(10, 10), false},
      {"mark on a stone", kPlaceBlackMark, MakePoint(4, 1), false},
      {"mark on a mark", kPlaceWhiteMark, MakePoint(1, 3), false},
      {"erase a stone", kEraseMark, MakePoint(4, 1), false},
      {"erase nothing", kEraseMark, MakePoint(2, 1), false},
      {"revive a living stone", kReviveGroup, MakePoint(5, 1), false},
      {"kill an empty point", kMarkGroupDead, MakePoint(2, 1), false},
      {"kill a mark", kMarkGroupDead, MakePoint(1, 3), false},
      {"unknown type", 9, MakePoint(2, 1), false},
      {"no type", 0, MakePoint(2, 1), false},
      {"restore with no count", kRestoreBeforeCount, 0, false},
      {"count during a count", kCountTerritory, 0, true},
      {"mark during a count", kPlaceBlackMark, MakePoint(2, 1), true},
      {"kill during a count", kMarkGroupDead, MakePoint(4, 1), true},
  };
  for (const auto& c : cases) {
    TerritoryCount count = CountOf(9, kWalls, 0, {".........", ".........", "b........"});
    if (c.counted) count.CountTerritory();
    const TerritoryCount before = count;
    EXPECT_FALSE(count.ApplyOperation(c.type, c.point)) << c.what;
    EXPECT_EQ(count.Board, before.Board) << c.what;
    EXPECT_EQ(count.BlackScore, before.BlackScore) << c.what;
    EXPECT_EQ(count.WhiteScore, before.WhiteScore) << c.what;
    EXPECT_EQ(count.CountShown, before.CountShown) << c.what;
  }
}

TEST(ReadCountOperations, EveryOperationOfOneReadEachFromItsOwnPart) {
  using Ops = std::vector<ReceivedCountOperation>;
  struct Case {
    std::string message;
    Ops operations;
  } cases[] = {
      {"<<GameIndex=1>><<RealTimeCount>><<Type=5>><<Value=44>>", {{5, 44}}},
      // Two in one read: the second keeps its own values.
      {"<<GameIndex=1>><<RealTimeCount>><<Type=5>><<Value=44>>"
       "<<GameIndex=1>><<RealTimeCount>><<Type=7>>",
       {{5, 44}, {7, 0}}},
      {"<<RealTimeCount>><<Type=1>><<Value=x>><<RealTimeCount>><<Value=30>>", {{1, 0}, {0, 30}}},
      {"<<RealTimeCountStart>><<RealTimeCountEnd>>", {}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadCountOperations(c.message), c.operations) << c.message;
  std::string flood;
  for (int i = 0; i < 3 * kMaxOperationsPerRead; ++i) flood += "<<RealTimeCount>><<Type=5>>";
  EXPECT_EQ(ReadCountOperations(flood).size(), static_cast<std::size_t>(kMaxOperationsPerRead));
}

TEST(FlipPointForWire, TurnsEveryPointOfEverySizeAndBackAndLeavesTheRestAlone) {
  for (const int size : {19, 13, 9}) {
    for (int p = -5; p < kPointCount + 5; ++p) {
      EXPECT_EQ(FlipPointForWire(p, size, false), p);
      const int sent = FlipPointForWire(p, size, true);
      if (!IsPlayingPoint(p, size)) {
        EXPECT_EQ(sent, p) << size << " " << p;
        continue;
      }
      ASSERT_TRUE(IsPlayingPoint(sent, size)) << size << " " << p;
      EXPECT_EQ(PointColumn(sent), size + 1 - PointColumn(p));
      EXPECT_EQ(PointRow(sent), size + 1 - PointRow(p));
      EXPECT_EQ(FlipPointForWire(sent, size, true), p);
    }
    EXPECT_EQ(FlipPointForWire(MakePoint(1, 1), size, true), MakePoint(size, size));
  }
}
