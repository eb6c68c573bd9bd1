// Tests of challenges, game creation and the game relay through the in-memory transport: the game
// start messages, refusals, moves, passes, undo, clock stops, the shared count and every end.
#include <gtest/gtest.h>

#include "protocol/tag_message.h"
#include "tests/server/server_fixture.h"

namespace {

// A challenge as the client composes it; 15 minutes for black, no limit for white.
struct Settings {
  std::string colour = J("黒番");
  std::string handicap = J("互先");
  std::string size = "19";
  std::string start;  // the "<<KifuStart=" value, none when empty
};
std::string Challenge(const std::string& from, const std::string& to, const Settings& s = {}) {
  std::string text = "<<GameSet>><<IsKuro=" + s.colour + ">><<KuroGameTime=15" + J(" 分") +
                     ">><<SiroGameTime=" + J("任意") + ">><<AddTime=" + J("なし") +
                     ">><<GameWari=" + s.handicap + ">><<GameKomi=5.5>><<Player1=" + from +
                     ">><<Player2=" + to + ">><<BanSize=" + s.size + ">>";
  if (!s.start.empty()) text += "<<KifuStart=" + s.start + ">>";
  return text;
}

// The shared server harness with the game helpers; a join leaves nothing unread behind.
struct ServerUnderTest : ServerHarness {
  ConnectionId Join(const std::string& name, bool plays = true) {
    const ConnectionId c = ServerHarness::Join(name, plays);
    transport.Take(c);
    return c;
  }
  // `from` challenges `to` and the challenged participant accepts, or only accepts when `from`
  // is not logged in; returns the new game's slot. What `by` was sent before the answer (the
  // relayed challenge among it) is read.
  int Accept(ConnectionId by, const std::string& from, const std::string& to,
             const Settings& s = {}) {
    if (const int k = core.FindNameSlot(from)) {
      Send(core.Players[k].PlayerSocket, Challenge(from, to, s));
    }
    transport.Take(by);
    Send(by, "OKRe" + Challenge(from, to, s));
    return core.Players[SlotOf(by)].AttachedGame;
  }
  // `name` watches game g, as a watch request leaves it.
  void Watch(int g, ConnectionId c) {
    const std::string& name = core.Players[SlotOf(c)].PlayerName;
    core.Games[g].WatchCount += 1;
    core.Games[g].WatchNames += name + "\n";
    core.SetWaitHint(name, g);
    core.Players[SlotOf(c)].AttachedGame = g;
  }
  std::string Move(int g, int point, const char* colour, const std::string& time) {
    return "<<GameIndex=" + std::to_string(g) + ">><<Move=" + std::to_string(point) +
           ">><<Color=" + colour + ">><<Time=" + time + ">>";
  }
  std::string Pass(int g, const char* colour, int n) {
    return "<<GameIndex=" + std::to_string(g) + ">><<Move=0>><<Color=" + colour +
           ">><<Suu=" + std::to_string(n) + ">>";
  }
  const GameSlot& Game(int g) const { return core.Games[g]; }
};

struct GameRelay : testing::Test, ServerUnderTest {};

// alice (black) and bob (white) play game 1; carol watches it, dave is in the analysis room that
// follows it, erin does neither.
struct RunningGame : GameRelay {
  ConnectionId alice = Join("alice");
  ConnectionId bob = Join("bob");
  ConnectionId carol = Join("carol", false);
  ConnectionId dave = Join("dave");
  ConnectionId erin = Join("erin");
  int g = Accept(bob, "alice", "bob");
  std::string header = Game(1).GameRecord;
  int log_lines = 0;  // the event log's lines once the game runs

  void SetUp() override {
    ASSERT_EQ(g, 1);
    Watch(1, carol);
    core.RoomGame = 1;
    core.Players[SlotOf(dave)].RoomState = 1;
    Forget();
    log_lines = core.Memo1.Count();
  }
};
}  // namespace

// ---------------------------------------------------------------------------------------------
// Challenges and refusals

TEST_F(GameRelay, AChallengeIsLoggedAndRelayedOrAnsweredWithNotFound) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId carol = Join("carol");
  Forget();
  const std::string challenge = Challenge("alice", "bob");
  Send(alice, challenge);
  EXPECT_EQ(transport.Take(bob), Messages{challenge});
  EXPECT_EQ(transport.Take(alice), Messages{});
  EXPECT_EQ(transport.Take(carol), Messages{});
  EXPECT_EQ(LastLog(), "[ alice ] ==> [ bob ] ==> " + J("対局申し込み") + kTime);

  // Names are compared exactly: "Bob" is nobody here, and the challenge is still logged.
  Send(alice, Challenge("alice", "Bob"));
  EXPECT_EQ(LastLog(), "[ alice ] ==> [ Bob ] ==> " + J("対局申し込み") + kTime);
  EXPECT_EQ(transport.Take(alice),
            Messages{J("<<SysMese=相手が見付かりません。Sorry。 [ザンテ]>>")});
  EXPECT_EQ(transport.Take(bob), Messages{});
  EXPECT_EQ(core.GameCount, 0);
}

TEST_F(GameRelay, DeclinedAndBusyAnswersGoBackToTheChallenger) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId carol = Join("carol");
  for (const std::string word : {"NORe", "NoTimeRe"}) {
    Send(alice, Challenge("alice", "bob"));
    Forget();
    const std::string answer = word + Challenge("alice", "bob");
    Send(bob, answer);
    EXPECT_EQ(transport.Take(alice), Messages{answer}) << word;
    EXPECT_EQ(transport.Take(bob), Messages{}) << word;
    EXPECT_EQ(transport.Take(carol), Messages{}) << word;
    EXPECT_EQ(LastLog(), "[ bob ] ==> [ alice ] ==> " + J("対局キャンセル") + kTime);
  }
  EXPECT_EQ(core.GameCount, 0);
  EXPECT_EQ(core.Memo3.Text(), Lines({"alice", "bob", "carol"}));
}

