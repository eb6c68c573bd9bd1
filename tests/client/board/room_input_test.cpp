// Tests of the analysis room's shared board: an operator's board and a member's, fed every text the
// operator sends as the server relays it, stay equal; a late member lands on the same position;
// malformed inputs change nothing; the list's capacity holds on both sides.
#include "client/board/model/room_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "protocol/tag_message.h"
#include "tests/client/board/board_test_support.h"

namespace {

// Everything of a position that the room shares; empty when equal, else the first difference.
std::string Difference(const BoardModel& a, const BoardModel& b) {
  auto differs = [](const char* what, int x, int y) {
    return std::string(what) + " " + std::to_string(x) + " / " + std::to_string(y);
  };
  if (a.BoardSize != b.BoardSize) return differs("BoardSize", a.BoardSize, b.BoardSize);
  if (a.MoveTop != b.MoveTop) return differs("MoveTop", a.MoveTop, b.MoveTop);
  if (a.SetupCount != b.SetupCount) return differs("SetupCount", a.SetupCount, b.SetupCount);
  if (a.BufferLength != b.BufferLength) {
    return differs("BufferLength", a.BufferLength, b.BufferLength);
  }
  for (int i = 1; i <= std::max(a.MoveTop, a.BufferLength); ++i) {
    if (a.MoveList[i] != b.MoveList[i]) return differs("MoveList", a.MoveList[i], b.MoveList[i]);
  }
  for (int i = 1; i <= a.SetupCount; ++i) {
    if ((a.SetupColours[i] < 2000) != (b.SetupColours[i] < 2000)) {
      return differs("SetupColours", a.SetupColours[i], b.SetupColours[i]);
    }
  }
  // The one-turn marks of empty points are the player to move's; a member learns who moves first
  // after the setup only from the first stone.
  const bool sameMover = a.BlackFirst == b.BlackFirst;
  for (int p = 0; p < kPointCount; ++p) {
    if (a.Board[p] != b.Board[p]) return differs("Board at", p, a.Board[p] - b.Board[p]);
    if (a.GroupIds[p] != b.GroupIds[p] && (sameMover || IsStone(a.Board[p]))) {
      return differs("GroupIds at", p, a.GroupIds[p]);
    }
    if (a.Liberties[p] != b.Liberties[p]) return differs("Liberties at", p, a.Liberties[p]);
    if (a.Marks[p] != b.Marks[p]) return differs("Marks at", p, a.Marks[p] - b.Marks[p]);
  }
  if (a.BlackCaptured != b.BlackCaptured || a.WhiteCaptured != b.WhiteCaptured) {
    return differs("prisoners", a.BlackCaptured * 1000 + a.WhiteCaptured,
                   b.BlackCaptured * 1000 + b.WhiteCaptured);
  }
  if (a.BufferLength > a.SetupCount && a.BlackFirst != b.BlackFirst) {
    return differs("BlackFirst", a.BlackFirst, b.BlackFirst);
  }
  return {};
}

// The stones and move number a late member must see (its list is rebuilt from the record).
std::string PositionDifference(const BoardModel& a, const BoardModel& b) {
  if (a.MoveTop != b.MoveTop)
    return "MoveTop " + std::to_string(a.MoveTop) + " / " + std::to_string(b.MoveTop);
  for (int p = 0; p < kPointCount; ++p) {
    if (a.Board[p] != b.Board[p]) return "Board at " + std::to_string(p);
  }
  if (a.BufferLength - a.MoveTop != b.BufferLength - b.MoveTop) return "moves ahead";
  return {};
}

class SilentView : public RoomInputView {};

// The operator, a member and the server between them: each text is cut as the server relays it
// and kept as the server keeps the room's record and move number for later members.
struct RoomOnServer {
  SilentView view;
  BoardModel operatorBoard, memberBoard;
  RoomBoard Operator{operatorBoard, view};
  RoomBoard Member{memberBoard, view};
  std::string RoomRecord;   // the stored "<<DiscussKifu=" part
  std::string RoomMoveSuu;  // the stored "<<MoveSuu=" tag

