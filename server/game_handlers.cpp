// server/game_handlers.cpp — challenges, game creation and the relay of a running game: moves,
// passes, undo, clock stops, the shared count and the end requests.
//
// Games are not built yet. Until they are, each of these messages is dropped without reply or
// log line, as the dispatcher drops a message it does not know, and no game slot is ever taken.
#include "server/server_core.h"

void ServerCore::RelaySharedCount(int /*j*/, std::string_view /*text*/) {}
void ServerCore::GameReply(int /*j*/, std::string_view /*text*/) {}
void ServerCore::GameChallenge(int /*j*/, std::string_view /*text*/) {}
void ServerCore::GameMove(int /*j*/, std::string_view /*text*/) {}
void ServerCore::GameEndRequest(int /*j*/, std::string_view /*text*/) {}
void ServerCore::RelayTimeStop(int /*j*/, std::string_view /*text*/) {}
