// Tests of the game chat window: received lines and diagram links, when the chat comes up, the
// colour cycle, and the arrangement beside the board window and the diagram viewer.
#include "client/connection/game_chat_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "client/board/board_window.h"
#include "client/views/counting_board.h"
#include "client/views/diagram_viewer.h"
#include "platform/cp932.h"
#include "platform/memo_colors.h"
#include "platform/memo_view.h"
#include "platform/window_state.h"
#include "tests/client/connection/client_windows_fixture.h"

namespace {
using Texts = std::vector<std::string>;

void ClickMemo() {
  QWidget* viewport = Form5->Memo1->viewport();
  const QPointF at(5, 5);
  QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &release);
}
}  // namespace

using GameChatTest = ClientWindowsTest;

TEST_F(GameChatTest, StartsEmptyLeftOfTheBoardWindowAndAsTallAsIt) {
  Start();
  EXPECT_FALSE(Form5->isVisible());
  EXPECT_TRUE(Form5->Memo1Lines.Empty());
  EXPECT_EQ(WindowLeft(Form5), 1);
  EXPECT_EQ(WindowTop(Form5), 1);
  EXPECT_EQ(WindowWidth(Form5), ScreenWidth() - WindowWidth(Form4) - 1);
  EXPECT_EQ(WindowHeight(Form5), WindowHeight(Form4));
  EXPECT_EQ(MemoColor(Form5->Memo1), 0xF0FFF0u);
  EXPECT_EQ(Form5->AutoLayout, 1);
}

TEST_F(GameChatTest, ReceivedLinesAndDiagramLinksAsAMemoShowsThem) {
  StartAndLogIn();
  Form4->BoardMode = kBoardOwnGame;
  socket_.Deliver(J("<<GameMese=[ 花子 ]：よろしく\r\n>>"));
  socket_.Deliver(J("<<GameMese=[ 花子 ]：ここは？ (12)\r\n>><<DiaIndex=3>><<DiaData=AB[dd]>>"));
  socket_.Deliver(J("<<GameMese=[ 観戦者 ]：なるほど (12)\r\n>>"));
  // Each line that ends with CR LF leaves an empty line after it; a diagram's link follows its
  // line directly.
  EXPECT_EQ(Form5->Memo1Lines.Lines(),
            (Texts{J("[ 花子 ]：よろしく"), "", J("[ 花子 ]：ここは？ (12)"), J("{ 碁盤 3 }"), "",
                   J("[ 観戦者 ]：なるほど (12)"), ""}));
  EXPECT_TRUE(Sent().empty());

  // Idle, a chat line is not read.
  Form4->BoardMode = kBoardIdle;
  socket_.Deliver(J("<<GameMese=[ 花子 ]：まだ？\r\n>>"));
  EXPECT_EQ(Form5->Memo1Lines.Count(), 7);
}

TEST_F(GameChatTest, ALineBringsTheChatUpUnlessTheBoardWindowIsMinimised) {
  StartAndLogIn();
  Form4->BoardMode = kBoardWatching;
  Form9->show();
  socket_.Deliver(J("<<GameMese=[ 花子 ]：一\r\n>>"));
  EXPECT_TRUE(Form5->isVisible());
  EXPECT_FALSE(Form9->isVisible());

  Form5->hide();
  MinimizeWindow(Form4);
  socket_.Deliver(J("<<GameMese=[ 花子 ]：二\r\n>>"));
  EXPECT_FALSE(Form5->isVisible());
  // The counting board open on top brings it all the same.
  Form7->show();
  socket_.Deliver(J("<<GameMese=[ 花子 ]：三\r\n>>"));
  EXPECT_TRUE(Form5->isVisible());
  Form7->hide();
}

TEST_F(GameChatTest, ClicksCycleTheBackgroundColour) {
  Start();
  Form5->show();
  std::vector<unsigned> colours;
  for (int i = 0; i < 4; ++i) {
    ClickMemo();
    colours.push_back(MemoColor(Form5->Memo1));
  }
  EXPECT_EQ(colours, (std::vector<unsigned>{0xFFF0F0, 0xF0F0FF, 0xFFFFFF, 0xF0FFF0}));
}

TEST_F(GameChatTest, ShownBesideTheBoardWindowAndHiddenWithItCentred) {
  Start();
  Form4->resize(500, 400);
  Form5->show();
  EXPECT_EQ(WindowLeft(Form4), ScreenWidth() - WindowWidth(Form4));
  EXPECT_EQ(WindowLeft(Form5), 1);
  EXPECT_EQ(WindowTop(Form5), 1);
  EXPECT_EQ(WindowWidth(Form5), ScreenWidth() - WindowWidth(Form4) - 1);
  EXPECT_EQ(Form5->BoardLeftSeen, WindowLeft(Form4));
  EXPECT_EQ(Form5->BoardTopSeen, WindowTop(Form4));

  Form5->hide();
  EXPECT_EQ(Form5->AutoLayout, 1);
  EXPECT_EQ(WindowLeft(Form4), (ScreenWidth() - WindowWidth(Form4)) / 2);
}

TEST_F(GameChatTest, OnceTheUserMovedTheBoardWindowEveryWindowStaysWhereItIsPut) {
  Start();
  Form4->resize(500, 400);
  Form5->show();
  SetWindowLeft(Form4, 40);
  Form5->hide();
  EXPECT_EQ(Form5->AutoLayout, 0);
  EXPECT_EQ(WindowLeft(Form4), 40);

  SetWindowBounds(Form5, 600, 300, 150, 200);
  Form5->show();
  EXPECT_EQ(WindowLeft(Form4), 40);
  EXPECT_EQ(WindowLeft(Form5), 600);
  EXPECT_EQ(WindowWidth(Form5), 150);
  Form5->hide();
  Form5->show();
  EXPECT_EQ(WindowLeft(Form4), 40);
  EXPECT_EQ(Form5->AutoLayout, 0);
}

TEST_F(GameChatTest, TheDiagramViewerTakesTheTopLeftAndTheChatGoesBelowIt) {
  Start();
  Form4->resize(500, 400);
  Form9->resize(231, 255);
  Form9->move(0, 0);
  Form5->show();

  Form5->ToggleDiagramView();
  EXPECT_TRUE(Form9->isVisible());
  EXPECT_EQ(WindowLeft(Form4), WindowWidth(Form9) + 3);
  EXPECT_EQ(WindowLeft(Form5), WindowLeft(Form9));
  EXPECT_EQ(WindowTop(Form5), WindowHeight(Form9));
  EXPECT_EQ(WindowWidth(Form5), WindowWidth(Form9));
  EXPECT_EQ(WindowHeight(Form5), ScreenHeight() - WindowHeight(Form9) - 5);
  EXPECT_EQ(Form5->BoardLeftSeen, WindowLeft(Form4));

  Form5->ToggleDiagramView();
  EXPECT_FALSE(Form9->isVisible());
  EXPECT_EQ(WindowTop(Form5), 1);
  EXPECT_EQ(WindowWidth(Form9), WindowWidth(Form5));

  // Shown again while the viewer is up: the same arrangement; hiding the chat hides the viewer.
  Form5->hide();
  Form9->show();
  Form5->show();
  EXPECT_EQ(WindowLeft(Form4), WindowWidth(Form9) + 3);
  EXPECT_EQ(WindowTop(Form5), WindowHeight(Form9));
  Form5->hide();
  EXPECT_FALSE(Form9->isVisible());
}
