// client/connection/connect_window.cpp — the connect window, the settings file, the connection's
// events and the message reader.
#include "client/connection/connect_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "client/board/board_modes.h"
#include "client/board/board_window.h"
#include "client/board/model/territory_count.h"
#include "client/connection/challenge_dialog.h"
#include "client/connection/client_main_form.h"
#include "client/connection/client_program.h"
#include "client/connection/game_chat_window.h"
#include "client/connection/game_settings_dialog.h"
#include "client/connection/lobby_window.h"
#include "client/connection/message_board_window.h"
#include "client/connection/model/client_settings.h"
#include "client/connection/model/join_key_history.h"
#include "client/connection/model/lobby_texts.h"
#include "client/views/counting_board.h"
#include "client/views/game_list_board.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/memo_view.h"
#include "platform/qt_text.h"
#include "platform/status_bar.h"
#include "platform/window_state.h"
#include "protocol/join_key.h"
#include "protocol/tag_message.h"

TForm2* Form2 = nullptr;

namespace {
constexpr const char* kFont = "ＭＳ Ｐゴシック";
constexpr int kEnterKey = 13;

const std::string& NotConnectedText() { return J("サーバに接続していません！"); }
const std::string& WrongKeyText() { return J("参加キーが間違っています。 再入力して下さい。"); }

QLabel* MakeLabel(QWidget* parent, const char* text, int left, int top) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setFont(PixelFont(kFont, 16, true));
  label->move(left, top);
  label->adjustSize();
  return label;
}
}  // namespace

TForm2::TForm2() : ClientSocket1(ClientEnv().socket), hold_timer_(new QTimer(this)) {
  CreateControls();
  hold_timer_->setSingleShot(true);
  hold_timer_->setTimerType(Qt::PreciseTimer);
  hold_timer_->setInterval(MessageFramer::kHoldMilliseconds);
  connect(hold_timer_, &QTimer::timeout, this, [this] {
    // A read that arrived with the timer is handled first (reads reach the reader as queued
    // events): a message's tail may be in it. A read that brought another message that may
    // grow started the wait again.
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (!hold_timer_->isActive()) HandOverHeldMessage();
        },
        Qt::QueuedConnection);
  });
  // Fields.
  JoinKeyDigits = std::string(kJoinKeyDigits);
  AskEndFlag = 1;
  SavedTurnFlag = 0;
  ChallengePending = 0;
  UserName = DefaultUserName();
  AppDir = ClientEnv().program_folder;
  SaveDialogDir = AppDir;
  OpenDialogDir = AppDir;
  WaitHintText.clear();
  KuroTime = "15";
  SiroTime = "15";
  AddTime.assign(1, '0');
  Komi = "5.5";
  Wari = J("互先");
  JoinKeyCount = 0;
  BoardSizeText = "19";
  for (int i = 1; i <= 5; ++i) JoinKeys[static_cast<std::size_t>(i)] = "key" + std::to_string(i);
  // Settings and the key list.
  LoadClientSettings();
  FillJoinKeyList();
  // A join key on the clipboard (the server puts its key on its own machine's clipboard).
  const std::string clip = ClientEnv().clipboard->Text();
  if (clip.size() == 8) VantaKey->setEditText(ToQt(clip));

  ClientSocket1->SetListener(this);
}

TForm2::~TForm2() { ClientSocket1->SetListener(nullptr); }

