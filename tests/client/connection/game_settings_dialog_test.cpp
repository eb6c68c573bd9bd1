// Tests of the challenge from the lobby: the game settings dialog, the opponent it goes to, and
// when nothing is sent.
#include "client/connection/game_settings_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "client/board/board_window.h"
#include "client/connection/connect_window.h"
#include "client/connection/lobby_window.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/qt_text.h"
#include "tests/client/connection/client_windows_fixture.h"
#include "tests/client/connection/modal_answer.h"

namespace {
using Texts = std::vector<std::string>;

const std::string kWaiting = "<<SysComeIn>><<Status>><<IdCount=3>><<PlayList=>>" +
                             J("<<WaitList=Taro\r\n花子\r\nJiro\r\n>>") +
                             "<<WaitHint=[0][0][0]>><<LookList=>>";

const std::string kDefaultsToHanako =
    J("<<GameSet>><<IsKuro=黒番>><<KuroGameTime=15 分>><<SiroGameTime=15 分>><<AddTime=なし>>"
      "<<GameWari=互先>><<GameKomi=5.5>><<Player1=Taro>><<Player2=花子>><<BanSize=19>>");

void Press(QPushButton* button) { button->click(); }
}  // namespace

class GameSettingsTest : public ClientWindowsTest {
 protected:
  void SelectWaiting(int row) {
    Form6->ListBox2->setCurrentRow(row);
    ASSERT_TRUE(Form6->ListBox2->currentItem()->isSelected());
  }
};

TEST_F(GameSettingsTest, SendsTheDefaultsToTheSelectedPlayer) {
  StartAndLogIn("Taro", kWaiting);
  SelectWaiting(1);
  ModalAnswer send(Form3, [] {
    // No start position unless one is chosen for this challenge.
    EXPECT_FALSE(Form3->CheckBox1->isChecked());
    Press(Form3->BitBtn1);
  });
  Form6->SpeedButton2Click();
  EXPECT_TRUE(send.answered());
  EXPECT_EQ(Sent(), Texts{kDefaultsToHanako});
  EXPECT_TRUE(Messages().empty());
}

TEST_F(GameSettingsTest, TypedValuesAreSentInTheirWireForms) {
  StartAndLogIn("Taro", kWaiting);
  SelectWaiting(2);
  ModalAnswer send(Form3, [] {
    Form3->RadioButton2->setChecked(true);
    Form3->Edit1->setText(QString::fromUtf8("１５"));
    Form3->Edit4->setText(QString());
    Form3->Edit2->setText("30");
    Form3->Edit3->setText(QString::fromUtf8("＋６．５"));
    Form3->ComboBox1->setEditText(QString::fromUtf8("３子"));
    Form3->ComboBox2->setCurrentIndex(2);
    Press(Form3->BitBtn1);
  });
  Form6->SpeedButton2Click();
  EXPECT_EQ(Sent(), Texts{J("<<GameSet>><<IsKuro=白番>><<KuroGameTime=15 分>><<SiroGameTime=任意>>"
                            "<<AddTime=なし>><<GameWari=３子>><<GameKomi=6.5>><<Player1=Taro>>"
                            "<<Player2=Jiro>><<BanSize=9>>")});

  // The dialog keeps the values for the next challenge and for the settings file.
  Form2->SaveClientSettings();
  std::string file;
  ASSERT_TRUE(ReadWholeFile(ProgramPath("QuellVanta.dat"), file));
  EXPECT_NE(file.find(J("KuroTime[１５]\r\nSiroTime[]\r\nAddTime[30]\r\nKomi[＋６．５]\r\n"
                        "Wari[３子]\r\nBanSize[9]\r\n")),
            std::string::npos);
}

