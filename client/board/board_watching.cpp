// client/board/board_watching.cpp — the board window watching a game: the watch snapshot puts the
// game on the board with its names, conditions, clocks and watchers; every move relayed afterwards
// is kept in the watch buffer and shown at once to a watcher who looks at the newest move.
#include <QLineEdit>
#include <string>

#include "client/board/board_window.h"
#include "client/board/model/own_game.h"
#include "client/board/model/watching.h"
#include "client/board/picture_button.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/connection/lobby_window.h"
#include "client/views/game_list_board.h"
#include "platform/cp932.h"
#include "platform/qt_text.h"
#include "platform/status_bar.h"
#include "platform/window_state.h"
#include "protocol/tag_message.h"

namespace {
// Status-bar panel 0 while watching: the entries held.
std::string BufferText(int entries) {
  return std::to_string(entries) + J("手の棋譜データがあります");
}
}  // namespace

void TForm4::StartWatchGame(const std::string& m) {
  // The snapshot is read part by part, so the chat, the names and the diagrams can never pass
  // for the record, its size or the game number.
  const WatchSnapshot snapshot = ReadWatchSnapshot(m);
  Form5->SetChatText(snapshot.ChatLog);
  Form14->hide();
  ResetBoardForm();
  BoardMode = kBoardWatching;
  buffer_full_noticed_ = false;
  DiagramStore = snapshot.DiagramStore;
  // Captions of the board and the chat.
  const std::string game = std::to_string(snapshot.GameIndex);
  const std::string base = "[ " + Form2->UserName + J(" ]   対局 ") + game + J("   ヌルカ - ");
  SetCaption(base + J("観戦"));
  Form5->setWindowTitle(ToQt(base + J("チャット")));
  // The conditions, from the record alone.
  const WatchConditions conditions = ReadWatchConditions(snapshot.Record);
  KomiTenths = conditions.KomiTenths;
  AddSeconds = conditions.AddSeconds;
  RecordTimeText = conditions.RecordTimeText;
  StatusBar1->SetPanelText(4, conditions.Text);
  // The clocks as the server reports them (the main time before a player's first move); a
  // watcher's own clocks never run.
  watched_black_main_time_ = conditions.BlackMainTime;
  watched_white_main_time_ = conditions.WhiteMainTime;
  SetMemoText(Memo2,
              FormatClock(WatchedClockSeconds(snapshot.BlackClock, watched_black_main_time_)));
  SetMemoText(Memo5,
              FormatClock(WatchedClockSeconds(snapshot.WhiteClock, watched_white_main_time_)));
  ShowWatcherCount(snapshot.WatchCount, snapshot.WatchList);
  // The record, seen from black's side, at its newest move (a white player's last game may have
  // left the turned picture of the same size).
  LoadViewBoardPicture(false);
  LoadKifuText(snapshot.Record);
  StatusBar1->SetPanelText(0, BufferText(BufferLength));
  GameTag = ::GameTag(snapshot.GameIndex);
  // A watcher never moves: the replay bar and the leave button.
  for (QWidget* hidden :
       std::initializer_list<QWidget*>{Image12, Image14, Image18, Image19, Panel4}) {
    hidden->hide();
  }
  for (QWidget* shown : std::initializer_list<QWidget*>{Image11, Image17, Panel1, Panel2}) {
    shown->show();
  }
  // The board at the right edge of the screen with the chat beside it, the lobby out of the way.
  SetWindowLeft(this, ScreenWidth() - WindowWidth(this));
  show();
  Form5->show();
  MinimizeWindow(Form6);
}

void TForm4::ReceiveGameMove(int point, const std::string& m) {
  const int received = point;
  // The server's points are black's view; a white player's finished game is shown turned.
  if (BoardTurned) point = TurnPoint(point, BoardSize);
  switch (StoreWatchedMove(*this, point)) {
    case WatchedMoveOutcome::kInvalid:
      ClientShowMessage(J("無効な着手を受信しました！") + std::to_string(received));
      return;
    case WatchedMoveOutcome::kBufferFull:
      // The game goes on: its clocks still show, its moves are no longer kept.
      ShowWatchedClocks(GetTagValue(m, "<<KuroTime="), GetTagValue(m, "<<SiroTime="));
      if (!buffer_full_noticed_) {
        buffer_full_noticed_ = true;
        ClientShowMessage(J("手数が上限に達したため、これ以降の着手は記録されません。"));
      }
      return;
    case WatchedMoveOutcome::kShown:
    case WatchedMoveOutcome::kStored:
      break;
  }
  ShowWatchedClocks(GetTagValue(m, "<<KuroTime="), GetTagValue(m, "<<SiroTime="));
  StatusBar1->SetPanelText(0, BufferText(BufferLength));
}

void TForm4::ShowWatchedClocks(const std::string& black, const std::string& white) {
  constexpr long long kNotANumber = -1;
  if (const long long s = ReadNumber64(black, kNotANumber); s >= 0) {
    SetMemoText(Memo2, FormatClock(WatchedClockSeconds(ClampClock(s), watched_black_main_time_)));
  }
  if (const long long s = ReadNumber64(white, kNotANumber); s >= 0) {
    SetMemoText(Memo5, FormatClock(WatchedClockSeconds(ClampClock(s), watched_white_main_time_)));
  }
}

void TForm4::ShowWatcherCount(int count, const std::string& watch_list) {
  WatcherCount = count;
  StatusBar1->SetPanelText(2, J("観戦者数 = ") + std::to_string(count));
  StatusBar1->SetHint(count < 1 ? std::string() : watch_list);
}
