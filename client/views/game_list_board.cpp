// client/views/game_list_board.cpp — the game-list board.
#include "client/views/game_list_board.h"

TForm14* Form14 = nullptr;

TForm14::TForm14() = default;

// The game-list board is not built yet; the followed game's messages do nothing.
void TForm14::AddWatchMove(const std::string&) {}
void TForm14::TakeBackWatchMove() {}
void TForm14::FollowedGameEnded(const std::string&) {}
