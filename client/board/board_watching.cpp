// client/board/board_watching.cpp — the board window watching a game: the watch snapshot, the
// moves relayed afterwards and the number of watchers.
#include <string>

#include "client/board/board_window.h"
#include "platform/cp932.h"
#include "platform/status_bar.h"

// The watch snapshot and the relayed moves come with watching; until then they do nothing.
void TForm4::ReceiveWatchStart(const std::string&) {}
void TForm4::ReceiveGameMove(int, const std::string&) {}

void TForm4::ShowWatcherCount(int count, const std::string& watch_list) {
  WatcherCount = count;
  StatusBar1->SetPanelText(2, J("観戦者数 = ") + std::to_string(count));
  StatusBar1->SetHint(count < 1 ? std::string() : watch_list);
}
