// client/board/board_window.cpp — the board window.
#include "client/board/board_window.h"

TForm4* Form4 = nullptr;

TForm4::TForm4() { setWindowTitle(QStringLiteral("Korvanta")); }

void TForm4::ResetGameFlags() {
  BoardMode = 0;
  InputAllowed = 0;
  ClockState = 0;
  RealTimeCountPending = 0;
  GameTag.clear();
}

// The operations below are the board window's part of the game, watching and analysis-room
// messages; the board window is not built yet, so they do nothing.
void TForm4::StartPlayGame(const std::string&) {}
void TForm4::ReceiveMoveOrUndo(const std::string&) {}
void TForm4::MoveBackRequested() {}
void TForm4::GameEnded(const std::string&) {}
void TForm4::OpponentTimeStop(const std::string&) {}
void TForm4::ReceiveWatchStart(const std::string&) {}
void TForm4::ShowWatcherCount(int, const std::string&) {}
void TForm4::StartDiscussRoom(const std::string&) {}
void TForm4::GrantDiscussInput(const std::string&) {}
void TForm4::ShowDiscussMembers(const std::string&) {}
void TForm4::ShowDiscussRegList(const std::string&) {}
void TForm4::ShowDiscussOperator(const std::string&) {}
void TForm4::ReceiveDiscussChat(const std::string&) {}
void TForm4::ApplyDiscussInput(const std::string&) {}
void TForm4::ReceiveDiscussGameList(const std::string&) {}
void TForm4::ReceiveDiscussGameData(const std::string&) {}
