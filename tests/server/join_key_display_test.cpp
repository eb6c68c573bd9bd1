// Tests of what the server shows and copies for its addresses.
#include "server/join_key_display.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"

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
