// Tests of the rules engine on hand-made positions: captures, ko, forbidden points, stepping back,
// replay, re-basing, turning, setup editing and the list capacity.
#include "client/board/model/board_model.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "tests/client/board/board_test_support.h"

namespace {

// The classic ko: black to play at "cb" takes the lone white stone on "bb".
const std::vector<std::string> kKoShape = {
    ".XO.",
    "XO.O",
    ".XO.",
};

}  // namespace

TEST(BoardRules, LoneStoneTakingLoneStoneMarksKoForOneTurn) {
  BoardModel board;
  SetUpPosition(board, 9, kKoShape);
  ASSERT_EQ(board.CheckConsistency(), "");
  ASSERT_EQ(PlayInTurn(board, "cb"), PlaceOutcome::kPlaced);
  EXPECT_EQ(board.Board[Pt("bb")], kEmpty);
  EXPECT_EQ(board.GroupIds[Pt("bb")], kKoMark);
  EXPECT_FALSE(board.IsPlayablePoint(Pt("bb")));  // white may not retake at once
  EXPECT_EQ(board.WhiteCaptured, 1);
  EXPECT_EQ(board.CaptureLog[board.CaptureCount - 1], board.MoveTop * 10000 + Pt("bb") * 10 + 1);
  EXPECT_EQ(board.CheckConsistency(), "");

  // Any other move ends the ko mark; black may then fill or white retake after a further move.
  ASSERT_EQ(PlayInTurn(board, "gg"), PlaceOutcome::kPlaced);
  EXPECT_EQ(board.GroupIds[Pt("bb")], 0);
  EXPECT_EQ(board.CheckConsistency(), "");
  ASSERT_EQ(PlayInTurn(board, "gh"), PlaceOutcome::kPlaced);
  EXPECT_TRUE(board.IsPlayablePoint(Pt("bb")));  // white retakes: a ko for black now
  ASSERT_EQ(PlayInTurn(board, "bb"), PlaceOutcome::kPlaced);
  EXPECT_EQ(board.Board[Pt("cb")], kEmpty);
  EXPECT_EQ(board.GroupIds[Pt("cb")], kKoMark);
  EXPECT_EQ(board.BlackCaptured, 1);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(BoardRules, PassEndsTheKoMark) {
  BoardModel board;
  SetUpPosition(board, 9, kKoShape);
  PlayInTurn(board, "cb");
  ASSERT_EQ(board.GroupIds[Pt("bb")], kKoMark);
  ASSERT_EQ(board.PlacePass(), PlaceOutcome::kPlaced);
  EXPECT_EQ(board.GroupIds[Pt("bb")], 0);  // black's own eye: neither ko nor forbidden
  EXPECT_EQ(board.MoveList[board.MoveTop], 0);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(BoardRules, CapturesOfMoreThanOneStoneOrBesideOwnStoneMarkNoKo) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    const char* move;
    int whiteCaptured;
  } cases[] = {
      {"two separate lone stones", {".....", ".XOX.", "XO.OX", ".XOX."}, "cc", 2},
      // The lone stone on "fe" is taken first (next column comes first); the two stones on
      // "de"-"ce" are in atari, so the capture is no ko even though every neighbour is occupied.
      {"a lone stone and a group",
       {".......", ".......", ".......", "..XXOX.", ".XOO.OX", "..XXOX."},
       "ee",
       3},
      {"capturer touching its own stone", {".XO.", "XO.X", ".XO."}, "cb", 1},
  };
  for (const auto& c : cases) {
    BoardModel board;
    SetUpPosition(board, 9, c.rows);
    ASSERT_EQ(board.CheckConsistency(), "") << c.name;
    ASSERT_EQ(PlayInTurn(board, c.move), PlaceOutcome::kPlaced) << c.name;
    EXPECT_EQ(board.WhiteCaptured, c.whiteCaptured) << c.name;
    for (int p = 0; p < kPointCount; ++p) EXPECT_NE(board.GroupIds[p], kKoMark) << c.name << p;
    EXPECT_EQ(board.CaptureLog[board.CaptureCount - 1] % 10, 0) << c.name;
    EXPECT_EQ(board.CheckConsistency(), "") << c.name;
  }
}

