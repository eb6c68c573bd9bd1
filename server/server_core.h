// server/server_core.h — the match server without its window: the tables, the handlers of every
// socket event and the dispatcher that routes each message. The window shows the core's lists and
// relays the transport's events to it.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/sockets.h"
#include "server/message_framer.h"
#include "server/server_tables.h"

// The parts of the lobby lists message ("<<Status>>"), combined with |.
enum StatusPart : unsigned {
  kStatusIdCount = 1,   // "<<IdCount=" PlayerCount ">>"
  kStatusPlayList = 2,  // "<<PlayList=" game list ">>"
  kStatusWaitList = 4,  // "<<WaitList=" waiting list ">><<WaitHint=" WaitHintList ">>"
  kStatusLookList = 8,  // "<<LookList=" watch-only list ">>"
  kStatusAll = 15,
};

class ServerCore : public ServerTables, public ServerTransportListener {
 public:
  ServerCore(ServerTransport& transport, const Clock& clock);

  // Socket events.
  // A new connection: the self-test moves PlayerCount from -1 to 0; otherwise the name prompt, or
  // "<<SysIdLimit>>" while PlayerCount is at or above JoinLimit.
  void ServerSocket1ClientConnect(ConnectionId connection);
  // One message: the login from a connection without a slot, otherwise the dispatcher.
  void ServerSocket1ClientRead(ConnectionId connection, const std::string& text);
  // A lost connection: the participant leaves the room, its game or its watch, and its slot.
  void ServerSocket1ClientDisconnect(ConnectionId connection);

  // The participant slot whose connection is `connection`, searched from PlayerCount down; 0 none.
  int FindSenderSlot(ConnectionId connection) const;
  // The participant slot whose name is exactly `name`, searched from PlayerCount down; 0 none.
  int FindNameSlot(std::string_view name) const;
  // Sends `text` as one message to the participant in slot `j`; nothing for a slot not in use.
  void SendToSlot(int j, std::string_view text);
  // Sends `text` to every participant from PlayerCount down to 1, except slot `except`.
  void SendToAll(std::string_view text, int except = 0);
  // "[ " name " ] ==> " event "  (" time ")".
  std::string EventLine(std::string_view name, std::string_view event) const;
  // Adds one line to the event log (Memo1).
  void LogEvent(std::string line) { Memo1.Add(std::move(line)); }

  // Lobby lists and tables shared by every handler.
  // "<<Status>>" followed by the chosen parts, always in the order of StatusPart.
  std::string BuildStatus(unsigned parts) const;
  // Takes slot `j` out: later slots move down by one, the lobby lists are rebuilt.
  void RemovePlayer(int j);
  // True when `name` is the black or white player of a game being played (state 1).
  bool IsPlayingName(std::string_view name) const;
  // Deletes the n-th "[g]" entry of WaitHintList (the last one when there are fewer).
  void RemoveWaitHint(int n);
  // Sets the entry of `name`'s line in the waiting list to "[g]".
  void SetWaitHint(std::string_view name, int g);
  // One entry of WaitHintList: "[" g "]".
  static std::string WaitHintEntry(int g);
  // The line that heads game g in the game list: "[ " g " ]".
  static std::string GameListHead(int g);
  // Frees a finished game slot: GameCount down by one, state 0, its three game-list lines gone.
  void FreeGameSlot(int g);

  // Handlers of this unit's messages; the sender is slot `j`.
  // Login of a connection that has no slot yet.
  void Login(ConnectionId connection, std::string_view text);
  // "<<MainMese=": the line joins the message board and goes to everyone else.
  void BoardPost(int j, std::string_view text);
  // "<<ChangeMode>>": between the waiting list and the watch-only list.
  void ChangeMode(int j);

  // Handlers owned by the analysis room. The dispatcher calls them in its fixed order.
  // "<<DiscussChangeGame>>" with the game number g already read and checked to be 1..5; the
  // dispatcher goes on testing the same text afterwards.
  void RoomChangeGame(int j, int g, std::string_view text);
  void RoomCallGame(int j, std::string_view text);  // "<<DiscussCallGame>>"
  void RoomOffGame(int j, std::string_view text);   // "<<DiscussOffGame>>"
  void RoomChat(int j, std::string_view text);      // "<<DiscussMese="
  void RoomEnter(int j, std::string_view text);     // "<<DiscussEnter>>"
  void RoomRegister(int j, std::string_view text);  // "<<DiscussReg>>"
  void RoomGiveUp(int j, std::string_view text);    // "<<DiscussCanEnd>>"
  void RoomHandOver(int j, std::string_view text);  // "<<DiscussChange>>"
  void RoomInput(int j, std::string_view text);     // "<<DiscussInput>>"
  void RoomClose(int j, std::string_view text);     // "<<DiscussClose>>"
  // A member leaves the room; also called for a lost member's connection.
  void LeaveRoom(int j);
  // The holder of the input right leaves the room because its connection was lost.
  void LeaveRoomAsOperator(int j);