void TForm2::CreateControls() {
  setWindowTitle(QString::fromUtf8(" ザンテ サーバ に 接続 "));
  setWindowIcon(ClientIcon());
  // No caption buttons: the window ends only through its two buttons.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(300, 300);
  setFont(PixelFont(kFont, 14));
  setAutoFillBackground(true);
  QPalette face = palette();
  face.setColor(QPalette::Window, QColor(246, 240, 228));
  setPalette(face);

  Label2 = MakeLabel(this, "参加キー", 28, 50);
  VantaKey = new QComboBox(this);
  VantaKey->setEditable(true);
  VantaKey->setInsertPolicy(QComboBox::NoInsert);
  VantaKey->setFont(PixelFont("ＭＳ ゴシック", 18));
  VantaKey->setGeometry(118, 44, 150, 30);

  Label1 = MakeLabel(this, "お名前：", 28, 106);
  Edit1 = new QLineEdit(this);
  Edit1->setFont(PixelFont(kFont, 17));
  Edit1->setGeometry(118, 100, 150, 30);
  connect(Edit1, &QLineEdit::returnPressed, this, [this] { Edit1KeyDown(kEnterKey); });

  CheckBox1 = new QCheckBox(QString::fromUtf8("観戦のみ"), this);
  CheckBox1->setGeometry(48, 160, 100, 24);
  CheckBox2 = new QCheckBox(QString::fromUtf8("終了確認"), this);
  CheckBox2->setGeometry(164, 160, 100, 24);
  CheckBox2->setChecked(true);

  BitBtn1 = new QPushButton(QString::fromUtf8("接  続"), this);
  BitBtn1->setFont(PixelFont(kFont, 16, true));
  BitBtn1->setGeometry(28, 218, 114, 44);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  BitBtn2 = new QPushButton(QString::fromUtf8("キャンセル"), this);
  BitBtn2->setFont(PixelFont(kFont, 16));
  BitBtn2->setGeometry(158, 218, 114, 44);
  connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });

  setTabOrder(VantaKey, Edit1);
  setTabOrder(Edit1, CheckBox1);
  setTabOrder(CheckBox1, CheckBox2);
  setTabOrder(CheckBox2, BitBtn1);
  setTabOrder(BitBtn1, BitBtn2);
  CentreWindow(this);
}

std::string TForm2::DefaultUserName() const { return ClientEnv().computer_name; }

std::string TForm2::VantaKeyText() const { return FromQt(VantaKey->currentText()); }

// ---- Settings file and key history ----------------------------------------------------------

void TForm2::LoadClientSettings() {
  const std::string path = JoinPath(AppDir, kClientSettingsFileName);
  if (!FileExists(path) || !Memo1.LoadFromFile(path)) return;
  ClientSettingsFile settings;
  settings.SaveDialogDir = SaveDialogDir;
  settings.OpenDialogDir = OpenDialogDir;
  settings.KuroTime = KuroTime;
  settings.SiroTime = SiroTime;
  settings.AddTime = AddTime;
  settings.Komi = Komi;
  settings.Wari = Wari;
  settings.BoardSizeText = BoardSizeText;
  settings.JoinKeys = JoinKeys;
  settings.JoinKeyCount = JoinKeyCount;
  ReadClientSettings(Memo1.Text(), settings);
  if (!settings.NameEdit.empty()) {
    UserName = settings.NameEdit;
    Edit1->setText(ToQt(UserName));
  }
  SaveDialogDir = settings.SaveDialogDir;
  OpenDialogDir = settings.OpenDialogDir;
  KuroTime = settings.KuroTime;
  SiroTime = settings.SiroTime;
  AddTime = settings.AddTime;
  Komi = settings.Komi;
  Wari = settings.Wari;
  BoardSizeText = settings.BoardSizeText;
  JoinKeys = settings.JoinKeys;
  JoinKeyCount = settings.JoinKeyCount;
  CheckBox1->setChecked(settings.OnlyWatch);
  AskEndFlag = settings.AskEnd ? 1 : 0;
  CheckBox2->setChecked(AskEndFlag == 1);
}

void TForm2::SaveClientSettings() {
  ClientSettingsFile settings;
  settings.NameEdit = FromQt(Edit1->text());
  settings.OnlyWatch = CheckBox1->isChecked();
  settings.AskEnd = CheckBox2->isChecked();
  settings.SaveDialogDir = SaveDialogDir;
  settings.OpenDialogDir = OpenDialogDir;
  if (Form3 != nullptr) {
    // The game settings as the dialog last held them.
    const GameSettingsValues values = Form3->Values();
    settings.KuroTime = values.BlackMinutes;
    settings.SiroTime = values.WhiteMinutes;
    settings.AddTime = values.AddedSeconds;
    settings.Komi = values.Komi;
    settings.Wari = values.Handicap;
    settings.BoardSizeText = BoardSizeTextOfIndex(values.SizeIndex);
  } else {
    settings.KuroTime = KuroTime;
    settings.SiroTime = SiroTime;
    settings.AddTime = AddTime;
    settings.Komi = Komi;
    settings.Wari = Wari;
    settings.BoardSizeText = BoardSizeTextOfIndex(BoardSizeIndexOfText(BoardSizeText));
  }
  settings.JoinKeys = JoinKeys;
  settings.JoinKeyCount = JoinKeyCount;
  Memo1.Clear();
  for (std::string& line : ClientSettingsLines(settings)) Memo1.Add(std::move(line));
  if (!Memo1.SaveToFile(JoinPath(AppDir, kClientSettingsFileName))) {
    ClientShowMessage(J("設定ファイルを保存できません (QuellVanta.dat)"));
  }
}

