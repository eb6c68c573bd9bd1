// Tests of watching and game chat through the in-memory transport: the watch snapshot, refused
// requests, stopping to watch with the freeing of a finished game, whole-line watcher lists, the
// game chat relay and the server-wide numbering of diagrams.
#include <gtest/gtest.h>

#include "tests/server/server_fixture.h"

namespace {
const std::string kHeader = "(;SZ[19]PB[alice]PW[bob]BT[900]WT[0]AM[" + J("なし") + "]KM[5.5]HA[0]";

// alice (black) plays bob (white) in game 1 with two moves made; carol may only watch; dave and
// erin wait.
struct Watching : ServerFixture {
  ConnectionId alice = Join("alice");
  ConnectionId bob = Join("bob");
  ConnectionId carol = Join("carol", false);
  ConnectionId dave = Join("dave");
  ConnectionId erin = Join("erin");
  int g = StartGame(alice, bob);

  void SetUp() override {
    ASSERT_EQ(g, 1);
    Send(alice, Move(1, 88, "black", 100));
    Send(bob, Move(1, 352, "white", 95));
    Forget();
  }
  const GameSlot& Game(int n) const { return core.Games[n]; }
};
}  // namespace

// ---------------------------------------------------------------------------------------------
// Watch requests

TEST_F(Watching, TheSnapshotCarriesChatRecordClocksWatchersHintsAndDiagrams) {
  Send(carol, Watch(1));
  // A game without chat or diagrams: both values are empty, the end mark closes the snapshot.
  EXPECT_EQ(
      transport.Take(carol),
      Messages{"<<WatchGame=1>><<AllMese=>><<AllGameData=" + kHeader +
               ";[dd];[pp]>><<KuroTime=100>><<SiroTime=95>><<WatchCount=1>><<WatchList=carol\n"
               ">><<WaitHint=[0][0]>><<GameIndex=1>><<DiaStr=>><<DraumEND>>"});
  EXPECT_EQ(Player(carol).AttachedGame, 1);
  Send(alice, "<<GameIndex=1>><<GameMese=hi>>");
  Send(carol, "<<GameIndex=1>><<GameMese=look>><<DiaData=abc>>");
  Forget();

  Send(dave, Watch(1));
  EXPECT_EQ(transport.Take(dave),
            Messages{"<<WatchGame=1>><<AllMese=hi\r\nlook" + J("{ 碁盤 1 }") +
                     "\r\n\r\n>><<AllGameData=" + kHeader +
                     ";[dd];[pp]>><<KuroTime=100>><<SiroTime=95>><<WatchCount=2>><<WatchList="
                     "carol\ndave\n>><<WaitHint=[1][0]>><<GameIndex=1>><<DiaStr={1}<<DiaData=abc>>"
                     ">><<DraumEND>>"});
  // The game hears the new count; everyone else only the new hint of dave's waiting-list line.
  const Messages update{"<<OnlyWatchCount=2>><<WaitHint=[1][0]>><<WatchList=carol\ndave\n>>"};
  EXPECT_EQ(transport.Take(alice), update);
  EXPECT_EQ(transport.Take(bob), update);
  EXPECT_EQ(transport.Take(carol), update);
  EXPECT_EQ(transport.Take(erin), Messages{"<<WaitHint=[1][0]>>"});
  EXPECT_EQ(Player(dave).AttachedGame, 1);
  EXPECT_EQ(LastLog(), "[ dave ] ==> " + J("対局[1] ==> 観戦開始") + kTime);
}

TEST_F(Watching, RequestsForNumbersThatNameNoGameInUseAreLoggedAndUnanswered) {
  struct Case {
    const char* text;
    const char* logged;  // the number the error line shows
  } cases[] = {
      {"<<WatchGame=0>>", "0"},           {"<<WatchGame=6>>", "6"}, {"<<WatchGame=-1>>", "-1"},
      {"<<WatchGame=x>>", "0"},           {"<<WatchGame=2>>", "2"},  // a free slot
      {"<<WatchGame=99999999999>>", "0"},
  };
  for (const auto& c : cases) {
    Send(erin, c.text);
    EXPECT_EQ(LastLog(),
              "[ erin ] ==> " + J("対局[") + c.logged + J("] ==> 観戦リクエスト ==>エラー") + kTime)
        << c.text;
    for (ConnectionId id : all) EXPECT_EQ(transport.Take(id), Messages{}) << c.text;
    EXPECT_EQ(Player(erin).AttachedGame, 0) << c.text;
    EXPECT_EQ(Game(1).WatchCount, 0) << c.text;
  }
}

