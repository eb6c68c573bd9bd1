// Tests of the board window among the client's windows, offscreen: its pictures and sizes, the
// drawing of a position, clicks, keys, the turned view, the caption flash, the window menu, and
// saving and loading records.
#include "client/board/board_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "client/board/model/record_text.h"
#include "client/board/picture_button.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/views/counting_board.h"
#include "client/views/game_list_board.h"
#include "client/views/mark_toolbar.h"
#include "platform/cp932.h"
#include "platform/file_dialogs.h"
#include "platform/files.h"
#include "platform/memo_colors.h"
#include "platform/qt_text.h"
#include "platform/status_bar.h"
#include "platform/window_state.h"
#include "tests/client/board/board_test_pictures.h"
#include "tests/client/connection/client_windows_fixture.h"
#include "tests/qt_wait.h"

namespace {

using Texts = std::vector<std::string>;

// The program folder's boards differ from the working folder's, so a test sees where a picture
// came from. The working folder holds only the pictures of 19 lines in black's view.
const QColor kProgramBoard(170, 190, 120);
const QColor kProgramTurnedBoard(120, 170, 190);

// A point by record letters on a board of `size` lines.
int P(const char* letters, int size = 19) { return LettersToPoint(letters[0], letters[1], size); }

class BoardWindowTest : public ClientWindowsTest {
 protected:
  BoardWindowTest() {
    WriteBoardWindowPictures(env_.program_folder, kProgramBoard, kProgramTurnedBoard);
    for (const char* name : {"GoBan19WH.bmp", "GoBan13.bmp", "GoBan13WH.bmp", "GoStone13.bmp",
                             "GoBan9.bmp", "GoBan9WH.bmp", "GoStone9.bmp"}) {
      std::remove(WorkPathOf(std::string("bmp/") + name).c_str());
    }
  }

  void SetUp() override {
    Start();
    Form4->SaveDialog1 = &dialogs_;
    prompts_.Forget();
  }

  static QColor Pixel(int x, int y) { return Form4->BoardSurface().pixelColor(x, y); }
  // A pixel of the stone on `point` away from its number.
  static QColor StoneAt(int point) {
    const BoardGeometry& g = Form4->Geometry();
    return Pixel(Form4->PointToPixelX(point) - g.StoneBefore + 3, Form4->PointToPixelY(point));
  }
  // The board picture's colour where no line runs.
  static QColor BoardPictureColour() { return Form4->Canvas().Image1.pixelColor(5, 5); }
  // The pixels of the stone on `point` that are not the plain stone colour (its number).
  static int MarkedStonePixels(int point) {
    const BoardGeometry& g = Form4->Geometry();
    const PixelRect rect = g.StoneRect(Form4->PointToPixelX(point), Form4->PointToPixelY(point));
    const QColor stone = Form4->Board[point] == kBlack ? kTestBlackStone : kTestWhiteStone;
    int marked = 0;
    for (int row = 0; row < g.Sprite; ++row) {
      for (int column = 0; column < g.Sprite; ++column) {
        if (InTestStone(column, row, g.Sprite) &&
            Pixel(rect.Left + column, rect.Top + row) != stone) {
          ++marked;
        }
      }
    }
    return marked;
  }

  ScriptedFileDialogs dialogs_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction, reset and sizes

TEST_F(BoardWindowTest, StartsOnNineteenLinesWithItsPicturesAndAnEmptyBoard) {
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Form4->BoardSize, 19);
  EXPECT_EQ(Form4->CellSize, 20);
  EXPECT_EQ(Form4->BoardOrigin, 9);
  EXPECT_EQ(Form4->ClickX, 111);
  EXPECT_EQ(Form4->ClickY, 111);
  EXPECT_EQ(Form4->BoardMode, kBoardIdle);
  EXPECT_EQ(WindowTop(Form4), 1);
  EXPECT_EQ(WindowLeft(Form4), (ScreenWidth() - WindowWidth(Form4)) / 2);
  // The first pictures come from the working folder.
  EXPECT_EQ(BoardPictureColour(), kTestBoardColour);
  EXPECT_EQ(Form4->PaintBox1->size(), QSize(kBoardPictureSide + 1, kBoardPictureSide + 1));
  EXPECT_EQ(Form4->Image9.size(), QSize(kBoardBackgroundWidth, kBoardBackgroundHeight));
  EXPECT_EQ(Form4->Image11->size(), QSize(168, 26));
  EXPECT_EQ(Form4->Image17->pos(), Form4->Image12->pos());
  EXPECT_EQ(Form4->Image22->pos(), Form4->Image21->pos());
  EXPECT_EQ(Form4->Panel4->geometry(), QRect(414, 0, 174, 232));
  EXPECT_EQ(Form4->Image11->pos(), QPoint(414, 360));
  // The reset's texts.
  EXPECT_EQ(Form4->StatusBar1->PanelText(0), "");
  EXPECT_EQ(Form4->StatusBar1->PanelText(1), "0");
  EXPECT_EQ(Form4->StatusBar1->PanelText(2), J("観戦者数 = 0"));
  EXPECT_EQ(FromQt(Form4->Memo2->text()), "0:0:0");
  EXPECT_EQ(FromQt(Form4->Memo6->text()), "0");
  // The surface shows the bare board with its grid.
  EXPECT_EQ(Form4->BoardSurface().copy(0, 0, kBoardPictureSide, kBoardPictureSide),
            Form4->Canvas().Image1);
  EXPECT_EQ(Pixel(11, 11), QColor(Qt::black));
}

TEST_F(BoardWindowTest, AMissingBoardPictureIsNamedAndTheGridIsDrawnAllTheSame) {
  Stop();
  std::remove(WorkPathOf("bmp/GoBan19.bmp").c_str());
  std::remove(ProgramPath("bmp/GoBan19.bmp").c_str());
  Start();
  const Texts messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("GoBan19.bmp"), std::string::npos);
  EXPECT_EQ(Form4->PaintBox1->size(), QSize(kBoardPictureSide + 1, kBoardPictureSide + 1));
  EXPECT_EQ(Pixel(11, 11), QColor(Qt::black));
  EXPECT_EQ(Pixel(371, 371), QColor(Qt::black));
}

