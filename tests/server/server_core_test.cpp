// Tests of the server core's tables and first socket events, through the in-memory transport.
#include "server/server_core.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/memory_transport.h"

namespace {
struct CoreFixture : testing::Test {
  MemoryServerTransport transport;
  FixedClock clock{"2026/12/09", "9:05:07"};
  ServerCore core{transport, clock};
};
}  // namespace

TEST_F(CoreFixture, TablesStartWithTheirInitialValues) {
  EXPECT_EQ(core.PlayerCount, -1);
  EXPECT_EQ(core.GameCount, 0);
  EXPECT_EQ(core.GameLimit, 5);
  EXPECT_EQ(core.JoinLimit, 50);
  EXPECT_EQ(core.DiagramCounter, 0);
  EXPECT_EQ(core.RoomCount, 0);
  EXPECT_EQ(core.RegisteredCount, 0);
  EXPECT_EQ(core.RoomGame, 0);
  for (int j = 0; j <= kMaxPlayers; ++j) {
    EXPECT_EQ(core.Players[j].PlayerName, "555");
    EXPECT_EQ(core.Players[j].PlayerMode, 0);
    EXPECT_EQ(core.Players[j].AttachedGame, 0);
    EXPECT_EQ(core.Players[j].RoomState, 0);
  }
  for (int g = 0; g <= kMaxGames; ++g) {
    EXPECT_EQ(core.Games[g].GameState, 0);
    EXPECT_EQ(core.Games[g].WatchNames, "");
    EXPECT_EQ(core.Games[g].GameRecord, "");
  }
  EXPECT_EQ(core.JoinKeyTable.size(), 37u);
  EXPECT_EQ(core.RecordLetters, "tabcdefghijklmnopqrs");
  EXPECT_EQ(core.MoveTemplate, ";[55]");
  EXPECT_EQ(core.RoomMembers, "\r\n");
  EXPECT_EQ(core.RegList, "\r\n");
  EXPECT_EQ(core.BoardText, "");
  EXPECT_EQ(core.WaitHintList, "");
  EXPECT_TRUE(core.Memo1.Empty());
  EXPECT_TRUE(core.Memo2.Empty() && core.Memo3.Empty() && core.Memo4.Empty());
}

TEST_F(CoreFixture, FirstConnectionIsTheSelfTestAndLaterOnesArePrompted) {
  int caption_changes = 0;
  core.OnPlayerCountChanged = [&] { ++caption_changes; };
  const ConnectionId self_test = transport.Connect();
  EXPECT_EQ(core.PlayerCount, 0);
  EXPECT_EQ(core.Memo1.Lines(), std::vector<std::string>{J("<<サーバ起動ＯＫ>>")});
  EXPECT_TRUE(transport.Sent(self_test).empty());
  EXPECT_EQ(caption_changes, 1);
  EXPECT_EQ(core.CaptionText(), J(" ザンテ - Kordraum   [ 参加者数 = ") + "0 ]");

  const ConnectionId player = transport.Connect();
  EXPECT_EQ(transport.Sent(player), std::vector<std::string>{"<<QuellName="});  // bare key
  EXPECT_EQ(core.Memo1.Count(), 1);
  EXPECT_EQ(core.PlayerCount, 0);
  // Nobody has a slot: the self-test connection and the prompted one are both unknown senders.
  EXPECT_EQ(core.FindSenderSlot(self_test), 0);
  EXPECT_EQ(core.FindSenderSlot(player), 0);
}

TEST_F(CoreFixture, EventLineHasTwoBlanksBeforeTheTimeAndNoneBeforeTheParenthesis) {
  EXPECT_EQ(core.EventLine("bob", J("到着")), "[ bob ] ==> " + J("到着") + "  (9:05:07)");
  clock.Set("2026/12/09", "23:59:59");
  EXPECT_EQ(core.EventLine("", "x"), "[  ] ==> x  (23:59:59)");
}

TEST_F(CoreFixture, SendersAreFoundByConnectionAndSlotsOutsideUseGetNothing) {
  transport.Connect();  // self test
  const ConnectionId a = transport.Connect();
  const ConnectionId b = transport.Connect();
  transport.Take(a);
  transport.Take(b);
  core.PlayerCount = 2;
  core.Players[1].PlayerSocket = a;
  core.Players[2].PlayerSocket = b;
  EXPECT_EQ(core.FindSenderSlot(b), 2);
  EXPECT_EQ(core.FindSenderSlot(a), 1);
  EXPECT_EQ(core.FindSenderSlot(999), 0);
  core.SendToSlot(2, "<<Status>>");
  core.SendToSlot(3, "x");    // beyond PlayerCount
  core.SendToSlot(0, "x");
  core.SendToSlot(-4, "x");
  core.SendToSlot(51, "x");
  EXPECT_EQ(transport.Take(b), std::vector<std::string>{"<<Status>>"});
  EXPECT_TRUE(transport.Take(a).empty());
}

TEST_F(CoreFixture, AMessageSplitByTheNetworkIsHandledWhole) {
  transport.Connect();  // self test
  const ConnectionId a = transport.Connect();
  transport.Take(a);
  transport.Receive(a, "<<QuellName=al");
  EXPECT_EQ(core.PlayerCount, 0);  // held: it cannot be a whole message yet
  transport.Receive(a, "ice>><<IdFlag=1>>");
  EXPECT_EQ(core.PlayerCount, 1);
  EXPECT_EQ(core.Players[1].PlayerName, "alice");
  // A connection that ends while holding a piece leaves nothing behind for later ids.
  const ConnectionId b = transport.Connect();
  transport.Receive(b, "<<QuellName=b");
  transport.Drop(b);
  EXPECT_EQ(core.PlayerCount, 1);
}