void TForm2::RememberJoinKey() { ::RememberJoinKey(JoinKeys, JoinKeyCount, VantaKeyText()); }

void TForm2::FillJoinKeyList() {
  VantaKey->clear();
  VantaKey->setEditText(QString());
  for (int i = 1; i <= JoinKeyCount; ++i) {
    VantaKey->addItem(ToQt(JoinKeys[static_cast<std::size_t>(i)]));
  }
  // Adding items selects the first one; the key box starts empty.
  VantaKey->setCurrentIndex(-1);
  VantaKey->setEditText(QString());
}

// ---- Window handlers -------------------------------------------------------------------------

void TForm2::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormShow();
}

void TForm2::FormShow() {
  if (VantaKey->currentText().isEmpty()) {
    VantaKey->setFocus();
  } else {
    BitBtn1->setFocus();
  }
}

void TForm2::Edit1KeyDown(int key) {
  if (key == kEnterKey) BitBtn1->setFocus();
}

void TForm2::closeEvent(QCloseEvent* event) {
  if (ClientMainForm->Closed()) {
    event->accept();
    return;
  }
  // The window has no close box; a close from the desktop is taken as cancel.
  event->ignore();
  BitBtn2Click();
}

void TForm2::BitBtn1Click() {
  const std::string key = VantaKeyText();
  if (key.empty()) {
    ClientShowMessage(J("参加キーを記入してください。"));
    return;
  }
  if (key.size() != 8 || !DecodeJoinKey(key)) {
    ClientShowMessage(WrongKeyText());
    VantaKey->setFocus();
    return;
  }
  if (!IsAcceptableLoginName(FromQt(Edit1->text()))) {
    ClientShowMessage(
        J("お名前に「<」「>」「[」「]」や制御文字は使えません。 別の名前を入力して下さい。"));
    Edit1->setFocus();
    return;
  }
  // A connection that is already open is waiting for the server's login answer.
  if (Connected()) return;
  AskEndFlag = CheckBox2->isChecked() ? 1 : 0;
  RememberJoinKey();
  OpenConnection(key);
}

void TForm2::BitBtn2Click() { ClientMainForm->Close(); }

bool TForm2::OpenConnection(std::string_view key) {
  const std::optional<std::string> address = DecodeJoinKey(key);
  if (!address) {
    ClientShowMessage(WrongKeyText());
    return false;
  }
  // The server speaks first: nothing is sent until its name prompt arrives.
  ClientSocket1->Open(*address, ClientEnv().port);
  return true;
}

bool TForm2::SendToServer(std::string_view text) {
  if (!Connected()) {
    ClientShowMessage(NotConnectedText());
    return false;
  }
  return ClientSocket1->Send(text);
}

bool TForm2::SendIfConnected(std::string_view text) { return ClientSocket1->Send(text); }

// ---- Connection events -----------------------------------------------------------------------

void TForm2::ClientSocket1Connect() {
  framer_.Reset();
  hold_timer_->stop();
  unread_.clear();
  // A new connection starts with no game: watching, challenging and the analysis room work again
  // after a reconnect; the board keeps its picture.
  Form4->ResetGameFlags();
  Form7->RealTimeMode = kNoSharedCount;
  SavedTurnFlag = 0;
  Form6->RequestAnswered();
  Form6->ShowConnectionState(J("サーバ 接 続 OK"));
  Form6->OfferReconnect(false);
  Form4->hide();
  Form5->hide();
}

void TForm2::ClientSocket1Disconnect() {
  // The board stops first: its clocks must not run on while the message waits for the user.
  Form4->ConnectionLost();
  Form6->ShowConnectionState(J("[ザンテ]サーバの接続が切れました！"));
  Form6->OfferReconnect(true);
  ClientShowMessage(J("[ ザ ン テ ] サーバの接続が切れました"));
  SetNormalState(Form6);
}

void TForm2::ClientSocket1Error(const std::string& message) {
  ClientShowMessage(J("[ザンテ]サーバに接続できません。") + "\n\n" + Cp932FromUtf8(message));
}

