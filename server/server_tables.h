// server/server_tables.h — everything the match server knows while it runs: counters, the
// participant and game tables, the shared texts and the lobby lists.
#pragma once
#include <array>
#include <cstddef>
#include <map>
#include <string>

#include "platform/line_list.h"
#include "platform/sockets.h"

constexpr int kMaxPlayers = 50;  // participant slots 1..50
constexpr int kMaxGames = 5;     // game slots 1..5

// What one participant can make the server keep or send. Each bound lies far beyond what real use
// reaches, so nothing a person types or plays is ever cut.
// A login name: the longest host name (64 bytes), which the client offers as its default name.
constexpr std::size_t kMaxNameBytes = 64;
// One line of the message board, a game chat or the room chat: twenty full-width lines of the
// chat window typed as one; a longer line is cut at a character boundary.
constexpr std::size_t kMaxTypedLineBytes = 2048;
// The message board, each chat log and each store of chat diagrams keep their newest part of
// about this size (some 600 board lines); the board goes to every new participant, a chat to
// every new watcher. A store may grow kKeptTextSlackBytes beyond it; then its oldest part goes at
// once, back to at most kMaxKeptTextBytes, so that a post moves the whole store only once in a
// quarter of it, not at every post.
constexpr std::size_t kMaxKeptTextBytes = 64 * 1024;
constexpr std::size_t kKeptTextSlackBytes = kMaxKeptTextBytes / 4;
// The moves of a game's record after its header: 500 moves take 2.5 KiB; beyond the bound moves
// are still relayed, but not kept (a snapshot with the record stays far below a client's bound).
constexpr std::size_t kMaxRecordBytes = 256 * 1024;

// One logged-in participant. A vacated slot holds these values again.
struct Participant {
  std::string PlayerName = "555";
  int PlayerMode = 0;    // 1 may play and watch (waiting list), 0 watch only
  int AttachedGame = 0;  // game slot played or watched, 0 none
  int RoomState = 0;     // analysis room: 0 outside, 1 member, 2 member holding the input right
  ConnectionId PlayerSocket = 0;  // 0: no connection
};

// One game slot. Freeing a slot only resets its state; the texts stay until the next game.
struct GameSlot {
  int GameState = 0;       // 0 free, 1 being played, 2 finished and kept while it has watchers
  int WatchCount = 0;      // attached participants that are not its running players
  std::string WatchNames;  // each watcher's name followed by LF
  int PassCount = 0;       // consecutive passes
  int UndoState = 0;       // 0 none asked, 1 asked by black, 2 asked by white
  std::string GameDiagrams;
  std::string GameChatLog;
  std::string GameRecord;
  std::size_t RecordHeaderLength = 0;  // the header at the start of GameRecord, never cut
  std::string BlackName, WhiteName;
  std::string BlackClock, WhiteClock;  // last clock texts received with moves
};

// A challenge the server relayed and that is not answered yet.
struct PendingChallenge {
  std::string Asked;     // the participant the challenger asked
  std::string Settings;  // the challenge from "<<GameSet>>" on, as ChallengeSettings gives it
};

struct ServerTables {
  ServerTables();

  // Counters.
  int PlayerCount = -1;  // -1 until the server's own test connection arrives
  int GameCount = 0;
  int GameLimit = 5;        // 1..5
  int JoinLimit = 50;       // 2..50
  int DiagramCounter = 0;   // last number given to a chat diagram, across games and the room
  int RoomCount = 0;        // names in RoomMembers
  int RegisteredCount = 0;  // names in RegList
  int RoomGame = 0;         // game slot the analysis room follows, 0 none

  // Index 0 exists and is never used; slots 1..PlayerCount are in use, in order of login.
  std::array<Participant, kMaxPlayers + 1> Players{};
  std::array<GameSlot, kMaxGames + 1> Games{};

  // Shared texts.
  const std::string JoinKeyTable = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0";
  const std::string RecordLetters = "tabcdefghijklmnopqrs";
  const std::string MoveTemplate = ";[55]";
  std::string BoardText;             // the message board, each line followed by CR LF
  std::string StartStamp;            // start date " -- " start time
  std::string ProgramFolder;         // folder of the program file, with its trailing separator
  std::string WaitHintList;          // one "[g]" per line of Memo3
  std::string RoomRecord;            // the room's record from "<<DiscussKifu=" to its end
  std::string InputHolder;           // the member holding the room's input right, or empty
  std::string RoomMembers = "\r\n";  // CR LF, then each member followed by CR LF
  std::string RegList = "\r\n";      // the same for the queue, the holder first
  std::string RoomChatLog;           // the room's chat lines
  std::string RoomDiagrams;          // the room's chat diagrams, "{" n "}<<DiaData=" d ">>"
  std::string RoomMoveSuu;           // "<<MoveSuu=" n ">>" of the last step input, or empty

  // Each challenger's last relayed challenge until it is answered, or either side leaves; an
  // answer acts only for the challenge its sender was asked.
  std::map<std::string, PendingChallenge> PendingChallenges;

  // The window's lists: event log, game list, waiting list, watch-only list.
  LineList Memo1, Memo2, Memo3, Memo4;

  // True for a participant slot in use (1..PlayerCount).
  bool SlotInUse(int j) const { return j >= 1 && j <= PlayerCount && j <= kMaxPlayers; }
  // True for a game number that names a slot (1..5), whatever its state.
  static bool GameNumberValid(int g) { return g >= 1 && g <= kMaxGames; }
};
