// End-to-end games over real sockets: two scripted players challenge, accept with a handicap, move,
// take a move back and pass twice, then end games by resignation, time-out, ending a stopped game,
// closing the board and a lost connection, while a third participant follows the lobby lists.
#include <gtest/gtest.h>

#include <initializer_list>

#include "platform/cp932.h"
#include "platform/files.h"
#include "tests/e2e/server_process.h"

namespace {
std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

std::string Challenge(const std::string& from, const std::string& to, const std::string& colour,
                      const std::string& handicap) {
  return "<<GameSet>><<IsKuro=" + colour + ">><<KuroGameTime=15" + J(" 分") +
         ">><<SiroGameTime=" + J("任意") + ">><<AddTime=" + J("なし") + ">><<GameWari=" + handicap +
         ">><<GameKomi=0.5>><<Player1=" + from + ">><<Player2=" + to + ">><<BanSize=19>>";
}

std::string Move(int point, const char* colour, int clock) {
  return "<<GameIndex=1>><<Move=" + std::to_string(point) + ">><<Color=" + colour +
         ">><<Time=" + std::to_string(clock) + ">>";
}

std::string Pass(const char* colour, int n) {
  return "<<GameIndex=1>><<Move=0>><<Color=" + std::string(colour) +
         ">><<Suu=" + std::to_string(n) + ">>";
}

struct GameE2e : testing::Test {
  void SetUp() override {
    ASSERT_TRUE(server.Start()) << server.ErrorOutput();
    ASSERT_TRUE(alice.ConnectAndLogin(server.port(), "alice", true));
    ASSERT_TRUE(alice.Expect("<<SysComeIn>>")) << alice.Pending();
    ASSERT_TRUE(bob.ConnectAndLogin(server.port(), "bob", true));
    ASSERT_TRUE(bob.Expect("<<SysComeIn>>")) << bob.Pending();
    ASSERT_TRUE(carol.ConnectAndLogin(server.port(), "carol", false));
    // Everyone has heard of all three logins once these lists have arrived.
    const std::string three = "<<Status>><<IdCount=3>><<WaitList=" + Lines({"alice", "bob"}) +
                              ">><<WaitHint=[0][0]>><<LookList=" + Lines({"carol"}) + ">>";
    ASSERT_TRUE(alice.Expect(three)) << alice.Pending();
    ASSERT_TRUE(bob.Expect(three)) << bob.Pending();
    ASSERT_TRUE(carol.Expect("<<LookList=" + Lines({"carol"}) + ">>")) << carol.Pending();
  }

  // alice challenges bob to an even game with black; bob accepts. Game 1 starts.
  void StartEvenGame() {
    const std::string challenge = Challenge("alice", "bob", J("黒番"), J("互先"));
    alice.Send(challenge);
    ASSERT_TRUE(bob.Expect(challenge)) << bob.Pending();
    bob.Send("OKRe" + challenge);
    ASSERT_TRUE(alice.Expect("<<GameStart-Play>><<Color=black>><<OpName=bob>>")) << alice.Pending();
    // The start of an even game ends with the hint list.
    ASSERT_TRUE(alice.Expect("<<GameIndex=1>><<PlayList=")) << alice.Pending();
    ASSERT_TRUE(alice.Expect("<<WaitHint=") && alice.Expect(">>")) << alice.Pending();
    ASSERT_TRUE(bob.Expect("<<GameStart-Wait>><<Color=white>><<OpName=alice>>")) << bob.Pending();
    ASSERT_TRUE(bob.Expect("<<GameIndex=1>><<PlayList=")) << bob.Pending();
    ASSERT_TRUE(bob.Expect("<<WaitHint=") && bob.Expect(">>")) << bob.Pending();
  }

  std::string EvenHeader() const {
    return "(;SZ[19]PB[alice]PW[bob]BT[900]WT[0]AM[" + J("なし") + "]KM[0.5]HA[0]";
  }

