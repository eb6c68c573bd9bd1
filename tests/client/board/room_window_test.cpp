// Tests of the analysis room on the board window and of the game-list board, among the client's
// windows on a scripted connection: entering from the snapshot, the input right with its controls,
// the idle release (also while a dialog or question is open), hand-over, inputs sent and applied,
// records loaded, the size choice, the followed game and leaving. Messages come in through the
// reader.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>

#include "client/board/board_geometry.h"
#include "client/board/board_window.h"
#include "client/board/model/record_text.h"
#include "client/board/picture_button.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/connection/game_settings_dialog.h"
#include "client/connection/lobby_window.h"
#include "client/views/diagram_viewer.h"
#include "client/views/game_list_board.h"
#include "client/views/mark_toolbar.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/qt_text.h"
#include "platform/status_bar.h"
#include "platform/window_state.h"
#include "tests/client/connection/client_windows_fixture.h"

namespace {

using Texts = std::vector<std::string>;

int P(const char* letters, int size = 19) { return LettersToPoint(letters[0], letters[1], size); }

// The room's snapshot as the server writes it.
struct Snapshot {
  std::string holder, count = "2", members = "\r\nJiro\r\nTaro\r\n", chat, regList = "\r\n", record,
                      moveSuu, gameList, diagrams;
  std::string Text() const {
    return "<<DiscussEnter>><<Discusser=" + holder + ">><<DiscussCount=" + count +
           ">><<DiscussList=" + members + ">><<DiscussMese=" + chat +
           ">><<DiscussRegList=" + regList + ">>" + record + moveSuu + gameList +
           "<<DiscussDia=" + diagrams + ">><<DraumEND>>";
  }
};

std::string Panel(int index) { return Form4->StatusBar1->PanelText(index); }

// The board window shows the grid of `size` lines: its last column is drawn (between the first
// two rows, where no test puts a stone), and for a smaller board the last column of 19 lines is
// not.
void ExpectGridOf(int size, const std::string& step) {
  const BoardGeometry& grid = GeometryOf(size);
  const int y = grid.FirstLine() + grid.CellSize / 2;
  const QImage& surface = Form4->BoardSurface();
  EXPECT_EQ(Form4->BoardSize, size) << step;
  EXPECT_EQ(Form4->Canvas().Geometry().Size, size) << step;
  EXPECT_EQ(surface.pixelColor(grid.LastLine(), y), QColor(Qt::black)) << step;
  if (size != 19) {
    EXPECT_NE(surface.pixelColor(GeometryOf(19).LastLine(), y), QColor(Qt::black)) << step;
  }
}

// A mouse event of the left button at `local` on `widget`, delivered as the window system would
// (a control that does not take it hands it to the window).
void SendMouse(QWidget* widget, QEvent::Type type, QPoint local, Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), Qt::LeftButton, held,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

// The colour in the middle of a button's indicator square.
QColor Indicator(const PictureButton* button) { return button->Picture().pixelColor(11, 28); }

// A file dialog that waits on the idle clock for `ticks` seconds before it answers.
class SlowFileDialogs : public ScriptedFileDialogs {
 public:
  int ticks = 0;
  std::string ChooseOpenFileFollowed(std::string_view title, const std::string& folder,
                                     std::string_view filter, OpenDialogEvents& events) override {
    for (int i = 0; i < ticks; ++i) Form4->Timer1Timer();
    return ScriptedFileDialogs::ChooseOpenFileFollowed(title, folder, filter, events);
  }
};

// Questions that wait on the idle clock for `ticks` seconds before they are answered.
class SlowPrompts : public ScriptedPrompts {
 public:
  int ticks = 0;
  bool AskYesNo(std::string_view text, std::string_view caption) override {
    for (int i = 0; i < ticks; ++i) Form4->Timer1Timer();
    return ScriptedPrompts::AskYesNo(text, caption);
  }
};

class RoomWindowTest : public ClientWindowsTest {
 protected:
  RoomWindowTest() { env_.prompts = &slow_prompts_; }
  void SetUp() override {
    StartAndLogIn("Taro");
    Form4->Timer1->stop();  // the idle clock ticks only when a test says so
    Form3->OpenDialog1 = &dialogs_;
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& shown : slow_prompts_.shown()) texts.push_back(shown.text);
    slow_prompts_.Forget();
    return texts;
  }
  void Enter(const Snapshot& snapshot = Snapshot()) {
    socket_.Deliver(snapshot.Text());
    Sent();
  }
  // Enters and receives the input right, with Jiro waiting after Taro.
  void EnterAsOperator(const Snapshot& snapshot = Snapshot()) {
    Enter(snapshot);
    socket_.Deliver("<<DiscussCanPlay>><<DiscussRegList=\r\nTaro\r\nJiro\r\n>>");
    Sent();
  }
  void Click(int point, Qt::KeyboardModifiers keys = Qt::NoModifier,
             Qt::MouseButton button = Qt::LeftButton) {
    Form4->PaintBox1MouseDown(button, keys, Form4->PointToPixelX(point),
                              Form4->PointToPixelY(point));
  }
  static bool OperatorControlsShown() {
    return Form4->Image22->isVisibleTo(Form4) && Form4->Panel5->isVisibleTo(Form4) &&
           Form4->Image24->isVisibleTo(Form4) && !Form4->Image21->isVisibleTo(Form4);
  }