TEST_F(BoardWindowTest, SizeChangesTakeGeometryAndPicturesFromTheWorkingOrElseTheProgramFolder) {
  struct Case {
    int size, cell, origin, click;
    QSize sheet;
    QColor board;
  } cases[] = {{13, 29, 11, 18, {60, 60}, kProgramBoard},
               {9, 42, 18, 24, {84, 84}, kProgramBoard},
               {19, 20, 9, 11, {40, 40}, kTestBoardColour}};
  for (const auto& c : cases) {
    Form4->SetBoardSize(c.size);
    EXPECT_EQ(Form4->BoardSize, c.size);
    EXPECT_EQ(Form4->CellSize, c.cell);
    EXPECT_EQ(Form4->BoardOrigin, c.origin);
    EXPECT_EQ(Form4->ClickX, c.click);
    EXPECT_EQ(Form4->ClickY, c.click);
    EXPECT_EQ(BoardPictureColour(), c.board) << c.size;
    EXPECT_EQ(Form4->Canvas().Image2.size(), c.sheet);
    // The grid of the new size is drawn, on the surface too.
    EXPECT_EQ(Pixel(c.click, c.click), QColor(Qt::black)) << c.size;
    EXPECT_EQ(Pixel(GeometryOf(c.size).LastLine(), c.click), QColor(Qt::black)) << c.size;
  }
  // The player of white gets the board of white's view.
  Form4->PlaysBlack = 0;
  Form4->SetBoardSize(9);
  EXPECT_EQ(BoardPictureColour(), kProgramTurnedBoard);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(BoardWindowTest, AnOtherSizeOnlyEmptiesTheBoardAndRedrawsTheGrid) {
  Form4->LoadKifuText("(;SZ[13];B[dd];W[jj])");
  ASSERT_EQ(Form4->Board[P("dd", 13)], kBlack);
  // A reload would fail and say so: the pictures are gone.
  std::remove(ProgramPath("bmp/GoBan13.bmp").c_str());
  std::remove(ProgramPath("bmp/GoStone13.bmp").c_str());
  Form4->ClickX = 47;
  Form4->SetBoardSize(15);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Form4->BoardSize, 13);
  EXPECT_EQ(Form4->CellSize, 29);
  EXPECT_EQ(Form4->ClickX, 47);
  EXPECT_EQ(Form4->Board[P("dd", 13)], kEmpty);
  EXPECT_EQ(Form4->Board[P("jj", 13)], kEmpty);
  EXPECT_EQ(Form4->Board[MakePoint(14, 1)], kOutside);
  EXPECT_EQ(Form4->GroupIds[P("dd", 13)], 0);
}

TEST_F(BoardWindowTest, AMissingPictureOnASizeChangeKeepsThePreviousOne) {
  std::remove(ProgramPath("bmp/GoBan13.bmp").c_str());
  Form4->SetBoardSize(13);
  const Texts messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("GoBan13.bmp"), std::string::npos);
  EXPECT_EQ(BoardPictureColour(), kTestBoardColour);
  EXPECT_EQ(Form4->BoardSize, 13);
  // The stone sheet of 13 lines did load.
  EXPECT_EQ(Form4->Canvas().Image2.size(), QSize(60, 60));
}

