// client/connection/game_chat_window.h — TForm5, the chat of the game on the board window and of
// the analysis room.
#pragma once
#include <QWidget>
#include <string>

class TForm5 : public QWidget {
  Q_OBJECT
 public:
  TForm5();

  // 1 while the lobby's follower keeps the diagram viewer hidden because this window is
  // minimised.
  int ViewerHiddenByFollower = 0;

  // A game chat line arrived ("<<GameMese=", with a board diagram when "<<DiaData=" is present).
  void ReceiveGameChatLine(const std::string& message);
};

extern TForm5* Form5;