// The server keeps each challenger's last relayed challenge until it is answered. Only the
// participant asked answers it, once, with the settings offered; a new challenge by the same
// challenger, or either side leaving, ends it. An acceptance of no pending challenge gets the
// answer for a challenger who has gone; a refusal of none reaches nobody and is not logged.
TEST_F(GameRelay, OnlyTheParticipantAskedAnswersAPendingChallengeAndOnlyOnce) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId carol = Join("carol");
  Settings handicap;
  handicap.handicap = J("９子");
  struct Case {
    const char* what;
    std::vector<std::pair<ConnectionId, std::string>> before;  // sent before the answer
    ConnectionId by;
    std::string answer;
  } cases[] = {
      {"never challenged", {}, bob, Challenge("alice", "bob")},
      {"asked someone else",
       {{alice, Challenge("alice", "carol")}},
       bob,
       Challenge("alice", "bob")},
      {"answered by another in the name of the one asked",
       {{alice, Challenge("alice", "bob")}},
       carol,
       Challenge("alice", "bob")},
      {"settings changed by the one asked",
       {{alice, Challenge("alice", "bob")}},
       bob,
       Challenge("alice", "bob", handicap)},
      {"already declined",
       {{alice, Challenge("alice", "bob")}, {bob, "NORe" + Challenge("alice", "bob")}},
       bob,
       Challenge("alice", "bob")},
      {"replaced by a new challenge",
       {{alice, Challenge("alice", "bob")}, {alice, Challenge("alice", "carol")}},
       bob,
       Challenge("alice", "bob")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    core.PendingChallenges.clear();
    for (const auto& [from, text] : c.before) Send(from, text);
    Forget();
    const int lines = core.Memo1.Count();
    for (const std::string word : {"NORe", "NoTimeRe"}) {
      Send(c.by, word + c.answer);
      for (ConnectionId id : {alice, bob, carol}) EXPECT_EQ(transport.Take(id), Messages{});
    }
    EXPECT_EQ(core.Memo1.Count(), lines);
    Send(c.by, "OKRe" + c.answer);
    EXPECT_EQ(transport.Take(c.by), Messages{"<<GameStart-NotFound>>"});
    EXPECT_EQ(transport.Take(alice), Messages{});
    EXPECT_EQ(core.GameCount, 0);
    EXPECT_EQ(core.Memo1.Count(), lines);
    EXPECT_EQ(core.CheckConsistency(), "");
  }

  // Either side leaving ends the challenge, even when a participant of the same name comes back.
  core.PendingChallenges.clear();
  for (const bool challenger_leaves : {true, false}) {
    SCOPED_TRACE(challenger_leaves ? "the challenger left" : "the one asked left");
    const ConnectionId dave = Join("dave");
    const ConnectionId erin = Join("erin");
    Send(dave, Challenge("dave", "erin"));
    transport.Drop(challenger_leaves ? dave : erin);
    EXPECT_TRUE(core.PendingChallenges.empty());
    const ConnectionId again = Join(challenger_leaves ? "dave" : "erin");
    Forget();
    Send(challenger_leaves ? erin : again, "OKRe" + Challenge("dave", "erin"));
    EXPECT_EQ(transport.Take(challenger_leaves ? erin : again), Messages{"<<GameStart-NotFound>>"});
    EXPECT_EQ(core.GameCount, 0);
    transport.Drop(again);
    transport.Drop(challenger_leaves ? erin : dave);
  }

  // The challenge the one asked has been offered, with its start position rebuilt, makes the
  // game; the same acceptance a second time does not.
  Settings start;
  start.start = "AB[dd]";
  Send(alice, Challenge("alice", "carol"));
  Send(alice, Challenge("alice", "bob", start));
  start.start = "AB[dd];[pp]";
  Send(bob, "OKRe" + Challenge("alice", "bob", start));
  EXPECT_EQ(core.GameCount, 1);
  EXPECT_EQ(Game(1).WhiteName, "bob");
  Forget();
  Send(carol, "OKRe" + Challenge("alice", "carol"));
  EXPECT_EQ(transport.Take(carol), Messages{"<<GameStart-NotFound>>"});
  EXPECT_TRUE(core.PendingChallenges.empty());
}

TEST_F(GameRelay, AnAcceptanceWithoutItsChallengerCreatesNothing) {
  Join("alice");
  const ConnectionId bob = Join("bob");
  const int lines = core.Memo1.Count();
  Forget();
  Send(bob, "OKRe" + Challenge("zed", "bob"));
  EXPECT_EQ(transport.Take(bob), Messages{"<<GameStart-NotFound>>"});
  EXPECT_EQ(core.Memo1.Count(), lines);
  // Against itself: a game of one participant could never be freed again.
  Send(bob, "OKRe" + Challenge("bob", "bob"));
  EXPECT_EQ(transport.Take(bob), Messages{"<<GameStart-NotFound>>"});
  EXPECT_EQ(core.GameCount, 0);
  EXPECT_EQ(core.Games[1].GameState, 0);
  EXPECT_TRUE(core.Memo2.Empty());
}

// Nobody is a player of two running games: the second acceptance, from either side, is refused.
TEST_F(GameRelay, APlayerOfARunningGameCannotStartASecondOne) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId carol = Join("carol");
  const ConnectionId dave = Join("dave");
  ASSERT_EQ(Accept(bob, "alice", "bob"), 1);
  // carol accepts a challenge of alice, who plays already; then bob accepts dave's challenge.
  Send(alice, Challenge("alice", "carol"));
  Send(dave, Challenge("dave", "bob"));
  Forget();
  Send(carol, "OKRe" + Challenge("alice", "carol"));
  EXPECT_EQ(transport.Take(carol), Messages{"<<GameStart-NotFound>>"});
  Send(bob, "OKRe" + Challenge("dave", "bob"));
  EXPECT_EQ(transport.Take(bob), Messages{"<<GameStart-NotFound>>"});
  EXPECT_EQ(transport.Take(alice), Messages{});
  EXPECT_EQ(transport.Take(dave), Messages{});
  EXPECT_EQ(core.GameCount, 1);
  EXPECT_EQ(core.Games[2].GameState, 0);
  EXPECT_EQ(core.Players[SlotOf(alice)].AttachedGame, 1);
  EXPECT_EQ(core.Players[SlotOf(bob)].AttachedGame, 1);
  EXPECT_EQ(core.Memo3.Text(), Lines({"carol", "dave"}));
  EXPECT_EQ(core.Memo2.Count(), 3);
  // carol and dave may still play each other.
  EXPECT_EQ(Accept(dave, "carol", "dave"), 2);
}