TEST_F(BoardWindowTest, ResetEmptiesThePositionTheTextsAndTheSurface) {
  Form4->LoadKifuText(J("(;SZ[9]PB[黒]PW[白];B[ee];W[cc])"));
  Form4->Image19Click();
  Form4->BoardMode = kBoardWatching;
  Form4->InputAllowed = 1;
  Form4->PlaysBlack = 0;
  Form4->CandidatePoint = P("dd", 9);
  Form4->GameTag = "<<GameIndex=2>>";
  Form4->DiagramStore = "x";
  Form4->BlackClock = 900;
  Form4->ResetBoardForm();
  EXPECT_EQ(Form4->BoardMode, kBoardIdle);
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_EQ(Form4->PlaysBlack, 1);
  EXPECT_EQ(Form4->CandidatePoint, 0);
  EXPECT_EQ(Form4->BlackClock, 0);
  EXPECT_EQ(Form4->MoveTop, 0);
  EXPECT_EQ(Form4->BufferLength, 0);
  EXPECT_FALSE(Form4->BoardTurned);
  EXPECT_TRUE(Form4->BlackFirst);
  EXPECT_TRUE(Form4->GameTag.empty());
  EXPECT_TRUE(Form4->DiagramStore.empty());
  EXPECT_EQ(Form4->Board[P("ee", 9)], kEmpty);
  EXPECT_TRUE(Form4->Memo1->text().isEmpty());
  EXPECT_TRUE(Form4->Memo4->text().isEmpty());
  EXPECT_EQ(FromQt(Form4->Memo5->text()), "0:0:0");
  EXPECT_EQ(Form4->StatusBar1->PanelText(1), "0");
  EXPECT_EQ(Form4->BoardSurface().copy(0, 0, kBoardPictureSide, kBoardPictureSide),
            Form4->Canvas().Image1);
  // The size stays.
  EXPECT_EQ(Form4->BoardSize, 9);
}

// ---------------------------------------------------------------------------------------------
// Drawing a position

TEST_F(BoardWindowTest, ALoadedRecordShowsItsStonesAndOnlyTheNewestNumber) {
  Form4->LoadKifuText(J("(;GM[1]SZ[19]PB[黒田]PW[白石];B[dd];W[pp];B[dp];W[pd])"));
  EXPECT_EQ(Form4->MoveTop, 4);
  for (const char* black : {"dd", "dp"}) EXPECT_EQ(StoneAt(P(black)), kTestBlackStone) << black;
  for (const char* white : {"pp", "pd"}) EXPECT_EQ(StoneAt(P(white)), kTestWhiteStone) << white;
  EXPECT_EQ(Pixel(Form4->PointToPixelX(P("jj")) + 5, Form4->PointToPixelY(P("jj")) + 5),
            kTestBoardColour);
  EXPECT_EQ(MarkedStonePixels(P("dd")), 0);
  EXPECT_EQ(MarkedStonePixels(P("dp")), 0);
  EXPECT_GT(MarkedStonePixels(P("pd")), 5);
  EXPECT_EQ(Form4->StatusBar1->PanelText(1), "4");
  // With numbers on, a repaint numbers every stone.
  Form4->NumbersOn = true;
  Form4->FormPaint();
  for (const char* point : {"dd", "pp", "dp", "pd"}) EXPECT_GT(MarkedStonePixels(P(point)), 5);
}

TEST_F(BoardWindowTest, AStoneAfterAPassTakesTheNumberFromTheStoneBeforeThePass) {
  Form4->LoadKifuText("(;SZ[9];B[ee])");
  EXPECT_GT(MarkedStonePixels(P("ee", 9)), 5);
  ASSERT_EQ(Form4->PlacePass(), PlaceOutcome::kPlaced);
  EXPECT_GT(MarkedStonePixels(P("ee", 9)), 5);  // a pass draws nothing
  Form4->PendingPoint = P("cc", 9);
  ASSERT_EQ(Form4->PlaceBlackStone(), PlaceOutcome::kPlaced);
  EXPECT_EQ(MarkedStonePixels(P("ee", 9)), 0);
  EXPECT_GT(MarkedStonePixels(P("cc", 9)), 5);
  // A repaint agrees: only the newest stone carries its number; after a pass none does.
  Form4->FormPaint();
  EXPECT_EQ(MarkedStonePixels(P("ee", 9)), 0);
  EXPECT_GT(MarkedStonePixels(P("cc", 9)), 5);
  Form4->ReplayStepBack();
  Form4->FormPaint();
  EXPECT_EQ(MarkedStonePixels(P("ee", 9)), 0);
}

TEST_F(BoardWindowTest, CapturedStonesLeaveTheBoardAndThePrisonersAreCounted) {
  // White's stone on aa is taken by black's second stone.
  Form4->LoadKifuText("(;SZ[9];B[ba];W[aa];B[ab];W[ee])");
  EXPECT_EQ(Form4->Board[P("aa", 9)], kEmpty);
  EXPECT_EQ(Pixel(Form4->PointToPixelX(P("aa", 9)) + 4, Form4->PointToPixelY(P("aa", 9)) + 4),
            BoardPictureColour());
  EXPECT_EQ(FromQt(Form4->Memo3->text()), "1");  // beside black's name
  EXPECT_EQ(FromQt(Form4->Memo6->text()), "0");
  // Stepping back puts the stone back on the surface.
  Form4->ReplayStepBack();
  Form4->ReplayStepBack();
  EXPECT_EQ(StoneAt(P("aa", 9)), kTestWhiteStone);
  EXPECT_EQ(FromQt(Form4->Memo3->text()), "0");
}