  bool Relay(const std::string& text) {
    if (text.empty()) return false;
    const int type = GetTagNumber(text, "<<Type=");
    const int shown = GetTagNumber(text, "<<MoveSuu=", -1);
    const bool steps = type == kRoomTakeBack || (type >= kRoomForward && type <= kRoomToStart);
    RoomMoveSuu = steps && shown >= 0 ? "<<MoveSuu=" + std::to_string(shown) + ">>" : "";
    std::string relayed = text;
    if (const std::size_t p = text.find("<<DiscussKifu="); p != std::string::npos) {
      RoomRecord = text.substr(p);
      if (!HasTag(text, "<<Type=11>>")) relayed = text.substr(0, p);
    }
    return Member.ApplyDiscussInput(relayed);
  }
  bool Send(const RoomSend& send) { return Relay(send.Text); }

  // A replay bar step of the operator with its input (types 5 to 10).
  void Replay(int type) {
    BoardModel& b = operatorBoard;
    switch (type) {
      case kRoomForward:
        b.ReplayStepForward();
        break;
      case kRoomForward10:
        b.ReplayForward10();
        break;
      case kRoomToEnd:
        b.ReplayToEnd();
        break;
      case kRoomBack:
        b.ReplayStepBack();
        break;
      case kRoomBack10:
        b.ReplayBack10();
        break;
      case kRoomToStart:
        b.ReplayToStart();
        break;
    }
    Relay("<<DiscussInput>><<Type=" + std::to_string(type) +
          ">><<MoveSuu=" + std::to_string(b.MoveTop) + ">>");
  }

  RoomSend Click(std::string_view letters, bool left = true, int mark = 0, bool space = false) {
    return Operator.PlaceDiscussInput(Pt(letters), left, mark, space);
  }

  // A member who enters now, from the stored record and move number.
  BoardModel LateMember() {
    BoardModel late;
    RoomBoard room(late, view);
    room.EnterRoom(GetTagValue(RoomRecord, "<<DiscussKifu="),
                   GetTagNumber(RoomMoveSuu, "<<MoveSuu=", -1));
    return late;
  }
};

#define EXPECT_MIRRORED(room, step)                                                \
  do {                                                                             \
    EXPECT_EQ(Difference((room).operatorBoard, (room).memberBoard), "") << (step); \
    EXPECT_EQ((room).operatorBoard.CheckConsistency(), "") << (step);              \
    EXPECT_EQ((room).memberBoard.CheckConsistency(), "") << (step);                \
  } while (0)

#define EXPECT_LATE_MEMBER_SEES_IT(room, step) \
  EXPECT_EQ(PositionDifference((room).operatorBoard, (room).LateMember()), "") << (step)

}  // namespace

