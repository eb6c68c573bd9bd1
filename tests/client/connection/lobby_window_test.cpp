// Tests of the lobby window: its buttons, the waiting players' hints and the window follower.
#include "client/connection/lobby_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>

#include "client/board/board_window.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/connection/message_board_window.h"
#include "client/views/counting_board.h"
#include "client/views/diagram_viewer.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/window_state.h"
#include "tests/client/connection/client_windows_fixture.h"

namespace {
using Texts = std::vector<std::string>;

const std::string kTwoGames =
    "<<SysComeIn>><<Status>><<IdCount=6>>"
    "<<PlayList=[ 1 ]\r\nA\r\nB\r\n[ 2 ]\r\nC\r\nD\r\n>>"
    "<<WaitList=Taro\r\nE\r\nF\r\nG\r\n>><<WaitHint=[0][1][0][3]>><<LookList=>>";
}  // namespace

using LobbyWindowTest = ClientWindowsTest;

TEST_F(LobbyWindowTest, StartsCentredAtTheTopWithItsPicture) {
  Start();
  EXPECT_EQ(WindowTop(Form6), 1);
  EXPECT_EQ(WindowLeft(Form6), (ScreenWidth() - WindowWidth(Form6)) / 2);
  EXPECT_EQ(Form6->Image1.size(), QSize(32, 24));
  EXPECT_EQ(Form6->ListBox1->count(), 0);
  EXPECT_TRUE(Form6->SpeedButton5->isHidden());
  EXPECT_TRUE(Form6->Timer1->isActive());
  EXPECT_EQ(Form6->Timer1->interval(), 500);
}

TEST_F(LobbyWindowTest, AMissingPictureIsNamedAndTheLobbyStillOpens) {
  WriteWholeFile(WorkPathOf("bmp/VantaBG.jpg"), "not a picture");
  Start();
  Texts messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("VantaBG.jpg"), std::string::npos);
  EXPECT_TRUE(Form6->Image1.isNull());
  Form6->show();
  Form6->repaint();
  EXPECT_TRUE(Form6->isVisible());
}

TEST_F(LobbyWindowTest, WatchSnapsToTheGameGroupAndSendsItsNumber) {
  StartAndLogIn("Taro", kTwoGames);
  Form6->SpeedButton1Click();
  EXPECT_EQ(Messages(), Texts{J("観戦する碁が選択されていません")});

  // A click on the white player's line of the second game selects the game's first line.
  Form6->ListBox1->setCurrentRow(5);
  Form6->ListBox1Click();
  EXPECT_EQ(Form6->ListBox1->currentRow(), 3);
  Form6->SpeedButton1Click();
  EXPECT_EQ(Sent(), Texts{"<<WatchGame=2>>"});

  // A second press before the answer sends nothing; the snapshot answers it.
  Form6->SpeedButton1Click();
  EXPECT_TRUE(Sent().empty());
  socket_.Deliver("<<WatchGame=2>><<AllMese=>><<DraumEND>>");
  EXPECT_EQ(Form4->BoardMode, kBoardWatching);
  // Once that watch is over, the next press asks again.
  Form4->BoardMode = kBoardIdle;
  Form6->SpeedButton1Click();
  EXPECT_EQ(Sent(), Texts{"<<WatchGame=2>>"});
  EXPECT_TRUE(Messages().empty());
}

TEST_F(LobbyWindowTest, WatchRefusesUnreadableNumbersAndDoesNothingWhileTheBoardIsInUse) {
  StartAndLogIn("Taro", "<<SysComeIn>><<Status>>" + J("<<PlayList=[ ２ ]\r\nA\r\nB\r\n>>") +
                            "<<WaitList=Taro\r\n>><<WaitHint=[0]>><<LookList=>>");
  Form6->ListBox1->setCurrentRow(0);
  Form6->SpeedButton1Click();
  EXPECT_EQ(Messages(), Texts{J("観戦できません")});

  Form4->BoardMode = kBoardWatching;
  Form6->SpeedButton1Click();
  Form6->SpeedButton7Click();
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(Sent().empty());
}

