// Tests of the record letters, the record writer, the loose and strict readers and komi texts.
#include "client/board/model/record_text.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/cp932.h"
#include "tests/client/board/board_test_support.h"

namespace {

RecordHeader Header() {
  RecordHeader header;
  header.BlackName = "black";
  header.WhiteName = "white";
  header.DateText = "2026/12/09";
  header.TimeText = "9:05:07";
  return header;
}

// The four corner handicap stones of 19 lines, as setup entries dd, pd, dp, pp.
const std::vector<std::string> kFourStones = {
    "", "", "", "...X...........X", "", "", "", "", "", "", "", "", "", "", "", "...X...........X",
};

std::string Moves(const BoardModel& board) {
  std::string out;
  for (int i = board.SetupCount + 1; i <= board.BufferLength; ++i) {
    out += PointEntry(board.MoveList[i]);
  }
  return out;
}

}  // namespace

TEST(RecordLetters, LettersToPointChecksColumnAndRowAgainstTheSize) {
  struct Case {
    const char* letters;
    int size;
    int point;
  } cases[] = {
      {"aa", 19, 22},
      {"ss", 19, 418},
      {"tt", 19, 0},
      {"tt", 9, 0},
      {"at", 19, 0},
      {"ta", 19, 0},
      {"ii", 9, 198},
      {"aj", 9, 0},  // row 10 of a 9-line board is no point
      {"ja", 9, 0},
      {"mm", 13, 286},
      {"nm", 13, 0},
      {"Aa", 19, 0},
      {"a`", 19, 0},
      {"\x81"
       "a",
       19, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LettersToPoint(c.letters[0], c.letters[1], c.size), c.point) << c.letters;
  }
  EXPECT_EQ(PointEntry(0), "[tt]");
  EXPECT_EQ(PointEntry(22), "[aa]");
  EXPECT_EQ(PointEntry(MakePoint(16, 4)), "[pd]");
  EXPECT_EQ(PointEntry(-1), "[tt]");
}

TEST(RecordWriter, EmptyBoardIsOnlyTheRoot) {
  BoardModel board;
  EXPECT_EQ(WriteSgfRecord(board, Header()), "(;GM[1]FF[1]SZ[19])");
  board.BlackFirst = false;  // even with white first: nothing after the closing bracket
  EXPECT_EQ(WriteSgfRecord(board, Header()), "(;GM[1]FF[1]SZ[19])");
}

TEST(RecordWriter, TwoMovesWithTimes) {
  BoardModel board;
  board.SetBoardSize(9);
  PlayInTurn(board, "ee");
  board.MoveTimes[1] = 5 * 100000 + 895;
  PlayInTurn(board, "cc");
  board.MoveTimes[2] = 10 * 100000 + 890;
  RecordHeader header = Header();
  header.RecordTimeText = "TM[900]";
  EXPECT_EQ(WriteSgfRecord(board, header),
            "(;GM[1]FF[1]SZ[9]\r\nPB[black]\r\nPW[white]\r\nDT[2026/12/09 - 9:05:07]TM[900]"
            "\r\nHA[0]\r\n;B[ee]BL[895]TL[5,0]\r\n;W[cc]WL[890]TL[10,0]\r\n)");
}

TEST(RecordWriter, HandicapWithWhiteFirstAndNoMove) {
  BoardModel board;
  SetUpPosition(board, 19, kFourStones, /*blackFirst=*/false);
  EXPECT_EQ(WriteSgfRecord(board, Header()),
            "(;GM[1]FF[1]SZ[19]NE[W]\r\nPB[black]\r\nPW[white]\r\nDT[2026/12/09 - 9:05:07]"
            "\r\nHA[4]\r\nAB[pp][dp][pd][dd])/<SiroSaki>/");
}

