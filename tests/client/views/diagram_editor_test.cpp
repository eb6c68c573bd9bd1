// The diagram editor's input rules: both openings, setup stones and marks, the first player and
// input mode, stepping back, making a position the diagram's setup, and the send checks.
#include "client/views/model/diagram_editor.h"

#include <gtest/gtest.h>

#include "tests/client/board/board_test_support.h"

namespace {

// The classic ko: black to play at "cb" takes the lone white stone on "bb".
const std::vector<std::string> kKoShape = {
    ".XO.",
    "XO.O",
    ".XO.",
};

// Plays `moves` in turn on `board`.
void Play(BoardModel& board, std::initializer_list<const char*> moves) {
  for (const char* move : moves) ASSERT_EQ(PlayInTurn(board, move), PlaceOutcome::kPlaced) << move;
}

}  // namespace

TEST(DiagramEditorOpening, FromAShownMoveRebuildsThatPositionAsSetupWithTheNextMoverFirst) {
  // Black's first stone on "aa" is taken by move 4 and white plays there at move 6: the stone
  // now on that point must not decide who plays after move 1.
  BoardModel board;
  Play(board, {"aa", "ba", "jj", "ab", "jk", "aa", "jl", "pp"});
  ASSERT_EQ(board.Board[Pt("aa")], kWhite);

  struct Case {
    int shown;
    int stones;
    bool blackFirst;
  } cases[] = {{1, 1, false}, {4, 3, true}, {7, 6, false}, {0, 0, true}};
  for (const Case& c : cases) {
    DiagramEditor editor;
    editor.OpenFromShownMove(board, c.shown);
    BoardModel expected;
    expected.BufferLength = board.MoveTop;
    expected.MoveList = board.MoveList;
    expected.PositionFromRecord();
    while (expected.MoveTop > c.shown) expected.ReplayStepBack();
    EXPECT_EQ(editor.Position.Board, expected.Board) << c.shown;
    EXPECT_EQ(editor.Position.SetupCount, c.stones) << c.shown;
    EXPECT_EQ(editor.Position.MoveTop, c.stones) << c.shown;
    EXPECT_EQ(editor.Position.BlackFirst, c.blackFirst) << c.shown;
    EXPECT_EQ(editor.Position.CaptureCount, 0) << c.shown;
    EXPECT_EQ(editor.FirstPlayerOpen, 1);
    EXPECT_EQ(editor.InputMode, DiagramEditor::kMoveInput);
    EXPECT_EQ(editor.Position.CheckConsistency(), "") << c.shown;
  }
}

TEST(DiagramEditorOpening, FromTheFirstMoveAfterAHandicapSetupWhiteMovesFirst) {
  BoardModel board;
  LoadKifuText(board, "(;SZ[19]AB[dd][pp];W[pd];B[dp];W[jj])/<SiroSaki>/");
  ASSERT_EQ(board.SetupCount, 2);
  DiagramEditor editor;
  editor.OpenFromShownMove(board, board.SetupCount);
  EXPECT_EQ(editor.Position.SetupCount, 2);
  EXPECT_FALSE(editor.Position.BlackFirst);
  EXPECT_EQ(editor.DiagramData(), "SZ[19]/<SiroSaki>/AB[dd][pp]");
}

TEST(DiagramEditorOpening, FromTheBoardKeepsItsKoUntilASetupEditRenumbers) {
  BoardModel board;
  SetUpPosition(board, 9, kKoShape);
  Play(board, {"cb"});  // black takes: white may not retake at once
  DiagramEditor editor;
  editor.OpenFromBoard(board, false);
  EXPECT_FALSE(editor.Position.BlackFirst);
  EXPECT_EQ(editor.Position.SetupCount, 7);
  EXPECT_FALSE(editor.DiagramClick(Pt("bb"), true, false, 0));  // the ko holds for white

  // Choosing white again keeps it; choosing black and white again renews the position.
  EXPECT_TRUE(editor.ChooseFirstPlayer(false));
  EXPECT_EQ(editor.Position.GroupIds[Pt("bb")], kKoMark);
  EXPECT_TRUE(editor.ChooseFirstPlayer(true));
  EXPECT_TRUE(editor.ChooseFirstPlayer(false));
  EXPECT_EQ(editor.Position.CheckConsistency(), "");
  EXPECT_TRUE(editor.DiagramClick(Pt("bb"), true, false, 0));  // white takes back
  EXPECT_EQ(editor.Position.Board[Pt("cb")], kEmpty);

  // The same through a setup stone added elsewhere.
  DiagramEditor edited;
  edited.OpenFromBoard(board, false);
  ASSERT_TRUE(edited.ChooseInputMode(DiagramEditor::kSetupInput));
  EXPECT_TRUE(edited.DiagramClick(Pt("gg"), true, false, 0));
  EXPECT_EQ(edited.Position.CheckConsistency(), "");
  ASSERT_TRUE(edited.ChooseInputMode(DiagramEditor::kMoveInput));
  EXPECT_TRUE(edited.DiagramClick(Pt("bb"), true, false, 0));
}

