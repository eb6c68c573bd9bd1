// End-to-end watching and analysis room over real sockets: a watcher joins a running game and
// gets its snapshot, chat and a numbered diagram reach players and watchers, the watcher leaves;
// three members use the analysis room (register, input, hand over, give up, chat, follow a running
// game), a late member gets the room's snapshot, members leave and the holder's connection is lost.
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

std::string Move(int point, const char* colour, int clock) {
  return "<<GameIndex=1>><<Move=" + std::to_string(point) + ">><<Color=" + colour +
         ">><<Time=" + std::to_string(clock) + ">>";
}

const std::string kDiagram = "(;SZ[19]AB[dd][pd]AW[dp]LB[pp:A])";

// alice and bob play; carol may only watch; dave and erin wait and use the room.
struct WatchRoomE2e : testing::Test {
  void SetUp() override {
    ASSERT_TRUE(server.Start()) << server.ErrorOutput();
    struct Login {
      ProtocolClient* client;
      const char* name;
      bool plays;
    } logins[] = {{&alice, "alice", true},
                  {&bob, "bob", true},
                  {&carol, "carol", false},
                  {&dave, "dave", true},
                  {&erin, "erin", true}};
    for (const auto& l : logins) {
      ASSERT_TRUE(l.client->ConnectAndLogin(server.port(), l.name, l.plays));
      ASSERT_TRUE(l.client->Expect("<<SysComeIn>>")) << l.client->Pending();
    }
    // Everyone has heard of all five logins once the last count has arrived.
    for (ProtocolClient* c : {&alice, &bob, &carol, &dave}) {
      ASSERT_TRUE(c->Expect("<<IdCount=5>>")) << c->Pending();
    }
  }

  // alice challenges bob to an even game with black; bob accepts. Game 1 starts.
  void StartGame() {
    const std::string challenge =
        "<<GameSet>><<IsKuro=" + J("黒番") + ">><<KuroGameTime=15" + J(" 分") +
        ">><<SiroGameTime=" + J("任意") + ">><<AddTime=" + J("なし") + ">><<GameWari=" + J("互先") +
        ">><<GameKomi=6.5>><<Player1=alice>><<Player2=bob>><<BanSize=19>>";
    alice.Send(challenge);
    ASSERT_TRUE(bob.Expect(challenge)) << bob.Pending();
    bob.Send("OKRe" + challenge);
    ASSERT_TRUE(alice.Expect("<<GameStart-Play>><<Color=black>><<OpName=bob>>")) << alice.Pending();
    ASSERT_TRUE(bob.Expect("<<GameStart-Wait>><<Color=white>><<OpName=alice>>")) << bob.Pending();
    for (ProtocolClient* c : {&alice, &bob}) {
      ASSERT_TRUE(c->Expect("<<WaitHint=") && c->Expect(">>")) << c->Pending();
    }
    for (ProtocolClient* c : {&carol, &dave, &erin}) {
      ASSERT_TRUE(
          c->Expect("<<Status>><<PlayList=" + Lines({"[ 1 ]", J("● ") + "alice", J("○ ") + "bob"})))
          << c->Pending();
    }
  }

  static std::string Header() {
    return "(;SZ[19]PB[alice]PW[bob]BT[900]WT[0]AM[" + J("なし") + "]KM[6.5]HA[0]";
  }

  // The event log written when the server ends.
  std::string Log() {
    EXPECT_EQ(server.Terminate(), 0) << server.ErrorOutput();
    std::string log;
    EXPECT_TRUE(ReadWholeFile(JoinPath(server.folder(), "Log/DraumLog.dat"), log));
    return log;
  }

  ServerProcess server;
  ProtocolClient alice, bob, carol, dave, erin;
};

bool Logged(const std::string& log, const std::string& name, const std::string& event) {
  return log.find("[ " + name + " ] ==> " + event) != std::string::npos;
}
}  // namespace

