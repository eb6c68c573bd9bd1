// server/watch_handlers.cpp — watching a game, leaving it, and the game chat with its diagrams.
//
// Watching is not built yet. Until it is, each of these messages is dropped without reply or log
// line, as the dispatcher drops a message it does not know.
#include "server/server_core.h"

void ServerCore::GameChat(int /*j*/, std::string_view /*text*/) {}
void ServerCore::WatchGame(int /*j*/, std::string_view /*text*/) {}
void ServerCore::OffWatchGame(int /*j*/, std::string_view /*text*/) {}
