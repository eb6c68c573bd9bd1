// End to end: two client programs, each with its windows offscreen, play a whole game through the
// real server program: a challenge accepted with two handicap stones, moves with captures and a
// ko, an undo agreed, a stop and restart, and two passes. A third program starts watching from
// its lobby after the first moves, steps back while moves arrive and returns. All three boards
// stay alike after every message and end equal to the record the server sent. And a game from a
// start position: the challenger chooses a record file, the opponent sees it previewed and
// accepts, and both boards start from it.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "client/board/model/board_model.h"
#include "client/board/model/record_text.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "tests/e2e/client_process.h"
#include "tests/e2e/server_process.h"

namespace {

using State = ClientProcess::State;

// The state shows `key` = `value` for each pair.

std::string Summary(const State& state) {
  std::string text;
  for (const char* key : {"mode", "input", "clock", "top", "panel0", "panel3", "moves"}) {
    text += std::string(key) + "=" + Field(state, key) + " ";
  }
  return text;
}

// The board text of a state read as stone codes of black's view: a turned board is turned back.
int StoneAt(const State& state, int point, bool turned) {
  const std::string board = Field(state, "board");
  const int shown = turned ? TurnPoint(point, 19) : point;
  if (board.size() != static_cast<std::size_t>(kPointCount)) return -1;
  switch (board[static_cast<std::size_t>(shown)]) {
    case 'X':
      return kBlack;
    case 'O':
      return kWhite;
    case '.':
      return kEmpty;
    default:
      return kOutside;
  }
}

std::vector<int> Moves(const State& state, bool turned) {
  std::vector<int> moves;
  const std::string text = Field(state, "moves");
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find(',', at);
    if (end == std::string::npos) end = text.size();
    const int point = std::stoi(text.substr(at, end - at));
    moves.push_back(turned ? TurnPoint(point, 19) : point);
    at = end + 1;
  }
  return moves;
}

class TwoClientsGame : public testing::Test {
 protected:
  // `mover` plays `point` (black's view); both boards then show `top` and the turn passes; a
  // watcher who shows the newest move follows.
  void Play(ClientProcess& mover, ClientProcess& other, int point, int top) {
    ASSERT_EQ(mover.Command("play " + std::to_string(point)), "ok");
    const std::string t = std::to_string(top);
    const State moved = mover.WaitFor(Shows({{"top", t}, {"input", "0"}}));
    ASSERT_EQ(Field(moved, "top"), t) << Summary(moved) << mover.Messages();
    const State answered = other.WaitFor(Shows({{"top", t}, {"input", "1"}}));
    ASSERT_EQ(Field(answered, "top"), t) << Summary(answered) << other.Messages();
    EXPECT_EQ(Field(answered, "consistent"), "1");
    if (watching_) {
      ASSERT_NO_FATAL_FAILURE(WatcherShows(top, top));
    }
  }

  // The watcher holds `buffer` entries and shows entry `top`; when that is the newest, its board
  // and moves are those of both players.
  void WatcherShows(int top, int buffer) {
    const State seen =
        watcher_.WaitFor(Shows({{"top", std::to_string(top)}, {"buffer", std::to_string(buffer)}}));
    ASSERT_EQ(Field(seen, "top"), std::to_string(top)) << Summary(seen) << watcher_.Messages();
    ASSERT_EQ(Field(seen, "buffer"), std::to_string(buffer)) << Summary(seen);
    EXPECT_EQ(Field(seen, "consistent"), "1");
    EXPECT_EQ(Field(seen, "panel0"), std::to_string(buffer) + "手の棋譜データがあります");
    if (top != buffer) return;
    const State b = black_.Now();
    const State w = white_.Now();
    EXPECT_EQ(Field(seen, "board"), Field(b, "board"));
    for (int point = 0; point < kPointCount; ++point) {
      if (!IsPlayingPoint(point, 19)) continue;
      EXPECT_EQ(StoneAt(seen, point, false), StoneAt(w, point, true)) << point;
    }
    EXPECT_EQ(Moves(seen, false), Moves(b, false));
    EXPECT_EQ(Field(seen, "black_captured"), Field(b, "black_captured"));
    EXPECT_EQ(Field(seen, "white_captured"), Field(b, "white_captured"));
  }

