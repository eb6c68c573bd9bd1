// client/board/board_room.cpp — the board window in the analysis room: entering it, the input
// right and its hand-over, the idle release, the members and the registration list, the room chat,
// the game it follows, the operator's first-colour and input-kind buttons, and leaving.
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <string>

#include "client/board/board_window.h"
#include "client/board/model/record_main_line.h"
#include "client/board/model/room_snapshot.h"
#include "client/board/picture_button.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/connection/lobby_window.h"
#include "client/views/counting_board.h"
#include "client/views/diagram_viewer.h"
#include "client/views/game_list_board.h"
#include "client/views/mark_toolbar.h"
#include "platform/cp932.h"
#include "platform/memo_colors.h"
#include "platform/qt_text.h"
#include "platform/status_bar.h"
#include "platform/window_state.h"
#include "protocol/tag_message.h"

namespace {
// Memo colours of the record's names: white with names, pale green without.
constexpr unsigned kNamedColour = 0xFFFFFF;
constexpr unsigned kUnnamedColour = 0xF0FFF0;
// Image29: presses above this y follow a game, below it read the clipboard.
constexpr int kFollowPartHeight = 32;
// The leave button in the room: below the buttons of every mode, clear of the room's panel.
constexpr QPoint kRoomLeaveButton(406, 300);
// The indicator square of the input-kind and first-colour buttons.
const QRect kIndicator(9, 26, 4, 4);

// Text without the blanks and line breaks in front of it.
std::string WithoutLeadingSpace(std::string text) {
  std::size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  return text.substr(first);
}

// The selected one of two indicator buttons shows a black dot, the other a white square.
void PaintIndicator(PictureButton* button, bool selected) {
  QImage picture = button->Picture();
  if (picture.isNull()) return;
  {
    QPainter painter(&picture);
    painter.fillRect(kIndicator, Qt::white);
    if (selected) {
      painter.setRenderHint(QPainter::Antialiasing);
      painter.setPen(Qt::black);
      painter.setBrush(Qt::black);
      painter.drawEllipse(QRectF(kIndicator).adjusted(0, 0, -0.5, -0.5));
    }
  }
  button->SetPicture(picture);
}

// Presses on the room's panels and on the registration list reach the window's handlers.
class RoomPressFilter : public QObject {
 public:
  explicit RoomPressFilter(TForm4* form) : QObject(form), form_(form) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonPress) return false;
    const auto* press = static_cast<QMouseEvent*>(event);
    if (watched == form_->Memo9->viewport()) {
      const int line = form_->Memo9->cursorForPosition(press->position().toPoint()).blockNumber();
      form_->Memo9MouseDown((press->modifiers() & Qt::ControlModifier) != 0, line);
      return true;
    }
    if (press->button() != Qt::LeftButton) return false;
    if (watched == form_->Panel6) {
      form_->Panel6Click();
    } else if (watched == form_->Panel7) {
      form_->Panel7Click();
    } else if (watched == form_->Panel4) {
      form_->Panel4Click();
    }
    return false;
  }

 private:
  TForm4* form_;
};

}  // namespace

void TForm4::ConnectRoomControls() {
  auto* filter = new RoomPressFilter(this);
  for (QObject* watched : {static_cast<QObject*>(Memo9->viewport()), static_cast<QObject*>(Panel4),
                           static_cast<QObject*>(Panel6), static_cast<QObject*>(Panel7)}) {
    watched->installEventFilter(filter);
  }
  Memo9->setCursorWidth(0);
  Memo7->setCursorWidth(0);
  Image21->OnClick = [this] { Image21Click(); };
  Image22->OnClick = [this] { Image22Click(); };
  Image23->OnClick = [this] { Image23Click(); };
  Image24->OnClick = [this] { Image24Click(); };
  Image25->OnClick = [this] { Image25Click(); };
  Image26->OnClick = [this] { Image26Click(); };
  Image27->OnClick = [this] { Image27Click(); };
  Image28->OnClick = [this] { Image28Click(); };
  Image29->OnMouseDown = [this](Qt::MouseButton, int, int y) { Image29MouseDown(y); };
  Image29->OnMouseMove = [this](int, int y) { Image29MouseMove(y); };
  Image29->setMouseTracking(true);
  // Only the user's choice of a size acts; the program's own selections do not.
  connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
}

// ---------------------------------------------------------------------------------------------
// Entering, the members and the registration list