  SlowPrompts slow_prompts_;
  SlowFileDialogs dialogs_;
};

}  // namespace

TEST_F(RoomWindowTest, EnteringShowsTheRoomAsTheSnapshotHasIt) {
  Snapshot s;
  s.holder = "Jiro";
  // Chat lines and diagrams that look like tags change nothing.
  s.chat = J("[ Jiro ]：<<Discusser=X<<MoveSuu=1\r\n{ 碁盤 4 }\r\n\r\n");
  s.regList = "\r\nJiro\r\n";
  s.record = "<<DiscussKifu=(;GM[1]FF[1]SZ[19]PB[Sai]PW[Kuro];B[pd];W[dp];B[pq];W[dd];B[fc])>>";
  s.moveSuu = "<<MoveSuu=3>>";
  s.gameList = J("<<GameList=対局2,対局4,>><<GameData=(;SZ[19]PB[a]PW[b];[dd];[pp]>>");
  s.diagrams = "{4}<<DiaData=(;SZ[9]<<MoveSuu=9<<DraumEND>>";
  Enter(s);
  EXPECT_EQ(Form4->BoardMode, kBoardRoom);
  EXPECT_EQ(Form4->Caption(), J(" [ Taro ]   ヌルカ - 検討室"));
  EXPECT_EQ(Panel(0), J("[ Jiro ] ==> 入 力 操 作"));
  EXPECT_EQ(Panel(2), J("入室者数 = 2"));
  EXPECT_EQ(Form4->StatusBar1->Hint(), "Jiro\r\nTaro\r\n");
  EXPECT_EQ(Form4->MoveTop, 3);  // the room shows move 3 of 5
  EXPECT_EQ(Form4->BufferLength, 5);
  EXPECT_TRUE(Form4->NumbersOn);
  EXPECT_EQ(FromQt(Form4->Memo7->toPlainText()), "Sai\nKuro");
  EXPECT_EQ(Form5->ChatLogText(), s.chat);
  EXPECT_TRUE(Form5->isVisible());
  EXPECT_EQ(Form4->RoomDiagramStore, s.diagrams);
  EXPECT_EQ(FromQt(Form4->Memo9->textCursor().selectedText()), "Jiro");
  EXPECT_TRUE(Form4->Image21->isVisibleTo(Form4));
  EXPECT_FALSE(Form4->Image22->isVisibleTo(Form4));
  EXPECT_FALSE(Form4->Panel5->isVisibleTo(Form4));
  EXPECT_FALSE(Form4->Panel1->isVisibleTo(Form4));
  EXPECT_TRUE(Form4->Image17->isVisibleTo(Form4));
  EXPECT_TRUE(IsMinimized(Form6));
  // The followed game: two games to choose among, none for a member.
  EXPECT_TRUE(Form14->isVisible());
  EXPECT_EQ(Form14->GameChoiceCount(), 2);
  EXPECT_EQ(Form14->ChosenGame(), J("対局2"));
  EXPECT_FALSE(Form14->ComboBox1->isEnabled());
  EXPECT_EQ(Form14->Caption, J("2手  対局中"));

  // Registering asks the server; the queue and the operator follow from the server.
  Form4->Image21Click();
  EXPECT_EQ(Sent(), Texts{"<<DiscussReg>>"});
  socket_.Deliver("<<OnlyRegList>><<DiscussRegList=\r\n>><<Discusser=>><<CanEnd>>");
  EXPECT_EQ(Panel(0), J("入力登録者はありません"));
  EXPECT_TRUE(Form4->Memo9->toPlainText().isEmpty());
  EXPECT_FALSE(Form14->isVisible());
}

