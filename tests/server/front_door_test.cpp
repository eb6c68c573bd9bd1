// Tests of the server's front door through the in-memory transport: connections and their limits,
// logins, the dispatcher's order, the message board, the mode switch, the lobby list operations
// and every path of a lost connection.
#include <gtest/gtest.h>

#include <initializer_list>

#include "platform/cp932.h"
#include "platform/memory_transport.h"
#include "protocol/tag_message.h"
#include "server/server_core.h"

namespace {
using Messages = std::vector<std::string>;

// Memo text: every line followed by CR LF.
std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

struct FrontDoor : testing::Test {
  MemoryServerTransport transport;
  FixedClock clock{"2026/12/09", "9:05:07"};
  ServerCore core{transport, clock};
  ConnectionId self_test = transport.Connect();
  std::vector<ConnectionId> all;  // every connection the test opened, for Forget()

  ConnectionId Open() {
    const ConnectionId c = transport.Connect();
    transport.Take(c);
    all.push_back(c);
    return c;
  }
  // Logs `name` in as a player (IdFlag 1) or watch-only participant.
  ConnectionId Join(const std::string& name, bool plays = true) {
    const ConnectionId c = Open();
    transport.Receive(c, "<<QuellName=" + name + ">><<IdFlag=" + (plays ? "1" : "0") + ">>");
    return c;
  }
  // Forgets what was sent so far to every connection.
  void Forget() {
    for (ConnectionId c : all) transport.Take(c);
  }
  int SlotOf(ConnectionId c) const { return core.FindSenderSlot(c); }

  // Game 1 running between alice (black) and bob (white), as game creation leaves it.
  void RunGame(int g, const std::string& black, const std::string& white) {
    GameSlot& game = core.Games[g];
    game.GameState = 1;
    game.BlackName = black;
    game.WhiteName = white;
    game.GameRecord = "(;SZ[19]PB[" + black + "]PW[" + white + "];[dd];[pp]";
    game.BlackClock = "120";
    game.WhiteClock = "95";
    core.GameCount += 1;
    core.Memo2.Add(ServerCore::GameListHead(g));
    core.Memo2.Add(J("● ") + black);
    core.Memo2.Add(J("○ ") + white);
    for (int j = 1; j <= core.PlayerCount; ++j) {
      const std::string& name = core.Players[j].PlayerName;
      if (name != black && name != white) continue;
      core.Players[j].AttachedGame = g;
      const int k = core.Memo3.IndexOf(name);
      if (k >= 0) {
        core.Memo3.Delete(k);
        core.RemoveWaitHint(k + 1);
      }
    }
  }
  // `name` watches game g, as a watch request leaves it.
  void Watch(int g, const std::string& name) {
    core.Games[g].WatchCount += 1;
    core.Games[g].WatchNames += name + "\n";
    core.SetWaitHint(name, g);
    for (int j = 1; j <= core.PlayerCount; ++j) {
      if (core.Players[j].PlayerName == name) core.Players[j].AttachedGame = g;
    }
  }
};

const std::string kTime = "  (9:05:07)";
}  // namespace

// ---------------------------------------------------------------------------------------------
// Connections and their limits

TEST_F(FrontDoor, ConnectionsAtOrAboveTheJoinLimitAreRefusedButKeptOpen) {
  core.JoinLimit = 2;
  const ConnectionId early = Open();  // prompted while there was room
  EXPECT_EQ(transport.Sent(self_test), Messages{});
  Join("a");
  Join("b");
  const ConnectionId at_limit = transport.Connect();
  EXPECT_EQ(transport.Sent(at_limit), Messages{"<<SysIdLimit>>"});
  EXPECT_TRUE(transport.Open(at_limit));
  EXPECT_FALSE(transport.ClosedByServer(at_limit));

  // The early connection still logs in, and the count passes the limit: still refused above it.
  transport.Receive(early, "<<QuellName=c>><<IdFlag=1>>");
  EXPECT_EQ(core.PlayerCount, 3);
  const ConnectionId above = transport.Connect();
  EXPECT_EQ(transport.Sent(above), Messages{"<<SysIdLimit>>"});

  // A refused connection that sends a login anyway is not turned away by the connect test alone.
  transport.Receive(above, "<<QuellName=d>><<IdFlag=1>>");
  EXPECT_EQ(core.PlayerCount, 4);
}