  ServerProcess server_;
  ClientProcess white_;    // 白石 challenges with white and gives two stones
  ClientProcess black_;    // 黒田
  ClientProcess watcher_;  // 観戦者 watches from the fifth move on
  bool watching_ = false;
};

}  // namespace

TEST_F(TwoClientsGame, AHandicapGameWithAKoAnUndoAStopAndTwoPassesEndsAlikeOnBothBoards) {
  ASSERT_TRUE(server_.Start()) << server_.ErrorOutput();
  ASSERT_TRUE(white_.Start(server_.port(), "白石")) << white_.ErrorOutput();
  ASSERT_TRUE(black_.Start(server_.port(), "黒田")) << black_.ErrorOutput();
  const auto waits_for = [](const std::string& other) {
    return [other](const State& s) {
      return Field(s, "lobby_visible") == "1" &&
             Field(s, "waiting").find(other) != std::string::npos;
    };
  };
  ASSERT_TRUE(waits_for("黒田")(white_.WaitFor(waits_for("黒田"))));
  ASSERT_TRUE(waits_for("白石")(black_.WaitFor(waits_for("白石"))));

  // The challenge: white, two stones, 10 minutes each with 5 seconds a move, komi 0.5.
  ASSERT_EQ(white_.Command("challenge 黒田 white ２子 10 10 5 0.5 0"), "ok");
  ASSERT_EQ(Field(black_.WaitFor(Shows({{"offer", "1"}})), "offer"), "1");
  ASSERT_EQ(black_.Command("accept"), "ok");
  State w = white_.WaitFor(Shows({{"mode", "1"}, {"input", "1"}}));
  State b = black_.WaitFor(Shows({{"mode", "1"}, {"input", "0"}}));
  ASSERT_EQ(Field(w, "mode"), "1") << Summary(w);
  ASSERT_EQ(Field(b, "mode"), "1") << Summary(b);
  EXPECT_EQ(Field(w, "turned"), "1");
  EXPECT_EQ(Field(b, "turned"), "0");
  EXPECT_EQ(Field(w, "setup"), "2");
  EXPECT_EQ(Field(b, "setup"), "2");
  EXPECT_EQ(Field(w, "black_first"), "0");
  EXPECT_EQ(Field(b, "black_first"), "0");
  EXPECT_EQ(Field(w, "caption"), " [ 白石 ]   対局 1   ヌルカ - 碁盤");
  EXPECT_EQ(StoneAt(w, MakePoint(4, 16), true), kBlack);
  EXPECT_EQ(StoneAt(b, MakePoint(16, 4), false), kBlack);

  // A greeting through the game chat: typed ">>" arrives full-width, with the move number.
  ASSERT_EQ(white_.Command("chat よろしく>>"), "ok");
  const auto greets = [](const State& s) {
    return Field(s, "chat").find("[ 白石 ]：よろしく＞＞") != std::string::npos;
  };
  EXPECT_TRUE(greets(black_.WaitFor(greets))) << Field(black_.Now(), "chat");
  EXPECT_TRUE(greets(white_.Now()));

  // A ko in the upper left (black's view): white throws in at 3-3, black takes at 4-3.
  const int moves[] = {MakePoint(4, 2), MakePoint(3, 2), MakePoint(5, 3), MakePoint(2, 3),
                       MakePoint(4, 4), MakePoint(3, 4), MakePoint(3, 3), MakePoint(4, 3)};
  int top = 2;
  for (int i = 0; i < 8; ++i) {
    ClientProcess& mover = i % 2 == 0 ? white_ : black_;
    ClientProcess& other = i % 2 == 0 ? black_ : white_;
    ASSERT_NO_FATAL_FAILURE(Play(mover, other, moves[i], ++top)) << i;
    if (i != 3) continue;
    // After four moves a third user watches from the lobby: the snapshot shows the game at its
    // newest move, the conditions from its record, the chat so far.
    ASSERT_TRUE(watcher_.Start(server_.port(), "観戦者")) << watcher_.ErrorOutput();
    const auto lists_game = [](const State& s) {
      return Field(s, "lobby_visible") == "1" &&
             Field(s, "games").find("[ 1 ]") != std::string::npos;
    };
    ASSERT_TRUE(lists_game(watcher_.WaitFor(lists_game))) << Field(watcher_.Now(), "games");
    ASSERT_EQ(watcher_.Command("watch 1"), "ok");
    const State started = watcher_.WaitFor(Shows({{"mode", "2"}}));
    ASSERT_EQ(Field(started, "mode"), "2") << Summary(started) << watcher_.Messages();
    EXPECT_EQ(Field(started, "caption"), "[ 観戦者 ]   対局 1   ヌルカ - 観戦");
    EXPECT_EQ(Field(started, "panel4"), "二子局 ( コミ = 0.5 )  持ち時間 = 10 分 (+5秒)");
    EXPECT_EQ(Field(started, "panel2"), "観戦者数 = 1");
    EXPECT_EQ(Field(started, "setup"), "2");
    EXPECT_EQ(Field(started, "black_first"), "0");
    EXPECT_TRUE(greets(started)) << Field(started, "chat");
    EXPECT_EQ(Field(started, "board_visible"), "1");
    watching_ = true;
    ASSERT_NO_FATAL_FAILURE(WatcherShows(top, top));
    // Both players hear of their watcher.
    EXPECT_EQ(Field(black_.WaitFor(Shows({{"panel2", "観戦者数 = 1"}})), "panel2"), "観戦者数 = 1");
  }
  w = white_.Now();
  EXPECT_EQ(StoneAt(w, MakePoint(3, 3), true), kEmpty);
  EXPECT_EQ(Field(w, "white_captured"), "1");
  // White may not take the ko back at once.
  ASSERT_EQ(white_.Command("click " + std::to_string(MakePoint(3, 3))), "ok");
  EXPECT_EQ(white_.Messages(), "そ こ は 打 て ま せ ん ！");
  EXPECT_EQ(Field(white_.Now(), "candidate"), "0");
  // A threat and its answer, then white takes the ko back, capturing. The watcher looks back
  // two moves meanwhile: the capture is stored, and shown when the watcher returns.
  ASSERT_NO_FATAL_FAILURE(Play(white_, black_, MakePoint(16, 16), ++top));
  ASSERT_NO_FATAL_FAILURE(Play(black_, white_, MakePoint(17, 16), ++top));
  ASSERT_EQ(watcher_.Command("replay 60"), "ok");
  ASSERT_EQ(watcher_.Command("replay 60"), "ok");
  ASSERT_NO_FATAL_FAILURE(WatcherShows(top - 2, top));
  watching_ = false;
  ASSERT_NO_FATAL_FAILURE(Play(white_, black_, MakePoint(3, 3), ++top));
  ASSERT_NO_FATAL_FAILURE(WatcherShows(top - 3, top));
  EXPECT_EQ(StoneAt(watcher_.Now(), MakePoint(3, 3), false), kEmpty);
  ASSERT_EQ(watcher_.Command("replay 150"), "ok");
  watching_ = true;
  ASSERT_NO_FATAL_FAILURE(WatcherShows(top, top));
  b = black_.Now();
  EXPECT_EQ(StoneAt(b, MakePoint(4, 3), false), kEmpty);
  EXPECT_EQ(Field(b, "black_captured"), "1");
  ASSERT_NO_FATAL_FAILURE(Play(black_, white_, MakePoint(10, 10), ++top));
  ASSERT_NO_FATAL_FAILURE(Play(white_, black_, MakePoint(10, 11), ++top));

  // White asks to take the move back; black agrees.
  ASSERT_EQ(white_.Command("undo"), "ok");
  b = black_.WaitFor(Shows({{"panel3", "{手戻り} 受信"}}));
  ASSERT_EQ(Field(b, "panel3"), "{手戻り} 受信") << Summary(b);
  ASSERT_EQ(black_.Command("undo"), "ok");
  --top;
  w = white_.WaitFor(Shows({{"top", std::to_string(top)}, {"input", "1"}}));
  b = black_.WaitFor(Shows({{"top", std::to_string(top)}, {"input", "0"}}));
  ASSERT_EQ(Field(w, "top"), std::to_string(top)) << Summary(w);
  ASSERT_EQ(Field(b, "top"), std::to_string(top)) << Summary(b);
  EXPECT_EQ(StoneAt(w, MakePoint(10, 11), true), kEmpty);
  EXPECT_EQ(Field(w, "panel3"), "一手戻りました");
  ASSERT_NO_FATAL_FAILURE(WatcherShows(top, top));
  EXPECT_EQ(Field(watcher_.Now(), "panel3"), "一手戻りました");
  ASSERT_NO_FATAL_FAILURE(Play(white_, black_, MakePoint(11, 10), ++top));

  // Black stops the game; white cannot restart it; black restarts.
  ASSERT_EQ(black_.Command("stop"), "ok");
  w = white_.WaitFor(Shows({{"clock", "2"}}));
  ASSERT_EQ(Field(w, "clock"), "2") << Summary(w);
  EXPECT_EQ(Field(w, "panel0"), "対局の進行が停止しました");
  ASSERT_EQ(white_.Command("stop"), "ok");
  EXPECT_EQ(white_.Messages(), "相手の発信を待っています。(今は時計ON/OFF出来ません)");
  ASSERT_EQ(black_.Command("stop"), "ok");
  w = white_.WaitFor(Shows({{"clock", "0"}}));
  ASSERT_EQ(Field(w, "clock"), "0") << Summary(w);
  EXPECT_EQ(Field(w, "input"), "0");
  b = black_.Now();
  EXPECT_EQ(Field(b, "clock"), "0");
  EXPECT_EQ(Field(b, "input"), "1");

  // The watcher's chat line reaches the players.
  ASSERT_EQ(watcher_.Command("chat 拝見します"), "ok");
  const auto watcher_greets = [](const State& s) {
    return Field(s, "chat").find("[ 観戦者 ]：拝見します") != std::string::npos;
  };
  EXPECT_TRUE(watcher_greets(black_.WaitFor(watcher_greets))) << Field(black_.Now(), "chat");

  // Two passes end the game. The watcher holds the first pass until the end takes it back.
  ASSERT_EQ(black_.Command("answer yes"), "ok");
  ASSERT_EQ(black_.Command("pass"), "ok");
  w = white_.WaitFor(Shows({{"input", "1"}, {"panel3", "相手がパスした"}}));
  ASSERT_EQ(Field(w, "panel3"), "相手がパスした") << Summary(w);
  watching_ = false;
  ASSERT_NO_FATAL_FAILURE(WatcherShows(top + 1, top + 1));
  EXPECT_EQ(Field(watcher_.Now(), "panel3"), "黒パスです");
  ASSERT_EQ(white_.Command("answer yes"), "ok");
  ASSERT_EQ(white_.Command("pass"), "ok");
  w = white_.WaitFor(Shows({{"mode", "2"}}));
  b = black_.WaitFor(Shows({{"mode", "2"}}));
  ASSERT_EQ(Field(w, "mode"), "2") << Summary(w);
  ASSERT_EQ(Field(b, "mode"), "2") << Summary(b);
  EXPECT_EQ(Field(w, "top"), std::to_string(top));
  EXPECT_EQ(Field(b, "top"), std::to_string(top));
  EXPECT_EQ(Field(b, "panel0"), std::to_string(top - 2) + "手まで、[ 白石 ]  ==>  終局");
  const State seen = watcher_.WaitFor(Shows({{"panel3", "対局が終りました"}}));
  ASSERT_EQ(Field(seen, "panel3"), "対局が終りました") << Summary(seen);
  EXPECT_EQ(Field(seen, "top"), std::to_string(top));
  EXPECT_EQ(Field(seen, "buffer"), std::to_string(top));
  EXPECT_EQ(Field(seen, "panel0"), std::to_string(top - 2) + "手まで、[ 白石 ]  ==>  終局");
  EXPECT_EQ(Field(seen, "board"), Field(b, "board"));
  EXPECT_EQ(Field(w, "consistent"), "1");
  EXPECT_EQ(Field(b, "consistent"), "1");

  // The record the server sent with the end of the game, read onto a board of its own.
  const std::string notice = FromHex(black_.Command("received <<PassEndGame>>"));
  const std::size_t start = notice.find("(;SZ[");
  const std::size_t end = notice.find("<<KuroTime=");
  ASSERT_NE(start, std::string::npos) << notice;
  ASSERT_NE(end, std::string::npos) << notice;
  const std::string record = notice.substr(start, end - start);
  EXPECT_NE(record.find(J("PB[黒田]PW[白石]")), std::string::npos) << record;
  EXPECT_NE(record.find("HA[2]AB[dp][pd]/<SiroSaki>/"), std::string::npos) << record;
  BoardModel server_board;
  ASSERT_TRUE(LoadKifuText(server_board, record).Read);
  ASSERT_EQ(server_board.MoveTop, top) << record;
  EXPECT_EQ(server_board.BlackCaptured, 1);
  EXPECT_EQ(server_board.WhiteCaptured, 1);
  std::vector<int> recorded(server_board.MoveList.begin() + 1,
                            server_board.MoveList.begin() + 1 + server_board.MoveTop);
  EXPECT_EQ(Moves(b, false), recorded);
  EXPECT_EQ(Moves(w, true), recorded);
  EXPECT_EQ(Moves(seen, false), recorded);
  for (int point = 0; point < kPointCount; ++point) {
    if (!IsPlayingPoint(point, 19)) continue;
    EXPECT_EQ(StoneAt(b, point, false), server_board.Board[point]) << point;
    EXPECT_EQ(StoneAt(w, point, true), server_board.Board[point]) << point;
    EXPECT_EQ(StoneAt(seen, point, false), server_board.Board[point]) << point;
  }

  // The watcher steps back through the finished game and leaves it for the lobby.
  ASSERT_EQ(watcher_.Command("replay 0"), "ok");
  EXPECT_EQ(Field(watcher_.Now(), "top"), "2");
  ASSERT_EQ(watcher_.Command("answer yes"), "ok");
  ASSERT_EQ(watcher_.Command("end"), "ok");
  const State left = watcher_.WaitFor(Shows({{"mode", "0"}, {"board_visible", "0"}}));
  EXPECT_EQ(Field(left, "mode"), "0") << Summary(left);
  EXPECT_EQ(Field(left, "lobby_visible"), "1");

  EXPECT_EQ(watcher_.Quit(), 0) << watcher_.ErrorOutput();
  EXPECT_EQ(white_.Quit(), 0) << white_.ErrorOutput();
  EXPECT_EQ(black_.Quit(), 0) << black_.ErrorOutput();
  EXPECT_EQ(server_.Terminate(), 0) << server_.ErrorOutput();
}

