// Each connection may add only so many lines to the event log, which is kept until the server
// closes: a peer streaming failing requests is closed like a lost connection, while real sessions
// never come near the budget.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/server/server_fixture.h"

namespace {
struct EventBudget : testing::Test, ServerHarness {
  int LogLines() const { return core.Memo1.Count(); }
  int LinesOf(const std::string& name) const {
    const auto& lines = core.Memo1.Lines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.starts_with("[ " + name + " ]");
    }));
  }
};
}  // namespace

TEST_F(EventBudget, AFloodOfFailingRequestsIsClosedAfterTheBudgetAndTheOthersGoOn) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId mallory = Join("mallory");
  const int g = StartGame(alice, bob);
  ASSERT_EQ(g, 1);
  Forget();

  // One read of ten thousand watch requests for a game that does not exist, a board post behind
  // them.
  std::string flood;
  for (int i = 0; i < 10'000; ++i) flood += Watch(9);
  Send(mallory, flood + "<<MainMese=late>>");
  EXPECT_TRUE(transport.ClosedByServer(mallory));
  EXPECT_TRUE(core.EventBudgetSpent(mallory));
  // The login line and the failures up to the budget; nothing after the budget was handled.
  EXPECT_EQ(LinesOf("mallory"), ServerCore::kEventBurst);
  EXPECT_TRUE(transport.Take(alice).empty());
  // Until its end is reported, whatever else the connection sends is dropped unread.
  Send(mallory, Watch(9) + "<<MainMese=later>>");
  EXPECT_EQ(LinesOf("mallory"), ServerCore::kEventBurst);
  EXPECT_TRUE(transport.Take(bob).empty());
  EXPECT_EQ(core.CheckConsistency(), "");

  // The end is a lost connection: its leave line is charged to nobody and the others hear of it.
  transport.Drop(mallory);
  EXPECT_EQ(LastLog(), "[ mallory ] ==> " + J("接続切れ") + kTime);
  EXPECT_EQ(core.PlayerCount, 2);
  EXPECT_FALSE(transport.Take(alice).empty());
  EXPECT_EQ(core.CheckConsistency(), "");
  Forget();

  // The game goes on and the players' own lines are still kept.
  Send(alice, Move(g, 88, "black", 1));
  EXPECT_EQ(transport.Take(bob).size(), 1u);
  Send(alice, Resign(g));
  EXPECT_EQ(LastLog(), "[ alice ] ==> " + J("対局[1] ==> 投了") + kTime);
  EXPECT_FALSE(transport.ClosedByServer(alice));
  EXPECT_FALSE(transport.ClosedByServer(bob));
  EXPECT_EQ(core.CheckConsistency(), "");
}

TEST_F(EventBudget, TheBudgetRefillsWithTimeUpToItsBurst) {
  const ConnectionId alice = Join("alice");  // the login is its first line
  const auto fail = [&](int n) {
    for (int i = 0; i < n; ++i) Send(alice, Watch(9));
  };
  fail(ServerCore::kEventBurst - 1);
  EXPECT_FALSE(transport.ClosedByServer(alice));
  // One second later, that second's lines and no more.
  clock.SetEpochSeconds(clock.EpochSeconds() + 1);
  fail(ServerCore::kEventLinesPerSecond);
  EXPECT_FALSE(transport.ClosedByServer(alice));
  // A clock set back refills nothing.
  clock.SetEpochSeconds(clock.EpochSeconds() - 100);
  fail(1);
  EXPECT_TRUE(transport.ClosedByServer(alice));
  EXPECT_EQ(LinesOf("alice"), ServerCore::kEventBurst + ServerCore::kEventLinesPerSecond);

  // A new connection starts with a whole burst; an hour of quiet refills one only to the burst.
  const ConnectionId bob = Join("bob");
  clock.SetEpochSeconds(clock.EpochSeconds() + 3600);
  for (int i = 0; i < ServerCore::kEventBurst; ++i) Send(bob, Watch(9));
  EXPECT_FALSE(transport.ClosedByServer(bob));
  Send(bob, Watch(9));
  EXPECT_TRUE(transport.ClosedByServer(bob));
  EXPECT_EQ(core.CheckConsistency(), "");
}

// A whole session as real clients drive it, three times over, with no time passing at all: every
// line of it together stays far inside one connection's burst.
TEST_F(EventBudget, RealSessionsStayFarInsideTheBudget) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId carol = Join("carol", false);
  const ConnectionId dave = Join("dave");
  const ConnectionId erin = Join("erin");
  for (ConnectionId c : {dave, erin}) {
    Send(c, "<<DiscussEnter>>");
    Send(c, "<<DiscussReg>>");
  }
  for (int round = 0; round < 3; ++round) {
    const int g = StartGame(round % 2 == 0 ? alice : bob, round % 2 == 0 ? bob : alice);
    ASSERT_EQ(g, 1);
    Send(carol, Watch(g));
    Send(dave, "<<DiscussCallGame>>");
    const ConnectionId black =
        core.Players[SlotOf(alice)].PlayerName == core.Games[g].BlackName ? alice : bob;
    const ConnectionId white = black == alice ? bob : alice;
    for (int i = 0; i < 40; ++i) {
      Send(i % 2 == 0 ? black : white,
           Move(g, (1 + i / 19) * 21 + 1 + i % 19, i % 2 == 0 ? "black" : "white", i));
      if (i % 10 == 0) Send(carol, "<<GameIndex=1>><<GameMese=nice>>");
      Send(dave, "<<DiscussInput>><<Value=88>><<Type=1>><<DiscussKifu=(;SZ[19];[dd])>>");
      Send(erin, "<<DiscussMese=hm>>");
    }
    Send(black, "<<GameIndex=1>><<RealTimeCountStart>>");
    Send(white, "<<GameIndex=1>><<RealTimeCount>><<Type=2>><<Value=88>>");
    Send(black, "<<GameIndex=1>><<RealTimeCountEnd>>");
    Send(white, Resign(g));
    Send(dave, "<<DiscussCanEnd>>");
    Send(dave, "<<DiscussReg>>");
    Send(carol, StopWatching(g));
    Send(alice, StopWatching(g));
    Send(bob, StopWatching(g));
    ASSERT_EQ(core.GameCount, 0) << round;
  }
  for (ConnectionId c : {alice, bob, carol, dave, erin}) {
    EXPECT_FALSE(transport.ClosedByServer(c));
    EXPECT_FALSE(core.EventBudgetSpent(c));
  }
  EXPECT_LT(LogLines(), ServerCore::kEventBurst / 4);
  // Every move was a real one.
  for (const std::string& line : core.Memo1.Lines()) {
    EXPECT_EQ(line.find(J("エラー")), std::string::npos) << line;
  }
  EXPECT_EQ(core.CheckConsistency(), "");
}