TEST_F(BoardWindowTest, CandidateIsRepaintedWithTheUsersColour) {
  Form4->SetBoardSize(13);
  Form4->PlaysBlack = 0;
  Form4->SnapClickToGrid(Form4->PointToPixelX(P("cd", 13)), Form4->PointToPixelY(P("cd", 13)));
  Form4->CandidatePoint = P("cd", 13);
  Form4->FormPaint();
  const int x = Form4->PointToPixelX(P("cd", 13)), y = Form4->PointToPixelY(P("cd", 13));
  EXPECT_EQ(StoneAt(P("cd", 13)), kTestWhiteStone);
  EXPECT_EQ(Pixel(x, y - 8), QColor(Qt::black));  // the apex of the 13-line triangle
}

// ---------------------------------------------------------------------------------------------
// Clicks

TEST_F(BoardWindowTest, CheckMovePointTakesFreePointsAndRefusesTheOthersWithTheMessage) {
  // Black takes white's stone on dd in a ko, so white may not take back at once; black's eye in
  // the corner (aa) has no liberty for white.
  //      a b c d e f
  //   1  . X . . . .
  //   2  X . . . . .
  //   3  . . . X O .
  //   4  . . X . X O
  //   5  . . . X O .
  Form4->LoadKifuText(
      "(;SZ[9];B[ba];W[hh];B[ab];W[hg];B[dc];W[ec];B[cd];W[dd];B[de];W[fd];B[gg];W[ee];B[ed])");
  const int ko = P("dd", 9), eye = P("aa", 9);
  ASSERT_EQ(Form4->GroupIds[ko], kKoMark);
  ASSERT_EQ(Form4->GroupIds[eye], kForbiddenMark);
  struct Case {
    int point;
    bool free;
  } cases[] = {{P("ed", 9), false}, {P("ba", 9), false}, {ko, false},
               {eye, false},        {P("gc", 9), true},  {P("ii", 9), true}};
  for (const auto& c : cases) {
    Form4->PendingPoint = 7;
    Form4->SnapClickToGrid(Form4->PointToPixelX(c.point), Form4->PointToPixelY(c.point));
    ASSERT_EQ(Form4->ClickedPoint(), c.point);
    EXPECT_EQ(Form4->CheckMovePoint(), c.free) << c.point;
    EXPECT_EQ(Form4->PendingPoint, c.free ? c.point : 7) << c.point;
    EXPECT_EQ(Messages(), c.free ? Texts{} : Texts{J("そ こ は 打 て ま せ ん ！")}) << c.point;
  }
}

TEST_F(BoardWindowTest, ClicksWithoutTheInputRightOnlyResetTheIdleTime) {
  Form4->IdleSeconds = 30;
  Form4->Panel3->setText("x");
  Form4->BoardMode = kBoardOwnGame;
  Form4->PaintBox1MouseDown(Qt::LeftButton, Qt::NoModifier, 200, 200);
  EXPECT_EQ(Form4->IdleSeconds, 0);
  EXPECT_TRUE(Form4->Panel3->text().isEmpty());
  EXPECT_EQ(Form4->ClickX, 111);  // not even snapped
}