  ServerProcess server;
  ProtocolClient alice, bob, carol;
};

// Everything in `log` that follows "[ name ] ==> event  (" up to the line end is a time.
bool HasEventLine(const std::string& log, const std::string& name, const std::string& event) {
  const std::string head = "[ " + name + " ] ==> " + event + "  (";
  const std::size_t at = log.find(head);
  if (at == std::string::npos) return false;
  const std::size_t end = log.find("\r\n", at);
  return end != std::string::npos && log[end - 1] == ')';
}
}  // namespace

TEST_F(GameE2e, AHandicapGameWithAnUndoEndsByTwoPassesWithItsRecord) {
  // alice, white, gives bob two stones and moves first.
  const std::string challenge = Challenge("alice", "bob", J("白番"), J("２子"));
  alice.Send(challenge);
  ASSERT_TRUE(bob.ExpectNext(challenge)) << bob.Pending();
  bob.Send("OKRe" + challenge);

  const std::string play_list = Lines({"[ 1 ]", J("● ") + "bob", J("○ ") + "alice"});
  const std::string tail = ">><<GameWari=" + J("２子") + ">><<BanSize=19>><<GameKomi=0.5>>" +
                           "<<KuroGameTime=15" + J(" 分") + ">><<SiroGameTime=" + J("任意") +
                           ">><<AddTime=" + J("なし") + ">><<GameIndex=1>><<PlayList=" + play_list +
                           ">><<WaitList=>><<WaitHint=>>" +
                           "<<KifuStartStr=(;AB[dp][pd]/<SiroSaki>/>>";
  ASSERT_TRUE(alice.ExpectNext("<<GameStart-Play>><<Color=white>><<OpName=bob" + tail))
      << alice.Pending();
  ASSERT_TRUE(bob.ExpectNext("<<GameStart-Wait>><<Color=black>><<OpName=alice" + tail))
      << bob.Pending();
  ASSERT_TRUE(
      carol.ExpectNext("<<Status>><<PlayList=" + play_list + ">><<WaitList=>><<WaitHint=>>"))
      << carol.Pending();

  alice.Send(Move(352, "white", 890));
  ASSERT_TRUE(bob.ExpectNext("<<Move=352>><<Time=890>>")) << bob.Pending();
  bob.Send(Move(88, "black", 880));
  ASSERT_TRUE(alice.ExpectNext("<<Move=88>><<Time=880>>")) << alice.Pending();
  alice.Send(Move(232, "white", 870));
  ASSERT_TRUE(bob.ExpectNext("<<Move=232>><<Time=870>>")) << bob.Pending();

  // alice asks to take her move back, bob agrees: both get the agreement.
  const std::string undo = "<<GameIndex=1>><<Move=>><<MoveBack>>";
  alice.Send(undo);
  ASSERT_TRUE(bob.ExpectNext("<<ReceiveMoveBack>>")) << bob.Pending();
  bob.Send(undo);
  ASSERT_TRUE(alice.ExpectNext(undo)) << alice.Pending();
  ASSERT_TRUE(bob.ExpectNext(undo)) << bob.Pending();

  alice.Send(Pass("white", 3));
  ASSERT_TRUE(bob.ExpectNext("<<Move=0>><<Time=>>")) << bob.Pending();
  bob.Send(Pass("black", 4));
  const std::string ended = Lines({"[ 1 ]", J("● ") + "bob End", J("○ ") + "alice End"});
  const std::string notice =
      "<<PassEndGame>><<Name=bob>><<Suu=4>><<PlayList=" + ended +
      ">><<WaitList=" + Lines({"bob", "alice"}) +
      ">><<WaitHint=[1][1]>><<WatchCount=2>><<WatchList=bob\nalice\n>>" +
      "(;SZ[19]PB[bob]PW[alice]BT[900]WT[0]AM[" + J("なし") +
      "]KM[0.5]HA[2]AB[dp][pd]/<SiroSaki>/;[pp];[dd]<<KuroTime=>><<SiroTime=>>";
  ASSERT_TRUE(alice.ExpectNext(notice)) << alice.Pending();
  ASSERT_TRUE(bob.ExpectNext(notice)) << bob.Pending();
  ASSERT_TRUE(carol.ExpectNext("<<Status>><<PlayList=" + ended +
                               ">><<WaitList=" + Lines({"bob", "alice"}) + ">><<WaitHint=[1][1]>>"))
      << carol.Pending();

  EXPECT_EQ(server.Terminate(), 0) << server.ErrorOutput();
  std::string log;
  ASSERT_TRUE(ReadWholeFile(JoinPath(server.folder(), "Log/DraumLog.dat"), log));
  EXPECT_TRUE(HasEventLine(log, "alice", "[ bob ] ==> " + J("対局申し込み"))) << log;
  EXPECT_TRUE(HasEventLine(log, "bob", "[ alice ] ==> " + J("対局OK ==> 対局[1] 開始"))) << log;
  EXPECT_TRUE(HasEventLine(log, "bob", J("対局[1] ==> 両パス終局"))) << log;
}

