// End to end: two client programs play a 19-line game through the real server while a third
// watches it. Black composes a diagram in the editor (setup stones with a mark, a mark on an empty
// point, two moves) and sends it with a comment; the server numbers it, and the opponent (who sees
// the board turned), the watcher and black open it from the chat link and see the same stones.
// White imports it into its own editor and sends it again: the data is byte for byte the same.
#include <gtest/gtest.h>

#include <cstdlib>

#include "client/board/model/board_model.h"
#include "client/board/model/record_text.h"
#include "client/views/model/board_diagram.h"
#include "platform/cp932.h"
#include "tests/e2e/client_process.h"
#include "tests/e2e/server_process.h"

namespace {

using State = ClientProcess::State;

std::function<bool(const State&)> ChatHas(const std::string& text) {
  return [text](const State& s) { return Field(s, "chat").find(text) != std::string::npos; };
}

int P(int column, int row) { return MakePoint(column, row); }

// A board in the scripted client's form ('X', 'O', '.', '#' for points 0..440) read from data.
std::string DiagramBoard(const std::string& data) {
  BoardModel board(BoardVariant::kDiagramViewer);
  ReadBoardDiagram(board, data, false, DiagramText::kDiagramData);
  std::string text;
  for (int point = 0; point < kPointCount; ++point) {
    const int code = board.Board[point];
    text += code == kBlack ? 'X' : code == kWhite ? 'O' : code == kEmpty ? '.' : '#';
  }
  return text;
}

// A picture of a window, when the run asks for them (a real display).
// "diagram" and "viewer" take the window's own drawing; a name starting "screen" takes the whole
// screen.
void Shoot(ClientProcess& client, const std::string& what, const std::string& name) {
  const char* folder = std::getenv("KOR_E2E_SHOTS");
  if (folder == nullptr) return;
  const std::string command = name.starts_with("screen") ? "viewer-screen " : what + "-shot ";
  EXPECT_EQ(client.Command(command + std::string(folder) + "/" + name + ".png"), "ok");
}

class DiagramsInChat : public testing::Test {
 protected:
  void Play(ClientProcess& mover, ClientProcess& other, int point, int top) {
    ASSERT_EQ(mover.Command("play " + std::to_string(point)), "ok");
    const std::string t = std::to_string(top);
    ASSERT_EQ(Field(mover.WaitFor(Shows({{"top", t}})), "top"), t) << mover.Messages();
    ASSERT_EQ(Field(other.WaitFor(Shows({{"top", t}, {"input", "1"}})), "top"), t)
        << other.Messages();
  }

  // The client opens diagram `number` from its chat link; its viewer shows `board` at the
  // diagram's end with `caption`.
  void OpensTheSameDiagram(ClientProcess& client, const std::string& number,
                           const std::string& caption, const std::string& board) {
    ASSERT_TRUE(
        ChatHas("{ 碁盤 " + number + " }")(client.WaitFor(ChatHas("{ 碁盤 " + number + " }"))))
        << Field(client.Now(), "chat");
    ASSERT_EQ(client.Command("viewer-open " + number), "ok");
    const State seen =
        client.WaitFor(Shows({{"viewer_visible", "1"}, {"viewer_caption", caption}}));
    EXPECT_EQ(Field(seen, "viewer_caption"), caption);
    EXPECT_EQ(Field(seen, "viewer_board"), board);
    EXPECT_EQ(client.Messages(), "");
  }

  // The data of the last diagram `client` received.
  std::string ReceivedData(ClientProcess& client, const std::string& number) {
    const std::string received = FromHex(client.Command("received <<DiaIndex=" + number + ">>"));
    const std::size_t at = received.find("<<DiaData=");
    if (at == std::string::npos) return "";
    const std::size_t end = received.find(">>", at + 10);
    return received.substr(at + 10, end == std::string::npos ? end : end - at - 10);
  }

  ServerProcess server_;
  ClientProcess black_;    // 黒田 challenges with black
  ClientProcess white_;    // 白石, whose board is turned
  ClientProcess watcher_;  // 見物
};

}  // namespace

