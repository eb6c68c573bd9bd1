// Random legal games on 9, 13 and 19 lines, checked move by move against a small independent Go
// board, then stepped back to the start and replayed to the end.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "client/board/model/board_model.h"
#include "tests/client/board/board_test_support.h"

namespace {

// Plain Go rules by breadth-first search: captures, suicide forbidden, simple ko for one turn.
class ReferenceGo {
 public:
  explicit ReferenceGo(const BoardModel& start) : cells_(start.Board) {}

  const PointArray& Cells() const { return cells_; }
  int KoPoint() const { return ko_; }
  int Removed(int colour) const { return colour == kBlack ? blackRemoved_ : whiteRemoved_; }

  // A stone of `colour` on the empty point is allowed: not the ko point, and it keeps or gains a
  // liberty.
  bool IsLegal(int point, int colour) {
    if (cells_[point] != kEmpty || point == ko_) return false;
    Label();
    for (const int step : kNeighbourSteps) {
      const int n = point + step;
      if (cells_[n] == kEmpty) return true;
      if (cells_[n] == colour && liberties_[label_[n]] > 1) return true;
      if (cells_[n] == OtherColour(colour) && liberties_[label_[n]] == 1) return true;
    }
    return false;
  }

  void Play(int point, int colour) {
    cells_[point] = colour;
    dirty_ = true;
    int captured = 0, capturedPoint = 0;
    for (const int step : kNeighbourSteps) {
      const int n = point + step;
      if (cells_[n] != OtherColour(colour)) continue;
      Label();
      if (liberties_[label_[n]] != 0) continue;
      const int group = label_[n];
      for (int p = 0; p < kPointCount; ++p) {
        if (label_[p] == group && cells_[p] == OtherColour(colour)) {
          cells_[p] = kEmpty;
          dirty_ = true;
          ++captured;
          capturedPoint = p;
          ++(colour == kBlack ? whiteRemoved_ : blackRemoved_);
        }
      }
    }
    Label();
    const bool lone = sizes_[label_[point]] == 1 && liberties_[label_[point]] == 1;
    ko_ = captured == 1 && lone ? capturedPoint : 0;
  }

  void Pass() { ko_ = 0; }

  // Every group on the board has a liberty.
  bool EveryGroupBreathes() {
    Label();
    for (int p = 0; p < kPointCount; ++p) {
      if (IsStone(cells_[p]) && liberties_[label_[p]] == 0) return false;
    }
    return true;
  }

 private:
  // Labels the groups and counts their liberties again when the stones changed.
  void Label() {
    if (!dirty_) return;
    dirty_ = false;
    counted_.fill(0);
    label_.assign(kPointCount, 0);
    liberties_.assign(1, 0);
    sizes_.assign(1, 0);
    std::vector<int> stack;
    for (int start = 0; start < kPointCount; ++start) {
      if (!IsStone(cells_[start]) || label_[start] != 0) continue;
      const int group = static_cast<int>(liberties_.size());
      liberties_.push_back(0);
      sizes_.push_back(0);
      stack.push_back(start);
      label_[start] = group;
      while (!stack.empty()) {
        const int p = stack.back();
        stack.pop_back();
        ++sizes_[group];
        for (const int step : kNeighbourSteps) {
          const int n = p + step;
          if (cells_[n] == kEmpty && counted_[n] != group) {
            counted_[n] = group;
            ++liberties_[group];
          } else if (cells_[n] == cells_[p] && label_[n] == 0) {
            label_[n] = group;
            stack.push_back(n);
          }
        }
      }
    }
  }