TEST(RoomMirror, MemberFollowsTheOperatorThroughEveryKindOfInput) {
  RoomOnServer room;
  BoardModel& op = room.operatorBoard;

  // Stones in turn with a capture: black takes the white stone on dd.
  for (const char* at : {"dc", "dd", "cd", "pp", "ed", "pd"}) {
    ASSERT_TRUE(room.Send(room.Click(at))) << at;
    EXPECT_MIRRORED(room, at);
  }
  const RoomSend capture = room.Click("de");
  EXPECT_NE(capture.Text.find("<<Value=" + std::to_string(Pt("de")) + ">><<Type=1>>"),
            std::string::npos);
  EXPECT_TRUE(capture.WarnWhenOffline);
  ASSERT_TRUE(room.Send(capture));
  EXPECT_EQ(op.Board[Pt("dd")], kEmpty);
  EXPECT_EQ(op.WhiteCaptured, 1);
  EXPECT_MIRRORED(room, "capture");
  EXPECT_LATE_MEMBER_SEES_IT(room, "capture");
  for (const char* at : {"qd", "qp", "od", "op", "nc", "oq"}) {
    ASSERT_TRUE(room.Send(room.Click(at))) << at;
  }
  EXPECT_MIRRORED(room, "thirteen moves");

  // The replay bar moves every member; the record stays whole.
  for (const int type : {kRoomBack10, kRoomForward, kRoomBack, kRoomToStart, kRoomForward10,
                         kRoomToEnd, kRoomBack, kRoomBack}) {
    room.Replay(type);
    EXPECT_MIRRORED(room, "replay " + std::to_string(type));
    EXPECT_LATE_MEMBER_SEES_IT(room, "replay " + std::to_string(type));
  }
  EXPECT_EQ(op.MoveTop, 11);
  EXPECT_EQ(op.BufferLength, 13);

  // "<" takes the shown move out of the record.
  ASSERT_TRUE(room.Send(room.Operator.StepBackAndCut()));
  EXPECT_EQ(op.MoveTop, 10);
  EXPECT_EQ(op.BufferLength, 10);
  EXPECT_MIRRORED(room, "<");
  EXPECT_LATE_MEMBER_SEES_IT(room, "<");

  // A click on the stone of move 5 takes moves 5..10 back; they stay ahead for the replay bar.
  const RoomSend takeBack = room.Click("ed");
  EXPECT_EQ(takeBack.Text, "<<DiscussInput>><<Type=25>><<Value=6>><<MoveSuu=4>>");
  EXPECT_FALSE(takeBack.WarnWhenOffline);
  ASSERT_TRUE(room.Send(takeBack));
  EXPECT_EQ(op.BufferLength, 10);
  EXPECT_MIRRORED(room, "take-back");
  EXPECT_LATE_MEMBER_SEES_IT(room, "take-back");
  room.Replay(kRoomToEnd);
  EXPECT_EQ(op.MoveTop, 10);
  EXPECT_MIRRORED(room, "forward after the take-back");

  // A ko: black takes, and the operator may retake at once (a ko point does not stop a stone).
  room.Send(room.Operator.LoadRecord(
      "(;GM[1]FF[1]SZ[19];B[ba];W[ca];B[ab];W[bb];B[bc];W[db];B[jj];W[cc];B[cb])"));
  EXPECT_MIRRORED(room, "ko record");
  ASSERT_EQ(op.GroupIds[Pt("bb")], kKoMark);
  ASSERT_TRUE(room.Send(room.Click("bb")));
  EXPECT_EQ(op.Board[Pt("cb")], kEmpty);
  EXPECT_MIRRORED(room, "ko retaken");

  // "| <" goes back to the setup position; at the setup position it empties the board.
  ASSERT_TRUE(room.Send(room.Operator.BackToSetupAndCut()));
  EXPECT_EQ(op.MoveTop, 0);
  EXPECT_MIRRORED(room, "| < once");

  // White is to move first after the setup, chosen before it: the operator's forbidden points are
  // white's, while a member still expects black.
  room.Operator.ChooseFirstColour(false);
  EXPECT_EQ(op.CheckConsistency(), "");

  // Setup stones with marks, recoloured and removed, and marks alone.
  room.Operator.RoomInputKind = kRoomInputSetup;
  const RoomSend triangle = room.Click("cc", true, 5);
  EXPECT_NE(triangle.Text.find("<<Type=105>>"), std::string::npos);
  ASSERT_TRUE(room.Send(triangle));
  EXPECT_EQ(op.Marks[Pt("cc")], 1005);
  ASSERT_TRUE(room.Send(room.Click("dd", false)));
  ASSERT_TRUE(room.Send(room.Click("ee", false, 3)));
  ASSERT_TRUE(room.Send(room.Click("ee", true, 9)));  // white turns black, labelled "A"
  EXPECT_EQ(op.Board[Pt("ee")], kBlack);
  EXPECT_EQ(op.Marks[Pt("ee")], 1009);
  ASSERT_TRUE(room.Send(room.Click("cc", false)));  // black turns white, no mark
  ASSERT_TRUE(room.Send(room.Click("dd", false)));  // white removed
  EXPECT_EQ(op.SetupCount, 2);
  EXPECT_MIRRORED(room, "setup edits");
  // A problem for white: black on aa, white on ba, bb and ac. White's ab takes aa; for black, ab
  // would be a point without a liberty.
  ASSERT_TRUE(room.Send(room.Click("aa")));
  for (const char* at : {"ba", "bb", "ac"}) ASSERT_TRUE(room.Send(room.Click(at, false))) << at;
  EXPECT_EQ(op.SetupCount, 6);
  EXPECT_MIRRORED(room, "problem set up");
  const RoomSend mark = room.Click("qq", true, 7, true);
  EXPECT_NE(mark.Text.find("<<Type=307>>"), std::string::npos);
  ASSERT_TRUE(room.Send(mark));
  ASSERT_TRUE(room.Send(room.Click("qr", true, 2, true)));
  ASSERT_TRUE(room.Send(room.Click("qr", true, 2, true)));  // the second click removes it
  EXPECT_EQ(op.Marks[Pt("qq")], 7);
  EXPECT_EQ(op.Marks[Pt("qr")], 0);
  EXPECT_MIRRORED(room, "marks");
  EXPECT_LATE_MEMBER_SEES_IT(room, "setup");

  // White moves first and takes aa; the member learns the colour from the first stone's type.
  room.Operator.RoomInputKind = kRoomInputMoves;
  const RoomSend whiteFirst = room.Click("ab");
  EXPECT_NE(whiteFirst.Text.find("<<Type=2>>"), std::string::npos);
  ASSERT_TRUE(room.Send(whiteFirst));
  EXPECT_EQ(room.memberBoard.Board[Pt("aa")], kEmpty);
  EXPECT_EQ(room.memberBoard.BlackCaptured, 1);
  EXPECT_MIRRORED(room, "white takes aa");
  for (const char* at : {"jk", "kj", "kk", "lj", "lk"}) {
    ASSERT_TRUE(room.Send(room.Click(at))) << at;
    EXPECT_MIRRORED(room, at);
  }
  room.Replay(kRoomToStart);
  room.Replay(kRoomToEnd);
  EXPECT_MIRRORED(room, "white first, replayed");
  EXPECT_LATE_MEMBER_SEES_IT(room, "white first");

  // Setup edits do nothing while moves are shown; a mark alone still goes.
  room.Operator.RoomInputKind = kRoomInputSetup;
  EXPECT_EQ(room.Click("aa").Text, "");
  ASSERT_TRUE(room.Send(room.Click("ad", true, 1, true)));
  room.Operator.RoomInputKind = kRoomInputMoves;
  EXPECT_MIRRORED(room, "setup edit refused after moves");

  // Ctrl-click on move 3 of six while move 5 is shown: the position after it becomes the setup.
  room.Replay(kRoomBack);
  const int setupBefore = op.SetupCount;
  const RoomSend rewind = room.Operator.RewindToStone(Pt("kj"));
  EXPECT_NE(rewind.Text.find("<<Type=12>><<Value=" + std::to_string(setupBefore + 3) + ">>"),
            std::string::npos);
  ASSERT_TRUE(room.Send(rewind));
  EXPECT_EQ(op.MoveTop - op.SetupCount, 2);
  EXPECT_EQ(op.BufferLength - op.SetupCount, 3);
  EXPECT_MIRRORED(room, "Ctrl-click");
  room.Replay(kRoomToEnd);
  EXPECT_MIRRORED(room, "to the end after Ctrl-click");

  // "| <" twice: back to the setup, then an empty board.
  ASSERT_TRUE(room.Send(room.Operator.BackToSetupAndCut()));
  EXPECT_GT(op.SetupCount, 0);
  EXPECT_MIRRORED(room, "| < first");
  ASSERT_TRUE(room.Send(room.Operator.BackToSetupAndCut()));
  EXPECT_EQ(op.SetupCount, 0);
  EXPECT_EQ(op.MoveTop, 0);
  EXPECT_MIRRORED(room, "| < second");
  EXPECT_EQ(room.Operator.BackToSetupAndCut().Text, "");

  // A smaller board, and stones on it.
  const RoomSend size = room.Operator.ChangeBoardSize(13);
  EXPECT_EQ(size.Text, "<<DiscussInput>><<Type=50>><<Value=13>><<DiscussKifu=(;GM[1]FF[1]SZ[13]>>");
  ASSERT_TRUE(room.Send(size));
  for (const char* at : {"cc", "kk", "ck"}) ASSERT_TRUE(room.Send(room.Click(at)));
  EXPECT_EQ(room.memberBoard.BoardSize, 13);
  EXPECT_MIRRORED(room, "13 lines");
  EXPECT_LATE_MEMBER_SEES_IT(room, "13 lines");

  // A record from the clipboard whose text could end the value early or pass for a tag: both
  // sides read the same escaped text.
  const RoomSend load = room.Operator.LoadRecord(
      "(;GM[1]FF[1]SZ[9]HA[2]\r\nC[>> <<DiscussCanPlay>>]AB[cc][gg]\r\n;W[ee];B[ce];W[ec])");
  EXPECT_EQ(load.Text.find(">>", load.Text.find("<<DiscussKifu=")), load.Text.size() - 2);
  EXPECT_FALSE(HasTag(load.Text, "<<DiscussCanPlay>>"));
  ASSERT_TRUE(room.Send(load));
  EXPECT_EQ(op.BoardSize, 9);
  EXPECT_EQ(op.SetupCount, 2);
  EXPECT_EQ(op.MoveTop, 5);
  EXPECT_MIRRORED(room, "record from the clipboard");
  EXPECT_LATE_MEMBER_SEES_IT(room, "record from the clipboard");

  // An empty record empties every board, back to the room's 19 lines.
  ASSERT_TRUE(room.Send(room.Operator.LoadRecord("")));
  EXPECT_EQ(room.memberBoard.BufferLength, 0);
  EXPECT_EQ(room.memberBoard.BoardSize, 19);
  EXPECT_MIRRORED(room, "empty record");
}