  // Handlers owned by challenges and the game relay.
  // "<<RealTimeChange>>", "<<RealTimeCountStart>>", "<<RealTimeCount>>", "<<RealTimeCountEnd>>":
  // to the opponent, and but for the change of the counting side also to the game's watchers.
  void RelaySharedCount(int j, std::string_view text);
  // "Re<<GameSet>>", called only while GameCount is below GameLimit: a declined challenge goes
  // back to the challenger, an accepted one makes the game.
  void GameReply(int j, std::string_view text);
  // "<<GameSet>>", called only while GameCount is below GameLimit (the dispatcher answers
  // "<<GameIsFull>>" otherwise): relayed to the challenged participant.
  void GameChallenge(int j, std::string_view text);
  void GameMove(int j, std::string_view text);  // "<<Move=": moves, passes and undo
  // "<<EndGameResign>>", "<<GameResign>>", "<<NewGameResign>>", "<<GameTimeOut>>", called only
  // while the sender's AttachedGame is above 0.
  void GameEndRequest(int j, std::string_view text);
  void RelayTimeStop(int j, std::string_view text);  // "<<TimeStop=": to the opponent only

  // The other player of game g: its white player when `name` is its black player, else black.
  const std::string& OpponentOf(int g, std::string_view name) const;

  // Handlers owned by watching and game chat.
  void GameChat(int j, std::string_view text);   // "<<GameMese="
  void WatchGame(int j, std::string_view text);  // "<<WatchGame="
  // "<<OffWatchGame>>", called only while the sender's AttachedGame is above 0.
  void OffWatchGame(int j, std::string_view text);
  // `name` stops watching game g because it becomes a player of a new game; frees a finished game
  // with its last watcher. Sends nothing and leaves AttachedGame to the caller.
  void LeaveWatch(int g, std::string_view name);

  // The window caption for the present participant count.
  std::string CaptionText() const;

  // Called whenever PlayerCount changes, so the window can set its caption.
  std::function<void()> OnPlayerCountChanged;

  const Clock& clock() const { return clock_; }

 private:
  void OnClientConnect(ConnectionId id) override { ServerSocket1ClientConnect(id); }
  // Every connection's reads pass its own framer, so a message split by TCP is handled whole.
  void OnClientRead(ConnectionId id, const std::string& bytes) override {
    auto framer = framers_.try_emplace(id, MessageFramer::Side::Server).first;
    if (auto message = framer->second.Feed(bytes)) ServerSocket1ClientRead(id, *message);
  }
  void OnClientDisconnect(ConnectionId id) override {
    framers_.erase(id);
    ServerSocket1ClientDisconnect(id);
  }

  void SetPlayerCount(int count);
  // The message steps 2 to 25 of the dispatcher, for the logged-in sender j.
  void Dispatch(int j, std::string_view text);
  // The three ends of a lost connection of slot j.
  void LosePlayerOfRunningGame(int j, int g);
  void LoseWatcher(int j, int g);
  void LoseParticipant(int j);
  // What the remaining participants of game g are told when a player or a watcher is lost.
  std::string LostPlayerMessage(int g, std::string_view leaver) const;
  std::string WatcherLeftMessage(int g) const;

  // The game relay's steps (game_handlers.cpp).
  // Game creation for an accepted challenge: the sender j accepts the challenger c's settings.
  void CreateGame(int j, int c, std::string_view text);
  // The second of two passes in a running game ends it.
  void EndByTwoPasses(int j, int g, std::string_view text);
  // An undo request, its repetition or the other player's agreement.
  void GameUndo(int j, int g, std::string_view text);
  // A player of a finished game goes back to the waiting list with the hint "[hint]".
  void ReturnToWaitingList(std::string_view name, int hint);
  // What the end notices carry after their first tags: the lists, the watchers, the record and
  // the clocks of game g.
  std::string GameOverTail(int g) const;
  // Line index of the head "[ g ]" in the game list when its two name lines follow it; -1 else.
  int GameListIndex(int g) const;

  // Messages of one move, built again for each move into kept buffers.
  std::string move_to_opponent_, move_to_watchers_, move_to_room_;

  std::map<ConnectionId, MessageFramer> framers_;
  ServerTransport& transport_;
  const Clock& clock_;
};

// " ザンテ - Kordraum   [ 参加者数 = " count " ]".
std::string ServerCaption(int player_count);

// True when a login name may be used: it holds no "<", ">", "[", "]" and no byte below 0x20,
// looking at cp932 characters (the trail byte of a double-byte character is not a bracket).
bool LoginNameAllowed(std::string_view name);

// Removes the first entry of `entries` (each followed by LF) that equals `name` as a whole;
// false when there is none.
bool RemoveListEntry(std::string& entries, std::string_view name);
