// Tests of join keys and of what the server shows and copies for its addresses.
#include "server/join_key.h"

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

TEST(ComposeJoinKeys, OneTwoAndThreeAddresses) {
  const JoinKeyDisplay one = ComposeJoinKeys("go-host", {"192.168.0.1"});
  EXPECT_TRUE(one.shown);
  EXPECT_EQ(one.memo_text, J(" 参 加 キー = ") + "CO015400");
  EXPECT_EQ(one.clipboard, "CO015400");
  EXPECT_EQ(one.hint, J("[ PC名 = ") + "go-host ]");

  // The second address is for the Internet: shown first and copied.
  const JoinKeyDisplay two = ComposeJoinKeys("h", {"192.168.0.1", "10.0.0.2"});
  EXPECT_TRUE(two.shown);
  EXPECT_EQ(two.memo_text, J("(ネット用)参加キー = ") + "A0020000\r\n" + J("(ＬＡＮ用)参加キー = ") +
                               "CO015400");
  EXPECT_EQ(two.clipboard, "A0020000");

  for (const auto& addresses : {std::vector<std::string>{},
                                std::vector<std::string>{"1.1.1.1", "2.2.2.2", "3.3.3.3"}}) {
    const JoinKeyDisplay none = ComposeJoinKeys("h", addresses);
    EXPECT_FALSE(none.shown);
    EXPECT_EQ(none.clipboard, "");
  }
}