TEST(RecordWriter, PassesUntimedMovesAndAnEvenGameWithBlackFirst) {
  BoardModel board;
  board.SetBoardSize(13);
  for (const char* move : {"dd", "tt", "jj"}) PlayInTurn(board, move);
  RecordHeader header = Header();
  header.ConditionsText = J("定先 ( コミ = 0 )");
  EXPECT_EQ(WriteSgfRecord(board, header),
            "(;GM[1]FF[1]SZ[13]\r\nPB[black]\r\nPW[white]\r\nDT[2026/12/09 - 9:05:07]"
            "\r\nHA[1]\r\n;B[dd]\r\n;W[tt]\r\n;B[jj]\r\n)");
}

TEST(RecordWriter, OnlyTheMovesUpToTheShownOneAreWritten) {
  BoardModel board;
  board.SetBoardSize(19);
  for (int i = 0; i < 80; ++i)
    board.AppendToBuffer(i % 7 == 6 ? 0 : MakePoint(1 + i % 19, 1 + i / 19));
  board.PositionFromRecord();
  while (board.MoveTop > 30) board.ReplayStepBack();
  const std::string record = WriteSgfRecord(board, Header());
  int nodes = 0;
  for (std::size_t pos = 0; (pos = record.find("\r\n;", pos)) != std::string::npos; ++pos) ++nodes;
  EXPECT_EQ(nodes, 30);
  EXPECT_EQ(board.BufferLength, 80);
}

TEST(RecordWriter, MarksFollowTheSetupInPropertyOrder) {
  BoardModel board;
  SetUpPosition(board, 19, {"X"});   // one black setup stone on "aa"
  board.Marks[Pt("aa")] = 1000 + 5;  // triangle on the black stone
  board.Marks[Pt("pd")] = 1;         // square on an empty point
  board.Marks[Pt("dd")] = 1;
  board.Marks[Pt("qq")] = 9;   // label A
  board.Marks[Pt("cc")] = 15;  // label G
  board.Marks[Pt("ee")] = 8;   // no property
  board.Marks[Pt("ff")] = 16;  // no property
  EXPECT_EQ(WriteSgfMarks(board), "\r\nSQ[dd][pd]\r\nTR[aa]\r\nLB[cc:G][qq:A]");
  const std::string record = WriteSgfRecord(board, Header());
  EXPECT_NE(record.find("\r\nAB[aa]\r\nSQ[dd][pd]\r\nTR[aa]\r\nLB[cc:G][qq:A])"),
            std::string::npos);

  BoardModel noSetup;
  PlayInTurn(noSetup, "dd");
  noSetup.Marks[Pt("pd")] = 1;
  EXPECT_EQ(WriteSgfRecord(noSetup, Header()).find("SQ["), std::string::npos);
}

