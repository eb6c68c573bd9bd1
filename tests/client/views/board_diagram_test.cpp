// Board-diagram data: the bytes written, the same bytes from either side of the board, the
// readers of the editor and the viewer (imports, limits, hostile diagrams), the chat line.
#include "client/views/model/board_diagram.h"

#include <gtest/gtest.h>

#include "client/board/model/record_text.h"
#include "client/views/model/diagram_editor.h"
#include "platform/cp932.h"
#include "protocol/tag_message.h"

namespace {

int P(int column, int row) { return MakePoint(column, row); }

// The point of two record letters on a board of `size` lines.
int L(const char* letters, int size = 19) { return LettersToPoint(letters[0], letters[1], size); }

// An editor opened on an empty board of `size` lines shown as `turned`.
DiagramEditor EmptyEditor(int size, bool turned = false) {
  BoardModel board;
  board.SetBoardSize(size);
  board.BoardTurned = turned;
  DiagramEditor editor;
  editor.OpenFromBoard(board, false);
  return editor;
}

// The point a player clicks to mean black's-view `point` on a board shown as `turned`.
int Shown(int point, int size, bool turned) { return turned ? TurnPoint(point, size) : point; }

}  // namespace

TEST(WriteDiagramData, SetupWithAMarkThenTwoMovesGivesTheBytesOfTheExample) {
  DiagramEditor editor = EmptyEditor(9);
  ASSERT_TRUE(editor.ChooseInputMode(DiagramEditor::kSetupInput));
  EXPECT_TRUE(editor.DiagramClick(P(3, 3), true, false, 5));   // black, with a triangle
  EXPECT_TRUE(editor.DiagramClick(P(7, 7), false, false, 0));  // white
  ASSERT_TRUE(editor.ChooseInputMode(DiagramEditor::kMoveInput));
  EXPECT_TRUE(editor.DiagramClick(P(5, 5), true, false, 0));
  EXPECT_TRUE(editor.DiagramClick(P(4, 3), true, false, 0));
  EXPECT_EQ(editor.DiagramData(), "SZ[9]AB[cc]AW[gg]\r\nTR[cc];B[ee];W[dc]");
  EXPECT_EQ(editor.Position.CheckConsistency(), "");
}

TEST(WriteDiagramData, WhiteFirstAndMovesOnlyWriteTheMarkerAndNoSetupOrMarks) {
  DiagramEditor editor = EmptyEditor(19);
  ASSERT_TRUE(editor.ChooseFirstPlayer(false));
  editor.Position.Marks[P(10, 10)] = 3;  // a mark without setup stones is not written
  EXPECT_TRUE(editor.DiagramClick(P(4, 4), true, false, 0));
  EXPECT_TRUE(editor.DiagramClick(P(16, 16), true, false, 0));
  EXPECT_EQ(editor.DiagramData(), "SZ[19]/<SiroSaki>/;W[dd];B[pp]");
  // Once a move follows the setup the first player is fixed.
  EXPECT_FALSE(editor.ChooseFirstPlayer(true));
  EXPECT_FALSE(editor.Position.BlackFirst);
}