TEST_F(RoomWindowTest, AnOpenDialogOrQuestionDoesNotOutlastTheIdleRelease) {
  EnterAsOperator();
  EXPECT_EQ(Panel(0), J("[ 碁 盤 操 作 OK ]"));
  EXPECT_TRUE(OperatorControlsShown());
  EXPECT_EQ(Indicator(Form4->Image23), QColor(Qt::black));
  EXPECT_EQ(Indicator(Form4->Image26), QColor(Qt::white));
  // The first colour is the operator's own choice, shown by its dot.
  Form4->Image28Click();
  EXPECT_EQ(Indicator(Form4->Image28), QColor(Qt::black));
  EXPECT_EQ(Indicator(Form4->Image27), QColor(Qt::white));
  const std::string path = WorkPathOf("game.sgf");
  ASSERT_TRUE(WriteWholeFile(path, "(;GM[1]FF[1]SZ[19];B[pd];W[dp])"));
  // The dialog restarts the count: 60 seconds in it keep the right, and the file is shared.
  dialogs_.ticks = 60;
  dialogs_.QueueAnswer(path);
  Form4->Image24Click();
  EXPECT_EQ(Form4->MoveTop, 2);
  Texts sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].substr(0, 41), "<<DiscussInput>><<Type=11>><<DiscussKifu=");
  // 61 seconds in it end the right: nothing is loaded or sent after it closes.
  Form4->Room.LoadRecord("");
  dialogs_.ticks = 61;
  dialogs_.QueueAnswer(path);
  Form4->Image24Click();
  EXPECT_EQ(Form4->MoveTop, 0);
  EXPECT_EQ(Sent(), Texts{"<<DiscussCanEnd>>"});

  // The size question likewise.
  socket_.Deliver("<<DiscussCanPlay>><<DiscussRegList=\r\nTaro\r\n>>");
  Form2->AskEndFlag = 1;
  slow_prompts_.ticks = 61;
  slow_prompts_.QueueAnswer(true);
  Form4->ComboBox1->setCurrentIndex(2);
  Form4->ComboBox1Change();
  EXPECT_EQ(Form4->BoardSize, 19);
  EXPECT_EQ(Form4->ComboBox1->currentIndex(), 0);
  EXPECT_EQ(Sent(), Texts{"<<DiscussCanEnd>>"});
  EXPECT_FALSE(OperatorControlsShown());
  for (int i = 0; i < 100; ++i) Form4->Timer1Timer();
  EXPECT_TRUE(Sent().empty());  // a member has no idle count
}

TEST_F(RoomWindowTest, CtrlClickOnAMemberLineHandsTheRightOver) {
  EnterAsOperator();
  ASSERT_EQ(FromQt(Form4->Memo9->toPlainText()), "Taro\nJiro\n");
  // The first line, an empty line and a click without Ctrl hand nothing over.
  for (const auto& [ctrl, line] : {std::pair{true, 0}, std::pair{true, 2}, std::pair{false, 1}}) {
    Form4->Memo9MouseDown(ctrl, line);
    EXPECT_TRUE(Sent().empty()) << line;
    EXPECT_EQ(FromQt(Form4->Memo9->textCursor().selectedText()), "Taro") << line;
    EXPECT_EQ(Form4->InputAllowed, 1);
  }
  Form4->Memo9MouseDown(true, 1);
  EXPECT_EQ(Sent(), Texts{"<<DiscussChange>><<Changer=Jiro>>"});
  EXPECT_EQ(Form4->InputAllowed, 0);
  EXPECT_FALSE(OperatorControlsShown());
}

