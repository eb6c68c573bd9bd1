// server/server_core.h — the match server without its window: the tables, the handlers of every
// socket event and the dispatcher that routes each message. The window shows the core's lists and
// relays the transport's events to it.
#pragma once
#include <array>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/sockets.h"
#include "protocol/message_framer.h"
#include "protocol/tag_message.h"
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
  // One message: the login from a connection without a slot, otherwise the dispatcher. A peer's
  // "<<" inside a value is closed first (CloseStrayOpenings): the dispatcher's tests and the
  // clients the text is relayed to see the tags the framer saw.
  void ServerSocket1ClientRead(ConnectionId connection, std::string text);

  // Connections that have not logged in are bounded in number and time. A client answers the
  // name prompt at once and a refused one ends itself; a burst of most of a full server's 50
  // participants connecting at once still fits in 32, which hold at most 32 descriptors and
  // 32 x 256 KiB of unfinished messages. Beyond 32 the oldest is closed; each is closed after
  // 120 s (the grace a login gets on common servers), a refusal's box read at leisure included.
  static constexpr std::size_t kMaxWaitingConnections = 32;
  static constexpr long long kLoginSeconds = 120;
  // Closes every connection that has waited kLoginSeconds or more without a login, and forgets
  // the budgets left at addresses that have refilled; the window calls it every few seconds.
  void CloseIdleConnections();
  std::size_t WaitingConnections() const { return waiting_.size(); }
  // A lost connection: the participant leaves the room, its game or its watch, and its slot.
  void ServerSocket1ClientDisconnect(ConnectionId connection);

  // A message whose optional tail may still come (a challenge's start position, a chat line's
  // diagram) is held for its connection until MessageFramer::kHoldMilliseconds passed on the
  // core's clock after the connection's last read, or until the next message's head arrives.
  // Hands over every held message whose time is up; the window's timer calls it.
  void HandOverHeldMessages();
  // True while some connection's message waits for its tail.
  bool HoldsGrowingMessages() const { return !hold_until_.empty(); }
  // Asks for a call of HandOverHeldMessages after the given milliseconds (an earlier request
  // still stands); the window sets it.
  std::function<void(long long)> OnHoldArmed;

  // The participant slot whose connection is `connection`, searched from PlayerCount down; 0 none.
  int FindSenderSlot(ConnectionId connection) const;
  // The participant slot whose name is exactly `name`, searched from PlayerCount down; 0 none.
  int FindNameSlot(std::string_view name) const;
  // Sends `text` as one message to the participant in slot `j`; nothing for a slot not in use.
  void SendToSlot(int j, std::string_view text);
  // Sends `text` to every participant from PlayerCount down to 1, except slot `except`.
  void SendToAll(std::string_view text, int except = 0);
  // From the highest slot down: `to_game` to everyone attached to game `g`, `to_room` to room
  // members while the room follows `g`, `to_others` to everyone else; an empty text sends nothing.
  void SendAroundGame(int g, std::string_view to_game, std::string_view to_room,
                      std::string_view to_others);
  // "[ " name " ] ==> " event "  (" time ")".
  std::string EventLine(std::string_view name, std::string_view event) const;
  // Adds one line to the event log (Memo1). While a connection's message or its end is handled,
  // the line is charged to that connection's event budget; a line beyond the budget is not kept.
  void LogEvent(std::string line);

  // Each connection may cost the event log only so many lines: a bucket of kEventBurst lines,
  // refilled with kEventLinesPerSecond lines a second (on the core's clock) up to kEventBurst. A
  // person's actions log a line or three each (a login, a challenge and its answer, a watch
  // started or ended, the room entered or its input right asked for), a handful a minute; a whole
  // session, games, watching and the room included, stays in the tens of lines, and a long session
  // earns two lines a second on top. Only a peer that streams failing requests comes near it. The
  // connection that overdraws its budget is closed once, like a lost one, and nothing more it sent
  // is handled. The lines of its end may overdraw it by kLeaveDebtLines, so the leave is logged.
  // Lines logged outside any connection's doing (timers, start-up) are charged to nobody.
  //
  // A budget outlives its connection: what is left of it stays with the peer's address until it
  // has refilled, and the next connection from there takes it over. So reconnecting earns nothing,
  // and a login that finds no line left is refused by closing the connection.
  static constexpr long long kEventBurst = 200;
  static constexpr long long kEventLinesPerSecond = 2;
  static constexpr long long kLeaveDebtLines = 4;
  // True once `connection` has overdrawn its event or relay budget and is being closed.
  bool EventBudgetSpent(ConnectionId connection) const;

  // The event log in memory keeps its newest kKeptEventLines lines: once it holds a quarter more,
  // the oldest lines go to OnEventLinesLeaving (the window appends them to the log file) and
  // leave memory, so the event list costs a bounded amount however long the server runs.
  static constexpr int kKeptEventLines = 10000;
  // The oldest lines of the event log, each followed by CR LF, just before they leave Memo1.
  std::function<void(std::string_view lines)> OnEventLinesLeaving;

  // What the server sends to others because of a connection's messages (relayed chat, posts,
  // records, challenges, lists) is counted as the most any one reader got, and paid from that
  // connection's relay budget: kRelayBurstBytes, refilled with kRelayBytesPerSecond. The burst
  // takes two record loads of the largest size a message may have (256 KiB) at once; the rate
  // is thirty times a chat line of the longest kind every second, and lets a 250 KB record follow
  // every four seconds. Once the budget is spent, the connection's later messages wait, in order,
  // until it has refilled; while they wait nothing more of it is handled. When more than
  // kMaxHeldBytes wait, the connection is closed. A reader of 1 MB/s gets one sender's burst and
  // rate with plenty to spare, so a flood closes its sender, never a reader. An answer to a
  // challenge pending for its sender costs it nothing (neither lines nor bytes): the challenge
  // was paid by its challenger. The budget outlives the connection as the event budget does.
  static constexpr long long kRelayBurstBytes = 512 * 1024;
  static constexpr long long kRelayBytesPerSecond = 64 * 1024;
  static constexpr std::size_t kMaxHeldBytes = 512 * 1024;
  // Handles the waiting messages of every connection whose relay budget has refilled.
  void ReleaseHeldMessages();
  // Asks to have ReleaseHeldMessages called after this many milliseconds (the window's timer).
  std::function<void(long long milliseconds)> OnMessagesHeld;
  // Bytes of messages `connection` sent that wait for its relay budget.
  std::size_t HeldBytes(ConnectionId connection) const;

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
  // The followed game is the input holder's to choose; from anyone else these three change
  // nothing and reach nobody.
  // "<<DiscussChangeGame>>" with the game number g already read and checked to name a game in
  // use; the dispatcher goes on testing the same text afterwards. The room follows game g.
  void RoomChangeGame(int j, int g, std::string_view text);
  // "<<DiscussCallGame>>": the room follows the first game in use, or the holder hears that no
  // game is played.
  void RoomCallGame(int j, std::string_view text);
  void RoomOffGame(int j, std::string_view text);  // "<<DiscussOffGame>>": back to the members
  // "<<DiscussMese=": room chat, with a numbered diagram when it carries one.
  void RoomChat(int j, std::string_view text);
  void RoomEnter(int j, std::string_view text);  // "<<DiscussEnter>>": the snapshot
  // "<<DiscussReg>>": a member queues for the input right; the first gets it at once.
  void RoomRegister(int j, std::string_view text);
  // "<<DiscussCanEnd>>": the holder gives the right up (also after 60 idle seconds); the next
  // registrant gets it.
  void RoomGiveUp(int j, std::string_view text);
  // "<<DiscussChange>><<Changer=" name ">>": the holder hands the right to a member.
  void RoomHandOver(int j, std::string_view text);
  // "<<DiscussInput>>": the holder's input goes to the members; the record and move number are
  // kept for later entrants.
  void RoomInput(int j, std::string_view text);
  void RoomClose(int j, std::string_view text);  // "<<DiscussClose>>"
  // A member leaves the room; also called for a lost member's connection.
  void LeaveRoom(int j);
  // The holder of the input right leaves the room because its connection was lost.
  void LeaveRoomAsOperator(int j);

  // The room's queue. The registrant after `name` who is still a member: `name` and everyone
  // before that registrant leave the queue; 0 when nobody is left.
  int TakeNextRegistrant(std::string_view name);
  // The lines `from` and `to` of the queue trade places (`to` alone takes the place of `from`
  // when it was not registered); the slot of `to`, 0 when `to` is not logged in (queue unchanged).
  int SwapRegistrants(std::string_view from, std::string_view to);
  // "<<GameList=" with each game in use, then the followed game's record; empty while the room
  // follows no game.
  std::string BuildGameList() const;
  // What an entering member gets: the room's holder, members, chat, queue, record, shown move,
  // followed game and diagrams, ended by "<<DraumEND>>".
  std::string RoomSnapshot(std::string_view text) const;

  // Handlers owned by challenges and the game relay.
  // "<<RealTimeChange>>", "<<RealTimeCountStart>>", "<<RealTimeCount>>", "<<RealTimeCountEnd>>":
  // to the opponent, and but for the change of the counting side also to the game's watchers.
  void RelaySharedCount(int j, std::string_view text);
  // "Re<<GameSet>>", called only while GameCount is below GameLimit: a declined challenge goes
  // back to the challenger, an accepted one makes the game. Only the answer of the participant
  // asked, to the challenge pending, counts: any other acceptance is answered as if the
  // challenger had gone, any other refusal is dropped.
  void GameReply(int j, std::string_view text);
  // "<<GameSet>>", called only while GameCount is below GameLimit (the dispatcher answers
  // "<<GameIsFull>>" otherwise): relayed to the challenged participant and kept pending; it
  // takes the place of the challenger's earlier challenge.
  void GameChallenge(int j, std::string_view text);
  // True when `text`, answered by slot j, answers the challenge pending for its "<<Player1=":
  // j was asked, and the settings are those offered. That challenge is then over.
  bool TakePendingChallenge(int j, std::string_view text);
  void GameMove(int j, std::string_view text);  // "<<Move=": moves, passes and undo
  // "<<EndGameResign>>", "<<GameResign>>", "<<NewGameResign>>", "<<GameTimeOut>>", called only
  // while the sender's AttachedGame is above 0.
  void GameEndRequest(int j, std::string_view text);
  void RelayTimeStop(int j, std::string_view text);  // "<<TimeStop=": to the opponent only

  // The other player of game g: its white player when `name` is its black player, else black.
  const std::string& OpponentOf(int g, std::string_view name) const;

  // Handlers owned by watching and game chat.
  // "<<GameMese=": the line goes to the game's participants; a diagram with it is numbered,
  // kept with the game and sent back to the sender too.
  void GameChat(int j, std::string_view text);
  // "<<WatchGame=": the sender watches the game and gets its snapshot; its participants hear
  // the new count, everyone else the new hints.
  void WatchGame(int j, std::string_view text);
  // "<<OffWatchGame>>", called only while the sender's AttachedGame is above 0: the watcher
  // leaves the game named by the game tag; a finished game goes with its last watcher.
  void OffWatchGame(int j, std::string_view text);
  // `name` stops watching game g because it becomes a player of a new game; frees a finished game
  // with its last watcher. Sends nothing and leaves AttachedGame to the caller.
  void LeaveWatch(int g, std::string_view name);
  // The snapshot a new watcher of game g gets: chat, record, clocks, watchers, hints, the game
  // tag and the diagrams, ended by "<<DraumEND>>".
  std::string WatchSnapshot(int g, std::string_view text) const;
  // "<<OnlyWatchCount=" ... for the participants of game g.
  std::string WatchCountUpdate(int g) const;

  // Chat diagrams: the next number of the server-wide counter; the entry "{" n "}<<DiaData="
  // diagram ">>" is added to `store`. Returns n as text.
  std::string NumberDiagram(std::string& store, std::string_view diagram);
  // The chat log's mark of diagram n: "{ 碁盤 " n " }" and two line ends.
  static std::string DiagramChatLine(std::string_view n);

  // True for a game number 1..5 whose slot is in use.
  bool GameInUse(int g) const;
  // True when slot j is the black or white player of game g while it is played.
  bool IsRunningPlayer(int j, int g) const;
  // True when slot j is attached to game g in use as its black or white player (while it is
  // played, and after its end while the player stays on it). Only such a sender acts for g.
  bool IsPlayerOf(int j, int g) const;

  // The window caption for the present participant count.
  std::string CaptionText() const;

  // Every rule the tables keep between two events, checked from scratch; empty when all hold,
  // else what is wrong. Tests and the fuzzers call it after every event.
  std::string CheckConsistency() const;

  // Called whenever PlayerCount changes, so the window can set its caption.
  std::function<void()> OnPlayerCountChanged;

  const Clock& clock() const { return clock_; }

 private:
  // A new connection takes over what its address has left of its budgets.
  void OnClientConnect(ConnectionId id) override;
  // Every connection's reads pass its own framer, so a message split by TCP is handled whole and
  // the messages of one read are handled one by one, in order.
  // Every message's event lines are charged to its connection; once that connection has
  // overdrawn its budget, nothing more it sent is handled.
  void OnClientRead(ConnectionId id, std::string_view bytes) override;
  void OnClientDisconnect(ConnectionId id) override;

  // What one peer has cost: its event lines and relay bytes, each a bucket refilled with time.
  struct EventBudget {
    long long lines = kEventBurst;
    long long counted_at = 0;  // EpochSeconds of the last count
  };
  struct RelayBudget {
    long long bytes = kRelayBurstBytes;  // below zero after a large message: it waits
    long long counted_at = 0;            // SteadyMilliseconds of the last count
  };
  struct PeerCost {
    EventBudget events;
    RelayBudget relay;
  };
  // One open connection: its address, its costs and the messages that wait for its relay budget.
  struct Peer {
    std::string address;
    PeerCost cost;
    bool closing = false;  // closed by the server for overdrawing; nothing more is handled
    bool leaving = false;  // its end is being handled
    std::deque<std::string> held;
    std::size_t held_bytes = 0;
  };
  // The costs left by closed connections, by address, until they have refilled.
  struct ParkedCost {
    PeerCost cost;
    long long parked_at = 0;  // EpochSeconds
  };
  static constexpr std::size_t kMaxParkedCosts = 4096;

  Peer& PeerOf(ConnectionId id);
  // Brings the buckets up to now; true when both are full again.
  bool Refill(PeerCost& cost) const;
  // A cost left at the connection's address, or a fresh one.
  PeerCost TakeParkedCost(const std::string& address);
  void ParkCost(const std::string& address, const PeerCost& cost);
  // Drops the parked costs that have refilled, and the older half once there are still too many.
  void PruneParkedCosts();
  // Keeps the time a message held by `id`'s framer is handed over at, or forgets it.
  void HoldWhileGrowing(ConnectionId id, const MessageFramer& framer);
  // Takes one line from `connection`'s budget; false, and the connection is closed (once), when
  // the budget is spent. A line of its end may run into debt instead.
  bool ChargeEventLine(ConnectionId connection);
  // Closes a connection that overdrew a budget; what it sent and has not been handled is dropped.
  void CloseOverdrawn(ConnectionId id);
  // Handles the messages of one read, or holds them behind those already waiting.
  void HandleMessages(ConnectionId id, std::vector<std::string>& messages);
  // Handles one message of `id` and pays for what it sent to others.
  void HandleMessage(ConnectionId id, std::string message);
  // Starts counting what the next message sends to others.
  void StartCountingRelayed();
  // Counts `bytes` sent to slot `j` on behalf of the connection being handled.
  void CountRelayed(int j, std::size_t bytes);
  void AskForRelease();

  void SetPlayerCount(int count);
  // The message steps 2 to 25 of the dispatcher, for the logged-in sender j; every "<<" of the
  // text opens a tag.
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
  // "<<WatchCount=" … "<<WatchList=" … ">>", the record, then both clocks: the game's state as
  // the end notices carry it.
  std::string GameWatchersRecordAndClocks(int g) const;
  // Line index of the head "[ g ]" in the game list when its two name lines follow it; -1 else.
  int GameListIndex(int g) const;

  // The analysis room (room_handlers.cpp).
  // The member list and the queue are set only here, so their counts always match their names.
  void SetRoomMembers(std::string list);
  void SetRegList(std::string list);
  // Sends `text` to every room member with RoomState `state` (0: every member), except slot
  // `except`, from PlayerCount down.
  void SendToRoom(std::string_view text, int state = 0, int except = 0);
  // Slot k gets the input right; the members hear the new holder.
  void GiveInputTo(int k, bool handed_over);
  // The holder j gives the right up: the next registrant gets it, or nobody holds it.
  void GiveUpInput(int j);
  // The room is empty: its record and lists start over.
  void ResetEmptyRoom();
  std::string QueueUpdate() const;     // "<<OnlyRegList>><<DiscussRegList=" RegList ">>"
  std::string Grant() const;           // "<<DiscussCanPlay>><<DiscussRegList=" RegList ">>"
  std::string HolderNotice() const;    // "<<Discusser=" InputHolder ">>"
  std::string RoomMemberList() const;  // "<<DiscussInfo>><<DiscussCount=" ... "<<DiscussList=" ...

  // Messages of one move, built again for each move into kept buffers.
  std::string move_to_opponent_, move_to_watchers_, move_to_room_;

  std::map<ConnectionId, MessageFramer> framers_;
  std::map<ConnectionId, Peer> peers_;
  std::multimap<std::string, ParkedCost> parked_;
  // When each connection's message that may still grow is handed over, on the clock.
  std::map<ConnectionId, long long> hold_until_;
  ConnectionId charged_ = 0;       // the connection whose message is being handled; 0 none
  // Bytes sent to each reader's slot for the message being handled (an entry counts while its
  // stamp is the message's), and the most of them.
  struct Relayed {
    unsigned stamp = 0;
    std::size_t bytes = 0;
  };
  std::array<Relayed, kMaxPlayers + 1> relayed_{};
  unsigned relayed_stamp_ = 0;
  std::size_t relayed_most_ = 0;
  std::vector<std::string> read_;  // the messages of the last read, kept for their capacity
  // Connections without a login, with the time they arrived; ids grow, so the first is oldest.
  std::map<ConnectionId, long long> waiting_;
  ServerTransport& transport_;
  const Clock& clock_;
};

