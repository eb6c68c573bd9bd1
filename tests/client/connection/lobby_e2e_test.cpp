// End to end: the real server program, the client's windows in this process on a real socket,
// and a scripted second participant.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include "client/connection/client_main_form.h"
#include "client/connection/connect_window.h"
#include "client/connection/lobby_window.h"
#include "client/connection/message_board_window.h"
#include "platform/cp932.h"
#include "platform/qt_text.h"
#include "platform/status_bar.h"
#include "protocol/join_key.h"
#include "tests/client/connection/client_windows_fixture.h"
#include "tests/e2e/server_process.h"
#include "tests/qt_wait.h"

namespace {
std::vector<std::string> Items(const QListWidget* list) {
  std::vector<std::string> items;
  for (int i = 0; i < list->count(); ++i) items.push_back(FromQt(list->item(i)->text()));
  return items;
}

bool BoardHas(const std::string& line) { return Form8->Memo1Lines.IndexOf(line) >= 0; }
}  // namespace

class LobbyEndToEndTest : public ClientWindowsTest {
 protected:
  // The windows go before the connection they listen to.
  ~LobbyEndToEndTest() override { Stop(); }

  QtClientConnection connection_;
  ServerProcess server_;
};

TEST_F(LobbyEndToEndTest, LogInSeeTheListsPostAndReceivePosts) {
  ASSERT_TRUE(server_.Start()) << server_.ErrorOutput();
  // The scripted participant logs in first.
  ProtocolClient second;
  ASSERT_TRUE(second.Connect(server_.port()));
  ASSERT_TRUE(second.Expect("<<QuellName="));
  second.Send(J("<<QuellName=後手>><<IdFlag=1>>"));
  ASSERT_TRUE(second.Expect("<<SysComeIn>>"));

  env_.socket = &connection_;
  env_.port = server_.port();
  Start();

  // Log in through the connect window with the key of this machine's loopback address.
  Form2->VantaKey->setEditText(ToQt(EncodeJoinKey("127.0.0.1")));
  Form2->Edit1->setText(QString::fromUtf8("先手"));
  Form2->BitBtn1Click();
  ASSERT_TRUE(WaitFor([] { return Form6->isVisible(); })) << "no login";
  EXPECT_FALSE(Form2->isVisible());
  EXPECT_EQ(Items(Form6->ListBox2), (std::vector<std::string>{J("後手"), J("先手")}));
  EXPECT_EQ(Form6->StatusBar1->PanelText(1), J("参加者数 = 2"));
  EXPECT_EQ(Form6->StatusBar1->PanelText(0), J("サーバ 接 続 OK"));
  // The other participant is told of the new one.
  EXPECT_TRUE(second.Expect(J("<<WaitList=後手\r\n先手\r\n>>")));

  // A post from the board reaches the other participant escaped, and the reply comes back.
  Form8->Memo2->setText(QString::fromUtf8("よろしく>>お願いします"));
  Form8->Memo2KeyDown(13);
  EXPECT_TRUE(second.Expect(J("<<MainMese=[ 先手 ]：よろしく><お願いします>>")));
  second.Send(J("<<MainMese=[ 後手 ]：こちらこそ>>"));
  EXPECT_TRUE(WaitFor([] { return BoardHas(J("[ 後手 ]：こちらこそ")); }));
  EXPECT_TRUE(BoardHas(J("[ 先手 ]：よろしく><お願いします")));

  // The second participant switches to watching only; the lobby shows it.
  second.Send("<<ChangeMode>>");
  EXPECT_TRUE(WaitFor([] { return Form6->Memo2Lines.IndexOf(J("後手")) >= 0; }));
  EXPECT_EQ(Items(Form6->ListBox2), std::vector<std::string>{J("先手")});

  // Our own switch goes through the server too.
  Form6->CheckBox2MouseDown();
  EXPECT_TRUE(WaitFor([] { return Form6->ListBox2->count() == 0; }));
  EXPECT_GE(Form6->Memo2Lines.IndexOf(J("先手")), 0);

  // A third participant logs in and sees the board's text so far.
  ProtocolClient third;
  ASSERT_TRUE(third.Connect(server_.port()));
  ASSERT_TRUE(third.Expect("<<QuellName="));
  third.Send("<<QuellName=Saburo>><<IdFlag=1>>");
  EXPECT_TRUE(third.Expect(J("[ 先手 ]：よろしく><お願いします\r\n[ 後手 ]：こちらこそ\r\n")));

  EXPECT_TRUE(Messages().empty());
  Form2->AskEndFlag = 0;
  Form6->SpeedButton4Click();
  EXPECT_TRUE(ended_);
}
