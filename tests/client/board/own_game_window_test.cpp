// Tests of the board window in an own game, among the client's windows on a scripted connection:
// the game start, two-click moves in both views, received moves and their checks, the clocks on
// a hand-driven timer, pass, resign, undo, stop and restart, the end of the game, leaving and
// closing, the game chat, F5 and the view toggles. Messages come in through the reader.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include "client/board/board_window.h"
#include "client/board/model/own_game.h"
#include "client/board/model/record_text.h"
#include "client/board/picture_button.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/connection/lobby_window.h"
#include "client/views/counting_board.h"
#include "client/views/diagram_viewer.h"
#include "platform/cp932.h"
#include "platform/memo_colors.h"
#include "platform/qt_text.h"
#include "platform/status_bar.h"
#include "platform/window_state.h"
#include "tests/client/connection/client_windows_fixture.h"
#include "tests/client/connection/modal_answer.h"
#include "tests/qt_wait.h"

namespace {

using Texts = std::vector<std::string>;

int P(const char* letters, int size = 19) { return LettersToPoint(letters[0], letters[1], size); }

// The server's game start for this user (Taro) against Jiro, game 1.
struct GameStart {
  std::string turn = "Play";
  std::string colour = "black";
  std::string handicap = J("互先");
  std::string size = "19";
  std::string komi = "6.5";
  std::string black_time = J("15 分");
  std::string white_time = J("15 分");
  std::string added = J("なし");
  std::string start;  // the "<<KifuStartStr=" part

  std::string Text() const {
    return "<<GameStart-" + turn + ">><<Color=" + colour +
           ">><<OpName=Jiro>><<GameWari=" + handicap + ">><<BanSize=" + size +
           ">><<GameKomi=" + komi + ">><<KuroGameTime=" + black_time +
           ">><<SiroGameTime=" + white_time + ">><<AddTime=" + added +
           ">><<GameIndex=1>><<PlayList=[ 1 ]\r\n" + J("● Taro") + "\r\n" + J("○ Jiro") +
           "\r\n>><<WaitList=Hanako\r\n>><<WaitHint=[0]>>" + start;
  }
};

std::string Panel0() { return Form4->StatusBar1->PanelText(0); }
std::string Panel3() { return FromQt(Form4->Panel3->text()); }
std::string MemoText(QLineEdit* memo) { return FromQt(memo->text()); }

class OwnGameTest : public ClientWindowsTest {
 protected:
  void SetUp() override {
    StartAndLogIn("Taro");
    // The clock runs from the start; here only when a test ticks it.
    EXPECT_TRUE(Form4->Timer1->isActive());
    EXPECT_EQ(Form4->Timer1->interval(), 1000);
    Form4->Timer1->stop();
  }

  // Starts `game`; forgets what was sent and shown before.
  void Begin(const GameStart& game = GameStart()) {
    socket_.Deliver(game.Text());
    Sent();
    prompts_.Forget();
  }
  void Deliver(const std::string& message) { socket_.Deliver(message); }
  // The server ends the game (the opponent resigned).
  void EndGame() {
    Deliver("<<GameResign>><<Suu=0>><<GameIndex=1>><<Name=Jiro>><<KuroTime=0>><<SiroTime=0>>");
  }