// Connections that never log in were kept for the server's life, as many as came. Now at most 32
// wait at once (the oldest goes first) and none waits 120 s; a login, a refusal's later login and
// the server's own test connection are never closed.
TEST_F(FrontDoor, ConnectionsWithoutALoginAreBoundedInNumberAndTime) {
  const ConnectionId alice = Join("alice");
  std::vector<ConnectionId> idle;
  for (std::size_t i = 0; i < ServerCore::kMaxWaitingConnections; ++i) idle.push_back(Open());
  for (ConnectionId c : idle) EXPECT_FALSE(transport.ClosedByServer(c));
  const ConnectionId newest = Open();
  EXPECT_TRUE(transport.ClosedByServer(idle[0]));
  EXPECT_EQ(core.WaitingConnections(), ServerCore::kMaxWaitingConnections);
  transport.Drop(idle[0]);

  // A refused name waits on; logging in under another name takes the connection off the list.
  transport.Receive(idle[1], "<<QuellName=alice>><<IdFlag=1>>");
  EXPECT_EQ(transport.Take(idle[1]), Messages{"<<SysSameName>>"});
  transport.Receive(idle[1], "<<QuellName=bob>><<IdFlag=1>>");
  EXPECT_EQ(core.WaitingConnections(), ServerCore::kMaxWaitingConnections - 1);

  clock.SetEpochSeconds(clock.EpochSeconds() + ServerCore::kLoginSeconds - 1);
  core.CloseIdleConnections();
  EXPECT_FALSE(transport.ClosedByServer(newest));
  clock.SetEpochSeconds(clock.EpochSeconds() + 1);
  const ConnectionId late = Open();
  core.CloseIdleConnections();
  for (std::size_t i = 2; i < idle.size(); ++i) EXPECT_TRUE(transport.ClosedByServer(idle[i]));
  EXPECT_TRUE(transport.ClosedByServer(newest));
  for (ConnectionId c : {self_test, alice, idle[1], late})
    EXPECT_FALSE(transport.ClosedByServer(c));
  EXPECT_EQ(core.WaitingConnections(), 1u);
}

TEST_F(FrontDoor, TheFiftyFirstLoginIsRefusedAndNoSlotPassesFifty) {
  std::vector<ConnectionId> waiting;
  for (int i = 0; i < 51; ++i) waiting.push_back(Open());  // all prompted: the count is 0
  for (int i = 0; i < 51; ++i) {
    transport.Receive(waiting[i], "<<QuellName=p" + std::to_string(i) + ">><<IdFlag=1>>");
  }
  EXPECT_EQ(core.PlayerCount, 50);
  EXPECT_EQ(transport.Take(waiting[50]), Messages{"<<SysIdLimit>>"});
  EXPECT_EQ(core.Memo3.Count(), 50);
  EXPECT_EQ(core.Memo1.Count(), 51);  // start-up line and 50 arrivals
  EXPECT_EQ(SlotOf(waiting[50]), 0);

  // Once someone has left, the same connection gets in.
  transport.Drop(waiting[0]);
  transport.Receive(waiting[50], "<<QuellName=p50>><<IdFlag=1>>");
  EXPECT_EQ(SlotOf(waiting[50]), 50);
  EXPECT_EQ(core.Players[50].PlayerName, "p50");
}

// ---------------------------------------------------------------------------------------------
// Login

TEST_F(FrontDoor, LoginAcceptedCarriesAllFourListsAndTheBoardOnlyWhenItHoldsText) {
  std::vector<std::string> captions;
  core.OnPlayerCountChanged = [&] { captions.push_back(core.CaptionText()); };

  const ConnectionId alice = Join("alice");
  EXPECT_EQ(transport.Take(alice),
            Messages{"<<SysComeIn>><<Status>><<IdCount=1>><<PlayList=>><<WaitList=" +
                     Lines({"alice"}) + ">><<WaitHint=[0]>><<LookList=>>"});
  EXPECT_EQ(core.Memo1.Line(1), "[ alice ] ==> " + J("到着 { 対局/観戦 }") + kTime);
  EXPECT_EQ(captions, Messages{J(" ザンテ - Kordraum   [ 参加者数 = ") + "1 ]"});

  core.BoardText = "[ alice ]" + J("：") + "hello\r\n";
  const ConnectionId bob = Join("bob", false);
  EXPECT_EQ(transport.Take(bob),
            Messages{"<<SysComeIn>><<Status>><<IdCount=2>><<PlayList=>><<WaitList=" +
                     Lines({"alice"}) + ">><<WaitHint=[0]>><<LookList=" + Lines({"bob"}) +
                     ">><<MainStr=[ alice ]" + J("：") + "hello\r\n>>"});
  EXPECT_EQ(core.Memo1.Line(2), "[ bob ] ==> " + J("到着 { 観戦のみ }") + kTime);
  // The others get the counts and lists without the game list.
  EXPECT_EQ(transport.Take(alice),
            Messages{"<<Status>><<IdCount=2>><<WaitList=" + Lines({"alice"}) +
                     ">><<WaitHint=[0]>><<LookList=" + Lines({"bob"}) + ">>"});
  EXPECT_EQ(core.Players[2].PlayerMode, 0);
  EXPECT_EQ(core.Players[1].PlayerMode, 1);
}

