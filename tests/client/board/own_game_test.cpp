// Tests of the own game's clock texts, time arithmetic and status texts.
#include "client/board/model/own_game.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/cp932.h"

TEST(FormatClock, HoursAndMinutesBareSecondsPadded) {
  struct Case {
    int seconds;
    const char* text;
  } cases[] = {
      {900, "0:15:00"}, {3725, "1:2:05"}, {0, "0:0:00"},       {59, "0:0:59"},
      {60, "0:1:00"},   {3600, "1:0:00"}, {99999, "27:46:39"}, {-5, "0:0:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatClock(c.seconds), c.text) << c.seconds;
}

TEST(ClockArithmetic, ClocksAndTimeEntriesStayWithinTheirDigits) {
  EXPECT_EQ(ClampClock(-1), 0);
  EXPECT_EQ(ClampClock(1800), 1800);
  EXPECT_EQ(ClampClock(static_cast<long long>(INT_MAX) + 10), kMaxClockSeconds);
  EXPECT_EQ(MoveTimeEntry(5, 895), 500895);
  // The clock part never spills into the seconds part, and the sum never overflows.
  EXPECT_EQ(MoveTimeEntry(3, 250000) % 100000, kMaxClockSeconds);
  EXPECT_EQ(MoveTimeEntry(INT_MAX, INT_MAX), kMaxMoveSeconds * 100000 + kMaxClockSeconds);
  EXPECT_EQ(MoveTimeEntry(-4, -4), 0);
}

TEST(StartTimes, MainAndAddedTimesFromTheirTexts) {
  struct Case {
    const char* text;
    int main_seconds;
    int added_seconds;
  } cases[] = {
      {"30 分", 1800, 0},     // only the unit of its own kind is removed
      {"30 秒", 0, 30},       // "30 秒" is not minutes
      {"任意", 0, 0},         // no limit
      {"なし", 0, 0},         // no added time
      {"", 0, 0},             // not a number
      {"abc 分", 0, 0},       // not a number
      {"-5 分", 0, 0},        // no clock below 0
      {"1666 分", 99960, 0},  // the largest whole minutes a clock holds
      {"1667 分", kMaxClockSeconds, 0},
      {"99999999999 分", kMaxClockSeconds, 0},
      {"99999999999999999999 分", 0, 0},  // beyond any number: not one
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MainTimeSeconds(J(c.text)), c.main_seconds) << c.text;
    EXPECT_EQ(AddedTimeSeconds(J(c.text)), c.added_seconds) << c.text;
  }
}

TEST(RecordTimeProperty, OneValueWhenEqualElseBoth) {
  EXPECT_EQ(RecordTimeProperty(900, 900), "TM[900]");
  EXPECT_EQ(RecordTimeProperty(0, 0), "TM[0]");
  EXPECT_EQ(RecordTimeProperty(1800, 1200), "TM[1800/1200]");
  EXPECT_EQ(RecordTimeProperty(0, 600), "TM[0/600]");
}

TEST(GameConditionsText, HandicapKomiTimesAndIncrement) {
  EXPECT_EQ(GameConditionsText(J("２子"), true, "0", J("30 分"), 1800, 1800, 10),
            J("２子局 ( コミ = 0 )  持ち時間 = 30 分 (+10秒)"));
  EXPECT_EQ(GameConditionsText(J("互先"), false, "6.5", J("任意"), 0, 0, 0),
            J("互先 ( コミ = 6.5 )  持ち時間 = 任意"));
  EXPECT_EQ(GameConditionsText(J("定先"), false, "-3.5", J("30 分"), 1800, 1200, 1),
            J("定先 ( コミ = -3.5 )  黒30分/白20分 (+1秒)"));
}

TEST(TurnTexts, ExactBytesOfEachSide) {
  EXPECT_EQ(OwnTurnText(true), J("黒番  ( 手番になりました )"));
  EXPECT_EQ(OwnTurnText(false), J("白番  ( 手番になりました )"));
  EXPECT_EQ(WaitingTurnText(true), J("白番 (相手の着手を待っています・・)"));
  EXPECT_EQ(WaitingTurnText(false), J("黒番 (相手の着手を待っています・・)"));
  EXPECT_EQ(WaitingAfterPassText(true), J("白番  (相手の着手を待っています・・)"));
  EXPECT_EQ(WaitingAfterPassText(false), J("黒番  (相手の着手を待っています・・)"));
}

TEST(BlackIsToMove, ByMovesPlayedAndTheFirstPlayer) {
  EXPECT_TRUE(BlackIsToMove(0, true));
  EXPECT_FALSE(BlackIsToMove(1, true));  // after black's first move white's clock runs
  EXPECT_FALSE(BlackIsToMove(0, false));
  EXPECT_TRUE(BlackIsToMove(1, false));
  EXPECT_TRUE(BlackIsToMove(100, true));
}

TEST(GameEndTexts, WordsInTheirOrderAndTheStatusLine) {
  struct Case {
    const char* message;
    const char* word;
  } cases[] = {
      {"<<EndGameResign>><<GameResign>>", "終了"},  // the first word that matches counts
      {"<<GameResign>><<Suu=3>>", "投了"},         {"<<PassEndGame>><<Suu=3>>", "終局"},
      {"<<NewGameResign>>", "対局終了"},           {"<<GameTimeOut>>", "時間切れ"},
      {"<<OutGameResign>>", "接続切れ"},
  };
  for (const auto& c : cases) EXPECT_EQ(GameEndWord(c.message), J(c.word)) << c.message;
  EXPECT_EQ(GameEndStatusText(J("<<GameResign>><<Suu=41>><<GameIndex=2>><<Name=白石>>")),
            J("41手まで、[ 白石 ]  ==>  投了"));
  EXPECT_EQ(GameEndStatusText("<<OutGameResign>><<Name=x>>"), J("手まで、[ x ]  ==>  接続切れ"));
}
