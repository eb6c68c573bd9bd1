// Tests of watching a game without a window: the snapshot read by position, the conditions from
// its record, the watch buffer, the replay bar's fields and the re-basing of a record.
#include "client/board/model/watching.h"

#include <gtest/gtest.h>

#include "bench/sample_game.h"
#include "client/board/model/replay_bar.h"
#include "platform/cp932.h"
#include "tests/client/board/board_test_support.h"

namespace {

struct SnapshotParts {
  std::string chat = J("[ 黒田 ]：よろしく\r\n");
  std::string record = "(;SZ[13]PB[kuro]PW[shiro]BT[1800]WT[1800]AM[0]KM[6.5]HA[0];[dd];[jj]";
  std::string black = "1790";
  std::string white = "1795";
  std::string count = "2";
  std::string names = "ann\nbob\n";
  std::string hints = "[0][1]";
  std::string game = "3";
  std::string diagrams;
};

// The snapshot as the server writes it, after the echoed request.
std::string Snapshot(const SnapshotParts& p) {
  return "<<WatchGame=3>><<AllMese=" + p.chat + ">><<AllGameData=" + p.record +
         ">><<KuroTime=" + p.black + ">><<SiroTime=" + p.white + ">><<WatchCount=" + p.count +
         ">><<WatchList=" + p.names + ">><<WaitHint=" + p.hints + ">><<GameIndex=" + p.game +
         ">><<DiaStr=" + p.diagrams + ">><<DraumEND>>";
}

}  // namespace

TEST(ReadWatchSnapshot, EmptyPartsMissingPartsAndTheGameNumber) {
  SnapshotParts empty;
  empty.chat = empty.record = empty.black = empty.names = empty.hints = "";
  WatchSnapshot s = ReadWatchSnapshot(Snapshot(empty));
  EXPECT_TRUE(s.Complete);
  EXPECT_EQ(s.Record, "");
  EXPECT_EQ(s.BlackClock, 0);
  EXPECT_EQ(s.DiagramStore, "");
  EXPECT_EQ(s.GameIndex, 3);

  // A game number that is no number falls back to the request's.
  SnapshotParts odd;
  odd.game = "x";
  odd.black = "-20";
  s = ReadWatchSnapshot(Snapshot(odd));
  EXPECT_EQ(s.GameIndex, 3);
  EXPECT_EQ(s.BlackClock, 0);

  // A snapshot cut short keeps what stood before the cut and nothing after it.
  const std::string whole = Snapshot(SnapshotParts{});
  s = ReadWatchSnapshot(whole.substr(0, whole.find("<<WatchList=")));
  EXPECT_FALSE(s.Complete);
  EXPECT_EQ(s.WhiteClock, 1795);
  EXPECT_EQ(s.WatchCount, 0);
  EXPECT_EQ(s.WatchList, "");
  EXPECT_EQ(s.GameIndex, 3);  // from the request
  EXPECT_FALSE(ReadWatchSnapshot("<<WatchGame=2>>").Complete);
}

TEST(ReadWatchConditions, HandicapKomiTimesAndAddedSeconds) {
  struct Case {
    const char* record;
    const char* text;
    int komi;
    int added;
    const char* time;
  } cases[] = {
      {"HA[1]KM[0]", "定先 ( コミ = 0 )", 0, 0, ""},
      {"BT[1800]WT[1800]KM[6.5]HA[0]", "互先 ( コミ = 6.5 )  持ち時間 = 30 分", 65, 0, "TM[1800]"},
      {"BT[1800]WT[1200]AM[10]KM[-3.5]HA[4]", "四子局 ( コミ = -3.5 )  黒30分/白20分 (+10秒)", -35,
       10, "TM[1800/1200]"},
      {"BT[x]WT[]AM[]KM[]HA[9]", "九子局  持ち時間 = 0 分", 0, 0, "TM[0]"},
      {"BT[]HA[0]", "互先", 0, 0, ""},
      {"HA[12]", "互先", 0, 0, ""},
      {"KM[0.5]", " ( コミ = 0.5 )", 5, 0, ""},
      {"", "", 0, 0, ""},
  };
  for (const auto& c : cases) {
    const WatchConditions got = ReadWatchConditions(c.record);
    EXPECT_EQ(got.Text, J(c.text)) << c.record;
    EXPECT_EQ(got.KomiTenths, c.komi) << c.record;
    EXPECT_EQ(got.AddSeconds, c.added) << c.record;
    EXPECT_EQ(got.RecordTimeText, c.time) << c.record;
  }
  for (const char* value : {"0", "", "10", "x"}) EXPECT_EQ(HandicapName(value), J("互先"));
  EXPECT_EQ(HandicapName("2"), J("二子局"));
}