TEST_F(FrontDoor, EmptyTakenAndCaseDifferentNames) {
  const ConnectionId first = Join("");
  EXPECT_EQ(core.Players[1].PlayerName, "55555");
  const ConnectionId second = Open();
  transport.Receive(second, "<<QuellName=>><<IdFlag=1>>");
  EXPECT_EQ(transport.Take(second), Messages{"<<SysSameName>>"});

  // A taken name changes nothing: no slot, no list, no log line, nobody told.
  const ConnectionId taken = Open();
  Forget();
  transport.Receive(taken, "<<QuellName=55555>><<IdFlag=0>>");
  EXPECT_EQ(transport.Take(taken), Messages{"<<SysSameName>>"});
  EXPECT_EQ(transport.Take(first), Messages{});
  EXPECT_EQ(core.PlayerCount, 1);
  EXPECT_TRUE(core.Memo4.Empty());
  EXPECT_EQ(core.Memo1.Count(), 2);

  // The refused connection may try again; names differing in case are different participants.
  transport.Receive(taken, "<<QuellName=Bob>><<IdFlag=1>>");
  transport.Receive(second, "<<QuellName=bob>><<IdFlag=1>>");
  EXPECT_EQ(SlotOf(taken), 2);
  EXPECT_EQ(SlotOf(second), 3);
  EXPECT_EQ(core.Memo3.Text(), Lines({"55555", "Bob", "bob"}));
  EXPECT_EQ(core.WaitHintList, "[0][0][0]");
}

TEST_F(FrontDoor, NamesThatCouldReadAsTagsOrListMarksAreRefusedCharacterByCharacter) {
  struct Case {
    std::string name;
    bool allowed;
  } cases[] = {
      {"a<b", false},
      {"a>b", false},
      {"[x", false},
      {"x]", false},
      {"tab\tname", false},
      {std::string("nul\x01", 4), false},
      {"line\rbreak", false},
      {J("ゾ"), true},            // 83 5D: the trail byte is no bracket
      {J("ソ") + J("ャ"), true},  // 83 5C, 83 83
      {J("碁") + "]", false},     // a real bracket after a double-byte character
      {"\x83", true},             // a lone lead byte is one byte of its own, not a mark
      {"\x83[", true},            // 83 5B is one double-byte character
      {"Jim Bob", true},
  };
  for (const auto& c : cases) EXPECT_EQ(LoginNameAllowed(c.name), c.allowed) << c.name;

  const ConnectionId c = Open();
  transport.Receive(c, "<<QuellName=a<b>><<IdFlag=1>>");
  EXPECT_EQ(transport.Take(c), Messages{"<<SysSameName>>"});
  transport.Receive(c, "<<QuellName=" + J("ゾ") + ">><<IdFlag=1>>");
  EXPECT_EQ(core.Players[SlotOf(c)].PlayerName, J("ゾ"));
}

// ---------------------------------------------------------------------------------------------
// The dispatcher

TEST_F(FrontDoor, OnlyAConnectionWithoutASlotLogsIn) {
  const ConnectionId stranger = Open();
  transport.Receive(stranger, "<<MainMese=hi>>");
  EXPECT_EQ(transport.Take(stranger), Messages{"<<SysNotFound>>"});
  EXPECT_TRUE(core.BoardText.empty());

  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  Forget();
  // From a participant the login key is text: a board line holding it is a board line, with the
  // sender's own name or another, and no second slot appears. Its "<<" goes on closed, so that no
  // client reads it as a tag either, and the post goes on alone.
  for (const char* typed : {"<<QuellName=alice>>", "<<QuellName=eve>><<IdFlag=1>>"}) {
    const std::string post = "<<MainMese=[ alice ]" + std::string(typed) + ">>";
    transport.Receive(alice, post);
    EXPECT_EQ(transport.Take(alice), Messages{});
    const std::string closed = CloseStrayOpenings(post);
    EXPECT_EQ(transport.Take(bob),
              Messages{"<<MainMese=" + GetTagValue(closed, "<<MainMese=") + ">>"});
    EXPECT_EQ(closed.find("<<QuellName="), std::string::npos);
  }
  EXPECT_EQ(core.PlayerCount, 2);
  EXPECT_EQ(core.Memo3.Text(), Lines({"alice", "bob"}));
  // A bare login text from a participant matches no test and is dropped.
  transport.Receive(bob, "<<QuellName=carol>><<IdFlag=1>>");
  EXPECT_EQ(transport.Take(bob), Messages{});
  EXPECT_EQ(core.PlayerCount, 2);
}

TEST_F(FrontDoor, TheCallToTheBoardIsRelayedAndTheRestOfTheTextIsStillHandled) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob", false);
  const ConnectionId carol = Join("carol");
  Forget();
  const std::string line = "<<MainMese=[ bob ]" + J("：") + "hi>>";
  transport.Receive(bob, "<<SeeMeseNow>>" + line);
  // The call and the post, each as its own message.
  EXPECT_EQ(transport.Take(alice), (Messages{"<<SeeMeseNow>>", line}));
  EXPECT_EQ(transport.Take(carol), (Messages{"<<SeeMeseNow>>", line}));
  EXPECT_EQ(transport.Take(bob), Messages{});
  EXPECT_EQ(core.BoardText, "[ bob ]" + J("：") + "hi\r\n");

  transport.Receive(bob, "<<SeeMeseNow>><<ChangeMode>>");
  EXPECT_EQ(core.Players[SlotOf(bob)].PlayerMode, 1);
  EXPECT_EQ(transport.Take(alice).size(), 2u);
  EXPECT_EQ(transport.Take(bob).size(), 1u);  // the lists only
}

