// End to end: three client programs, each with its windows offscreen, review a game in the
// analysis room of the real server program: the queue for the input right, stones with a capture,
// the replay bar, a take-back, "<" and "| <", setup stones and marks, a Ctrl-click rewind, a
// hand-over, the idle release and the holder's lost connection; every member's board follows the
// operator's. A member who enters later lands on the same position and move, and the room follows a
// running game of two protocol clients whose moves reach the game-list board. A member who comes
// from a game on 9 lines shares the holder's board through a problem for white with a capture, a
// record of 13 lines and a size change to 9.
// A record file of another Go program shows on every board as on the operator's.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <initializer_list>

#include "client/board/model/board_model.h"
#include "client/board/model/record_text.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "tests/e2e/client_process.h"
#include "tests/e2e/server_process.h"

namespace {

using State = ClientProcess::State;

std::string P(const char* letters, int size = 19) {
  return std::to_string(LettersToPoint(letters[0], letters[1], size));
}

// What two boards must share: the stones, the moves up to the one shown, the record's length,
// the setup, the marks, the size and the grid drawn for it.
constexpr const char* kShared[] = {"board", "top",   "setup", "buffer",
                                   "moves", "marks", "size",  "grid"};

std::string Summary(const State& s) {
  std::string text;
  for (const char* key : {"mode", "input", "top", "setup", "buffer", "panel0", "reglist"}) {
    text += std::string(key) + "=" + Field(s, key) + " ";
  }
  return text;
}

// Pictures of a client's board window and game-list board, when the run asks for them (a real
// display).
void Shoot(ClientProcess& client, const std::string& name, bool list = false) {
  const char* folder = std::getenv("KOR_E2E_SHOTS");
  if (folder == nullptr) return;
  const std::string path = std::string(folder) + "/" + name + ".png";
  EXPECT_EQ(client.Command(std::string("room-shot ") + (list ? "list " : "board ") + path), "ok")
      << name;
}

class RoomE2e : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start()) << server_.ErrorOutput();
    for (auto& [client, name] : {std::pair{&aki_, "Aki"}, {&ben_, "Ben"}, {&chie_, "Chie"}}) {
      ASSERT_TRUE(client->Start(server_.port(), name)) << client->ErrorOutput();
      ASSERT_EQ(Field(client->WaitFor(Shows({{"lobby_visible", "1"}})), "lobby_visible"), "1");
    }
  }

  static void Enter(ClientProcess& client) {
    ASSERT_EQ(client.Command("room"), "ok");
    const State s = client.WaitFor(Shows({{"mode", "5"}}));
    ASSERT_EQ(Field(s, "mode"), "5") << Summary(s) << client.Messages();
  }

  // The operator's command, then every member shows what the operator shows.
  static void Operate(ClientProcess& op, const std::string& command,
                      std::initializer_list<ClientProcess*> members) {
    ASSERT_EQ(op.Command(command), "ok") << command;
    Follow(op, members, command);
  }
  static void Follow(ClientProcess& op, std::initializer_list<ClientProcess*> members,
                     const std::string& step) {
    const State o = op.Now();
    ASSERT_EQ(Field(o, "consistent"), "1") << step;
    for (ClientProcess* m : members) {
      const State s = m->WaitFor([&](const State& state) {
        for (const char* key : kShared) {
          if (Field(state, key) != Field(o, key)) return false;
        }
        return true;
      });
      for (const char* key : kShared) {
        ASSERT_EQ(Field(s, key), Field(o, key)) << step << " " << key << ": " << Summary(s);
      }
      EXPECT_EQ(Field(s, "consistent"), "1") << step;
    }
  }

  static State WaitInput(ClientProcess& client, const char* input) {
    return client.WaitFor(Shows({{"input", input}}));
  }

  ServerProcess server_;
  ClientProcess aki_, ben_, chie_;
};

}  // namespace