TEST_F(GameE2e, GamesEndByResignationTimeOutStoppingClosingAndALostConnection) {
  // Resignation by white after one move each.
  StartEvenGame();
  alice.Send(Move(88, "black", 890));
  ASSERT_TRUE(bob.ExpectNext("<<Move=88>><<Time=890>>")) << bob.Pending();
  bob.Send(Move(352, "white", 880));
  ASSERT_TRUE(alice.ExpectNext("<<Move=352>><<Time=880>>")) << alice.Pending();
  const std::string resign = "<<GameResign>><<Suu=2>><<GameIndex=1>>";
  bob.Send(resign);
  const std::string ended = Lines({"[ 1 ]", J("● ") + "alice End", J("○ ") + "bob End"});
  const std::string notice = resign + "<<Name=bob>><<PlayList=" + ended +
                             ">><<WaitList=" + Lines({"bob", "alice"}) +
                             ">><<WaitHint=[1][1]>><<WatchCount=2>><<WatchList=alice\nbob\n>>" +
                             EvenHeader() + ";[dd];[pp]/RE[B+R]/<<KuroTime=890>><<SiroTime=880>>";
  ASSERT_TRUE(alice.ExpectNext(notice)) << alice.Pending();
  ASSERT_TRUE(bob.ExpectNext(notice)) << bob.Pending();

  // A time-out of black; the finished game's slot is taken again by the next game.
  StartEvenGame();
  alice.Send(Move(88, "black", 3));
  ASSERT_TRUE(bob.ExpectNext("<<Move=88>><<Time=3>>")) << bob.Pending();
  const std::string time_out = "<<GameTimeOut>><<Suu=1>><<GameIndex=1>>";
  alice.Send(time_out);
  ASSERT_TRUE(bob.ExpectNext(time_out + "<<Name=alice>><<PlayList=")) << bob.Pending();
  ASSERT_TRUE(bob.Expect("<<WatchCount=2>><<WatchList=alice\nbob\n>>" + EvenHeader() +
                         ";[dd]/RE[W+R]/<<KuroTime=3>><<SiroTime=0>>"))
      << bob.Pending();
  ASSERT_TRUE(alice.Expect(";[dd]/RE[W+R]/<<KuroTime=3>><<SiroTime=0>>")) << alice.Pending();

  // The game is stopped, the stop reaches the opponent with its sender, and the stopped game is
  // ended.
  StartEvenGame();
  alice.Send("<<TimeStop=1>><<GameIndex=1>>");
  ASSERT_TRUE(bob.ExpectNext("<<TimeStop=1>><<GameIndex=1>><<Sender=alice>>")) << bob.Pending();
  const std::string stop_end = "<<NewGameResign>><<Suu=0>><<GameIndex=1>>";
  alice.Send(stop_end);
  ASSERT_TRUE(bob.ExpectNext(stop_end + "<<Name=alice>>")) << bob.Pending();
  ASSERT_TRUE(bob.Expect(EvenHeader() + "/RE[W+R]/<<KuroTime=0>><<SiroTime=0>>")) << bob.Pending();
  ASSERT_TRUE(alice.Expect(EvenHeader() + "/RE[W+R]/")) << alice.Pending();

  // bob closes the board: alice gets the notice, bob only the lists with his line marked.
  StartEvenGame();
  const std::string close = "<<EndGameResign>><<Suu=0>><<GameIndex=1>>";
  bob.Send(close);
  const std::string closed = Lines({"[ 1 ]", J("● ") + "alice End", J("○ ") + "bob End OUT"});
  ASSERT_TRUE(alice.ExpectNext(close + "<<Name=bob>><<PlayList=" + closed + ">><<WaitList=" +
                               Lines({"bob", "alice"}) + ">><<WaitHint=[0][1]>><<WatchCount=1>>"))
      << alice.Pending();
  ASSERT_TRUE(bob.ExpectNext("<<Status>><<PlayList=" + closed +
                             ">><<WaitList=" + Lines({"bob", "alice"}) + ">><<WaitHint=[0][1]>>"))
      << bob.Pending();

  // bob's connection is lost in a running game: alice stays on it as a watcher.
  StartEvenGame();
  alice.Send(Move(88, "black", 890));
  ASSERT_TRUE(bob.ExpectNext("<<Move=88>><<Time=890>>")) << bob.Pending();
  bob.Abort();
  ASSERT_TRUE(alice.ExpectNext("<<OutGameResign>><<Name=bob>><<IdCount=2>><<PlayList=" +
                               Lines({"[ 1 ]", J("● ") + "alice End", J("○ ") + "bob End Out"}) +
                               ">><<WaitList=" + Lines({"alice"}) + ">><<WaitHint=[1]>>"))
      << alice.Pending();
  ASSERT_TRUE(alice.Expect("<<WatchCount=1>><<WatchList=alice\n>>" + EvenHeader() +
                           ";[dd]<<KuroTime=890>><<SiroTime=0>>"))
      << alice.Pending();

  EXPECT_EQ(server.Terminate(), 0) << server.ErrorOutput();
  std::string log;
  ASSERT_TRUE(ReadWholeFile(JoinPath(server.folder(), "Log/DraumLog.dat"), log));
  EXPECT_TRUE(HasEventLine(log, "bob", J("対局[1] ==> 投了"))) << log;
  EXPECT_TRUE(HasEventLine(log, "alice", J("対局[1] ==> 時間切れ"))) << log;
  EXPECT_TRUE(HasEventLine(log, "alice", J("対局[1] ==> 終了"))) << log;
  EXPECT_TRUE(HasEventLine(log, "bob", J("対局[1] ==> [×]終了"))) << log;
  EXPECT_TRUE(HasEventLine(log, "bob", J("接続切れ  ( 対局1 - 対局終了 )"))) << log;
}