// ---- The message reader ----------------------------------------------------------------------

void TForm2::ClientSocket1Read(const std::string& bytes) {
  for (std::string& message : framer_.Feed(bytes)) unread_.push_back(std::move(message));
  // The wait for a tail starts again with every read.
  if (framer_.MayGrow()) {
    hold_timer_->start();
  } else {
    hold_timer_->stop();
  }
  ReadUnread();
}

void TForm2::HandOverHeldMessage() {
  hold_timer_->stop();
  for (std::string& message : framer_.Flush()) unread_.push_back(std::move(message));
  ReadUnread();
}

void TForm2::ReadUnread() {
  while (!unread_.empty()) {
    const std::string message = std::move(unread_.front());
    unread_.pop_front();
    ReadMessage(message);
  }
}

void TForm2::ReadMessage(const std::string& message) {
  ReaderState state;
  state.BoardMode = Form4->BoardMode;
  state.ClockState = Form4->ClockState;
  state.InputAllowed = Form4->InputAllowed;
  state.RealTimeMode = Form7->RealTimeMode;
  state.CountingBoardVisible = Form7->isVisible();
  for (ReaderAction action : RouteMessage(message, state)) Perform(action, message);
}

void TForm2::Perform(ReaderAction action, const std::string& m) {
  switch (action) {
    case ReaderAction::RealTimeCountEnd:
      Form7->RealTimeCountEnded();
      break;
    case ReaderAction::RealTimeRightChange:
      Form7->RealTimeRightChanged();
      break;
    case ReaderAction::RealTimeCountStart:
      Form7->RealTimeCountRequested();
      break;
    case ReaderAction::ApplyRealTimeCount:
      for (const ReceivedCountOperation& operation : ReadCountOperations(m)) {
        Form7->ApplyRealTimeCount(operation.Type, operation.Value);
      }
      break;

    case ReaderAction::StoreWaitHint:
      WaitHintText = GetTagValue(m, "<<WaitHint=");
      break;
    case ReaderAction::LoginRequest:
      LoginRequest();
      break;
    case ReaderAction::LoginAccepted:
      LoginAccepted(m);
      break;
    case ReaderAction::RefuseSameName:
      RefuseLogin(J("同名の参加者が居たため、ログインできません。       \n\n"
                    "Korvantaを再起動して、違う名前で接続して下さい"),
                  false);
      break;
    case ReaderAction::RefuseIdLimit:
      RefuseLogin(J("満員になったので、Kordraumにログインできません"), false);
      break;
    case ReaderAction::RefuseNotFound:
      RefuseLogin(J("登録されていないので、Kordraumにログインできません"), true);
      break;
    case ReaderAction::CallMessageBoard:
      CallMessageBoard();
      break;
    case ReaderAction::UpdateLobbyLists:
      UpdateLobbyLists(m);
      break;
    case ReaderAction::ServerMessage:
      ClientShowMessage(GetTagValue(m, "<<SysMese="));
      break;
    case ReaderAction::GameIsFull:
      ClientShowMessage(J("ただいま 満席 です。 (対局申し込みはできません)"));
      break;
    case ReaderAction::ChallengeCancelled:
      ClientShowMessage("[ " + GetTagValue(m, "<<Player2=") +
                        J(" ] さんへの対局申し込みは キャンセル されました。"));
      break;
    case ReaderAction::ChallengeUnreachable:
      ClientShowMessage("[ " + GetTagValue(m, "<<Player2=") +
                        J(" ] さんに連絡できません。暫くしてから再申し込み下さい。"));
      break;
    case ReaderAction::BoardLine:
      Form8->AddBoardLine(GetTagValue(m, "<<MainMese="));
      break;

    case ReaderAction::StartDiscussRoom:
      Form6->RequestAnswered();
      Form4->StartDiscussRoom(m);
      break;
    case ReaderAction::HideGameListBoard:
      Form14->hide();
      break;
    case ReaderAction::GrantDiscussInput:
      Form4->GrantDiscussInput(m);
      break;
    case ReaderAction::ShowDiscussMembers:
      Form4->ShowDiscussMembers(m);
      break;
    case ReaderAction::ShowDiscussRegList:
      Form4->ShowDiscussRegList(m);
      break;
    case ReaderAction::ShowDiscussOperator:
      Form4->ShowDiscussOperator(GetTagValue(m, "<<Discusser="));
      break;
    case ReaderAction::ReceiveDiscussChat:
      Form4->ReceiveDiscussChat(m);
      break;
    case ReaderAction::ApplyDiscussInput:
      Form4->ApplyDiscussInput(m);
      break;
    case ReaderAction::NoGameToFollow:
      ClientShowMessage(J("対局はありません。"));
      break;
    case ReaderAction::ReceiveDiscussGameList:
      Form4->ReceiveDiscussGameList(m);
      break;
    case ReaderAction::ReceiveDiscussGameData:
      Form4->ReceiveDiscussGameData(m);
      break;
    case ReaderAction::AddWatchMove:
      Form14->AddWatchMove(m);
      break;
    case ReaderAction::TakeBackWatchMove:
      Form14->TakeBackWatchMove();
      break;
    case ReaderAction::FollowedGameEnd:
      Form14->FollowedGameEnded(m);
      break;

    case ReaderAction::ChallengeReceived:
      Form12->ReceiveChallenge(m);
      break;
    case ReaderAction::GameStartCancelled:
      ClientShowMessage(J("相手の接続が切れたので、対局がキャンセルされました。"));
      break;
    case ReaderAction::StartPlayGame:
      Form4->StartPlayGame(m);
      break;
    case ReaderAction::MoveBackRequest:
      Form4->MoveBackRequested();
      break;
    case ReaderAction::ReceiveMove:
      Form4->ReceiveMoveOrUndo(m);
      break;
    case ReaderAction::GameChatLine:
      Form5->ReceiveGameChatLine(m);
      break;
    case ReaderAction::WatchStart:
      Form6->RequestAnswered();
      Form4->StartWatchGame(m);
      break;
    case ReaderAction::WatcherCount:
      Form4->ShowWatcherCount(GetTagNumber(m, "<<OnlyWatchCount="), GetTagValue(m, "<<WatchList="));
      break;
    case ReaderAction::GameEnd:
      Form4->GameEnded(m);
      break;
    case ReaderAction::WatcherLeft:
      Form4->ShowWatcherCount(GetTagNumber(m, "<<OutWatchCount="), GetTagValue(m, "<<WatchList="));
      break;
    case ReaderAction::OpponentTimeStop:
      Form4->OpponentTimeStop(m);
      break;
  }
}

