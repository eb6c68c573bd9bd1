// What one participant can make the server keep and send is bounded: names, typed lines, the
// message board, the chat logs and diagram stores, a game's record.
#include <gtest/gtest.h>

#include <algorithm>

#include "protocol/tag_message.h"
#include "tests/server/server_fixture.h"

namespace {
std::size_t BytesSent(const MemoryServerTransport& transport, ConnectionId c) {
  std::size_t total = 0;
  for (const std::string& m : transport.Sent(c)) total += m.size();
  return total;
}

struct Bounds : testing::Test, ServerHarness {};
}  // namespace

TEST(TypedLines, AreCutAtACharacterBoundaryAndKeepTheirLineEnd) {
  const std::string wide = J("碁");  // two bytes
  struct Case {
    std::string line;
    std::size_t kept;
  } cases[] = {
      {std::string(kMaxTypedLineBytes, 'a'), kMaxTypedLineBytes},
      {std::string(kMaxTypedLineBytes + 1, 'a'), kMaxTypedLineBytes},
      {std::string(kMaxTypedLineBytes - 2, 'a') + "\r\n", kMaxTypedLineBytes},
      {std::string(kMaxTypedLineBytes, 'a') + "\r\n", kMaxTypedLineBytes},
      // A double-byte character across the bound goes whole.
      {"a" +
           [&] {
             std::string s;
             while (s.size() < kMaxTypedLineBytes) s += wide;
             return s;
           }(),
       kMaxTypedLineBytes - 1},
  };
  for (const auto& c : cases) {
    const std::string kept = LimitTypedLine(c.line);
    EXPECT_EQ(kept.size(), c.kept) << c.line.size();
    EXPECT_EQ(kept.ends_with("\r\n"), c.line.ends_with("\r\n")) << c.line.size();
    EXPECT_EQ(c.line.compare(0, kept.size() - (kept.ends_with("\r\n") ? 2 : 0), kept, 0,
                             kept.size() - (kept.ends_with("\r\n") ? 2 : 0)),
              0);
  }
}

// Measured before: 100 posts of 1 MiB made the server keep 105 MiB more and send 100 MiB to every
// new participant. Now a post beyond the message bound is dropped, a long line is cut to 2 KiB,
// and the board keeps its newest 64 KiB.
TEST_F(Bounds, TheMessageBoardKeepsItsNewestLines) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  Forget();
  for (int i = 0; i < 10; ++i) Send(alice, "<<MainMese=" + std::string(1 << 20, 'x') + ">>");
  EXPECT_EQ(core.BoardText, "");
  EXPECT_EQ(BytesSent(transport, bob), 0u);

  for (int i = 0; i < 100; ++i) {
    Send(alice, "<<MainMese=" + std::to_string(i) + std::string(200 * 1024, 'x') + ">>");
  }
  EXPECT_LE(core.BoardText.size(), kMaxKeptTextBytes + kKeptTextSlackBytes);
  EXPECT_GE(core.BoardText.size(), kMaxKeptTextBytes - kMaxTypedLineBytes - 2);
  EXPECT_TRUE(core.BoardText.starts_with(
      std::to_string(100 - core.BoardText.size() / (kMaxTypedLineBytes + 2))));
  EXPECT_TRUE(core.BoardText.ends_with("\r\n"));
  EXPECT_EQ(transport.Take(bob).back(),
            "<<MainMese=99" + std::string(kMaxTypedLineBytes - 2, 'x') + ">>");
  const ConnectionId carol = Join("carol");
  EXPECT_LT(BytesSent(transport, carol), kMaxKeptTextBytes + kKeptTextSlackBytes + 1024);
  // A line within the bound goes on byte for byte, the board's odd ">>" included.
  Forget();
  Send(alice, "<<MainMese=[ alice ]a>>b>>");
  EXPECT_EQ(transport.Take(bob), Messages{"<<MainMese=[ alice ]a>>b>>"});
}