TEST(RecordRoundTrip, WrittenRecordsReadBackByteForByte) {
  struct Case {
    const char* name;
    int size;
    std::vector<std::string> setup;
    bool blackFirst;
    std::vector<const char*> moves;
  } cases[] = {
      {"even game with passes", 9, {}, true, {"ee", "cc", "tt", "gg", "tt"}},
      {"handicap, white first, captures",
       19,
       kFourStones,
       false,
       {"dc", "qq", "cd", "qr", "ed", "tt", "de"}},
      {"setup of both colours, black first", 13, {"X.O", ".X.", "O.X"}, true, {"ee", "ff"}},
      {"setup only, white first", 9, {"X..O"}, false, {}},
  };
  for (const auto& c : cases) {
    BoardModel board;
    if (c.setup.empty()) {
      board.SetBoardSize(c.size);
      board.BlackFirst = c.blackFirst;
    } else {
      SetUpPosition(board, c.size, c.setup, c.blackFirst);
      board.Marks[Pt("aa")] = board.Board[Pt("aa")] * 1000 + 3;  // a mark takes the point's colour
      board.Marks[Pt("hh")] = 12;
    }
    for (const char* move : c.moves) ASSERT_EQ(PlayInTurn(board, move), PlaceOutcome::kPlaced);
    const std::string written = WriteSgfRecord(board, Header());

    // The readers keep the order of the text and the writer lists setup stones from the last to
    // the first, so a record with setup stones is byte for byte itself again after two trips.
    BoardModel loose, looseAgain;
    const KifuTextResult result = LoadKifuText(loose, written);
    EXPECT_TRUE(result.Read);
    EXPECT_FALSE(result.Truncated);
    EXPECT_EQ(result.Names.Black, "black");
    EXPECT_EQ(result.Names.White, "white");
    EXPECT_EQ(loose.Board, board.Board) << c.name;
    EXPECT_EQ(loose.Marks, board.Marks) << c.name;
    EXPECT_EQ(loose.CheckConsistency(), "") << c.name;
    const std::string once = WriteSgfRecord(loose, Header());
    if (c.setup.empty()) {
      EXPECT_EQ(once, written) << c.name;
    }
    LoadKifuText(looseAgain, once);
    EXPECT_EQ(WriteSgfRecord(looseAgain, Header()), written) << c.name;

    // The strict reader drops passes at the end of the record; otherwise the same.
    while (board.MoveTop > board.SetupCount && board.MoveList[board.MoveTop] == 0) {
      board.ReplayStepBack();
    }
    std::string text = written;
    for (int trip = 0; trip < 2; ++trip) {
      BoardModel strict;
      strict.SetBoardSize(c.size == 19 ? 9 : 19);  // the record's size is taken over
      const RecordHeaderResult header = ParseRecordHeader(strict, text);
      ParseRecordMoves(strict, text);
      strict.PositionFromRecord();
      EXPECT_TRUE(header.SizeChanged);
      EXPECT_EQ(header.Names.Black, "black");
      EXPECT_EQ(strict.BlackFirst, c.blackFirst) << c.name;
      EXPECT_EQ(strict.Board, board.Board) << c.name;
      EXPECT_EQ(strict.CheckConsistency(), "") << c.name;
      text = WriteSgfRecord(strict, Header());
    }
    EXPECT_EQ(text, WriteSgfRecord(board, Header())) << c.name;
  }
}

