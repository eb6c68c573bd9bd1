// Tests of a received challenge: the offer, each answer with its exact bytes, the busy answer
// while an offer is open, and leaving a watched game or the analysis room on accepting.
#include "client/connection/challenge_dialog.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>

#include "client/board/board_window.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/views/game_list_board.h"
#include "client/views/mark_toolbar.h"
#include "platform/cp932.h"
#include "platform/memo_view.h"
#include "platform/qt_text.h"
#include "platform/window_state.h"
#include "tests/client/connection/client_windows_fixture.h"
#include "tests/client/connection/modal_answer.h"
#include "tests/qt_wait.h"

namespace {
using Texts = std::vector<std::string>;

const std::string kChallenge =
    J("<<GameSet>><<IsKuro=黒番>><<KuroGameTime=15 分>><<SiroGameTime=15 分>><<AddTime=なし>>"
      "<<GameWari=互先>><<GameKomi=0>><<Player1=花子>><<Player2=Taro>><<BanSize=19>>");
const std::string kSecondChallenge =
    J("<<GameSet>><<IsKuro=白番>><<KuroGameTime=任意>><<SiroGameTime=任意>><<AddTime=なし>>"
      "<<GameWari=定先>><<GameKomi=6.5>><<Player1=Jiro>><<Player2=Taro>><<BanSize=9>>");
}  // namespace

class ChallengeDialogTest : public ClientWindowsTest {
 protected:
  // Delivers `challenge`, lets `answer` act in the open dialog, and waits until the offer is
  // answered.
  void Receive(const std::string& challenge, const std::function<void()>& answer) {
    ModalAnswer modal(Form12, answer);
    socket_.Deliver(challenge);
    ASSERT_TRUE(WaitFor([&] { return modal.answered() && !Form12->isVisible(); }));
    EXPECT_FALSE(modal.timed_out());
    EXPECT_EQ(Form2->ChallengePending, 0);
  }
};

TEST_F(ChallengeDialogTest, TheOfferIsShownWithTheSoundAndOkAccepts) {
  StartAndLogIn();
  Receive(kChallenge, [this] {
    EXPECT_EQ(Form2->ChallengePending, 1);
    EXPECT_EQ(FromQt(Form12->windowTitle()), J(" ヌ ル カ [ Korvanta ] - 対 局 の 申 し 込 み"));
    EXPECT_EQ(Form12->Memo1->ShownText(),
              J("\r\n    花子 さんから 対局の申し込み が有りました。\r\n"
                "\r\n    手番  ==  向こう 黒番\r\n"
                "\r\n    手合  ==  互先   [ 19路盤 ]\r\n"
                "\r\n    コ ミ  ==  なし\r\n"
                "\r\n    黒持ち時間  ==  15 分\r\n"
                "\r\n    白持ち時間  ==  15 分\r\n"
                "\r\n    追加時間  ==  なし\r\n"
                "\r\n    対 局 し ま す か ？"));
    ASSERT_EQ(sounds_.played().size(), 1u);
    EXPECT_EQ(sounds_.played()[0], WorkPathOf("ano.wav"));
    EXPECT_TRUE(Sent().empty());  // nothing is answered before the user chose
    Form12->BitBtn1->click();
  });
  EXPECT_EQ(Sent(), Texts{"OKRe" + kChallenge});
}

TEST_F(ChallengeDialogTest, CancelAndTheCloseBoxDecline) {
  StartAndLogIn();
  Receive(kChallenge, [] { Form12->BitBtn2->click(); });
  EXPECT_EQ(Sent(), Texts{"NORe" + kChallenge});
  Receive(kSecondChallenge, [] { Form12->close(); });
  EXPECT_EQ(Sent(), Texts{"NORe" + kSecondChallenge});
}

TEST_F(ChallengeDialogTest, ASecondChallengeWhileTheOfferIsOpenIsAnsweredBusyAtOnce) {
  StartAndLogIn();
  Receive(kChallenge, [this] {
    socket_.Deliver(kSecondChallenge);
    EXPECT_EQ(Sent(), Texts{"NoTimeRe" + kSecondChallenge});
    // Still the first offer, and no second sound.
    EXPECT_NE(Form12->Memo1->ShownText().find(J("花子 さんから")), std::string::npos);
    EXPECT_EQ(sounds_.played().size(), 1u);
    Form12->BitBtn1->click();
  });
  EXPECT_EQ(Sent(), Texts{"OKRe" + kChallenge});
}

TEST_F(ChallengeDialogTest, WhileHoldingTheRoomsInputTheAnswerIsBusyWithoutADialog) {
  StartAndLogIn();
  Form4->BoardMode = kBoardRoom;
  Form4->InputAllowed = 1;
  ModalAnswer never(
      Form12, [] { Form12->BitBtn2->click(); }, 200);
  socket_.Deliver(kChallenge);
  EXPECT_EQ(Sent(), Texts{"NoTimeRe" + kChallenge});
  // The dialog would open from the next round of the event loop.
  QCoreApplication::processEvents();
  EXPECT_FALSE(never.answered());
  EXPECT_TRUE(sounds_.played().empty());
  EXPECT_EQ(Form2->ChallengePending, 0);
}