TEST(BoardRules, ForbiddenPointsForThePlayerToMove) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    const char* point;
    bool forbidden;
  } cases[] = {
      {"surrounded by black groups with two liberties and more",
       {".....", "..X..", ".X.X.", "..X.."},
       "cc",
       true},
      {"one surrounding stone in atari: white would capture",
       {"..O..", ".OXO.", ".X.X.", "..X.."},
       "cc",
       false},
      {"white's own stones, one with two liberties",
       {".....", "..O..", ".O.O.", "..O.."},
       "cc",
       false},
      {"corner: the border counts as occupied", {".X...", "X....", "....."}, "aa", true},
      {"edge", {"X....", ".X...", "X...."}, "ab", true},
      {"edge with an empty neighbour", {"X....", ".....", "X...."}, "ab", false},
  };
  for (const auto& c : cases) {
    BoardModel board;
    // White moves first after the setup, so the setup position is numbered for white.
    SetUpPosition(board, 9, c.rows, /*blackFirst=*/false);
    EXPECT_EQ(board.GroupIds[Pt(c.point)] == kForbiddenMark, c.forbidden) << c.name;
    EXPECT_EQ(board.IsPlayablePoint(Pt(c.point)), !c.forbidden) << c.name;
    EXPECT_EQ(board.CheckConsistency(), "") << c.name;
  }
}