TEST(DiagramEditorSetup, StonesCycleByButtonAndTakeTheSelectedMark) {
  BoardModel empty;
  empty.SetBoardSize(13);
  DiagramEditor editor;
  editor.OpenFromBoard(empty, false);
  ASSERT_TRUE(editor.ChooseInputMode(DiagramEditor::kSetupInput));
  BoardModel& b = editor.Position;
  const int p = Pt("dd");

  struct Step {
    bool left;
    int mark;
    int board;
    int setup;
    int marks;
  } steps[] = {
      {true, 3, kBlack, 1, 1003},  // a black stone with a circle
      {false, 0, kWhite, 1, 0},    // turned white; no mark selected clears the circle
      {false, 9, kEmpty, 0, 0},    // a white stone taken off with the right button
      {false, 9, kWhite, 1, 5009}, {true, 2, kBlack, 1, 1002}, {true, 2, kEmpty, 0, 0},
  };
  for (const Step& s : steps) {
    EXPECT_TRUE(editor.DiagramClick(p, s.left, false, s.mark));
    EXPECT_EQ(b.Board[p], s.board);
    EXPECT_EQ(b.SetupCount, s.setup);
    EXPECT_EQ(b.MoveTop, s.setup);
    EXPECT_EQ(b.Marks[p], s.marks);
    EXPECT_EQ(b.CheckConsistency(), "");
  }

  // With space held a selected mark toggles on an empty point; stones and no mark do nothing.
  EXPECT_FALSE(editor.DiagramClick(Pt("ee"), true, true, 0));
  EXPECT_TRUE(editor.DiagramClick(Pt("ee"), true, true, 12));
  EXPECT_EQ(b.Marks[Pt("ee")], 12);
  EXPECT_TRUE(editor.DiagramClick(Pt("ee"), false, true, 5));
  EXPECT_EQ(b.Marks[Pt("ee")], 0);
  editor.DiagramClick(Pt("ff"), true, false, 0);
  EXPECT_FALSE(editor.DiagramClick(Pt("ff"), true, true, 5));
  EXPECT_EQ(b.Marks[Pt("ff")], 0);
  EXPECT_EQ(b.Board[Pt("ff")], kBlack);
  // Off the 13-line board nothing happens.
  EXPECT_FALSE(editor.DiagramClick(Pt("pp"), true, false, 0));
}

TEST(DiagramEditorMoves, StepBackRestoresCapturesAndReopensTheChoicesAtTheSetup) {
  BoardModel board;
  SetUpPosition(board, 9, kKoShape);
  DiagramEditor editor;
  editor.OpenFromBoard(board, false);
  ASSERT_TRUE(editor.DiagramClick(Pt("cb"), true, false, 0));  // black takes "bb"
  EXPECT_EQ(editor.FirstPlayerOpen, 0);
  EXPECT_FALSE(editor.ChooseInputMode(DiagramEditor::kSetupInput));
  EXPECT_FALSE(editor.DiagramClick(Pt("bb"), false, false, 0));  // the ko
  EXPECT_FALSE(editor.DiagramClick(Pt("cb"), false, false, 0));  // occupied
  ASSERT_TRUE(editor.DiagramClick(Pt("gg"), false, false, 0));
  EXPECT_EQ(editor.DiagramData(), "SZ[9]AB[ab][ba][bc]AW[bb][ca][cc][db];B[cb];W[gg]");

  editor.UndoMove();
  EXPECT_EQ(editor.Position.GroupIds[Pt("bb")], kKoMark);  // the ko of move 1 holds again
  editor.UndoMove();
  EXPECT_EQ(editor.Position.Board[Pt("bb")], kWhite);
  EXPECT_EQ(editor.Position.MoveTop, editor.Position.SetupCount);
  EXPECT_EQ(editor.FirstPlayerOpen, 1);
  EXPECT_EQ(editor.Position.CheckConsistency(), "");

  // "| <": from moves to the setup, from the setup to an empty board.
  editor.DiagramClick(Pt("cb"), true, false, 0);
  editor.BackToStart();
  EXPECT_EQ(editor.Position.MoveTop, 7);
  editor.BackToStart();
  EXPECT_EQ(editor.Position.MoveTop, 0);
  EXPECT_EQ(editor.Position.SetupCount, 0);
  EXPECT_EQ(editor.CheckSend("x"), DiagramEditor::SendCheck::kNoStone);
}

TEST(DiagramEditorMoves, MakingTheShownPositionTheSetupKeepsMarksAndTheSideToMove) {
  BoardModel board;
  SetUpPosition(board, 9, kKoShape);
  DiagramEditor editor;
  editor.OpenFromBoard(board, false);
  editor.Position.Marks[Pt("gg")] = 4;
  editor.DiagramClick(Pt("cb"), true, false, 0);
  editor.MakeDiagramPosition();
  EXPECT_EQ(editor.Position.SetupCount, 7);
  EXPECT_EQ(editor.Position.MoveTop, 7);
  EXPECT_EQ(editor.Position.CaptureCount, 0);
  EXPECT_EQ(editor.Position.WhiteCaptured, 0);
  EXPECT_FALSE(editor.Position.BlackFirst);
  EXPECT_EQ(editor.FirstPlayerOpen, 1);
  EXPECT_EQ(editor.DiagramData(), "SZ[9]/<SiroSaki>/AB[ab][ba][bc][cb]AW[ca][cc][db]\r\nRT[gg]");
  EXPECT_FALSE(editor.DiagramClick(Pt("bb"), true, false, 0));  // white may not retake yet

  EXPECT_EQ(editor.CheckSend(""), DiagramEditor::SendCheck::kNoComment);
  EXPECT_EQ(editor.CheckSend(" "), DiagramEditor::SendCheck::kReady);
}
