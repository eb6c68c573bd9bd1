// server/room_handlers.cpp — the analysis room: entering and leaving, the input right and its
// queue, input relay, room chat and the followed game.
//
// The room is not built yet. Until it is, every room message is dropped without reply or log
// line, as the dispatcher drops a message it does not know, and nobody ever becomes a member, so
// a lost connection has no room to leave.
#include "server/server_core.h"

void ServerCore::RoomChangeGame(int /*j*/, int /*g*/, std::string_view /*text*/) {}
void ServerCore::RoomCallGame(int /*j*/, std::string_view /*text*/) {}
void ServerCore::RoomOffGame(int /*j*/, std::string_view /*text*/) {}
void ServerCore::RoomChat(int /*j*/, std::string_view /*text*/) {}
void ServerCore::RoomEnter(int /*j*/, std::string_view /*text*/) {}
void ServerCore::RoomRegister(int /*j*/, std::string_view /*text*/) {}
void ServerCore::RoomGiveUp(int /*j*/, std::string_view /*text*/) {}
void ServerCore::RoomHandOver(int /*j*/, std::string_view /*text*/) {}
void ServerCore::RoomInput(int /*j*/, std::string_view /*text*/) {}
void ServerCore::RoomClose(int /*j*/, std::string_view /*text*/) {}
void ServerCore::LeaveRoom(int /*j*/) {}
void ServerCore::LeaveRoomAsOperator(int /*j*/) {}
