// Tests of join keys: encoding addresses, and decoding keys back against the encoder.
#include "protocol/join_key.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"

TEST(EncodeJoinKey, KnownAddresses) {
  struct Case {
    const char* address;
    const char* key;
  } cases[] = {
      {"192.168.0.1", "CO015400"}, {"10.0.0.2", "A0020000"}, {"127.0.0.1", "J0013000"},
      {"255.255.255.255", "33337777"}, {"0.0.0.0", "00000000"}, {"999.0.0.0", "R000R000"},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodeJoinKey(c.address), c.key) << c.address;
}

TEST(EncodeJoinKey, AnythingButFourSmallNumbersIsUnknown) {
  for (const char* address : {"", "1.2.3", "1.2.3.x", "1000.0.0.1", "1.2.3.1000", "a.b.c.d",
                              "1..2.3", "-1.2.3.4", "1.2.3.4.5"}) {
    EXPECT_EQ(EncodeJoinKey(address), J("不明")) << address;
  }
}

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