  // A click on the board at the point as it is shown.
  static void Click(int point, Qt::MouseButton button = Qt::LeftButton) {
    Form4->PaintBox1MouseDown(button, Qt::NoModifier, Form4->PointToPixelX(point),
                              Form4->PointToPixelY(point));
  }
  // Both clicks of a move.
  static void Play(int point) {
    Click(point);
    Click(point);
  }
  // The opponent's move as the server relays it (black's view).
  static std::string Relayed(int point, int clock) {
    return "<<Move=" + std::to_string(point) + ">><<Time=" + std::to_string(clock) + ">>";
  }
  // Ticks the clock `n` seconds.
  static void Tick(int n) {
    for (int i = 0; i < n; ++i) Form4->Timer1Timer();
  }
  // Answers the next question.
  void Answer(bool yes) { prompts_.QueueAnswer(yes); }
  // The questions asked since the last call, with their captions checked.
  Texts Questions() {
    Texts asked;
    for (const auto& shown : prompts_.shown()) {
      if (!shown.question) continue;
      EXPECT_EQ(shown.caption, J("Korvanta - 確認"));
      asked.push_back(shown.text);
    }
    return asked;
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Game start

TEST_F(OwnGameTest, AnEvenGameWithBlackStartsWithThisUserToMove) {
  Begin();
  EXPECT_EQ(Form4->BoardMode, kBoardOwnGame);
  EXPECT_EQ(Form4->InputAllowed, 1);
  EXPECT_EQ(Form4->PlaysBlack, 1);
  EXPECT_FALSE(Form4->BoardTurned);
  EXPECT_TRUE(Form4->BlackFirst);
  EXPECT_EQ(Form4->GameTag, "<<GameIndex=1>>");
  EXPECT_EQ(Form4->Caption(), J(" [ Taro ]   対局 1   ヌルカ - 碁盤"));
  EXPECT_EQ(FromQt(Form5->windowTitle()), J(" [ Taro ]   対局 1   ヌルカ - チャット"));
  EXPECT_EQ(Form4->BlackClock, 900);
  EXPECT_EQ(Form4->WhiteClock, 900);
  EXPECT_EQ(MemoText(Form4->Memo2), "0:15:00");
  EXPECT_EQ(MemoText(Form4->Memo5), "0:15:00");
  EXPECT_EQ(Form4->RecordTimeText, "TM[900]");
  EXPECT_EQ(Form4->AddSeconds, 0);
  EXPECT_EQ(Form4->KomiTenths, 65);
  EXPECT_EQ(Panel0(), J("黒番  ( 手番になりました )"));
  EXPECT_EQ(Form4->StatusBar1->PanelText(4), J("互先 ( コミ = 6.5 )  持ち時間 = 15 分"));
  // This user's memos white, the opponent's pale green.
  EXPECT_EQ(MemoText(Form4->Memo1), "Taro");
  EXPECT_EQ(MemoText(Form4->Memo4), "Jiro");
  EXPECT_EQ(MemoColor(Form4->Memo2), 0xFFFFFFu);
  EXPECT_EQ(MemoColor(Form4->Memo5), 0xF0FFF0u);
  EXPECT_EQ(Form4->OpponentName(), "Jiro");
  // The lobby lists of the message, the lobby behind the board.
  ASSERT_EQ(Form6->ListBox1->count(), 3);
  EXPECT_EQ(FromQt(Form6->ListBox2->item(0)->text()), "Hanako");
  EXPECT_FALSE(Form6->CheckBox2->isEnabled());
  EXPECT_TRUE(IsMinimized(Form6));
  EXPECT_TRUE(Form4->isVisible());
  for (QWidget* shown : std::initializer_list<QWidget*>{Form4->Image12, Form4->Image14,
                                                        Form4->Image18, Form4->Image19}) {
    EXPECT_FALSE(shown->isHidden());
  }
  EXPECT_TRUE(Form4->Image17->isHidden());
  EXPECT_TRUE(Form4->Image11->isHidden());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(OwnGameTest, WhiteGivingTwoStonesSeesTheBoardTurnedWithTheStonesAndMovesFirst) {
  GameStart game;
  game.colour = "white";
  game.handicap = J("３子");
  game.komi = "0";
  game.black_time = game.white_time = J("30 分");
  game.added = J("10 秒");
  game.start = "<<KifuStartStr=(;AB[dp][pp][pd]/<SiroSaki>/>>";
  Form5->Memo1Lines.Add("old line");
  Begin(game);
  EXPECT_EQ(Form4->PlaysBlack, 0);
  EXPECT_TRUE(Form4->BoardTurned);
  EXPECT_FALSE(Form4->BlackFirst);
  EXPECT_EQ(Form4->SetupCount, 3);
  // The handicap stones stand where white sees them: black's lower right is white's upper left.
  EXPECT_EQ(Form4->Board[P("dd")], kBlack);
  EXPECT_EQ(Form4->Board[P("pp")], kEmpty);
  EXPECT_EQ(Form4->Board[P("dp")], kBlack);
  EXPECT_EQ(Form4->StatusBar1->PanelText(4), J("３子局 ( コミ = 0 )  持ち時間 = 30 分 (+10秒)"));
  EXPECT_EQ(Form4->AddSeconds, 10);
  EXPECT_EQ(Panel0(), J("白番  ( 手番になりました )"));
  EXPECT_EQ(MemoText(Form4->Memo1), "Jiro");
  EXPECT_EQ(MemoText(Form4->Memo4), "Taro");
  EXPECT_EQ(MemoColor(Form4->Memo1), 0xF0FFF0u);
  EXPECT_EQ(MemoColor(Form4->Memo6), 0xFFFFFFu);
  EXPECT_EQ(Form4->OpponentName(), "Jiro");
  EXPECT_EQ(Form5->Memo1Lines.Count(), 0);
  // The next move is white's.
  EXPECT_FALSE(Form4->NextMoveIsBlack());
}

TEST_F(OwnGameTest, MainTimesAndSizesOfTheStart) {
  GameStart unlimited;
  unlimited.turn = "Wait";
  unlimited.black_time = unlimited.white_time = J("任意");
  unlimited.size = "9";
  Begin(unlimited);
  EXPECT_EQ(Form4->BoardSize, 9);
  EXPECT_EQ(Form4->BlackClock, 0);
  EXPECT_EQ(MemoText(Form4->Memo2), "0:0:0");
  EXPECT_EQ(Form4->RecordTimeText, "TM[0]");
  EXPECT_EQ(Form4->StatusBar1->PanelText(4), J("互先 ( コミ = 6.5 )  持ち時間 = 任意"));
  EXPECT_EQ(Panel0(), J("白番 (相手の着手を待っています・・)"));
  // Waiting as black: white moved first.
  EXPECT_FALSE(Form4->BlackFirst);
  Tick(5);
  EXPECT_EQ(Form4->MoveSeconds, 0);
  EXPECT_EQ(MemoText(Form4->Memo2), "0:0:0");

  EndGame();
  GameStart uneven;
  uneven.black_time = J("30 分");
  uneven.white_time = J("20 分");
  uneven.size = "15";  // not a size: the board keeps its size
  Begin(uneven);
  EXPECT_EQ(Form4->BoardSize, 9);
  EXPECT_EQ(Form4->StatusBar1->PanelText(4), J("互先 ( コミ = 6.5 )  黒30分/白20分"));
  EXPECT_EQ(Form4->RecordTimeText, "TM[1800/1200]");
  EXPECT_EQ(Form4->MoveTop, 0);
}

TEST_F(OwnGameTest, AGameStartClosesTheCountingBoardAndTheSharedCount) {
  Form7->RealTimeMode = kSharedCountOtherRight;
  Form7->show();
  Begin();
  EXPECT_EQ(Form7->RealTimeMode, kNoSharedCount);
  EXPECT_FALSE(Form7->isVisible());
}

// ---------------------------------------------------------------------------------------------
// Two-click moves

TEST_F(OwnGameTest, TheSecondClickPlaysAndSendsTheMoveWithTheClockAfterTheIncrement) {
  GameStart game;
  game.added = J("10 秒");
  Begin(game);
  Tick(3);
  Click(P("dd"));
  EXPECT_EQ(Form4->CandidatePoint, P("dd"));
  EXPECT_EQ(Form4->Board[P("dd")], kEmpty);
  EXPECT_TRUE(Sent().empty());
  Click(P("dd"));
  EXPECT_EQ(Form4->Board[P("dd")], kBlack);
  EXPECT_EQ(Form4->CandidatePoint, 0);
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_EQ(Form4->BlackClock, 907);
  EXPECT_EQ(MemoText(Form4->Memo2), "0:15:07");
  EXPECT_EQ(Form4->MoveTimes[1], 3 * 100000 + 907);
  EXPECT_EQ(Form4->MoveSeconds, 0);
  EXPECT_EQ(sounds_.played().back(), WorkPathOf("stone.wav"));
  EXPECT_EQ(Panel0(), J("白番 (相手の着手を待っています・・)"));
  EXPECT_EQ(Sent(), Texts{"<<GameIndex=1>><<Move=88>><<Color=black>><<Time=907>>"});
  // Out of turn the board takes no click.
  Click(P("qq"));
  EXPECT_EQ(Form4->CandidatePoint, 0);
}

TEST_F(OwnGameTest, OnTheTurnedBoardThePointShownIsSentFromBlacksSide) {
  GameStart game;
  game.colour = "white";
  Begin(game);
  // Shown at column 4, row 16; black's side sees column 16, row 4.
  Play(MakePoint(4, 16));
  EXPECT_EQ(Form4->Board[MakePoint(4, 16)], kWhite);
  EXPECT_EQ(Sent(), Texts{"<<GameIndex=1>><<Move=340>><<Color=white>><<Time=900>>"});
  // The opponent's answer at black's 4-4 stands at the shown 16-16.
  Deliver(Relayed(MakePoint(4, 4), 890));
  EXPECT_EQ(Form4->Board[MakePoint(16, 16)], kBlack);
  EXPECT_EQ(Form4->BlackClock, 890);
  EXPECT_EQ(Form4->InputAllowed, 1);
}

TEST_F(OwnGameTest, TheCandidateMovesIsWithdrawnAndIsRefusedOnATakenPoint) {
  Begin();
  Click(P("dd"));
  Click(P("pp"));
  EXPECT_EQ(Form4->CandidatePoint, P("pp"));
  Click(P("pp"), Qt::RightButton);
  EXPECT_EQ(Form4->CandidatePoint, 0);
  // A right click elsewhere, or with no candidate, does nothing.
  Click(P("dd"), Qt::RightButton);
  EXPECT_EQ(Form4->CandidatePoint, 0);
  Play(P("dd"));
  Deliver(Relayed(P("pp"), 880));
  Sent();
  Click(P("dq"));
  Click(P("pp"));
  EXPECT_EQ(Messages(), Texts{J("そ こ は 打 て ま せ ん ！")});
  EXPECT_EQ(Form4->CandidatePoint, P("dq"));
  EXPECT_TRUE(Sent().empty());
}

TEST_F(OwnGameTest, AnAgreedUndoOrTurningTheBoardDropsTheCandidate) {
  Begin();
  Play(P("dd"));
  Deliver(Relayed(P("pp"), 880));
  Click(P("qq"));
  ASSERT_EQ(Form4->CandidatePoint, P("qq"));
  // White's move is taken back: the candidate's position is gone with it.
  Deliver("<<GameIndex=1>><<Move=>><<MoveBack>>");
  EXPECT_EQ(Form4->CandidatePoint, 0);
  EXPECT_EQ(Form4->Board[P("pp")], kEmpty);
  EXPECT_EQ(Form4->InputAllowed, 0);
  Deliver(Relayed(P("pp"), 870));
  Sent();
  // A click on the old candidate's point is a first click again.
  Click(P("qq"));
  EXPECT_EQ(Form4->CandidatePoint, P("qq"));
  EXPECT_TRUE(Sent().empty());
  // Turning the board: the same spot of the screen now shows another point.
  Form4->Image19Click();
  EXPECT_EQ(Form4->CandidatePoint, 0);
  Click(P("qq"));
  EXPECT_TRUE(Sent().empty());
  Click(P("qq"));
  // Sent and placed are the same point: the shown one, from black's side.
  EXPECT_EQ(Form4->Board[P("qq")], kBlack);
  EXPECT_EQ(Sent(), Texts{"<<GameIndex=1>><<Move=" + std::to_string(TurnPoint(P("qq"), 19)) +
                          ">><<Color=black>><<Time=900>>"});
}

TEST_F(OwnGameTest, WhenTheConnectionEndsTheGameStopsAndNoMoveIsPlayedThatWasNotSent) {
  Begin();
  Play(P("dd"));
  Deliver(Relayed(P("pp"), 900));
  Tick(3);
  Sent();
  // The socket has closed and its end is still on the way: the confirmed move is not played.
  Click(P("qd"));
  socket_.Lose();
  Click(P("qd"));
  EXPECT_EQ(Messages(), Texts{J("サーバに接続していません！")});
  EXPECT_EQ(Form4->Board[P("qd")], kEmpty);
  EXPECT_EQ(Form4->CandidatePoint, 0);
  EXPECT_EQ(Form4->MoveTop, 2);

  // The end arrives: the game stops where it stands and the board says why.
  socket_.Drop();
  EXPECT_EQ(Messages(), Texts{J("[ ザ ン テ ] サーバの接続が切れました")});
  EXPECT_EQ(Form4->BoardMode, kBoardWatching);
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_EQ(Panel3(), J("接続が切れました"));
  EXPECT_EQ(Panel0(), J("サーバの接続が切れました"));
  EXPECT_TRUE(Form4->Image12->isHidden());
  EXPECT_FALSE(Form4->Image17->isHidden());
  EXPECT_TRUE(Form6->CheckBox2->isEnabled());
  // The clocks stand; a later two-click move draws, counts and sends nothing.
  Tick(5);
  EXPECT_EQ(MemoText(Form4->Memo2), "0:14:57");
  EXPECT_EQ(MemoText(Form4->Memo5), "0:15:00");
  Play(P("qd"));
  EXPECT_EQ(Form4->Board[P("qd")], kEmpty);
  EXPECT_EQ(Form4->MoveTop, 2);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Sent().empty());
  // The record of the moves sent stays to be saved.
  const std::string record = Form4->WriteSgfRecord();
  EXPECT_NE(record.find(";B[dd]"), std::string::npos) << record;
  EXPECT_NE(record.find(";W[pp]"), std::string::npos) << record;
  EXPECT_EQ(record.find("[qd]"), std::string::npos) << record;

  // After the lobby's reconnect the watch-only box takes clicks as after a first login.
  Form6->SpeedButton5Click();
  socket_.Accept();
  socket_.Deliver("<<QuellName=");
  socket_.Deliver(
      "<<SysComeIn>><<Status>><<IdCount=1>><<PlayList=>><<WaitList=Taro\r\n>>"
      "<<WaitHint=[0]>><<LookList=>>");
  EXPECT_TRUE(Form6->CheckBox2->isEnabled());
  EXPECT_EQ(Form4->BoardMode, kBoardIdle);
}

TEST_F(OwnGameTest, ALostConnectionClosesTheSharedCountWithoutAWord) {
  Begin();
  Form4->Image18Click();
  Sent();
  // The connection ends while this user counts with the opponent.
  ModalAnswer modal(Form7, [this] { socket_.Drop(); });
  Form4->Image13MouseDown(40, 10);
  EXPECT_TRUE(modal.answered());
  EXPECT_FALSE(modal.timed_out());
  EXPECT_FALSE(Form7->isVisible());
  EXPECT_EQ(Form7->RealTimeMode, kNoSharedCount);
  EXPECT_EQ(Form4->BoardMode, kBoardWatching);
  EXPECT_EQ(Sent(), Texts{"<<GameIndex=1>><<RealTimeCountStart>>"});
}

// ---------------------------------------------------------------------------------------------
// Received moves

TEST_F(OwnGameTest, ReceivedMovesOnTakenOffBoardOrKoPointsAreRefusedWithThePoint) {
  GameStart game;
  game.turn = "Wait";
  game.size = "9";
  Begin(game);
  Deliver(Relayed(P("ee", 9), 890));
  ASSERT_EQ(Form4->Board[P("ee", 9)], kWhite);
  Play(P("cc", 9));
  Sent();
  struct Case {
    int point;
    std::string shown;
  } cases[] = {
      {P("ee", 9), std::to_string(P("ee", 9))},  // taken by white
      {P("cc", 9), std::to_string(P("cc", 9))},  // taken by black
      {MakePoint(10, 5), "215"},                 // beyond the ninth line
      {MakePoint(3, 0), "63"},                   // on the border ring
      {441, "441"},
      {99999, "99999"},
  };
  for (const auto& c : cases) {
    Deliver(Relayed(c.point, 800));
    EXPECT_EQ(Messages(), Texts{J("無効な着手を受信しました！") + c.shown}) << c.point;
    EXPECT_EQ(Form4->InputAllowed, 0);
    EXPECT_EQ(Form4->MoveTop, 2);
    EXPECT_EQ(Form4->WhiteClock, 890);
    EXPECT_TRUE(Form4->CheckConsistency().empty());
  }
  Deliver("<<Move=x>><<Time=1>>");
  Deliver("<<Move=>><<Time=1>>");
  EXPECT_EQ(Messages(), (Texts{J("着手受信エラー発生！"), J("着手受信エラー発生！")}));
  EXPECT_EQ(Form4->MoveTop, 2);
}

TEST_F(OwnGameTest, AReceivedMoveOnTheKoPointIsRefused) {
  GameStart game;
  game.size = "9";
  Begin(game);
  // White throws in at b2 and black takes it at c2: a ko.
  //   . X O .      row 1
  //   X O . O      row 2
  //   . X O .      row 3
  const char* moves[] = {"ba", "ca", "ab", "db", "bc", "cc", "gg", "bb"};
  for (int i = 0; i < 8; ++i) {
    const int point = P(moves[i], 9);
    if (i % 2 == 0) {
      Play(point);
    } else {
      Deliver(Relayed(point, 800));
    }
  }
  Play(P("cb", 9));
  ASSERT_EQ(Form4->Board[P("bb", 9)], kEmpty);
  ASSERT_EQ(Form4->GroupIds[P("bb", 9)], kKoMark);
  Messages();
  Deliver(Relayed(P("bb", 9), 700));
  EXPECT_EQ(Messages(), Texts{J("無効な着手を受信しました！") + std::to_string(P("bb", 9))});
  EXPECT_EQ(Form4->InputAllowed, 0);
  // Elsewhere is fine, and then the ko may be taken back.
  Deliver(Relayed(P("hh", 9), 690));
  EXPECT_EQ(Form4->InputAllowed, 1);
  Play(P("aa", 9));
  Deliver(Relayed(P("bb", 9), 680));
  EXPECT_EQ(Form4->Board[P("bb", 9)], kWhite);
  EXPECT_EQ(Form4->Board[P("cb", 9)], kEmpty);
  EXPECT_EQ(Form4->BlackCaptured, 1);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(OwnGameTest, AMoveThatArrivesOnThisUsersTurnIsDropped) {
  Begin();
  Deliver(Relayed(P("dd"), 800));
  EXPECT_EQ(Form4->Board[P("dd")], kEmpty);
  EXPECT_EQ(Form4->MoveTop, 0);
  EXPECT_TRUE(Messages().empty());
}

// ---------------------------------------------------------------------------------------------
// Clocks

TEST_F(OwnGameTest, TheMoversClockRunsAndTheIncrementFollowsEachOwnMove) {
  GameStart game;
  game.black_time = J("1 分");
  game.white_time = J("2 分");
  game.added = J("5 秒");
  Begin(game);
  Tick(10);
  EXPECT_EQ(Form4->BlackClock, 50);
  EXPECT_EQ(Form4->WhiteClock, 120);
  EXPECT_EQ(MemoText(Form4->Memo2), "0:0:50");
  EXPECT_EQ(Form4->MoveSeconds, 10);
  Play(P("dd"));
  EXPECT_EQ(Form4->BlackClock, 55);
  EXPECT_EQ(Form4->MoveTimes[1], 10 * 100000 + 55);
  // After black's move white's clock runs; the opponent's increment comes with his move.
  Tick(4);
  EXPECT_EQ(Form4->WhiteClock, 116);
  EXPECT_EQ(MemoText(Form4->Memo5), "0:1:56");
  Deliver(Relayed(P("pp"), 121));
  EXPECT_EQ(Form4->WhiteClock, 121);
  EXPECT_EQ(MemoText(Form4->Memo5), "0:2:01");
  EXPECT_EQ(Form4->MoveTimes[2], 4 * 100000 + 121);
  Tick(1);
  EXPECT_EQ(Form4->BlackClock, 54);
  EXPECT_EQ(Form4->WhiteClock, 121);
  // A pass earns the increment on both sides alike.
  Answer(true);
  Form4->Image12MouseDown(10);
  EXPECT_EQ(Form4->BlackClock, 59);
  EXPECT_EQ(MemoText(Form4->Memo2), "0:0:59");
  Tick(3);
  Deliver("<<Move=0>><<Time=>>");
  EXPECT_EQ(Form4->WhiteClock, 123);
}

TEST_F(OwnGameTest, OwnClockAtZeroEndsTheGameTheOpponentsOnlyTells) {
  GameStart game;
  game.black_time = J("1 分");
  game.white_time = J("1 分");
  Begin(game);
  Tick(59);
  EXPECT_TRUE(Sent().empty());
  Tick(1);
  EXPECT_EQ(Form4->BlackClock, 0);
  EXPECT_EQ(MemoText(Form4->Memo2), "0:0:00");
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_EQ(Sent(), Texts{"<<GameTimeOut>><<Suu=0>><<GameIndex=1>>"});
  EXPECT_EQ(Messages(), Texts{J("Taro さん の時間が切れました！ (対局終了)")});
  // A clock at 0 stops both.
  Tick(3);
  EXPECT_EQ(Form4->WhiteClock, 60);

  EndGame();
  GameStart waiting = game;
  waiting.turn = "Wait";
  waiting.colour = "white";
  Begin(waiting);
  Tick(60);
  EXPECT_EQ(Form4->BlackClock, 0);
  EXPECT_EQ(Messages(), Texts{J("Jiro さん の時間が切れました！ (対局終了)")});
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(Form4->BoardMode, kBoardOwnGame);
}

TEST_F(OwnGameTest, ClocksAndTimeEntriesCannotOverflow) {
  GameStart game;
  game.black_time = J("99999999 分");
  game.added = J("2147483647 秒");
  Begin(game);
  EXPECT_EQ(Form4->BlackClock, kMaxClockSeconds);
  Form4->MoveSeconds = 2'000'000'000;
  Tick(1);
  Play(P("dd"));
  EXPECT_EQ(Form4->BlackClock, kMaxClockSeconds);
  EXPECT_GT(Form4->MoveTimes[1], 0);
  EXPECT_EQ(Form4->MoveTimes[1] % 100000, kMaxClockSeconds);
  EXPECT_EQ(Form4->MoveTimes[1] / 100000, kMaxMoveSeconds);
  Sent();
  Deliver(Relayed(P("pp"), 2147483647));
  EXPECT_EQ(Form4->WhiteClock, kMaxClockSeconds);
  EXPECT_EQ(Form4->MoveTimes[2] % 100000, kMaxClockSeconds);
}

TEST_F(OwnGameTest, NothingTicksWhileTheGameIsStoppedOrOver) {
  Begin();
  Form4->Image18Click();
  Tick(5);
  EXPECT_EQ(Form4->BlackClock, 900);
  Form4->Image18Click();
  Tick(1);
  EXPECT_EQ(Form4->BlackClock, 899);
  Form4->BoardMode = kBoardWatching;
  Tick(1);
  EXPECT_EQ(Form4->BlackClock, 899);
}

// ---------------------------------------------------------------------------------------------
// Pass and resign

TEST_F(OwnGameTest, PassAfterTheConfirmationAndItsMoveNumber) {
  Begin();
  Tick(7);
  Form4->Image12MouseDown(10);
  EXPECT_EQ(Questions(), Texts{J(" パ ス し ま す か ？")});
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(Form4->MoveTop, 0);
  prompts_.Forget();
  Answer(true);
  Form4->Image12MouseDown(42);
  EXPECT_EQ(Form4->MoveTop, 1);
  EXPECT_EQ(Form4->MoveList[1], 0);
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_EQ(Form4->MoveSeconds, 0);
  EXPECT_EQ(Panel0(), J("白番  (相手の着手を待っています・・)"));
  EXPECT_EQ(Form4->StatusBar1->PanelText(1), "1");
  // The first move of an even game is a pass: -1.
  EXPECT_EQ(Sent(), Texts{"<<GameIndex=1>><<Move=0>><<Color=black>><<Suu=-1>>"});
  // Out of turn the button does nothing, and asks nothing.
  prompts_.Forget();
  Form4->Image12MouseDown(10);
  Form4->Image12MouseDown(60);
  EXPECT_TRUE(Questions().empty());
  // The opponent's pass: the turn comes back, the clock after it is still the opponent's text.
  Deliver("<<Move=0>><<Time=>>");
  EXPECT_EQ(Panel3(), J("相手がパスした"));
  EXPECT_EQ(Form4->InputAllowed, 1);
  EXPECT_EQ(Form4->MoveTop, 2);
  EXPECT_EQ(Panel0(), J("黒番  ( 手番になりました )"));
}

TEST_F(OwnGameTest, APassAnsweringAPassAfterAHundredMovesCountsTheHundred) {
  Begin();
  // A hundred moves stand on the list (as passes, the position does not matter here).
  Form4->MoveTop = 100;
  Form4->InputAllowed = 0;
  Deliver("<<Move=0>><<Time=>>");
  Answer(true);
  Form4->Image12MouseDown(0);
  EXPECT_EQ(Sent(), Texts{"<<GameIndex=1>><<Move=0>><<Color=black>><<Suu=100>>"});
}

TEST_F(OwnGameTest, APassAtTheEndOfTheMoveListIsRefusedLikeAStone) {
  Begin();
  Form4->MoveTop = kMoveListCapacity;
  Form4->Image12MouseDown(10);
  EXPECT_EQ(Messages(), Texts{J("手数が上限に達したため、これ以上は打てません。")});
  EXPECT_EQ(Form4->MoveTop, kMoveListCapacity);
  EXPECT_EQ(Form4->InputAllowed, 1);
  Play(P("dd"));
  EXPECT_EQ(Messages(), Texts{J("手数が上限に達したため、これ以上は打てません。")});
  EXPECT_EQ(Form4->Board[P("dd")], kEmpty);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(OwnGameTest, ResignAsksEvenWithoutTheEndQuestionAndStopsTheClocks) {
  Form2->AskEndFlag = 0;
  Begin();
  Play(P("dd"));
  Deliver(Relayed(P("pp"), 880));
  Sent();
  Form4->Image12MouseDown(43);
  EXPECT_EQ(Questions(), Texts{J(" 投 了 し ま す か ？")});
  EXPECT_TRUE(Sent().empty());
  Answer(true);
  Form4->Image12MouseDown(86);
  EXPECT_EQ(Sent(), Texts{"<<GameResign>><<Suu=2>><<GameIndex=1>>"});
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_EQ(Form4->BlackClock, 0);
  EXPECT_EQ(Form4->WhiteClock, 0);
}

// ---------------------------------------------------------------------------------------------
// Undo

TEST_F(OwnGameTest, UndoRequestAnswerAndKeys) {
  Begin();
  // Nothing to take back yet: nothing is asked of the opponent.
  Form4->Image14Click();
  Form4->FormKeyDown(Qt::Key_Backspace, Qt::ShiftModifier);
  EXPECT_TRUE(Sent().empty());
  Play(P("dd"));
  Sent();
  Form4->Image14Click();
  EXPECT_EQ(Sent(), Texts{"<<GameIndex=1>><<Move=>><<MoveBack>>"});
  EXPECT_EQ(Panel3(), J("{手戻り} 発信"));
  Form4->FormKeyDown(Qt::Key_Backspace, Qt::ShiftModifier);
  EXPECT_EQ(Sent(), Texts{"<<GameIndex=1>><<Move=>><<MoveBack>>"});
  Form4->FormKeyDown(Qt::Key_Backspace, Qt::NoModifier);
  EXPECT_TRUE(Sent().empty());
  // The opponent agrees: black's stone goes and the turn comes back.
  Deliver("<<GameIndex=1>><<Move=>><<MoveBack>>");
  EXPECT_EQ(Form4->MoveTop, 0);
  EXPECT_EQ(Form4->Board[P("dd")], kEmpty);
  EXPECT_EQ(Form4->InputAllowed, 1);
  EXPECT_EQ(Panel0(), J("黒番  ( 手番になりました )"));
  EXPECT_EQ(Panel3(), J("一手戻りました"));
  // The opponent asks.
  Play(P("dd"));
  Deliver(Relayed(P("pp"), 880));
  Deliver("<<ReceiveMoveBack>>");
  EXPECT_EQ(Panel3(), J("{手戻り} 受信"));
  Deliver("<<GameIndex=1>><<Move=>><<MoveBack>>");
  EXPECT_EQ(Form4->Board[P("pp")], kEmpty);
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_EQ(Panel0(), J("白番 (相手の着手を待っています・・)"));
  EXPECT_TRUE(Form4->CheckConsistency().empty());
}

TEST_F(OwnGameTest, AnUndoWhileTheGameIsStoppedFlipsTheTurnThatComesBack) {
  Begin();
  Play(P("dd"));
  Deliver(Relayed(P("pp"), 880));
  ASSERT_EQ(Form4->InputAllowed, 1);
  Form4->Image18Click();
  ASSERT_EQ(Form2->SavedTurnFlag, 1);
  Deliver("<<GameIndex=1>><<Move=>><<MoveBack>>");
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_EQ(Form2->SavedTurnFlag, 0);
  EXPECT_EQ(Panel0(), J("対局の進行が停止しました"));
  Form4->Image18Click();
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_EQ(Panel0(), J("白番 (相手の着手を待っています・・)"));
  Deliver(Relayed(P("pp"), 870));
  EXPECT_EQ(Form4->InputAllowed, 1);
}

TEST_F(OwnGameTest, AnUndoOnTheSetupStonesAloneIsNoUndo) {
  GameStart game;
  game.turn = "Wait";
  game.handicap = J("２子");
  game.start = "<<KifuStartStr=(;AB[dp][pd]/<SiroSaki>/>>";
  Begin(game);
  Deliver("<<GameIndex=1>><<Move=>><<MoveBack>>");
  EXPECT_EQ(Form4->MoveTop, 2);
  EXPECT_EQ(Messages(), Texts{J("着手受信エラー発生！")});
}

// ---------------------------------------------------------------------------------------------
// Stop and restart

TEST_F(OwnGameTest, StoppingAndRestartingTheGame) {
  Begin();
  Form4->Image18Click();
  EXPECT_EQ(Form4->ClockState, kClockStoppedByUser);
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_EQ(Form2->SavedTurnFlag, 1);
  EXPECT_EQ(Panel0(), J("対局の進行が停止しました"));
  EXPECT_EQ(Panel3(), J("対局停止中"));
  EXPECT_FALSE(Form4->Image17->isHidden());
  EXPECT_TRUE(Form4->Image12->isHidden());
  EXPECT_TRUE(Form5->isVisible());
  EXPECT_EQ(sounds_.played().back(), WorkPathOf("ano.wav"));
  EXPECT_EQ(Sent(), Texts{"<<TimeStop=1>><<GameIndex=1>>"});
  // The board takes no move meanwhile; pass and resign are off.
  Click(P("dd"));
  EXPECT_EQ(Form4->CandidatePoint, 0);
  Form4->Image12MouseDown(10);
  EXPECT_TRUE(Questions().empty());
  Form4->Image18Click();
  EXPECT_EQ(Form4->ClockState, kClockRunning);
  EXPECT_EQ(Form4->InputAllowed, 1);
  EXPECT_EQ(Panel0(), J("黒番  ( 手番になりました )"));
  EXPECT_TRUE(Panel3().empty());
  EXPECT_TRUE(Form4->Image17->isHidden());
  EXPECT_FALSE(Form4->Image12->isHidden());
  EXPECT_EQ(Sent(), Texts{"<<TimeStop=0>><<GameIndex=1>>"});
}

TEST_F(OwnGameTest, TheOpponentStopsAndRestartsWithoutHoldingTheEventLoop) {
  Begin();
  const std::string caption = Form4->Caption();
  QElapsedTimer took;
  took.start();
  Deliver("<<TimeStop=1>><<GameIndex=1>><<Sender=Jiro>>");
  EXPECT_LT(took.elapsed(), 1000);
  EXPECT_EQ(Form4->ClockState, kClockStoppedByOpponent);
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_EQ(Form2->SavedTurnFlag, 1);
  EXPECT_EQ(Form4->Caption(),
            J(" 相手の [ Jiro ] さんが対局を停止しました。(詳細はチャットで連絡をお取り下さい)"));
  EXPECT_TRUE(Form4->Flashing());
  EXPECT_EQ(Panel3(), J("対局停止中"));
  EXPECT_EQ(Panel0(), J("対局の進行が停止しました"));
  EXPECT_FALSE(Form4->Image17->isHidden());
  EXPECT_TRUE(Form5->isVisible());
  // This side cannot restart what the opponent stopped.
  Sent();
  Form4->Image18Click();
  EXPECT_EQ(Messages(), Texts{J("相手の発信を待っています。(今は時計ON/OFF出来ません)")});
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(Form4->ClockState, kClockStoppedByOpponent);

  took.restart();
  Deliver("<<TimeStop=0>><<GameIndex=1>><<Sender=Jiro>>");
  EXPECT_LT(took.elapsed(), 1000);
  // The game runs again at once; the caption comes back after the flash and a pause.
  EXPECT_EQ(Form4->ClockState, kClockRunning);
  EXPECT_EQ(Form4->InputAllowed, 1);
  EXPECT_EQ(Panel0(), J("黒番  ( 手番になりました )"));
  EXPECT_TRUE(Panel3().empty());
  EXPECT_FALSE(Form4->Image12->isHidden());
  EXPECT_EQ(Form4->Caption(), J(" 相手の [ Jiro ] さんが対局を再開しました。"));
  // A move may come meanwhile and is not undone by the end of the pause.
  Play(P("dd"));
  Deliver(Relayed(P("pp"), 800));
  ASSERT_TRUE(WaitFor([&] { return Form4->Caption() == caption; }, 6000));
  EXPECT_EQ(Form4->InputAllowed, 1);
}

TEST_F(OwnGameTest, ARestartActsOnlyOnAGameTheOpponentStopped) {
  Begin();
  Form2->SavedTurnFlag = 0;
  Deliver("<<TimeStop=0>><<GameIndex=1>><<Sender=Jiro>>");
  EXPECT_EQ(Form4->InputAllowed, 1);
  EXPECT_EQ(Form4->ClockState, kClockRunning);
  EXPECT_FALSE(Form4->Flashing());
  // This user's own stop, echoed, does nothing.
  Deliver("<<TimeStop=1>><<GameIndex=1>><<Sender=Taro>>");
  EXPECT_EQ(Form4->ClockState, kClockRunning);
  // While this user has stopped the game the reader leaves the opponent's stop alone.
  Form4->Image18Click();
  Deliver("<<TimeStop=1>><<GameIndex=1>><<Sender=Jiro>>");
  EXPECT_EQ(Form4->ClockState, kClockStoppedByUser);
}

TEST_F(OwnGameTest, AMoveThatCrossedTheStopKeepsTheTurnForTheRestart) {
  GameStart game;
  game.turn = "Wait";
  Begin(game);
  Form4->Image18Click();
  Deliver(Relayed(P("dd"), 880));
  EXPECT_EQ(Form4->Board[P("dd")], kWhite);
  EXPECT_EQ(Form4->InputAllowed, 0);
  Form4->Image18Click();
  EXPECT_EQ(Form4->InputAllowed, 1);
  EXPECT_EQ(Panel0(), J("黒番  ( 手番になりました )"));
}

TEST_F(OwnGameTest, EndingAStoppedGame) {
  Begin();
  Form4->Image18Click();
  Sent();
  Form4->Image17Click();
  EXPECT_EQ(Questions(), Texts{J(" 終 了 し ま す か ？")});
  EXPECT_TRUE(Sent().empty());
  Answer(true);
  Form4->Image17Click();
  EXPECT_EQ(Sent(), Texts{"<<NewGameResign>><<Suu=0>><<GameIndex=1>>"});
  EXPECT_EQ(Form4->BlackClock, 0);
  // Without the end question it is sent at once.
  Form2->AskEndFlag = 0;
  prompts_.Forget();
  Form4->Image17Click();
  EXPECT_TRUE(Questions().empty());
  EXPECT_EQ(Sent(), Texts{"<<NewGameResign>><<Suu=0>><<GameIndex=1>>"});
}

// ---------------------------------------------------------------------------------------------
// End of the game

TEST_F(OwnGameTest, TwoPassesEndTheGameAtTheLastStone) {
  GameStart game;
  game.turn = "Wait";
  game.colour = "white";
  game.handicap = J("２子");
  Begin(game);
  Deliver(Relayed(P("dd"), 880));
  Play(P("qq"));
  Deliver("<<Move=0>><<Time=>>");
  Answer(true);
  Form4->Image12MouseDown(0);
  ASSERT_EQ(Form4->MoveTop, 4);
  Sent();
  Deliver("<<PassEndGame>><<Name=Taro>><<Suu=2>><<PlayList=[ 1 ]\r\n" + J("● Jiro End") + "\r\n" +
          J("○ Taro End") +
          "\r\n>><<WaitList=Jiro\r\nTaro\r\n>><<WaitHint=[1][1]>><<WatchCount=3>>"
          "<<WatchList=Hanako\nJiro\nTaro\n>>(;SZ[19];[pp];[cc]<<KuroTime=>><<SiroTime=>>");
  EXPECT_EQ(Form4->BoardMode, kBoardWatching);
  EXPECT_EQ(Form4->MoveTop, 2);
  EXPECT_EQ(Form4->BufferLength, 2);
  EXPECT_EQ(Form4->StatusBar1->PanelText(1), "2");
  EXPECT_EQ(Form4->Board[P("qq")], kWhite);
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_EQ(Form4->BlackClock, 0);
  EXPECT_EQ(Panel3(), J("対局が終りました"));
  EXPECT_EQ(Panel0(), J("2手まで、[ Taro ]  ==>  終局"));
  EXPECT_EQ(Form4->StatusBar1->PanelText(2), J("観戦者数 = 3"));
  EXPECT_EQ(Form4->StatusBar1->Hint(), "Hanako\nJiro\nTaro\n");
  EXPECT_EQ(Form4->WatcherCount, 3);
  EXPECT_EQ(Form4->Caption(), J("[ Taro ]   対局 1   ヌルカ - 観戦"));
  EXPECT_TRUE(Form4->Image12->isHidden());
  EXPECT_FALSE(Form4->Image17->isHidden());
  EXPECT_FALSE(Form4->Image11->isHidden());
  for (QWidget* hidden :
       std::initializer_list<QWidget*>{Form4->Image14, Form4->Image18, Form4->Image19}) {
    EXPECT_TRUE(hidden->isHidden());
  }
  EXPECT_TRUE(Form6->CheckBox2->isEnabled());
  EXPECT_EQ(FromQt(Form6->ListBox2->item(1)->text()), "Taro");
  EXPECT_TRUE(Form5->isVisible());
  EXPECT_TRUE(Form4->CheckConsistency().empty());
}

TEST_F(OwnGameTest, TheEndByPassesStepsBackOnlyOverPasses) {
  // The last move on this board is a stone (the opponent's pass never came): it stays.
  Begin();
  Play(P("dd"));
  Deliver("<<PassEndGame>><<Name=Jiro>><<Suu=1>><<KuroTime=0>><<SiroTime=0>>");
  EXPECT_EQ(Form4->MoveTop, 1);
  EXPECT_EQ(Form4->Board[P("dd")], kBlack);

  // A handicap game ended before any move: the setup stones stay.
  GameStart game;
  game.turn = "Wait";
  game.handicap = J("２子");
  game.start = "<<KifuStartStr=(;AB[dp][pd]/<SiroSaki>/>>";
  Begin(game);
  Deliver("<<PassEndGame>><<Name=Jiro>><<Suu=0>><<KuroTime=0>><<SiroTime=0>>");
  EXPECT_EQ(Form4->MoveTop, 2);
  EXPECT_EQ(Form4->SetupCount, 2);
  EXPECT_EQ(Form4->Board[P("dp")], kBlack);
}

TEST_F(OwnGameTest, EachEndOfGameHasItsWord) {
  struct Case {
    const char* tag;
    const char* word;
  } cases[] = {
      {"<<EndGameResign>>", "終了"},     {"<<GameResign>>", "投了"},
      {"<<NewGameResign>>", "対局終了"}, {"<<GameTimeOut>>", "時間切れ"},
      {"<<OutGameResign>>", "接続切れ"},
  };
  for (const auto& c : cases) {
    Begin();
    Deliver(std::string(c.tag) +
            "<<Suu=7>><<GameIndex=1>><<Name=Jiro>><<WatchCount=2>><<KuroTime=0>><<SiroTime=0>>");
    EXPECT_EQ(Form4->BoardMode, kBoardWatching) << c.tag;
    EXPECT_EQ(Panel0(), J("7手まで、[ Jiro ]  ==>  ") + J(c.word)) << c.tag;
  }
}

// ---------------------------------------------------------------------------------------------
// Leaving and closing

TEST_F(OwnGameTest, LeavingAFinishedGameReturnsToTheLobby) {
  Begin();
  Deliver(
      "<<GameResign>><<Suu=0>><<GameIndex=1>><<Name=Jiro>><<WatchCount=2>><<KuroTime=0>><<SiroTime="
      "0>>");
  Sent();
  Form4->Image17Click();
  EXPECT_EQ(Questions(), Texts{J(" 観 戦 を 終 了 し ま す か ？")});
  EXPECT_EQ(Form4->BoardMode, kBoardWatching);
  Answer(true);
  Form4->Image17Click();
  EXPECT_EQ(Form4->BoardMode, kBoardIdle);
  EXPECT_FALSE(Form4->isVisible());
  EXPECT_FALSE(Form5->isVisible());
  EXPECT_TRUE(Form6->isVisible());
  EXPECT_FALSE(IsMinimized(Form6));
  EXPECT_EQ(Sent(), Texts{"<<OffWatchGame>><<GameIndex=1>>"});
}

TEST_F(OwnGameTest, LeavingWithoutAConnectionNotesItInTheLobby) {
  Begin();
  Deliver("<<GameResign>><<Suu=0>><<GameIndex=1>><<Name=Jiro>><<KuroTime=0>><<SiroTime=0>>");
  socket_.Drop();
  Messages();
  Form2->AskEndFlag = 0;
  Form4->Image17Click();
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Form6->StatusBar1->PanelText(0), J("サーバに接続していません！"));
  EXPECT_EQ(Form4->BoardMode, kBoardIdle);
}

TEST_F(OwnGameTest, ClosingTheBoardResignsTheOwnGame) {
  Begin();
  Play(P("dd"));
  Sent();
  // No keeps the window and the game.
  EXPECT_FALSE(Form4->close());
  EXPECT_EQ(Questions(), Texts{J("対 局 を 終 了 し ま す か ？")});
  EXPECT_TRUE(Form4->isVisible());
  EXPECT_TRUE(Sent().empty());
  Form2->AskEndFlag = 0;
  prompts_.Forget();
  EXPECT_TRUE(Form4->close());
  EXPECT_TRUE(Questions().empty());
  EXPECT_EQ(Sent(), Texts{"<<EndGameResign>><<Suu=1>><<GameIndex=1>>"});
  EXPECT_EQ(Form4->BoardMode, kBoardIdle);
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_FALSE(Form4->isVisible());
  EXPECT_TRUE(Form6->isVisible());
  EXPECT_TRUE(Form6->CheckBox2->isEnabled());
}

TEST_F(OwnGameTest, ClosingAFinishedGameStopsWatchingIt) {
  Begin();
  Deliver("<<GameResign>><<Suu=0>><<GameIndex=1>><<Name=Jiro>><<KuroTime=0>><<SiroTime=0>>");
  Sent();
  Answer(true);
  EXPECT_TRUE(Form4->close());
  EXPECT_EQ(Questions(), Texts{J("観 戦 を 終 了 し ま す か ？")});
  EXPECT_EQ(Sent(), Texts{"<<OffWatchGame>><<GameIndex=1>>"});
}

// ---------------------------------------------------------------------------------------------
// Game chat

TEST_F(OwnGameTest, ATypedChatLineIsEscapedNumberedShownAndSent) {
  GameStart game;
  game.handicap = J("４子");
  game.turn = "Wait";
  game.start = "<<KifuStartStr=(;AB[pp][dd][dp][pd]/<SiroSaki>/>>";
  Begin(game);
  // Before the first move: no number.
  Form4->Edit1->setText(QString::fromUtf8("  よろしく  "));
  Form4->Edit1KeyDown(13);
  EXPECT_EQ(Sent(), Texts{J("<<GameMese=[ Taro ]：よろしく\r\n>><<GameIndex=1>>")});
  EXPECT_TRUE(Form4->Edit1->text().isEmpty());
  EXPECT_TRUE(Form5->isVisible());
  // Eight moves after four setup stones.
  Form4->MoveTop = 12;
  Form4->Edit1->setText("a>>b");
  emit Form4->Edit1->returnPressed();
  const std::string line = J("[ Taro ]：a＞＞b (8)\r\n");
  EXPECT_EQ(Sent(), Texts{"<<GameMese=" + line + ">><<GameIndex=1>>"});
  EXPECT_NE(Form5->Memo1Lines.IndexOf(J("[ Taro ]：a＞＞b (8)")), -1);
  // A tag typed into the chat cannot become one.
  Form4->Edit1->setText("<<GameResign>>");
  Form4->Edit1KeyDown(13);
  const Texts sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].find("<<GameResign"), std::string::npos);
  // Blanks alone send nothing.
  Form4->Edit1->setText("   ");
  Form4->Edit1KeyDown(13);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(OwnGameTest, NoChatWithoutAGame) {
  Form4->Edit1->setText("hello");
  Form4->Edit1KeyDown(13);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(OwnGameTest, AReceivedChatLineKeepsItsDiagramAndTheOpponentsLineBringsTheChat) {
  Begin();
  Form5->hide();
  MinimizeWindow(Form4);
  // A watcher's line does not bring the chat over a minimised board.
  Deliver(J("<<GameMese=[ Hanako ]：がんばれ\r\n>>"));
  EXPECT_FALSE(Form5->isVisible());
  Deliver(J("<<GameMese=[ Jiro ]：ここは？\r\n>><<DiaIndex=3>><<DiaData=(;SZ[9]AB[ee])>>"));
  EXPECT_TRUE(Form5->isVisible());
  EXPECT_EQ(Form4->DiagramStore, "\r\n{3}<<DiaData=(;SZ[9]AB[ee])>>");
  EXPECT_NE(Form5->Memo1Lines.IndexOf(J("{ 碁盤 3 }")), -1);
  EXPECT_NE(Form5->Memo1Lines.IndexOf(J("[ Jiro ]：ここは？")), -1);
}

// ---------------------------------------------------------------------------------------------
// Keys, toggles and the watchers

TEST_F(OwnGameTest, F5CopiesTheRecordInEveryMode) {
  Form4->FormKeyDown(Qt::Key_F5, Qt::NoModifier);
  EXPECT_EQ(clipboard_.Text(), "(;GM[1]FF[1]SZ[19])");
  Begin();
  Tick(2);
  Play(P("dd"));
  Form4->FormKeyDown(Qt::Key_F5, Qt::NoModifier);
  const std::string record = clipboard_.Text();
  EXPECT_NE(record.find("PB[Taro]"), std::string::npos) << record;
  EXPECT_NE(record.find("TM[900]"), std::string::npos) << record;
  EXPECT_NE(record.find(";B[dd]BL[898]TL[2,0]"), std::string::npos) << record;
  // From the chat line too.
  QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
  clipboard_.SetText("");
  QCoreApplication::sendEvent(Form4->Edit1, &f5);
  EXPECT_EQ(clipboard_.Text(), record);
}

TEST_F(OwnGameTest, NumbersToggleAndTheChatPanelShowsAndHidesTheChat) {
  Begin();
  Form4->Image16Click();
  EXPECT_TRUE(Form4->NumbersOn);
  Form4->Image16Click();
  EXPECT_FALSE(Form4->NumbersOn);
  // The panels stand where the bar's layout put them.
  int chat_x = -1;
  ASSERT_TRUE(WaitFor([&] {
    for (int x = 0; x < Form4->StatusBar1->width() && chat_x < 0; ++x) {
      if (Form4->StatusBar1->PanelAt(x) == 3) chat_x = x + 2;
    }
    return chat_x >= 0;
  }));
  Form4->StatusBar1MouseDown(chat_x);
  EXPECT_TRUE(Form5->isVisible());
  Form9->show();
  Form4->StatusBar1MouseDown(chat_x);
  EXPECT_FALSE(Form5->isVisible());
  EXPECT_FALSE(Form9->isVisible());
  EXPECT_EQ(Form4->ChatViewerWasOpen, 1);
  // Elsewhere on the bar nothing happens.
  Form4->StatusBar1MouseDown(2);
  EXPECT_FALSE(Form5->isVisible());
  Form4->StatusBar1MouseDown(chat_x);
  EXPECT_TRUE(Form5->isVisible());
  EXPECT_TRUE(Form9->isVisible());
  EXPECT_EQ(Form4->ChatViewerWasOpen, 0);
}

TEST_F(OwnGameTest, WatcherCountsComeAndGo) {
  Begin();
  Deliver("<<OnlyWatchCount=2>><<WatchList=Hanako\nSaburo\n>>");
  EXPECT_EQ(Form4->StatusBar1->PanelText(2), J("観戦者数 = 2"));
  EXPECT_EQ(Form4->StatusBar1->Hint(), "Hanako\nSaburo\n");
  Deliver("<<OutWatchCount=0>><<WatchList=>><<WaitList=Hanako\r\n>><<WaitHint=[0]>><<LookList=>>");
  EXPECT_EQ(Form4->StatusBar1->PanelText(2), J("観戦者数 = 0"));
  EXPECT_EQ(Form4->StatusBar1->Hint(), "");
  EXPECT_EQ(Form6->ListBox2->count(), 1);
}

TEST_F(OwnGameTest, AnUndoAfterTheEndStepsTheFinishedRecordBack) {
  Begin();
  Play(P("dd"));
  Deliver(Relayed(P("pp"), 880));
  EndGame();
  ASSERT_EQ(Form4->BufferLength, 2);
  // Stepped back to the first move, the shown position stays; the record loses its last move.
  Form4->ReplayStepBack();
  Deliver("<<GameIndex=1>><<Move=>><<MoveBack>>");
  EXPECT_EQ(Form4->MoveTop, 1);
  EXPECT_EQ(Form4->BufferLength, 1);
  EXPECT_EQ(Panel0(), J("1手の棋譜データがあります"));
  EXPECT_EQ(Panel3(), J("一手戻りました"));
  // At the newest move the position goes back with it.
  Deliver("<<GameIndex=1>><<Move=>><<MoveBack>>");
  EXPECT_EQ(Form4->MoveTop, 0);
  EXPECT_EQ(Form4->BufferLength, 0);
  EXPECT_EQ(Form4->Board[P("dd")], kEmpty);
  // Nothing is left to take back: the empty move is no move.
  Deliver("<<GameIndex=1>><<Move=>><<MoveBack>>");
  EXPECT_EQ(Form4->BufferLength, 0);
  EXPECT_EQ(Messages(), Texts{J("着手受信エラー発生！")});
}