TEST_F(RoomE2e, ThreeClientsReviewAGameFollowAHandOverAndARunningGame) {
  for (ClientProcess* c : {&aki_, &ben_, &chie_}) ASSERT_NO_FATAL_FAILURE(Enter(*c));
  EXPECT_EQ(Field(chie_.WaitFor(Shows({{"panel2", "入室者数 = 3"}})), "panel2"), "入室者数 = 3");

  // The queue: Aki first gets the right, Ben waits after him.
  ASSERT_EQ(aki_.Command("room-register"), "ok");
  ASSERT_EQ(Field(WaitInput(aki_, "1"), "input"), "1");
  ASSERT_EQ(ben_.Command("room-register"), "ok");
  EXPECT_EQ(Field(aki_.WaitFor(Shows({{"reglist", "Aki|Ben|"}})), "reglist"), "Aki|Ben|");
  EXPECT_EQ(Field(chie_.WaitFor(Shows({{"panel0", "[ Aki ] ==> 入 力 操 作"}})), "panel0"),
            "[ Aki ] ==> 入 力 操 作");
  EXPECT_EQ(Field(ben_.Now(), "input"), "0");

  // Stones in turn; black's sixth stone takes the white one on dd.
  for (const char* at : {"dc", "dd", "cd", "pp", "ed", "pd", "de"}) {
    ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-click " + P(at), {&ben_, &chie_})) << at;
  }
  EXPECT_EQ(Field(ben_.Now(), "white_captured"), "1");
  Shoot(aki_, "1-aki-operates");
  Shoot(ben_, "1-ben-follows");
  // The replay bar: ten back (to the start), one forward, to the end.
  for (const char* x : {"30", "90", "150"}) {
    ASSERT_NO_FATAL_FAILURE(Operate(aki_, std::string("replay ") + x, {&ben_, &chie_})) << x;
  }
  // A click on the stone of move 5 takes moves 5 to 7 back; "<" then ends the record at move 3.
  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-click " + P("ed"), {&ben_, &chie_}));
  EXPECT_EQ(Field(ben_.Now(), "top"), "4");
  EXPECT_EQ(Field(ben_.Now(), "buffer"), "7");
  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-back", {&ben_, &chie_}));
  EXPECT_EQ(Field(chie_.Now(), "buffer"), "3");
  // "| <": back to the start, an empty board.
  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-tosetup", {&ben_, &chie_}));

  // Setup stones with a triangle, a white one, a mark alone; then moves with white first.
  ASSERT_EQ(aki_.Command("room-setup"), "ok");
  ASSERT_EQ(aki_.Command("room-mark 5"), "ok");
  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-click " + P("cc"), {&ben_, &chie_}));
  ASSERT_EQ(aki_.Command("room-mark 0"), "ok");
  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-right " + P("qc"), {&ben_, &chie_}));
  ASSERT_EQ(aki_.Command("room-mark 7"), "ok");
  ASSERT_EQ(aki_.Command("room-space 1"), "ok");
  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-click " + P("jj"), {&ben_, &chie_}));
  ASSERT_EQ(aki_.Command("room-space 0"), "ok");
  EXPECT_EQ(Field(ben_.Now(), "marks"), P("cc") + ":1005," + P("jj") + ":7");
  ASSERT_EQ(aki_.Command("room-moves"), "ok");
  ASSERT_EQ(aki_.Command("room-whitefirst"), "ok");
  for (const char* at : {"qq", "dp", "qp"}) {
    ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-click " + P(at), {&ben_, &chie_})) << at;
  }
  EXPECT_EQ(Field(chie_.Now(), "black_first"), "0");
  Shoot(chie_, "2-chie-setup-and-marks");

  // Aki hands the right to Ben (Ctrl-click on Ben's line); Ben operates, Aki follows.
  ASSERT_EQ(aki_.Command("room-handover 1"), "ok");
  ASSERT_EQ(Field(WaitInput(ben_, "1"), "input"), "1");
  EXPECT_EQ(Field(aki_.Now(), "input"), "0");
  EXPECT_EQ(Field(chie_.WaitFor(Shows({{"panel0", "[ Ben ] ==> 入 力 操 作"}})), "panel0"),
            "[ Ben ] ==> 入 力 操 作");
  ASSERT_NO_FATAL_FAILURE(Operate(ben_, "room-ctrl " + P("dp"), {&aki_, &chie_}));
  EXPECT_EQ(Field(aki_.Now(), "setup"), "4");
  ASSERT_NO_FATAL_FAILURE(Operate(ben_, "room-click " + P("dq"), {&aki_, &chie_}));
  Shoot(ben_, "3-ben-after-hand-over");
  Shoot(aki_, "3-aki-follows-ben");

  // A minute idle and one second more: Ben's right goes to Aki, the next registered.
  ASSERT_EQ(ben_.Command("room-idle 61"), "ok");
  EXPECT_EQ(Field(ben_.Now(), "input"), "0");
  ASSERT_EQ(Field(WaitInput(aki_, "1"), "input"), "1");
  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-click " + P("cq"), {&ben_, &chie_}));

  // Chie registers; Aki's program ends: the right goes to Chie.
  ASSERT_EQ(chie_.Command("room-register"), "ok");
  EXPECT_EQ(Field(aki_.WaitFor(Shows({{"reglist", "Aki|Chie|"}})), "reglist"), "Aki|Chie|");
  EXPECT_EQ(aki_.Quit(), 0) << aki_.ErrorOutput();
  ASSERT_EQ(Field(WaitInput(chie_, "1"), "input"), "1") << Summary(chie_.Now());
  EXPECT_EQ(Field(ben_.WaitFor(Shows({{"panel2", "入室者数 = 2"}})), "panel2"), "入室者数 = 2");
  ASSERT_NO_FATAL_FAILURE(Operate(chie_, "room-click " + P("kk"), {&ben_}));
  ASSERT_NO_FATAL_FAILURE(Operate(chie_, "room-click " + P("kl"), {&ben_}));
  ASSERT_NO_FATAL_FAILURE(Operate(chie_, "room-click " + P("kl"), {&ben_}));  // takes it back

  // A member who enters now lands on the same position and move.
  ClientProcess dan;
  ASSERT_TRUE(dan.Start(server_.port(), "Dan")) << dan.ErrorOutput();
  ASSERT_EQ(Field(dan.WaitFor(Shows({{"lobby_visible", "1"}})), "lobby_visible"), "1");
  ASSERT_NO_FATAL_FAILURE(Enter(dan));
  const State late = dan.Now();
  const State ben = ben_.Now();
  for (const char* key : {"board", "top", "setup", "size", "black_first"}) {
    EXPECT_EQ(Field(late, key), Field(ben, key)) << key;
  }

  // Two players start a game; the operator follows it and its moves reach every member.
  ProtocolClient alice, bob;
  ASSERT_TRUE(alice.ConnectAndLogin(server_.port(), "alice", true));
  ASSERT_TRUE(bob.ConnectAndLogin(server_.port(), "bob", true));
  ASSERT_TRUE(bob.Expect("<<SysComeIn>>")) << bob.Pending();
  const std::string challenge = "<<GameSet>><<IsKuro=" + J("黒番") + ">><<KuroGameTime=15" +
                                J(" 分") + ">><<SiroGameTime=" + J("任意") +
                                ">><<AddTime=" + J("なし") + ">><<GameWari=" + J("互先") +
                                ">><<GameKomi=6.5>><<Player1=alice>><<Player2=bob>><<BanSize=19>>";
  alice.Send(challenge);
  ASSERT_TRUE(bob.Expect(challenge)) << bob.Pending();
  bob.Send("OKRe" + challenge);
  ASSERT_TRUE(alice.Expect("<<GameStart-Play>>")) << alice.Pending();
  alice.Send("<<GameIndex=1>><<Move=" + P("dd") + ">><<Color=black>><<Time=890>>");
  ASSERT_TRUE(bob.Expect("<<Move=" + P("dd") + ">>")) << bob.Pending();

  ASSERT_EQ(chie_.Command("room-follow"), "ok");
  for (ClientProcess* m : {&chie_, &ben_, &dan}) {
    const State s = m->WaitFor(Shows({{"gamelist_visible", "1"}, {"gamelist_count", "1"}}));
    EXPECT_EQ(Field(s, "gamelist_caption"), "1手  対局中");
  }
  // Each move waits for the one before it, as the players' programs do.
  const struct {
    ProtocolClient* player;
    std::string move;
  } moves[] = {{&bob, P("pp") + ">><<Color=white>><<Time=0"},
               {&alice, "0>><<Color=black>><<Time=880"},  // a pass
               {&bob, P("dp") + ">><<Color=white>><<Time=0"}};
  int count = 1;
  for (const auto& m : moves) {
    m.player->Send("<<GameIndex=1>><<Move=" + m.move + ">>");
    const std::string shown = std::to_string(++count);
    ASSERT_EQ(Field(ben_.WaitFor(Shows({{"gamelist_count", shown}})), "gamelist_count"), shown);
  }
  for (ClientProcess* m : {&chie_, &ben_, &dan}) {
    const State s = m->WaitFor(Shows({{"gamelist_count", "4"}}));
    EXPECT_EQ(Field(s, "gamelist_caption"), "4手   対局中");
    EXPECT_EQ(Field(s, "gamelist_stones"), P("dd") + ":1," + P("dp") + ":5," + P("pp") + ":5");
  }
  Shoot(dan, "4-dan-late-member");
  Shoot(ben_, "4-ben-game-list", true);

  // A member leaves the room for the lobby.
  ASSERT_EQ(dan.Command("room-leave"), "ok");
  EXPECT_EQ(Field(dan.WaitFor(Shows({{"mode", "0"}, {"lobby_visible", "1"}})), "mode"), "0");
  EXPECT_EQ(Field(ben_.WaitFor(Shows({{"panel2", "入室者数 = 2"}})), "panel2"), "入室者数 = 2");
}