TEST_F(GameSettingsTest, AngleBracketsKeepTheDialogOpenWithAMessage) {
  StartAndLogIn("Taro", kWaiting);
  SelectWaiting(1);
  ModalAnswer send(Form3, [this] {
    Form3->Edit3->setText(QString::fromUtf8("5>><<GameStart-Play"));
    Press(Form3->BitBtn1);
    EXPECT_EQ(Messages(), Texts{J("コミに「<」「>」は使えません。 入力し直して下さい。")});
    EXPECT_TRUE(Form3->isVisible());

    Form3->Edit3->setText("6.5");
    Form3->ComboBox1->setEditText(QString::fromUtf8("互先<<"));
    Press(Form3->BitBtn1);
    EXPECT_EQ(Messages(), Texts{J("手合に「<」「>」は使えません。 入力し直して下さい。")});
    EXPECT_TRUE(Form3->isVisible());

    Form3->ComboBox1->setEditText(QString::fromUtf8("互先"));
    Press(Form3->BitBtn1);
  });
  Form6->SpeedButton2Click();
  const Texts sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_NE(sent[0].find(J("<<GameWari=互先>><<GameKomi=6.5>>")), std::string::npos);
}

TEST_F(GameSettingsTest, NoOpponentOrOneselfShowsTheMessageWithoutTheDialog) {
  StartAndLogIn("Taro", kWaiting);
  ModalAnswer never(
      Form3, [] { Press(Form3->BitBtn2); }, 200);
  Form6->SpeedButton2Click();
  SelectWaiting(0);  // own name
  Form6->SpeedButton2Click();
  EXPECT_EQ(Messages(), (Texts{J("     相手が選択されていません     "),
                               J("     相手が選択されていません     ")}));
  EXPECT_FALSE(never.answered());
  EXPECT_TRUE(Sent().empty());
}

TEST_F(GameSettingsTest, TheOpponentIsTheOneChosenWhenTheButtonWasPressed) {
  StartAndLogIn("Taro", kWaiting);
  SelectWaiting(1);
  ModalAnswer send(Form3, [this] {
    // The lists are refreshed while the dialog is open: 花子 is no longer at the selected row.
    socket_.Deliver("<<Status>><<WaitList=Saburo\r\nTaro\r\nJiro\r\n>>");
    Form6->ListBox2->setCurrentRow(2);
    Press(Form3->BitBtn1);
  });
  Form6->SpeedButton2Click();
  EXPECT_EQ(Sent(), Texts{kDefaultsToHanako});
}

TEST_F(GameSettingsTest, NothingIsSentWhenAGameStartedWhileTheDialogWasOpen) {
  StartAndLogIn("Taro", kWaiting);
  SelectWaiting(1);
  ModalAnswer send(Form3, [] {
    // Meanwhile a challenge was accepted and its game started on the board.
    Form4->BoardMode = kBoardOwnGame;
    Press(Form3->BitBtn1);
  });
  Form6->SpeedButton2Click();
  EXPECT_TRUE(send.answered());
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(GameSettingsTest, CancelOrABoardInUseOrNoConnectionSendNothing) {
  StartAndLogIn("Taro", kWaiting);
  SelectWaiting(1);
  {
    ModalAnswer cancel(Form3, [] { Press(Form3->BitBtn2); });
    Form6->SpeedButton2Click();
    EXPECT_TRUE(cancel.answered());
    EXPECT_TRUE(Sent().empty());
  }
  {
    // While watching, the button does nothing at all.
    Form4->BoardMode = kBoardWatching;
    ModalAnswer never(
        Form3, [] { Press(Form3->BitBtn2); }, 200);
    Form6->SpeedButton2Click();
    EXPECT_FALSE(never.answered());
    Form4->BoardMode = kBoardIdle;
  }
  {
    // The connection goes while the dialog is open.
    ModalAnswer send(Form3, [this] {
      socket_.Drop();
      Messages();
      Press(Form3->BitBtn1);
    });
    Form6->SpeedButton2Click();
    EXPECT_EQ(Messages(), Texts{J("サーバに接続していません！")});
  }
  EXPECT_TRUE(Sent().empty());
}