TEST_F(WatchRoomE2e, AWatcherJoinsARunningGameChatsWithADiagramAndLeaves) {
  StartGame();
  alice.Send(Move(88, "black", 890));
  ASSERT_TRUE(bob.Expect("<<Move=88>><<Time=890>>")) << bob.Pending();
  bob.Send(Move(352, "white", 880));
  ASSERT_TRUE(alice.Expect("<<Move=352>><<Time=880>>")) << alice.Pending();

  carol.Send("<<WatchGame=1>>");
  ASSERT_TRUE(carol.Expect("<<WatchGame=1>><<AllMese=>><<AllGameData=" + Header() +
                           ";[dd];[pp]>><<KuroTime=890>><<SiroTime=880>><<WatchCount=1>>"
                           "<<WatchList=carol\n>><<WaitHint=[0][0]>><<GameIndex=1>><<DiaStr=>>"
                           "<<DraumEND>>"))
      << carol.Pending();
  for (ProtocolClient* c : {&alice, &bob}) {
    ASSERT_TRUE(c->Expect("<<OnlyWatchCount=1>><<WaitHint=[0][0]>><<WatchList=carol\n>>"))
        << c->Pending();
  }
  ASSERT_TRUE(dave.Expect("<<WaitHint=[0][0]>>")) << dave.Pending();

  // A chat line reaches the opponent and the watcher; a diagram comes back to its sender too,
  // with the server's number.
  const std::string hello = "[ alice ] " + J("よろしく");
  alice.Send("<<GameIndex=1>><<GameMese=" + hello + ">>");
  for (ProtocolClient* c : {&bob, &carol}) {
    ASSERT_TRUE(c->Expect("<<GameMese=" + hello + ">>")) << c->Pending();
  }
  const std::string look = "[ carol ] " + J("ここは？");
  carol.Send("<<GameIndex=1>><<GameMese=" + look + ">><<DiaData=" + kDiagram + ">>");
  for (ProtocolClient* c : {&alice, &bob, &carol}) {
    ASSERT_TRUE(c->Expect("<<GameMese=" + look + ">><<DiaIndex=1>><<DiaData=" + kDiagram + ">>"))
        << c->Pending();
  }

  // A second watcher gets the chat, both watchers and the diagram.
  dave.Send("<<WatchGame=1>>");
  ASSERT_TRUE(dave.Expect("<<WatchGame=1>><<AllMese=" + hello + "\r\n" + look + J("{ 碁盤 1 }") +
                          "\r\n\r\n>><<AllGameData=" + Header() +
                          ";[dd];[pp]>><<KuroTime=890>><<SiroTime=880>><<WatchCount=2>>"
                          "<<WatchList=carol\ndave\n>><<WaitHint=[1][0]>><<GameIndex=1>>"
                          "<<DiaStr={1}<<DiaData=" +
                          kDiagram + ">>>><<DraumEND>>"))
      << dave.Pending();
  for (ProtocolClient* c : {&alice, &bob, &carol}) {
    ASSERT_TRUE(c->Expect("<<OnlyWatchCount=2>><<WaitHint=[1][0]>><<WatchList=carol\ndave\n>>"))
        << c->Pending();
  }

  // A move reaches both watchers with the clocks.
  alice.Send(Move(340, "black", 850));
  for (ProtocolClient* c : {&carol, &dave}) {
    ASSERT_TRUE(c->Expect("<<Move=340>><<KuroTime=850>><<SiroTime=880>>")) << c->Pending();
  }

  carol.Send("<<OffWatchGame>><<GameIndex=1>>");
  for (ProtocolClient* c : {&alice, &bob, &dave}) {
    ASSERT_TRUE(c->Expect("<<OnlyWatchCount=1>><<WaitHint=[1][0]>><<WatchList=dave\n>>"))
        << c->Pending();
  }
  ASSERT_TRUE(carol.Expect("<<WaitHint=[1][0]>>")) << carol.Pending();
  ASSERT_TRUE(erin.Expect("<<WaitHint=[1][0]>>")) << erin.Pending();

  const std::string log = Log();
  EXPECT_TRUE(Logged(log, "carol", J("対局[1] ==> 観戦開始"))) << log;
  EXPECT_TRUE(Logged(log, "dave", J("対局[1] ==> 観戦開始"))) << log;
  EXPECT_TRUE(Logged(log, "carol", J("対局[1] ==> 観戦終了"))) << log;
}