TEST(RoomSize, EveryBoardTakesTheSizeOfTheRecordAndNineteenWithoutOne) {
  struct Case {
    const char* record;
    int before;  // the size the board had (a member's last game)
    int size;
  } cases[] = {
      {"", 9, 19},
      {"(;GM[1]FF[1];B[cc])", 13, 19},
      {"(;GM[1]FF[1]SZ[7];B[cc])", 9, 19},
      {"(;GM[1]FF[1]SZ[13];B[cc])", 19, 13},
      {"(;GM[1]FF[1]SZ[9];B[cc])", 13, 9},
      {"(;GM[1]FF[1]SZ[9];B[cc])", 9, 9},
  };
  SilentView view;
  for (const auto& c : cases) {
    // Entering the room, and a record loaded while in it.
    BoardModel entering, loading;
    entering.SetBoardSize(c.before);
    loading.SetBoardSize(c.before);
    RoomBoard(entering, view).EnterRoom(c.record, -1);
    EXPECT_EQ(entering.BoardSize, c.size) << c.record << " after " << c.before;
    EXPECT_EQ(entering.CheckConsistency(), "") << c.record;
    const std::string input =
        "<<DiscussInput>><<Type=11>><<DiscussKifu=" + std::string(c.record) + ">>";
    EXPECT_TRUE(RoomBoard(loading, view).ApplyDiscussInput(input)) << c.record;
    EXPECT_EQ(Difference(entering, loading), "") << c.record;
  }
}