TEST_F(BoardWindowTest, RightClickOnTheCandidateWithdrawsIt) {
  Form4->BoardMode = kBoardOwnGame;
  Form4->InputAllowed = 1;
  const int p = P("qd");
  const int x = Form4->PointToPixelX(p), y = Form4->PointToPixelY(p);
  const QImage empty = Form4->BoardSurface();
  // No candidate: a right click changes nothing.
  Form4->PaintBox1MouseDown(Qt::RightButton, Qt::NoModifier, x, y);
  EXPECT_EQ(Form4->BoardSurface(), empty);
  EXPECT_EQ(Form4->CandidatePoint, 0);
  Form4->CandidatePoint = p;
  Form4->DrawCandidateMarker(p);
  // A right click elsewhere keeps it.
  Form4->PaintBox1MouseDown(Qt::RightButton, Qt::NoModifier, x + 40, y);
  EXPECT_EQ(Form4->CandidatePoint, p);
  EXPECT_EQ(StoneAt(p), kTestBlackStone);
  // On it (anywhere in its hit square), the candidate goes and the board shows again.
  Form4->PaintBox1MouseDown(Qt::RightButton, Qt::NoModifier, x + 10, y - 9);
  EXPECT_EQ(Form4->CandidatePoint, 0);
  EXPECT_EQ(Form4->BoardSurface(), empty);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(BoardWindowTest, ShiftClickOpensTheCountingBoardBeforeAnOlderStoneOnThePoint) {
  // Black's first stone on aa is taken; black plays there again with the last move.
  Form4->LoadKifuText("(;SZ[9];B[aa];W[ba];B[ee];W[ab];B[bb];W[ff];B[ca];W[gg];B[ac];W[hh];B[aa])");
  ASSERT_EQ(Form4->MoveTop, 11);
  ASSERT_EQ(Form4->Board[P("aa", 9)], kBlack);
  struct Case {
    const char* point;
    bool opens;
    int shown;
  } cases[] = {
      {"gg", true, 7},   // move 8: the position after move 7
      {"ee", true, 2},   // move 3
      {"aa", true, 0},   // the newest move, whose point black played first with move 1
      {"hh", true, 9},   // move 10
      {"dd", false, 0},  // an empty point
  };
  Form15->show();
  for (const auto& c : cases) {
    bool opened = false;
    int shown = -1;
    QTimer::singleShot(0, [&] {
      opened = Form7->isVisible();
      shown = Form4->ShownCountMove;
      if (opened) Form7->done(2);
    });
    const int p = P(c.point, 9);
    Form4->PaintBox1MouseDown(Qt::LeftButton, Qt::ShiftModifier, Form4->PointToPixelX(p),
                              Form4->PointToPixelY(p));
    ASSERT_TRUE(WaitFor([&] { return shown >= 0; }));
    EXPECT_EQ(opened, c.opens) << c.point;
    if (c.opens) {
      EXPECT_EQ(shown, c.shown) << c.point;
      EXPECT_FALSE(Form15->isVisible());
    }
    EXPECT_EQ(Form4->ShownCountMove, 0);
    Form15->show();
  }
}

TEST_F(BoardWindowTest, ShiftClickOnTheNewestStoneAloneOpensNothing) {
  Form4->LoadKifuText("(;SZ[9];B[cc];W[gg];B[ee])");
  bool opened = false, checked = false;
  QTimer::singleShot(0, [&] {
    opened = Form7->isVisible();
    checked = true;
    if (opened) Form7->done(2);
  });
  Form4->PaintBox1MouseDown(Qt::LeftButton, Qt::ShiftModifier, Form4->PointToPixelX(P("ee", 9)),
                            Form4->PointToPixelY(P("ee", 9)));
  ASSERT_TRUE(WaitFor([&] { return checked; }));
  EXPECT_FALSE(opened);
}

TEST_F(BoardWindowTest, CtrlClickInTheRoomContinuesFromTheClickedMoveAndTellsTheRoom) {
  Stop();
  StartAndLogIn();
  Form4->SaveDialog1 = &dialogs_;
  Form4->LoadKifuText("(;SZ[9];B[cc];W[gg];B[cg];W[gc];B[ee])");
  Form4->BoardMode = kBoardRoom;
  Form4->InputAllowed = 1;
  Sent();
  const int p = P("cg", 9);
  Form4->PaintBox1MouseDown(Qt::LeftButton, Qt::ControlModifier, Form4->PointToPixelX(p),
                            Form4->PointToPixelY(p));
  // The position after move 3 is the new setup; the two later moves stay and are shown.
  EXPECT_EQ(Form4->SetupCount, 3);
  EXPECT_EQ(Form4->MoveTop, 5);
  EXPECT_EQ(Form4->BufferLength, 5);
  EXPECT_FALSE(Form4->BlackFirst);
  EXPECT_EQ(Form4->Room.AtStartFlag, 0);
  const Texts sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  const std::string prefix =
      "<<DiscussInput>><<Type=12>><<Value=3>><<DiscussKifu=(;GM[1]FF[1]SZ[9]";
  EXPECT_EQ(sent[0].substr(0, prefix.size()), prefix);
  EXPECT_EQ(sent[0].find("\r"), std::string::npos);
  EXPECT_EQ(sent[0].find("\n"), std::string::npos);
  EXPECT_NE(sent[0].find("HA[3]"), std::string::npos);
  EXPECT_NE(sent[0].find(";W[gc];B[ee])/<SiroSaki>/>>"), std::string::npos) << sent[0];
  // The stones are where they were.
  EXPECT_EQ(StoneAt(P("cc", 9)), kTestBlackStone);
  EXPECT_EQ(StoneAt(P("gg", 9)), kTestWhiteStone);
}

TEST_F(BoardWindowTest, AnIdleBoardOnlySnapsTheClick) {
  Form4->LoadKifuText("(;SZ[19];B[dd])");
  Form4->InputAllowed = 1;
  Form4->BoardMode = kBoardIdle;
  Form4->PaintBox1MouseDown(Qt::LeftButton, Qt::NoModifier, 71, 91);
  // Idle: snapped, nothing else.
  EXPECT_EQ(Form4->ClickX, 71);
  EXPECT_EQ(Form4->ClickY, 91);
  EXPECT_EQ(Form4->ClickedPoint(), MakePoint(4, 5));
  EXPECT_EQ(Form4->MoveTop, 1);
}

// ---------------------------------------------------------------------------------------------
// The turned view

TEST_F(BoardWindowTest, TurningShowsWhitesViewAndKeepsTheBufferedMovesTurned) {
  Form4->LoadKifuText("(;SZ[19];B[cd];W[pc];B[ee])");
  Form4->ReplayStepBack();  // a watcher looking at move 2 of 3
  ASSERT_EQ(Form4->MoveTop, 2);
  Form4->Image19Click();
  EXPECT_TRUE(Form4->BoardTurned);
  EXPECT_EQ(BoardPictureColour(), kProgramTurnedBoard);
  EXPECT_EQ(Form4->MoveTop, 2);
  EXPECT_EQ(Form4->BufferLength, 3);
  const int mirror = GeometryOf(19).FirstLine() + GeometryOf(19).LastLine();
  for (const auto& [letters, black] : {std::pair{"cd", true}, {"pc", false}}) {
    const int turned = TurnPoint(P(letters), 19);
    EXPECT_EQ(Form4->Board[turned], black ? kBlack : kWhite) << letters;
    EXPECT_EQ(Form4->Board[P(letters)], kEmpty) << letters;
    EXPECT_EQ(Form4->PointToPixelX(turned), mirror - Form4->PointToPixelX(P(letters)));
    EXPECT_EQ(StoneAt(turned), black ? kTestBlackStone : kTestWhiteStone) << letters;
    EXPECT_EQ(Pixel(Form4->PointToPixelX(P(letters)) + 4, Form4->PointToPixelY(P(letters)) + 4),
              BoardPictureColour())
        << letters;
  }
  // Stepping forward shows the buffered move where white sees it.
  Form4->ReplayStepForward();
  EXPECT_EQ(StoneAt(TurnPoint(P("ee"), 19)), kTestBlackStone);
  // Turning back shows black's view again, which the working folder holds.
  Form4->Image19Click();
  EXPECT_FALSE(Form4->BoardTurned);
  EXPECT_EQ(BoardPictureColour(), kTestBoardColour);
  EXPECT_EQ(Form4->MoveList[1], P("cd"));
  EXPECT_EQ(Form4->MoveList[3], P("ee"));
  EXPECT_EQ(StoneAt(P("cd")), kTestBlackStone);
  EXPECT_EQ(StoneAt(P("pc")), kTestWhiteStone);
  EXPECT_EQ(Form4->Board[TurnPoint(P("cd"), 19)], kEmpty);
}

TEST_F(BoardWindowTest, TheTurnButtonTurnsTheBoard) {
  Form4->Image19->OnClick();
  EXPECT_TRUE(Form4->BoardTurned);
}

// ---------------------------------------------------------------------------------------------
// Keys, the window menu and the caption flash

TEST_F(BoardWindowTest, SpaceIsHeldOnlyWhileAMarkIsSelected) {
  auto press = [](int key, const QString& text) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(Form4, &down);
  };
  auto release = [](int key, const QString& text) {
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(Form4, &up);
  };
  Form15->SelectedMark = 0;
  press(Qt::Key_Space, " ");
  EXPECT_EQ(Form4->SpaceHeld, 0);
  Form15->SelectedMark = 3;
  press(Qt::Key_A, "a");
  EXPECT_EQ(Form4->SpaceHeld, 0);
  press(Qt::Key_Space, " ");
  EXPECT_EQ(Form4->SpaceHeld, 1);
  // Any key going up ends it.
  release(Qt::Key_A, "a");
  EXPECT_EQ(Form4->SpaceHeld, 0);
}