TEST_F(LobbyWindowTest, RoomRequestWaitsForItsAnswer) {
  StartAndLogIn();
  Form6->SpeedButton7Click();
  Form6->SpeedButton7Click();
  EXPECT_EQ(Sent(), Texts{"<<DiscussEnter>>"});
  socket_.Deliver("<<DiscussEnter>><<Discusser=>><<DiscussCount=1>><<DraumEND>>");
  EXPECT_FALSE(Form6->RequestPending());
}

TEST_F(LobbyWindowTest, OfflineActionsSayNotConnectedAndSendNothing) {
  StartAndLogIn("Taro", kTwoGames);
  socket_.Drop();
  Messages();
  Form6->ListBox1->setCurrentRow(0);
  Form6->SpeedButton1Click();
  Form6->SpeedButton7Click();
  Form6->FormKeyDown(119, true);
  const std::string offline = J("サーバに接続していません！");
  EXPECT_EQ(Messages(), (Texts{offline, offline, offline}));
  EXPECT_TRUE(Sent().empty());
  EXPECT_FALSE(Form6->RequestPending());
}

TEST_F(LobbyWindowTest, NigiriPostsItsLineAndKeepsItLocallyWhenOffline) {
  StartAndLogIn();
  random_.Queue(2);  // 2 mod 8 + 1 = 3 stones
  Form6->SpeedButton6Click();
  EXPECT_EQ(Sent(), Texts{J("<<MainMese=[ Taro ]：握りの結果：石3個、半です。○○○>>")});
  socket_.Drop();
  Messages();
  random_.Queue(32767);  // 32767 mod 8 + 1 = 8 stones
  Form6->SpeedButton6Click();
  EXPECT_EQ(Form8->Memo1Lines.Lines(), (Texts{J("[ Taro ]：握りの結果：石3個、半です。○○○"),
                                              J("[ Taro ]：握りの結果：石8個、丁です。○○○○○○○○")}));
  EXPECT_EQ(Messages(), Texts{J("サーバに接続していません！")});
}

TEST_F(LobbyWindowTest, WatchOnlyToggleFlipsAtOnceAndAsksTheServer) {
  StartAndLogIn();
  Form6->CheckBox2MouseDown();
  EXPECT_TRUE(Form6->CheckBox2->isChecked());
  EXPECT_EQ(Sent(), Texts{"<<ChangeMode>>"});
  socket_.Drop();
  Messages();
  Form6->CheckBox2MouseDown();
  EXPECT_FALSE(Form6->CheckBox2->isChecked());
  EXPECT_EQ(Messages(), Texts{J("サーバに接続していません！")});
}

TEST_F(LobbyWindowTest, WaitListHintFollowsTheRowUnderTheMouse) {
  StartAndLogIn("Taro", kTwoGames);
  Form6->ListBox2MouseMove(3 * 19 + 5);  // fourth row
  EXPECT_EQ(Form6->ListBox2->toolTip(), " 3 ");
  Form6->ListBox2MouseMove(0);
  EXPECT_EQ(Form6->ListBox2->toolTip(), " 0 ");
  Form6->ListBox2MouseMove(4 * 19 + 1);  // below the last entry
  EXPECT_EQ(Form6->ListBox2->toolTip(), "");
}

TEST_F(LobbyWindowTest, QuitAsksOnlyWhenTheSettingsSaySo) {
  StartAndLogIn();
  Form2->AskEndFlag = 1;
  prompts_.QueueAnswer(false);
  Form6->SpeedButton4Click();
  EXPECT_FALSE(ended_);
  ASSERT_EQ(prompts_.shown().size(), 1u);
  EXPECT_TRUE(prompts_.shown()[0].question);
  EXPECT_EQ(prompts_.shown()[0].text, J("ネット対戦 Korvanta を 終 了 し ま す か？"));
  EXPECT_EQ(prompts_.shown()[0].caption, J("Korvanta - 終 了 の 確 認"));
  // Closing the window asks the same question.
  prompts_.QueueAnswer(false);
  Form6->close();
  EXPECT_TRUE(Form6->isVisible());
  EXPECT_FALSE(ended_);

  Messages();
  Form2->AskEndFlag = 0;
  Form6->SpeedButton4Click();
  EXPECT_TRUE(ended_);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(FileExists(ProgramPath("QuellVanta.dat")));
}

