// End to end: challenges between the client's windows in this process (on a real socket) and
// scripted participants, through the real server, up to the game start.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "client/connection/challenge_dialog.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_settings_dialog.h"
#include "client/connection/lobby_window.h"
#include "platform/cp932.h"
#include "platform/qt_text.h"
#include "protocol/join_key.h"
#include "tests/client/connection/client_windows_fixture.h"
#include "tests/client/connection/modal_answer.h"
#include "tests/e2e/server_process.h"
#include "tests/qt_wait.h"

namespace {
using Texts = std::vector<std::string>;

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

bool WaitingListHolds(const std::string& name) {
  for (int i = 0; i < Form6->ListBox2->count(); ++i) {
    if (FromQt(Form6->ListBox2->item(i)->text()) == name) return true;
  }
  return false;
}
}  // namespace

class ChallengeEndToEndTest : public ClientWindowsTest {
 protected:
  // The windows go before the connection they listen to.
  ~ChallengeEndToEndTest() override { Stop(); }

  QtClientConnection connection_;
  ServerProcess server_;
};

TEST_F(ChallengeEndToEndTest, ChallengeDeclineChallengeBackBusyAndAcceptUpToTheGameStart) {
  ASSERT_TRUE(server_.Start()) << server_.ErrorOutput();
  ProtocolClient second;
  ASSERT_TRUE(second.ConnectAndLogin(server_.port(), J("後手"), true));
  ASSERT_TRUE(second.Expect("<<SysComeIn>>")) << second.Pending();
  ProtocolClient third;
  ASSERT_TRUE(third.ConnectAndLogin(server_.port(), "Jiro", true));
  ASSERT_TRUE(third.Expect("<<SysComeIn>>")) << third.Pending();

  env_.socket = &connection_;
  env_.port = server_.port();
  Start();
  Form2->VantaKey->setEditText(ToQt(EncodeJoinKey("127.0.0.1")));
  Form2->Edit1->setText(QString::fromUtf8("先手"));
  Form2->BitBtn1Click();
  ASSERT_TRUE(WaitFor([] { return Form6->isVisible() && WaitingListHolds(J("後手")); }));
  ASSERT_TRUE(second.Expect(J("<<WaitList=後手\r\nJiro\r\n先手\r\n>>"))) << second.Pending();
  ASSERT_TRUE(third.Expect(J("<<WaitList=後手\r\nJiro\r\n先手\r\n>>"))) << third.Pending();

  // 1. This user challenges 後手 with white and two stones; 後手 declines.
  Form6->ListBox2->setCurrentRow(0);
  ModalAnswer send(Form3, [] {
    Form3->RadioButton2->setChecked(true);
    Form3->ComboBox1->setEditText(QString::fromUtf8("２子"));
    Form3->Edit2->setText(QString::fromUtf8("３０"));
    Form3->BitBtn1->click();
  });
  Form6->SpeedButton2Click();
  ASSERT_TRUE(send.answered());
  const std::string challenge =
      J("<<GameSet>><<IsKuro=白番>><<KuroGameTime=15 分>><<SiroGameTime=15 分>>"
        "<<AddTime=30 秒>><<GameWari=２子>><<GameKomi=5.5>><<Player1=先手>><<Player2=後手>>"
        "<<BanSize=19>>");
  ASSERT_TRUE(second.Expect(challenge)) << second.Pending();
  second.Send("NORe" + challenge);
  ASSERT_TRUE(WaitFor([this] { return !prompts_.shown().empty(); }));
  EXPECT_EQ(Messages(), Texts{J("[ 後手 ] さんへの対局申し込みは キャンセル されました。")});

  // 2. 後手 challenges back. While the offer is open, Jiro's challenge is answered busy.
  const std::string back =
      J("<<GameSet>><<IsKuro=黒番>><<KuroGameTime=10 分>><<SiroGameTime=10 分>>"
        "<<AddTime=なし>><<GameWari=２子>><<GameKomi=0>><<Player1=後手>><<Player2=先手>>"
        "<<BanSize=19>>");
  const std::string busy =
      J("<<GameSet>><<IsKuro=黒番>><<KuroGameTime=任意>><<SiroGameTime=任意>>"
        "<<AddTime=なし>><<GameWari=互先>><<GameKomi=6.5>><<Player1=Jiro>><<Player2=先手>>"
        "<<BanSize=9>>");
  bool busy_answered = false;
  ModalAnswer accept(Form12, [&] {
    EXPECT_NE(Form12->Memo1Lines.IndexOf(J("    後手 さんから 対局の申し込み が有りました。")), -1);
    third.Send(busy);
    // The connection is read on while the offer is open.
    busy_answered = third.Expect("NoTimeRe" + busy);
    Form12->BitBtn1->click();
  });
  second.Send(back);
  ASSERT_TRUE(WaitFor([&] { return accept.answered() && !Form12->isVisible(); }));
  EXPECT_TRUE(busy_answered) << third.Pending();

  // 3. The server starts game 1: 後手 holds black with two stones, white (this user) moves first.
  const std::string play_list = Lines({"[ 1 ]", J("● 後手"), J("○ 先手")});
  ASSERT_TRUE(second.Expect(J("<<GameStart-Wait>><<Color=black>><<OpName=先手>><<GameWari=２子>>"
                              "<<BanSize=19>><<GameKomi=0>><<KuroGameTime=10 分>>"
                              "<<SiroGameTime=10 分>><<AddTime=なし>><<GameIndex=1>>"
                              "<<PlayList=") +
                            play_list + ">><<WaitList=Jiro\r\n>><<WaitHint=[0]>>" +
                            "<<KifuStartStr=(;AB[dp][pd]/<SiroSaki>/>>"))
      << second.Pending();
  EXPECT_TRUE(third.Expect("<<Status>><<PlayList=" + play_list + ">><<WaitList=Jiro\r\n>>"))
      << third.Pending();
  EXPECT_EQ(Form2->ChallengePending, 0);
  EXPECT_TRUE(Messages().empty());
}
