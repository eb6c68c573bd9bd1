// client/board/board_window.h — TForm4, the board window: idle, own game, watching and the
// analysis room, told apart by BoardMode.
#pragma once
#include <QWidget>
#include <string>

class TForm4 : public QWidget {
  Q_OBJECT
 public:
  TForm4();

  // Shared state the message reader and the lobby look at.
  int BoardMode = 0;             // 0 idle, 1 own game, 2 watching, 5 analysis room
  int InputAllowed = 0;          // the board takes this user's clicks
  int ClockState = 0;            // 0 running, 1 stopped by this user, 2 stopped by the opponent
  int RealTimeCountPending = 0;  // 1: open the shared count the opponent started
  int ChatHiddenByFollower = 0;  // 1 while the lobby's follower keeps the chat hidden
  std::string GameTag;           // "<<GameIndex=" n ">>" of the current game

  // A new connection: back to idle with no game, clock stop or shared count pending; what the
  // board shows stays.
  void ResetGameFlags();

  // Own game.
  void StartPlayGame(const std::string& message);
  // A move or an undo from the server while playing or watching ("<<Move=").
  void ReceiveMoveOrUndo(const std::string& message);
  // The opponent asks to take back a move ("<<ReceiveMoveBack>>").
  void MoveBackRequested();
  // The game ended (resign, two passes, time-out, lost connection); the lobby lists are updated.
  void GameEnded(const std::string& message);
  // The opponent stopped or restarted the clocks ("<<TimeStop=").
  void OpponentTimeStop(const std::string& message);

  // Watching.
  // The watch snapshot of a game ("<<WatchGame=" … "<<DraumEND>>").
  void ReceiveWatchStart(const std::string& message);
  // The number of watchers of the current game changed; `watch_list` names them.
  void ShowWatcherCount(int count, const std::string& watch_list);

  // Analysis room.
  void StartDiscussRoom(const std::string& message);
  void GrantDiscussInput(const std::string& message);
  void ShowDiscussMembers(const std::string& message);
  void ShowDiscussRegList(const std::string& message);
  void ShowDiscussOperator(const std::string& name);
  void ReceiveDiscussChat(const std::string& message);
  void ApplyDiscussInput(const std::string& message);
  void ReceiveDiscussGameList(const std::string& message);
  void ReceiveDiscussGameData(const std::string& message);
};

extern TForm4* Form4;