TEST_F(RoomWindowTest, RoomChatKeepsItsDiagramsApartAndSendsTheTypedLine) {
  Enter();
  Form5->hide();
  Form9->show();
  socket_.Deliver(
      J("<<DiscussMese=[ Jiro ]：ここは？\r\n>><<DiaIndex=4>><<DiaData=(;SZ[9]AB[ee])>>"));
  // The chat comes up in place of the viewer; the diagram goes to the room's store, its link
  // follows its line.
  EXPECT_TRUE(Form5->isVisible());
  EXPECT_FALSE(Form9->isVisible());
  EXPECT_EQ(Form4->RoomDiagramStore, "\r\n{4}<<DiaData=(;SZ[9]AB[ee])>>");
  EXPECT_EQ(Form4->DiagramStore, "");
  EXPECT_EQ(Form5->Memo1Lines.Lines(), (Texts{J("[ Jiro ]：ここは？"), J("{ 碁盤 4 }"), ""}));
  // A typed line goes to the room, not to a game.
  Form4->Edit1->setText(QString::fromUtf8("なるほど"));
  Form4->Edit1KeyDown(13);
  EXPECT_EQ(Sent(), Texts{J("<<DiscussMese=[ Taro ]：なるほど\r\n>>")});
  EXPECT_NE(Form5->Memo1Lines.IndexOf(J("[ Taro ]：なるほど")), -1);
}

TEST_F(RoomWindowTest, RecordsFromTheClipboardAndTheStartRecord) {
  Snapshot s;
  s.record = "<<DiscussKifu=(;SZ[19];B[pd];W[dp])>>";
  EnterAsOperator(s);
  EXPECT_NE(Form4->RoomStartRecord.find(";B[pd];W[dp])"), std::string::npos);
  clipboard_.SetText("no record here");
  Form4->Image29MouseDown(40);
  EXPECT_EQ(Messages(), Texts{J("クリップボードに棋譜データが見付かりません")});
  clipboard_.SetText("(;SZ[9];B[ee])");
  Form4->Image29MouseDown(40);
  EXPECT_EQ(Form4->BoardSize, 9);
  EXPECT_EQ(Sent(), Texts{"<<DiscussInput>><<Type=11>><<DiscussKifu=(;SZ[9];B[ee])>>"});
  // Another program's record: its main line goes to the members, white's first move marked.
  clipboard_.SetText("(;FF[4]SZ[9]AB[cc][gg]C[x];W[ee]C[y](;B[dd];W[ff])(;B[ff]))");
  Form4->Image29MouseDown(40);
  EXPECT_EQ(Sent(), Texts{"<<DiscussInput>><<Type=11>><<DiscussKifu=(;FF[4]SZ[9]AB[cc][gg]"
                          ";W[ee];B[dd];W[ff])/<SiroSaki>/>>"});
  EXPECT_EQ(Form4->MoveTop, 5);
  EXPECT_FALSE(Form4->BlackFirst);
  Form4->Image25Click();
  EXPECT_EQ(Form4->BoardSize, 19);
  EXPECT_EQ(Form4->MoveTop, 2);
  // The upper part follows a game.
  Form4->Image29MouseDown(10);
  EXPECT_EQ(Sent().back(), "<<DiscussCallGame>>");
}

TEST_F(RoomWindowTest, TheOperatorCannotLeaveAMemberLeavesToTheLobby) {
  EnterAsOperator();
  Form4->Image17Click();
  EXPECT_EQ(Messages(), Texts{J("[入力完了]ボタンを先にクリックしてください")});
  EXPECT_FALSE(Form4->FormCloseQuery());
  EXPECT_EQ(Messages(), Texts{J("[入力完了] ボタンを先にクリックしてください")});
  EXPECT_TRUE(Form4->isVisible());
  EXPECT_TRUE(Sent().empty());
  Form4->Image22Click();
  EXPECT_EQ(Sent(), Texts{"<<DiscussCanEnd>>"});
  EXPECT_TRUE(Form4->FormCloseQuery());
  EXPECT_EQ(Sent(), Texts{"<<DiscussClose>>"});
  EXPECT_EQ(Form4->BoardMode, kBoardIdle);
  EXPECT_FALSE(Form4->isVisible());
  EXPECT_TRUE(Form6->isVisible());
  EXPECT_FALSE(IsMinimized(Form6));
}