TEST_F(ChallengeDialogTest, DuringAnOwnGameAChallengeGetsNoAnswer) {
  StartAndLogIn();
  Form4->BoardMode = kBoardOwnGame;
  ModalAnswer never(
      Form12, [] { Form12->BitBtn2->click(); }, 200);
  socket_.Deliver(kChallenge);
  // The dialog would open from the next round of the event loop.
  QCoreApplication::processEvents();
  EXPECT_FALSE(never.answered());
  EXPECT_TRUE(Sent().empty());
}

TEST_F(ChallengeDialogTest, AcceptingWhileWatchingLeavesTheGameViewAndSendsOnlyTheAnswer) {
  StartAndLogIn();
  Form4->BoardMode = kBoardWatching;
  Form4->show();
  Form5->show();
  Receive(kChallenge, [] { Form12->BitBtn1->click(); });
  EXPECT_EQ(Sent(), Texts{"OKRe" + kChallenge});
  EXPECT_EQ(Form4->BoardMode, kBoardIdle);
  EXPECT_FALSE(Form4->isVisible());
  EXPECT_FALSE(Form5->isVisible());
}

TEST_F(ChallengeDialogTest, AcceptingInTheAnalysisRoomLeavesTheRoomFirst) {
  StartAndLogIn();
  Form4->BoardMode = kBoardRoom;
  Form4->show();
  Form5->show();
  Form14->show();
  Form15->show();
  Receive(kChallenge, [] { Form12->BitBtn1->click(); });
  EXPECT_EQ(Sent(), (Texts{"<<DiscussClose>>", "OKRe" + kChallenge}));
  EXPECT_EQ(Form4->BoardMode, kBoardIdle);
  for (const QWidget* window : {static_cast<QWidget*>(Form4), static_cast<QWidget*>(Form5),
                                static_cast<QWidget*>(Form14), static_cast<QWidget*>(Form15)}) {
    EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();
  }

  // Declining in the room stays in the room.
  Form4->BoardMode = kBoardRoom;
  Receive(kChallenge, [] { Form12->BitBtn2->click(); });
  EXPECT_EQ(Sent(), Texts{"NORe" + kChallenge});
  EXPECT_EQ(Form4->BoardMode, kBoardRoom);
}

TEST_F(ChallengeDialogTest, AGameThatStartedWhileTheOfferWasOpenIsNotAbandoned) {
  StartAndLogIn();
  Receive(kChallenge, [] {
    // This user's own challenge was accepted meanwhile and its game started.
    Form4->BoardMode = kBoardOwnGame;
    Form12->BitBtn1->click();
  });
  EXPECT_EQ(Sent(), Texts{"NoTimeRe" + kChallenge});
  EXPECT_EQ(Form4->BoardMode, kBoardOwnGame);
}

TEST_F(ChallengeDialogTest, ALostConnectionLeavesTheViewAsItIs) {
  StartAndLogIn();
  Form4->BoardMode = kBoardWatching;
  Receive(kChallenge, [this] {
    socket_.Drop();
    Messages();
    Form12->BitBtn1->click();
  });
  EXPECT_EQ(Messages(), Texts{J("サーバに接続していません！")});
  EXPECT_EQ(Form4->BoardMode, kBoardWatching);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(ChallengeDialogTest, EveryLineOfTheOfferStandsInsideTheWindowAboveTheButtons) {
  StartAndLogIn();
  // The start position adds a line to the offer.
  for (const std::string& challenge : {kChallenge, kChallenge + "<<KifuStart=AB[dd][pp];[pd]>>"}) {
    Receive(challenge, [] {
      const MemoView* memo = Form12->Memo1;
      const QRect shown(memo->viewport()->mapTo(Form12, QPoint(0, 0)), memo->viewport()->size());
      int lines = 0;
      for (QTextBlock block = memo->document()->firstBlock(); block.isValid();
           block = block.next(), ++lines) {
        QTextCursor end(block);
        end.movePosition(QTextCursor::EndOfBlock);
        const QRect line = memo->cursorRect(end).translated(shown.topLeft());
        EXPECT_TRUE(shown.contains(line)) << lines << ": " << block.text().toStdString();
        EXPECT_LE(line.bottom(), Form12->BitBtn1->y()) << lines;
      }
      EXPECT_EQ(memo->document()->lastBlock().text(),
                QString::fromUtf8("    対 局 し ま す か ？"));
      for (const QPushButton* button : {Form12->BitBtn1, Form12->BitBtn2}) {
        EXPECT_TRUE(Form12->rect().contains(button->geometry()));
      }
      Form12->BitBtn2->click();
    });
  }
}

TEST_F(ChallengeDialogTest, TheDialogSitsNearTheTopRight) {
  Start();
  EXPECT_EQ(WindowTop(Form12), 1);
  EXPECT_EQ(WindowLeft(Form12), ScreenWidth() - WindowWidth(Form12) - 200);
  EXPECT_EQ(Form12->size(), QSize(584, 451));
}