TEST(RoomMirror, ClicksThatChangeNothingSendNothing) {
  RoomOnServer room;
  BoardModel& op = room.operatorBoard;
  SetUpPosition(op, 19, {".O", "O", "..X"});  // aa, between white stones, is forbidden to black
  room.memberBoard = op;
  ASSERT_EQ(op.GroupIds[Pt("aa")], kForbiddenMark);
  struct Case {
    const char* what;
    int kind;
    int point;
    bool left;
    int mark;
    bool space;
  } cases[] = {
      {"a forbidden point", kRoomInputMoves, Pt("aa"), true, 0, false},
      {"a setup stone in moves input", kRoomInputMoves, Pt("cc"), true, 0, false},
      {"the ring", kRoomInputMoves, 0, true, 0, false},
      {"the ring in setup input", kRoomInputSetup, 20, true, 3, false},
      {"past the grid", kRoomInputSetup, 441, true, 3, false},
      {"a mark with none selected", kRoomInputSetup, Pt("jj"), true, 0, true},
      {"a mark on a stone", kRoomInputSetup, Pt("cc"), true, 3, true},
  };
  for (const auto& c : cases) {
    room.Operator.RoomInputKind = c.kind;
    const BoardModel before = op;
    EXPECT_EQ(room.Operator.PlaceDiscussInput(c.point, c.left, c.mark, c.space).Text, "") << c.what;
    EXPECT_EQ(Difference(before, op), "") << c.what;
  }
}