TEST(StoreWatchedMove, OffBoardPointsAlwaysAndOccupiedPointsOnlyAtTheNewestMove) {
  BoardModel board;
  board.SetBoardSize(9);
  ASSERT_EQ(StoreWatchedMove(board, Pt("cc")), WatchedMoveOutcome::kShown);
  struct Case {
    int point;
    WatchedMoveOutcome outcome;
  } atNewest[] = {
      {Pt("cc"), WatchedMoveOutcome::kInvalid},          // occupied
      {MakePoint(10, 3), WatchedMoveOutcome::kInvalid},  // the ring of a 9-line board
      {MakePoint(0, 3), WatchedMoveOutcome::kInvalid},
      {441, WatchedMoveOutcome::kInvalid},
      {-1, WatchedMoveOutcome::kInvalid},
  };
  for (const auto& c : atNewest) EXPECT_EQ(StoreWatchedMove(board, c.point), c.outcome) << c.point;
  EXPECT_EQ(board.BufferLength, 1);

  // Stepped back, the occupied point is stored and replays as a pass; the ring is still refused.
  ASSERT_EQ(StoreWatchedMove(board, Pt("dd")), WatchedMoveOutcome::kShown);
  board.ReplayStepBack();
  EXPECT_EQ(StoreWatchedMove(board, Pt("cc")), WatchedMoveOutcome::kStored);
  EXPECT_EQ(StoreWatchedMove(board, MakePoint(10, 3)), WatchedMoveOutcome::kInvalid);
  EXPECT_EQ(StoreWatchedMove(board, 0), WatchedMoveOutcome::kStored);
  board.ReplayToEnd();
  EXPECT_EQ(board.MoveTop, 4);
  EXPECT_EQ(board.MoveList[3], 0);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(ReplayBar, FieldEdgesAndTheRoomInputTheyStandFor) {
  struct Case {
    int x;
    ReplayAction action;
    int type;
  } cases[] = {
      {-1, ReplayAction::kNone, 0},         {0, ReplayAction::kToStart, 10},
      {27, ReplayAction::kToStart, 10},     {28, ReplayAction::kBack10, 9},
      {55, ReplayAction::kBack10, 9},       {56, ReplayAction::kStepBack, 8},
      {83, ReplayAction::kStepBack, 8},     {84, ReplayAction::kStepForward, 5},
      {111, ReplayAction::kStepForward, 5}, {112, ReplayAction::kForward10, 6},
      {139, ReplayAction::kForward10, 6},   {140, ReplayAction::kToEnd, 7},
      {167, ReplayAction::kToEnd, 7},       {5000, ReplayAction::kToEnd, 7},
  };
  for (const auto& c : cases) {
    const ReplayBarField field = ReplayBarFieldAt(c.x);
    EXPECT_EQ(field.Action, c.action) << c.x;
    EXPECT_EQ(field.RoomInputType, c.type) << c.x;
  }
  EXPECT_EQ(ReplayRoomInput(9, 37), "<<DiscussInput>><<Type=9>><<MoveSuu=37>>");
}

// Re-basing at a move that captured: the new setup is the position after it, the later moves
// stay replayable, and stepping to both ends of the new record gives the positions of the old.
TEST(BoardReplay, RewindAtACapturingMoveThenBothEnds) {
  BoardModel board;
  LoadSampleGame(board);
  board.PositionFromRecord();
  // The first move that captured, and the position after it and after the last move.
  int capturing = 0;
  for (int k = 0; k < board.CaptureCount && capturing == 0; ++k) {
    capturing = board.CaptureLog[k] / 10000;
  }
  ASSERT_GT(capturing, 0);
  const PointArray atEnd = board.Board;
  while (board.MoveTop > capturing) board.ReplayStepBack();
  const PointArray atCapture = board.Board;
  const int capturedSoFar = board.BlackCaptured + board.WhiteCaptured;
  ASSERT_GT(capturedSoFar, 0);
  board.ReplayForward10();
  const int shown = board.MoveTop;
  const PointArray atShown = board.Board;

  ASSERT_TRUE(board.RewindToMove(capturing));
  const int later = kSampleGameMoves - capturing;
  EXPECT_EQ(board.BufferLength, board.SetupCount + later);
  EXPECT_EQ(board.MoveTop, board.SetupCount + shown - capturing);
  EXPECT_EQ(board.Board, atShown);
  EXPECT_EQ(board.MoveNumberOf(board.MoveTop), shown - capturing);
  EXPECT_EQ(board.CheckConsistency(), "");

  board.ReplayToStart();
  EXPECT_EQ(board.Board, atCapture);
  EXPECT_EQ(board.BlackCaptured + board.WhiteCaptured, 0);
  EXPECT_EQ(board.CaptureCount, 0);
  EXPECT_EQ(board.CheckConsistency(), "");
  board.ReplayToEnd();
  EXPECT_EQ(board.Board, atEnd);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(BoardReplay, RewindRefusesPassesAndMovesNotHeldInTheBuffer) {
  BoardModel board;
  board.SetBoardSize(9);
  for (const char* move : {"cc", "tt", "dd"}) PlayInTurn(board, move);
  // An own game: the moves were played, not buffered.
  EXPECT_FALSE(board.RewindToMove(3));
  board.BufferLength = board.MoveTop;
  EXPECT_FALSE(board.RewindToMove(2));  // a pass
  EXPECT_TRUE(board.RewindToMove(1));
  EXPECT_EQ(board.SetupCount, 1);
  EXPECT_EQ(board.MoveTop, 3);
  EXPECT_EQ(board.CheckConsistency(), "");
}
