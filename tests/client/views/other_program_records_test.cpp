// Tests of record files as other Go programs write them (UTF-8 or cp932, every move naming its
// colour, handicap games that white begins, PL[W], variations, KM and RE), each read by the three
// readers of a record file: the record preview with the start position it builds, the diagram
// editor's import, and the analysis room's load with what its members read from it.
#include <gtest/gtest.h>

#include "client/board/model/record_files.h"
#include "client/board/model/record_main_line.h"
#include "client/board/model/record_text.h"
#include "client/board/model/room_input.h"
#include "client/views/model/diagram_editor.h"
#include "client/views/model/record_info.h"
#include "client/views/model/record_preview_model.h"
#include "platform/cp932.h"

namespace {

std::string Letters(int point) { return PointEntry(point).substr(1, 2); }

// The setup stones as "B dd B pp W cc".
std::string SetupStones(const BoardModel& board) {
  std::string out;
  for (int i = 1; i <= board.SetupCount; ++i) {
    if (!out.empty()) out += " ";
    out += (board.SetupColours[i] < 2000 ? "B " : "W ") + Letters(board.MoveList[i]);
  }
  return out;
}

// The moves after the setup as "W pd B dp", each with the colour the board plays it in.
std::string Moves(const BoardModel& board) {
  std::string out;
  for (int i = board.SetupCount + 1; i <= board.BufferLength; ++i) {
    if (!out.empty()) out += " ";
    out += (board.MoveIsBlack(i) ? "B " : "W ") + Letters(board.MoveList[i]);
  }
  return out;
}

std::string PreviewSetup(const RecordPreview& preview) {
  std::string out;
  for (int i = 1; i <= preview.PreviewSetupCount; ++i) {
    if (!out.empty()) out += " ";
    const int entry = preview.PreviewEntries[i];
    out += (entry / 1000 == kBlack ? "B " : "W ") + Letters(entry % 1000);
  }
  return out;
}

std::string PreviewMoves(const RecordPreview& preview) {
  std::string out;
  for (int i = preview.PreviewSetupCount + 1; i <= preview.PreviewEntryCount; ++i) {
    if (!out.empty()) out += " ";
    const int move = i - preview.PreviewSetupCount;
    out += (move % 2 == 1) == preview.PreviewBlackFirst ? "B " : "W ";
    out += Letters(preview.PreviewEntries[i]);
  }
  return out;
}

// The stones of the playing area, row by row, for comparing positions of different readers.
std::string Stones(const PointArray& board, int size) {
  std::string out;
  for (int row = 1; row <= size; ++row) {
    for (int column = 1; column <= size; ++column) {
      const int stone = board[MakePoint(column, row)];
      out += stone == kBlack ? 'X' : stone == kWhite ? 'O' : '.';
    }
    out += '\n';
  }
  return out;
}

struct Case {
  const char* name;
  std::string bytes;  // the file as the other program wrote it
  int size;
  const char* setup;
  const char* moves;
  const char* start;  // the start position the preview builds
  std::string info;   // the preview's info lines
};

}  // namespace