// A game count below the limit with every slot taken (a table out of step) is answered as full;
// no slot number outside 1..5 is ever used.
TEST_F(GameRelay, NoFreeSlotIsAnsweredAsFull) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  for (int g = 1; g <= 5; ++g) core.Games[g].GameState = 2;
  core.GameCount = 0;
  Send(alice, Challenge("alice", "bob"));
  Forget();
  Send(bob, "OKRe" + Challenge("alice", "bob"));
  EXPECT_EQ(transport.Take(bob), Messages{"<<GameIsFull>>"});
  EXPECT_EQ(transport.Take(alice), Messages{});
  EXPECT_EQ(core.GameCount, 0);
  EXPECT_EQ(core.Players[SlotOf(bob)].AttachedGame, 0);
}

// ---------------------------------------------------------------------------------------------
// Game creation

TEST_F(GameRelay, GameStartMessagesForEachWayAGameBegins) {
  struct Case {
    const char* what;
    Settings settings;
    const char* challenger_turn;  // alice challenges
    const char* challenger_colour;
    std::string start_str;
    std::string header_end;
  } cases[] = {
      {"even, challenger black", {J("黒番"), J("互先"), "19", ""}, "Play", "black", "", "HA[0]"},
      {"even, challenger white", {J("白番"), J("互先"), "19", ""}, "Wait", "white", "", "HA[0]"},
      {"black first without stones",
       {J("白番"), J("定先"), "19", ""},
       "Wait",
       "white",
       "",
       "KM[5.5]HA[1]"},
      {"two stones on 19 lines",
       {J("白番"), J("２子"), "19", ""},
       "Play",
       "white",
       "<<KifuStartStr=(;AB[dp][pd]/<SiroSaki>/>>",
       "HA[2]AB[dp][pd]/<SiroSaki>/"},
      {"four stones on 9 lines",
       {J("黒番"), J("４子"), "9", ""},
       "Wait",
       "black",
       "<<KifuStartStr=(;AB[cc][cg][gg][gc]/<SiroSaki>/>>",
       "HA[4]AB[cc][cg][gg][gc]/<SiroSaki>/"},
      {"five stones on 13 lines",
       {J("白番"), J("５子"), "13", ""},
       "Play",
       "white",
       "<<KifuStartStr=(;AB[gg][jj][dd][dj][jd]/<SiroSaki>/>>",
       "HA[5]AB[gg][jj][dd][dj][jd]/<SiroSaki>/"},
      {"start position, white to move",
       {J("黒番"), J("互先"), "19", "AB[dd]AW[pp]/<SiroTurn>/"},
       "Wait",
       "black",
       "<<KifuStartStr=(;AB[dd]AW[pp]/<SiroTurn>/>>",
       "HA[0]AB[dd]AW[pp]/<SiroTurn>/"},
      {"start position, black to move",
       {J("白番"), J("２子"), "19", "AB[dd];[pp]"},
       "Wait",
       "white",
       "<<KifuStartStr=(;AB[dd];[pp]>>",
       "HA[2]AB[dd];[pp]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ServerUnderTest server;
    const ConnectionId alice = server.Join("alice");
    const ConnectionId bob = server.Join("bob");
    const ConnectionId carol = server.Join("carol");
    server.Forget();
    MemoryServerTransport& fresh_transport = server.transport;
    const ServerCore& core2 = server.core;

    server.Accept(bob, "alice", "bob", c.settings);
    const bool alice_black = std::string(c.challenger_colour) == "black";
    const std::string black = alice_black ? "alice" : "bob";
    const std::string white = alice_black ? "bob" : "alice";
    const std::string play_list = Lines({"[ 1 ]", J("● ") + black, J("○ ") + white});
    const std::string tail =
        ">><<GameWari=" + c.settings.handicap + ">><<BanSize=" + c.settings.size +
        ">><<GameKomi=5.5>><<KuroGameTime=15" + J(" 分") + ">><<SiroGameTime=" + J("任意") +
        ">><<AddTime=" + J("なし") + ">><<GameIndex=1>><<PlayList=" + play_list +
        ">><<WaitList=" + Lines({"carol"}) + ">><<WaitHint=[0]>>" + c.start_str;
    const bool alice_plays = std::string(c.challenger_turn) == "Play";
    EXPECT_EQ(fresh_transport.Take(alice),
              Messages{"<<GameStart-" + std::string(c.challenger_turn) +
                       ">><<Color=" + c.challenger_colour + ">><<OpName=bob" + tail});
    EXPECT_EQ(fresh_transport.Take(bob),
              Messages{"<<GameStart-" + std::string(alice_plays ? "Wait" : "Play") + ">><<Color=" +
                       (alice_black ? "white" : "black") + ">><<OpName=alice" + tail});
    EXPECT_EQ(fresh_transport.Take(carol),
              Messages{"<<Status>><<PlayList=" + play_list + ">><<WaitList=" + Lines({"carol"}) +
                       ">><<WaitHint=[0]>>"});
    const std::string& record = core2.Games[1].GameRecord;
    EXPECT_EQ(record.rfind("(;SZ[" + c.settings.size + "]PB[" + black + "]PW[" + white +
                               "]BT[900]WT[0]AM[" + J("なし") + "]KM[5.5]HA[",
                           0),
              0u)
        << record;
    EXPECT_EQ(record.substr(record.size() - c.header_end.size()), c.header_end) << record;
    EXPECT_EQ(core2.Games[1].RecordHeaderLength, record.size());
  }
}

TEST_F(GameRelay, CreationTakesTheFirstFreeSlotAndResetsIt) {
  const ConnectionId p1 = Join("p1");
  const ConnectionId p2 = Join("p2", false);  // watch-only, yet accepts: the server lets it
  const ConnectionId p3 = Join("p3");
  const ConnectionId p4 = Join("p4");
  const ConnectionId p5 = Join("p5");
  // Slot 1 is taken; slot 2 held an old game whose texts are still there.
  core.Games[1].GameState = 1;
  core.Games[1].BlackName = "x";
  core.Games[1].WhiteName = "y";
  core.GameCount = 1;
  GameSlot& old = core.Games[2];
  old.GameChatLog = "old chat\r\n";
  old.GameDiagrams = "{1}<<DiaData=x>>";
  old.WatchNames = "ghost\n";
  old.WatchCount = 3;
  old.PassCount = 1;
  old.UndoState = 2;
  old.BlackClock = "77";
  Forget();

  // p4 challenges p3, who answers; both in the middle of the waiting list.
  EXPECT_EQ(Accept(p3, "p4", "p3"), 2);
  const GameSlot& game = core.Games[2];
  EXPECT_EQ(game.GameState, 1);
  EXPECT_EQ(core.GameCount, 2);
  EXPECT_EQ(game.BlackName, "p4");
  EXPECT_EQ(game.WhiteName, "p3");
  EXPECT_EQ(game.GameChatLog, "");
  EXPECT_EQ(game.GameDiagrams, "");
  EXPECT_EQ(game.WatchNames, "");
  EXPECT_EQ(game.WatchCount, 0);
  EXPECT_EQ(game.PassCount, 0);
  EXPECT_EQ(game.UndoState, 0);
  EXPECT_EQ(game.BlackClock, "0");
  EXPECT_EQ(game.WhiteClock, "0");
  EXPECT_EQ(core.Players[SlotOf(p3)].AttachedGame, 2);
  EXPECT_EQ(core.Players[SlotOf(p4)].AttachedGame, 2);
  EXPECT_EQ(core.Memo2.Text(), Lines({"[ 2 ]", J("● ") + "p4", J("○ ") + "p3"}));
  EXPECT_EQ(core.Memo3.Text(), Lines({"p1", "p5"}));
  EXPECT_EQ(core.WaitHintList, "[0][0]");
  EXPECT_EQ(LastLog(), "[ p3 ] ==> [ p4 ] ==> " + J("対局OK ==> 対局[2] 開始") + kTime);
  for (ConnectionId c : {p1, p2, p5}) {
    EXPECT_EQ(transport.Take(c),
              Messages{"<<Status>><<PlayList=" + core.Memo2.Text() +
                       ">><<WaitList=" + Lines({"p1", "p5"}) + ">><<WaitHint=[0][0]>>"});
  }
  // The watch-only participant may accept too and is in no waiting list to leave.
  EXPECT_EQ(Accept(p2, "p1", "p2"), 3);
  EXPECT_EQ(core.Memo3.Text(), Lines({"p5"}));
  EXPECT_EQ(core.Memo4.Text(), Lines({"p2"}));
}

TEST_F(GameRelay, PlayersOfAFinishedGameLeaveItForTheNextAndTheLastFreesIt) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId carol = Join("carol");
  ASSERT_EQ(Accept(bob, "alice", "bob"), 1);
  Send(alice, "<<GameResign>><<Suu=0>><<GameIndex=1>>");
  ASSERT_EQ(Game(1).GameState, 2);
  ASSERT_EQ(Game(1).WatchCount, 2);

  // alice plays carol: alice leaves game 1, which carries on with bob on it.
  ASSERT_EQ(Accept(carol, "alice", "carol"), 2);
  EXPECT_EQ(Game(1).WatchCount, 1);
  EXPECT_EQ(Game(1).WatchNames, "bob\n");
  EXPECT_EQ(Game(1).GameState, 2);
  const auto& log = core.Memo1.Lines();
  EXPECT_EQ(log[log.size() - 2], "[ alice ] ==> " + J("対局[1] ==> 観戦終了") + kTime);

  // carol resigns; bob challenges carol again: game 1 is freed by bob, then taken by the new game.
  Send(carol, "<<GameResign>><<Suu=0>><<GameIndex=2>>");
  ASSERT_EQ(Accept(carol, "bob", "carol"), 1);
  EXPECT_EQ(core.GameCount, 2);
  EXPECT_EQ(Game(1).GameState, 1);
  EXPECT_EQ(Game(1).BlackName, "bob");
  EXPECT_EQ(Game(2).WatchCount, 1);  // alice is still on game 2
  EXPECT_EQ(Game(2).WatchNames, "alice\n");
  EXPECT_EQ(core.Memo2.Text(), Lines({"[ 2 ]", J("● ") + "alice End", J("○ ") + "carol End",
                                      "[ 1 ]", J("● ") + "bob", J("○ ") + "carol"}));
  const int n = static_cast<int>(log.size());
  EXPECT_EQ(log[n - 4], "[ carol ] ==> " + J("対局[2] ==> 観戦終了") + kTime);
  EXPECT_EQ(log[n - 3], "[ bob ] ==> " + J("対局[1] ==> 観戦終了") + kTime);
  EXPECT_EQ(log[n - 2], J("対局[1] ==> 終了") + kTime);
  EXPECT_EQ(log[n - 1], "[ carol ] ==> [ bob ] ==> " + J("対局OK ==> 対局[1] 開始") + kTime);
  EXPECT_EQ(core.Memo3.Text(), Lines({"alice"}));
}