// A participant who still plays or watches a game in use is refused, so no game keeps a watcher
// twice or one who went elsewhere (which would keep a finished game from ever being freed).
TEST_F(Watching, ARequestWhilePlayingOrWatchingIsRefused) {
  Send(carol, Watch(1));
  EXPECT_EQ(StartGame(dave, erin), 2);
  Forget();
  const std::string refused = J("] ==> 観戦リクエスト ==>エラー") + kTime;

  Send(carol, Watch(1));  // a second click before the first snapshot arrived
  EXPECT_EQ(LastLog(), "[ carol ] ==> " + J("対局[1") + refused);
  Send(carol, Watch(2));
  EXPECT_EQ(LastLog(), "[ carol ] ==> " + J("対局[2") + refused);
  Send(alice, Watch(2));  // a player of a running game
  EXPECT_EQ(LastLog(), "[ alice ] ==> " + J("対局[2") + refused);
  for (ConnectionId id : all) EXPECT_EQ(transport.Take(id), Messages{});
  EXPECT_EQ(Game(1).WatchCount, 1);
  EXPECT_EQ(Game(1).WatchNames, "carol\n");
  EXPECT_EQ(Game(2).WatchCount, 0);
  EXPECT_EQ(Player(carol).AttachedGame, 1);
  EXPECT_EQ(Player(alice).AttachedGame, 1);

  // Having left game 1, carol may watch game 2.
  Send(carol, StopWatching(1));
  Send(carol, Watch(2));
  EXPECT_EQ(Player(carol).AttachedGame, 2);
  EXPECT_EQ(Game(2).WatchNames, "carol\n");
  EXPECT_EQ(Game(1).WatchCount, 0);
}

// ---------------------------------------------------------------------------------------------
// Stopping to watch

TEST(StopWatching, WatcherNamesAreRemovedAsWholeLines) {
  ServerHarness s;
  const ConnectionId al = s.Join("al");
  const ConnectionId cy = s.Join("cy");
  ASSERT_EQ(s.StartGame(al, cy), 1);
  const ConnectionId jimbob = s.Join("jimbob");
  const ConnectionId ann = s.Join("ann");
  const ConnectionId bob = s.Join("bob");
  for (ConnectionId c : {jimbob, ann, bob}) s.Send(c, ServerHarness::Watch(1));
  EXPECT_EQ(s.core.WaitHintList, "[1][1][1]");
  s.Forget();

  s.Send(bob, ServerHarness::StopWatching(1));
  EXPECT_EQ(s.core.Games[1].WatchNames, "jimbob\nann\n");
  EXPECT_EQ(s.core.Games[1].WatchCount, 2);
  EXPECT_EQ(s.Player(bob).AttachedGame, 0);
  EXPECT_EQ(s.core.WaitHintList, "[1][1][0]");
  const Messages update{"<<OnlyWatchCount=2>><<WaitHint=[1][1][0]>><<WatchList=jimbob\nann\n>>"};
  for (ConnectionId c : {al, cy, jimbob, ann}) EXPECT_EQ(s.transport.Take(c), update);
  EXPECT_EQ(s.transport.Take(bob), Messages{"<<WaitHint=[1][1][0]>>"});
  EXPECT_EQ(s.LastLog(), "[ bob ] ==> " + J("対局[1] ==> 観戦終了") + kTime);

  // The last watcher of a running game leaves it running; the log still closes the watch.
  s.Send(jimbob, ServerHarness::StopWatching(1));
  s.Send(ann, ServerHarness::StopWatching(1));
  EXPECT_EQ(s.core.Games[1].WatchNames, "");
  EXPECT_EQ(s.core.Games[1].GameState, 1);
  EXPECT_EQ(s.core.GameCount, 1);
  EXPECT_EQ(s.LastLogs(2),
            (std::vector<std::string>{"[ ann ] ==> " + J("対局[1] ==> 観戦終了") + kTime,
                                      J("対局[1] ==> 終了") + kTime}));
}

