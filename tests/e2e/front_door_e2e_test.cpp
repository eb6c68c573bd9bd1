// End-to-end tests of the server's front door over real sockets: logins and refusals, the lobby
// lists that reach the others, the message board, the mode switch, a lost connection and the
// logs written by the close path.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/cp932.h"
#include "platform/files.h"
#include "tests/e2e/server_process.h"

namespace {
std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

std::string Lists(int count, const std::string& waiting, const std::string& hints,
                  const std::string& watching) {
  return "<<Status>><<IdCount=" + std::to_string(count) + ">><<WaitList=" + waiting +
         ">><<WaitHint=" + hints + ">><<LookList=" + watching + ">>";
}

// What a newcomer gets: the lists with the (empty) game list, and the board when it holds text.
std::string Welcome(int count, const std::string& waiting, const std::string& hints,
                    const std::string& watching, const std::string& board = "") {
  std::string text = "<<SysComeIn>><<Status>><<IdCount=" + std::to_string(count) +
                     ">><<PlayList=>><<WaitList=" + waiting + ">><<WaitHint=" + hints +
                     ">><<LookList=" + watching + ">>";
  if (!board.empty()) text += "<<MainStr=" + board + ">>";
  return text;
}

// Everything in `log` that follows "[ name ] ==> event  (" up to the line end is a time.
bool HasEventLine(const std::string& log, const std::string& name, const std::string& event) {
  const std::string head = "[ " + name + " ] ==> " + event + "  (";
  const std::size_t at = log.find(head);
  if (at == std::string::npos) return false;
  const std::size_t end = log.find("\r\n", at);
  return end != std::string::npos && log[end - 1] == ')';
}

struct FrontDoorE2e : testing::Test {
  void SetUp() override { ASSERT_TRUE(server.Start()) << server.ErrorOutput(); }
  ServerProcess server;
};
}  // namespace

TEST_F(FrontDoorE2e, ThreeLogInOnePostsOneLeavesAndTheOthersSeeTheLists) {
  ProtocolClient alice, bob, carol;
  ASSERT_TRUE(alice.ConnectAndLogin(server.port(), "alice", true));
  ASSERT_TRUE(alice.ExpectNext(Welcome(1, Lines({"alice"}), "[0]", ""))) << alice.Pending();

  ASSERT_TRUE(bob.ConnectAndLogin(server.port(), "bob", false));
  ASSERT_TRUE(bob.ExpectNext(Welcome(2, Lines({"alice"}), "[0]", Lines({"bob"})))) << bob.Pending();
  ASSERT_TRUE(alice.ExpectNext(Lists(2, Lines({"alice"}), "[0]", Lines({"bob"}))))
      << alice.Pending();

  ASSERT_TRUE(carol.ConnectAndLogin(server.port(), "carol", true));
  ASSERT_TRUE(carol.ExpectNext(Welcome(3, Lines({"alice", "carol"}), "[0][0]", Lines({"bob"}))))
      << carol.Pending();
  const std::string three = Lists(3, Lines({"alice", "carol"}), "[0][0]", Lines({"bob"}));
  ASSERT_TRUE(alice.ExpectNext(three)) << alice.Pending();
  ASSERT_TRUE(bob.ExpectNext(three)) << bob.Pending();

  // bob posts to the board; the others get the post as it was sent.
  const std::string post = "<<MainMese=[ bob ]" + J("：") + J("よろしくお願いします") + ">>";
  bob.Send(post);
  ASSERT_TRUE(alice.ExpectNext(post)) << alice.Pending();
  ASSERT_TRUE(carol.ExpectNext(post)) << carol.Pending();

  // alice switches to watching only; bob's next bytes are these lists, not his own post.
  alice.Send("<<ChangeMode>>");
  const std::string switched = "<<Status>><<WaitList=" + Lines({"carol"}) +
                               ">><<WaitHint=[0]>><<LookList=" + Lines({"bob", "alice"}) + ">>";
  for (ProtocolClient* c : {&alice, &bob, &carol}) ASSERT_TRUE(c->ExpectNext(switched));

  // carol's connection is lost; the two others get the lists without her, rebuilt in the order
  // of login.
  carol.Disconnect();
  const std::string two = Lists(2, "", "", Lines({"alice", "bob"}));
  ASSERT_TRUE(alice.ExpectNext(two)) << alice.Pending();
  ASSERT_TRUE(bob.ExpectNext(two)) << bob.Pending();

  // A newcomer gets the board with the lists.
  ProtocolClient dave;
  ASSERT_TRUE(dave.ConnectAndLogin(server.port(), "dave", true));
  ASSERT_TRUE(dave.ExpectNext(Welcome(3, Lines({"dave"}), "[0]", Lines({"alice", "bob"}),
                                      "[ bob ]" + J("：") + J("よろしくお願いします") + "\r\n")))
      << dave.Pending();

  // The close path writes the event log and the board.
  EXPECT_EQ(server.Terminate(), 0) << server.ErrorOutput();
  std::string log, chat;
  ASSERT_TRUE(ReadWholeFile(JoinPath(server.folder(), "Log/DraumLog.dat"), log));
  EXPECT_TRUE(HasEventLine(log, "alice", J("到着 { 対局/観戦 }"))) << log;
  EXPECT_TRUE(HasEventLine(log, "bob", J("到着 { 観戦のみ }"))) << log;
  EXPECT_TRUE(HasEventLine(log, "carol", J("接続切れ"))) << log;
  EXPECT_TRUE(HasEventLine(log, "dave", J("到着 { 対局/観戦 }"))) << log;
  ASSERT_TRUE(ReadWholeFile(JoinPath(server.folder(), "Log/DraumChat.dat"), chat));
  EXPECT_NE(chat.find("===//\r\n[ bob ]" + J("：") + J("よろしくお願いします") + "\r\n//==="),
            std::string::npos)
      << chat;
}

