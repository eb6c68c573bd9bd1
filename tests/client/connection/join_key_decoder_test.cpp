// Tests of join key decoding against the server's encoder, and of the remembered keys.
#include "client/connection/model/join_key_decoder.h"

#include <gtest/gtest.h>

#include "server/join_key.h"

TEST(DecodeJoinKey, KnownKeysInEitherCase) {
  EXPECT_EQ(DecodeJoinKey("CO155400"), "192.168.1.5");
  EXPECT_EQ(DecodeJoinKey("co155400"), "192.168.1.5");
  EXPECT_EQ(DecodeJoinKey("J0013000"), "127.0.0.1");
  EXPECT_EQ(DecodeJoinKey("00000000"), "0.0.0.0");
  EXPECT_EQ(DecodeJoinKey("33337777"), "255.255.255.255");
}

TEST(DecodeJoinKey, RoundTripsTheEncoderOverEveryOctetInEveryPlace) {
  // The decoder must not change "00" in the address text: 192.168.0.100 stays itself.
  for (int octet = 0; octet <= 255; ++octet) {
    for (int place = 0; place < 4; ++place) {
      int parts[4] = {192, 168, 0, 100};
      parts[place] = octet;
      const std::string address = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
                                  std::to_string(parts[2]) + "." + std::to_string(parts[3]);
      EXPECT_EQ(DecodeJoinKey(EncodeJoinKey(address)), address) << address;
    }
  }
}

TEST(DecodeJoinKey, RefusesKeysThatCannotBeAnAddress) {
  for (const char* key : {"", "CO15540", "CO1554000", "CO15540!", "CO 55400", "1A2B3C4D",
                          "ZZZZZZZZ", "0000000\xE3", "00000080"}) {
    EXPECT_FALSE(DecodeJoinKey(key).has_value()) << key;
  }
  // 36 x 7 + 3 = 255 is the largest octet; 36 x 7 + 4 is too large.
  EXPECT_EQ(DecodeJoinKey("30007000"), "255.0.0.0");
  EXPECT_FALSE(DecodeJoinKey("40007000").has_value());
}

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
