// Each connection may add only so many lines to the event log, which is kept until the server
// closes: a peer streaming failing requests is closed like a lost connection, while real sessions
// never come near the budget.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

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

// Measured before: a peer that logged in, sent 250 challenges to a 64-byte name, was closed and
// reconnected, over and over for 60 s, took the server from 34 MiB to 1.5 GiB and its log to
// 865 MB, as each connection started with a whole budget. Now what is left of a budget stays
// with the address: reconnecting earns nothing, and a login without a line left is refused.
TEST_F(EventBudget, ReconnectingFromOneAddressEarnsNoNewLines) {
  const ConnectionId alice = Join("alice");
  const std::string challenge =
      "<<GameSet>><<Player1=mallory>><<Player2=" + std::string(64, 'n') + ">><<BanSize=19>>";
  int refused = 0;
  // Fifty reconnects a second for ten seconds.
  for (int round = 0; round < 500; ++round) {
    clock.AdvanceMilliseconds(20);
    const ConnectionId c = transport.Connect("10.0.0.9");
    Send(c, "<<QuellName=mallory>><<IdFlag=1>>");
    if (SlotOf(c) == 0) ++refused;
    // Back to back: each challenge's head hands the one before it over, the last goes at the end.
    for (int i = 0; i < 250 && !transport.ClosedByServer(c); ++i) transport.Receive(c, challenge);
    transport.Drop(c);
  }
  // The burst, the lines earned in ten seconds, and the debt its leaves may run into.
  EXPECT_LE(LinesOf("mallory"), ServerCore::kEventBurst + 10 * ServerCore::kEventLinesPerSecond +
                                    ServerCore::kLeaveDebtLines + 1);
  EXPECT_GT(refused, 450);
  EXPECT_FALSE(transport.ClosedByServer(alice));
  EXPECT_EQ(core.CheckConsistency(), "");

  // Plain login and logout churn from there earns nothing either, while another address has its
  // own budget and the address itself gets its lines back with time.
  const int before = LogLines();
  for (int round = 0; round < 1000; ++round) {
    const ConnectionId c = transport.Connect("10.0.0.9");
    Send(c, "<<QuellName=churn>><<IdFlag=1>>");
    transport.Drop(c);
  }
  EXPECT_EQ(LogLines(), before);
  const ConnectionId other = transport.Connect("10.0.0.10");
  Send(other, "<<QuellName=other>><<IdFlag=1>>");
  EXPECT_NE(SlotOf(other), 0);
  clock.AdvanceMilliseconds(1000 * (ServerCore::kEventBurst + ServerCore::kLeaveDebtLines) /
                            ServerCore::kEventLinesPerSecond);
  const ConnectionId back = transport.Connect("10.0.0.9");
  Send(back, "<<QuellName=mallory>><<IdFlag=1>>");
  EXPECT_NE(SlotOf(back), 0);
  for (int i = 0; i < ServerCore::kEventBurst - 1; ++i) Send(back, Watch(9));
  EXPECT_FALSE(transport.ClosedByServer(back));
  EXPECT_EQ(core.CheckConsistency(), "");
}

// Measured before: a participant holding the room's input right answers every challenge with the
// busy answer, and each answer cost it an event line; two others sending 150 and 47 challenges
// got it closed within a second. Now an answer to a challenge pending for it costs nothing; the
// challenges are charged to their senders.
TEST_F(EventBudget, AnsweringChallengesCostsTheAnswererNothing) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId carol = Join("carol");
  Send(alice, "<<DiscussEnter>>");
  Send(alice, "<<DiscussReg>>");
  ASSERT_EQ(core.InputHolder, "alice");
  const auto challenge = [](const std::string& from) {
    return "<<GameSet>><<IsKuro=" + J("黒番") + ">><<Player1=" + from +
           ">><<Player2=alice>><<BanSize=19>>";
  };
  for (int i = 0; i < 150; ++i) {
    for (const ConnectionId c : i < 47 ? std::vector{bob, carol} : std::vector{bob}) {
      const std::string from = c == bob ? "bob" : "carol";
      Send(c, challenge(from));
      ASSERT_EQ(transport.Take(alice).back(), challenge(from));
      Send(alice, "NoTimeRe" + challenge(from));
      ASSERT_EQ(transport.Take(c).back(), "NoTimeRe" + challenge(from));
    }
  }
  EXPECT_FALSE(transport.ClosedByServer(alice));
  EXPECT_FALSE(core.EventBudgetSpent(alice));
  // Every answer is logged all the same.
  EXPECT_EQ(LinesOf("alice"), 1 + 3 + 197);
  // The challengers paid for their challenges: within another burst of them bob is closed.
  for (int i = 0; i < ServerCore::kEventBurst && !transport.ClosedByServer(bob); ++i) {
    Send(bob, challenge("bob"));
  }
  EXPECT_TRUE(transport.ClosedByServer(bob));
  EXPECT_FALSE(transport.ClosedByServer(carol));
}

// The event log in memory keeps its newest lines; the older ones go, in order and whole, to
// whoever saves them.
TEST_F(EventBudget, TheEventLogInMemoryKeepsItsNewestLines) {
  std::string left;
  int handed = 0;
  core.OnEventLinesLeaving = [&](std::string_view lines) {
    left += lines;
    ++handed;
  };
  std::string all = core.Memo1.Text();
  const int count = 3 * ServerCore::kKeptEventLines;
  for (int i = 0; i < count; ++i) {
    const std::string line = "line " + std::to_string(i);
    core.LogEvent(line);
    all += line + "\r\n";
    ASSERT_LE(core.Memo1.Count(), ServerCore::kKeptEventLines + ServerCore::kKeptEventLines / 4);
  }
  EXPECT_GE(core.Memo1.Count(), ServerCore::kKeptEventLines);
  EXPECT_EQ(left + core.Memo1.Text(), all);
  // A quarter at a time, not a line at a time.
  EXPECT_LE(handed, count / (ServerCore::kKeptEventLines / 4));
}
