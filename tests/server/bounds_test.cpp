// What one participant can make the server keep and send is bounded: names, typed lines, the
// message board, the chat logs and diagram stores, a game's record.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string_view>

#include "protocol/message_framer.h"
#include "protocol/tag_message.h"
#include "tests/server/server_fixture.h"

namespace {
std::size_t BytesSent(const MemoryServerTransport& transport, ConnectionId c) {
  std::size_t total = 0;
  for (const std::string& m : transport.Sent(c)) total += m.size();
  return total;
}

struct Bounds : testing::Test, ServerHarness {};

// Readers that take what the server sends at 1 MB/s of the fixed clock's time. One with more than
// 2 MiB unsent is closed, as the socket layer closes a reader that has fallen that far behind.
class SlowReaders : public MemoryServerTransport {
 public:
  static constexpr long long kBytesPerSecond = 1'000'000;
  static constexpr long long kMaxUnsent = 2 * 1024 * 1024;
  explicit SlowReaders(const Clock& clock) : clock_(clock) {}
  void Send(ConnectionId id, std::string_view bytes) override {
    if (!Open(id)) return;
    Backlog& backlog = backlogs_[id];
    const long long now = clock_.SteadyMilliseconds();
    backlog.unsent = std::max(0LL, backlog.unsent - (now - backlog.at) * kBytesPerSecond / 1000);
    backlog.at = now;
    backlog.unsent += static_cast<long long>(bytes.size());
    if (backlog.unsent > kMaxUnsent) {
      overrun_.insert(id);
      Close(id);
    }
    MemoryServerTransport::Send(id, bytes);
  }
  bool Overrun(ConnectionId id) const { return overrun_.count(id) > 0; }

 private:
  struct Backlog {
    long long unsent = 0;
    long long at = 0;
  };
  const Clock& clock_;
  std::map<ConnectionId, Backlog> backlogs_;
  std::set<ConnectionId> overrun_;
};

// A server whose participants read at 1 MB/s; time passes as a peer sends at 1.3 MB/s, and the
// server's timer releases what waits.
struct SlowReaderServer {
  FixedClock clock;
  SlowReaders transport{clock};
  ServerCore core{transport, clock};
  ConnectionId self_test = transport.Connect();
  long long microseconds = 0;

  ConnectionId Join(const std::string& name) {
    const ConnectionId c = transport.Connect("10.0.0." + std::to_string(c_++));
    transport.Receive(c, "<<QuellName=" + name + ">><<IdFlag=1>>");
    return c;
  }
  void Pass(long long us) {
    const long long before = microseconds / 1000;
    microseconds += us;
    clock.AdvanceMilliseconds(microseconds / 1000 - before);
    core.ReleaseHeldMessages();
  }
  // `from` sends `message` `count` times at 1.3 MB/s, unless it is closed; ten quiet seconds
  // follow.
  void Flood(ConnectionId from, const std::string& message, int count) {
    for (int i = 0; i < count && !transport.ClosedByServer(from); ++i) {
      Pass(static_cast<long long>(message.size()) * 1'000'000 / 1'300'000);
      transport.Receive(from, message);
    }
    for (int i = 0; i < 100; ++i) Pass(100'000);
  }

 private:
  int c_ = 1;
};
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
  // A line within the bound goes on byte for byte; what follows its value does not.
  Forget();
  Send(alice, "<<MainMese=[ alice ]a>>b>>");
  EXPECT_EQ(transport.Take(bob), Messages{"<<MainMese=[ alice ]a>>"});
}

// Measured before: once full, the board, a chat log or a diagram store moved all its 64 KiB at
// every post (a board post to 49 took 70k instructions instead of 6k). Now a store grows a
// quarter beyond its bound and is then cut back to the bound at once, so only one post in a
// quarter's worth moves it; what it holds, and what a newcomer gets, stay bounded.
TEST_F(Bounds, FullStoresAreCutBackAQuarterAtATimeNotAtEveryPost) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const int g = StartGame(alice, bob);
  Send(alice, "<<DiscussEnter>>");
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
      clock.AdvanceMilliseconds(50);  // twenty posts a second, inside the relay budget
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
  Send(alice, "<<DiscussEnter>>");
  for (int i = 0; i < 200; ++i) {
    clock.AdvanceMilliseconds(100);  // ten posts a second, inside the relay budget
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
    clock.AdvanceMilliseconds(1);
    Send(i % 2 == 0 ? alice : bob, Move(g, 22, i % 2 == 0 ? "black" : "white", i));
    relayed += static_cast<int>(transport.Take(i % 2 == 0 ? bob : alice).size());
  }
  EXPECT_EQ(relayed, count);
  EXPECT_EQ(game.GameRecord.size(), header + kMaxRecordBytes / 5 * 5);
}

