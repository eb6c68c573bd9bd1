// Tests of the remembered join keys.
#include "client/connection/model/join_key_history.h"

#include <gtest/gtest.h>

namespace {
struct History {
  std::array<std::string, 6> keys{"", "key1", "key2", "key3", "key4", "key5"};
  int count = 0;
  void Set(std::initializer_list<const char*> remembered) {
    count = 0;
    for (const char* key : remembered) keys[static_cast<std::size_t>(++count)] = key;
  }
  std::string Shown() const {
    std::string text;
    for (int i = 1; i <= count; ++i) text += keys[static_cast<std::size_t>(i)] + " ";
    return text;
  }
};
}  // namespace

TEST(RememberJoinKey, FrontKeyStaysThirdMovesUpNewKeyPushesTheFifthOut) {
  History h;
  h.Set({"AAAAAAAA", "BBBBBBBB", "CCCCCCCC"});
  RememberJoinKey(h.keys, h.count, "AAAAAAAA");
  EXPECT_EQ(h.Shown(), "AAAAAAAA BBBBBBBB CCCCCCCC ");

  RememberJoinKey(h.keys, h.count, "CCCCCCCC");
  EXPECT_EQ(h.Shown(), "CCCCCCCC AAAAAAAA BBBBBBBB ");

  RememberJoinKey(h.keys, h.count, "DDDDDDDD");
  EXPECT_EQ(h.Shown(), "DDDDDDDD CCCCCCCC AAAAAAAA BBBBBBBB ");

  h.Set({"11111111", "22222222", "33333333", "44444444", "55555555"});
  RememberJoinKey(h.keys, h.count, "66666666");
  EXPECT_EQ(h.Shown(), "66666666 11111111 22222222 33333333 44444444 ");
  EXPECT_EQ(h.count, 5);
}

TEST(RememberJoinKey, FirstKeyEverAndAMatchBeyondTheCountCountsAsNew) {
  History h;
  RememberJoinKey(h.keys, h.count, "AAAAAAAA");
  EXPECT_EQ(h.Shown(), "AAAAAAAA ");
  // "key3" sits in slot 3, but only one key is remembered: it is new.
  RememberJoinKey(h.keys, h.count, "key3");
  EXPECT_EQ(h.Shown(), "key3 AAAAAAAA ");
  EXPECT_EQ(h.count, 2);
}