// Each tag combined with a board line in one message (a peer may send any mixture): a test earlier
// in the fixed order ends the message before the board (step 22) is reached; a guarded test that
// is not allowed lets it through. The framer would cut these texts into two messages, so the
// dispatcher is given each text whole.
TEST_F(FrontDoor, TagsAreTestedInTheirFixedOrder) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  core.Games[2].GameState = 1;  // a game in use for the room to follow
  struct Case {
    std::string tags;
    int attached;  // the sender's AttachedGame
    bool reaches_board;
  } cases[] = {
      {"<<DiscussChangeGame>><<Index=2>>", 0, true},   // goes on after the room's handler
      {"<<DiscussChangeGame>><<Index=3>>", 0, false},  // a free slot ends the message
      {"<<DiscussChangeGame>><<Index=6>>", 0, false},
      {"<<DiscussChangeGame>><<Index=x>>", 0, false},
      {"<<DiscussChangeGame>>", 0, false},
      {"<<DiscussCallGame>>", 0, false},
      {"<<DiscussOffGame>>", 0, false},
      {"<<DiscussMese=hi>>", 0, false},
      {"<<DiscussEnter>>", 0, false},
      {"<<DiscussReg>>", 0, false},
      {"<<DiscussCanEnd>>", 0, false},
      {"<<DiscussChange>><<Changer=bob>>", 0, false},
      {"<<DiscussInput>><<Type=3>>", 0, false},
      {"<<DiscussClose>>", 0, false},
      {"<<RealTimeChange>>", 0, false},
      {"<<RealTimeCountStart>>", 0, false},
      {"<<RealTimeCount>><<Type=1>>", 0, false},
      {"<<RealTimeCountEnd>>", 0, false},
      {"NORe<<GameSet>>", 0, false},
      {"<<GameSet>><<Player2=zed>>", 0, false},
      {"<<GameMese=hi>>", 0, false},
      {"<<Move=88>><<Color=black>>", 0, false},
      {"<<WatchGame=1>>", 0, false},
      {"<<OffWatchGame>><<GameIndex=1>>", 0, true},  // guarded: only with a game attached
      {"<<OffWatchGame>><<GameIndex=1>>", 1, false},
      {"<<GameResign>><<Suu=3>>", 0, true},
      {"<<GameResign>><<Suu=3>>", 1, false},
      {"<<EndGameResign>>", 2, false},
      {"<<NewGameResign>>", 3, false},
      {"<<GameTimeOut>>", 4, false},
      {"<<TimeStop=1>>", 0, true},  // the clock stop comes after the board
      {"<<Unknown>>", 0, true},
  };
  for (const auto& c : cases) {
    core.BoardText.clear();
    core.Players[SlotOf(alice)].AttachedGame = c.attached;
    Forget();
    core.ServerSocket1ClientRead(alice, c.tags + "<<MainMese=line>>");
    EXPECT_EQ(core.BoardText == "line\r\n", c.reaches_board) << c.tags;
    EXPECT_EQ(transport.Take(bob).size(), c.reaches_board ? 1u : 0u) << c.tags;
  }
  // The mode switch comes before the clock stop.
  core.ServerSocket1ClientRead(bob, "<<TimeStop=1>><<ChangeMode>>");
  EXPECT_EQ(core.Players[SlotOf(bob)].PlayerMode, 0);
}

TEST_F(FrontDoor, ChallengesAndRepliesAreRefusedWhileEveryAllowedGameSlotIsInUse) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  core.GameLimit = 1;
  const std::string challenge =
      "<<GameSet>><<IsKuro=" + J("黒番") + ">><<Player1=alice>><<Player2=bob>><<BanSize=19>>";
  transport.Receive(alice, challenge);  // still relayed, once the hold for its tail passed
  clock.AdvanceMilliseconds(MessageFramer::kHoldMilliseconds);
  core.HandOverHeldMessages();
  core.GameCount = 1;
  Forget();
  for (const std::string& text :
       {challenge, "OKRe" + challenge, "NORe" + challenge, "NoTimeRe" + challenge}) {
    transport.Receive(bob, text);
    clock.AdvanceMilliseconds(MessageFramer::kHoldMilliseconds);
    core.HandOverHeldMessages();
    EXPECT_EQ(transport.Take(bob), Messages{"<<GameIsFull>>"}) << text;
    EXPECT_EQ(transport.Take(alice), Messages{}) << text;
  }
  // The challenge was answered all the same: a slot freed later does not bring it back.
  EXPECT_TRUE(core.PendingChallenges.empty());
}

