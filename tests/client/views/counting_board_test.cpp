// Tests of the counting board among the client's windows, offscreen: a local count with clicks,
// drags, the count on the board and in the caption, the restore, F5 and closing; the shared count
// from the holder's side (what it sends, turned for the wire) and from the receiver's side (what
// it applies, and where it refuses); the board window's count button and timer.
#include "client/views/counting_board.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <vector>

#include "client/board/board_window.h"
#include "client/board/model/record_text.h"
#include "client/board/picture_button.h"
#include "client/connection/game_chat_window.h"
#include "client/views/panel_button.h"
#include "platform/cp932.h"
#include "platform/qt_text.h"
#include "platform/window_state.h"
#include "tests/client/board/board_test_pictures.h"
#include "tests/client/connection/client_windows_fixture.h"
#include "tests/client/connection/modal_answer.h"
#include "tests/qt_wait.h"

namespace {

using Texts = std::vector<std::string>;

// A 9-line game: black wall on column 4, white wall on column 5, a white stone at 2-2 in black's
// area and a black pair at 7-2 and 8-2 in white's; three moves after the setup.
std::string WallsRecord() {
  std::string black = "AB", white = "AW";
  for (int row = 1; row <= 9; ++row) {
    black += PointEntry(MakePoint(4, row));
    white += PointEntry(MakePoint(5, row));
  }
  black += PointEntry(MakePoint(7, 2)) + PointEntry(MakePoint(8, 2));
  white += PointEntry(MakePoint(2, 2));
  return "(;SZ[9]" + black + white + ";B[ai];W[ii];B[bi])";
}

int X(int point) { return GeometryOf(9).PointToPixelX(point); }
int Y(int point) { return GeometryOf(9).PointToPixelY(point); }

std::string Text(const QLabel* label) { return FromQt(label->text()); }

// The server's start of game 1 for Taro against Jiro, 19 lines, 15 minutes each.
std::string GameStart(bool black) {
  return "<<GameStart-" + std::string(black ? "Play" : "Wait") +
         ">><<Color=" + (black ? "black" : "white") + ">><<OpName=Jiro>><<GameWari=" + J("互先") +
         ">><<BanSize=19>><<GameKomi=6.5>><<KuroGameTime=" + J("15 分") +
         ">><<SiroGameTime=" + J("15 分") + ">><<AddTime=" + J("なし") +
         ">><<GameIndex=1>><<PlayList=>><<WaitList=>><<WaitHint=>>";
}

class CountingBoardTest : public ClientWindowsTest {
 protected:
  void SetUp() override {
    StartAndLogIn("Taro");
    Form4->Timer1->stop();
    Form4->LoadKifuText(WallsRecord());
    Form4->KomiTenths = 65;
    Form4->GameTag = "<<GameIndex=2>>";
  }
  void TearDown() override {
    if (Form7->isVisible()) Form7->done(2);
  }

  void Click(int point, Qt::MouseButton button = Qt::LeftButton) {
    Form7->FormMouseDown(button, X(point), Y(point));
    Form7->FormMouseUp();
  }
  QColor Pixel(int point, int dx = 0, int dy = 0) const {
    return Form7->BoardSurface().pixelColor(X(point) + dx, Y(point) + dy);
  }
};

}  // namespace