  PointArray cells_;
  int ko_ = 0;
  int blackRemoved_ = 0, whiteRemoved_ = 0;
  bool dirty_ = true;
  std::vector<int> label_, liberties_, sizes_;
  PointArray counted_{};  // the group whose liberty a point was counted as last
};

// What a step back must bring back exactly.
struct Snapshot {
  PointArray Board, GroupIds, Liberties;
  int MoveTop, CaptureCount, BlackCaptured, WhiteCaptured;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const BoardModel& b) {
  return {b.Board,        b.GroupIds,      b.Liberties,    b.MoveTop,
          b.CaptureCount, b.BlackCaptured, b.WhiteCaptured};
}

int CountStones(const PointArray& board, int colour) {
  int n = 0;
  for (const int code : board) n += code == colour;
  return n;
}

// Plays one random legal game; fails the test at the first difference from the reference.
void PlayRandomGame(int size, unsigned seed, bool handicap) {
  BoardModel board;
  if (handicap) {
    SetUpPosition(board, size, {"", "", "", "...X.....X", "", "", "", "", "", "...X.....X"},
                  /*blackFirst=*/false);
  } else {
    board.SetBoardSize(size);
  }
  ReferenceGo reference(board);
  std::mt19937 random(seed);
  const int placedBlack = CountStones(board.Board, kBlack);
  const int placedWhite = CountStones(board.Board, kWhite);
  int blackPlaced = placedBlack, whitePlaced = placedWhite;
  std::vector<Snapshot> history{Take(board)};
  const int moves = size * size * 6 / 5;

  for (int m = 0; m < moves && BoardModel::CanAppendEntry(board.MoveTop); ++m) {
    const bool black = board.NextMoveIsBlack();
    const int colour = black ? kBlack : kWhite;
    std::vector<int> legal;
    for (int p = 0; p < kPointCount; ++p) {
      if (!IsPlayingPoint(p, size) || board.Board[p] != kEmpty) continue;
      const bool engine = board.IsPlayablePoint(p);
      ASSERT_EQ(engine, reference.IsLegal(p, colour))
          << "size " << size << " seed " << seed << " move " << board.MoveTop << " point " << p;
      if (engine) legal.push_back(p);
    }
    ASSERT_EQ(board.GroupIds[reference.KoPoint()] == kKoMark, reference.KoPoint() != 0);

    if (legal.empty() || random() % 25 == 0) {
      ASSERT_EQ(board.PlacePass(), PlaceOutcome::kPlaced);
      reference.Pass();
    } else {
      const int point = legal[random() % legal.size()];
      board.PendingPoint = point;
      ASSERT_EQ(black ? board.PlaceBlackStone() : board.PlaceWhiteStone(), PlaceOutcome::kPlaced);
      reference.Play(point, colour);
      ++(black ? blackPlaced : whitePlaced);
    }
    ASSERT_EQ(board.Board, reference.Cells()) << "size " << size << " seed " << seed;
    ASSERT_EQ(board.CheckConsistency(), "") << "size " << size << " seed " << seed;
    ASSERT_TRUE(reference.EveryGroupBreathes());
    // Prisoners are the stones that left the board.
    ASSERT_EQ(board.BlackCaptured, blackPlaced - CountStones(board.Board, kBlack));
    ASSERT_EQ(board.WhiteCaptured, whitePlaced - CountStones(board.Board, kWhite));
    ASSERT_EQ(board.BlackCaptured, reference.Removed(kBlack));
    history.push_back(Take(board));
  }
  ASSERT_GT(board.CaptureCount, 0) << "a game this long captures something";

  // Stepping back every move restores every earlier position exactly.
  board.BufferLength = board.MoveTop;
  for (int i = static_cast<int>(history.size()) - 2; i >= 0; --i) {
    board.ReplayStepBack();
    ASSERT_TRUE(Take(board) == history[i])
        << "size " << size << " seed " << seed << " back to " << i;
    ASSERT_EQ(board.CheckConsistency(), "");
  }
  // And replaying the buffer forward rebuilds them again.
  for (std::size_t i = 1; i < history.size(); ++i) {
    board.ReplayStepForward();
    ASSERT_TRUE(Take(board) == history[i]) << "size " << size << " seed " << seed << " on " << i;
  }
}

}  // namespace

TEST(BoardProperties, RandomLegalGamesAgreeWithPlainGoRulesAndStepBackExactly) {
  for (const int size : {9, 13, 19}) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
      PlayRandomGame(size, seed * 7919 + size, /*handicap=*/false);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(BoardProperties, RandomGamesFromAHandicapSetupWithWhiteFirst) {
  for (const int size : {13, 19}) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
      PlayRandomGame(size, seed * 104729 + size, /*handicap=*/true);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(BoardProperties, RewindAtAnyMoveKeepsThePositionAndTheLaterMoves) {
  // Re-basing at the shown move, one before it, and far back in a game with captures.
  for (const int size : {9, 19}) {
    for (const int back : {0, 1, 37}) {
      BoardModel board;
      board.SetBoardSize(size);
      std::mt19937 random(size);
      for (int m = 0; m < 120; ++m) {
        std::vector<int> legal;
        for (int p = 0; p < kPointCount; ++p) {
          if (board.IsPlayablePoint(p)) legal.push_back(p);
        }
        if (legal.empty()) break;
        board.PendingPoint = legal[random() % legal.size()];
        board.NextMoveIsBlack() ? board.PlaceBlackStone() : board.PlaceWhiteStone();
      }
      board.BufferLength = board.MoveTop;
      const PointArray end = board.Board;
      const int captured = board.BlackCaptured + board.WhiteCaptured;
      for (int i = 0; i < back; ++i) board.ReplayStepBack();
      const PointArray base = board.Board;
      board.ReplayToEnd();

      ASSERT_TRUE(board.RewindToMove(board.MoveTop - back));
      EXPECT_EQ(board.Board, end) << size << " " << back;
      EXPECT_EQ(board.BufferLength, board.MoveTop);
      EXPECT_EQ(board.MoveTop - board.SetupCount, back);
      EXPECT_LE(board.BlackCaptured + board.WhiteCaptured, captured);
      EXPECT_EQ(board.CheckConsistency(), "");
      board.ReplayToStart();
      EXPECT_EQ(board.Board, base) << size << " " << back;
      EXPECT_EQ(board.CheckConsistency(), "");
      board.ReplayToEnd();
      EXPECT_EQ(board.Board, end);
      EXPECT_EQ(board.CheckConsistency(), "");
    }
  }
}