// ---------------------------------------------------------------------------------------------
// Message board

TEST_F(FrontDoor, BoardPostsJoinTheBoardAndReachEveryoneButTheSender) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob", false);
  const ConnectionId carol = Join("carol");
  Forget();
  const int log_lines = core.Memo1.Count();
  const std::string first = "<<MainMese=[ alice ]" + J("：") + J("よろしく") + ">>";
  transport.Receive(alice, first);
  // A line holding ">>" (never from our client) is cut, in the board and in the post relayed.
  transport.Receive(carol, "<<MainMese=[ carol ]a>>b>>");
  const std::string second = "<<MainMese=[ carol ]a>>";
  EXPECT_EQ(core.BoardText, "[ alice ]" + J("：") + J("よろしく") + "\r\n[ carol ]a\r\n");
  EXPECT_EQ(transport.Take(alice), Messages{second});
  EXPECT_EQ(transport.Take(bob), (Messages{first, second}));
  EXPECT_EQ(transport.Take(carol), Messages{first});
  EXPECT_EQ(core.Memo1.Count(), log_lines);

  const ConnectionId dave = Join("dave", false);
  const Messages accepted = transport.Take(dave);
  ASSERT_EQ(accepted.size(), 1u);
  const std::string tail = "<<MainStr=" + core.BoardText + ">>";
  EXPECT_EQ(accepted[0].substr(accepted[0].size() - tail.size()), tail);
}

// ---------------------------------------------------------------------------------------------
// Mode switch

TEST_F(FrontDoor, ModeSwitchMovesTheNameBetweenTheListsWithItsHint) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId carol = Join("carol");
  const ConnectionId dave = Join("dave", false);
  core.WaitHintList = "[0][3][0]";  // bob watches game 3
  core.Players[SlotOf(bob)].AttachedGame = 3;
  Forget();

  transport.Receive(bob, "<<ChangeMode>>");
  EXPECT_EQ(core.Memo3.Text(), Lines({"alice", "carol"}));
  EXPECT_EQ(core.WaitHintList, "[0][0]");
  EXPECT_EQ(core.Memo4.Text(), Lines({"dave", "bob"}));
  const std::string lists = "<<Status>><<WaitList=" + Lines({"alice", "carol"}) +
                            ">><<WaitHint=[0][0]>><<LookList=" + Lines({"dave", "bob"}) + ">>";
  for (ConnectionId c : {alice, bob, carol, dave}) EXPECT_EQ(transport.Take(c), Messages{lists});

  transport.Receive(bob, "<<ChangeMode>>");
  transport.Receive(dave, "<<ChangeMode>>");
  EXPECT_EQ(core.Memo3.Text(), Lines({"alice", "carol", "bob", "dave"}));
  EXPECT_EQ(core.WaitHintList, "[0][0][3][0]");
  EXPECT_TRUE(core.Memo4.Empty());
  EXPECT_EQ(transport.Take(dave).back(),
            "<<Status>><<WaitList=" + Lines({"alice", "carol", "bob", "dave"}) +
                ">><<WaitHint=[0][0][3][0]>><<LookList=>>");
  EXPECT_EQ(core.Memo1.Count(), 5);  // no log lines
}

TEST_F(FrontDoor, ModeSwitchOfAPlayerInARunningGame) {
  const ConnectionId alice = Join("alice");
  Join("bob");
  Join("carol");
  RunGame(1, "alice", "bob");
  EXPECT_EQ(core.Memo3.Text(), Lines({"carol"}));
  transport.Receive(alice, "<<ChangeMode>>");
  EXPECT_EQ(core.Memo3.Text(), Lines({"carol"}));
  EXPECT_EQ(core.WaitHintList, "[0]");
  EXPECT_EQ(core.Memo4.Text(), Lines({"alice"}));
  // Back again: into the waiting list although the game still runs.
  transport.Receive(alice, "<<ChangeMode>>");
  EXPECT_EQ(core.Memo3.Text(), Lines({"carol", "alice"}));
  EXPECT_EQ(core.WaitHintList, "[0][1]");
}

// ---------------------------------------------------------------------------------------------
// Table operations

TEST_F(FrontDoor, WaitHintEntriesAreFoundByPosition) {
  struct Case {
    const char* hints;
    int n;
    const char* after;
  } cases[] = {
      {"[0][3][0]", 1, "[3][0]"}, {"[0][3][0]", 2, "[0][0]"},
      {"[0][3][0]", 3, "[0][3]"}, {"[0][3][0]", 7, "[0][3]"},  // fewer than n: the last one
      {"[12][3]", 1, "[3]"},      {"", 1, ""},
  };
  for (const auto& c : cases) {
    core.WaitHintList = c.hints;
    core.RemoveWaitHint(c.n);
    EXPECT_EQ(core.WaitHintList, c.after) << c.hints << " " << c.n;
  }

  Join("alice");
  Join("bob");
  Join("carol");
  core.SetWaitHint("bob", 4);
  EXPECT_EQ(core.WaitHintList, "[0][4][0]");
  core.SetWaitHint("carol", 12);
  EXPECT_EQ(core.WaitHintList, "[0][4][12]");
  core.SetWaitHint("Bob", 2);  // not a line of the waiting list
  core.SetWaitHint("zed", 2);
  EXPECT_EQ(core.WaitHintList, "[0][4][12]");
}

