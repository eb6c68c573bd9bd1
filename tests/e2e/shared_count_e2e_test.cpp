// End to end: two client programs play a short 9-line game through the real server while a third
// watches it; black stops the game and starts the shared count, marks a dead stone and a territory
// point, counts and hands the right over; white recounts with a mark of its own; black closes.
// The three counting boards, open modally the whole time, follow every step and show the same
// result. Chat typed on the counting board reaches the game chat of all three.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "client/board/model/board_rules.h"
#include "tests/e2e/client_process.h"
#include "tests/e2e/server_process.h"

namespace {

using State = ClientProcess::State;

// The result part of a counting board's caption: what follows the komi.
std::string Result(const State& state) {
  const std::string caption = Field(state, "count_caption");
  const std::size_t end = caption.find('}');
  return end == std::string::npos ? std::string() : caption.substr(end + 1);
}

std::string Summary(const State& state) {
  std::string text;
  for (const char* key : {"mode", "clock", "top", "pending", "count_visible", "rtm",
                          "count_caption", "count_panel3", "count_black", "count_white"}) {
    text += std::string(key) + "=" + Field(state, key) + " ";
  }
  return text;
}

// Pictures of the three counting boards, when the run asks for them (a real display).
void Shoot(ClientProcess& client, const std::string& name) {
  const char* folder = std::getenv("KOR_E2E_SHOTS");
  if (folder == nullptr) return;
  EXPECT_EQ(client.Command("shot " + std::string(folder) + "/" + name + ".png"), "ok") << name;
}

class SharedCount : public testing::Test {
 protected:
  void Play(ClientProcess& mover, ClientProcess& other, int point, int top) {
    ASSERT_EQ(mover.Command("play " + std::to_string(point)), "ok");
    const std::string t = std::to_string(top);
    ASSERT_EQ(Field(mover.WaitFor(Shows({{"top", t}})), "top"), t) << mover.Messages();
    ASSERT_EQ(Field(other.WaitFor(Shows({{"top", t}, {"input", "1"}})), "top"), t)
        << other.Messages();
    ASSERT_EQ(Field(watcher_.WaitFor(Shows({{"top", t}})), "top"), t);
  }

  // All three counting boards show `panel3` and the same result; that result.
  std::string SameResult(const std::string& panel3) {
    const auto shows = [&panel3](const State& s) {
      return Field(s, "count_panel3") == panel3 && !Result(s).empty();
    };
    const State b = black_.WaitFor(shows);
    const State w = white_.WaitFor(shows);
    const State v = watcher_.WaitFor(shows);
    EXPECT_EQ(Field(b, "count_panel3"), panel3) << Summary(b);
    EXPECT_EQ(Field(w, "count_panel3"), panel3) << Summary(w);
    EXPECT_EQ(Field(v, "count_panel3"), panel3) << Summary(v);
    EXPECT_EQ(Result(w), Result(b)) << Summary(w);
    EXPECT_EQ(Result(v), Result(b)) << Summary(v);
    EXPECT_EQ(Field(w, "count_black"), Field(b, "count_black"));
    EXPECT_EQ(Field(v, "count_white"), Field(b, "count_white"));
    return Result(b);
  }

  ServerProcess server_;
  ClientProcess black_;    // 黒田 challenges with black
  ClientProcess white_;    // 白石
  ClientProcess watcher_;  // 見物
};

}  // namespace

