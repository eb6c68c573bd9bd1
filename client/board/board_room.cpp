// client/board/board_room.cpp — the board window in the analysis room: entering it, the input
// right, the members and the registration list, the room chat, the game it follows and the
// operator's first-colour and input-kind buttons.
#include <string>

#include "client/board/board_window.h"

// The room's messages come with the analysis room; until then they do nothing.
void TForm4::StartDiscussRoom(const std::string&) {}
void TForm4::GrantDiscussInput(const std::string&) {}
void TForm4::ShowDiscussMembers(const std::string&) {}
void TForm4::ShowDiscussRegList(const std::string&) {}
void TForm4::ShowDiscussOperator(const std::string&) {}
void TForm4::ReceiveDiscussChat(const std::string&) {}
void TForm4::ReceiveDiscussGameList(const std::string&) {}
void TForm4::ReceiveDiscussGameData(const std::string&) {}
void TForm4::DrawRoomFirstColour() {}