TEST_F(RoomE2e, AMemberFromANineLineGameSharesTheBoardThroughAProblemARecordAndASizeChange) {
  // Ben and Chie play on 9 lines; Chie resigns after Ben's first stone and both leave the board.
  const auto waits_for_chie = [](const State& s) {
    return Field(s, "waiting").find("Chie") != std::string::npos;
  };
  ASSERT_TRUE(waits_for_chie(ben_.WaitFor(waits_for_chie))) << Field(ben_.Now(), "waiting");
  ASSERT_EQ(ben_.Command("challenge Chie black 互先 10 10 0 6.5 2"), "ok");
  ASSERT_EQ(Field(chie_.WaitFor(Shows({{"offer", "1"}})), "offer"), "1");
  ASSERT_EQ(chie_.Command("accept"), "ok");
  ASSERT_EQ(Field(ben_.WaitFor(Shows({{"mode", "1"}, {"input", "1"}})), "grid"), "9");
  ASSERT_EQ(ben_.Command("play " + P("ee", 9)), "ok");
  ASSERT_EQ(Field(chie_.WaitFor(Shows({{"top", "1"}, {"input", "1"}})), "top"), "1");
  ASSERT_EQ(chie_.Command("answer yes"), "ok");
  ASSERT_EQ(chie_.Command("resign"), "ok");
  for (ClientProcess* c : {&ben_, &chie_}) {
    ASSERT_EQ(Field(c->WaitFor(Shows({{"mode", "2"}})), "mode"), "2") << c->Messages();
    ASSERT_EQ(c->Command("answer yes"), "ok");
    ASSERT_EQ(c->Command("end"), "ok");
    const State left = c->WaitFor(Shows({{"mode", "0"}, {"lobby_visible", "1"}}));
    ASSERT_EQ(Field(left, "mode"), "0") << Summary(left);
    EXPECT_EQ(Field(left, "grid"), "9");
  }

  // Everyone enters the empty room: 19 lines on every board.
  for (ClientProcess* c : {&aki_, &ben_, &chie_}) {
    ASSERT_NO_FATAL_FAILURE(Enter(*c));
    const State s = c->Now();
    EXPECT_EQ(Field(s, "size"), "19") << Summary(s);
    EXPECT_EQ(Field(s, "grid"), "19") << Summary(s);
  }
  ASSERT_EQ(aki_.Command("room-register"), "ok");
  ASSERT_EQ(Field(WaitInput(aki_, "1"), "input"), "1");

  // White to play first, chosen before the setup: black on aa, white on ba, bb and ac; white's
  // ab takes aa, a point the members' boards would forbid to black.
  ASSERT_EQ(aki_.Command("room-whitefirst"), "ok");
  ASSERT_EQ(aki_.Command("room-setup"), "ok");
  ASSERT_EQ(aki_.Command("room-mark 0"), "ok");
  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-click " + P("aa"), {&ben_, &chie_}));
  for (const char* at : {"ba", "bb", "ac"}) {
    ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-right " + P(at), {&ben_, &chie_})) << at;
  }
  ASSERT_EQ(aki_.Command("room-moves"), "ok");
  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-click " + P("ab"), {&ben_, &chie_}));
  for (ClientProcess* c : {&aki_, &ben_, &chie_}) {
    const State s = c->Now();
    EXPECT_EQ(Field(s, "black_captured"), "1") << Summary(s);
    EXPECT_EQ(Field(s, "black_first"), "0") << Summary(s);
  }
  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-click " + P("cc"), {&ben_, &chie_}));
  Shoot(aki_, "5-aki-problem");
  Shoot(ben_, "5-ben-problem");
  Shoot(chie_, "5-chie-problem");

  // A record of 13 lines, then the size changed to 9.
  ASSERT_NO_FATAL_FAILURE(
      Operate(aki_, "room-clipboard (;GM[1]FF[1]SZ[13]PB[a]PW[b];B[dd];W[jj];B[dj];W[jd])",
              {&ben_, &chie_}));
  EXPECT_EQ(Field(chie_.Now(), "grid"), "13");
  EXPECT_EQ(Field(chie_.Now(), "top"), "4");
  Shoot(aki_, "6-aki-13");
  Shoot(ben_, "6-ben-13");
  Shoot(chie_, "6-chie-13");
  ASSERT_EQ(aki_.Command("answer yes"), "ok");
  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-size 2", {&ben_, &chie_}));
  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-click " + P("ee", 9), {&ben_, &chie_}));
  EXPECT_EQ(Field(ben_.Now(), "grid"), "9");
  Shoot(aki_, "7-aki-9");
  Shoot(ben_, "7-ben-9");
  Shoot(chie_, "7-chie-9");
}