// ---------------------------------------------------------------------------------------------
// Moves and passes

TEST_F(RunningGame, AMoveReachesTheOpponentTheWatchersAndTheRoom) {
  Send(alice, Move(1, 88, "black", "895"));
  EXPECT_EQ(transport.Take(bob), Messages{"<<Move=88>><<Time=895>>"});
  EXPECT_EQ(transport.Take(carol), Messages{"<<Move=88>><<KuroTime=895>><<SiroTime=0>>"});
  EXPECT_EQ(transport.Take(dave), Messages{"<<DisCussGameMove=88>>"});
  EXPECT_EQ(transport.Take(erin), Messages{});
  EXPECT_EQ(transport.Take(alice), Messages{});
  EXPECT_EQ(Game(1).GameRecord, header + ";[dd]");
  EXPECT_EQ(Game(1).BlackClock, "895");

  // A room member watching the game gets the watchers' message only; a room following another
  // game gets nothing.
  Watch(1, dave);
  Send(bob, Move(1, 400, "white", "1190"));
  EXPECT_EQ(transport.Take(alice), Messages{"<<Move=400>><<Time=1190>>"});
  EXPECT_EQ(transport.Take(dave), Messages{"<<Move=400>><<KuroTime=895>><<SiroTime=1190>>"});
  core.RoomGame = 2;
  core.Players[SlotOf(erin)].RoomState = 1;
  Send(alice, Move(1, 418, "black", "880"));
  EXPECT_EQ(transport.Take(erin), Messages{});
  EXPECT_EQ(Game(1).GameRecord, header + ";[dd];[sa];[ss]");
  EXPECT_EQ(core.Memo1.Count(), log_lines);  // no log lines for moves
}

TEST_F(RunningGame, OpponentsAreFoundByExactName) {
  const ConnectionId big_bob = Join("Bob");
  Forget();
  Send(alice, Move(1, 88, "black", "895"));
  EXPECT_EQ(transport.Take(big_bob), Messages{});
  EXPECT_EQ(transport.Take(bob), Messages{"<<Move=88>><<Time=895>>"});
}