TEST_F(DiagramsInChat, ADiagramSentWithACommentOpensAlikeEverywhereAndComesBackByteForByte) {
  ASSERT_TRUE(server_.Start()) << server_.ErrorOutput();
  ASSERT_TRUE(black_.Start(server_.port(), "黒田")) << black_.ErrorOutput();
  ASSERT_TRUE(white_.Start(server_.port(), "白石")) << white_.ErrorOutput();
  ASSERT_TRUE(watcher_.Start(server_.port(), "見物")) << watcher_.ErrorOutput();
  const auto waits_for = [](const std::string& other) {
    return [other](const State& s) { return Field(s, "waiting").find(other) != std::string::npos; };
  };
  ASSERT_TRUE(waits_for("白石")(black_.WaitFor(waits_for("白石"))));

  // Black challenges: 19 lines, even, komi 6.5, 10 minutes each; three moves, then a watcher.
  ASSERT_EQ(black_.Command("challenge 白石 black 互先 10 10 0 6.5 0"), "ok");
  ASSERT_EQ(Field(white_.WaitFor(Shows({{"offer", "1"}})), "offer"), "1");
  ASSERT_EQ(white_.Command("accept"), "ok");
  ASSERT_EQ(Field(black_.WaitFor(Shows({{"mode", "1"}, {"input", "1"}})), "mode"), "1");
  ASSERT_EQ(Field(white_.WaitFor(Shows({{"mode", "1"}})), "turned"), "1");
  ASSERT_NO_FATAL_FAILURE(Play(black_, white_, P(16, 4), 1));
  ASSERT_NO_FATAL_FAILURE(Play(white_, black_, P(4, 16), 2));
  ASSERT_NO_FATAL_FAILURE(Play(black_, white_, P(16, 16), 3));
  const auto lists_game = [](const State& s) {
    return Field(s, "games").find("[ 1 ]") != std::string::npos;
  };
  ASSERT_TRUE(lists_game(watcher_.WaitFor(lists_game))) << Field(watcher_.Now(), "games");
  ASSERT_EQ(watcher_.Command("watch 1"), "ok");
  ASSERT_EQ(Field(watcher_.WaitFor(Shows({{"mode", "2"}})), "mode"), "2") << watcher_.Messages();

  // Black's editor opens on the game's three stones with white to play first. Setup: a black
  // stone with a triangle and a white one, a circle on an empty point; then two moves.
  ASSERT_EQ(black_.Command("diagram-open"), "ok");
  State editor = black_.WaitFor(Shows({{"editor_visible", "1"}}));
  ASSERT_EQ(Field(editor, "editor_setup"), "3");
  ASSERT_EQ(black_.Command("diagram-setup"), "ok");
  ASSERT_EQ(Field(black_.WaitFor(Shows({{"toolbar_visible", "1"}})), "toolbar_visible"), "1");
  ASSERT_EQ(black_.Command("diagram-click " + std::to_string(P(3, 16)) + " left 5"), "ok");
  ASSERT_EQ(black_.Command("diagram-click " + std::to_string(P(10, 10)) + " right"), "ok");
  ASSERT_EQ(black_.Command("diagram-mark " + std::to_string(P(3, 3)) + " 3"), "ok");
  ASSERT_EQ(black_.Command("diagram-moves"), "ok");
  ASSERT_EQ(black_.Command("diagram-click " + std::to_string(P(17, 3))), "ok");
  ASSERT_EQ(black_.Command("diagram-click " + std::to_string(P(17, 4))), "ok");
  editor = black_.WaitFor(Shows({{"editor_top", "7"}}));
  ASSERT_EQ(Field(editor, "editor_setup"), "5") << black_.Messages();
  const std::string data = FromHex(black_.Command("diagram-data"));
  EXPECT_EQ(data, "SZ[19]/<SiroSaki>/AB[cp][pd][pp]AW[dp][jj]\r\nCR[cc]\r\nTR[cp];W[qc];B[qd]");
  ASSERT_EQ(black_.Command("diagram-comment ここが急所"), "ok");
  Shoot(black_, "diagram", "editor");
  Shoot(black_, "viewer", "screen-editor");
  ASSERT_EQ(black_.Command("diagram-send"), "ok");
  ASSERT_EQ(Field(black_.WaitFor(Shows({{"editor_visible", "0"}})), "editor_visible"), "0");

  // The server numbered it 1 and sent it to everyone on the game, the sender included.
  const std::string board = DiagramBoard(data);
  const std::string caption = "[碁盤1] 2手";
  ASSERT_NO_FATAL_FAILURE(OpensTheSameDiagram(white_, "1", caption, board));
  ASSERT_NO_FATAL_FAILURE(OpensTheSameDiagram(watcher_, "1", caption, board));
  ASSERT_NO_FATAL_FAILURE(OpensTheSameDiagram(black_, "1", caption, board));
  EXPECT_EQ(ReceivedData(watcher_, "1"), data);
  EXPECT_NE(Field(watcher_.Now(), "chat").find("[ 黒田 ]：ここが急所 (3)|{ 碁盤 1 }"),
            std::string::npos)
      << Field(watcher_.Now(), "chat");
  Shoot(white_, "viewer", "viewer-white");
  Shoot(white_, "viewer", "screen-viewer-white");

  // The opponent steps through it: to the setup, one move, to the end.
  ASSERT_EQ(white_.Command("viewer-step 0"), "ok");
  EXPECT_EQ(Field(white_.Now(), "viewer_top"), "5");
  ASSERT_EQ(white_.Command("viewer-step 60"), "ok");
  EXPECT_EQ(Field(white_.Now(), "viewer_top"), "6");
  Shoot(white_, "viewer", "viewer-white-step");
  ASSERT_EQ(white_.Command("viewer-step 100"), "ok");
  EXPECT_EQ(Field(white_.Now(), "viewer_board"), board);

  // White, on its turned board, takes the diagram into its editor and sends it on.
  ASSERT_EQ(white_.Command("diagram-open"), "ok");
  ASSERT_EQ(Field(white_.WaitFor(Shows({{"editor_visible", "1"}})), "editor_visible"), "1");
  ASSERT_EQ(white_.Command("diagram-import"), "ok");
  EXPECT_EQ(FromHex(white_.Command("diagram-data")), data);
  ASSERT_EQ(white_.Command("diagram-comment そうですね"), "ok");
  ASSERT_EQ(white_.Command("diagram-send"), "ok");
  ASSERT_TRUE(ChatHas("{ 碁盤 2 }")(black_.WaitFor(ChatHas("{ 碁盤 2 }"))));
  EXPECT_EQ(ReceivedData(black_, "2"), data);
  ASSERT_TRUE(ChatHas("{ 碁盤 2 }")(watcher_.WaitFor(ChatHas("{ 碁盤 2 }"))));
  EXPECT_EQ(ReceivedData(watcher_, "2"), data);
  EXPECT_EQ(white_.Messages(), "");
  EXPECT_EQ(black_.Messages(), "");
}