TEST(OtherProgramRecords, EveryReaderTakesTheMainLineInTheRecordsColours) {
  // Japanese text in UTF-8 whose last byte is a cp932 lead byte: 川 (E5 B7 9D), 手 (E6 89 8B),
  // 塚 (E5 A1 9A). Read as cp932, each would take the "]" after it as its second byte.
  const Case cases[] = {
      {"UTF-8 with CA, comments and names ending next to the bracket",
       "(;GM[1]FF[4]CA[UTF-8]SZ[19]PB[小川]PW[手塚]\n;B[pd]C[好手]\n;W[dd]C[手]\n;B[pp]\n"
       ";W[dp]C[白の手])\n",
       19, "", "B pd W dd B pp W dp", ";[pd];[dd];[pp];[dp]", J("● 小川\r\n○ 手塚\r\n手数 ： 4")},
      {"UTF-8 without CA", "(;GM[1]FF[4]SZ[9]PB[小川]PW[手塚];B[ee]C[手];W[cc])", 9, "",
       "B ee W cc", ";[ee];[cc]", J("● 小川\r\n○ 手塚\r\n手数 ： 2")},
      {"UTF-8 in lower case, a byte-order mark, a character cp932 lacks",
       "\xEF\xBB\xBF(;FF[4]CA[utf-8]SZ[13]PB[手]PW[囲碁\xF0\x9F\x98\x80];B[gg]C[良い手])", 13, "",
       "B gg", "/<SiroTurn>/;[gg]", J("● 手\r\n○ 囲碁？\r\n手数 ： 1")},
      {"handicap, white first, comments and variations",
       "(;GM[1]FF[4]CA[UTF-8]SZ[19]HA[2]KM[0.5]PB[黒田]PW[白石]AB[dd][pp]C[二子局の手]"
       ";W[pd]C[白の手](;B[dp]C[手];W[qq](;B[qp])(;B[pq]))(;B[qf];W[pf]))",
       19, "B dd B pp", "W pd B dp W qq B qp",
       "/<SiroSaki>//<SiroTurn>/AB[dd][pp];[pd];[dp];[qq];[qp]",
       J("● 黒田\r\n○ 白石\r\n手数 ： 6  |  前配置 ： 2")},
      {"PL[W] without moves", "(;GM[1]FF[4]SZ[9]HA[2]AB[cc][gg]PL[W])", 9, "B cc B gg", "",
       "/<SiroSaki>//<SiroTurn>/AB[cc][gg]", J("手数 ： 2  |  前配置 ： 2")},
      {"setup stones in a node of their own, white first",
       "(;GM[1]FF[4]SZ[9]HA[2];AB[cc][gg];W[ee];B[dd])", 9, "B cc B gg", "W ee B dd",
       "/<SiroSaki>//<SiroTurn>/AB[cc][gg];[ee];[dd]", J("手数 ： 4  |  前配置 ： 2")},
      {"variations at several depths, brackets in their comments",
       "(;GM[1]FF[4]SZ[19];B[pd](;W[dd](;B[pp]C[:)];C[参考(図];W[dp])(;B[dp];W[pp]))"
       "(;W[dp];B[dd]))",
       19, "", "B pd W dd B pp W dp", ";[pd];[dd];[pp];[dp]", J("手数 ： 4")},
      {"KM and RE", "(;GM[1]FF[4]CA[UTF-8]SZ[13]KM[6.5]RE[B+3.5]DT[2024-05-01];B[gg];W[dd];B[jj])",
       13, "", "B gg W dd B jj", "/<SiroTurn>/;[gg];[dd];[jj]",
       J("日付 ： 2024-05-01\r\n結果 ： 黒 3 目半勝\r\n手数 ： 3")},
      {"a result in words, marks in the move nodes",
       "(;FF[4]SZ[19]RE[白中押し勝ち]KM[6.5]PB[黒];B[pd];W[dd]LB[pd:A];B[dp]TR[dp])", 19, "",
       "B pd W dd B dp", "/<SiroTurn>/;[pd];[dd];[dp]",
       J("● 黒\r\n結果 ： 白中押し勝ち\r\n手数 ： 3")},
      {"two moves of one colour: a pass between them", "(;FF[4]SZ[9];B[cc];B[gg];W[ee])", 9, "",
       "B cc W tt B gg W ee", ";[cc];[tt];[gg];[ee]", J("手数 ： 4")},
      {"cp932 with 0x5D as a second byte",
       J("(;GM[1]FF[1]SZ[19]\r\nPB[ゾ]\r\nPW[ソ]\r\n;B[pd]C[ゾ]\r\n;W[dd]\r\n;B[pp])"), 19, "",
       "B pd W dd B pp", "/<SiroTurn>/;[pd];[dd];[pp]", J("● ゾ\r\n○ ソ\r\n手数 ： 3")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text = RecordTextFromFile(c.bytes);

    RecordPreview preview;
    ASSERT_TRUE(preview.PreviewRecordFileText(text));
    EXPECT_EQ(preview.PreviewBoardSize, c.size);
    EXPECT_EQ(PreviewSetup(preview), c.setup);
    EXPECT_EQ(PreviewMoves(preview), c.moves);
    EXPECT_EQ(preview.BuildStartPosition(), c.start);
    EXPECT_EQ(preview.InfoLines.Text(), c.info + "\r\n");

    DiagramEditor editor;
    editor.ImportRecord(text, false);
    EXPECT_EQ(editor.Position.BoardSize, c.size);
    EXPECT_EQ(SetupStones(editor.Position), c.setup);
    EXPECT_EQ(Moves(editor.Position), c.moves);
    EXPECT_EQ(editor.Position.CheckConsistency(), "");

    BoardModel room;
    OpenRecordText(room, NormalizeRecord(text));
    EXPECT_EQ(room.BoardSize, c.size);
    EXPECT_EQ(SetupStones(room), c.setup);
    EXPECT_EQ(Moves(room), c.moves);
    EXPECT_EQ(room.CheckConsistency(), "");

    // The members read the room's record as the operator's board writes it (the setup stones
    // from the last to the first).
    BoardModel member;
    LoadKifuText(member, RoomRecordText(WriteSgfRecord(room, RecordHeader{})));
    EXPECT_EQ(member.SetupCount, room.SetupCount);
    EXPECT_EQ(Moves(member), c.moves);
    EXPECT_EQ(member.NextMoveIsBlack(), room.NextMoveIsBlack());

    // One position everywhere.
    const std::string stones = Stones(room.Board, c.size);
    EXPECT_EQ(Stones(preview.PreviewPosition.Board, c.size), stones);
    EXPECT_EQ(Stones(editor.Position.Board, c.size), stones);
    EXPECT_EQ(Stones(member.Board, c.size), stones);
  }
}

TEST(OtherProgramRecords, ThisSystemsOwnRecordsReadAsBefore) {
  // Moves by turn, white first told by the marker, clocks after the moves, setup listed from the
  // last stone: the text the readers get is the file's, line for line.
  const std::string own =
      J("(;GM[1]FF[1]SZ[9]\r\nPB[山田]\r\nPW[川上]\r\nDT[2024/05/01 - 9:00:00]TM[900]\r\nHA[2]\r\n"
        "AB[gg][cc]\r\nTR[cc]\r\n;W[ee]WL[880]TL[20,0]\r\n;B[dd]BL[870]TL[30,0]\r\n;W[tt]\r\n"
        ";B[gc]\r\n)/<SiroSaki>/");
  EXPECT_EQ(RecordTextFromFile(own), own + "\r\n");
  const std::string empty = "(;GM[1]FF[1]SZ[19])";
  EXPECT_EQ(MainLineRecord(empty), empty);
  const std::string setupOnly =
      "(;GM[1]FF[1]SZ[9]NE[W]\r\nPB[a]\r\nPW[b]\r\nHA[2]\r\nAB[gg][cc])"
      "/<SiroSaki>/";
  EXPECT_EQ(MainLineRecord(setupOnly), setupOnly);

  RecordPreview preview;
  ASSERT_TRUE(preview.PreviewRecordFileText(RecordTextFromFile(own)));
  EXPECT_EQ(preview.BuildStartPosition(), "/<SiroSaki>//<SiroTurn>/AB[gg][cc];[ee];[dd];[tt];[gc]");
  EXPECT_EQ(preview.PreviewBlackTime, "15");
  EXPECT_EQ(preview.PreviewWhiteTime, "15");
}

TEST(OtherProgramRecords, TheMainLineKeepsWhatTheReadersNeedAndNothingThatMisleadsThem) {
  struct Edge {
    const char* name;
    std::string record;
    std::string main;
  } edges[] = {
      {"root texts that hold ';' and '(' are dropped, the rest kept",
       "(;GM[1]SZ[19]GN[a;b]C[x(y;]EV[round (1;2)]PB[p];B[pd])", "(;GM[1]SZ[19]PB[p];B[pd])"},
      {"an escaped bracket stays inside its comment",
       "(;SZ[19];B[pd]C[see [this\\]; W[aa\\]];W[dd])", "(;SZ[19];B[pd];W[dd])"},
      {"the move first in its node, its clock after it",
       "(;SZ[19];C[a]BL[300]B[pd]N[x]TL[5,0];MN[2]W[dd])", "(;SZ[19];B[pd]BL[300]TL[5,0];W[dd])"},
      {"an empty move value is a pass", "(;SZ[19];B[pd];W[];B[dd])", "(;SZ[19];B[pd];W[tt];B[dd])"},
      {"a move in the root gets a node", "(;SZ[9]B[ee];W[cc])", "(;SZ[9];B[ee];W[cc])"},
      {"only the first game of a collection", "(;SZ[9];B[ee])\n(;SZ[9];B[cc];W[dd])",
       "(;SZ[9];B[ee])\n"},
      {"blanks between the bracket and the root", "( ;SZ[9];W[ee])", "(;SZ[9];W[ee])/<SiroSaki>/"},
      {"an unclosed value ends the text", "(;SZ[9];B[ee];W[cc]C[never closed",
       "(;SZ[9];B[ee];W[cc])"},
      {"moves without colour letters stay as they are", "(;SZ[19]HA[2];[pd];[dd])",
       "(;SZ[19]HA[2];[pd];[dd])"},
      {"no game at all", "hello (world) [;B[pd]]", "hello (world) [;B[pd]]"},
  };
  for (const Edge& e : edges) EXPECT_EQ(MainLineRecord(e.record), e.main) << e.name;
}

TEST(OtherProgramRecords, OnlyUtf8FilesAreConverted) {
  struct Bytes {
    const char* name;
    std::string bytes;
    bool utf8;
  } files[] = {
      {"CA[UTF-8]", "(;CA[UTF-8]PB[名])", true},
      {"CA in any letter case", "(;CA[Utf-8]PB[a])", true},
      {"no CA, well-formed UTF-8 beyond ASCII", "(;PB[名])", true},
      {"no CA, ASCII only", "(;PB[name])", false},
      {"no CA, cp932", J("(;PB[名前])"), false},
      {"another CA", "(;CA[Shift_JIS]PB[名])", false},
      {"UTF-8 with a surrogate", "(;PB[\xED\xA0\x80])", false},
      {"UTF-8 with an overlong slash", "(;PB[\xC0\xAF])", false},
  };
  for (const Bytes& f : files) EXPECT_EQ(RecordIsUtf8(f.bytes), f.utf8) << f.name;

  // A broken sequence in a file that says UTF-8 costs one "？" and never the bracket after it.
  EXPECT_EQ(RecordTextFromFile("(;CA[UTF-8]PB[\xE6\x89];B[pd])"), J("(;PB[？];B[pd])\r\n"));
}
