// Tests of the game chat lines: what a typed line becomes, and the diagram link line.
#include "client/connection/model/game_chat_texts.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "protocol/tag_message.h"

TEST(TypedChatLine, TrimmedEscapedNumberedAndEnded) {
  struct Case {
    const char* typed;
    int move;
    const char* line;
  } cases[] = {
      {"a>>b", 8, "[ Taro ]：a＞＞b (8)\r\n"},
      {"a>>b", 0, "[ Taro ]：a＞＞b\r\n"},
      {"a>>b", -3, "[ Taro ]：a＞＞b\r\n"},  // only setup stones on the board
      {"  よろしく\t\r\n", 1, "[ Taro ]：よろしく (1)\r\n"},
      {"<<SysNotFound>>", 0, "[ Taro ]：＜＜SysNotFound＞＞\r\n"},
      {"ok >", 12, "[ Taro ]：ok ＞ (12)\r\n"},  // a final ">" cannot join the value's end
      {"ソ", 2, "[ Taro ]：ソ (2)\r\n"},         // a trail byte 0x5C is no blank
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TypedChatLine("Taro", J(c.typed), c.move), J(c.line)) << c.typed;
  }
}

TEST(TypedChatLine, NoTypedTextCanEndTheValueOrFormATag) {
  for (const char* typed : {">", ">>", "<", "<<", "a>>>", "<<<>>>", "x<<GameMese=y>>z>"}) {
    const std::string message = "<<GameMese=" + TypedChatLine("Taro", typed, 0) + ">>" + GameTag(1);
    EXPECT_EQ(GetTagValue(message, "<<GameMese="), TypedChatLine("Taro", typed, 0)) << typed;
    EXPECT_EQ(message.find("<<", 2), message.find("<<GameIndex=")) << typed;
  }
}

TEST(CountingChatLine, TrimmedEscapedAndAlwaysNumberedInBrackets) {
  struct Case {
    const char* typed;
    int move;
    const char* line;
  } cases[] = {
      {"a>>b", 120, "[ Taro ]：a＞＞b [120]\r\n"},
      {" 黒の地は？\r\n", 0, "[ Taro ]：黒の地は？ [0]\r\n"},
      {"<<RealTimeCountEnd>>", -2, "[ Taro ]：＜＜RealTimeCountEnd＞＞ [-2]\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CountingChatLine("Taro", J(c.typed), c.move), J(c.line)) << c.typed;
  }
}
