// Tests of the board window watching a game, among the client's windows on a scripted
// connection: the snapshot through the reader, relayed moves, passes and undo while the watcher
// looks back, the full watch buffer, the replay bar by mode, and the room's marks under stones.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

#include "bench/sample_game.h"
#include "client/board/board_window.h"
#include "client/board/model/record_text.h"
#include "client/board/picture_button.h"
#include "client/connection/game_chat_window.h"
#include "platform/cp932.h"
#include "platform/qt_text.h"
#include "platform/status_bar.h"
#include "tests/client/connection/client_windows_fixture.h"

namespace {

int P(const char* letters) { return LettersToPoint(letters[0], letters[1], 19); }

// The record the server keeps of a game: its header, then one entry per move.
std::string ServerRecord(const std::vector<int>& moves,
                         const std::string& header =
                             "(;SZ[19]PB[Jiro]PW[Saburo]BT[1800]WT[1200]"
                             "AM[10]KM[6.5]HA[2]AB[dp][pd]/<SiroSaki>/") {
  std::string record = header;
  for (const int point : moves) record += ";" + PointEntry(point);
  return record;
}

// The snapshot of game 2 as the server writes it.
struct Snapshot {
  std::string chat = J("[ Jiro ]：よろしく\r\n");
  std::string record = ServerRecord({P("qq"), P("dd")});
  std::string names = "Taro\n";
  std::string diagrams;
  std::string black_clock = "1750";
  std::string white_clock = "1185";
  std::string Text() const {
    return "<<WatchGame=2>><<AllMese=" + chat + ">><<AllGameData=" + record +
           ">><<KuroTime=" + black_clock + ">><<SiroTime=" + white_clock +
           ">><<WatchCount=1>><<WatchList=" + names +
           ">><<WaitHint=[2]>><<GameIndex=2>><<DiaStr=" + diagrams + ">><<DraumEND>>";
  }
};

std::string Panel(int n) { return Form4->StatusBar1->PanelText(n); }
std::string MemoText(const QLineEdit* memo) { return FromQt(memo->text()); }

// Fields of the replay bar, by their left edges.
constexpr int kToStart = 0, kBack10 = 28, kBack = 56, kForward = 84, kToEnd = 140;

class WatchWindowTest : public ClientWindowsTest {
 protected:
  void SetUp() override { StartAndLogIn("Taro"); }
  void Watch(const Snapshot& snapshot = Snapshot()) {
    socket_.Deliver(snapshot.Text());
    Sent();
  }
  // A relayed move of the watched game with the clocks after it.
  void Relay(int point, const std::string& black = "1700", const std::string& white = "1100") {
    socket_.Deliver("<<Move=" + std::to_string(point) + ">><<KuroTime=" + black +
                    ">><<SiroTime=" + white + ">>");
  }
  static void Bar(int x) { Form4->Image11->OnMouseDown(Qt::LeftButton, x + 3, 10); }
};

// The board surface's square around a point.
QImage SquareAround(int point) {
  const int x = Form4->PointToPixelX(point), y = Form4->PointToPixelY(point);
  return Form4->BoardSurface().copy(x - 21, y - 21, 43, 43);
}

// Pixels of the square drawn in the blue ink of marks on empty points.
int BlueInk(const QImage& square) {
  int count = 0;
  for (int y = 0; y < square.height(); ++y) {
    for (int x = 0; x < square.width(); ++x) {
      const QColor c = square.pixelColor(x, y);
      if (c.blue() > 180 && c.red() < 90 && c.green() < 90) ++count;
    }
  }
  return count;
}

// The room's repaint draws something on the point that a repaint without marks does not.
bool MarkShownAt(int point) {
  Form4->BoardMode = kBoardIdle;
  Form4->FormPaint();
  const QImage bare = SquareAround(point);
  Form4->BoardMode = kBoardRoom;
  Form4->FormPaint();
  return SquareAround(point) != bare;
}

}  // namespace