TEST_F(FrontDoor, IsPlayingNameLooksOnlyAtRunningGamesByExactName) {
  core.Games[2] = GameSlot{};
  core.Games[2].GameState = 1;
  core.Games[2].BlackName = "alice";
  core.Games[2].WhiteName = "bob";
  core.Games[4].GameState = 2;
  core.Games[4].BlackName = "carol";
  EXPECT_TRUE(core.IsPlayingName("alice"));
  EXPECT_TRUE(core.IsPlayingName("bob"));
  EXPECT_FALSE(core.IsPlayingName("Bob"));
  EXPECT_FALSE(core.IsPlayingName("bo"));
  EXPECT_FALSE(core.IsPlayingName("carol"));  // finished
  EXPECT_FALSE(core.IsPlayingName(""));
}

TEST_F(FrontDoor, RemovePlayerShiftsLaterSlotsAndRebuildsTheListsInSlotOrder) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId carol = Join("carol", false);
  const ConnectionId dave = Join("dave");
  const ConnectionId erin = Join("erin");
  transport.Receive(alice, "<<ChangeMode>>");   // alice to the watch-only list ...
  transport.Receive(alice, "<<ChangeMode>>");   // ... and back, now last in the waiting list
  RunGame(1, "dave", "zed");                    // dave plays and is in no list
  core.Players[SlotOf(erin)].AttachedGame = 2;  // erin watches game 2
  core.Players[SlotOf(erin)].RoomState = 1;
  EXPECT_EQ(core.Memo3.Text(), Lines({"bob", "erin", "alice"}));

  int caption_changes = 0;
  core.OnPlayerCountChanged = [&] { ++caption_changes; };
  core.RemovePlayer(2);
  EXPECT_EQ(core.PlayerCount, 4);
  EXPECT_EQ(caption_changes, 1);
  EXPECT_EQ(SlotOf(alice), 1);
  EXPECT_EQ(SlotOf(bob), 0);
  EXPECT_EQ(SlotOf(carol), 2);
  EXPECT_EQ(SlotOf(dave), 3);
  EXPECT_EQ(SlotOf(erin), 4);
  EXPECT_EQ(core.Players[2].PlayerMode, 0);
  EXPECT_EQ(core.Players[3].AttachedGame, 1);
  EXPECT_EQ(core.Players[4].AttachedGame, 2);
  EXPECT_EQ(core.Players[4].RoomState, 1);
  // The vacated slot holds nothing a later login could inherit.
  EXPECT_EQ(core.Players[5].PlayerName, "555");
  EXPECT_EQ(core.Players[5].AttachedGame, 0);
  EXPECT_EQ(core.Players[5].RoomState, 0);
  EXPECT_EQ(core.Players[5].PlayerSocket, 0u);

  EXPECT_EQ(core.Memo3.Text(), Lines({"alice", "erin"}));
  EXPECT_EQ(core.WaitHintList, "[0][2]");
  EXPECT_EQ(core.Memo4.Text(), Lines({"carol"}));

  core.RemovePlayer(0);
  core.RemovePlayer(5);
  EXPECT_EQ(core.PlayerCount, 4);
  core.RemovePlayer(4);  // the last slot: nothing moves
  EXPECT_EQ(core.PlayerCount, 3);
  EXPECT_EQ(SlotOf(erin), 0);
}

TEST_F(FrontDoor, WatcherEntriesAreRemovedWhole) {
  struct Case {
    const char* names;
    const char* name;
    const char* after;
    bool removed;
  } cases[] = {
      {"jimbob\nann\nbob\n", "bob", "jimbob\nann\n", true},
      {"bob\nbob\n", "bob", "bob\n", true},
      {"jimbob\n", "bob", "jimbob\n", false},
      {"bobby\nbob\n", "bob", "bobby\n", true},
      {"ann\nbob", "bob", "ann\nbob", false},  // an unterminated tail is no entry
      {"", "bob", "", false},
  };
  for (const auto& c : cases) {
    std::string names = c.names;
    EXPECT_EQ(RemoveListEntry(names, c.name), c.removed) << c.names;
    EXPECT_EQ(names, c.after) << c.names;
  }
}

// ---------------------------------------------------------------------------------------------
// Lost connections

TEST_F(FrontDoor, AConnectionWithoutASlotIsForgottenSilently) {
  const ConnectionId alice = Join("alice");
  const ConnectionId stranger = Open();
  Forget();
  transport.Drop(stranger);
  transport.Drop(self_test);
  EXPECT_EQ(core.PlayerCount, 1);
  EXPECT_EQ(transport.Take(alice), Messages{});
  EXPECT_EQ(core.Memo1.Count(), 2);
}