TEST_F(Watching, AFinishedGameIsFreedExactlyWhenItsLastWatcherLeaves) {
  Send(carol, Watch(1));
  Send(alice, Resign(1));
  ASSERT_EQ(Game(1).GameState, 2);
  ASSERT_EQ(Game(1).WatchNames, "carol\nalice\nbob\n");
  Forget();

  Send(carol, StopWatching(1));
  Send(alice, StopWatching(1));
  EXPECT_EQ(Game(1).GameState, 2);
  EXPECT_EQ(Game(1).WatchCount, 1);
  EXPECT_EQ(core.Memo2.Count(), 3);
  // bob, still on the game, heard each departure.
  EXPECT_EQ(transport.Take(bob).back(),
            "<<OnlyWatchCount=1>><<WaitHint=" + core.WaitHintList + ">><<WatchList=bob\n>>");
  Forget();

  Send(bob, StopWatching(1));
  EXPECT_EQ(Game(1).GameState, 0);
  EXPECT_EQ(core.GameCount, 0);
  EXPECT_EQ(core.Memo2.Count(), 0);
  EXPECT_EQ(Player(bob).AttachedGame, 0);
  const Messages lists{"<<Status>><<PlayList=>><<WaitList=" + core.Memo3.Text() +
                       ">><<WaitHint=" + core.WaitHintList + ">>"};
  for (ConnectionId id : all) EXPECT_EQ(transport.Take(id), lists);
  EXPECT_EQ(LastLogs(2),
            (std::vector<std::string>{"[ bob ] ==> " + J("対局[1] ==> 観戦終了") + kTime,
                                      J("対局[1] ==> 終了") + kTime}));
}

// Only a watcher of the game the tag names leaves it; anything else changes no count.
TEST_F(Watching, StopWatchingIsDroppedUnlessTheSenderWatchesTheNamedGame) {
  Send(carol, Watch(1));
  ASSERT_EQ(StartGame(dave, erin), 2);
  Forget();
  const int logged = core.Memo1.Count();
  struct Case {
    ConnectionId who;
    std::string text;
  } cases[] = {
      {carol, StopWatching(2)},  // a game carol does not watch
      {carol, StopWatching(3)},  // a free slot
      {carol, StopWatching(9)},  // no slot at all
      {carol, "<<OffWatchGame>><<GameIndex=x>>"},
      {carol, "<<OffWatchGame>>"},
      {alice, StopWatching(1)},  // a player of the running game
  };
  for (const auto& c : cases) {
    Send(c.who, c.text);
    for (ConnectionId id : all) EXPECT_EQ(transport.Take(id), Messages{}) << c.text;
  }
  EXPECT_EQ(core.Memo1.Count(), logged);
  EXPECT_EQ(Game(1).WatchCount, 1);
  EXPECT_EQ(Game(2).WatchCount, 0);
  EXPECT_EQ(Player(carol).AttachedGame, 1);
  EXPECT_EQ(Player(alice).AttachedGame, 1);
}

TEST_F(Watching, LeaveWatchFreesAFinishedGameOnlyWithItsLastWatcher) {
  Send(carol, Watch(1));
  Send(dave, Watch(1));
  core.LeaveWatch(1, "carol");
  EXPECT_EQ(Game(1).WatchNames, "dave\n");
  core.LeaveWatch(1, "dave");
  EXPECT_EQ(Game(1).WatchCount, 0);
  EXPECT_EQ(Game(1).GameState, 1);  // still played
  EXPECT_EQ(LastLog(), "[ dave ] ==> " + J("対局[1] ==> 観戦終了") + kTime);

  Send(alice, Resign(1));  // alice and bob stay on it
  ASSERT_EQ(Game(1).WatchCount, 2);
  core.LeaveWatch(1, "alice");
  EXPECT_EQ(Game(1).GameState, 2);
  EXPECT_EQ(core.GameCount, 1);
  core.LeaveWatch(1, "bob");
  EXPECT_EQ(Game(1).GameState, 0);
  EXPECT_EQ(core.GameCount, 0);
  EXPECT_EQ(core.Memo2.Count(), 0);
  EXPECT_EQ(LastLog(), J("対局[1] ==> 終了") + kTime);
  core.LeaveWatch(1, "bob");  // a free slot: nothing more
  EXPECT_EQ(core.GameCount, 0);
}