TEST_F(RunningGame, PointsThatNameNoPlaceTakeTheErrorPathAndChangeNothing) {
  Send(alice, Move(1, 88, "black", "895"));
  Send(bob, "<<GameIndex=1>><<Move=>><<MoveBack>>");  // an undo request is pending
  Forget();
  const int lines = core.Memo1.Count();
  for (const std::string point :
       {"441", "21", "420", "-1", "x", "", "00", "99999999999999999999"}) {
    Send(bob, "<<GameIndex=1>><<Move=" + point + ">><<Color=white>><<Time=5>>");
    EXPECT_EQ(LastLog(), J("対局 1 ==> エラー発生") + kTime) << point;
  }
  EXPECT_EQ(core.Memo1.Count(), lines + 8);
  for (ConnectionId c : {alice, bob, carol, dave}) EXPECT_EQ(transport.Take(c), Messages{});
  EXPECT_EQ(Game(1).GameRecord, header + ";[dd]");
  EXPECT_EQ(Game(1).WhiteClock, "0");
  EXPECT_EQ(Game(1).UndoState, 2);
}

TEST_F(RunningGame, MovesForGamesThatAreNotInUseAreLoggedAsErrors) {
  struct Case {
    std::string tag;
    std::string shown;
  } cases[] = {
      {"<<GameIndex=2>>", "2"},  // free slot
      {"<<GameIndex=6>>", "6"},  // past the table
      {"<<GameIndex=-1>>", "-1"},         {"<<GameIndex=x>>", "0"}, {"", "0"},
      {"<<GameIndex=99999999999>>", "0"},  // not a 32-bit number
  };
  for (const auto& c : cases) {
    Send(alice, c.tag + "<<Move=88>><<Color=black>><<Time=1>>");
    EXPECT_EQ(LastLog(), J("対局 ") + c.shown + J(" ==> エラー発生") + kTime) << c.tag;
    Send(alice, c.tag + "<<Move=>><<MoveBack>>");
    EXPECT_EQ(LastLog(), J("対局 ") + c.shown + J(" ==> エラー発生") + kTime) << c.tag;
  }
  for (ConnectionId c : {alice, bob, carol, dave}) EXPECT_EQ(transport.Take(c), Messages{});
  EXPECT_EQ(Game(1).GameRecord, header);
}

TEST_F(RunningGame, PassesCountOnlyInARowAndEmptyTheMoversClock) {
  Send(alice, Pass(1, "black", 1));
  EXPECT_EQ(Game(1).PassCount, 1);
  EXPECT_EQ(Game(1).BlackClock, "");
  EXPECT_EQ(transport.Take(bob), Messages{"<<Move=0>><<Time=>>"});
  EXPECT_EQ(transport.Take(carol), Messages{"<<Move=0>><<KuroTime=>><<SiroTime=0>>"});
  EXPECT_EQ(transport.Take(dave), Messages{"<<DisCussGameMove=0>>"});
  Send(bob, Move(1, 88, "white", "600"));
  EXPECT_EQ(Game(1).PassCount, 0);
  Send(alice, Pass(1, "black", 3));
  EXPECT_EQ(Game(1).PassCount, 1);
  EXPECT_EQ(Game(1).GameState, 1);
  EXPECT_EQ(Game(1).GameRecord, header + ";[tt];[dd];[tt]");
}

TEST_F(RunningGame, TwoPassesEndTheGameWithTheRecordOfTheLastStone) {
  Send(alice, Move(1, 88, "black", "895"));
  Send(bob, Move(1, 352, "white", "1190"));
  Send(alice, Pass(1, "black", 3));
  Forget();
  clock.Set("2026/12/09", "9:30:00");
  Send(bob, Pass(1, "white", 4));

  const GameSlot& game = Game(1);
  EXPECT_EQ(game.GameState, 2);
  EXPECT_EQ(game.PassCount, 0);
  EXPECT_EQ(game.GameRecord, header + ";[dd];[pp]");
  EXPECT_EQ(game.WatchCount, 3);
  EXPECT_EQ(game.WatchNames, "carol\nalice\nbob\n");
  EXPECT_EQ(core.GameCount, 1);
  const std::string play_list = Lines({"[ 1 ]", J("● ") + "alice End", J("○ ") + "bob End"});
  EXPECT_EQ(core.Memo2.Text(), play_list);
  EXPECT_EQ(core.Memo3.Text(), Lines({"dave", "erin", "alice", "bob"}));
  EXPECT_EQ(core.WaitHintList, "[0][0][1][1]");

  const std::string notice = "<<PassEndGame>><<Name=bob>><<Suu=4>><<PlayList=" + play_list +
                             ">><<WaitList=" + Lines({"dave", "erin", "alice", "bob"}) +
                             ">><<WaitHint=[0][0][1][1]>><<WatchCount=3>><<WatchList=carol\nalice\n"
                             "bob\n>>" +
                             header + ";[dd];[pp]<<KuroTime=>><<SiroTime=>>";
  for (ConnectionId c : {alice, bob, carol}) EXPECT_EQ(transport.Take(c), Messages{notice});
  const std::string lists = "<<Status>><<PlayList=" + play_list +
                            ">><<WaitList=" + Lines({"dave", "erin", "alice", "bob"}) +
                            ">><<WaitHint=[0][0][1][1]>>";
  EXPECT_EQ(transport.Take(dave), Messages{lists + "<<DiscussGameEnd>>"});
  EXPECT_EQ(transport.Take(erin), Messages{lists});
  EXPECT_EQ(LastLog(), "[ bob ] ==> " + J("対局[1] ==> 両パス終局") + "  (9:30:00)");
}

// A finished game still relays and records passes, but it is ended only once: a second end
// would list the players twice and count them twice as watchers, so the slot could never be
// freed.
TEST_F(RunningGame, PassesInAFinishedGameEndNothing) {
  Send(alice, "<<GameResign>><<Suu=0>><<GameIndex=1>>");
  Forget();
  const int lines = core.Memo1.Count();
  Send(alice, Pass(1, "black", 1));
  Send(bob, Pass(1, "white", 2));
  Send(alice, Pass(1, "black", 3));
  EXPECT_EQ(Game(1).GameRecord, header + "/RE[W+R]/;[tt];[tt];[tt]");
  EXPECT_EQ(Game(1).WatchCount, 3);
  EXPECT_EQ(Game(1).WatchNames, "carol\nalice\nbob\n");
  EXPECT_EQ(core.Memo3.Text(), Lines({"dave", "erin", "alice", "bob"}));
  EXPECT_EQ(core.Memo1.Count(), lines);
  EXPECT_EQ(transport.Take(bob).size(), 2u);  // the two passes of alice, as moves
  EXPECT_EQ(transport.Take(carol).size(), 3u);

  // Everyone leaves: the slot is freed.
  transport.Drop(alice);
  transport.Drop(bob);
  transport.Drop(carol);
  EXPECT_EQ(Game(1).GameState, 0);
  EXPECT_EQ(core.GameCount, 0);
}