TEST(BoardRules, AForbiddenPointIsForbiddenOnlyForTheOpponent) {
  BoardModel board;
  SetUpPosition(board, 9, {".....", "..X..", ".X.X.", "..X.."}, /*blackFirst=*/false);
  ASSERT_EQ(board.GroupIds[Pt("cc")], kForbiddenMark);
  ASSERT_EQ(board.PlacePass(), PlaceOutcome::kPlaced);  // white passes; black to move
  EXPECT_EQ(board.GroupIds[Pt("cc")], 0);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(BoardRules, OccupiedOffBoardAndFullListAreRefusedWithoutChange) {
  BoardModel board;
  board.SetBoardSize(13);
  PlayInTurn(board, "dd");
  const int moveTop = board.MoveTop;
  for (const int point : {Pt("dd"), 0, MakePoint(14, 1), MakePoint(1, 14), MakePoint(20, 20)}) {
    board.PendingPoint = point;
    EXPECT_EQ(board.PlaceWhiteStone(), PlaceOutcome::kNotPlayable) << point;
    EXPECT_EQ(board.MoveTop, moveTop);
  }
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(BoardRules, StepBackRestoresCapturesPrisonersAndThePreviousKo) {
  BoardModel board;
  RecordingListener shown;
  board.SetListener(&shown);
  SetUpPosition(board, 9, kKoShape);
  PlayInTurn(board, "cb");  // black takes the ko
  PlayInTurn(board, "gg");
  shown.Calls.clear();

  board.ReplayStepBack();  // white's "gg" goes; black's ko capture is on top again
  EXPECT_EQ(board.Board[Pt("gg")], kEmpty);
  EXPECT_EQ(board.GroupIds[Pt("bb")], kKoMark);
  EXPECT_TRUE(shown.Saw("erase " + std::to_string(Pt("gg"))));
  EXPECT_TRUE(shown.Saw("caption "));
  EXPECT_EQ(board.CheckConsistency(), "");

  shown.Calls.clear();
  board.ReplayStepBack();  // the capture itself goes: the white stone returns
  EXPECT_EQ(board.Board[Pt("bb")], kWhite);
  EXPECT_EQ(board.Board[Pt("cb")], kEmpty);
  EXPECT_EQ(board.WhiteCaptured, 0);
  EXPECT_EQ(board.CaptureCount, 0);
  EXPECT_TRUE(shown.Saw("white captured 0"));
  EXPECT_TRUE(shown.Saw("stone " + std::to_string(Pt("bb")) + " white"));
  EXPECT_TRUE(shown.Saw("at setup"));
  EXPECT_EQ(board.MoveTop, board.SetupCount);
  EXPECT_EQ(board.CheckConsistency(), "");

  board.ReplayStepBack();  // nothing below the setup position
  EXPECT_EQ(board.MoveTop, board.SetupCount);
  EXPECT_EQ(board.Board[Pt("bb")], kWhite);
}

TEST(BoardRules, StepBackOfAPassRenewsTheForbiddenPointsOfThePasser) {
  BoardModel board;
  RecordingListener shown;
  board.SetListener(&shown);
  SetUpPosition(board, 9, {".....", "..X..", ".X.X.", "..X.."}, /*blackFirst=*/false);
  board.PlacePass();  // white passes
  ASSERT_EQ(board.GroupIds[Pt("cc")], 0);
  board.ReplayStepBack();
  EXPECT_TRUE(shown.Saw("caption " + J("パ ス ！")));
  EXPECT_EQ(board.GroupIds[Pt("cc")], kForbiddenMark);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(BoardRules, SetupPositionIsNumberedBeforeItsFirstMove) {
  BoardModel board;
  SetUpPosition(board, 9, {".......", ".......", ".......", "..XXOX.", ".XOO.OX", "..XXOX."});
  // Liberties of the setup stones are known before any move.
  EXPECT_EQ(board.Liberties[Pt("de")], 1);
  EXPECT_EQ(board.Liberties[Pt("ed")], 2);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(BoardRules, ListHoldsFiveHundredEntriesAndRefusesMore) {
  BoardModel board;
  for (int i = 0; i < kMoveListCapacity - 1; ++i)
    ASSERT_EQ(board.PlacePass(), PlaceOutcome::kPlaced);
  ASSERT_EQ(PlayInTurn(board, "dd"), PlaceOutcome::kPlaced);  // the 500th entry
  EXPECT_EQ(board.MoveTop, kMoveListCapacity);
  EXPECT_EQ(board.PlacePass(), PlaceOutcome::kListFull);
  board.PendingPoint = Pt("pp");
  EXPECT_EQ(board.PlaceWhiteStone(), PlaceOutcome::kListFull);
  EXPECT_EQ(board.Board[Pt("pp")], kEmpty);
  EXPECT_EQ(board.MoveTop, kMoveListCapacity);

  board.BufferLength = board.MoveTop;
  EXPECT_FALSE(board.AppendToBuffer(0));
  EXPECT_EQ(board.BufferLength, kMoveListCapacity);
  EXPECT_EQ(board.CheckConsistency(), "");

  board.ReplayStepBack();
  EXPECT_TRUE(BoardModel::CanAppendEntry(board.MoveTop));
  EXPECT_FALSE(BoardModel::CanAppendEntry(kMoveListCapacity));
  EXPECT_FALSE(BoardModel::CanAppendEntry(-1));
}

TEST(BoardRules, AppendToBufferTakesPassesAndPlayingPointsOnly) {
  BoardModel board;
  board.SetBoardSize(9);
  EXPECT_TRUE(board.AppendToBuffer(Pt("ii")));
  EXPECT_TRUE(board.AppendToBuffer(0));
  EXPECT_FALSE(board.AppendToBuffer(Pt("jj")));  // line 10 on a 9-line board
  EXPECT_FALSE(board.AppendToBuffer(-5));
  EXPECT_FALSE(board.AppendToBuffer(kPointCount));
  EXPECT_EQ(board.BufferLength, 2);
}

TEST(BoardDrawing, NewestStoneCarriesTheNumberAndThePreviousIsRedrawnWithout) {
  BoardModel board;
  RecordingListener shown;
  board.SetListener(&shown);
  SetUpPosition(board, 9, {"X........"});  // a setup stone on "aa"
  shown.Calls.clear();
  PlayInTurn(board, "cc");
  // The first move redraws nothing: the setup stone carries no number.
  EXPECT_EQ(shown.Calls, (std::vector<std::string>{"stone 66 black", "count 2", "number 1 at 2"}));

  PlayInTurn(board, "tt");  // white passes
  shown.Calls.clear();
  PlayInTurn(board, "dd");
  // After a pass the stone before it loses its number, in the colour the board holds.
  EXPECT_EQ(shown.Calls, (std::vector<std::string>{"stone 88 black", "stone 66 black", "count 4",
                                                   "number 3 at 4"}));
  shown.Calls.clear();
  PlayInTurn(board, "ee");
  EXPECT_EQ(shown.Calls, (std::vector<std::string>{"stone 110 white", "stone 88 black", "count 5",
                                                   "number 4 at 5"}));

  board.NumbersOn = true;
  shown.Calls.clear();
  PlayInTurn(board, "ff");
  EXPECT_EQ(shown.Calls, (std::vector<std::string>{"stone 132 black", "count 6", "number 5 at 6"}));
}

TEST(BoardDrawing, RepaintSkipsCapturedMovesAndNumbersWhatIsLeft) {
  BoardModel board;
  RecordingListener shown;
  board.SetListener(&shown);
  board.SetBoardSize(9);
  for (const char* move : {"ab", "aa", "ba"}) PlayInTurn(board, move);  // black takes "aa"
  EXPECT_FALSE(board.IsMoveStoneGone(1));
  EXPECT_TRUE(board.IsMoveStoneGone(2));
  EXPECT_FALSE(board.IsMoveStoneGone(3));

  board.NumbersOn = true;
  shown.Calls.clear();
  board.DrawPlayedStones();
  EXPECT_EQ(shown.Calls, (std::vector<std::string>{"stone 43 black", "number 3 at 3",
                                                   "stone 23 black", "number 1 at 1"}));
  board.NumbersOn = false;
  shown.Calls.clear();
  board.DrawPlayedStones();
  EXPECT_EQ(shown.Calls,
            (std::vector<std::string>{"stone 43 black", "stone 23 black", "number 3 at 3"}));

  // Taking the capture back with numbers shown puts the white stone back with its number.
  board.NumbersOn = true;
  shown.Calls.clear();
  board.ReplayStepBack();
  EXPECT_TRUE(shown.Saw("stone 22 white"));
  EXPECT_TRUE(shown.Saw("number 2 at 2"));
}

TEST(BoardReplay, CaptionsJumpsAndTheEndOfTheRecord) {
  BoardModel board;
  RecordingListener shown;
  board.SetListener(&shown);
  board.SetBoardSize(9);
  board.BlackFirst = false;
  for (const int point : {Pt("cc"), 0, Pt("gg")}) ASSERT_TRUE(board.AppendToBuffer(point));
  board.PositionFromRecord();
  EXPECT_EQ(board.MoveTop, 3);
  EXPECT_TRUE(shown.Saw("caption " + J("黒パスです")));  // white first: move 2 is black's
  EXPECT_EQ(shown.Calls.back(), "caption " + J("手順はここまで"));
  EXPECT_EQ(board.Board[Pt("cc")], kWhite);
  EXPECT_EQ(board.Board[Pt("gg")], kWhite);

  board.ReplayBack10();  // three moves left: three steps, then nothing more
  EXPECT_EQ(board.MoveTop, 0);
  EXPECT_EQ(shown.Calls.back(), "at setup");
  board.ReplayForward10();
  EXPECT_EQ(board.MoveTop, 3);
  board.ReplayStepForward();  // at the end: nothing
  EXPECT_EQ(board.MoveTop, 3);
  board.ReplayToStart();
  board.ReplayStepForward();
  board.ReplayStepForward();
  EXPECT_EQ(shown.Calls.back(), "count 2");
  board.ReplayToEnd();
  EXPECT_EQ(board.MoveTop, 3);
  EXPECT_EQ(board.CheckConsistency(), "");

  // A record that ends in a pass shows the pass text, not the end text.
  BoardModel passing;
  passing.SetListener(&shown);
  passing.AppendToBuffer(Pt("cc"));
  passing.AppendToBuffer(0);
  shown.Calls.clear();
  passing.PositionFromRecord();
  EXPECT_FALSE(shown.Saw("caption " + J("手順はここまで")));
  EXPECT_TRUE(shown.Saw("caption " + J("白パスです")));
}

TEST(BoardReplay, ReplayedPassRenewsTheForbiddenPoints) {
  BoardModel board;
  SetUpPosition(board, 9, {".....", "..X..", ".X.X.", "..X.."}, /*blackFirst=*/false);
  board.AppendToBuffer(0);  // white passes
  board.AppendToBuffer(0);  // black passes: white to move again
  board.ReplayStepForward();
  EXPECT_EQ(board.GroupIds[Pt("cc")], 0);
  board.ReplayStepForward();
  EXPECT_EQ(board.GroupIds[Pt("cc")], kForbiddenMark);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(BoardReplay, BufferedMoveOntoAnOccupiedPointBecomesAPass) {
  BoardModel board;
  board.SetBoardSize(9);
  for (const int point : {Pt("cc"), Pt("cc"), Pt("dd")}) board.AppendToBuffer(point);
  board.PositionFromRecord();
  EXPECT_EQ(board.MoveTop, 3);
  EXPECT_EQ(board.MoveList[2], 0);
  EXPECT_EQ(board.Board[Pt("cc")], kBlack);
  EXPECT_EQ(board.Board[Pt("dd")], kBlack);  // the turn is kept: move 3 is black's
  EXPECT_EQ(board.CheckConsistency(), "");
  board.ReplayToStart();
  EXPECT_EQ(board.Board[Pt("cc")], kEmpty);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(BoardReplay, RewindToMoveMakesThePositionTheNewSetup) {
  BoardModel board;
  board.SetBoardSize(9);
  // 50 moves: captures happen at the top edge ("ba" takes "aa"); move 30, white's, is a stone.
  const char* moves[] = {"ab", "aa", "ba", "ee", "ca", "ef", "cb", "eg", "bb", "eh"};
  for (const char* move : moves) ASSERT_EQ(PlayInTurn(board, move), PlaceOutcome::kPlaced);
  for (int i = 0; i < 19; ++i) ASSERT_EQ(board.PlacePass(), PlaceOutcome::kPlaced);
  ASSERT_EQ(PlayInTurn(board, "hh"), PlaceOutcome::kPlaced);
  for (int i = 0; i < 20; ++i) ASSERT_EQ(board.PlacePass(), PlaceOutcome::kPlaced);
  board.BufferLength = board.MoveTop;

  board.ReplayToStart();
  for (int i = 0; i < 30; ++i) board.ReplayStepForward();
  const PointArray after30 = board.Board;
  const bool black31 = board.NextMoveIsBlack();
  board.ReplayToEnd();
  const PointArray after50 = board.Board;

  ASSERT_TRUE(board.RewindToMove(30));
  const int stones = 10;  // after 30 moves: black ab ba ca cb bb, white ee ef eg eh hh
  EXPECT_EQ(board.SetupCount, stones);
  EXPECT_EQ(board.MoveTop, stones + 20);
  EXPECT_EQ(board.BufferLength, stones + 20);
  EXPECT_EQ(board.Board, after50);
  EXPECT_EQ(board.MoveNumberOf(board.MoveTop), 20);
  EXPECT_EQ(board.MoveIsBlack(stones + 1), black31);
  EXPECT_EQ(board.WhiteCaptured, 0);
  EXPECT_EQ(board.CheckConsistency(), "");
  board.ReplayToStart();
  EXPECT_EQ(board.Board, after30);
  EXPECT_EQ(board.CheckConsistency(), "");

  EXPECT_FALSE(board.RewindToMove(board.SetupCount));  // a setup index is no move
  EXPECT_FALSE(board.RewindToMove(board.MoveTop + 1));
}

TEST(BoardReplay, TurningMapsEveryMoveAndKeepsTheBuffer) {
  BoardModel board;
  board.SetBoardSize(13);
  for (const char* move : {"ab", "aa", "ba", "mm", "tt", "ck"}) PlayInTurn(board, move);
  board.BufferLength = board.MoveTop;
  board.ReplayStepBack();
  board.ReplayStepBack();  // showing move 4; "tt" and "ck" wait in the buffer
  const PointArray before = board.Board;
  const auto list = board.MoveList;

  board.TurnBoardPosition();
  EXPECT_TRUE(board.BoardTurned);
  EXPECT_EQ(board.MoveTop, 4);
  EXPECT_EQ(board.BufferLength, 6);
  EXPECT_EQ(board.MoveList[5], 0);
  EXPECT_EQ(board.MoveList[6], TurnPoint(Pt("ck"), 13));
  for (int p = 0; p < kPointCount; ++p) {
    if (IsPlayingPoint(p, 13)) {
      EXPECT_EQ(board.Board[TurnPoint(p, 13)], before[p]) << p;
    }
  }
  EXPECT_EQ(board.WhiteCaptured, 1);  // captures are rebuilt by the replay
  EXPECT_EQ(board.CheckConsistency(), "");

  board.TurnBoardPosition();
  EXPECT_FALSE(board.BoardTurned);
  EXPECT_EQ(board.Board, before);
  EXPECT_EQ(board.MoveList, list);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(BoardSetup, FindAndDeleteSetupStones) {
  BoardModel board;
  SetUpPosition(board, 9, {"X.O.X"});  // setup entries aa, ca, ea
  EXPECT_EQ(board.FindSetupStone(Pt("ca")), 2);
  EXPECT_EQ(board.FindSetupStone(Pt("ba")), 0);
  EXPECT_EQ(board.FindSetupStone(0), 0);
  ASSERT_TRUE(board.DeleteSetupStone(2));
  EXPECT_EQ(board.MoveList[2], Pt("ea"));
  EXPECT_EQ(board.SetupColours[2], 1000 + Pt("ea"));
  EXPECT_FALSE(board.DeleteSetupStone(0));
  EXPECT_FALSE(board.DeleteSetupStone(4));
}

TEST(BoardVariants, DiagramViewerRestoresCapturesWithoutRenumbering) {
  BoardModel board(BoardVariant::kDiagramViewer);
  board.SetBoardSize(9);
  for (const char* move : {"ab", "aa", "ba"}) PlayInTurn(board, move);
  ASSERT_EQ(board.WhiteCaptured, 1);
  board.BufferLength = board.MoveTop;
  board.ReplayStepBack();
  EXPECT_EQ(board.Board[Pt("aa")], kWhite);
  EXPECT_EQ(board.Board[Pt("ba")], kEmpty);
  EXPECT_EQ(board.WhiteCaptured, 0);
  EXPECT_EQ(board.GroupIds[Pt("aa")], 0);  // not renumbered
  EXPECT_EQ(board.CheckConsistency(), "");
  board.ReplayStepForward();
  EXPECT_EQ(board.Board[Pt("aa")], kEmpty);
  EXPECT_EQ(board.WhiteCaptured, 1);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(ReducedRules, CapturesAroundTheStoneOnly) {
  PointArray board{}, visited{};
  FillPlayingArea(board, 9);
  // White "aa" and "ba" with their last liberty at "ca"; a white stone "ee" elsewhere.
  board[Pt("aa")] = board[Pt("ba")] = kWhite;
  board[Pt("ab")] = board[Pt("bb")] = kBlack;
  board[Pt("ee")] = kWhite;
  PlaceStoneCapturing(board, visited, Pt("ca"), kBlack);
  EXPECT_EQ(board[Pt("aa")], kEmpty);
  EXPECT_EQ(board[Pt("ba")], kEmpty);
  EXPECT_EQ(board[Pt("ee")], kWhite);
  EXPECT_EQ(visited, PointArray{});

  // A stone without liberty that captures nothing stays (no suicide test); an occupied point is
  // replaced.
  board[Pt("ba")] = kWhite;
  board[Pt("aa")] = kEmpty;
  PlaceStoneCapturing(board, visited, Pt("aa"), kWhite);
  EXPECT_EQ(board[Pt("aa")], kWhite);
  PlaceStoneCapturing(board, visited, Pt("ee"), kBlack);
  EXPECT_EQ(board[Pt("ee")], kBlack);
  EXPECT_EQ(visited, PointArray{});
}

TEST(BoardCopy, CopyCarriesThePositionAndPlaysOnSilentlyWhileTheOriginalIsUntouched) {
  BoardModel original;
  RecordingListener shown;
  original.SetListener(&shown);
  SetUpPosition(original, 9, kKoShape);
  ASSERT_EQ(PlayInTurn(original, "cb"), PlaceOutcome::kPlaced);  // takes the ko
  original.NumbersOn = true;
  original.BoardTurned = true;
  shown.Calls.clear();

  BoardModel copy(original);
  EXPECT_EQ(copy.CheckConsistency(), "");
  EXPECT_EQ(copy.Board, original.Board);
  EXPECT_EQ(copy.GroupIds, original.GroupIds);  // the ko mark came along
  EXPECT_EQ(copy.MoveList, original.MoveList);
  EXPECT_EQ(copy.CaptureLog, original.CaptureLog);
  EXPECT_EQ(copy.MoveTop, original.MoveTop);
  EXPECT_EQ(copy.SetupCount, original.SetupCount);
  EXPECT_EQ(copy.WhiteCaptured, original.WhiteCaptured);
  EXPECT_TRUE(copy.NumbersOn);
  EXPECT_TRUE(copy.BoardTurned);
  EXPECT_FALSE(copy.IsPlayablePoint(Pt("bb")));

  // The copy plays on and steps back without telling the original's listener anything.
  ASSERT_EQ(PlayInTurn(copy, "gg"), PlaceOutcome::kPlaced);
  copy.ReplayStepBack();
  copy.ReplayStepBack();
  EXPECT_EQ(copy.CheckConsistency(), "");
  EXPECT_EQ(copy.WhiteCaptured, 0);
  EXPECT_TRUE(shown.Calls.empty());
  EXPECT_EQ(original.WhiteCaptured, 1);
  EXPECT_EQ(original.CheckConsistency(), "");

  // Assigning a position keeps the listener of the model assigned to.
  BoardModel target;
  RecordingListener targetShown;
  target.SetListener(&targetShown);
  target = copy;
  EXPECT_EQ(target.Board, copy.Board);
  ASSERT_EQ(PlayInTurn(target, "gg"), PlaceOutcome::kPlaced);
  EXPECT_TRUE(targetShown.Saw("stone " + std::to_string(Pt("gg")) + " black"));
  EXPECT_TRUE(shown.Calls.empty());
}