TEST_F(CountingBoardTest, ALocalCountMarksCountsShowsTheResultAndRestoresTheBoard) {
  Form7->show();
  EXPECT_EQ(Form7->Caption(), J(" [ Taro ]   ヌルカ - 地の計算  { コ ミ = 6.5 }"));
  EXPECT_EQ(Form7->BoardSize, 9);
  EXPECT_EQ(Text(Form7->Label1), J("黒 : 0"));
  EXPECT_EQ(Form7->Count.Board[MakePoint(4, 1)], kBlack);
  EXPECT_EQ(Pixel(MakePoint(4, 1)), kTestBlackStone);
  // The moves after the setup are on the board too.
  EXPECT_EQ(Pixel(MakePoint(9, 9)), kTestWhiteStone);

  // Dead groups, one point per stone.
  Click(MakePoint(2, 2));
  Click(MakePoint(7, 2), Qt::RightButton);
  EXPECT_EQ(Text(Form7->Label1), J("黒 : 1"));
  EXPECT_EQ(Text(Form7->Label2), J("白 : 2"));
  // A drag from an empty point lays marks of the button's colour; one from a mark erases.
  Form7->FormMouseDown(Qt::LeftButton, X(MakePoint(1, 5)), Y(MakePoint(1, 5)));
  Form7->FormMouseMove(X(MakePoint(1, 6)), Y(MakePoint(1, 6)));
  Form7->FormMouseMove(X(MakePoint(1, 7)), Y(MakePoint(1, 7)));
  Form7->FormMouseUp();
  Form7->FormMouseDown(Qt::LeftButton, X(MakePoint(1, 6)), Y(MakePoint(1, 6)));
  Form7->FormMouseMove(X(MakePoint(1, 7)), Y(MakePoint(1, 7)));
  Form7->FormMouseMove(X(MakePoint(2, 7)), Y(MakePoint(2, 7)));  // empty: stays empty
  Form7->FormMouseUp();
  EXPECT_EQ(Form7->Count.Board[MakePoint(1, 5)], kBlackTerritoryMark);
  EXPECT_EQ(Form7->Count.Board[MakePoint(1, 6)], kEmpty);
  EXPECT_EQ(Form7->Count.Board[MakePoint(2, 7)], kEmpty);
  EXPECT_EQ(Pixel(MakePoint(1, 5), -10, -10), kTestBlackStone);
  EXPECT_EQ(Pixel(MakePoint(1, 6), -10, -10), kTestBoardColour);

  Form7->Panel3Click();
  // Black: 27 points less two stones, the mark and the dead stone's point, plus 2 for the dead
  // stone; white: 36 less a stone and the pair's points, plus 4.
  EXPECT_EQ(Text(Form7->Label1), J("黒 : 25"));
  EXPECT_EQ(Text(Form7->Label2), J("白 : 37"));
  EXPECT_EQ(Form7->Caption(),
            J(" [ Taro ]   ヌルカ - 地の計算  { コ ミ = 6.5 }    白 18 目半勝ち"));
  EXPECT_EQ(FromQt(Form7->Panel3->text()), J("再計算"));
  EXPECT_TRUE(Form7->Flashing());
  // Territory squares: green for black, magenta for white, on the dead stones' points too.
  EXPECT_EQ(Pixel(MakePoint(1, 1)), QColor(0, 255, 0));
  EXPECT_EQ(Pixel(MakePoint(2, 2)), QColor(0, 255, 0));
  EXPECT_EQ(Pixel(MakePoint(8, 2)), QColor(255, 0, 255));
  EXPECT_EQ(Pixel(MakePoint(2, 2), -10, -10), kTestBoardColour);
  // The board waits while the count is on show.
  const PointArray counted = Form7->Count.Board;
  Click(MakePoint(3, 3));
  Click(MakePoint(4, 4));
  EXPECT_EQ(Form7->Count.Board, counted);

  Form7->Panel3Click();
  EXPECT_EQ(FromQt(Form7->Panel3->text()), J("計 算"));
  EXPECT_EQ(Form7->Caption(), J(" [ Taro ]   ヌルカ - 地の計算  { コ ミ = 6.5 }"));
  EXPECT_EQ(Text(Form7->Label1), J("黒 : 1"));
  EXPECT_EQ(Form7->Count.Board[MakePoint(2, 2)], kDeadWhite);
  EXPECT_EQ(Form7->Count.Board[MakePoint(1, 5)], kBlackTerritoryMark);
  EXPECT_EQ(Pixel(MakePoint(2, 2), -10, -10), kTestWhiteStone);
  EXPECT_EQ(Pixel(MakePoint(1, 1), -10, -10), kTestBoardColour);

  Form7->FormKeyDown(116);
  EXPECT_EQ(clipboard_.Text(), Form4->WriteSgfRecord());
  Form7->Panel1Click();
  EXPECT_FALSE(Form7->isVisible());
  EXPECT_EQ(Form7->result(), 2);
  // The next show starts afresh.
  Form7->show();
  EXPECT_EQ(Form7->Count.Board[MakePoint(2, 2)], kWhite);
  EXPECT_EQ(Text(Form7->Label1), J("黒 : 0"));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(CountingBoardTest, TheHolderSendsEveryOperationTurnedForTheWireAndHandsTheRightOver) {
  Form4->Image19Click();  // white's view
  Form7->StartSharedCount();
  Form7->show();
  EXPECT_EQ(Sent(), Texts{"<<GameIndex=2>><<RealTimeCountStart>>"});
  EXPECT_TRUE(Form7->Label4->isVisible());
  EXPECT_TRUE(Form7->SpeedButton1->isEnabled());
  EXPECT_EQ(FromQt(Form7->SpeedButton1->text()), J("相手に操作権を渡す"));

  // Column 1, row 3 of the turned view is column 9, row 7 of black's.
  Click(MakePoint(1, 3));
  Click(MakePoint(2, 8), Qt::RightButton);  // the black pair, seen turned
  Click(MakePoint(1, 3));
  Click(MakePoint(5, 5));  // the white wall
  // A drag paints nothing in a shared count.
  Form7->FormMouseDown(Qt::LeftButton, X(MakePoint(1, 4)), Y(MakePoint(1, 4)));
  Form7->FormMouseMove(X(MakePoint(1, 5)), Y(MakePoint(1, 5)));
  Form7->FormMouseUp();
  Form7->Panel3Click();
  Form7->Panel3Click();
  EXPECT_EQ(Sent(), (Texts{"<<GameIndex=2>><<RealTimeCount>><<Type=1>><<Value=196>>",
                           "<<GameIndex=2>><<RealTimeCount>><<Type=5>><<Value=170>>",
                           "<<GameIndex=2>><<RealTimeCount>><<Type=3>><<Value=196>>",
                           "<<GameIndex=2>><<RealTimeCount>><<Type=5>><<Value=110>>",
                           "<<GameIndex=2>><<RealTimeCount>><<Type=1>><<Value=195>>",
                           "<<GameIndex=2>><<RealTimeCount>><<Type=7>>",
                           "<<GameIndex=2>><<RealTimeCount>><<Type=6>>"}));
  EXPECT_EQ(Form7->Count.Board[MakePoint(1, 5)], kEmpty);
  EXPECT_EQ(Text(Form7->Label1), J("黒 : 9"));

  Form7->SpeedButton1Click();
  EXPECT_EQ(Sent(), Texts{"<<GameIndex=2>><<RealTimeChange>>"});
  EXPECT_EQ(Form7->RealTimeMode, 2);
  EXPECT_FALSE(Form7->SpeedButton1->isEnabled());
  EXPECT_EQ(FromQt(Form7->SpeedButton1->text()), J("[操作観覧モード]"));
  // Watching only: clicks do nothing, the count button says why.
  const PointArray before = Form7->Count.Board;
  Click(MakePoint(2, 2));
  Form7->Panel3Click();
  EXPECT_EQ(Form7->Count.Board, before);
  EXPECT_EQ(Messages(), Texts{J("相手の計算/発信中のため、操作できません")});
  EXPECT_TRUE(Sent().empty());
  // The opponent hands it back.
  Form4->BoardMode = 1;
  socket_.Deliver("<<GameIndex=2>><<RealTimeChange>>");
  EXPECT_EQ(Form7->RealTimeMode, 1);
  EXPECT_TRUE(Form7->SpeedButton1->isEnabled());

  // Closing ends the shared count and tells the other side once.
  Form7->Panel1Click();
  Form7->LeaveSharedCount(true);
  EXPECT_EQ(Sent(), Texts{"<<GameIndex=2>><<RealTimeCountEnd>>"});
  EXPECT_FALSE(Form7->Label4->isVisibleTo(Form7));
  EXPECT_FALSE(Form7->SpeedButton1->isVisibleTo(Form7));
}

TEST_F(CountingBoardTest, EscapeClosesNeitherAnOwnNorASharedCountOnlyBackAndTheCloseBoxDo) {
  const auto escape = [](QWidget* widget) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(widget, &key);
  };
  for (const bool shared : {false, true}) {
    if (shared) Form7->StartSharedCount();
    Form7->show();
    Sent();
    // Typed in the chat line, or on the board itself.
    Form7->Memo1->setFocus();
    escape(Form7->Memo1);
    escape(Form7);
    EXPECT_TRUE(Form7->isVisible()) << shared;
    EXPECT_TRUE(Sent().empty()) << shared;
    EXPECT_EQ(Form7->RealTimeMode, shared ? kSharedCountOwnRight : kNoSharedCount);
    // The close box ends the show as "戻 る" does.
    Form7->close();
    EXPECT_FALSE(Form7->isVisible()) << shared;
    EXPECT_EQ(Form7->result(), 2) << shared;
  }
  Form7->LeaveSharedCount(true);
}