TEST_F(SharedCount, BothPlayersCountTogetherAndTheWatcherFollowsToTheSameResult) {
  ASSERT_TRUE(server_.Start()) << server_.ErrorOutput();
  ASSERT_TRUE(black_.Start(server_.port(), "黒田")) << black_.ErrorOutput();
  ASSERT_TRUE(white_.Start(server_.port(), "白石")) << white_.ErrorOutput();
  ASSERT_TRUE(watcher_.Start(server_.port(), "見物")) << watcher_.ErrorOutput();
  const auto waits_for = [](const std::string& other) {
    return [other](const State& s) { return Field(s, "waiting").find(other) != std::string::npos; };
  };
  ASSERT_TRUE(waits_for("白石")(black_.WaitFor(waits_for("白石"))));

  // Black challenges: 9 lines, even, komi 6.5, 10 minutes each.
  ASSERT_EQ(black_.Command("challenge 白石 black 互先 10 10 0 6.5 2"), "ok");
  ASSERT_EQ(Field(white_.WaitFor(Shows({{"offer", "1"}})), "offer"), "1");
  ASSERT_EQ(white_.Command("accept"), "ok");
  ASSERT_EQ(Field(black_.WaitFor(Shows({{"mode", "1"}, {"input", "1"}})), "mode"), "1");
  ASSERT_EQ(Field(white_.WaitFor(Shows({{"mode", "1"}})), "turned"), "1");
  const auto lists_game = [](const State& s) {
    return Field(s, "games").find("[ 1 ]") != std::string::npos;
  };
  ASSERT_TRUE(lists_game(watcher_.WaitFor(lists_game))) << Field(watcher_.Now(), "games");
  ASSERT_EQ(watcher_.Command("watch 1"), "ok");
  ASSERT_EQ(Field(watcher_.WaitFor(Shows({{"mode", "2"}})), "mode"), "2") << watcher_.Messages();

  // Black builds a wall on column 4, white on column 5; then black 1-1 and white's stone at 2-2
  // in black's area, which will be dead.
  std::vector<int> moves;
  for (int row = 1; row <= 9; ++row) {
    moves.push_back(MakePoint(4, row));
    moves.push_back(MakePoint(5, row));
  }
  moves.push_back(MakePoint(1, 1));
  moves.push_back(MakePoint(2, 2));
  for (std::size_t i = 0; i < moves.size(); ++i) {
    ClientProcess& mover = i % 2 == 0 ? black_ : white_;
    ClientProcess& other = i % 2 == 0 ? white_ : black_;
    ASSERT_NO_FATAL_FAILURE(Play(mover, other, moves[i], static_cast<int>(i) + 1)) << i;
  }

  // Black stops the game and starts the shared count; the others' boards open within a second.
  ASSERT_EQ(black_.Command("stop"), "ok");
  ASSERT_EQ(Field(white_.WaitFor(Shows({{"clock", "2"}})), "clock"), "2");
  ASSERT_EQ(black_.Command("count"), "ok");
  for (ClientProcess* client : {&black_, &white_, &watcher_}) {
    const std::string rtm = client == &black_ ? "1" : "2";
    const State s = client->WaitFor(Shows({{"count_visible", "1"}, {"rtm", rtm}}));
    ASSERT_EQ(Field(s, "rtm"), rtm) << Summary(s) << client->Messages();
  }
  EXPECT_EQ(Field(black_.Now(), "count_right"), "相手に操作権を渡す");
  EXPECT_EQ(Field(white_.Now(), "count_right"), "[操作観覧モード]");

  // Black marks the white stone dead and a territory point, then counts.
  ASSERT_EQ(black_.Command("countclick " + std::to_string(MakePoint(2, 2))), "ok");
  ASSERT_EQ(black_.Command("countclick " + std::to_string(MakePoint(1, 9))), "ok");
  for (ClientProcess* client : {&white_, &watcher_}) {
    const State s = client->WaitFor(Shows({{"count_black", "黒 : 1"}}));
    EXPECT_EQ(Field(s, "count_black"), "黒 : 1") << Summary(s);
  }
  ASSERT_EQ(black_.Command("countpanel"), "ok");
  // Black: 27 points less its stone, its mark and the dead stone's point, plus 2 for the dead
  // stone; white: 36 and 6.5 of komi.
  const std::string first = SameResult("再計算");
  EXPECT_EQ(first, "    白 16 目半勝ち");
  Shoot(black_, "black-first");
  Shoot(white_, "white-first");
  Shoot(watcher_, "watcher-first");

  // Chat from the counting board reaches everyone's game chat.
  ASSERT_EQ(black_.Command("countchat 地を数えました>>"), "ok");
  for (ClientProcess* client : {&white_, &watcher_}) {
    const auto heard = [](const State& s) {
      return Field(s, "chat").find("[ 黒田 ]：地を数えました＞＞ [20]") != std::string::npos;
    };
    EXPECT_TRUE(heard(client->WaitFor(heard))) << Field(client->Now(), "chat");
  }

  // Black hands the right over; white restores, marks a point of its own and counts again.
  ASSERT_EQ(black_.Command("counthand"), "ok");
  State w = white_.WaitFor(Shows({{"rtm", "1"}}));
  ASSERT_EQ(Field(w, "rtm"), "1") << Summary(w);
  EXPECT_EQ(Field(w, "count_right"), "相手に操作権を渡す");
  EXPECT_EQ(Field(black_.Now(), "rtm"), "2");
  EXPECT_EQ(Field(watcher_.Now(), "rtm"), "2");
  ASSERT_EQ(white_.Command("countpanel"), "ok");
  for (ClientProcess* client : {&black_, &white_, &watcher_}) {
    const State s = client->WaitFor(Shows({{"count_panel3", "計 算"}}));
    EXPECT_EQ(Field(s, "count_panel3"), "計 算") << Summary(s);
  }
  ASSERT_EQ(white_.Command("countclick " + std::to_string(MakePoint(9, 1)) + " right"), "ok");
  ASSERT_EQ(white_.Command("countpanel"), "ok");
  const std::string second = SameResult("再計算");
  EXPECT_EQ(second, "    白 15 目半勝ち");
  Shoot(black_, "black-second");
  Shoot(white_, "white-second");
  Shoot(watcher_, "watcher-second");

  // Black closes: the shared count ends; the other boards stay open as local counts.
  ASSERT_EQ(black_.Command("countclose"), "ok");
  for (ClientProcess* client : {&white_, &watcher_}) {
    const State s = client->WaitFor(Shows({{"rtm", "0"}}));
    EXPECT_EQ(Field(s, "rtm"), "0") << Summary(s);
    EXPECT_EQ(Field(s, "count_visible"), "1");
    EXPECT_EQ(Result(s), second);
  }
  EXPECT_EQ(Field(black_.WaitFor(Shows({{"count_visible", "0"}})), "count_visible"), "0");
  ASSERT_EQ(white_.Command("countclose"), "ok");
  ASSERT_EQ(watcher_.Command("countclose"), "ok");
  EXPECT_EQ(Field(white_.WaitFor(Shows({{"count_visible", "0"}})), "rtm"), "0");

  EXPECT_EQ(black_.Quit(), 0) << black_.ErrorOutput();
  EXPECT_EQ(white_.Quit(), 0) << white_.ErrorOutput();
  EXPECT_EQ(watcher_.Quit(), 0) << watcher_.ErrorOutput();
  EXPECT_EQ(server_.Terminate(), 0) << server_.ErrorOutput();
}
