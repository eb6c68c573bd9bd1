// client/connection/model/message_routing.h — which window handles a message from the server:
// the reader's fixed order of tag tests with their conditions on the board window's mode, the
// clocks, the input right and the shared count.
#pragma once
#include <string_view>
#include <vector>

// What the reader does with a message, one step each. A message yields one or more steps in order
// (a "<<WaitHint=" is stored before the message is handled, a status message may also end the
// analysis room's followed game, and so on).
enum class ReaderAction {
  // The shared count of a finished game (counting board).
  RealTimeCountEnd,     // the shared count ends
  RealTimeRightChange,  // the operation right passes to the other side
  RealTimeCountStart,   // the opponent starts a shared count
  ApplyRealTimeCount,   // one operation of the other side
  // Connection, login and lobby (connect window, lobby, message board).
  StoreWaitHint,
  LoginRequest,
  LoginAccepted,
  RefuseSameName,
  RefuseIdLimit,
  RefuseNotFound,
  CallMessageBoard,
  UpdateLobbyLists,
  ServerMessage,
  GameIsFull,
  ChallengeCancelled,
  ChallengeUnreachable,
  BoardLine,
  // The analysis room (board window) and the game-list board.
  StartDiscussRoom,
  HideGameListBoard,
  GrantDiscussInput,
  ShowDiscussMembers,
  ShowDiscussRegList,
  ShowDiscussOperator,
  ReceiveDiscussChat,
  ApplyDiscussInput,
  NoGameToFollow,
  ReceiveDiscussGameList,
  ReceiveDiscussGameData,
  AddWatchMove,
  TakeBackWatchMove,
  FollowedGameEnd,
  // Challenges, the own game and watching (challenge dialog, board window, game chat).
  ChallengeReceived,
  GameStartCancelled,
  StartPlayGame,
  MoveBackRequest,
  ReceiveMove,
  GameChatLine,
  WatchStart,
  WatcherCount,
  GameEnd,
  WatcherLeft,
  OpponentTimeStop,
};

// The state the tests look at.
struct ReaderState {
  // The values of client/board/board_modes.h.
  int BoardMode = 0;     // idle, own game, watching or analysis room
  int ClockState = 0;    // running, stopped by this user or by the opponent
  int InputAllowed = 0;  // the board takes this user's input
  int RealTimeMode = 0;  // no shared count, or which side holds the operation right
  bool CountingBoardVisible = false;
};

// The steps for `message` in the order they run; empty when no test takes it.
std::vector<ReaderAction> RouteMessage(std::string_view message, const ReaderState& state);

// The enumerator's name, for test output.
const char* ReaderActionName(ReaderAction action);
