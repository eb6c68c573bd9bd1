// server/watch_handlers.cpp — watching a game, leaving it, and the game chat with its diagrams.
//
// The watch request, the stop-watching message and the game chat are not built yet: until they
// are, each of these messages is dropped without reply or log line, as the dispatcher drops a
// message it does not know. Leaving a watched game for a new one is built, because a player of a
// finished game stays on it as a watcher and leaves it when the next game starts.
#include "platform/cp932.h"
#include "server/server_core.h"

void ServerCore::GameChat(int /*j*/, std::string_view /*text*/) {}
void ServerCore::WatchGame(int /*j*/, std::string_view /*text*/) {}
void ServerCore::OffWatchGame(int /*j*/, std::string_view /*text*/) {}

void ServerCore::LeaveWatch(int g, std::string_view name) {
  if (!GameNumberValid(g) || Games[g].GameState == 0) return;
  GameSlot& game = Games[g];
  if (game.WatchCount > 0) game.WatchCount -= 1;
  RemoveListEntry(game.WatchNames, name);
  LogEvent(EventLine(name, J("対局[") + std::to_string(g) + J("] ==> 観戦終了")));
  if (game.WatchCount == 0 && game.GameState == 2) {
    FreeGameSlot(g);
    LogEvent(J("対局[") + std::to_string(g) + J("] ==> 終了  (") + clock_.TimeText() + ")");
  }
}