TEST_F(WatchWindowTest, TheSnapshotShowsTheGameItsConditionsClocksWatchersChatAndDiagrams) {
  Snapshot s;
  s.chat = J("[ Jiro ]：よろしく\r\n[ Saburo ]：見て\r\n") + J("{ 碁盤 7 }") + "\r\n\r\n";
  s.names = "Taro\nHanako\n";
  s.diagrams = "{7}<<DiaData=(;SZ[9]AB[ee])>>";
  Watch(s);
  EXPECT_EQ(Form4->BoardMode, kBoardWatching);
  EXPECT_TRUE(Form4->isVisible());
  EXPECT_EQ(Form4->Caption(), J("[ Taro ]   対局 2   ヌルカ - 観戦"));
  EXPECT_EQ(FromQt(Form5->windowTitle()), J("[ Taro ]   対局 2   ヌルカ - チャット"));
  EXPECT_EQ(Form5->ChatLogText(), s.chat);
  EXPECT_EQ(Panel(4), J("二子局 ( コミ = 6.5 )  黒30分/白20分 (+10秒)"));
  EXPECT_EQ(Form4->RecordTimeText, "TM[1800/1200]");
  EXPECT_EQ(MemoText(Form4->Memo2), "0:29:10");
  EXPECT_EQ(MemoText(Form4->Memo5), "0:19:45");
  EXPECT_EQ(Form4->StatusBar1->Hint(), "Taro\nHanako\n");
  EXPECT_EQ(MemoText(Form4->Memo1), "Jiro");
  EXPECT_EQ(Form4->SetupCount, 2);
  EXPECT_FALSE(Form4->BlackFirst);
  EXPECT_EQ(Form4->MoveTop, 4);
  EXPECT_EQ(Panel(0), J("4手の棋譜データがあります"));
  EXPECT_EQ(Form4->GameTag, "<<GameIndex=2>>");
  EXPECT_EQ(Form4->DiagramStore, s.diagrams);
  EXPECT_TRUE(Form4->Image11->isVisibleTo(Form4));
  EXPECT_TRUE(Form4->Image17->isVisibleTo(Form4));
  for (const QWidget* hidden : {Form4->Image12, Form4->Image14, Form4->Image18, Form4->Image19}) {
    EXPECT_FALSE(hidden->isVisibleTo(Form4));
  }

  // Leaving returns to the lobby and tells the server which game.
  prompts_.QueueAnswer(true);
  Form4->Image17->OnClick();
  EXPECT_EQ(Form4->BoardMode, kBoardIdle);
  EXPECT_FALSE(Form4->isVisible());
  EXPECT_EQ(Sent(), std::vector<std::string>{"<<OffWatchGame>><<GameIndex=2>>"});
}

// The server reports a clock of 0 until the player's first move; a game with a main time shows
// that main time meanwhile, one without shows the report.
TEST_F(WatchWindowTest, BeforeAPlayersFirstMoveTheWatcherSeesHisMainTime) {
  struct Case {
    const char* header;
    std::vector<int> moves;
    const char* black;  // memos after the snapshot
    const char* white;
  } cases[] = {
      {"(;SZ[19]PB[Jiro]PW[Saburo]BT[1800]WT[1200]AM[10]KM[6.5]HA[0]", {}, "0:30:00", "0:20:00"},
      // A start position with moves of its own: white is to move first.
      {"(;SZ[19]PB[Jiro]PW[Saburo]BT[600]WT[600]AM[]KM[6.5]HA[2]/<SiroSaki>//<SiroTurn>/"
       "AB[dd][pp];[pd];[dp]",
       {},
       "0:10:00",
       "0:10:00"},
      {"(;SZ[19]PB[Jiro]PW[Saburo]BT[0]WT[0]AM[]KM[6.5]HA[0]", {}, "0:0:00", "0:0:00"},
  };
  for (const Case& c : cases) {
    Snapshot s;
    s.record = ServerRecord(c.moves, c.header);
    s.black_clock = s.white_clock = "0";
    Watch(s);
    EXPECT_EQ(MemoText(Form4->Memo2), c.black) << c.header;
    EXPECT_EQ(MemoText(Form4->Memo5), c.white) << c.header;
    Form4->BoardMode = kBoardIdle;
  }
  // The first game again: black moves, white has not yet; then white moves.
  Snapshot s;
  s.record = ServerRecord({}, cases[0].header);
  s.black_clock = s.white_clock = "0";
  Watch(s);
  Relay(P("pd"), "1795", "0");
  EXPECT_EQ(MemoText(Form4->Memo2), "0:29:55");
  EXPECT_EQ(MemoText(Form4->Memo5), "0:20:00");
  Relay(P("dp"), "1795", "1190");
  EXPECT_EQ(MemoText(Form4->Memo5), "0:19:50");
}