TEST_F(RoomWindowTest, TheGameListBoardFollowsTheRoomsGame) {
  EnterAsOperator();
  socket_.Deliver(J("<<DiscussCallGame>><<GameList=対局2,対局4,対局5>>") +
                  "<<GameData=(;SZ[19]PB[a]PW[b];[dd];[pp]>>");
  EXPECT_TRUE(Form14->isVisible());
  EXPECT_EQ(Form14->GameChoiceCount(), 2);  // no comma after the last: dropped
  EXPECT_TRUE(Form14->ComboBox1->isEnabled());
  socket_.Deliver("<<DisCussGameMove=" + std::to_string(P("dp")) + ">>");
  EXPECT_EQ(Form14->GameListCount, 3);
  EXPECT_EQ(FromQt(Form14->Panel1->text()), J("3手   対局中"));
  socket_.Deliver("<<DisCussMoveBack>>");
  EXPECT_EQ(Form14->GameListCount, 2);
  socket_.Deliver("<<Status>><<PlayList=>><<DiscussGameEnd>><<Result=W>>");
  EXPECT_EQ(FromQt(Form14->Panel1->text()), J("2手 まで終局"));
  EXPECT_NE(Form14->Hint.find(J(" 白中押勝")), std::string::npos);

  // The program's own selection sends nothing; the user's choice does.
  Sent();
  Form14->ComboBox1->setCurrentIndex(1);
  EXPECT_TRUE(Sent().empty());
  emit Form14->ComboBox1->activated(1);
  EXPECT_EQ(Sent(), Texts{"<<DiscussChangeGame>><<Index=4>>"});
  socket_.Deliver(J("<<DiscussChangeGame>><<Index=3>><<GameData=(;SZ[9];[ee]>>"));
  EXPECT_EQ(Form14->GameChoiceCount(), 0);  // 対局3 is not in the list
  EXPECT_EQ(Form14->GameListBoardSize, 9);

  // The choice follows the input right.
  Form4->Image22Click();
  EXPECT_FALSE(Form14->ComboBox1->isEnabled());
  emit Form14->ComboBox1->activated(0);
  EXPECT_EQ(Sent(), Texts{"<<DiscussCanEnd>>"});
  socket_.Deliver("<<DiscussCanPlay>><<DiscussRegList=\r\nTaro\r\n>>");
  EXPECT_TRUE(Form14->ComboBox1->isEnabled());
  Sent();

  // The operator's double click shares the shown game.
  Form14->FormDblClick();
  EXPECT_EQ(Sent(), Texts{"<<DiscussInput>><<Type=11>><<DiscussKifu=(;SZ[9];[ee]>>"});
  EXPECT_EQ(Form4->Board[P("ee", 9)], kBlack);

  // Showing it placed the board window low; once the user moved it, hiding leaves it there.
  EXPECT_EQ(WindowTop(Form4), ScreenHeight() - WindowHeight(Form4) - 5);
  SetWindowTop(Form4, 40);
  socket_.Deliver("<<DiscussOffGame>>");
  EXPECT_FALSE(Form14->isVisible());
  EXPECT_EQ(Form14->GameListAutoPlace, 0);
  EXPECT_EQ(WindowTop(Form4), 40);
}

TEST_F(RoomWindowTest, ADoubleClickOnTheDiagramViewerLoadsItOnlyForTheOperator) {
  const std::string diagram = "SZ[9]AB[cc]/<SiroSaki>/;B[ee];W[ge]";
  Enter();
  Form9->ShowDiagram(diagram, "1");
  Form9->FormDblClick();
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(Form4->BoardSize, 19);

  socket_.Deliver("<<DiscussCanPlay>><<DiscussRegList=\r\nTaro\r\n>>");
  Sent();
  Form9->FormDblClick();
  EXPECT_EQ(Sent(), Texts{"<<DiscussInput>><<Type=11>><<DiscussKifu=(;" + diagram + ">>"});
  EXPECT_EQ(Form4->BoardSize, 9);
  EXPECT_EQ(Form4->Board[P("cc", 9)], kBlack);
}