TEST_F(BoardWindowTest, TheWindowMenuTogglesTheGameListBoardInTheRoomOnly) {
  const QList<QAction*> actions = Form4->SystemMenu->actions();
  ASSERT_EQ(actions.size(), 2);
  EXPECT_TRUE(actions[0]->isSeparator());
  EXPECT_EQ(FromQt(actions[1]->text()), J("検討室 - 対局碁盤  [ON/OFF] (&K)"));
  Form14->hide();
  actions[1]->trigger();
  EXPECT_FALSE(Form14->isVisible());
  Form4->BoardMode = kBoardRoom;
  actions[1]->trigger();
  EXPECT_TRUE(Form14->isVisible());
  Form4->SystemMenuCommand(1);
  EXPECT_TRUE(Form14->isVisible());
  Form4->SystemMenuCommand(2);
  EXPECT_FALSE(Form14->isVisible());
}

TEST_F(BoardWindowTest, TheCaptionFlashesSixTimesWithoutHoldingTheEventLoop) {
  Form4->SetCaption(J("[ Taro ]   対局 1"));
  const QString normal = Form4->windowTitle();
  int changes = 0;
  QObject::connect(Form4, &QWidget::windowTitleChanged, [&] { ++changes; });
  bool other_event = false;
  QTimer::singleShot(0, [&] { other_event = true; });
  QElapsedTimer clock;
  clock.start();
  Form4->FlashBoardWindow();
  EXPECT_LT(clock.elapsed(), 150);  // returns at once
  EXPECT_NE(Form4->windowTitle(), normal);
  EXPECT_TRUE(Form4->windowTitle().contains(normal));
  EXPECT_TRUE(WaitFor([&] { return other_event; }));
  EXPECT_TRUE(Form4->Flashing());  // other events ran while it flashes
  ASSERT_TRUE(WaitFor([] { return !Form4->Flashing(); }, 4000));
  EXPECT_GE(clock.elapsed(), 1000);
  EXPECT_EQ(Form4->windowTitle(), normal);
  EXPECT_EQ(changes, 6);
  // A caption set while flashing is the one it returns to.
  Form4->FlashBoardWindow();
  Form4->SetCaption("Korvanta");
  ASSERT_TRUE(WaitFor([] { return !Form4->Flashing(); }, 4000));
  EXPECT_EQ(Form4->windowTitle(), QStringLiteral("Korvanta"));
}