TEST(LooseReader, FirstBracketAfterEverySemicolonIsAMove) {
  BoardModel board;
  LoadKifuText(board, "(;GM[1]SZ[19];B[pd];C[comment];W[];B[tt]\n;W[dp]N[x];B[qq])");
  // ";C[comment]" reads the letters "co"; "[]" and a node without a bracket value are skipped.
  EXPECT_EQ(Moves(board), "[pd][co][tt][dp][qq]");
  EXPECT_EQ(board.MoveTop, 5);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(LooseReader, StartPositionWithMarkersSetupAndMoves) {
  BoardModel board;
  const std::string start = "(;/<SiroSaki>//<SiroTurn>/AB[cc][dd]AW[zz][ee];[dc];[tt]";
  LoadKifuText(board, start);
  EXPECT_FALSE(board.BlackFirst);
  EXPECT_EQ(board.SetupCount, 4);  // "zz" names no point but is counted
  EXPECT_EQ(board.MoveList[3], 0);
  EXPECT_EQ(board.SetupColours[4], 5000 + Pt("ee"));
  EXPECT_EQ(board.Board[Pt("dc")], kWhite);
  EXPECT_EQ(board.MoveTop, 6);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(LooseReader, SizeNamesAndTurnedBoard) {
  BoardModel board;
  RecordingListener shown;
  board.SetListener(&shown);
  KifuTextResult result = LoadKifuText(board, "(;SZ[13]PB[" + J("ゾーン") + "]PW[];B[aa])");
  EXPECT_TRUE(result.SizeChanged);
  EXPECT_EQ(board.BoardSize, 13);
  EXPECT_TRUE(shown.Saw("size 13"));
  EXPECT_EQ(result.Names.Black, J("ゾーン"));  // "ゾ" ends in the byte of "]"
  EXPECT_EQ(result.Names.White, "");

  result = LoadKifuText(board, "(;SZ[12];B[aa])");  // no such board: the size stays
  EXPECT_FALSE(result.SizeChanged);
  EXPECT_EQ(board.BoardSize, 13);

  board.BoardTurned = true;
  LoadKifuText(board, "(;/<SiroSaki>/AB[aa]SQ[ab];W[mm])");
  EXPECT_EQ(board.Board[Pt("mm")], kBlack);  // "aa" seen from white's side
  EXPECT_EQ(board.Board[Pt("aa")], kWhite);
  EXPECT_EQ(board.Marks[Pt("ml")], 1);

  EXPECT_FALSE(LoadKifuText(board, "").Read);  // an empty text changes nothing
  EXPECT_EQ(board.MoveTop, 2);
}

// A record may set up a stone without liberties. Stepping back to the setup position once took it
// off the board and counted it as captured; setup stones stay and are never prisoners.
TEST(LooseReader, SetupStonesWithoutLibertiesStayWhenSteppingBack) {
  for (const char* record : {"(;SZ[13]AB[aa]AW[ab][ba];[tt])", "(;SZ[13]AB[aa]AW[ab][ba];[mm])",
                             "(;SZ[13]AW[ab][ba]AB[aa];[tt];[tt])"}) {
    SCOPED_TRACE(record);
    BoardModel board;
    LoadKifuText(board, record);
    while (board.MoveTop > board.SetupCount) {
      board.ReplayStepBack();
      EXPECT_EQ(board.CheckConsistency(), "");
    }
    EXPECT_EQ(board.Board[Pt("aa")], kBlack);
    EXPECT_EQ(board.Board[Pt("ab")], kWhite);
    EXPECT_EQ(board.BlackCaptured + board.WhiteCaptured, 0);
    EXPECT_EQ(board.CaptureCount, 0);
    board.ReplayToEnd();
    EXPECT_EQ(board.Board[Pt("aa")], kBlack);
    EXPECT_EQ(board.BlackCaptured + board.WhiteCaptured, 0);
    EXPECT_EQ(board.CheckConsistency(), "");
  }
}

TEST(LooseReader, LongRecordsStopAtTheListCapacity) {
  std::string record = "(;SZ[19]";
  for (int i = 0; i < 700; ++i) record += ";B[tt]";
  BoardModel board;
  const KifuTextResult result = LoadKifuText(board, record + ")");
  EXPECT_TRUE(result.Truncated);
  EXPECT_EQ(board.BufferLength, kMoveListCapacity);
  EXPECT_EQ(board.MoveTop, kMoveListCapacity);
  EXPECT_EQ(board.CheckConsistency(), "");

  std::string setup = "(;SZ[19]AB";
  for (int i = 0; i < 600; ++i) setup += "[aa]";
  EXPECT_TRUE(LoadKifuText(board, setup + ";B[pd])").Truncated);
  EXPECT_EQ(board.SetupCount, kMoveListCapacity);
  EXPECT_EQ(board.CheckConsistency(), "");
}

TEST(StrictReader, MainLineOfARecordWithVariations) {
  BoardModel board;
  ParseRecordMoves(board, "(;SZ[19];B[pd];W[dp](;B[qp])(;B[dd]))");
  EXPECT_EQ(Moves(board), "[pd][dp][qp]");
  EXPECT_TRUE(board.BlackFirst);
}

TEST(StrictReader, LineEndingsDoNotChangeTheMainLine) {
  for (const char* lineEnd : {"\r\n", "\n"}) {
    const std::string e = lineEnd;
    BoardModel board;
    board.SetBoardSize(9);
    ParseRecordMoves(board,
                     "(;SZ[9]" + e + ";B[cc];W[dd]" + e + "(;B[ee])" + e + "(;B[ff])" + e + ")");
    EXPECT_EQ(Moves(board), "[cc][dd][ee]") << (e.size() == 2 ? "CR LF" : "LF");
  }
}

TEST(StrictReader, BranchesInsideTheMainLineAreSkipped) {
  BoardModel board;
  board.SetBoardSize(9);
  ParseRecordMoves(board, "(;SZ[9];B[cc](;W[dd];B[ee]);W[gg];B[hh])");
  EXPECT_EQ(Moves(board), "[cc][gg][hh]");
}

TEST(StrictReader, ColoursPassesAndLimits) {
  BoardModel board;
  board.SetBoardSize(9);
  ParseRecordMoves(board, "(;SZ[9];W[cc];B[dd];W[tt];B[tt])");
  EXPECT_FALSE(board.BlackFirst);
  EXPECT_EQ(Moves(board), "[cc][dd]");  // passes at the end are dropped

  BoardModel noMove;
  ParseRecordMoves(noMove, "(;SZ[9]AB[aa])/<SiroSaki>/");  // no second ";": no move is read
  EXPECT_EQ(noMove.BufferLength, 0);
  EXPECT_FALSE(noMove.BlackFirst);
  noMove.BlackFirst = true;
  ParseRecordMoves(noMove, "(;SZ[9];C[x])/<SiroSaki>/");
  EXPECT_FALSE(noMove.BlackFirst);  // no move names the first player: the marker does

  std::string record = "(;SZ[19]";
  for (int i = 0; i < 300; ++i) record += ";B[pd];W[dp]";
  BoardModel full;
  ParseRecordMoves(full, record + ")");
  EXPECT_EQ(full.BufferLength, kMoveListCapacity - 1);
}

TEST(StrictReader, HeaderSetupListAndMarks) {
  BoardModel board;
  board.SetBoardSize(19);
  const std::string record =
      "(;GM[1]SZ[9]PB[a]PW[b]AB[aa][bb] [cc]  [dd]AW[tt][ee])SQ[aa][ff]TR[ee]LB[gg:B][hh:\x80]"
      ";B[ii])";
  const RecordHeaderResult header = ParseRecordHeader(board, record);
  EXPECT_TRUE(header.SizeChanged);
  EXPECT_EQ(board.BoardSize, 9);
  // "[cc]" follows one character later; two blanks end the list; "tt" is skipped.
  EXPECT_EQ(board.SetupCount, 4);
  EXPECT_EQ(board.MoveList[3], Pt("cc"));
  EXPECT_EQ(board.MoveList[4], Pt("ee"));
  EXPECT_EQ(board.SetupColours[4], 5000 + Pt("ee"));
  EXPECT_EQ(board.Marks[Pt("aa")], 1001);  // marks take the colour of the setup stone
  EXPECT_EQ(board.Marks[Pt("ff")], 1);
  EXPECT_EQ(board.Marks[Pt("ee")], 5005);
  EXPECT_EQ(board.Marks[Pt("gg")], 10);
  EXPECT_EQ(board.Marks[Pt("hh")], 0);  // a label byte below "9" gives no mark
  EXPECT_EQ(header.Names.Black, "a");
  EXPECT_EQ(header.Names.White, "b");
}

TEST(Marks, ListsStopAtTheFirstMalformedEntry) {
  BoardModel board;
  board.SetBoardSize(19);
  ParseMarks(board, "SQ[aa][bb]x[cc]MA[dd][e]LB[ff:H][gg:A");
  EXPECT_EQ(board.Marks[Pt("aa")], 1);
  EXPECT_EQ(board.Marks[Pt("bb")], 1);
  EXPECT_EQ(board.Marks[Pt("cc")], 0);
  EXPECT_EQ(board.Marks[Pt("dd")], 7);
  EXPECT_EQ(board.Marks[Pt("ff")], 16);  // "H" is code 16, which no glyph draws
  EXPECT_EQ(board.Marks[Pt("gg")], 0);
}

TEST(ForeignRecords, ARecordOfAnotherProgramReadsWithoutHarm) {
  // Typical of other editors: LF line ends, root properties of all kinds, comments holding ";",
  // "[" and an escaped "]", Japanese text, and variations at the end.
  const std::string record =
      "(;FF[4]GM[1]SZ[19]CA[Shift_JIS]AP[Editor:2.1]ST[2]\n"
      "RU[Japanese]KM[6.50]PB[" +
      J("本因坊") + "]BR[9p]PW[" + J("挑戦者") +
      "]WR[8p]\n"
      "DT[2001-04-12]RE[W+R]\n"
      "C[" +
      J("解説") +
      "; annotated [by hand\\]]\n"
      ";B[pd];W[dp];B[pq]C[" +
      J("定石") +
      "]\n"
      ";W[dd]\n"
      "(;B[fc];W[cf];B[jd]\n"
      ";W[qn];B[nq])\n"
      "(;B[qk]C[Alternative];W[qf]))\n";
  BoardModel loose;
  const KifuTextResult result = LoadKifuText(loose, record);
  EXPECT_EQ(result.Names.Black, J("本因坊"));
  EXPECT_EQ(loose.CheckConsistency(), "");
  EXPECT_GE(loose.MoveTop, 11);

  BoardModel strict;
  ParseRecordHeader(strict, record);
  ParseRecordMoves(strict, record);
  strict.PositionFromRecord();
  EXPECT_EQ(Moves(strict), "[pd][dp][pq][dd][fc][cf][jd][qn][nq]");
  EXPECT_EQ(strict.CheckConsistency(), "");
  EXPECT_EQ(ParseKomi(std::string(record.substr(record.find("KM[") + 3, 4))), 65);
}

TEST(Komi, TextsInTenths) {
  struct Case {
    const char* text;
    int tenths;
  } cases[] = {
      {"6.5", 65},
      {"-3.5", -35},
      {"0", 0},
      {"", 0},
      {"6.50", 65},
      {"-0.5", -5},
      {"7", 70},
      {"abc", 0},
      {"6.x", 60},
      {"6.", 60},
      {".5", 5},
      {"1e3", 0},
      {"99999999999", 0},
      {"99999999999999999999.5", 0},
      {"100000000", 1000000000},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseKomi(c.text), c.tenths) << c.text;
}

TEST(HostileRecords, RandomTextsNeverLeaveTheListsOrTheBoard) {
  // Pieces of records in random order: brackets, nodes, properties, letters off every board, and
  // double-byte characters whose second byte is "]" or "B".
  const std::vector<std::string> pieces = {
      "(",      ")",        ";",    "[",   "]",     "B[",     "W[",     "AB[",   "AW[",
      ";B[cc]", ";W[gd]",   "[ee]", ";B[", "SZ[9]", "SZ[13]", "SZ[19]", "SZ[0]", "tt",
      "aa",     "ss",       "zz",   "`a",  "LB[",   ":A]",    "SQ[",    "\r\n",  "/<SiroSaki>/",
      "\x83]",  "\x83\x42", "PB[",  "\x81"};
  std::mt19937 random(4523);
  int withStones = 0;  // the texts must reach the board, or the test proves little
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const int length = 1 + static_cast<int>(random() % 200);
    for (int i = 0; i < length; ++i) text += pieces[random() % pieces.size()];

    BoardModel loose, strict;
    loose.BoardTurned = round % 2 == 1;
    LoadKifuText(loose, text);
    ParseRecordHeader(strict, text);
    ParseRecordMoves(strict, text);
    strict.PositionFromRecord();
    for (const BoardModel* board : {&loose, &strict}) {
      ASSERT_TRUE(IsBoardSize(board->BoardSize)) << text;
      ASSERT_LE(board->SetupCount, board->BufferLength) << text;
      ASSERT_LE(board->BufferLength, kMoveListCapacity) << text;
      ASSERT_EQ(board->MoveTop, board->BufferLength) << text;
      for (int i = 1; i <= board->BufferLength; ++i) {
        const int point = board->MoveList[i];
        ASSERT_TRUE(point == 0 || IsPlayingPoint(point, board->BoardSize)) << text;
      }
      for (int p = 0; p < kPointCount; ++p) {
        if (!IsPlayingPoint(p, board->BoardSize)) {
          ASSERT_EQ(board->Board[p], kOutside) << text;
        }
        ASSERT_EQ(board->Visited[p], 0) << text;
      }
      EXPECT_FALSE(WriteSgfRecord(*board, RecordHeader{}).empty());
    }
    withStones += loose.MoveTop > loose.SetupCount && strict.MoveTop > strict.SetupCount;
  }
  EXPECT_GT(withStones, 100);
}