TEST_F(LobbyWindowTest, OnceTheProgramEndsTheWindowsCloseWithoutAskingAgain) {
  StartAndLogIn();
  Form2->AskEndFlag = 1;
  prompts_.QueueAnswer(true);
  Form6->SpeedButton4Click();
  ASSERT_TRUE(ended_);
  // The application closes its remaining windows on the way out.
  EXPECT_TRUE(Form6->close());
  EXPECT_TRUE(Form2->close());
  EXPECT_EQ(prompts_.shown().size(), 1u);
}

TEST_F(LobbyWindowTest, BoardButtonTogglesTheBoardAndMovesTheLobby) {
  StartAndLogIn();
  Form6->SpeedButton3Click();
  EXPECT_TRUE(Form8->isVisible());
  EXPECT_EQ(WindowLeft(Form6), 2);
  Form6->SpeedButton3Click();
  EXPECT_FALSE(Form8->isVisible());
  EXPECT_EQ(WindowLeft(Form6), (ScreenWidth() - WindowWidth(Form6)) / 2);
}

TEST_F(LobbyWindowTest, FollowerHidesTheBoardWhileTheLobbyIsMinimised) {
  StartAndLogIn();
  Form8->show();
  MinimizeWindow(Form6);
  Form6->Timer1Timer();
  EXPECT_FALSE(Form8->isVisible());
  EXPECT_EQ(Form6->BoardHiddenByFollower, 1);
  Form6->Timer1Timer();
  EXPECT_FALSE(Form8->isVisible());
  // A maximised lobby is not normal: the board waits.
  Form6->setWindowState(Qt::WindowMaximized);
  Form6->Timer1Timer();
  EXPECT_FALSE(Form8->isVisible());
  SetNormalState(Form6);
  Form6->Timer1Timer();
  EXPECT_TRUE(Form8->isVisible());
  EXPECT_EQ(Form6->BoardHiddenByFollower, 0);
  // A board the user hid himself stays hidden.
  Form8->hide();
  Form6->Timer1Timer();
  EXPECT_FALSE(Form8->isVisible());
}

TEST_F(LobbyWindowTest, FollowerHidesTheChatWithTheBoardWindowUnlessAViewIsOpen) {
  Start();
  Form4->show();
  Form5->show();
  MinimizeWindow(Form4);
  Form6->Timer1Timer();
  EXPECT_FALSE(Form5->isVisible());
  EXPECT_EQ(Form4->ChatHiddenByFollower, 1);
  SetNormalState(Form4);
  Form6->Timer1Timer();
  EXPECT_TRUE(Form5->isVisible());
  EXPECT_EQ(Form4->ChatHiddenByFollower, 0);

  // With the diagram viewer or the counting board up, the chat stays.
  for (QWidget* view : {static_cast<QWidget*>(Form9), static_cast<QWidget*>(Form7)}) {
    view->show();
    MinimizeWindow(Form4);
    Form6->Timer1Timer();
    EXPECT_TRUE(Form5->isVisible());
    SetNormalState(Form4);
    view->hide();
  }
}

TEST_F(LobbyWindowTest, FollowerHidesTheViewerWithTheChat) {
  Start();
  Form5->show();
  Form9->show();
  MinimizeWindow(Form5);
  Form6->Timer1Timer();
  EXPECT_FALSE(Form9->isVisible());
  EXPECT_EQ(Form5->ViewerHiddenByFollower, 1);
  SetNormalState(Form5);
  Form6->Timer1Timer();
  EXPECT_TRUE(Form9->isVisible());
}

TEST_F(LobbyWindowTest, FollowerMakesWayForTheSharedCount) {
  Start();
  Form4->show();
  Form7->show();
  // No shared count: the board window stays as it is.
  Form6->Timer1Timer();
  EXPECT_TRUE(IsNormalState(Form4));
  Form7->RealTimeMode = kSharedCountOwnRight;
  Form6->Timer1Timer();
  EXPECT_TRUE(IsMinimized(Form4));
  MinimizeWindow(Form7);
  Form6->Timer1Timer();
  EXPECT_TRUE(IsNormalState(Form4));
}