// ---------------------------------------------------------------------------------------------
// Undo

TEST_F(RunningGame, UndoIsAskedRepeatedAndAgreed) {
  Send(alice, Move(1, 88, "black", "895"));
  Send(bob, Move(1, 352, "white", "1190"));
  Forget();
  const std::string request = "<<GameIndex=1>><<Move=>><<MoveBack>>";
  Send(bob, request);
  EXPECT_EQ(Game(1).UndoState, 2);
  EXPECT_EQ(transport.Take(alice), Messages{"<<ReceiveMoveBack>>"});
  EXPECT_EQ(transport.Take(carol), Messages{});
  EXPECT_EQ(transport.Take(dave), Messages{});
  Send(bob, request);  // asked again: nothing
  EXPECT_EQ(transport.Take(alice), Messages{});
  EXPECT_EQ(Game(1).UndoState, 2);

  Send(alice, request);  // the agreement
  EXPECT_EQ(Game(1).UndoState, 0);
  EXPECT_EQ(Game(1).GameRecord, header + ";[dd]");
  for (ConnectionId c : {alice, bob, carol}) EXPECT_EQ(transport.Take(c), Messages{request});
  EXPECT_EQ(transport.Take(dave), Messages{"<<DisCussMoveBack>>"});
  EXPECT_EQ(transport.Take(erin), Messages{});
  EXPECT_EQ(Game(1).WhiteClock, "1190");  // clocks are not undone
}

TEST_F(RunningGame, AMoveDropsAPendingUndoRequest) {
  Send(alice, Move(1, 88, "black", "895"));
  const std::string request = "<<GameIndex=1>><<Move=>><<MoveBack>>";
  Send(alice, request);
  Send(bob, Move(1, 352, "white", "1190"));
  EXPECT_EQ(Game(1).UndoState, 0);
  Forget();
  // bob's request now starts anew instead of agreeing.
  Send(bob, request);
  EXPECT_EQ(Game(1).UndoState, 2);
  EXPECT_EQ(transport.Take(alice), Messages{"<<ReceiveMoveBack>>"});
  EXPECT_EQ(Game(1).GameRecord, header + ";[dd];[pp]");
}

// An agreement with no move in the record cuts nothing of the header; the record stays whole.
TEST_F(RunningGame, AnUndoWithoutMovesLeavesTheHeader) {
  const std::string request = "<<GameIndex=1>><<Move=>><<MoveBack>>";
  Send(alice, request);
  Send(bob, request);
  EXPECT_EQ(Game(1).GameRecord, header);
  Send(alice, Move(1, 88, "black", "895"));
  Send(alice, request);
  Send(bob, request);
  Send(alice, request);
  Send(bob, request);
  EXPECT_EQ(Game(1).GameRecord, header);
}

TEST_F(RunningGame, AfterAnUndoThePassCountFollowsTheLastEntry) {
  const std::string request = "<<GameIndex=1>><<Move=>><<MoveBack>>";
  // A pass, then a stone that is taken back: the pass is last again and counts.
  Send(alice, Move(1, 88, "black", "895"));
  Send(bob, Pass(1, "white", 2));
  Send(alice, Move(1, 352, "black", "880"));
  Send(alice, request);
  Send(bob, request);
  EXPECT_EQ(Game(1).GameRecord, header + ";[dd];[tt]");
  EXPECT_EQ(Game(1).PassCount, 1);
  Send(alice, Pass(1, "black", 3));
  EXPECT_EQ(Game(1).GameState, 2);
  EXPECT_EQ(Game(1).GameRecord, header + ";[dd]");
}

// A pass that is taken back counts no more: one more pass must not end the game and cut the
// stone before it.
TEST_F(RunningGame, AnUndonePassNoLongerCounts) {
  const std::string request = "<<GameIndex=1>><<Move=>><<MoveBack>>";
  Send(alice, Move(1, 88, "black", "895"));
  Send(bob, Pass(1, "white", 2));
  Send(bob, request);
  Send(alice, request);
  EXPECT_EQ(Game(1).GameRecord, header + ";[dd]");
  EXPECT_EQ(Game(1).PassCount, 0);
  Send(bob, Pass(1, "white", 2));
  EXPECT_EQ(Game(1).GameState, 1);
  EXPECT_EQ(Game(1).GameRecord, header + ";[dd];[tt]");
}

// ---------------------------------------------------------------------------------------------
// Clock stop and shared count

TEST_F(RunningGame, AClockStopReachesTheOpponentOnlyWithItsSender) {
  Send(bob, "<<TimeStop=1>><<GameIndex=1>>");
  EXPECT_EQ(transport.Take(alice), Messages{"<<TimeStop=1>><<GameIndex=1>><<Sender=bob>>"});
  Send(alice, "<<TimeStop=0>><<GameIndex=1>>");
  EXPECT_EQ(transport.Take(bob), Messages{"<<TimeStop=0>><<GameIndex=1>><<Sender=alice>>"});
  for (const std::string tag : {"<<GameIndex=2>>", "<<GameIndex=9>>", "<<GameIndex=x>>", ""}) {
    Send(bob, "<<TimeStop=1>>" + tag);
  }
  for (ConnectionId c : {alice, bob, carol, dave, erin}) EXPECT_EQ(transport.Take(c), Messages{});
  EXPECT_EQ(core.Memo1.Count(), log_lines);
}

