// client/views/game_list_board.h — TForm14, the small stay-on-top board that shows every member of
// the analysis room the running game the room follows: its position with the last move marked,
// the move count and state, the players, handicap and result, and for the operator the choice
// among the running games. Its reading of the game is GameListGame's.
#pragma once
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <string>
#include <vector>

#include "client/views/model/game_list_game.h"

class QComboBox;
class QLabel;

class TForm14 : public QWidget, public GameListGame {
  Q_OBJECT
 public:
  // Loads the pictures and places the window at the top right of the screen, hidden.
  TForm14();

  // 1 while showing this window moves the board window to the bottom of the screen; cleared for
  // good once the user has moved the board window.
  int GameListAutoPlace = 1;
  // The board window's place when this window was last shown.
  int GameListBoardLeftSeen = 0;
  int GameListBoardTopSeen = 0;

  // The room's game list ("<<GameList=" with the followed game's "<<GameData="): the running
  // games to choose among, the followed one chosen (the choice is the operator's only), its
  // record, and the window shown. The lobby's game list (`lobbyGames`, one line an entry) tells
  // which game the record is; without it the first game is chosen.
  void ShowGameList(const std::string& message, bool operatorChooses,
                    const std::vector<std::string>& lobbyGames = {});
  // The game choice follows the room's input right as it is granted and given up.
  void AllowGameChoice(bool operatorChooses);
  // The record of another game the operator chose ("<<DiscussChangeGame>>" with "<<Index=" and
  // "<<GameData="); the window is not shown by it.
  void ShowGameData(const std::string& message);
  // A relayed move of the followed game ("<DisCussGameMove=").
  void AddWatchMove(const std::string& message);
  // An accepted undo in the followed game.
  void TakeBackWatchMove();
  // The followed game ended (a status message with "<<DiscussGameEnd>>").
  void FollowedGameEnded(const std::string& message);
  // The record of a game list: a text of 4 characters or fewer changes nothing.
  void LoadWatchGame(const std::string& text);

  // The games to choose among, and the one chosen ("" for none).
  int GameChoiceCount() const;
  std::string ChosenGame() const;

  // Drawing: the board with its grid, the stones, and the marker on the last move.
  void FormPaint();
  void PaintGameListBoard();
  void DrawGameListStones();
  void DrawLastMoveMarker(int point, bool onBlack);

  // A game chosen by the user in the combo box: the room is told to follow it.
  void ComboBox1Change();
  // A double click on the board: the room's operator hands the shown game to the shared board.
  void FormDblClick();
  // Showing and hiding place the board window below this one until the user moves it.
  void FormShow();
  void FormHide();
  // A left-button press on the board: the user drags the borderless window.
  void StartWindowDrag(const QPoint& globalPress);
  // The board's part of the window, which alone drags and double-clicks; the panel and the
  // combo box below it keep their own clicks.
  static bool OnBoardSurface(const QPoint& pos);

  // Image1: the board with its grid; Image2: the stone sprites; Image3: the clean board.
  QImage Image1, Image2, Image3;
  QImage Surface;  // what the window shows of the board
  QLabel* Panel1;  // the count and state; players, handicap and result as its hint
  QComboBox* ComboBox1;

 protected:
  void GameListSizeSet() override;
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // The panel shows Caption and Hint.
  void ShowPanel();
  // Selects the item "対局" + `game`; none when the list has no such item.
  void SelectGame(const std::string& game);

  bool dragging_ = false;  // the window follows the mouse (where the desktop cannot move it)
  QPoint drag_offset_;
};

extern TForm14* Form14;