void TForm4::StartDiscussRoom(const std::string& message) {
  ResetBoardForm();
  Form7->hide();
  Form15->hide();
  // Every part where the server put it: nothing in the chat, the record or the diagrams can pass
  // for a tag.
  const RoomSnapshot snapshot = ReadRoomSnapshot(message);
  RoomDiagramStore = snapshot.Diagrams;

  BoardMode = kBoardRoom;
  Memo7->clear();
  StatusBar1->SetPanelText(1, "0");
  Panel1->hide();
  Panel2->hide();
  Panel4->show();
  SetCaption(" [ " + Form2->UserName + J(" ]   ヌルカ - 検討室"));
  Form5->setWindowTitle(ToQt(Caption() + J("チャット")));

  StatusBar1->SetPanelText(2, J("入室者数 = ") + std::to_string(snapshot.MemberCount));
  RoomMemberList = WithoutLeadingSpace(snapshot.MemberList);
  StatusBar1->SetHint(RoomMemberList);
  ShowDiscussOperator(snapshot.Operator);

  // The room's record at the move the room shows, on the board of black's view (a white player
  // of the last game had the turned one).
  LoadViewBoardPicture(false);
  Room.EnterRoom(snapshot.Record, snapshot.MoveSuu);

  for (QWidget* shown : {static_cast<QWidget*>(Panel4), static_cast<QWidget*>(Image11),
                         static_cast<QWidget*>(Image17), static_cast<QWidget*>(Image21)}) {
    shown->show();
  }
  for (QWidget* hidden : {static_cast<QWidget*>(Panel1), static_cast<QWidget*>(Panel2),
                          static_cast<QWidget*>(Image12), static_cast<QWidget*>(Image14),
                          static_cast<QWidget*>(Image18), static_cast<QWidget*>(Image19),
                          static_cast<QWidget*>(Image22), static_cast<QWidget*>(Image24),
                          static_cast<QWidget*>(Image25), static_cast<QWidget*>(Image29),
                          static_cast<QWidget*>(Panel5), static_cast<QWidget*>(ComboBox1),
                          static_cast<QWidget*>(Label1)}) {
    hidden->hide();
  }
  Image17->move(kRoomLeaveButton);
  MinimizeWindow(Form6);

  Form5->ClearChat();
  if (!snapshot.ChatLog.empty()) {
    Form5->SetChatText(snapshot.ChatLog);
    SetWindowLeft(this, ScreenWidth() - WindowWidth(this));
    Form5->show();
  }
  show();
  ShowDiscussRegList("<<DiscussRegList=" + snapshot.RegList + ">>");
  MinimizeWindow(Form6);
  if (!snapshot.GameList.empty()) ReceiveDiscussGameList(snapshot.GameList);
}

void TForm4::ShowDiscussOperator(const std::string& name) {
  StatusBar1->SetPanelText(
      0, name.empty() ? J("入力登録者はありません") : "[ " + name + J(" ] ==> 入 力 操 作"));
}

void TForm4::ShowDiscussMembers(const std::string& message) {
  StatusBar1->SetPanelText(
      2, J("入室者数 = ") + std::to_string(GetTagNumber(message, "<<DiscussCount=", 0)));
  RoomMemberList = WithoutLeadingSpace(GetTagValue(message, "<<DiscussList="));
  StatusBar1->SetHint(RoomMemberList);
}

void TForm4::ShowDiscussRegList(const std::string& message) {
  const std::string list = WithoutLeadingSpace(GetTagValue(message, "<<DiscussRegList="));
  if (list.empty()) {
    Memo9->clear();
    return;
  }
  Memo9->setFocus();
  Memo9->setPlainText(ToQt(ReplaceAll(list, "\r\n", "\n")));
  Memo9MouseDown(false, 0);
}

void TForm4::Memo9MouseDown(bool ctrl, int line) {
  if (InputAllowed == 1 && ctrl && line > 0) {
    const std::string name = FromQt(Memo9->document()->findBlockByNumber(line).text());
    if (!name.empty() && Form2->Connected()) {
      HideOperatorControls();
      Form2->SendIfConnected("<<DiscussChange>><<Changer=" + name + ">>");
      return;
    }
  }
  // The first line (the holder) stays highlighted.
  QTextCursor first(Memo9->document()->firstBlock());
  first.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  Memo9->setTextCursor(first);
}

void TForm4::Panel4Click() {
  if (Memo9->toPlainText().isEmpty()) Memo9->clearFocus();
}

// ---------------------------------------------------------------------------------------------
// The input right

void TForm4::Image21Click() { Form2->SendIfConnected(GameTag + "<<DiscussReg>>"); }

void TForm4::GrantDiscussInput(const std::string& message) {
  InputAllowed = 1;
  StatusBar1->SetPanelText(0, J("[ 碁 盤 操 作 OK ]"));
  for (QWidget* shown : {static_cast<QWidget*>(Image22), static_cast<QWidget*>(Image24),
                         static_cast<QWidget*>(Image25), static_cast<QWidget*>(Image29),
                         static_cast<QWidget*>(Panel5), static_cast<QWidget*>(ComboBox1),
                         static_cast<QWidget*>(Label1)}) {
    shown->show();
  }
  Image21->hide();
  Form14->AllowGameChoice(true);
  ComboBox1->setCurrentIndex(BoardSize == 13 ? 1 : BoardSize == 9 ? 2 : 0);
  ShowDiscussRegList(message);
  Form15->hide();
  Room.RoomInputKind = kRoomInputMoves;
  DrawRoomInputKind();
  Room.AtStartFlag = MoveTop == SetupCount ? 1 : 0;
  DrawRoomFirstColour();
  if (Memo7->toPlainText().isEmpty()) SetMemoColor(Memo7, kUnnamedColour);
  RoomStartRecord = MoveTop <= 0 ? std::string() : Room.BuildRecord();
  IdleSeconds = 0;
}