TEST_F(WatchRoomE2e, ThreeMembersUseTheAnalysisRoomWhileItFollowsARunningGame) {
  carol.Send("<<DiscussEnter>>");
  ASSERT_TRUE(
      carol.Expect("<<DiscussEnter>><<Discusser=>><<DiscussCount=1>><<DiscussList=\r\n"
                   "carol\r\n>><<DiscussMese=>><<DiscussRegList=\r\n>><<DiscussDia=>>"
                   "<<DraumEND>>"))
      << carol.Pending();
  dave.Send("<<DiscussEnter>>");
  ASSERT_TRUE(dave.Expect("<<DraumEND>>")) << dave.Pending();
  ASSERT_TRUE(
      carol.Expect("<<DiscussInfo>><<DiscussCount=2>><<DiscussList=\r\ncarol\r\ndave\r\n>>"))
      << carol.Pending();
  erin.Send("<<DiscussEnter>>");
  ASSERT_TRUE(
      erin.Expect("<<DiscussCount=3>><<DiscussList=" + Lines({"", "carol", "dave", "erin"}) + ">>"))
      << erin.Pending();
  for (ProtocolClient* c : {&carol, &dave}) {
    ASSERT_TRUE(c->Expect("<<DiscussInfo>><<DiscussCount=3>>")) << c->Pending();
  }

  // carol registers first and holds the input right; dave queues behind her.
  carol.Send("<<DiscussReg>>");
  ASSERT_TRUE(carol.Expect("<<DiscussCanPlay>><<DiscussRegList=\r\ncarol\r\n>>"))
      << carol.Pending();
  for (ProtocolClient* c : {&dave, &erin}) {
    ASSERT_TRUE(c->Expect("<<OnlyRegList>><<DiscussRegList=\r\ncarol\r\n>><<Discusser=carol>>"))
        << c->Pending();
  }
  dave.Send("<<DiscussReg>>");
  for (ProtocolClient* c : {&carol, &dave, &erin}) {
    ASSERT_TRUE(c->Expect("<<OnlyRegList>><<DiscussRegList=\r\ncarol\r\ndave\r\n>>"))
        << c->Pending();
  }

  // Her inputs reach the others without the record, which the server keeps.
  carol.Send("<<DiscussInput>><<Value=88>><<Type=1>><<DiscussKifu=(;SZ[19];[dd])>>");
  for (ProtocolClient* c : {&dave, &erin}) {
    ASSERT_TRUE(c->ExpectNext("<<DiscussInput>><<Value=88>><<Type=1>>")) << c->Pending();
  }
  carol.Send("<<DiscussInput>><<Type=8>><<MoveSuu=0>>");
  for (ProtocolClient* c : {&dave, &erin}) {
    ASSERT_TRUE(c->ExpectNext("<<DiscussInput>><<Type=8>><<MoveSuu=0>>")) << c->Pending();
  }

  // She hands the right to erin, who was not queued; erin gives it up and dave gets it.
  carol.Send("<<DiscussChange>><<Changer=erin>>");
  ASSERT_TRUE(erin.Expect("<<DiscussCanPlay>><<DiscussRegList=\r\nerin\r\ndave\r\n>><<CanEnd>>"))
      << erin.Pending();
  for (ProtocolClient* c : {&carol, &dave}) {
    ASSERT_TRUE(c->Expect(
        "<<OnlyRegList>><<DiscussRegList=\r\nerin\r\ndave\r\n>><<Discusser=erin>><<CanEnd>>"))
        << c->Pending();
  }
  erin.Send("<<DiscussCanEnd>>");
  ASSERT_TRUE(dave.Expect("<<DiscussCanPlay>><<DiscussRegList=\r\ndave\r\n>>")) << dave.Pending();
  for (ProtocolClient* c : {&carol, &erin}) {
    ASSERT_TRUE(
        c->Expect("<<OnlyRegList>><<DiscussRegList=\r\ndave\r\n>><<Discusser=dave>><<CanEnd>>"))
        << c->Pending();
  }

  // Room chat, and a diagram numbered by the server.
  const std::string line = "[ erin ] " + J("なるほど");
  erin.Send("<<DiscussMese=" + line + ">>");
  for (ProtocolClient* c : {&carol, &dave}) {
    ASSERT_TRUE(c->Expect("<<DiscussMese=" + line + ">>")) << c->Pending();
  }
  const std::string figure = "[ dave ] " + J("参考図");
  dave.Send("<<DiscussMese=" + figure + ">><<DiaData=" + kDiagram + ">>");
  for (ProtocolClient* c : {&carol, &dave, &erin}) {
    ASSERT_TRUE(
        c->Expect("<<DiscussMese=" + figure + ">><<DiaIndex=1>><<DiaData=" + kDiagram + ">>"))
        << c->Pending();
  }

  // The room follows a running game: its moves reach every member.
  StartGame();
  dave.Send("<<DiscussCallGame>>");
  const std::string list =
      "<<DiscussCallGame>><<GameList=" + J("対局1,") + ">><<GameData=" + Header() + ">>";
  for (ProtocolClient* c : {&carol, &dave, &erin}) ASSERT_TRUE(c->Expect(list)) << c->Pending();
  alice.Send(Move(88, "black", 890));
  ASSERT_TRUE(bob.Expect("<<Move=88>><<Time=890>>")) << bob.Pending();
  for (ProtocolClient* c : {&carol, &dave, &erin}) {
    ASSERT_TRUE(c->Expect("<<DisCussGameMove=88>>")) << c->Pending();
  }

  // A late member gets the whole room: holder, members, chat, queue, record, shown move, the
  // followed game with its record so far, and the diagrams.
  ProtocolClient fay;
  ASSERT_TRUE(fay.ConnectAndLogin(server.port(), "fay", true));
  ASSERT_TRUE(fay.Expect("<<SysComeIn>>")) << fay.Pending();
  fay.Send("<<DiscussEnter>>");
  ASSERT_TRUE(fay.Expect("<<DiscussEnter>><<Discusser=dave>><<DiscussCount=4>><<DiscussList=" +
                         Lines({"", "carol", "dave", "erin", "fay"}) + ">><<DiscussMese=" + line +
                         "\r\n" + figure + "\r\n" + J("{ 碁盤 1 }") +
                         "\r\n\r\n>><<DiscussRegList=\r\ndave\r\n>><<DiscussKifu=(;SZ[19];[dd])>>"
                         "<<MoveSuu=0>><<GameList=" +
                         J("対局1,") + ">><<GameData=" + Header() +
                         ";[dd]>><<DiscussDia={1}<<DiaData=" + kDiagram + ">>>><<DraumEND>>"))
      << fay.Pending();

  // The followed game's end reaches the room.
  bob.Send("<<GameResign>><<Suu=2>><<GameIndex=1>>");
  for (ProtocolClient* c : {&carol, &dave, &erin, &fay}) {
    ASSERT_TRUE(c->Expect("<<DiscussGameEnd>><<Result=B>>")) << c->Pending();
  }

  // erin leaves; then the holder's connection is lost with nobody queued behind him.
  erin.Send("<<DiscussClose>>");
  for (ProtocolClient* c : {&carol, &dave, &fay}) {
    ASSERT_TRUE(c->Expect(
        "<<DiscussInfo>><<DiscussCount=3>><<DiscussList=" + Lines({"", "carol", "dave", "fay"}) +
        ">><<DiscussRegList=\r\ndave\r\n>>"))
        << c->Pending();
  }
  dave.Abort();
  for (ProtocolClient* c : {&carol, &fay}) {
    ASSERT_TRUE(c->Expect("<<OnlyRegList>><<DiscussRegList=\r\n>><<DiscussCount=2>><<DiscussList=" +
                          Lines({"", "carol", "fay"}) +
                          ">><<DiscussRegList=\r\n>><<Discusser=>><<CanEnd>>"))
        << c->Pending();
  }

  const std::string log = Log();
  EXPECT_TRUE(Logged(log, "carol", J("検討室入室"))) << log;
  EXPECT_TRUE(Logged(log, "carol", J("検討室入力登録"))) << log;
  EXPECT_TRUE(Logged(log, "carol", "[ erin ] ==> " + J("検討室操作権チェンジ"))) << log;
  EXPECT_TRUE(Logged(log, "erin", J("検討室入力終了"))) << log;
  EXPECT_TRUE(Logged(log, "dave", J("検討室入力開始"))) << log;
  EXPECT_TRUE(Logged(log, "erin", J("検討室退室"))) << log;
  EXPECT_TRUE(Logged(log, "dave", J("操作権返還・検討室退室 { 接続切れ } ("))) << log;
}
