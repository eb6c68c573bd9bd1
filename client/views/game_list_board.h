// client/views/game_list_board.h — TForm14, the small board that follows the game the analysis
// room has chosen among the running games.
#pragma once
#include <QWidget>
#include <string>

class TForm14 : public QWidget {
  Q_OBJECT
 public:
  TForm14();

  // A move of the followed game ("<DisCussGameMove=").
  void AddWatchMove(const std::string& message);
  // An undo in the followed game.
  void TakeBackWatchMove();
  // The followed game ended (a status message with "<<DiscussGameEnd>>").
  void FollowedGameEnded(const std::string& message);
};

extern TForm14* Form14;
