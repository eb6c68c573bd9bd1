// client/board/model/watching.h — watching a game: the server's watch snapshot read part by part
// in the order the server writes it, the game's conditions taken from its record, and the moves
// relayed afterwards kept in the watch buffer.
#pragma once
#include <string>
#include <string_view>

#include "client/board/model/board_model.h"

// The parts of a watch snapshot. The server writes them in one fixed order after the echoed
// request: "<<AllMese=" chat ">><<AllGameData=" record ">><<KuroTime=" s ">><<SiroTime=" s
// ">><<WatchCount=" n ">><<WatchList=" names ">><<WaitHint=" hints ">><<GameIndex=" g
// ">><<DiaStr=" diagrams ">><<DraumEND>>".
struct WatchSnapshot {
  // Every part stood in its place; the parts after a missing one are empty.
  bool Complete = false;
  std::string ChatLog;       // the game chat so far, lines ending with CR LF
  std::string Record;        // the live record of the game
  int BlackClock = 0;        // seconds on black's clock, 0 when not a number
  int WhiteClock = 0;        // seconds on white's clock
  int WatchCount = 0;        // watchers, this one included
  std::string WatchList;     // their names, each followed by LF
  std::string WaitHint;      // the lobby's hint list
  int GameIndex = 0;         // the game slot, 0 when neither the snapshot nor the request names one
  std::string DiagramStore;  // the game's chat diagrams: "{" n "}<<DiaData=" diagram ">>" ...
};

// Reads a snapshot by position: each part runs from its key to the ">>" that stands right before
// the next part's key, and the diagrams run to the ">>" before "<<DraumEND>>". So chat lines,
// names or diagrams that hold record text or tag keys stay inside their own part. The game number
// falls back to the echoed "<<WatchGame=" request when the snapshot's own one is missing or not a
// number.
WatchSnapshot ReadWatchSnapshot(std::string_view message);

// The name of a record's handicap value: "1" is "定先", "2" to "9" are "二子局" to "九子局",
// anything else "互先".
std::string HandicapName(std::string_view value);

// What a watcher shows and keeps of the game's conditions.
struct WatchConditions {
  std::string Text;    // status-bar panel 4, e.g. "定先 ( コミ = 6.5 )  持ち時間 = 30 分"
  int KomiTenths = 0;  // the komi in tenths of a point
  int AddSeconds = 0;  // seconds added per move
  std::string RecordTimeText;  // "TM[" b "]" or "TM[" b "/" w "]", empty without "BT["
  int BlackMainTime = 0;       // black's main time in seconds ("BT["), 0 for no limit
  int WhiteMainTime = 0;       // white's ("WT[")
};

// The conditions read from the record of a snapshot (first occurrence of each property; a value
// needs at least one character): the handicap word of "HA[", the komi of "KM[", the main times of
// "BT[" and "WT[" (seconds) and the added seconds of "AM[".
WatchConditions ReadWatchConditions(std::string_view record);

// The seconds a watcher's memo shows for a player's clock: the clock the server reports, except
// that the server reports 0 until the player's first move, so a game with a main time shows that
// main time instead (`mainTime` 0: no limit, the report as it stands).
int WatchedClockSeconds(int reported, int mainTime);

// What became of a relayed move.
enum class WatchedMoveOutcome {
  kShown,       // stored and shown: the newest move was on display
  kStored,      // stored after the buffered moves; the display stays where the watcher is
  kInvalid,     // a point off the board, or occupied while the newest move is on display
  kBufferFull,  // the move list holds all it can; nothing was stored
};

// Stores a relayed move (0 for a pass) after the buffered ones, and steps the display forward
// when the newest move was on display. An occupied point is refused only then: a watcher who has
// stepped back stores the move, and replaying it onto an occupied point makes it a pass.
WatchedMoveOutcome StoreWatchedMove(BoardModel& board, int point);