// Text of records and tags in the chat, the watchers' names or the diagrams changes nothing.
TEST_F(WatchWindowTest, RecordAndTagTextOutsideTheRecordLeavesTheGameAlone) {
  const std::string hostile[] = {
      ";[aa];[bb];[cc]", "SZ[9]",      "KM[99]HA[9]BT[60]",           "/<SiroSaki>/",
      "<<GameIndex=5",   "<<DiaStr=x", "<<AllGameData=(;SZ[13];[aa]", J("ソ]ゾ[;") + "SZ[9]",
  };
  for (const std::string& text : hostile) {
    Snapshot s;
    s.record =
        ServerRecord({P("qq"), P("dd")}, "(;SZ[13]PB[a]PW[b]BT[600]WT[600]AM[0]KM[0.5]HA[0]");
    s.chat = "[ eve ]" + text + "\r\n";
    s.names = "eve" + text + "\nann\n";
    s.diagrams = "{3}<<DiaData=" + text + ">>";
    Form4->BoardMode = kBoardIdle;
    Watch(s);
    EXPECT_EQ(Form4->BoardSize, 13) << text;
    EXPECT_EQ(Form4->BufferLength, 2) << text;
    EXPECT_EQ(Panel(4), J("互先 ( コミ = 0.5 )  持ち時間 = 10 分")) << text;
    EXPECT_EQ(Form4->GameTag, "<<GameIndex=2>>") << text;
    EXPECT_EQ(Form5->ChatLogText(), s.chat) << text;
    EXPECT_EQ(Form4->DiagramStore, s.diagrams) << text;
    EXPECT_EQ(Messages(), std::vector<std::string>{}) << text;
  }
}

TEST_F(WatchWindowTest, AMoveWhileLookingBackIsKeptAndShownOnReturn) {
  const std::vector<int>& game = SampleGameMoves();
  Snapshot s;
  s.record = ServerRecord(std::vector<int>(game.begin(), game.begin() + 120), "(;SZ[19]HA[0]");
  Watch(s);
  ASSERT_EQ(Form4->MoveTop, 120);
  for (int i = 0; i < 7; ++i) Bar(kBack10);
  ASSERT_EQ(Form4->MoveTop, 50);
  const PointArray at50 = Form4->Board;

  Relay(game[120]);
  EXPECT_EQ(Form4->BufferLength, 121);
  EXPECT_EQ(Form4->MoveTop, 50);
  EXPECT_EQ(Form4->Board, at50);
  EXPECT_EQ(Panel(0), J("121手の棋譜データがあります"));
  EXPECT_EQ(MemoText(Form4->Memo2), "0:28:20");
  EXPECT_EQ(MemoText(Form4->Memo5), "0:18:20");
  // An undo while looking back takes the newest move off the buffer only.
  socket_.Deliver("<<Move=>><<MoveBack>><<GameIndex=2>>");
  EXPECT_EQ(Form4->BufferLength, 120);
  EXPECT_EQ(Form4->MoveTop, 50);
  Relay(game[120]);
  Bar(kToEnd);
  EXPECT_EQ(Form4->MoveTop, 121);

  BoardModel reference;
  LoadSampleGame(reference);
  reference.BufferLength = 122;
  reference.PositionFromRecord();
  // At the newest move a relayed move is shown at once; a pass keeps the clock it has no number
  // for.
  Relay(game[121], "1650", "1090");
  EXPECT_EQ(Form4->MoveTop, 122);
  EXPECT_EQ(Form4->Board, reference.Board);
  Relay(0, "", "1085");
  EXPECT_EQ(Form4->MoveTop, 123);
  EXPECT_EQ(Form4->MoveList[123], 0);
  EXPECT_EQ(MemoText(Form4->Memo2), "0:27:30");
  EXPECT_EQ(MemoText(Form4->Memo5), "0:18:05");
  EXPECT_EQ(Form4->CheckConsistency(), "");

  // An occupied point at the newest move, and a number off the board, are refused.
  int occupied = 0;
  for (int p = 0; p < kPointCount && occupied == 0; ++p) {
    if (IsStone(Form4->Board[p])) occupied = p;
  }
  Relay(occupied);
  Relay(460);
  Relay(MakePoint(20, 3));
  EXPECT_EQ(Form4->BufferLength, 123);
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            J("無効な着手を受信しました！") + std::to_string(occupied),
                            J("無効な着手を受信しました！460"),
                            J("無効な着手を受信しました！") + std::to_string(MakePoint(20, 3))}));
}