TEST_F(RunningGame, TheSharedCountReachesTheOpponentAndButForTheChangeTheWatchers) {
  Send(alice, "<<GameResign>><<Suu=0>><<GameIndex=1>>");  // counting follows a finished game
  Forget();
  struct Case {
    std::string text;
    bool to_watchers;
  } cases[] = {
      {"<<GameIndex=1>><<RealTimeCountStart>>", true},
      {"<<GameIndex=1>><<RealTimeCount>><<Type=2>><<Value=88>>", true},
      {"<<GameIndex=1>><<RealTimeCountEnd>>", true},
      {"<<GameIndex=1>><<RealTimeChange>>", false},
  };
  for (const auto& c : cases) {
    Send(alice, c.text);
    EXPECT_EQ(transport.Take(bob), Messages{c.text}) << c.text;
    EXPECT_EQ(transport.Take(carol), c.to_watchers ? Messages{c.text} : Messages{}) << c.text;
    EXPECT_EQ(transport.Take(alice), Messages{}) << c.text;
    EXPECT_EQ(transport.Take(dave), Messages{}) << c.text;
    EXPECT_EQ(transport.Take(erin), Messages{}) << c.text;
  }
  Send(bob, "<<GameIndex=3>><<RealTimeCountStart>>");
  Send(bob, "<<GameIndex=0>><<RealTimeCountStart>>");
  EXPECT_EQ(transport.Take(alice), Messages{});
  EXPECT_EQ(transport.Take(carol), Messages{});
}

// ---------------------------------------------------------------------------------------------
// End requests