TEST_F(CountingBoardTest, TheReceiverAppliesOperationsWhereTheyFitAndStaysOpenAfterTheEnd) {
  // White's own game, stopped by black; a local count is open when the start arrives.
  Form4->Image19Click();
  Form4->BoardMode = 1;
  Form4->ClockState = 2;
  Form7->show();
  socket_.Deliver("<<GameIndex=2>><<RealTimeCountStart>>");
  EXPECT_FALSE(Form7->isVisible());
  EXPECT_EQ(Form7->result(), 2);
  EXPECT_EQ(Form4->RealTimeCountPending, 1);
  EXPECT_TRUE(Sent().empty());

  Form7->OpenSharedCountAsWatcher();
  Form7->show();
  EXPECT_EQ(Form7->RealTimeMode, 2);
  EXPECT_FALSE(Form7->SpeedButton1->isEnabled());
  const auto op = [this](int type, int value) {
    socket_.Deliver("<<GameIndex=2>><<RealTimeCount>><<Type=" + std::to_string(type) +
                    ">><<Value=" + std::to_string(value) + ">>");
  };
  // Black's view on the wire, white's on this board.
  op(1, MakePoint(9, 7));
  EXPECT_EQ(Form7->Count.Board[MakePoint(1, 3)], kBlackTerritoryMark);
  op(5, MakePoint(7, 2));
  EXPECT_EQ(Form7->Count.Board[MakePoint(2, 8)], kDeadBlack);
  EXPECT_EQ(Form7->Count.Board[MakePoint(3, 8)], kDeadBlack);
  EXPECT_EQ(Text(Form7->Label2), J("白 : 2"));
  // Two operations that came in one read.
  socket_.Deliver(
      "<<GameIndex=2>><<RealTimeCount>><<Type=2>><<Value=195>><<GameIndex=2>>"
      "<<RealTimeCount>><<Type=2>><<Value=194>>");
  EXPECT_EQ(Form7->Count.Board[MakePoint(1, 4)], kWhiteTerritoryMark);
  EXPECT_EQ(Form7->Count.Board[MakePoint(1, 5)], kWhiteTerritoryMark);
  // Off the board (also once turned) or out of order: nothing.
  const PointArray before = Form7->Count.Board;
  op(1, 440);
  op(1, MakePoint(10, 3));
  socket_.Deliver("<<GameIndex=2>><<RealTimeCount>><<Type=6>>");
  EXPECT_EQ(Form7->Count.Board, before);
  socket_.Deliver("<<GameIndex=2>><<RealTimeCount>><<Type=7>>");
  EXPECT_EQ(FromQt(Form7->Panel3->text()), J("再計算"));
  EXPECT_NE(Form7->Caption().find(J("勝ち")), std::string::npos);
  socket_.Deliver("<<GameIndex=2>><<RealTimeCount>><<Type=6>>");
  EXPECT_EQ(Form7->Count.Board, before);

  // The end: a board on screen stays as a local count; a minimised one closes.
  socket_.Deliver("<<GameIndex=2>><<RealTimeCountEnd>>");
  EXPECT_EQ(Form7->RealTimeMode, 0);
  EXPECT_TRUE(Form7->isVisible());
  EXPECT_FALSE(Form7->Label4->isVisible());
  Form7->OpenSharedCountAsWatcher();
  MinimizeWindow(Form7);
  socket_.Deliver("<<GameIndex=2>><<RealTimeCountEnd>>");
  EXPECT_FALSE(Form7->isVisible());
  EXPECT_EQ(Form7->result(), 1);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(CountingBoardTest, TheCountButtonSharesTheCountOnlyFromTheMiddleOfAStoppedOwnGame) {
  struct Case {
    const char* what;
    bool game, stopped;
    int x, y;
    bool shares;
  } cases[] = {
      {"stopped, middle", true, true, 40, 10, true},
      {"stopped, corners of the middle", true, true, 31, 24, true},
      {"stopped, beside the middle", true, true, 30, 10, false},
      {"stopped, below the middle", true, true, 40, 25, false},
      {"running", true, false, 40, 10, false},
      {"no game", false, false, 40, 10, false},
  };
  for (const auto& c : cases) {
    Form4->ResetBoardForm();
    if (c.game) {
      socket_.Deliver(GameStart(true));
      if (c.stopped) Form4->Image18Click();
    }
    Sent();
    int inside = -1;
    bool minimised = false;
    ModalAnswer answer(Form7, [&] {
      inside = Form7->RealTimeMode;
      minimised = IsMinimized(Form4);
      Form7->Panel1Click();
    });
    ASSERT_NE(Form4->Image13->OnMouseDown, nullptr);
    Form4->Image13->OnMouseDown(Qt::LeftButton, c.x, c.y);
    ASSERT_TRUE(answer.answered()) << c.what;
    EXPECT_EQ(inside, c.shares ? kSharedCountOwnRight : kNoSharedCount) << c.what;
    EXPECT_EQ(minimised, c.shares) << c.what;
    EXPECT_TRUE(IsNormalState(Form4)) << c.what;
    EXPECT_EQ(Form7->RealTimeMode, kNoSharedCount) << c.what;
    const Texts shared = {"<<GameIndex=1>><<RealTimeCountStart>>",
                          "<<GameIndex=1>><<RealTimeCountEnd>>"};
    EXPECT_EQ(Sent(), c.shares ? shared : Texts{}) << c.what;
  }
}

TEST_F(CountingBoardTest, ARequestedCountOpensFromTheTimerWhichKeepsTickingWhileItIsOpen) {
  socket_.Deliver(GameStart(true));
  Sent();
  Form4->RealTimeCountPending = 1;
  Form4->Timer1->setInterval(10);
  Form4->Timer1->start();
  int inside = -1;
  bool ticked = false;
  ModalAnswer answer(Form7, [&] {
    inside = Form7->RealTimeMode;
    const int clock = Form4->BlackClock;
    ticked = WaitFor([&] { return Form4->BlackClock <= clock - 3; });
    Form7->Panel1Click();
  });
  ASSERT_TRUE(WaitFor([&] { return answer.answered() && !Form7->isVisible(); }));
  Form4->Timer1->stop();
  EXPECT_EQ(inside, kSharedCountOtherRight);
  EXPECT_TRUE(ticked);
  EXPECT_EQ(Form4->RealTimeCountPending, 0);
  EXPECT_EQ(Form7->RealTimeMode, kNoSharedCount);
  // A player's board says the count ended when it closes.
  EXPECT_EQ(Sent(), Texts{"<<GameIndex=1>><<RealTimeCountEnd>>"});
}

TEST_F(CountingBoardTest, ANewGameOrTheBoardGoingAwayClosesTheCountingBoardWithoutASound) {
  Form7->OpenSharedCountAsWatcher();
  Form7->show();
  socket_.Deliver(GameStart(false));
  EXPECT_FALSE(Form7->isVisible());
  EXPECT_EQ(Form7->RealTimeMode, kNoSharedCount);
  Form4->show();
  Form7->show();
  Form4->hide();
  EXPECT_FALSE(Form7->isVisible());
  EXPECT_TRUE(Sent().empty());
}