TEST_F(WatchWindowTest, AFullBufferKeepsNoMoreMovesAndSaysSoOnceWhileTheClocksGoOn) {
  Snapshot s;
  s.record = ServerRecord(std::vector<int>(kMoveListCapacity, 0), "(;SZ[19]");
  Watch(s);
  ASSERT_EQ(Form4->BufferLength, kMoveListCapacity);
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  Relay(P("dd"), "900", "800");
  Relay(0, "890", "790");
  EXPECT_EQ(Form4->BufferLength, kMoveListCapacity);
  EXPECT_EQ(Form4->Board[P("dd")], kEmpty);
  EXPECT_EQ(MemoText(Form4->Memo2), "0:14:50");
  EXPECT_EQ(MemoText(Form4->Memo5), "0:13:10");
  EXPECT_EQ(Messages(), std::vector<std::string>{
                            J("手数が上限に達したため、これ以降の着手は記録されません。")});
}

TEST_F(WatchWindowTest, TheReplayBarByModeAndTheRoomInputItSends) {
  const std::string record = "(;SZ[9];B[cc];W[gg];B[ee])";
  struct Case {
    int mode;
    int input;
    int top;  // after one step back from the end
    std::vector<std::string> messages;
    std::vector<std::string> sent;
  } cases[] = {
      {kBoardIdle, 0, 2, {}, {}},
      {kBoardWatching, 0, 2, {}, {}},
      {kBoardOwnGame, 1, 3, {}, {}},
      {kBoardRoom, 0, 3, {J("今 は 操 作 で き ま せ ん")}, {}},
      {kBoardRoom, 1, 2, {}, {"<<DiscussInput>><<Type=8>><<MoveSuu=2>>"}},
  };
  for (const auto& c : cases) {
    Form4->BoardMode = kBoardIdle;
    Form4->OpenRecordText(record);
    ASSERT_EQ(Form4->MoveTop, 3);
    Form4->BoardMode = c.mode;
    Form4->InputAllowed = c.input;
    Form4->IdleSeconds = 9;
    Bar(kBack);
    EXPECT_EQ(Form4->MoveTop, c.top) << c.mode;
    EXPECT_EQ(Messages(), c.messages) << c.mode;
    EXPECT_EQ(Sent(), c.sent) << c.mode;
    EXPECT_EQ(Form4->IdleSeconds, c.top == 2 ? 0 : 9) << c.mode;
  }
  // The operator's other steps, each with its type and the entry shown after it.
  Bar(kToStart);
  Bar(kForward);
  Bar(kToEnd);
  Bar(kBack10);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"<<DiscussInput>><<Type=10>><<MoveSuu=0>>",
                                              "<<DiscussInput>><<Type=5>><<MoveSuu=1>>",
                                              "<<DiscussInput>><<Type=7>><<MoveSuu=3>>",
                                              "<<DiscussInput>><<Type=9>><<MoveSuu=0>>"}));
  Form4->BoardMode = kBoardIdle;
}

// A mark set on an empty point hides under the stone played there and shows again when the
// stone is taken back.
TEST_F(WatchWindowTest, ARoomMarkHidesUnderALaterStoneAndShowsAgainAfterSteppingBack) {
  Form4->BoardMode = kBoardRoom;
  Form4->InputAllowed = 1;
  Form4->LoadKifuText("(;SZ[9]AB[aa]CR[ee];B[gg];W[ee])");
  ASSERT_EQ(Form4->MoveTop, 3);
  ASSERT_EQ(Form4->Marks[LettersToPoint('e', 'e', 9)], 3);
  const int marked = LettersToPoint('e', 'e', 9);
  EXPECT_FALSE(MarkShownAt(marked));
  Bar(kBack);
  EXPECT_TRUE(MarkShownAt(marked));
  EXPECT_GT(BlueInk(SquareAround(marked)), 10);
  Bar(kForward);
  EXPECT_FALSE(MarkShownAt(marked));
  Bar(kToStart);
  EXPECT_TRUE(MarkShownAt(marked));
  Form4->BoardMode = kBoardIdle;
  Form4->InputAllowed = 0;
}
