// Tests of the message board window: posting, the call to the board and the colour cycle.
#include "client/connection/message_board_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include "client/connection/connect_window.h"
#include "client/connection/lobby_window.h"
#include "platform/cp932.h"
#include "platform/memo_colors.h"
#include "platform/memo_view.h"
#include "platform/qt_text.h"
#include "platform/window_state.h"
#include "tests/client/connection/client_windows_fixture.h"

namespace {
using Texts = std::vector<std::string>;
}  // namespace

using MessageBoardTest = ClientWindowsTest;

TEST_F(MessageBoardTest, SitsRightOfTheLobbyAsTallAsIt) {
  Start();
  EXPECT_FALSE(Form8->isVisible());
  EXPECT_EQ(WindowLeft(Form8), WindowWidth(Form6) + 2);
  EXPECT_EQ(WindowTop(Form8), 1);
  EXPECT_EQ(WindowWidth(Form8), ScreenWidth() - WindowWidth(Form6) - 4);
  EXPECT_EQ(WindowHeight(Form8), WindowHeight(Form6));
}

TEST_F(MessageBoardTest, PostEchoesLocallyAndSendsTheEscapedLine) {
  StartAndLogIn();
  Form8->Memo2->setText("a>>b");
  Form8->Memo2KeyDown(13);
  EXPECT_EQ(Form8->Memo1Lines.Lines(), Texts{J("[ Taro ]：a><b")});
  EXPECT_EQ(Sent(), Texts{J("<<MainMese=[ Taro ]：a><b>>")});
  EXPECT_TRUE(Form8->Memo2->text().isEmpty());

  // Nothing that is typed can be read as a tag or lose its last character.
  Form8->Memo2->setText("<<SysNotFound>> ok >");
  Form8->Memo2KeyDown(13);
  const Texts sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  const std::string line = sent[0].substr(std::string("<<MainMese=").size());
  EXPECT_EQ(line.find("<<"), std::string::npos);
  EXPECT_EQ(line.find(">>"), line.size() - 2);
  EXPECT_NE(line.find(" ok "), std::string::npos);
}

TEST_F(MessageBoardTest, EnterOnAnEmptyInputAndOtherKeysDoNothing) {
  StartAndLogIn();
  Form8->Memo2KeyDown(13);
  Form8->Memo2->setText("x");
  Form8->Memo2KeyDown(65);
  EXPECT_TRUE(Form8->Memo1Lines.Empty());
  EXPECT_TRUE(Sent().empty());
}

TEST_F(MessageBoardTest, OfflinePostStaysLocalAndSaysNotConnected) {
  StartAndLogIn();
  socket_.Drop();
  Messages();
  Form8->Memo2->setText(QString::fromUtf8("こんにちは"));
  Form8->Memo2KeyDown(13);
  EXPECT_EQ(Form8->Memo1Lines.Lines(), Texts{J("[ Taro ]：こんにちは")});
  EXPECT_EQ(Messages(), Texts{J("サーバに接続していません！")});
  EXPECT_TRUE(Form8->Memo2->text().isEmpty());
}

TEST_F(MessageBoardTest, CtrlF8ShowsTheBoardAndCallsEverybody) {
  StartAndLogIn();
  Form8->FormKeyDown(119, true);
  EXPECT_TRUE(Form8->isVisible());
  EXPECT_EQ(Sent(), Texts{"<<SeeMeseNow>>"});
  Form8->FormKeyDown(119, false);
  Form8->FormKeyDown(118, true);
  EXPECT_TRUE(Sent().empty());
  // The lobby's Ctrl+F8 calls too.
  Form6->FormKeyDown(119, true);
  EXPECT_EQ(Sent(), Texts{"<<SeeMeseNow>>"});
}

TEST_F(MessageBoardTest, ClicksCycleTheBoardColour) {
  Start();
  EXPECT_EQ(MemoColor(Form8->Memo1), 0xF0FFF0u);
  const unsigned cycle[] = {0xFFF0F0, 0xF0F0FF, 0xFFFFFF, 0xF0FFF0};
  for (unsigned expected : cycle) {
    Form8->Memo1Click();
    EXPECT_EQ(MemoColor(Form8->Memo1), expected);
  }
}