// " ザンテ - Kordraum   [ 参加者数 = " count " ]".
std::string ServerCaption(int player_count);

// True when a login name may be used: at most kMaxNameBytes long, without "<", ">", "[", "]" and
// bytes below 0x20, looking at cp932 characters (the trail byte of a double-byte character is not
// a bracket).
bool LoginNameAllowed(std::string_view name);

// The text rebuilt from its tags whose keys are among `keys` (each the first time it comes), in
// the order they came: any other tag and any text between or after the tags is left out, so that
// a relayed text carries nothing a reader could take for (the start of) another message. A text
// a client writes holds only such tags and comes out unchanged.
std::string KeepTags(std::string_view text, std::initializer_list<std::string_view> keys);
// A challenge, or an answer to one ("OKRe", "NORe" or "NoTimeRe" in front), as it is relayed and
// compared: its own tags only (KeepTags).
std::string RelayedChallenge(std::string_view text);

// What an answer must repeat of a challenge: the text from "<<GameSet>>" up to and with the key
// "<<KifuStart=" (the acceptance carries the start position rebuilt by the challenged client),
// or to its end; empty without "<<GameSet>>".
std::string_view ChallengeSettings(std::string_view text);

// A typed line cut to kMaxTypedLineBytes at a character boundary, keeping its closing CR LF.
std::string LimitTypedLine(std::string_view line);
// Once `text` is longer than kMaxKeptTextBytes + kKeptTextSlackBytes, drops whole lines (each
// ended by CR LF) from its front until it is at most kMaxKeptTextBytes long; a last line without
// its CR LF stays.
void KeepNewestLines(std::string& text);
// Once a diagram store is longer than kMaxKeptTextBytes + kKeptTextSlackBytes, drops whole
// entries "{" n "}<<DiaData=" diagram ">>" from its front until it is at most kMaxKeptTextBytes
// long; the newest entry always stays.
void KeepNewestDiagrams(std::string& store);

// Removes the first entry of `entries` (each followed by LF) that equals `name` as a whole;
// false when there is none.
bool RemoveListEntry(std::string& entries, std::string_view name);

// The room's lists (RoomMembers, RegList): CR LF, then each name followed by CR LF. Names are
// whole lines, compared exactly.
bool RoomListHas(std::string_view list, std::string_view name);
// Removes the line `name`; false when it is not a line of the list.
bool RoomListRemove(std::string& list, std::string_view name);
// The names of a list, in order.
std::vector<std::string> RoomListNames(std::string_view list);
// The list text of `names`.
std::string RoomListText(const std::vector<std::string>& names);