// ---------------------------------------------------------------------------------------------
// Game chat and diagrams

TEST_F(Watching, ChatReachesTheGameWithoutItsSenderAndBuildsTheLog) {
  Send(carol, Watch(1));
  Forget();
  const int logged = core.Memo1.Count();
  Send(alice, "<<GameIndex=1>><<GameMese=hi>><<Extra=1>>");
  EXPECT_EQ(transport.Take(alice), Messages{});
  EXPECT_EQ(transport.Take(bob), Messages{"<<GameMese=hi>>"});  // built anew: no tag, no extra
  EXPECT_EQ(transport.Take(carol), Messages{"<<GameMese=hi>>"});
  EXPECT_EQ(transport.Take(dave), Messages{});
  EXPECT_EQ(Game(1).GameChatLog, "hi\r\n");
  EXPECT_EQ(core.Memo1.Count(), logged);  // chat is never logged

  // A player of a finished game still reaches everyone on it.
  Send(alice, Resign(1));
  Forget();
  Send(bob, "<<GameIndex=1>><<GameMese=gg>>");
  EXPECT_EQ(transport.Take(alice), Messages{"<<GameMese=gg>>"});
  EXPECT_EQ(transport.Take(carol), Messages{"<<GameMese=gg>>"});
  EXPECT_EQ(transport.Take(bob), Messages{});
  EXPECT_EQ(Game(1).GameChatLog, "hi\r\ngg\r\n");

  // Chat without a game in use is dropped.
  for (const char* text : {"<<GameMese=x>>", "<<GameIndex=0>><<GameMese=x>>",
                           "<<GameIndex=6>><<GameMese=x>>", "<<GameIndex=3>><<GameMese=x>>"}) {
    Send(carol, text);
    for (ConnectionId id : all) EXPECT_EQ(transport.Take(id), Messages{}) << text;
  }
  EXPECT_EQ(Game(1).GameChatLog, "hi\r\ngg\r\n");
}

TEST_F(Watching, DiagramsAreNumberedAcrossGamesAndTheRoomAndComeBackToTheirSender) {
  ASSERT_EQ(StartGame(dave, erin), 2);
  Send(carol, Watch(1));
  const ConnectionId fay = Join("fay");
  Send(fay, "<<DiscussEnter>>");
  Forget();

  Send(carol, "<<GameIndex=1>><<GameMese=look>><<DiaData=D1>>");
  const Messages first{"<<GameMese=look>><<DiaIndex=1>><<DiaData=D1>>"};
  EXPECT_EQ(transport.Take(alice), first);
  EXPECT_EQ(transport.Take(bob), first);
  EXPECT_EQ(transport.Take(carol), first);
  EXPECT_EQ(transport.Take(dave), Messages{});

  Send(fay, "<<DiscussMese=room>><<DiaData=D2>>");
  EXPECT_EQ(transport.Take(fay), Messages{"<<DiscussMese=room>><<DiaIndex=2>><<DiaData=D2>>"});

  Send(erin, "<<GameIndex=2>><<GameMese=mine>><<DiaData=D3>>");
  EXPECT_EQ(transport.Take(dave), Messages{"<<GameMese=mine>><<DiaIndex=3>><<DiaData=D3>>"});
  Send(carol, "<<GameIndex=1>><<GameMese=again>><<DiaData=D4>>");

  EXPECT_EQ(core.DiagramCounter, 4);
  EXPECT_EQ(Game(1).GameDiagrams, "{1}<<DiaData=D1>>{4}<<DiaData=D4>>");
  EXPECT_EQ(Game(2).GameDiagrams, "{3}<<DiaData=D3>>");
  EXPECT_EQ(core.RoomDiagrams, "{2}<<DiaData=D2>>");
  // The line that came with a diagram is followed by its mark instead of a line end.
  EXPECT_EQ(Game(1).GameChatLog,
            "look" + J("{ 碁盤 1 }") + "\r\n\r\nagain" + J("{ 碁盤 4 }") + "\r\n\r\n");
  EXPECT_EQ(core.RoomChatLog, "room\r\n" + J("{ 碁盤 2 }") + "\r\n\r\n");
}
