// client/board/board_own_game.cpp — the board window in an own game: the game start, two-click
// moves, received moves and undo, clocks, pass, resign, stopping and restarting, the end of the
// game, leaving, the game chat line and the view toggles.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

#include "client/board/board_modes.h"
#include "client/board/board_window.h"
#include "client/board/model/own_game.h"
#include "client/board/model/record_text.h"
#include "client/board/picture_button.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/connection/lobby_window.h"
#include "client/connection/model/game_chat_texts.h"
#include "client/views/counting_board.h"
#include "client/views/diagram_viewer.h"
#include "client/views/game_list_board.h"
#include "platform/cp932.h"
#include "platform/memo_colors.h"
#include "platform/qt_text.h"
#include "platform/status_bar.h"
#include "platform/window_state.h"
#include "protocol/tag_message.h"

namespace {
constexpr unsigned kOwnMemoColour = 0xFFFFFF;       // this user's name, clock and prisoners
constexpr unsigned kOpponentMemoColour = 0xF0FFF0;  // the opponent's (pale green)
// The pass/resign button: a press at x up to this is a pass, beyond it a resignation.
constexpr int kPassHalfRight = 42;
constexpr int kEnterKey = 13;
constexpr int kChatPanel = 3;  // "チャット" in the status bar

bool Confirm(std::string_view question) {
  return ClientEnv().prompts->AskYesNo(question, J("Korvanta - 確認"));
}

void PlaySound(const char* file) { ClientEnv().sounds->Play(AssetPath(file)); }

const std::string& ListFullText() { return J("手数が上限に達したため、これ以上は打てません。"); }
const std::string& StoppedText() { return J("対局の進行が停止しました"); }

// Typed text that holds something besides blanks and control characters.
bool HasVisibleText(std::string_view typed) {
  return std::any_of(typed.begin(), typed.end(),
                     [](char c) { return static_cast<unsigned char>(c) > 0x20; });
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Game start

void TForm4::StartPlayGame(const std::string& m) {
  // Lobby lists; no other board stays open.
  Form2->UpdateLobbyLists(m);
  Form14->hide();
  Form6->SetWatchOnlyEnabled(false);
  Form7->CloseQuietly();
  restart_caption_timer_->stop();
  ResetBoardForm();
  // Who moves first.
  InputAllowed = HasTag(m, "<<GameStart-Play>>") ? 1 : 0;
  BoardMode = kBoardOwnGame;
  MoveSeconds = 0;
  // White sees the board from the other side.
  if (!HasTag(m, "<<Color=black>>")) {
    PlaysBlack = 0;
    BoardTurned = true;
  }
  // The size, or the picture of the view on the same size (a previous game may have left the
  // other view's picture).
  const int size = GetTagNumber(m, "<<BanSize=");
  if (IsBoardSize(size) && size != BoardSize) {
    SetBoardSize(size);
  } else {
    LoadViewBoardPicture(BoardTurned);
  }
  // The game's tag and the captions of the board and the chat.
  const std::string game = GetTagValue(m, "<<GameIndex=");
  GameTag = "<<GameIndex=" + game + ">>";
  SetCaption(" [ " + Form2->UserName + J(" ]   対局 ") + game + J("   ヌルカ - 碁盤"));
  Form5->setWindowTitle(
      ToQt(" [ " + Form2->UserName + J(" ]   対局 ") + game + J("   ヌルカ - チャット")));
  // Clocks; a clock without a limit keeps showing the reset text.
  const std::string black_time = GetTagValue(m, "<<KuroGameTime=");
  const std::string white_time = GetTagValue(m, "<<SiroGameTime=");
  BlackClock = MainTimeSeconds(black_time);
  WhiteClock = MainTimeSeconds(white_time);
  black_clock_limited_ = black_time != J("任意");
  white_clock_limited_ = white_time != J("任意");
  ShowClocks();
  RecordTimeText = RecordTimeProperty(BlackClock, WhiteClock);
  AddSeconds = AddedTimeSeconds(GetTagValue(m, "<<AddTime="));
  // Whose turn it is.
  StatusBar1->SetPanelText(
      0, InputAllowed == 1 ? OwnTurnText(PlaysBlack == 1) : WaitingTurnText(PlaysBlack == 1));
  // A start position (the handicap stones) keeps the size of the game.
  std::string start = GetTagValue(m, "<<KifuStartStr=");
  if (!start.empty()) {
    const std::size_t size_at = start.find("SZ[");
    if (size_at != std::string::npos) start.erase(size_at, 3);
    LoadKifuText(start);
    // The moves of a start position were replayed: the game goes on from them, no replay ends.
    ShowStateCaption("");
  } else {
    BlackFirst = InputAllowed == PlaysBlack;
  }
  // Names: this user's memos white, the opponent's pale green.
  const std::string opponent = GetTagValue(m, "<<OpName=");
  const bool black = PlaysBlack == 1;
  SetMemoText(Memo1, black ? Form2->UserName : opponent);
  SetMemoText(Memo4, black ? opponent : Form2->UserName);
  for (QLineEdit* memo : {Memo1, Memo2, Memo3}) {
    SetMemoColor(memo, black ? kOwnMemoColour : kOpponentMemoColour);
  }
  for (QLineEdit* memo : {Memo4, Memo5, Memo6}) {
    SetMemoColor(memo, black ? kOpponentMemoColour : kOwnMemoColour);
  }
  // The game's conditions.
  const std::string komi = GetTagValue(m, "<<GameKomi=");
  StatusBar1->SetPanelText(
      4, GameConditionsText(GetTagValue(m, "<<GameWari="), SetupCount > 0, komi, black_time,
                            BlackClock, WhiteClock, AddSeconds));
  KomiTenths = ParseKomi(komi);
  Form5->ClearChat();
  // The own game's buttons; the board comes to the front of the lobby.
  for (QWidget* shown :
       std::initializer_list<QWidget*>{Image12, Panel1, Panel2, Image14, Image18, Image19}) {
    shown->show();
  }
  for (QWidget* hidden : std::initializer_list<QWidget*>{Panel4, Image11, Image17}) {
    hidden->hide();
  }
  FormPaint();
  show();
  MinimizeWindow(Form6);
}

void TForm4::SetMemoText(QLineEdit* memo, const std::string& cp932) { memo->setText(ToQt(cp932)); }

void TForm4::ShowClocks() {
  if (black_clock_limited_) SetMemoText(Memo2, FormatClock(BlackClock));
  if (white_clock_limited_) SetMemoText(Memo5, FormatClock(WhiteClock));
}

// ---------------------------------------------------------------------------------------------
// Moves

void TForm4::SendGameMove() {
  const int point = ClickedPoint();
  if (CandidatePoint > 0 && point == CandidatePoint) {
    PlayConfirmedMove(point);
    return;
  }
  // A first click: the candidate moves to a point this user may play.
  if (!CheckMovePoint()) return;
  if (CandidatePoint > 0) EraseStone(CandidatePoint);
  DrawCandidateMarker(point);
  CandidatePoint = point;
}

void TForm4::DropCandidate() {
  if (CandidatePoint <= 0) return;
  const int point = CandidatePoint;
  CandidatePoint = 0;
  if (IsPlayingPoint(point, BoardSize) && Board[point] == kEmpty) EraseStone(point);
}

void TForm4::PlayConfirmedMove(int point) {
  // A move the server cannot hear is not played: the opponent would never get it.
  if (!CanSendGameAction()) {
    DropCandidate();
    return;
  }
  // The confirmed point is played only while it is still free for this user.
  if (!CheckMovePoint()) {
    DropCandidate();
    return;
  }
  if (!CanAppendEntry(MoveTop)) {
    ClientShowMessage(ListFullText());
    return;
  }
  CandidatePoint = 0;
  InputAllowed = 0;
  PendingPoint = point;
  const bool black = PlaysBlack == 1;
  if (black) {
    PlaceBlackStone();
  } else {
    PlaceWhiteStone();
  }
  int& clock = black ? BlackClock : WhiteClock;
  clock = ClampClock(static_cast<long long>(clock) + AddSeconds);
  ShowClocks();
  MoveTimes[MoveTop] = MoveTimeEntry(MoveSeconds, clock);
  MoveSeconds = 0;
  PlaySound("stone.wav");
  StatusBar1->SetPanelText(0, WaitingTurnText(black));
  // The server keeps every point in black's view.
  const int sent = BoardTurned ? TurnPoint(point, BoardSize) : point;
  Form2->SendToServer(GameTag + "<<Move=" + std::to_string(sent) + ">><<Color=" +
                      (black ? "black" : "white") + ">><<Time=" + std::to_string(clock) + ">>");
}

void TForm4::ReceiveMoveOrUndo(const std::string& m) {
  // An agreed undo takes back the newest move, whoever played it.
  if (HasTag(m, "<<MoveBack>>") && ((BoardMode == kBoardOwnGame && MoveTop > SetupCount) ||
                                    (BoardMode == kBoardWatching && BufferLength > SetupCount))) {
    if (BoardMode == kBoardOwnGame) {
      DropCandidate();
      MoveTimes[MoveTop] = 0;
      ReplayStepBack();
      // While the game is stopped the turn that comes back on restart flips.
      int& turn = ClockState == kClockRunning ? InputAllowed : Form2->SavedTurnFlag;
      turn = turn == 1 ? 0 : 1;
      const std::string text =
          turn == 1 ? OwnTurnText(PlaysBlack == 1) : WaitingTurnText(PlaysBlack == 1);
      if (ClockState == kClockRunning) {
        StatusBar1->SetPanelText(0, text);
      } else {
        SavedTurnText = text;
      }
    } else {
      if (MoveTop == BufferLength) ReplayStepBack();
      --BufferLength;
      StatusBar1->SetPanelText(0, std::to_string(BufferLength) + J("手の棋譜データがあります"));
    }
    Panel3->setText(QString::fromUtf8("一手戻りました"));
    return;
  }
  // A move that arrives while this user is to move is dropped.
  if (InputAllowed != 0) return;
  const int point = GetTagNumber(m, "<<Move=", -1);
  if (point < 0) {
    ClientShowMessage(J("着手受信エラー発生！"));
    return;
  }
  Panel3->clear();
  if (BoardMode == kBoardWatching) {
    ReceiveGameMove(point, m);
    return;
  }
  ReceiveOpponentMove(point, m);
}

void TForm4::ReceiveOpponentMove(int point, const std::string& m) {
  const bool black = PlaysBlack == 1;
  int& clock = black ? WhiteClock : BlackClock;
  if (AddSeconds > 0) {
    clock = ClampClock(static_cast<long long>(clock) + AddSeconds);
    ShowClocks();
  }
  if (point == 0) {
    OpponentPassed();
    return;
  }
  // The point must name a point of this board before it is turned or looked up.
  const std::string invalid = J("無効な着手を受信しました！");
  if (!IsPlayingPoint(point, BoardSize)) {
    ClientShowMessage(invalid + std::to_string(point));
    return;
  }
  if (BoardTurned) point = TurnPoint(point, BoardSize);
  if (!IsPlayablePoint(point) || !CanAppendEntry(MoveTop)) {
    ClientShowMessage(invalid + std::to_string(point));
    return;
  }
  DropCandidate();
  PendingPoint = point;
  clock = ClampClock(GetTagNumber(m, "<<Time=", 0));
  if (black) {
    PlaceWhiteStone();
  } else {
    PlaceBlackStone();
  }
  MoveTimes[MoveTop] = MoveTimeEntry(MoveSeconds, clock);
  MoveSeconds = 0;
  ShowClocks();
  GiveTurnToUser();
}

void TForm4::OpponentPassed() {
  Panel3->setText(QString::fromUtf8("相手がパスした"));
  DropCandidate();
  PlacePass();
  PendingPoint = 0;
  MoveSeconds = 0;
  GiveTurnToUser();
}

void TForm4::GiveTurnToUser() {
  // A move that crossed this user's stop on the way keeps the turn for the restart.
  if (ClockState == kClockRunning) {
    InputAllowed = 1;
    StatusBar1->SetPanelText(0, OwnTurnText(PlaysBlack == 1));
  } else {
    Form2->SavedTurnFlag = 1;
    SavedTurnText = OwnTurnText(PlaysBlack == 1);
  }
}

void TForm4::MoveBackRequested() { Panel3->setText(QString::fromUtf8("{手戻り} 受信")); }

std::string TForm4::OpponentName() const {
  return FromQt((PlaysBlack == 1 ? Memo4 : Memo1)->text());
}

// ---------------------------------------------------------------------------------------------
// Clocks

void TForm4::Timer1Timer() {
  // The own game: only while both clocks run (a game without a time limit is never timed).
  if (BoardMode == kBoardOwnGame && BlackClock > 0 && WhiteClock > 0 && ClockState == kClockRunning)
    TickClock();
  // A shared count the opponent started opens once the counting board is free.
  if (RealTimeCountPending == 1 && !Form7->isVisible()) {
    RealTimeCountPending = 0;
    QTimer::singleShot(0, this, [this] { OpenRequestedCount(); });
  }
  // The analysis room: the operator's idle count.
  TickRoomIdle();
}

void TForm4::TickClock() {
  const bool black = BlackIsToMove(MoveTop - SetupCount, BlackFirst);
  int& clock = black ? BlackClock : WhiteClock;
  clock = std::max(clock - 1, 0);
  SetMemoText(black ? Memo2 : Memo5, FormatClock(clock));
  MoveSeconds = std::min(MoveSeconds + 1, kMaxMoveSeconds);
  if (clock > 0) return;
  if (black == (PlaysBlack == 1)) {
    SendTimeOut();
  } else {
    // The opponent's own program reports the time-out.
    const std::string name = FromQt((black ? Memo1 : Memo4)->text());
    ClientShowMessage(name + J(" さん の時間が切れました！ (対局終了)"));
  }
}

void TForm4::SendTimeOut() {
  // The server hears of it before the message waits for the user.
  InputAllowed = 0;
  Form2->SendIfConnected("<<GameTimeOut>><<Suu=" + std::to_string(MoveTop) + ">>" + GameTag);
  ClientShowMessage(Form2->UserName + J(" さん の時間が切れました！ (対局終了)"));
  if (!Form2->Connected()) ClientShowMessage(J("サーバに接続していません！"));
}

// ---------------------------------------------------------------------------------------------
// Pass, resign, undo, stop

void TForm4::Image12MouseDown(int x) {
  if (BoardMode != kBoardOwnGame || InputAllowed != 1 || ClockState != kClockRunning) return;
  if (!CanSendGameAction()) return;
  if (x <= kPassHalfRight) {
    if (!CanAppendEntry(MoveTop)) {
      ClientShowMessage(ListFullText());
      return;
    }
    if (!Confirm(J(" パ ス し ま す か ？"))) return;
    // The game may have moved on while the question was open.
    if (BoardMode != kBoardOwnGame || InputAllowed != 1 || ClockState != kClockRunning) return;
    PassMove();
    return;
  }
  if (!Confirm(J(" 投 了 し ま す か ？"))) return;
  if (BoardMode != kBoardOwnGame) return;
  InputAllowed = 0;
  BlackClock = WhiteClock = 0;
  Form2->SendToServer("<<GameResign>><<Suu=" + std::to_string(MoveTop) + ">>" + GameTag);
}

void TForm4::PassMove() {
  InputAllowed = 0;
  DropCandidate();
  PlacePass();
  PendingPoint = 0;
  MoveSeconds = 0;
  const bool black = PlaysBlack == 1;
  // A pass earns the increment like a stone: the opponent adds it on receiving the pass, so both
  // sides show the same clock.
  int& clock = black ? BlackClock : WhiteClock;
  clock = ClampClock(static_cast<long long>(clock) + AddSeconds);
  ShowClocks();
  StatusBar1->SetPanelText(0, WaitingAfterPassText(black));
  // After two passes in a row the number is that of the moves before them.
  Form2->SendToServer(GameTag + "<<Move=0>><<Color=" + (black ? "black" : "white") +
                      ">><<Suu=" + std::to_string(MoveTop - SetupCount - 2) + ">>");
}

void TForm4::Image14Click() {
  if (BoardMode != kBoardOwnGame) return;
  // Nothing to take back before the first move.
  if (MoveTop <= SetupCount) return;
  if (Form2->SendToServer(GameTag + "<<Move=>><<MoveBack>>")) {
    Panel3->setText(QString::fromUtf8("{手戻り} 発信"));
  }
}

void TForm4::Image18Click() {
  if (BoardMode != kBoardOwnGame) return;
  if (ClockState == kClockStoppedByOpponent) {
    ClientShowMessage(J("相手の発信を待っています。(今は時計ON/OFF出来ません)"));
    return;
  }
  if (!CanSendGameAction()) return;
  PlaySound("ano.wav");
  if (ClockState == kClockStoppedByUser) {
    LeaveGameStop();
  } else {
    EnterGameStop(kClockStoppedByUser);
  }
  Form2->SendToServer("<<TimeStop=" + std::to_string(ClockState) + ">>" + GameTag);
}

void TForm4::OpponentTimeStop(const std::string& m) {
  const std::string sender = GetTagValue(m, "<<Sender=");
  if (sender == Form2->UserName) return;
  const bool stop = GetTagValue(m, "<<TimeStop=") == "1";
  // A stop acts on a running game, a restart only on a game the opponent stopped.
  if (stop ? ClockState != kClockRunning : ClockState != kClockStoppedByOpponent) return;
  PlaySound("ano.wav");
  if (stop) {
    // A restart's caption still showing gives way to the game's caption first.
    if (restart_caption_timer_->isActive()) {
      restart_caption_timer_->stop();
      SetCaption(SavedCaption);
    }
    SavedCaption = Caption();
    SetCaption(J(" 相手の [ ") + sender +
               J(" ] さんが対局を停止しました。(詳細はチャットで連絡をお取り下さい)"));
    FlashBoardWindow();
    EnterGameStop(kClockStoppedByOpponent);
    return;
  }
  // The game runs again at once; the caption tells of the restart through the flash and a
  // pause, then shows the game again.
  SetCaption(J(" 相手の [ ") + sender + J(" ] さんが対局を再開しました。"));
  FlashBoardWindow();
  restart_caption_timer_->start();
  LeaveGameStop();
}

void TForm4::EnterGameStop(int clock_state) {
  ClockState = clock_state;
  // The turn waits for the restart.
  Form2->SavedTurnFlag = InputAllowed;
  InputAllowed = 0;
  SavedTurnText = StatusBar1->PanelText(0);
  StatusBar1->SetPanelText(0, StoppedText());
  Panel3->setText(QString::fromUtf8("対局停止中"));
  // Only the end of the game is offered; the chat comes up to talk it over.
  Image17->show();
  Image12->hide();
  Form5->show();
  SetNormalState(Form5);
}

void TForm4::LeaveGameStop() {
  ClockState = kClockRunning;
  InputAllowed = Form2->SavedTurnFlag;
  StatusBar1->SetPanelText(0, SavedTurnText);
  Panel3->clear();
  Image12->show();
  Image17->hide();
}

// ---------------------------------------------------------------------------------------------
// End of the game and leaving

void TForm4::GameEnded(const std::string& m) {
  const bool passes = HasTag(m, "<<PassEndGame>>");
  if (BoardMode == kBoardOwnGame) {
    EndOwnGame(m);
  } else if (passes && BufferLength > SetupCount && MoveList[BufferLength] == 0) {
    // A watcher holds the first of the two passes; the record ends before it.
    if (MoveTop == BufferLength) ReplayStepBack();
    --BufferLength;
  }
  Panel3->setText(QString::fromUtf8("対局が終りました"));
  Image12->hide();
  Image17->show();
  StatusBar1->SetPanelText(0, GameEndStatusText(m));
  ShowWatcherCount(GetTagNumber(m, "<<WatchCount="), GetTagValue(m, "<<WatchList="));
  Form5->show();
  SetNormalState(Form5);
}

void TForm4::EndOwnGame(const std::string& m) {
  BlackClock = WhiteClock = 0;
  InputAllowed = 0;
  BoardMode = kBoardWatching;
  restart_caption_timer_->stop();
  DropCandidate();
  Image14->hide();
  Image18->hide();
  Image19->hide();
  Image11->show();
  // The closing passes leave the record; nothing else does.
  if (HasTag(m, "<<PassEndGame>>")) {
    for (int i = 0; i < 2 && MoveTop > SetupCount && MoveList[MoveTop] == 0; ++i) {
      ReplayStepBack();
    }
  }
  BufferLength = MoveTop;
  Form6->SetWatchOnlyEnabled(true);
  SetCaption("[ " + Form2->UserName + J(" ]   対局 ") + GetTagValue(GameTag, "<<GameIndex=") +
             J("   ヌルカ - 観戦"));
}

bool TForm4::CanSendGameAction() {
  if (Form2->Connected()) return true;
  ClientShowMessage(J("サーバに接続していません！"));
  return false;
}

void TForm4::ConnectionLost() {
  RealTimeCountPending = 0;
  // A shared count cannot go on: its board closes, and nothing is sent for it.
  if (Form7->RealTimeMode != kNoSharedCount) Form7->CloseQuietly();
  const std::string& lost = J("サーバの接続が切れました");
  if (BoardMode == kBoardOwnGame) {
    // The game ends here as the server ends it: the board keeps the record to replay and save.
    EndOwnGame(std::string());
    Image12->hide();
    Image17->show();
    StatusBar1->SetPanelText(0, lost);
  } else if (BoardMode == kBoardRoom) {
    if (InputAllowed == 1) HideOperatorControls();
    StatusBar1->SetPanelText(0, lost);
  }
  if (BoardMode != kBoardIdle) Panel3->setText(QString::fromUtf8("接続が切れました"));
}

void TForm4::Image17Click() {
  if (BoardMode == kBoardRoom) {
    LeaveDiscussRoom(J("[入力完了]ボタンを先にクリックしてください"));
    return;
  }
  if (BoardMode == kBoardOwnGame) {
    if (!CanSendGameAction()) return;
    if (Form2->AskEndFlag == 1 && !Confirm(J(" 終 了 し ま す か ？"))) return;
    if (BoardMode != kBoardOwnGame) return;
    InputAllowed = 0;
    BlackClock = WhiteClock = 0;
    Form2->SendToServer("<<NewGameResign>><<Suu=" + std::to_string(MoveTop) + ">>" + GameTag);
    return;
  }
  if (Form2->AskEndFlag == 1 && !Confirm(J(" 観 戦 を 終 了 し ま す か ？"))) return;
  if (BoardMode == kBoardOwnGame || BoardMode == kBoardRoom) return;
  BoardMode = kBoardIdle;
  InputAllowed = 0;
  Form6->show();
  SetNormalState(Form6);
  hide();
  SendOrNoteInLobby("<<OffWatchGame>>" + GameTag);
}

void TForm4::SendOrNoteInLobby(const std::string& text) {
  if (!Form2->SendIfConnected(text)) Form6->ShowConnectionState(J("サーバに接続していません！"));
}

bool TForm4::FormCloseQuery() {
  if (BoardMode == kBoardRoom) {
    return LeaveDiscussRoom(J("[入力完了] ボタンを先にクリックしてください"));
  }
  const std::string word = BoardMode == kBoardOwnGame ? J("対 局") : J("観 戦");
  if (Form2->AskEndFlag == 1 && !Confirm(word + J(" を 終 了 し ま す か ？"))) return false;
  InputAllowed = 0;
  Form6->show();
  Form6->SetWatchOnlyEnabled(true);
  SetNormalState(Form6);
  if (BoardMode != kBoardIdle) {
    if (BoardMode == kBoardOwnGame) {
      // Closing an own game resigns it.
      Form2->SendToServer("<<EndGameResign>><<Suu=" + std::to_string(MoveTop) + ">>" + GameTag);
    } else {
      Form2->SendToServer("<<OffWatchGame>>" + GameTag);
    }
    BoardMode = kBoardIdle;
  }
  return true;
}

void TForm4::FormHide() {
  Form5->hide();
  // The counting board does not outlive the board it counts.
  if (Form7->isVisible()) Form7->CloseQuietly();
}

// ---------------------------------------------------------------------------------------------
// Keys, the chat line and the view toggles

void TForm4::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
  if (key == Qt::Key_F5) {
    ClientEnv().clipboard->SetText(WriteSgfRecord());
  } else if (key == Qt::Key_Backspace && (shift & Qt::ShiftModifier) &&
             BoardMode == kBoardOwnGame) {
    Image14Click();
  }
}

void TForm4::Edit1KeyDown(int key) {
  if (key != kEnterKey || BoardMode == kBoardIdle) return;
  const std::string typed = FromQt(Edit1->text());
  if (!HasVisibleText(typed)) return;
  IdleSeconds = 0;
  const std::string line = TypedChatLine(Form2->UserName, typed, MoveTop - SetupCount);
  Form5->AddChatLine(line);
  if (!Form5->isVisible()) {
    Form9->hide();
    Form5->show();
  }
  if (BoardMode == kBoardRoom) {
    Form2->SendToServer("<<DiscussMese=" + line + ">>");
  } else {
    Form2->SendToServer("<<GameMese=" + line + ">>" + GameTag);
  }
  Edit1->clear();
}

void TForm4::FormClick() { Edit1->clearFocus(); }

void TForm4::Image16Click() {
  NumbersOn = !NumbersOn;
  FormPaint();
}

void TForm4::StatusBar1MouseDown(int x) {
  if (StatusBar1->PanelAt(x) != kChatPanel) return;
  if (Form5->isVisible()) {
    ChatViewerWasOpen = Form9->isVisible() ? 1 : 0;
    Edit1->clearFocus();
    Form5->hide();
  } else {
    if (ChatViewerWasOpen == 1) {
      Form9->show();
      ChatViewerWasOpen = 0;
    }
    Form5->show();
  }
}