TEST_F(RoomE2e, ARecordFileOfAnotherProgramShowsOnEveryBoardAsOnTheOperators) {
  // UTF-8 comments ending in 手 (E6 89 8B), a handicap game that white begins, variations.
  QTemporaryDir folder;
  const std::string path = folder.path().toStdString() + "/other.sgf";
  ASSERT_TRUE(WriteWholeFile(path,
                             "(;GM[1]FF[4]CA[UTF-8]SZ[19]HA[2]PB[黒田]PW[白石]AB[dd][pp]"
                             "C[二子局の手]\n;W[pd]C[手]\n;B[dp]C[手]\n(;W[qq]C[手];B[qp])\n"
                             "(;W[dq]))\n"));
  for (ClientProcess* c : {&aki_, &ben_, &chie_}) ASSERT_NO_FATAL_FAILURE(Enter(*c));
  ASSERT_EQ(aki_.Command("room-register"), "ok");
  ASSERT_EQ(Field(WaitInput(aki_, "1"), "input"), "1");

  ASSERT_NO_FATAL_FAILURE(Operate(aki_, "room-file " + path, {&ben_, &chie_}));
  // The main line after the two stones, white first, so white is to move.
  const std::string moves =
      P("pp") + "," + P("dd") + "," + P("pd") + "," + P("dp") + "," + P("qq") + "," + P("qp");
  for (ClientProcess* c : {&aki_, &ben_, &chie_}) {
    const State s = c->Now();
    EXPECT_EQ(Field(s, "setup"), "2");
    EXPECT_EQ(Field(s, "moves"), moves);
    EXPECT_EQ(Field(s, "black_first"), "0");
  }
  Shoot(ben_, "5-ben-other-program-record");
}