// Measured before: once full, the board, a chat log or a diagram store moved all its 64 KiB at
// every post (a board post to 49 took 70k instructions instead of 6k). Now a store grows a
// quarter beyond its bound and is then cut back to the bound at once, so only one post in a
// quarter's worth moves it; what it holds, and what a newcomer gets, stay bounded.
TEST_F(Bounds, FullStoresAreCutBackAQuarterAtATimeNotAtEveryPost) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const int g = StartGame(alice, bob);
  const GameSlot& game = core.Games[g];
  const std::string line(1000, 'x');  // each post's line starts with its number
  struct Store {
    const char* what;
    const std::string& text;
    ConnectionId from;
    std::string before, after;  // the post around its line
  } stores[] = {
      {"board", core.BoardText, alice, "<<MainMese=", ">>"},
      {"game chat", game.GameChatLog, alice, GameTag(g) + "<<GameMese=", "\r\n>>"},
      {"diagrams", game.GameDiagrams, bob, GameTag(g) + "<<GameMese=d\r\n>><<DiaData=", ">>"},
      {"room chat", core.RoomChatLog, alice, "<<DiscussMese=", ">>"},
  };
  for (const Store& store : stores) {
    SCOPED_TRACE(store.what);
    const int posts = 400;  // six times the bound
    std::size_t largest = 0;
    int cuts = 0;  // posts after which the store's oldest part had gone
    for (int i = 0; i < posts; ++i) {
      const std::string front = store.text.substr(0, 12);
      Send(store.from, store.before + std::to_string(1000 + i) + line + store.after);
      if (!store.text.starts_with(front)) {
        ++cuts;
        EXPECT_LE(store.text.size(), kMaxKeptTextBytes);
      }
      largest = std::max(largest, store.text.size());
    }
    EXPECT_GT(largest, kMaxKeptTextBytes);
    EXPECT_LE(largest, kMaxKeptTextBytes + kKeptTextSlackBytes);
    EXPECT_GE(cuts, 1);
    EXPECT_LE(cuts, static_cast<int>(posts * line.size() / kKeptTextSlackBytes) + 1);
    EXPECT_EQ(core.CheckConsistency(), "");
  }
  Forget();
  const ConnectionId carol = Join("carol");
  EXPECT_LT(BytesSent(transport, carol), kMaxKeptTextBytes + kKeptTextSlackBytes + 1024);
  Send(carol, Watch(g));
  Send(carol, "<<DiscussEnter>>");
  for (const std::string& m : transport.Take(carol)) {
    EXPECT_LT(m.size(), 2 * (kMaxKeptTextBytes + kKeptTextSlackBytes) + 4096);
  }
}

// Measured before: one 4 MiB name made ten visits send 80 MiB to everyone. Now names are at most
// 64 bytes; a longer one is refused as a taken name, and nobody else hears of it.
TEST_F(Bounds, LongNamesAreRefusedAsTakenNames) {
  const ConnectionId watcher = Join("watcher");
  Forget();
  for (const std::size_t size : {std::size_t{4} << 20, std::size_t{100} << 10, kMaxNameBytes + 1}) {
    for (int visit = 0; visit < (size > MessageFramer::kMaxServerRead ? 2 : 10); ++visit) {
      const ConnectionId c = transport.Connect();
      transport.Take(c);
      Send(c, "<<QuellName=" + std::string(size, 'n') + ">><<IdFlag=1>>");
      if (size <= MessageFramer::kMaxServerRead) {
        EXPECT_EQ(transport.Take(c), Messages{"<<SysSameName>>"}) << size;
      }
      transport.Drop(c);
    }
  }
  EXPECT_EQ(BytesSent(transport, watcher), 0u);
  EXPECT_EQ(core.PlayerCount, 1);
  const ConnectionId longest = Join(std::string(kMaxNameBytes, 'n'));
  EXPECT_EQ(SlotOf(longest), 2);
}

TEST_F(Bounds, ChatLogsDiagramsAndRecordsKeepTheirBounds) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const int g = StartGame(alice, bob);
  for (int i = 0; i < 200; ++i) {
    Send(alice, GameTag(g) + "<<GameMese=" + std::string(3000, 'c') + "\r\n>>");
    Send(bob, GameTag(g) + "<<GameMese=d\r\n>><<DiaData=" + std::string(1000, 'd') + ">>");
    Send(alice, "<<DiscussMese=" + std::string(3000, 'r') + ">>");
  }
  const GameSlot& game = core.Games[g];
  EXPECT_LE(game.GameChatLog.size(), kMaxKeptTextBytes + kKeptTextSlackBytes);
  EXPECT_TRUE(game.GameChatLog.ends_with(J("{ 碁盤 200 }") + "\r\n\r\n"));
  EXPECT_LE(game.GameDiagrams.size(), kMaxKeptTextBytes + kKeptTextSlackBytes);
  EXPECT_TRUE(game.GameDiagrams.starts_with("{"));
  EXPECT_TRUE(game.GameDiagrams.ends_with("{200}<<DiaData=" + std::string(1000, 'd') + ">>"));
  EXPECT_LE(core.RoomChatLog.size(), kMaxKeptTextBytes + kKeptTextSlackBytes);
  EXPECT_EQ(core.DiagramCounter, 200);

  // The record keeps moves up to its bound, far beyond any real game; every move is relayed.
  Forget();
  const std::size_t header = game.RecordHeaderLength;
  const int count = static_cast<int>(kMaxRecordBytes / 5) + 100;
  int relayed = 0;
  for (int i = 0; i < count; ++i) {
    Send(i % 2 == 0 ? alice : bob, Move(g, 22, i % 2 == 0 ? "black" : "white", i));
    relayed += static_cast<int>(transport.Take(i % 2 == 0 ? bob : alice).size());
  }
  EXPECT_EQ(relayed, count);
  EXPECT_EQ(game.GameRecord.size(), header + kMaxRecordBytes / 5 * 5);
}
