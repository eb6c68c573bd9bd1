// client/board/model/watching.cpp — the watch snapshot, the watched game's conditions and the
// watch buffer.
#include "client/board/model/watching.h"

#include <algorithm>
#include <array>

#include "client/board/model/own_game.h"
#include "client/board/model/record_text.h"
#include "platform/cp932.h"
#include "protocol/tag_message.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The keys of the snapshot's parts, in the order the server writes them.
constexpr std::array<std::string_view, 9> kSnapshotKeys = {
    "<<AllMese=",   "<<AllGameData=", "<<KuroTime=",  "<<SiroTime=", "<<WatchCount=",
    "<<WatchList=", "<<WaitHint=",    "<<GameIndex=", "<<DiaStr=",
};
constexpr std::string_view kSnapshotEnd = "<<DraumEND>>";

// A number of seconds or a count from the snapshot, within what a clock holds.
int SnapshotNumber(std::string_view text) { return ClampClock(ReadNumber64(text, 0)); }

// A game slot number: a positive number, else 0.
int GameNumber(std::string_view text) { return std::max(ReadNumber(text, 0), 0); }

// A property of the record read as a whole number of seconds, 0 when it is not one.
long long SecondsValue(std::string_view text) { return std::max(ReadNumber64(text, 0), 0LL); }

}  // namespace

WatchSnapshot ReadWatchSnapshot(std::string_view message) {
  WatchSnapshot snapshot;
  std::array<std::string_view, kSnapshotKeys.size()> parts{};
  std::size_t found = 0;
  // The echoed request comes first; the chat is the first part after it.
  std::size_t pos = message.find(kSnapshotKeys[0]);
  while (pos != npos && found < parts.size()) {
    const std::size_t start = pos + kSnapshotKeys[found].size();
    const std::string next =
        ">>" + std::string(found + 1 < parts.size() ? kSnapshotKeys[found + 1] : kSnapshotEnd);
    const std::size_t end = message.find(next, start);
    if (end == npos) break;
    parts[found] = message.substr(start, end - start);
    ++found;
    pos = end + 2;
  }
  snapshot.Complete = found == parts.size();
  snapshot.ChatLog = parts[0];
  snapshot.Record = parts[1];
  snapshot.BlackClock = SnapshotNumber(parts[2]);
  snapshot.WhiteClock = SnapshotNumber(parts[3]);
  snapshot.WatchCount = SnapshotNumber(parts[4]);
  snapshot.WatchList = parts[5];
  snapshot.WaitHint = parts[6];
  snapshot.GameIndex = GameNumber(parts[7]);
  snapshot.DiagramStore = parts[8];
  if (snapshot.GameIndex == 0) {
    // The request this snapshot answers names the game too.
    const std::size_t request = message.find("<<WatchGame=");
    const std::size_t chat = message.find(kSnapshotKeys[0]);
    if (request != npos && request < chat) {
      snapshot.GameIndex = GameNumber(GetTagValue(message.substr(0, chat), "<<WatchGame="));
    }
  }
  return snapshot;
}

std::string HandicapName(std::string_view value) {
  static constexpr std::array<const char*, 8> kStones = {
      "二子局", "三子局", "四子局", "五子局", "六子局", "七子局", "八子局", "九子局",
  };
  if (value == "1") return J("定先");
  if (value.size() == 1 && value[0] >= '2' && value[0] <= '9') return J(kStones[value[0] - '2']);
  return J("互先");
}

WatchConditions ReadWatchConditions(std::string_view record) {
  WatchConditions c;
  const std::string_view handicap = RecordPropertyValue(record, "HA[");
  if (!handicap.empty()) c.Text = HandicapName(handicap);
  const std::string_view komi = RecordPropertyValue(record, "KM[");
  if (!komi.empty()) {
    c.KomiTenths = ParseKomi(komi);
    c.Text += J(" ( コミ = ") + std::string(komi) + " )";
  }
  const std::string_view black = RecordPropertyValue(record, "BT[");
  if (!black.empty()) {
    // The times are written back as the numbers they are, so that a saved record never carries
    // the record text of another program.
    const long long b = SecondsValue(black);
    const long long w = SecondsValue(RecordPropertyValue(record, "WT["));
    c.BlackMainTime = ClampClock(b);
    c.WhiteMainTime = ClampClock(w);
    if (b == w) {
      c.Text += J("  持ち時間 = ") + std::to_string(b / 60) + J(" 分");
      c.RecordTimeText = "TM[" + std::to_string(b) + "]";
    } else {
      c.Text += J("  黒") + std::to_string(b / 60) + J("分/白") + std::to_string(w / 60) + J("分");
      c.RecordTimeText = "TM[" + std::to_string(b) + "/" + std::to_string(w) + "]";
    }
  }
  c.AddSeconds = ClampClock(ReadNumber64(RecordPropertyValue(record, "AM["), 0));
  if (c.AddSeconds > 0) c.Text += " (+" + std::to_string(c.AddSeconds) + J("秒)");
  return c;
}

int WatchedClockSeconds(int reported, int mainTime) {
  return reported == 0 && mainTime > 0 ? mainTime : reported;
}

WatchedMoveOutcome StoreWatchedMove(BoardModel& board, int point) {
  if (point != 0 && !IsPlayingPoint(point, board.BoardSize)) return WatchedMoveOutcome::kInvalid;
  const bool newestShown = board.MoveTop == board.BufferLength;
  if (point != 0 && newestShown && board.Board[point] != kEmpty) {
    return WatchedMoveOutcome::kInvalid;
  }
  if (!board.AppendToBuffer(point)) return WatchedMoveOutcome::kBufferFull;
  if (!newestShown) return WatchedMoveOutcome::kStored;
  board.ReplayStepForward();
  return WatchedMoveOutcome::kShown;
}