TEST(WriteDiagramData, TheSamePositionSeenFromEitherSideGivesTheSameBytes) {
  // Black at 4-4 and 16-16, white at 10-10, black to move and no move played yet.
  BoardModel blackView;
  LoadKifuText(blackView, "(;SZ[19]AB[pp][dd]AW[jj])");
  BoardModel whiteView = blackView;
  whiteView.TurnBoardPosition();
  ASSERT_TRUE(whiteView.BoardTurned);

  for (const BoardModel* board : {&blackView, &whiteView}) {
    DiagramEditor editor;
    editor.OpenFromBoard(*board, false);
    const bool turned = board->BoardTurned;
    EXPECT_EQ(editor.DiagramData(), "SZ[19]AB[dd][pp]AW[jj]") << turned;
    // A mark on a new setup stone, a mark on an empty point, then two moves.
    ASSERT_TRUE(editor.ChooseInputMode(DiagramEditor::kSetupInput));
    EXPECT_TRUE(editor.DiagramClick(Shown(P(3, 16), 19, turned), false, false, 9));
    EXPECT_TRUE(editor.DiagramClick(Shown(P(17, 3), 19, turned), true, true, 1));
    EXPECT_TRUE(editor.DiagramClick(Shown(P(3, 3), 19, turned), true, true, 7));
    ASSERT_TRUE(editor.ChooseInputMode(DiagramEditor::kMoveInput));
    EXPECT_TRUE(editor.DiagramClick(Shown(P(17, 4), 19, turned), true, false, 0));
    EXPECT_TRUE(editor.DiagramClick(Shown(P(4, 17), 19, turned), true, false, 0));
    EXPECT_EQ(editor.DiagramData(),
              "SZ[19]AB[dd][pp]AW[cp][jj]\r\nSQ[qc]\r\nMA[cc]\r\nLB[cp:A];B[qd];W[dq]")
        << turned;
  }
}

TEST(ReadBoardDiagram, RecordImportsIntoTheEditor) {
  struct Case {
    const char* what;
    std::string text;
    int size;
    int setup;
    int moves;
    bool blackFirst;
  } cases[] = {
      // The viewer's data with "(;" before it: the added ";" is the root node's.
      {"viewer data", "(;SZ[19];B[ee]", 19, 0, 1, true},
      {"empty setup lists", "(;SZ[19]AB[]AW[];W[cc])/<SiroSaki>/", 19, 0, 1, false},
      {"a list without a bracket is no list", "(;SZ[9]AB;B[cc])", 9, 0, 1, true},
      {"13 lines switch the size", "(;GM[1]FF[1]SZ[13]AB[aa][mm]AW[gg];B[cc];W[dd];B[])", 13, 3, 2,
       true},
      {"an unknown size keeps it", "(;SZ[21];B[ss])", 19, 0, 1, true},
  };
  for (const Case& c : cases) {
    DiagramEditor editor = EmptyEditor(19);
    const DiagramReadResult read = editor.ImportRecord(c.text, false);
    EXPECT_TRUE(read.Read) << c.what;
    EXPECT_EQ(editor.Position.BoardSize, c.size) << c.what;
    EXPECT_EQ(editor.Position.SetupCount, c.setup) << c.what;
    EXPECT_EQ(editor.Position.MoveTop - editor.Position.SetupCount, c.moves) << c.what;
    EXPECT_EQ(editor.Position.BlackFirst, c.blackFirst) << c.what;
    EXPECT_EQ(editor.ParsedCount, c.setup + c.moves) << c.what;
    EXPECT_EQ(editor.InputMode, DiagramEditor::kMoveInput) << c.what;
    EXPECT_EQ(editor.FirstPlayerOpen, c.moves == 0 ? 1 : 0) << c.what;
    EXPECT_EQ(editor.Position.CheckConsistency(), "") << c.what;
  }
  DiagramEditor editor = EmptyEditor(19);
  editor.ImportRecord("(;SZ[19];B[ee]", false);
  EXPECT_EQ(editor.Position.MoveList[1], P(5, 5));
  EXPECT_EQ(editor.Position.Board[P(5, 5)], kBlack);
}

TEST(ReadBoardDiagram, MarksTakeTheColourOfTheirSetupPointAndLabelsReadAsCodes) {
  DiagramEditor editor = EmptyEditor(19);
  editor.ImportRecord("(;SZ[19]AB[dd]AW[pp]CR[dd][ee]LB[pp:A][qq:B][rr:0][ss:H];B[ee])", false);
  const auto& marks = editor.Position.Marks;
  EXPECT_EQ(marks[L("dd")], 1003);
  EXPECT_EQ(marks[L("ee")], 3);  // shows only while the move's point is empty
  EXPECT_EQ(marks[L("pp")], 5009);
  EXPECT_EQ(marks[L("qq")], 10);
  EXPECT_EQ(marks[L("rr")], 0);  // "0" names no label
  EXPECT_EQ(marks[L("ss")], 0);  // "H" neither
  // Written again, the marks come back in the same order.
  EXPECT_EQ(editor.DiagramData(), "SZ[19]AB[dd]AW[pp]\r\nCR[dd][ee]\r\nLB[pp:A][qq:B];B[ee]");
}