TEST_F(FrontDoor, AParticipantWithoutAGameLeavesItsSlotAndTheOthersGetTheLists) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob", false);
  const ConnectionId carol = Join("carol");
  Forget();
  std::vector<std::string> captions;
  core.OnPlayerCountChanged = [&] { captions.push_back(core.CaptionText()); };
  clock.Set("2026/12/09", "10:11:12");
  transport.Drop(alice);
  EXPECT_EQ(core.Memo1.Lines().back(), "[ alice ] ==> " + J("接続切れ") + "  (10:11:12)");
  const std::string lists = "<<Status>><<IdCount=2>><<WaitList=" + Lines({"carol"}) +
                            ">><<WaitHint=[0]>><<LookList=" + Lines({"bob"}) + ">>";
  EXPECT_EQ(transport.Take(bob), Messages{lists});
  EXPECT_EQ(transport.Take(carol), Messages{lists});
  EXPECT_EQ(SlotOf(carol), 2);
  EXPECT_EQ(captions, Messages{J(" ザンテ - Kordraum   [ 参加者数 = ") + "2 ]"});
  // A second disconnect report of the same connection changes nothing.
  core.ServerSocket1ClientDisconnect(alice);
  EXPECT_EQ(core.PlayerCount, 2);
}

TEST_F(FrontDoor, APlayerLostFromARunningGameEndsItAndTheOpponentStaysAsWatcher) {
  const ConnectionId ban = Join("ban");
  const ConnectionId an = Join("an");
  const ConnectionId carol = Join("carol", false);
  const ConnectionId dave = Join("dave");
  const ConnectionId erin = Join("erin");
  RunGame(1, "ban", "an");
  Watch(1, "carol");
  core.RoomGame = 1;
  core.Players[SlotOf(erin)].RoomState = 1;
  Forget();

  transport.Drop(an);  // white leaves; "an" is also part of the black line's text
  const GameSlot& game = core.Games[1];
  EXPECT_EQ(game.GameState, 2);
  EXPECT_EQ(game.WatchCount, 2);
  EXPECT_EQ(game.WatchNames, "carol\nban\n");
  EXPECT_EQ(core.GameCount, 1);
  EXPECT_EQ(core.Memo2.Text(), Lines({"[ 1 ]", J("● ") + "ban End", J("○ ") + "an End Out"}));
  EXPECT_EQ(core.Memo3.Text(), Lines({"ban", "dave", "erin"}));  // ban is back, hint [1]
  EXPECT_EQ(core.WaitHintList, "[1][0][0]");

  const std::string after_lists = ">><<PlayList=" + core.Memo2.Text() +
                                  ">><<WaitList=" + Lines({"ban", "dave", "erin"}) +
                                  ">><<WaitHint=[1][0][0]>><<LookList=" + Lines({"carol"});
  const std::string to_game = "<<OutGameResign>><<Name=an>><<IdCount=4" + after_lists +
                              ">><<WatchCount=2>><<WatchList=carol\nban\n>>" + game.GameRecord +
                              "<<KuroTime=120>><<SiroTime=95>>";
  const std::string to_others = "<<Status>><<IdCount=4" + after_lists + ">>";
  EXPECT_EQ(transport.Take(ban), Messages{to_game});
  EXPECT_EQ(transport.Take(carol), Messages{to_game});
  EXPECT_EQ(transport.Take(dave), Messages{to_others});
  EXPECT_EQ(transport.Take(erin), Messages{to_others + "<<DiscussGameEnd>>"});
  EXPECT_EQ(core.Memo1.Lines().back(), "[ an ] ==> " + J("接続切れ  ( 対局1 - 対局終了 )") + kTime);
  EXPECT_EQ(game.GameRecord, "(;SZ[19]PB[ban]PW[an];[dd];[pp]");  // no result mark

  // The opponent and the watcher leave too: the slot is freed with the last of them.
  transport.Drop(ban);
  EXPECT_EQ(core.GameCount, 1);
  transport.Drop(carol);
  EXPECT_EQ(core.GameCount, 0);
  EXPECT_EQ(game.GameState, 0);
  EXPECT_TRUE(core.Memo2.Empty());
}

TEST_F(FrontDoor, TheOutMarkGoesOnTheBlackLineWhenBlackLeaves) {
  Join("an");
  const ConnectionId ban = Join("ban");
  RunGame(3, "ban", "an");
  transport.Drop(ban);
  EXPECT_EQ(core.Memo2.Text(), Lines({"[ 3 ]", J("● ") + "ban End Out", J("○ ") + "an End"}));
  EXPECT_EQ(core.Games[3].WatchNames, "an\n");
}