// Today's faults: a challenge split by TCP right before its start position reached the opponent
// without it, and a room input split right after its type reached the members without the
// record. The start position is a second write; the record comes well after the hold time, as
// the input's type tells that it follows.
TEST_F(GameE2e, MessagesSplitWhereTheyCouldHaveEndedArriveWhole) {
  const std::string challenge = Challenge("alice", "bob", J("黒番"), J("互先"));
  const std::string start = "<<KifuStart=/<SiroTurn>/AB[cc];[dd]>>";
  alice.Send(challenge);
  alice.Send(start);
  ASSERT_TRUE(bob.Expect(challenge + start)) << bob.Pending();

  alice.Send("<<DiscussEnter>>");
  ASSERT_TRUE(alice.Expect("<<DraumEND>>")) << alice.Pending();
  bob.Send("<<DiscussEnter>>");
  ASSERT_TRUE(bob.Expect("<<DraumEND>>")) << bob.Pending();
  alice.Send("<<DiscussReg>>");
  ASSERT_TRUE(bob.Expect("<<Discusser=alice>>")) << bob.Pending();
  const std::string record = "<<DiscussKifu=(;GM[1]FF[1]SZ[9];B[ee];W[cc])>>";
  alice.Send("<<DiscussInput>><<Type=11>>");
  EXPECT_FALSE(bob.Expect("<<DiscussInput>>", 400)) << bob.Pending();
  alice.Send(record);
  ASSERT_TRUE(bob.Expect("<<DiscussInput>><<Type=11>>" + record)) << bob.Pending();
  EXPECT_EQ(server.Terminate(), 0);
}