TEST(ReadBoardDiagram, StopsAtTheMoveListsCapacityAndSurvivesHostileDiagrams) {
  // Moves over every point again and again: captures, moves onto stones, passes.
  std::string manyMoves = "SZ[19]";
  for (int i = 0; i < 700; ++i) {
    manyMoves += i % 2 == 0 ? ";B" : ";W";
    manyMoves += PointEntry(i % 50 == 49 ? 0 : P(1 + (i * 7) % 19, 1 + (i * 3 + i / 19) % 19));
  }
  std::string manySetup = "SZ[19]AB";
  for (int i = 0; i < 400; ++i) {
    manySetup += "[";
    manySetup += static_cast<char>('a' + i % 19);
    manySetup += static_cast<char>('a' + (i / 19) % 19);
    manySetup += "]";
  }
  manySetup += ";B[aa];W[bb]";
  struct Case {
    const char* what;
    std::string text;
    int setup;
    int moves;
    bool truncated;
  } cases[] = {
      {"700 move nodes", manyMoves, 0, kMoveListCapacity, true},
      {"400 setup entries, every point once", manySetup, 361, 2, false},
      {"off-board points", "SZ[9]AB[jj][zz][a][ss]AW[ja][aj]TR[zz]SQ[jj];B[jj];W[zz];B[", 0, 2,
       false},
      {"a label with a code of its own", "SZ[19]AB[aa]LB[aa:0][bb:!]", 1, 0, false},
      {"a setup stone twice", "SZ[19]AB[cc][cc]AW[cc]", 1, 0, false},
      {"no closing bracket", "SZ[19]AB[cc;B[dd", 0, 0, false},
      {"not a diagram", "\x81[\x81]<<>>;;;[[[]]]", 0, 3, false},
  };
  for (const Case& c : cases) {
    for (const bool turned : {false, true}) {
      BoardModel board(BoardVariant::kDiagramViewer);
      const DiagramReadResult read =
          ReadBoardDiagram(board, c.text, turned, DiagramText::kDiagramData);
      EXPECT_EQ(read.SetupStones, c.setup) << c.what;
      EXPECT_EQ(read.Moves, c.moves) << c.what;
      EXPECT_EQ(read.Truncated, c.truncated) << c.what;
      EXPECT_EQ(board.MoveTop, c.setup + c.moves) << c.what;
      EXPECT_EQ(board.CheckConsistency(), "") << c.what;
    }
  }
}

TEST(MoveNumbersShown, AllNumbersOrOnlyTheNewestModuloAHundred) {
  // 120 moves, black on the left and white on the right of an empty column: every stone stands.
  std::string text = "SZ[19]";
  for (int i = 0; i < 120; ++i) {
    const int k = i / 2;
    text += i % 2 == 0 ? ";B" : ";W";
    text += PointEntry(P((i % 2 == 0 ? 1 : 11) + k % 9, 1 + k / 9));
  }
  BoardModel board(BoardVariant::kDiagramViewer);
  ReadBoardDiagram(board, text, false, DiagramText::kDiagramData);
  ASSERT_EQ(board.MoveTop, 120);
  std::vector<ShownNumber> shown = MoveNumbersShown(board, false);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Point, P(16, 7));
  EXPECT_EQ(DiagramNumberText(shown[0].Number), "20");
  EXPECT_FALSE(shown[0].OnBlack);
  board.ReplayStepBack();
  shown = MoveNumbersShown(board, false);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(DiagramNumberText(shown[0].Number), "19");
  EXPECT_EQ(DiagramNumberText(99), "99");
  EXPECT_EQ(MoveNumbersShown(board, true).size(), 119u);

  // A captured stone carries no number; a pass on top shows none.
  BoardModel captured(BoardVariant::kDiagramViewer);
  ReadBoardDiagram(captured, "SZ[9];B[ba];W[aa];B[ab];W[tt]", false, DiagramText::kDiagramData);
  EXPECT_TRUE(MoveNumbersShown(captured, false).empty());
  shown = MoveNumbersShown(captured, true);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].Number, 3);
  EXPECT_EQ(shown[1].Number, 1);
}

