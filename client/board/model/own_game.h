// client/board/model/own_game.h — the own game's clocks, per-move time entries and the texts the
// board window shows for the turn, the game's conditions and the end of a game.
#pragma once
#include <string>
#include <string_view>

// A clock never holds more than this many seconds (27 h 46 min 39 s): a time entry keeps the
// clock in its last five digits.
constexpr int kMaxClockSeconds = 99'999;
// Seconds spent on one move counted into a time entry; more would not fit the entry's int.
constexpr int kMaxMoveSeconds = 20'000;

// "h:m:ss": hours and minutes without a leading zero, seconds with one below 10 (900 is 0:15:00,
// 3725 is 1:2:05). A negative count shows as 0:0:00.
std::string FormatClock(int seconds);

// `seconds` within 0..kMaxClockSeconds.
int ClampClock(long long seconds);

// A move's time entry: seconds spent on it * 100000 + the mover's clock after it, each within its
// limit, so the entry neither overflows nor mixes its two parts.
int MoveTimeEntry(int moveSeconds, int clock);

// A main time of the game start ("30 分", or "任意" for no limit) in seconds: the first " 分" is
// removed and the number left (0 when it is none) counts minutes. No limit is 0.
int MainTimeSeconds(std::string_view value);
// The time added per move ("10 秒", or "なし" for none) in seconds, 0 for none.
int AddedTimeSeconds(std::string_view value);

// The record's time property: "TM[" black "]" when both main times are equal, else
// "TM[" black "/" white "]".
std::string RecordTimeProperty(int blackClock, int whiteClock);

// Status-bar panel 4 of an own game, e.g. "２子局 ( コミ = 0 )  持ち時間 = 30 分 (+10秒)": the
// handicap word ("局" added when the game has setup stones), the komi text, the main time as sent
// when both clocks are equal (else "黒" m "分/白" m "分") and the added seconds when there are any.
std::string GameConditionsText(std::string_view handicap, bool hasSetupStones,
                               std::string_view komi, std::string_view blackTimeText,
                               int blackClock, int whiteClock, int addSeconds);

// Status-bar panel 0 while it is this user's turn: "黒番  ( 手番になりました )" (white: "白番…").
std::string OwnTurnText(bool playsBlack);
// Panel 0 while the opponent is to move: the opponent's colour + "番
// (相手の着手を待っています・・)".
std::string WaitingTurnText(bool playsBlack);
// Panel 0 after this user's pass: as WaitingTurnText with two blanks before the bracket.
std::string WaitingAfterPassText(bool playsBlack);

// Black's clock runs when black is to move: `movesPlayed` (passes included, setup stones not) is
// even exactly when black played the first move.
constexpr bool BlackIsToMove(int movesPlayed, bool blackFirst) {
  return (movesPlayed % 2 == 0) == blackFirst;
}

// The word of an end-of-game message: "終了", "投了", "終局", "対局終了", "時間切れ" or "接続切れ".
std::string GameEndWord(std::string_view message);
// Status-bar panel 0 at the end of a game: the "<<Suu=" value + "手まで、[ " + the "<<Name="
// value + " ]  ==>  " + the end word.
std::string GameEndStatusText(std::string_view message);