TEST_F(FrontDoorE2e, RefusedLoginsStrangersAndTheLoginKeyInsideAParticipantsText) {
  ProtocolClient alice, other;
  ASSERT_TRUE(alice.ConnectAndLogin(server.port(), "alice", true));
  ASSERT_TRUE(alice.ExpectNext(Welcome(1, Lines({"alice"}), "[0]", ""))) << alice.Pending();

  ASSERT_TRUE(other.Connect(server.port()));
  ASSERT_TRUE(other.ExpectNext("<<QuellName="));
  other.Send("<<MainMese=hello>>");  // not logged in
  ASSERT_TRUE(other.ExpectNext("<<SysNotFound>>")) << other.Pending();
  other.Send("<<QuellName=alice>><<IdFlag=1>>");
  ASSERT_TRUE(other.ExpectNext("<<SysSameName>>")) << other.Pending();
  other.Send("<<QuellName=a[1]>><<IdFlag=1>>");
  ASSERT_TRUE(other.ExpectNext("<<SysSameName>>")) << other.Pending();
  // The same connection may try again; "Alice" is not "alice".
  other.Send("<<QuellName=Alice>><<IdFlag=0>>");
  ASSERT_TRUE(other.ExpectNext(Welcome(2, Lines({"alice"}), "[0]", Lines({"Alice"}))))
      << other.Pending();
  ASSERT_TRUE(alice.ExpectNext(Lists(2, Lines({"alice"}), "[0]", Lines({"Alice"}))))
      << alice.Pending();

  // From a participant, a text holding the login key is no login: this one is a board post, and
  // it reaches the others with that "<<" closed, so no client reads a tag in it either.
  const std::string post = "<<MainMese=[ Alice ]<<QuellName=eve>>";
  other.Send(post);
  ASSERT_TRUE(alice.ExpectNext("<<MainMese=[ Alice ]<" + J("＜") + "QuellName=eve>>"))
      << alice.Pending();
  other.Send("<<ChangeMode>>");
  const std::string switched =
      "<<Status>><<WaitList=" + Lines({"alice", "Alice"}) + ">><<WaitHint=[0][0]>><<LookList=>>";
  ASSERT_TRUE(alice.ExpectNext(switched)) << alice.Pending();
  ASSERT_TRUE(other.ExpectNext(switched)) << other.Pending();
  // alice leaves: one participant is left, so no second slot was taken by the post.
  alice.Disconnect();
  ASSERT_TRUE(other.ExpectNext(Lists(1, Lines({"Alice"}), "[0]", ""))) << other.Pending();
  EXPECT_EQ(server.Terminate(), 0);
}

TEST_F(FrontDoorE2e, ConnectionsLostTogetherWhileOthersPostLeaveConsistentLists) {
  std::vector<std::unique_ptr<ProtocolClient>> clients;
  for (int i = 0; i < 6; ++i) {
    clients.push_back(std::make_unique<ProtocolClient>());
    ASSERT_TRUE(clients[i]->ConnectAndLogin(
        server.port(), std::string("p").append(std::to_string(i)), i % 2 == 0));
    ASSERT_TRUE(clients[i]->Expect("<<SysComeIn>>"));
  }
  // Four go at once, one in the middle of a post; the remaining two keep posting.
  clients[1]->Send("<<MainMese=[ p1 ]bye>>");
  for (int i : {0, 1, 2, 3}) clients[i]->Abort();
  clients[4]->Send("<<MainMese=[ p4 ]still here>>");
  // Whatever order the losses were handled in, the last lists hold the two who stayed. The post
  // and the losses come from different connections, so p5 may get these lists before the post or
  // after it.
  const std::string last = Lists(2, Lines({"p4"}), "[0]", Lines({"p5"}));
  ASSERT_TRUE(clients[5]->ExpectAll({"<<MainMese=[ p4 ]still here>>", last}))
      << clients[5]->Pending();
  ASSERT_TRUE(clients[4]->Expect(last)) << clients[4]->Pending();
  ProtocolClient late;
  ASSERT_TRUE(late.ConnectAndLogin(server.port(), "p0", true));  // the name is free again
  ASSERT_TRUE(late.Expect("<<IdCount=3>>")) << late.Pending();
  EXPECT_EQ(server.Terminate(), 0);
}
