// client/connection/game_chat_window.cpp — the game chat window.
#include "client/connection/game_chat_window.h"

TForm5* Form5 = nullptr;

TForm5::TForm5() { setWindowTitle(QString::fromUtf8(" ヌルカ  -  対局チャット")); }

// The game chat is not built yet; chat lines are not shown.
void TForm5::ReceiveGameChatLine(const std::string&) {}