void TForm4::HideOperatorControls() {
  InputAllowed = 0;
  Image21->show();
  for (QWidget* hidden : {static_cast<QWidget*>(Image22), static_cast<QWidget*>(Image24),
                          static_cast<QWidget*>(Image25), static_cast<QWidget*>(Image29),
                          static_cast<QWidget*>(Panel5), static_cast<QWidget*>(ComboBox1),
                          static_cast<QWidget*>(Label1)}) {
    hidden->hide();
  }
  Form14->AllowGameChoice(false);
  Form15->hide();
}

void TForm4::Image22Click() {
  HideOperatorControls();
  Form2->SendIfConnected("<<DiscussCanEnd>>");
}

void TForm4::TickRoomIdle() {
  if (BoardMode != kBoardRoom || InputAllowed != 1 || !IdleTick(IdleSeconds)) return;
  HideOperatorControls();
  Form2->SendIfConnected("<<DiscussCanEnd>>");
}

// ---------------------------------------------------------------------------------------------
// Room chat

void TForm4::ReceiveDiscussChat(const std::string& message) {
  Form5->AddChatLine(GetTagValue(message, "<<DiscussMese="));
  if (HasTag(message, "<<DiaData=")) {
    const std::string number = GetTagValue(message, "<<DiaIndex=");
    RoomDiagramStore +=
        "\r\n{" + number + "}<<DiaData=" + GetTagValue(message, "<<DiaData=") + ">>";
    Form5->AddDiagramLink(number);
  }
  if (!Form5->isVisible()) {
    Form9->hide();
    Form5->show();
  }
}

// ---------------------------------------------------------------------------------------------
// The followed game

void TForm4::ReceiveDiscussGameList(const std::string& message) {
  Form14->ShowGameList(message, InputAllowed == 1, Form6->GameListLines());
}

void TForm4::ReceiveDiscussGameData(const std::string& message) { Form14->ShowGameData(message); }

void TForm4::Image29MouseDown(int y) {
  IdleSeconds = 0;
  if (y < kFollowPartHeight) {
    if (InputAllowed != 1) return;
    Form2->SendIfConnected(Form14->isVisible() ? "<<DiscussOffGame>>" : "<<DiscussCallGame>>");
    return;
  }
  const std::string text = ClientEnv().clipboard->Text();
  if (text.find("(;") == std::string::npos) {
    ClientShowMessage(J("クリップボードに棋譜データが見付かりません"));
    return;
  }
  // Every member reads the main line the operator's board shows.
  SendDiscussRecord(MainLineRecord(text));
}

void TForm4::Image29MouseMove(int y) {
  Image29->setToolTip(QString::fromUtf8(y < kFollowPartHeight ? " 対局室碁盤の表示[ON/OFF] "
                                                              : " クリップボードの読み込み "));
}

// ---------------------------------------------------------------------------------------------
// First colour and input kind (the operator's own, never sent)

void TForm4::DrawRoomInputKind() {
  PaintIndicator(Image23, Room.RoomInputKind == kRoomInputMoves);
  PaintIndicator(Image26, Room.RoomInputKind != kRoomInputMoves);
}

void TForm4::DrawRoomFirstColour() {
  PaintIndicator(Image27, BlackFirst);
  PaintIndicator(Image28, !BlackFirst);
}

namespace {
// The buttons act only for the operator while the board shows the setup position.
bool SetupButtonsAct(TForm4& form) {
  if (form.InputAllowed != 1) return false;
  if (form.SetupCount < form.MoveTop) form.Room.AtStartFlag = 0;
  return form.Room.AtStartFlag == 1;
}
}  // namespace

void TForm4::Image23Click() {
  if (!SetupButtonsAct(*this) || Room.RoomInputKind == kRoomInputMoves) return;
  Room.RoomInputKind = kRoomInputMoves;
  DrawRoomInputKind();
  Form15->hide();
}

void TForm4::Image26Click() {
  if (!SetupButtonsAct(*this) || Room.RoomInputKind == kRoomInputSetup) return;
  Room.RoomInputKind = kRoomInputSetup;
  DrawRoomInputKind();
  Form15->show();
}

void TForm4::Image27Click() {
  if (!SetupButtonsAct(*this) || BlackFirst) return;
  Room.ChooseFirstColour(true);
  DrawRoomFirstColour();
}

void TForm4::Image28Click() {
  if (!SetupButtonsAct(*this) || !BlackFirst) return;
  Room.ChooseFirstColour(false);
  DrawRoomFirstColour();
}

// ---------------------------------------------------------------------------------------------
// Leaving

bool TForm4::LeaveDiscussRoom(const std::string& refusal) {
  if (InputAllowed == 1) {
    ClientShowMessage(refusal);
    return false;
  }
  Form2->SendIfConnected("<<DiscussClose>>");
  Form15->hide();
  Form14->hide();
  hide();
  Form6->show();
  SetNormalState(Form6);
  BoardMode = kBoardIdle;
  return true;
}