TEST_F(RoomWindowTest, TheRoomsBoardHasTheSizeOfItsRecordOnEveryMembersBoard) {
  // Coming from a game on 9 lines into a room without a record: an empty board of 19 lines, on
  // which the holder's stones land where the holder put them.
  Form4->SetBoardSize(9);
  Enter();
  ExpectGridOf(19, "empty room");
  EXPECT_EQ(Form4->MoveTop, 0);
  socket_.Deliver("<<DiscussInput>><<Value=" + std::to_string(P("ss")) + ">><<Type=1>>");
  EXPECT_EQ(Form4->Board[P("ss")], kBlack);
  ASSERT_TRUE(Form4->FormCloseQuery());

  // Entering a room whose record has 13 lines, a record of 9 loaded, a size change to 13, a
  // record without a size.
  Snapshot s;
  s.record = "<<DiscussKifu=(;GM[1]FF[1]SZ[13]PB[a]PW[b];B[dd];W[jj])>>";
  Enter(s);
  ExpectGridOf(13, "snapshot of 13 lines");
  EXPECT_EQ(Form4->Board[P("jj", 13)], kWhite);
  socket_.Deliver("<<DiscussInput>><<Type=11>><<DiscussKifu=(;GM[1]FF[1]SZ[9];B[cc];W[ee])>>");
  ExpectGridOf(9, "record of 9 lines");
  EXPECT_EQ(Form4->MoveTop, 2);
  socket_.Deliver("<<DiscussInput>><<Type=50>><<Value=13>>");
  ExpectGridOf(13, "size change");
  EXPECT_EQ(Form4->MoveTop, 0);
  socket_.Deliver("<<DiscussInput>><<Type=11>><<DiscussKifu=(;GM[1]FF[1];B[dd])>>");
  ExpectGridOf(19, "record without a size");
  EXPECT_EQ(Form4->Board[P("dd")], kBlack);

  // The operator's record file of 13 lines: the size choice follows the board.
  socket_.Deliver("<<DiscussCanPlay>><<DiscussRegList=\r\nTaro\r\n>>");
  Sent();
  const std::string path = WorkPathOf("thirteen.sgf");
  ASSERT_TRUE(WriteWholeFile(path, "(;GM[1]FF[4]SZ[13];B[dd];W[jj])"));
  dialogs_.QueueAnswer(path);
  Form4->Image24Click();
  ExpectGridOf(13, "record file of 13 lines");
  EXPECT_EQ(Form4->ComboBox1->currentIndex(), 1);
  const Texts sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_NE(sent[0].find("<<Type=11>><<DiscussKifu=(;GM[1]FF[1]SZ[13]"), std::string::npos);
}

TEST_F(RoomWindowTest, TheGameListBoardShowsTheFollowedGameAndItsCaptionKeepsItsClicks) {
  // Games 1 and 3 run; the room follows game 3.
  socket_.Deliver(J("<<Status>><<PlayList=[ 1 ]\r\n● a\r\n○ b\r\n[ 3 ]\r\n● c\r\n○ d\r\n>>"));
  Snapshot s;
  s.gameList = J("<<GameList=対局1,対局3,>><<GameData=(;SZ[19]PB[c]PW[d];[dd];[pp]>>");
  Enter(s);
  EXPECT_EQ(Form14->ChosenGame(), J("対局3"));
  Form14->move(300, 300);
  const QPoint start = Form14->pos();
  const auto dragFrom = [](QWidget* widget, QPoint at) {
    SendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseMove, at + QPoint(40, 20), Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, at + QPoint(40, 20), Qt::NoButton);
  };
  // A member's presses on the caption and on the game choice (which only the operator uses) leave
  // the window where it is.
  dragFrom(Form14->Panel1, QPoint(20, 10));
  dragFrom(Form14->ComboBox1, QPoint(20, 10));
  EXPECT_EQ(Form14->pos(), start);

  // The operator's double-click on the caption shares nothing; on the board it shares the game.
  socket_.Deliver("<<DiscussCanPlay>><<DiscussRegList=\r\nTaro\r\n>>");
  Sent();
  SendMouse(Form14->Panel1, QEvent::MouseButtonDblClick, QPoint(20, 10), Qt::LeftButton);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(Form4->MoveTop, 0);
  SendMouse(Form14, QEvent::MouseButtonDblClick, QPoint(100, 100), Qt::LeftButton);
  SendMouse(Form14, QEvent::MouseButtonRelease, QPoint(100, 100), Qt::NoButton);
  EXPECT_EQ(Sent(),
            Texts{"<<DiscussInput>><<Type=11>><<DiscussKifu=(;SZ[19]PB[c]PW[d];[dd];[pp]>>"});
  EXPECT_EQ(Form4->MoveTop, 2);
  // The board drags the window.
  dragFrom(Form14, QPoint(100, 100));
  EXPECT_EQ(Form14->pos(), start + QPoint(40, 20));
}