TEST(DiagramComment, TrimsEscapesNumbersAndShortensBlankLines) {
  struct Case {
    const char* typed;
    int moves;
    const char* comment;
  } cases[] = {
      {"見て", 0, "見て\r\n"},
      {"  見て\r\n", 12, "見て (12)\r\n"},
      {"a\r\n\r\n\r\nb", 0, "a\r\n\r\nb\r\n"},
      {"a\r\n\r\n\r\n\r\nb", 0, "a\r\n\r\nb\r\n"},
      {"x>>y<<z>", 0, "x＞＞y＜＜z＞\r\n"},
      {"   ", 3, " (3)\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DiagramComment(J(c.typed), c.moves), J(c.comment)) << c.typed;
}

TEST(DiagramChatMessage, GameAndRoomLines) {
  const std::string comment = DiagramComment(J("見て"), 0);
  EXPECT_EQ(DiagramChatMessage(false, J("黒田"), comment, GameTag(2), "SZ[19]AB[dd][pp]AW[jj]"),
            J("<<GameMese=[ 黒田 ]：見て\r\n>><<GameIndex=2>><<DiaData=SZ[19]AB[dd][pp]AW[jj]>>"));
  EXPECT_EQ(DiagramChatMessage(true, "ann", comment, "", "SZ[9];B[ee]"),
            J("<<DiscussMese=[ ann ]：見て\r\n>><<DiaData=SZ[9];B[ee]>>"));
  // The server and every reader find the comment and the data whole.
  const std::string sent =
      DiagramChatMessage(false, "a", DiagramComment("x>>y", 0), GameTag(1), "SZ[9];B[ee]");
  EXPECT_EQ(GetTagValue(sent, "<<DiaData="), "SZ[9];B[ee]");
  EXPECT_EQ(GetTagValue(sent, "<<GameMese="), J("[ a ]：x＞＞y\r\n"));
}

TEST(DiagramLink, LinkLinesNameTheirNumberAndTheStoreFindsItByItsBraces) {
  struct Case {
    const char* line;
    const char* number;  // nullptr: no link
  } lines[] = {
      {"{ 碁盤 12 }", "12"},
      {"{ 碁盤 1 } ", "1"},
      {"{ 碁盤  }", nullptr},
      {"{ 碁盤 7", nullptr},
      {"[ 花子 ]：{ 碁盤 7 }", nullptr},
      {"{ 碁盤 x }", "x"},
  };
  for (const Case& c : lines) {
    const std::optional<std::string> number = DiagramLinkNumber(J(c.line));
    EXPECT_EQ(number.has_value(), c.number != nullptr) << c.line;
    if (number && c.number != nullptr) {
      EXPECT_EQ(*number, c.number) << c.line;
    }
  }
  const std::string store = "\r\n{12}<<DiaData=SZ[9];B[ee]>>\r\n{1}<<DiaData=SZ[13]>>";
  EXPECT_EQ(StoredDiagram(store, "1"), "SZ[13]");
  EXPECT_EQ(StoredDiagram(store, "12"), "SZ[9];B[ee]");
  EXPECT_EQ(StoredDiagram(store, "2"), std::nullopt);
  EXPECT_EQ(StoredDiagram("", "1"), std::nullopt);
}