void TForm2::LoginRequest() {
  const std::string typed = FromQt(Edit1->text());
  if (!typed.empty()) UserName = typed;
  const int mode = CheckBox1->isChecked() ? kPlayerWatchOnly : kPlayerMayPlay;
  ClientSocket1->Send("<<QuellName=" + UserName + ">><<IdFlag=" + std::to_string(mode) + ">>");
}

void TForm2::LoginAccepted(const std::string& m) {
  ApplicationTitle() = "[ " + UserName + J(" ]  ヌルカ - Korvanta");
  Form6->setWindowTitle(ToQt(" [" + UserName + J("]  ヌルカ - 待合室")));
  Form8->setWindowTitle(ToQt(" [" + UserName + J("]  ヌルカ - 伝言板")));
  UpdateLobbyLists(m);
  if (HasTag(m, "<<MainStr=")) {
    Form8->SetBoardText(GetTagValue(m, "<<MainStr="));
    Form8->ToggleMessageBoard();
  }
  hide();
  Form6->SetWatchOnly(CheckBox1->isChecked());
  // No own game runs at a login: the box takes clicks, also after a reconnect.
  Form6->SetWatchOnlyEnabled(true);
  Form6->show();
}

void TForm2::RefuseLogin(std::string_view text, bool only_before_login) {
  // Before the login was accepted the program cannot go on; a late "not registered" only tells.
  const bool before_login = isVisible();
  ClientShowMessage(text);
  if (!only_before_login || before_login) ClientMainForm->Close();
}

void TForm2::CallMessageBoard() {
  SetWindowLeft(Form6, 2);
  SetNormalState(Form6);
  Form8->show();
  if (!Form7->isVisible()) BringToFront(Form8);
}

bool TForm2::ShowChallengeDialog(const std::string& caption, const std::string& text) {
  return Form12->ShowOffer(caption, text);
}

void TForm2::UpdateLobbyLists(std::string_view m) { Form6->ApplyLobbyLists(m); }