// Measured before: no sender was limited in what the server relayed for it, while a reader with
// 2 MiB unsent is closed; at 1.3 MB/s each of these floods closed a reader of 1 MB/s within about
// 4 s. Now a board post goes on alone, and what the server relays for one sender comes out of a
// budget of bytes: beyond it the sender waits, and when too much waits it is closed.
TEST(RelayBudget, FloodsCloseTheirSenderNeverAReader) {
  const std::string record = "(;SZ[19]" + std::string(250'000, 'a') + ")";
  struct Case {
    const char* what;
    std::string message;
    int count;
    bool sender_closed;
  } cases[] = {
      {"board posts", "<<MainMese=" + std::string(2048, 'x') + ">>", 5000, true},
      {"record loads", "<<DiscussInput>><<Type=11>><<DiscussKifu=" + record + ">>", 40, true},
      {"padded posts", "<<MainMese=hi>><<Pad=" + std::string(250'000, 'p') + ">>", 40, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SlowReaderServer server;
    const ConnectionId reader = server.Join("reader");
    const ConnectionId mallory = server.Join("mallory");
    const ConnectionId alice = server.Join("alice");
    for (const ConnectionId member : {mallory, reader}) {
      server.transport.Receive(member, "<<DiscussEnter>>");
    }
    server.transport.Receive(mallory, "<<DiscussReg>>");
    server.transport.Take(reader);

    server.Flood(mallory, c.message, c.count);
    EXPECT_FALSE(server.transport.Overrun(reader));
    EXPECT_FALSE(server.transport.ClosedByServer(reader));
    EXPECT_EQ(server.transport.ClosedByServer(mallory), c.sender_closed);
    // The reader got at most the budget, what refilled while it was used, and one message more.
    const double seconds = static_cast<double>(server.microseconds) / 1e6;
    EXPECT_LE(static_cast<double>(BytesSent(server.transport, reader)),
              static_cast<double>(ServerCore::kRelayBurstBytes) +
                  seconds * ServerCore::kRelayBytesPerSecond +
                  static_cast<double>(c.message.size()));
    // And still hears from everyone else.
    server.transport.Take(reader);
    server.transport.Receive(alice, "<<MainMese=still here>>");
    EXPECT_EQ(server.transport.Take(reader), Messages{"<<MainMese=still here>>"});
    EXPECT_EQ(server.core.CheckConsistency(), "");
  }
}

// A sender beyond its budget waits: its later messages, whatever they are, follow in order once
// the budget has refilled, and nothing is lost.
TEST(RelayBudget, ASenderBeyondItsBudgetWaitsAndNothingJumpsAhead) {
  SlowReaderServer server;
  const ConnectionId reader = server.Join("reader");
  const ConnectionId bob = server.Join("bob");
  server.transport.Take(reader);
  Messages expected;
  std::string read;
  for (int i = 0; i < 300; ++i) {
    const std::string post =
        "<<MainMese=" + std::to_string(1000 + i) + std::string(2044, 'x') + ">>";
    expected.push_back(post);
    read += post;
  }
  expected.push_back("<<SeeMeseNow>>");
  server.transport.Receive(bob, read + "<<SeeMeseNow>>");
  const std::size_t first = server.transport.Sent(reader).size();
  EXPECT_LT(first, 300u);
  EXPECT_GT(server.core.HeldBytes(bob), 0u);
  EXPECT_NE(server.transport.Sent(reader).back(), "<<SeeMeseNow>>");
  for (int i = 0; i < 30; ++i) server.Pass(100'000);
  EXPECT_EQ(server.core.HeldBytes(bob), 0u);
  EXPECT_EQ(server.transport.Take(reader), expected);
  EXPECT_FALSE(server.transport.ClosedByServer(bob));
  EXPECT_FALSE(server.transport.ClosedByServer(reader));
}

// What real participants do never waits: record loads of the largest kind now and then, the
// holder's inputs twice a second, a chat line of the longest kind every second and diagrams,
// in the room and beside a game, with fifty participants coming in.
TEST(RelayBudget, HonestUseNeverWaits) {
  SlowReaderServer server;
  std::vector<ConnectionId> people;
  for (int i = 0; i < 48; ++i) people.push_back(server.Join("p" + std::to_string(i)));
  const ConnectionId holder = people[0];
  const ConnectionId player = people[1];
  for (const ConnectionId c : people) server.transport.Receive(c, "<<DiscussEnter>>");
  server.transport.Receive(holder, "<<DiscussReg>>");
  const std::string record = "(;SZ[19]" + std::string(250'000, 'a') + ")";
  const std::string load = "<<DiscussInput>><<Type=11>><<DiscussKifu=" + record + ">>";
  const std::string line(2040, 'c');
  const std::string diagram = "<<DiaData=(;SZ[19]AB[dd][pd]AW[dp][pp])>>";
  const auto send = [&](ConnectionId c, const std::string& text) {
    server.transport.Receive(c, text);
    ASSERT_EQ(server.core.HeldBytes(c), 0u) << text.substr(0, 40);
  };
  send(holder, load);
  send(holder, load);
  for (int tick = 0; tick < 120; ++tick) {  // a minute in half seconds
    server.Pass(500'000);
    send(holder, "<<DiscussInput>><<Value=88>><<Type=1>><<DiscussKifu=(;SZ[19];[dd])>>");
    if (tick % 2 == 0) send(holder, "<<DiscussMese=" + line + ">>");
    if (tick % 2 == 1) send(player, "<<DiscussMese=" + line + ">>");
    if (tick % 10 == 0) send(player, "<<DiscussMese=look>>" + diagram);
    if (tick % 20 == 19) send(holder, load);
  }
  for (int i = 48; i < 50; ++i) {
    const ConnectionId c = server.Join("late" + std::to_string(i));
    ASSERT_EQ(server.core.HeldBytes(c), 0u);
  }
  for (const ConnectionId c : people) {
    EXPECT_FALSE(server.transport.ClosedByServer(c));
    EXPECT_FALSE(server.transport.Overrun(c));
  }
  EXPECT_EQ(server.core.PlayerCount, 50);
}

// Measured before: "<<MainMese=hello>>NORe" was relayed with its "NORe", and the reader took the
// next real challenge for a cancelled one. Now every text relayed as it came (a post, a challenge
// and its answer, the shared count, a room input) carries only its own tags: nothing a reader
// could take for the start of another message, and nothing more.
TEST_F(Bounds, RelayedTextsCarryOnlyTheirOwnTags) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId carol = Join("carol");
  ASSERT_EQ(StartGame(alice, bob), 1);
  for (const ConnectionId c : {alice, carol}) Send(c, "<<DiscussEnter>>");
  Send(alice, "<<DiscussReg>>");
  const auto challenge = [](const std::string& from, const std::string& to) {
    return "<<GameSet>><<IsKuro=" + J("黒番") + ">><<KuroGameTime=15" + J(" 分") +
           ">><<GameKomi=6.5>><<Player1=" + from + ">><<Player2=" + to + ">><<BanSize=19>>";
  };
  struct Case {
    ConnectionId from;
    std::string sent;
    ConnectionId to;
    std::string relayed;
  } cases[] = {
      {carol, "<<MainMese=hello>>NORe", bob, "<<MainMese=hello>>"},
      {carol, challenge("carol", "bob") + "<<Pad=1>>NORe", bob, challenge("carol", "bob")},
      {bob, "NoTimeRe" + challenge("carol", "bob") + "<<Discusser=x>>OKRe", carol,
       "NoTimeRe" + challenge("carol", "bob")},
      {alice, "<<GameIndex=1>><<RealTimeCount>><<Type=2>><<Value=88>><<CanEnd>>NoTimeRe", bob,
       "<<GameIndex=1>><<RealTimeCount>><<Type=2>><<Value=88>>"},
      {alice, "<<DiscussInput>><<Type=5>><<MoveSuu=3>><<CanEnd>>NORe", carol,
       "<<DiscussInput>><<Type=5>><<MoveSuu=3>>"},
  };
  for (const Case& c : cases) {
    Forget();
    // The text after the last tag is read with the message when another one follows it.
    Send(c.from, c.sent + "<<SeeMeseNow>>");
    const Messages got = transport.Take(c.to);
    EXPECT_EQ(got, (Messages{c.relayed, "<<SeeMeseNow>>"})) << c.sent;
    // The reader then takes the next challenge for what it is.
    std::string stream;
    for (const std::string& m : got) stream += m;
    MessageFramer client(MessageFramer::Side::Client);
    Messages read = client.Feed(stream + challenge("dave", "x"));
    for (std::string& m : client.Flush()) read.push_back(std::move(m));
    ASSERT_FALSE(read.empty());
    EXPECT_EQ(read.back(), challenge("dave", "x")) << c.sent;
  }
}