TEST_F(RunningGame, EachEndRequestMarksTheLoserAndLogsItsWord) {
  struct Case {
    std::string tag;
    bool by_black;
    std::string result;
    std::string word;
  } cases[] = {
      {"<<GameResign>>", true, "/RE[W+R]/", J("投了")},
      {"<<GameResign>>", false, "/RE[B+R]/", J("投了")},
      {"<<GameTimeOut>>", true, "/RE[W+R]/", J("時間切れ")},
      {"<<NewGameResign>>", false, "/RE[B+R]/", J("終了")},
      {"<<EndGameResign>>", true, "/RE[W+R]/", J("[×]終了")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    // The fixture's game first, then a new game between the two each time.
    int game = core.Players[SlotOf(alice)].AttachedGame;
    if (Game(game).GameState != 1) game = Accept(bob, "alice", "bob");
    ASSERT_GT(game, 0);
    const std::string start = Game(game).GameRecord;
    Send(alice, Move(game, 88, "black", "895"));
    Send(c.by_black ? alice : bob, c.tag + "<<Suu=1>><<GameIndex=" + std::to_string(game) + ">>");
    EXPECT_EQ(Game(game).GameState, 2);
    EXPECT_EQ(Game(game).GameRecord, start + ";[dd]" + c.result);
    EXPECT_EQ(LastLog(), "[ " + std::string(c.by_black ? "alice" : "bob") + " ] ==> " + J("対局[") +
                             std::to_string(game) + "] ==> " + c.word + kTime);
  }
}

TEST_F(RunningGame, AResignationReachesTheGameWithTheListsRecordAndClocks) {
  Send(alice, Move(1, 88, "black", "895"));
  Send(bob, Move(1, 352, "white", "1190"));
  Forget();
  const std::string request = "<<GameResign>><<Suu=2>><<GameIndex=1>>";
  Send(bob, request);

  const std::string play_list = Lines({"[ 1 ]", J("● ") + "alice End", J("○ ") + "bob End"});
  const std::string waiting = Lines({"dave", "erin", "bob", "alice"});
  const std::string notice = request + "<<Name=bob>><<PlayList=" + play_list +
                             ">><<WaitList=" + waiting +
                             ">><<WaitHint=[0][0][1][1]>><<WatchCount=3>><<WatchList=carol\nalice\n"
                             "bob\n>>" +
                             header + ";[dd];[pp]/RE[B+R]/<<KuroTime=895>><<SiroTime=1190>>";
  for (ConnectionId c : {alice, bob, carol}) EXPECT_EQ(transport.Take(c), Messages{notice});
  const std::string lists = "<<Status>><<PlayList=" + play_list + ">><<WaitList=" + waiting +
                            ">><<WaitHint=[0][0][1][1]>>";
  EXPECT_EQ(transport.Take(dave), Messages{lists + "<<DiscussGameEnd>><<Result=B>>"});
  EXPECT_EQ(transport.Take(erin), Messages{lists});
  EXPECT_EQ(core.Players[SlotOf(bob)].AttachedGame, 1);

  // A second end request changes nothing.
  const std::string record = Game(1).GameRecord;
  const int lines = core.Memo1.Count();
  Send(alice, "<<GameTimeOut>><<Suu=3>><<GameIndex=1>>");
  EXPECT_EQ(Game(1).GameRecord, record);
  EXPECT_EQ(Game(1).WatchCount, 3);
  EXPECT_EQ(core.Memo3.Text(), waiting);
  EXPECT_EQ(core.Memo1.Count(), lines);
  for (ConnectionId c : {alice, bob, carol, dave, erin}) EXPECT_EQ(transport.Take(c), Messages{});
}

// The closing player's own line gets " OUT", chosen by colour: "an" is also the end of "ban".
TEST_F(GameRelay, ClosingTheBoardEndsTheGameAndMarksTheClosingPlayer) {
  const ConnectionId ban = Join("ban");
  const ConnectionId an = Join("an");
  const ConnectionId carol = Join("carol", false);
  const ConnectionId dave = Join("dave");
  ASSERT_EQ(Accept(an, "ban", "an"), 1);
  Watch(1, carol);
  core.RoomGame = 1;
  core.Players[SlotOf(dave)].RoomState = 1;
  const std::string header = Game(1).GameRecord;
  Forget();

  const std::string request = "<<EndGameResign>><<Suu=0>><<GameIndex=1>>";
  Send(an, request);
  const std::string play_list = Lines({"[ 1 ]", J("● ") + "ban End", J("○ ") + "an End OUT"});
  EXPECT_EQ(core.Memo2.Text(), play_list);
  EXPECT_EQ(core.Players[SlotOf(an)].AttachedGame, 0);
  EXPECT_EQ(Game(1).WatchCount, 2);
  EXPECT_EQ(Game(1).WatchNames, "carol\nban\n");
  EXPECT_EQ(core.Memo3.Text(), Lines({"dave", "an", "ban"}));
  EXPECT_EQ(core.WaitHintList, "[0][0][1]");

  const std::string waiting = Lines({"dave", "an", "ban"});
  const std::string notice = request + "<<Name=an>><<PlayList=" + play_list +
                             ">><<WaitList=" + waiting +
                             ">><<WaitHint=[0][0][1]>><<WatchCount=2>><<WatchList=carol\n"
                             "ban\n>>" +
                             header + "/RE[B+R]/<<KuroTime=0>><<SiroTime=0>>";
  const std::string lists =
      "<<Status>><<PlayList=" + play_list + ">><<WaitList=" + waiting + ">><<WaitHint=[0][0][1]>>";
  EXPECT_EQ(transport.Take(ban), Messages{notice});
  EXPECT_EQ(transport.Take(carol), Messages{notice});
  EXPECT_EQ(transport.Take(an), Messages{lists});  // no longer attached
  EXPECT_EQ(transport.Take(dave), Messages{lists + "<<DiscussGameEnd>><<Result=B>>"});
  EXPECT_EQ(LastLog(), "[ an ] ==> " + J("対局[1] ==> [×]終了") + kTime);

  // The black player closing marks the black line.
  ASSERT_EQ(Accept(dave, "an", "dave"), 2);
  Send(an, "<<EndGameResign>><<Suu=0>><<GameIndex=2>>");
  EXPECT_EQ(core.Memo2.Line(4), J("● ") + "an End OUT");
  EXPECT_EQ(core.Memo2.Line(5), J("○ ") + "dave End");
}

// Only a player ends a game: a watcher's request would put the wrong names in the lists and
// count the watchers wrong.
TEST_F(RunningGame, AnEndRequestFromAWatcherIsIgnored) {
  for (const std::string tag : {"<<GameResign>>", "<<EndGameResign>>", "<<GameTimeOut>>"}) {
    Send(carol, tag + "<<Suu=0>><<GameIndex=1>>");
  }
  EXPECT_EQ(Game(1).GameState, 1);
  EXPECT_EQ(Game(1).WatchCount, 1);
  EXPECT_EQ(core.Players[SlotOf(carol)].AttachedGame, 1);
  EXPECT_EQ(Game(1).GameRecord, header);
  for (ConnectionId c : {alice, bob, carol, dave, erin}) EXPECT_EQ(transport.Take(c), Messages{});
  // A game number of a free slot or outside the table is ignored too.
  for (const std::string tag : {"<<GameIndex=2>>", "<<GameIndex=7>>", ""}) {
    Send(alice, "<<GameResign>><<Suu=0>>" + tag);
  }
  EXPECT_EQ(Game(1).GameState, 1);
  EXPECT_EQ(core.Memo1.Count(), log_lines);
}

// Only the two players act for their game, each with its own colour. Today's fault: any
// participant could ask or grant an undo, stop a clock, play a stone, pass a game to its end or
// count it, whether watching it (carol) or not (erin).
TEST_F(RunningGame, NobodyButThePlayersActsForTheGame) {
  Send(alice, Move(1, 88, "black", "895"));
  Forget();
  const auto nothing_changed = [&](int undo_state) {
    for (ConnectionId k : {alice, bob, carol, dave, erin}) EXPECT_EQ(transport.Take(k), Messages{});
    EXPECT_EQ(Game(1).GameRecord, header + ";[dd]");
    EXPECT_EQ(Game(1).GameState, 1);
    EXPECT_EQ(Game(1).UndoState, undo_state);
    EXPECT_EQ(Game(1).PassCount, 0);
    EXPECT_EQ(Game(1).WhiteClock, "0");
  };
  struct Case {
    const char* what;
    std::vector<std::string> texts;
  } cases[] = {
      {"asks an undo", {"<<GameIndex=1>><<Move=>><<MoveBack>>"}},
      {"stops the clock", {"<<TimeStop=1>><<GameIndex=1>>"}},
      {"plays a stone", {Move(1, 89, "white", "10"), Move(1, 90, "black", "10")}},
      {"ends the game by two passes", {Pass(1, "white", 2), Pass(1, "black", 3)}},
      {"counts", {"<<GameIndex=1>><<RealTimeCountStart>>", "<<GameIndex=1>><<RealTimeChange>>"}},
      {"resigns", {"<<GameResign>><<Suu=2>><<GameIndex=1>>"}},
      {"grants black's undo", {"<<GameIndex=1>><<Move=>><<MoveBack>>"}},
  };
  for (const auto& c : cases) {
    const bool grant = c.what == cases[6].what;
    if (grant) {
      Send(alice, "<<GameIndex=1>><<Move=>><<MoveBack>>");  // black asks to take it back
      Forget();
    }
    for (ConnectionId intruder : {carol, erin}) {
      SCOPED_TRACE(std::string(c.what) + (intruder == carol ? " (watcher)" : " (outsider)"));
      for (const std::string& text : c.texts) Send(intruder, text);
      nothing_changed(grant ? 1 : 0);
    }
  }
  // A player moves and passes only in its own colour; the chat is for the game's participants.
  Send(bob, Move(1, 90, "black", "10"));
  Send(alice, Pass(1, "white", 2));
  Send(alice, "<<GameIndex=1>><<Move=90>><<Time=10>>");  // no colour at all
  Send(erin, "<<GameIndex=1>><<GameMese=[ erin ]hi\r\n>>");
  nothing_changed(1);
  EXPECT_EQ(Game(1).BlackClock, "895");
  EXPECT_EQ(Game(1).GameChatLog, "");
  EXPECT_EQ(core.Memo1.Count(), log_lines);
  // The players themselves still do all of it.
  Send(bob, "<<GameIndex=1>><<Move=>><<MoveBack>>");
  EXPECT_EQ(Game(1).GameRecord, header);
  Send(bob, Move(1, 89, "white", "10"));
  EXPECT_EQ(transport.Take(alice).back(), "<<Move=89>><<Time=10>>");
}

// Players go back to the waiting list once, and only when they may play.
TEST_F(RunningGame, TheEndReturnsPlayersToTheWaitingListOnceAndOnlyIfTheyPlay) {
  Send(alice, "<<ChangeMode>>");  // alice to watching only ...
  Send(bob, "<<ChangeMode>>");    // ... bob too, and back: listed already
  Send(bob, "<<ChangeMode>>");
  ASSERT_EQ(core.Memo3.Text(), Lines({"dave", "erin", "bob"}));
  Send(alice, Pass(1, "black", 1));
  Send(bob, Pass(1, "white", 2));
  EXPECT_EQ(Game(1).GameState, 2);
  EXPECT_EQ(core.Memo3.Text(), Lines({"dave", "erin", "bob"}));
  EXPECT_EQ(core.WaitHintList, "[0][0][1]");
  EXPECT_EQ(core.Memo4.Text(), Lines({"carol", "alice"}));
}