TEST_F(FrontDoor, AWatcherLostFromAGameInUse) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId jimbob = Join("jimbob", false);
  const ConnectionId bo = Join("bo", false);
  const ConnectionId dave = Join("dave");
  RunGame(2, "alice", "bob");
  Watch(2, "jimbob");
  Watch(2, "bo");
  Forget();

  transport.Drop(bo);
  EXPECT_EQ(core.Games[2].WatchCount, 1);
  EXPECT_EQ(core.Games[2].WatchNames, "jimbob\n");
  const std::string to_game =
      "<<OutWatchCount=1>><<WatchList=jimbob\n>><<IdCount=4>><<WaitList=" + Lines({"dave"}) +
      ">><<WaitHint=[0]>><<LookList=" + Lines({"jimbob"}) + ">>";
  for (ConnectionId c : {alice, bob, jimbob}) EXPECT_EQ(transport.Take(c), Messages{to_game});
  EXPECT_EQ(transport.Take(dave),
            Messages{"<<Status>><<IdCount=4>><<PlayList=" + core.Memo2.Text() + ">><<WaitList=" +
                     Lines({"dave"}) + ">><<WaitHint=[0]>><<LookList=" + Lines({"jimbob"}) + ">>"});
  EXPECT_EQ(core.Memo1.Lines().back(), "[ bo ] ==> " + J("接続切れ  ( 対局2 - 観戦終了 )") + kTime);

  // The last watcher of a running game: the game goes on, but the log says the count ended.
  const int lines = core.Memo1.Count();
  transport.Drop(jimbob);
  EXPECT_EQ(core.Games[2].GameState, 1);
  EXPECT_EQ(core.Games[2].WatchCount, 0);
  EXPECT_EQ(core.Games[2].WatchNames, "");
  ASSERT_EQ(core.Memo1.Count(), lines + 2);
  EXPECT_EQ(core.Memo1.Line(lines),
            "[ jimbob ] ==> " + J("接続切れ  ( 対局2 - 観戦終了 )") + kTime);
  EXPECT_EQ(core.Memo1.Line(lines + 1), J("対局[2] ==> 終了") + kTime);
  EXPECT_EQ(transport.Take(alice).back().rfind("<<OutWatchCount=0>><<WatchList=>>", 0), 0u);
}

TEST_F(FrontDoor, TheLastWatcherOfAFinishedGameFreesItsSlot) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId carol = Join("carol");
  RunGame(1, "carol", "dave");  // dave has left already: carol's game was ended by then
  RunGame(2, "alice", "bob");
  core.Games[1].GameState = 2;
  Watch(1, "carol");
  Forget();

  transport.Drop(carol);
  EXPECT_EQ(core.Games[1].GameState, 0);
  EXPECT_EQ(core.GameCount, 1);
  EXPECT_EQ(core.Memo2.Text(), Lines({"[ 2 ]", J("● ") + "alice", J("○ ") + "bob"}));
  const std::string lists = "<<Status>><<IdCount=2>><<PlayList=" + core.Memo2.Text() +
                            ">><<WaitList=>><<WaitHint=>><<LookList=>>";
  EXPECT_EQ(transport.Take(alice), Messages{lists});
  EXPECT_EQ(transport.Take(bob), Messages{lists});
  EXPECT_EQ(core.Memo1.Line(core.Memo1.Count() - 2),
            "[ carol ] ==> " + J("接続切れ  ( 対局1 - 観戦終了 )") + kTime);
  EXPECT_EQ(core.Memo1.Lines().back(), J("対局[1] ==> 終了") + kTime);
}

TEST_F(FrontDoor, ARoomMemberLeavesTheRoomAndStillEndsItsGame) {
  const ConnectionId alice = Join("alice");
  const ConnectionId bob = Join("bob");
  const ConnectionId carol = Join("carol");
  // A plain member takes the common path.
  core.Players[SlotOf(carol)].RoomState = 1;
  core.Players[SlotOf(carol)].AttachedGame = 0;
  Forget();
  transport.Drop(carol);
  EXPECT_EQ(core.Memo1.Lines().back(), "[ carol ] ==> " + J("接続切れ") + kTime);
  EXPECT_EQ(transport.Take(alice).back(),
            "<<Status>><<IdCount=2>><<WaitList=" + Lines({"alice", "bob"}) +
                ">><<WaitHint=[0][0]>><<LookList=>>");

  // The holder of the input right who also plays a running game: the game ends.
  RunGame(1, "alice", "bob");
  core.Players[SlotOf(alice)].RoomState = 2;
  Forget();
  transport.Drop(alice);
  EXPECT_EQ(core.Games[1].GameState, 2);
  EXPECT_EQ(core.Games[1].WatchNames, "bob\n");
  EXPECT_EQ(transport.Take(bob).back().rfind("<<OutGameResign>><<Name=alice>>", 0), 0u);

  // The opponent, now a watcher of the finished game, is a member too: the slot is still freed.
  core.Players[SlotOf(bob)].RoomState = 1;
  transport.Drop(bob);
  EXPECT_EQ(core.Games[1].GameState, 0);
  EXPECT_EQ(core.GameCount, 0);
  EXPECT_EQ(core.PlayerCount, 0);
}
