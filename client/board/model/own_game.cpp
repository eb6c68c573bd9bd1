// client/board/model/own_game.cpp — clocks, time entries and the own game's texts.
#include "client/board/model/own_game.h"

#include <algorithm>

#include "platform/cp932.h"
#include "protocol/tag_message.h"

namespace {
// The text with the first occurrence of `unit` removed.
std::string WithoutFirst(std::string_view text, std::string_view unit) {
  std::string result(text);
  const std::size_t at = result.find(unit);
  if (at != std::string::npos) result.erase(at, unit.size());
  return result;
}
}  // namespace

std::string FormatClock(int seconds) {
  const int s = std::max(seconds, 0);
  const int sec = s % 60;
  return std::to_string(s / 3600) + ":" + std::to_string(s % 3600 / 60) + ":" +
         (sec < 10 ? "0" : "") + std::to_string(sec);
}

int ClampClock(long long seconds) {
  return static_cast<int>(std::clamp<long long>(seconds, 0, kMaxClockSeconds));
}

int MoveTimeEntry(int moveSeconds, int clock) {
  return std::clamp(moveSeconds, 0, kMaxMoveSeconds) * 100'000 + ClampClock(clock);
}

int MainTimeSeconds(std::string_view value) {
  if (value == J("任意")) return 0;
  const long long minutes = ReadNumber64(WithoutFirst(value, J(" 分")), 0);
  // Minutes beyond any clock are a full clock; the product cannot overflow below this bound.
  if (minutes > kMaxClockSeconds) return kMaxClockSeconds;
  return ClampClock(minutes * 60);
}

int AddedTimeSeconds(std::string_view value) {
  if (value == J("なし")) return 0;
  return ClampClock(ReadNumber64(WithoutFirst(value, J(" 秒")), 0));
}

std::string RecordTimeProperty(int blackClock, int whiteClock) {
  if (blackClock == whiteClock) return "TM[" + std::to_string(blackClock) + "]";
  return "TM[" + std::to_string(blackClock) + "/" + std::to_string(whiteClock) + "]";
}

std::string GameConditionsText(std::string_view handicap, bool hasSetupStones,
                               std::string_view komi, std::string_view blackTimeText,
                               int blackClock, int whiteClock, int addSeconds) {
  std::string text(handicap);
  if (hasSetupStones) text += J("局");
  text += J(" ( コミ = ") + std::string(komi) + " )";
  if (blackClock == whiteClock) {
    text += J("  持ち時間 = ") + std::string(blackTimeText);
  } else {
    text += J("  黒") + std::to_string(blackClock / 60) + J("分/白") +
            std::to_string(whiteClock / 60) + J("分");
  }
  if (addSeconds >= 1) text += " (+" + std::to_string(addSeconds) + J("秒)");
  return text;
}

std::string OwnTurnText(bool playsBlack) {
  return J(playsBlack ? "黒番  ( 手番になりました )" : "白番  ( 手番になりました )");
}

std::string WaitingTurnText(bool playsBlack) {
  return J(playsBlack ? "白番 (相手の着手を待っています・・)"
                      : "黒番 (相手の着手を待っています・・)");
}

std::string WaitingAfterPassText(bool playsBlack) {
  return J(playsBlack ? "白番  (相手の着手を待っています・・)"
                      : "黒番  (相手の着手を待っています・・)");
}

std::string GameEndWord(std::string_view m) {
  if (HasTag(m, "<<EndGameResign>>")) return J("終了");
  if (HasTag(m, "<<GameResign>>")) return J("投了");
  if (HasTag(m, "<<PassEndGame>>")) return J("終局");
  if (HasTag(m, "<<NewGameResign>>")) return J("対局終了");
  if (HasTag(m, "<<GameTimeOut>>")) return J("時間切れ");
  return J("接続切れ");
}

std::string GameEndStatusText(std::string_view m) {
  return GetTagValue(m, "<<Suu=") + J("手まで、[ ") + GetTagValue(m, "<<Name=") + " ]  ==>  " +
         GameEndWord(m);
}