TEST_F(TwoClientsGame, AGameStartsFromARecordChosenByTheChallengerAsTheOpponentPreviewedIt) {
  // Two black stones, then white and black have moved: white is to move.
  QTemporaryDir records;
  const std::string path = records.path().toStdString() + "/start.sgf";
  ASSERT_TRUE(WriteWholeFile(path,
                             "(;GM[1]FF[1]SZ[19]\r\nPB[Kuro]\r\nPW[Shiro]\r\nHA[2]\r\n"
                             "AB[dd][pp]\r\n;W[pd]WL[600]C[first]\r\n;B[dp]BL[590]\r\n)"));
  ASSERT_TRUE(server_.Start()) << server_.ErrorOutput();
  ASSERT_TRUE(black_.Start(server_.port(), "黒田")) << black_.ErrorOutput();
  ASSERT_TRUE(white_.Start(server_.port(), "白石")) << white_.ErrorOutput();
  const auto waits_for = [](const std::string& other) {
    return [other](const State& s) {
      return Field(s, "lobby_visible") == "1" &&
             Field(s, "waiting").find(other) != std::string::npos;
    };
  };
  ASSERT_TRUE(waits_for("白石")(black_.WaitFor(waits_for("白石"))));

  // 黒田 challenges with black and the record as the start position.
  ASSERT_EQ(black_.Command("challenge 白石 black 互先 30 30 0 6.5 0 " + path), "ok");
  State offer = white_.WaitFor(Shows({{"offer", "1"}}));
  ASSERT_EQ(Field(offer, "offer"), "1");
  EXPECT_EQ(Field(offer, "preview_visible"), "1");
  EXPECT_EQ(Field(offer, "preview_memo"), "● Kuro|○ Shiro|手数 ： 4  |  前配置 ： 2");
  const std::string offer_text = Field(offer, "offer_text");
  EXPECT_NE(offer_text.find("手合  ==  ２子"), std::string::npos) << offer_text;
  EXPECT_NE(offer_text.find("(次ぎは白番)"), std::string::npos) << offer_text;
  ASSERT_EQ(white_.Command("accept"), "ok");

  // White moves first, on both boards from the same position.
  State b = black_.WaitFor(Shows({{"mode", "1"}, {"input", "0"}}));
  State w = white_.WaitFor(Shows({{"mode", "1"}, {"input", "1"}}));
  ASSERT_EQ(Field(b, "mode"), "1") << Summary(b);
  ASSERT_EQ(Field(w, "mode"), "1") << Summary(w);
  EXPECT_EQ(Field(w, "preview_visible"), "0");
  for (const State* s : {&b, &w}) {
    EXPECT_EQ(Field(*s, "setup"), "2");
    EXPECT_EQ(Field(*s, "top"), "4");
    EXPECT_EQ(Field(*s, "black_first"), "0");
    EXPECT_EQ(Field(*s, "consistent"), "1");
  }
  EXPECT_EQ(Field(w, "panel0"), "白番  ( 手番になりました )");
  EXPECT_EQ(Field(w, "panel3"), "");  // the replay of the start position's moves left no caption
  EXPECT_EQ(Moves(b, false), Moves(w, true));
  for (const int point : {MakePoint(4, 4), MakePoint(16, 16), MakePoint(4, 16)}) {
    EXPECT_EQ(StoneAt(b, point, false), kBlack) << point;
    EXPECT_EQ(StoneAt(w, point, true), kBlack) << point;
  }
  EXPECT_EQ(StoneAt(b, MakePoint(16, 4), false), kWhite);
  EXPECT_EQ(StoneAt(w, MakePoint(16, 4), true), kWhite);
  ASSERT_NO_FATAL_FAILURE(Play(white_, black_, MakePoint(17, 17), 5));

  // The server's record begins with the start position; both boards equal it.
  ASSERT_EQ(black_.Command("answer yes"), "ok");
  ASSERT_EQ(black_.Command("resign"), "ok");
  const State ended = white_.WaitFor(Shows({{"mode", "2"}}));
  ASSERT_EQ(Field(ended, "mode"), "2") << Summary(ended);
  const std::string notice = FromHex(white_.Command("received <<GameResign>>"));
  const std::size_t start = notice.find("(;SZ[");
  const std::size_t end = notice.find("<<KuroTime=");
  ASSERT_NE(start, std::string::npos) << notice;
  ASSERT_NE(end, std::string::npos) << notice;
  const std::string record = notice.substr(start, end - start);
  EXPECT_NE(record.find("HA[2]/<SiroSaki>//<SiroTurn>/AB[dd][pp];[pd];[dp];"), std::string::npos)
      << record;
  BoardModel server_board;
  ASSERT_TRUE(LoadKifuText(server_board, record).Read);
  EXPECT_EQ(server_board.MoveTop, 5) << record;
  b = black_.Now();
  w = white_.Now();
  for (int point = 0; point < kPointCount; ++point) {
    if (!IsPlayingPoint(point, 19)) continue;
    EXPECT_EQ(StoneAt(b, point, false), server_board.Board[point]) << point;
    EXPECT_EQ(StoneAt(w, point, true), server_board.Board[point]) << point;
  }

  EXPECT_EQ(white_.Quit(), 0) << white_.ErrorOutput();
  EXPECT_EQ(black_.Quit(), 0) << black_.ErrorOutput();
  EXPECT_EQ(server_.Terminate(), 0) << server_.ErrorOutput();
}