TEST(RoomMember, MalformedInputsChangeNothing) {
  // A member with setup stones, moves and a capture, shown one move back.
  SilentView view;
  BoardModel board;
  RoomBoard member(board, view);
  member.ApplyDiscussInput(
      "<<DiscussInput>><<Type=11>><<DiscussKifu=(;SZ[19]AB[aa][pp]AW[qq];"
      "B[dc];W[dd];B[cd];W[pd];B[ed];W[pc];B[de];W[ab])>>");
  member.ApplyDiscussInput("<<DiscussInput>><<Type=8>><<MoveSuu=10>>");
  ASSERT_EQ(board.MoveTop, 10);
  ASSERT_EQ(board.Board[Pt("dd")], kEmpty);  // captured by move 9 (de)
  const std::string moveOf = [&] {
    for (int i = 1; i <= board.MoveTop; ++i) {
      if (board.MoveList[i] == Pt("dd")) return std::to_string(i);
    }
    return std::string("0");
  }();
  const std::string cc = std::to_string(Pt("cc"));

  const char* cases[] = {
      "<<DiscussInput>>",
      "<<DiscussInput>><<Type=0>><<Value="
      "100"
      ">>",
      "<<DiscussInput>><<Type=abc>>",
      "<<DiscussInput>><<Type=-1>><<Value=100>>",
      "<<DiscussInput>><<Type=13>>",
      "<<DiscussInput>><<Type=400>><<Value=100>>",
      "<<DiscussInput>><<Type=99999999999999999999>><<Value=100>>",
      // Stones: no point, not a number, the ring, past the grid, an occupied point.
      "<<DiscussInput>><<Type=1>>",
      "<<DiscussInput>><<Type=1>><<Value=>>",
      "<<DiscussInput>><<Type=1>><<Value=abc>>",
      "<<DiscussInput>><<Type=2>><<Value=0>>",
      "<<DiscussInput>><<Type=1>><<Value=20>>",
      "<<DiscussInput>><<Type=1>><<Value=441>>",
      "<<DiscussInput>><<Type=1>><<Value=-22>>",
      "<<DiscussInput>><<Type=1>><<Value=4294967318>>",
      "<<DiscussInput>><<Type=2>><<Value=22>>",
      // A present value off the board voids any input but 12, 25 and 50.
      "<<DiscussInput>><<Type=5>><<Value=999>>",
      "<<DiscussInput>><<Type=3>><<Value=0>>",
      // Ctrl-click: the setup, beyond the shown move, negative, huge, a captured stone.
      "<<DiscussInput>><<Type=12>><<Value=3>>",
      "<<DiscussInput>><<Type=12>><<Value=11>>",
      "<<DiscussInput>><<Type=12>><<Value=-4>>",
      "<<DiscussInput>><<Type=12>><<Value=2147483647>>",
      "<<DiscussInput>><<Type=12>>",
      // Take-backs of no steps.
      "<<DiscussInput>><<Type=25>><<Value=0>>",
      "<<DiscussInput>><<Type=25>><<Value=-3>>",
      "<<DiscussInput>><<Type=25>>",
      // Sizes: none, the current one, no size at all.
      "<<DiscussInput>><<Type=50>>",
      "<<DiscussInput>><<Type=50>><<Value=19>>",
      "<<DiscussInput>><<Type=50>><<Value=7>>",
      "<<DiscussInput>><<Type=50>><<Value=-13>>",
      "<<DiscussInput>><<Type=50>><<Value=99999>>",
      // Setup edits while moves are shown, and marks on stones or off the board.
      "<<DiscussInput>><<Type=105>><<Value="
      ""
      ">>",
      "<<DiscussInput>><<Type=299>><<Value=22>>",
      "<<DiscussInput>><<Type=305>><<Value=22>>",
      "<<DiscussInput>><<Type=399>><<Value=500>>",
  };
  for (const char* message : cases) {
    const BoardModel before = board;
    EXPECT_FALSE(member.ApplyDiscussInput(message)) << message;
    EXPECT_EQ(Difference(before, board), "") << message;
  }
  // Values that would be good for another state.
  for (const std::string& message :
       {"<<DiscussInput>><<Type=12>><<Value=" + moveOf + ">>",
        "<<DiscussInput>><<Type=100>><<Value=" + cc + ">>",
        "<<DiscussInput>><<Type=150>><<Value=" + std::to_string(Pt("aa")) + ">>"}) {
    const BoardModel before = board;
    EXPECT_FALSE(member.ApplyDiscussInput(message)) << message;
    EXPECT_EQ(Difference(before, board), "") << message;
  }

  // At the setup position: recolouring to the colour a stone has, or a point without a setup
  // stone, does nothing.
  member.ApplyDiscussInput("<<DiscussInput>><<Type=10>><<MoveSuu=3>>");
  ASSERT_EQ(board.MoveTop, board.SetupCount);
  for (const std::string& message :
       {"<<DiscussInput>><<Type=150>><<Value=" + std::to_string(Pt("aa")) + ">>",
        "<<DiscussInput>><<Type=250>><<Value=" + std::to_string(Pt("qq")) + ">>",
        "<<DiscussInput>><<Type=150>><<Value=" + cc + ">>",
        "<<DiscussInput>><<Type=199>><<Value=" + cc + ">>",
        "<<DiscussInput>><<Type=200>><<Value=" + std::to_string(Pt("pp")) + ">>"}) {
    const BoardModel before = board;
    EXPECT_FALSE(member.ApplyDiscussInput(message)) << message;
    EXPECT_EQ(Difference(before, board), "") << message;
  }
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(RoomMember, TakeBackStopsAtTheSetupAndTypeFourEmptiesTheSetup) {
  SilentView view;
  BoardModel board;
  RoomBoard member(board, view);
  member.ApplyDiscussInput(
      "<<DiscussInput>><<Type=11>><<DiscussKifu=(;SZ[19]AB[aa][pp];B[dc];"
      "W[dd];B[cd])>>");
  ASSERT_EQ(board.MoveTop, 5);
  EXPECT_TRUE(member.ApplyDiscussInput("<<DiscussInput>><<Type=25>><<Value=2000000000>>"));
  EXPECT_EQ(board.MoveTop, 2);
  EXPECT_EQ(board.BufferLength, 5);
  EXPECT_EQ(member.AtStartFlag, 1);
  EXPECT_TRUE(member.ApplyDiscussInput("<<DiscussInput>><<Type=4>>"));
  EXPECT_EQ(board.MoveTop, 0);
  EXPECT_EQ(board.Board[Pt("aa")], kEmpty);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(RoomCapacity, TheFullListRefusesAStoneOnBothSides) {
  RoomOnServer room;
  // A record of 499 entries: two stones and passes.
  std::string record = "(;SZ[19];B[aa];W[bb]";
  for (int i = 0; i < 497; ++i) record += ";B[tt]";
  record += ")";
  room.Send(room.Operator.LoadRecord(record));
  ASSERT_EQ(room.operatorBoard.MoveTop, 499);
  EXPECT_MIRRORED(room, "499 entries");
  ASSERT_TRUE(room.Send(room.Click("cc")));
  EXPECT_EQ(room.memberBoard.MoveTop, kMoveListCapacity);

  const RoomSend refused = room.Click("dd");
  EXPECT_TRUE(refused.ListFull);
  EXPECT_EQ(refused.Text, "");
  EXPECT_FALSE(room.Member.ApplyDiscussInput("<<DiscussInput>><<Value=" + std::to_string(Pt("dd")) +
                                             ">><<Type=1>>"));
  room.Operator.RoomInputKind = kRoomInputSetup;
  EXPECT_EQ(room.Click("ee").Text, "");
  EXPECT_MIRRORED(room, "full");
}