// ---------------------------------------------------------------------------------------------
// Records

TEST_F(BoardWindowTest, SavingWritesTheRecordAndTheChatLogBesideIt) {
  const std::string folder = WorkPathOf("records");
  MakeDirectory(folder);
  Form4->LoadKifuText(J("(;SZ[9]PB[黒]PW[白];B[ee];W[cc])"));
  Form5->Memo1Lines.SetText(J("[ 黒 ]：よろしく\r\n"));
  Form4->DiagramStore = "\r\n{1}<<DiaData=abc>>";
  const std::string start_folder = Form2->SaveDialogDir;
  dialogs_.QueueAnswer(folder + "/game");
  Form4->Image15->OnClick();
  ASSERT_EQ(dialogs_.shown().size(), 1u);
  EXPECT_TRUE(dialogs_.shown()[0].save);
  EXPECT_EQ(dialogs_.shown()[0].title, J("棋譜保存"));
  EXPECT_EQ(dialogs_.shown()[0].folder, start_folder);
  EXPECT_EQ(QtFileFilter(dialogs_.shown()[0].filter),
            "SGF棋譜ファイル (*.sgf);;すべてのファイル(*.*) (*.*)");
  std::string record, chat;
  ASSERT_TRUE(ReadWholeFile(folder + "/game.sgf", record));
  EXPECT_EQ(record, J("(;GM[1]FF[1]SZ[9]\r\nPB[黒]\r\nPW[白]\r\nDT[2026/12/09 - 9:05:07]\r\n"
                      "HA[0]\r\n;B[ee]\r\n;W[cc]\r\n)"));
  ASSERT_TRUE(ReadWholeFile(folder + "/gameChat.dat", chat));
  EXPECT_EQ(chat, J("ヌルカ - Korvanta - チャットログ\r\n\r\n[ 黒 ]：よろしく\r\n\r\n\r\n"
                    "---碁盤データ---\r\n\r\n\r\n{1}<<DiaData=abc>>"));
  // The dialog starts in the record's folder next time.
  EXPECT_EQ(Form2->SaveDialogDir, folder + "/");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(BoardWindowTest, SavingInTheRoomWritesTheRoomsDiagramsAndNoLogWithoutChat) {
  const std::string folder = WorkPathOf("room");
  MakeDirectory(folder);
  Form4->BoardMode = kBoardRoom;
  Form4->DiagramStore = "game";
  Form4->RoomDiagramStore = "room";
  Form5->Memo1Lines.SetText("line\r\n");
  dialogs_.QueueAnswer(folder + "/a.b.sgf");
  Form4->Image15Click();
  std::string chat;
  ASSERT_TRUE(ReadWholeFile(folder + "/a.bChat.dat", chat));
  EXPECT_NE(chat.find("room"), std::string::npos);
  EXPECT_EQ(chat.find("game"), std::string::npos);
  // Without chat there is no log; an empty board writes the bare record.
  Form4->BoardMode = kBoardIdle;
  Form5->Memo1Lines.Clear();
  dialogs_.QueueAnswer(folder + "/empty");
  Form4->Image15Click();
  std::string record;
  ASSERT_TRUE(ReadWholeFile(folder + "/empty.sgf", record));
  EXPECT_EQ(record, "(;GM[1]FF[1]SZ[19])");
  EXPECT_FALSE(FileExists(folder + "/emptyChat.dat"));
}

TEST_F(BoardWindowTest, CancellingOrAnUnwritableFolderSavesNothing) {
  const std::string before = Form2->SaveDialogDir;
  Form4->Image15Click();  // the dialog is cancelled
  EXPECT_EQ(dialogs_.shown().size(), 1u);
  EXPECT_EQ(Form2->SaveDialogDir, before);
  EXPECT_TRUE(Messages().empty());
  dialogs_.QueueAnswer(WorkPathOf("missing/folder/game"));
  Form4->Image15Click();
  EXPECT_EQ(Messages(), Texts{J("棋譜を保存できませんでした：") +
                              Cp932FromUtf8(WorkPathOf("missing/folder/game.sgf"))});
}

TEST_F(BoardWindowTest, RecordFilesOpenOntoTheBoardWithTheirNamesAndSize) {
  // A record written by another program, with CR LF, a comment and properties the board ignores.
  const std::string crlf =
      J("(;FF[4]GM[1]SZ[13]KM[6.5]PB[黒田 一郎]PW[白石 次郎]RE[B+R]\r\n"
        ";B[dd]C[first move];W[jj]\r\n;B[dj];W[jd]\r\n)\r\n");
  std::string lf = crlf;
  lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
  for (const std::string& text : {crlf, lf}) {
    const std::string path = WorkPathOf("other.sgf");
    ASSERT_TRUE(WriteWholeFile(path, text));
    std::string read;
    ASSERT_TRUE(ReadWholeFile(path, read));
    Form4->ResetBoardForm();
    Form4->SetBoardSize(19);
    Form4->LoadKifuText(read);
    EXPECT_EQ(Form4->BoardSize, 13);
    EXPECT_EQ(Form4->CellSize, 29);
    EXPECT_EQ(BoardPictureColour(), kProgramBoard);
    EXPECT_EQ(FromQt(Form4->Memo1->text()), J("黒田 一郎"));
    EXPECT_EQ(FromQt(Form4->Memo4->text()), J("白石 次郎"));
    EXPECT_EQ(MemoColor(Form4->Memo1), 0xFFFFFFu);
    // The comment node counts as a move read from its letters "fi"; the loose reader takes the
    // first bracket after every ";".
    EXPECT_EQ(Form4->MoveTop, 4);
    EXPECT_EQ(StoneAt(P("dd", 13)), kTestBlackStone);
    EXPECT_EQ(StoneAt(P("jj", 13)), kTestWhiteStone);
    EXPECT_EQ(StoneAt(P("dj", 13)), kTestBlackStone);
    EXPECT_EQ(Form4->Board[P("jd", 13)], kWhite);
  }
  // Without names the memos are pale green and empty.
  Form4->LoadKifuText("(;SZ[13];B[aa])");
  EXPECT_TRUE(Form4->Memo1->text().isEmpty());
  EXPECT_EQ(MemoColor(Form4->Memo1), 0xF0FFF0u);
  EXPECT_EQ(MemoColor(Form4->Memo4), 0xF0FFF0u);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(BoardWindowTest, InTheRoomTheNamesGoToTheRoomsMemoAndTheSizeBoxFollows) {
  Form4->BoardMode = kBoardRoom;
  Form4->InputAllowed = 1;
  Form4->LoadKifuText(J("(;SZ[9]PB[黒]PW[白];B[ee])"));
  EXPECT_EQ(Form4->Memo7->toPlainText(), QString::fromUtf8("黒\n白"));
  EXPECT_EQ(Form4->ComboBox1->currentIndex(), 2);
  EXPECT_TRUE(Form4->Memo1->text().isEmpty());
  // The strict reader of a record file takes the main line.
  Form4->OpenRecordText(J("(;SZ[19]PB[甲]PW[乙];B[pd];W[dp](;B[qp])(;B[dd]))"));
  EXPECT_EQ(Form4->BoardSize, 19);
  EXPECT_EQ(Form4->MoveTop, 3);
  EXPECT_EQ(Form4->MoveList[3], P("qp"));
  EXPECT_EQ(Form4->Board[P("dd")], kEmpty);
  EXPECT_EQ(StoneAt(P("pd")), kTestBlackStone);
  EXPECT_EQ(Form4->Memo7->toPlainText(), QString::fromUtf8("甲\n乙"));
}

TEST_F(BoardWindowTest, ARecordLongerThanTheMoveListIsCutWithAMessage) {
  std::string text = "(;SZ[19]";
  for (int i = 0; i < 620; ++i) text += ";B[tt]";
  text += ")";
  Form4->LoadKifuText(text);
  EXPECT_EQ(Form4->BufferLength, kMoveListCapacity);
  EXPECT_EQ(Form4->MoveTop, kMoveListCapacity);
  const Texts messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("500"), std::string::npos);
}

TEST_F(BoardWindowTest, AnEmptyRecordChangesNothing) {
  Form4->LoadKifuText("(;SZ[9];B[ee])");
  Form4->LoadKifuText("");
  EXPECT_EQ(Form4->MoveTop, 1);
  EXPECT_EQ(Form4->BoardSize, 9);
}

// ---------------------------------------------------------------------------------------------
// On screen

TEST_F(BoardWindowTest, TheShownWindowPaintsTheBoardSurfaceAndTheBackground) {
  Form4->LoadKifuText("(;SZ[19];B[dd];W[pp])");
  Form4->show();
  ASSERT_TRUE(WaitFor([] { return Form4->isVisible(); }));
  const QImage shot = Form4->grab().toImage();
  const QPoint at = Form4->PaintBox1->pos();
  EXPECT_EQ(at, QPoint(8, 8));
  const int x = Form4->PointToPixelX(P("dd")) - 6, y = Form4->PointToPixelY(P("dd"));
  EXPECT_EQ(shot.pixelColor(at.x() + x, at.y() + y), kTestBlackStone);
  EXPECT_EQ(shot.pixelColor(at.x() + 11, at.y() + 11), QColor(Qt::black));
  // The background shows to the right of the board and under the panels' gaps.
  EXPECT_EQ(shot.pixelColor(400, 220), Form4->Image9.pixelColor(400, 220));
  EXPECT_EQ(Form4->width(), 594);
}
