// Tests of the record texts and the record preview's reading: normalising, the start position of
// a challenge, the info lines, the main line through variations, the entry limit, hostile records,
// and the start position agreeing with the board that a game starts from.
#include "client/views/model/record_preview_model.h"

#include <gtest/gtest.h>

#include "bench/sample_game.h"
#include "client/board/model/record_text.h"
#include "client/views/model/record_info.h"
#include "platform/cp932.h"
#include "tests/client/board/board_test_support.h"

namespace {

// A preview of `record` as a file gives it.
struct Previewed : RecordPreview {
  explicit Previewed(std::string_view record) {
    PreviewRecordText = NormalizeRecord(record);
    ShowRecordPreview();
  }
  std::string Moves() const {
    std::string out;
    for (int i = PreviewSetupCount + 1; i <= PreviewEntryCount; ++i) {
      out += PointEntry(PreviewEntries[i]);
    }
    return out;
  }
};

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

}  // namespace

TEST(RecordTexts, NormalizeKeepsTheRootAndDropsLineBreaksTerritoryKeysAndMoveComments) {
  // ゾ is 83 5D: its second byte is a "]" that must not end the comment; イ is 83 43, so "イ["
  // holds the bytes of "C[" without being a comment.
  const std::string record =
      J("(;GM[1]C[root ]note]SZ[9]\r\nPB[黒]\r\n;B[ee]C[いいゾ]BL[10]\r\n;W[cc]TB[aa][bb]TW[ii]"
        "C[a]C[b]N[イ[2]];B[dd]C[open");
  EXPECT_EQ(NormalizeRecord(record),
            J("(;GM[1]C[root ]note]SZ[9]PB[黒];B[ee]BL[10];W[cc][aa][bb][ii]N[イ[2]];B[dd]C[open"));
  // Fewer than two ";": nothing is a move node.
  EXPECT_EQ(RemoveComments("(;C[x])"), "(;C[x])");
  // A key that appears only once a property is cut out is cut as well.
  EXPECT_EQ(RemoveRecordProperty(";B[aa]CC[1][2]", "C["), ";B[aa]");
}

TEST(RecordTexts, KifuStartKeepsTheRootByteForByteAndShortensTheMoves) {
  const std::string record =
      "(;GM[1]SZ[19]\r\nPB[b]PW[w]\r\n;B[pd]BL[895]TL[5,0]C[hello]\r\n;W[dp]WL[890]TL[10,0]\r\n)";
  EXPECT_EQ(RecordToKifuStart(record), "(;GM[1]SZ[19]\r\nPB[b]PW[w]\r\n;B[pd];W[dp])");
}

TEST(RecordTexts, ResultWordsIncludingShortAndUnknownValues) {
  struct Case {
    const char* value;
    const char* text;
  } cases[] = {
      {"W+R", "白中押勝"},      {"B+Resign", "黒中押勝"}, {"B+0.5", "黒 半目勝"},
      {"W+3.5", "白 3 目半勝"}, {"B+12", "黒 12 目勝"},   {"0", "持碁"},
      {"BW", "持碁"},           {"-", "勝負不明"},        {"B", "黒勝"},
      {"W+", "白勝"},           {"Void", "Void"},
  };
  for (const auto& c : cases) EXPECT_EQ(RecordResultText(c.value), J(c.text)) << c.value;
}

TEST(RecordPreviewInfo, NineLinesWithFourBlackStonesGiveFourStonesAndTheCounts) {
  Previewed p(
      J("(;GM[1]FF[1]SZ[9]NE[W]\r\nPB[山田]\r\nPW[川上]\r\nDT[2026/05/01]\r\nRE[W+3.5]\r\n"
        "AB[cc][gc] [cg]\n[gg])/<SiroSaki>/"));
  EXPECT_EQ(p.PreviewBoardSize, 9);
  EXPECT_EQ(p.PreviewHandicapLabel, J("４子"));
  EXPECT_EQ(p.PreviewEntryCount, 4);
  EXPECT_EQ(p.PreviewSetupCount, 4);
  EXPECT_EQ(p.InfoLines.Text(), J("● 山田\r\n○ 川上\r\n日付 ： 2026/05/01\r\n"
                                  "結果 ： 白 3 目半勝\r\n手数 ： 4  |  前配置 ： 4\r\n"));
  EXPECT_EQ(p.PreviewPosition.Board[MakePoint(7, 7)], kBlack);

  // One stone, or setup stones of both colours, leave the word to "HA[1]".
  EXPECT_EQ(Previewed("(;SZ[19]HA[1];B[pd])").PreviewHandicapLabel, J("定先"));
  EXPECT_EQ(Previewed("(;SZ[19]AB[dd][pp][dp]AW[pd])").PreviewHandicapLabel, J("互先"));
  EXPECT_EQ(Previewed("(;SZ[19]AB[dd])").PreviewHandicapLabel, J("互先"));
}

TEST(RecordPreviewInfo, MainTimesAreTheLastClocksInWholeMinutesRoundedUp) {
  Previewed p("(;SZ[19];B[pd]BL[1795];W[dp]WL[1200];B[pp]BL[1741];W[dd]WL[0])");
  EXPECT_EQ(p.PreviewBlackTime, "30");
  EXPECT_EQ(p.PreviewWhiteTime, "");  // the last white clock is 0
  EXPECT_EQ(Previewed("(;SZ[19];B[pd]BL[abc])").PreviewBlackTime, "");
}

TEST(RecordPreviewMoves, MainLineThroughVariationsPassesAndBadLetters) {
  struct Case {
    const char* record;
    const char* moves;
    int variations;
  } cases[] = {
      // "))": the main line runs to the first ")".
      {"(;SZ[19];B[pd];W[dp](;B[qp];W[oq])(;B[dd]))", "[pd][dp][qp][oq]", 0},
      {"(;SZ[19];B[pd];W[dp]\n(;B[qp])\n(;B[dd])\n)", "[pd][dp][qp]", 0},
      // Without "))": variations are passed over, nested ones too, each beginning with the colour
      // its line expects next.
      {"(;SZ[19];B[pd](;W[dd];B[ee]) (;W[cc]) ;W[dp];B[qq])", "[pd][dp][qq]", 2},
      {"(;SZ[19];B[pd](;W[dd](;B[ee]) (;B[ff]) ;B[gg]) ;W[dp])", "[pd][dp]", 3},
      // Strict alternation: a node of the other colour in between is passed over.
      {"(;SZ[19];B[pd];B[qq];W[dp])", "[pd][dp]", 0},
      // Passes at the end are dropped; a pass or letters off the board inside stay as "tt".
      {"(;SZ[9];B[ee];W[tt];B[zz];W[cc];B[tt];W[tt])", "[ee][tt][tt][cc]", 0},
      // A first ")" at the start of the moves gives no move.
      {"(;SZ[19];)B[pd]))", "", 0},
  };
  for (const auto& c : cases) {
    Previewed p(c.record);
    EXPECT_EQ(p.Moves(), c.moves) << c.record;
    EXPECT_EQ(p.PreviewVariationCount, c.variations) << c.record;
  }
}

TEST(RecordPreviewMoves, TheListStopsAtItsLimitAndTheStartPositionMatchesTheCount) {
  // Setup stones alone beyond the limit; the board a game starts on takes every one of them.
  Previewed setup("(;SZ[19]AB" + Repeat("[aa]", 600) + ")");
  EXPECT_EQ(setup.PreviewEntryCount, kPreviewEntryCapacity);
  EXPECT_EQ(setup.PreviewSetupCount, kPreviewEntryCapacity);
  EXPECT_EQ(setup.BuildStartPosition(), "AB" + Repeat("[aa]", kPreviewEntryCapacity));
  BoardModel board;
  EXPECT_FALSE(LoadKifuText(board, "(;" + setup.BuildStartPosition()).Truncated);
  EXPECT_EQ(board.SetupCount, kPreviewEntryCapacity);

  // Setup stones and moves together: the moves stop where the list is full.
  Previewed both("(;SZ[19]AB" + Repeat("[bb]", 300) + Repeat(";B[cc];W[dd]", 150) + ")");
  EXPECT_EQ(both.PreviewEntryCount, kPreviewEntryCapacity);
  EXPECT_EQ(both.PreviewSetupCount, 300);
  EXPECT_EQ(both.BuildStartPosition(),
            "/<SiroTurn>/AB" + Repeat("[bb]", 300) + Repeat(";[cc];[dd]", 99) + ";[cc]");
}

TEST(RecordPreviewStart, TheExampleAndWhoIsToMove) {
  struct Case {
    const char* record;
    const char* start;
  } cases[] = {
      {"(;SZ[19]AB[cc][dd];W[dc])", "/<SiroSaki>/AB[cc][dd];[dc]"},
      {"(;SZ[19];B[pd])", "/<SiroTurn>/;[pd]"},
      {"(;SZ[19];B[pd];W[dp])", ";[pd];[dp]"},
      {"(;SZ[19]AB[dd][pp];W[pd];B[dp])", "/<SiroSaki>//<SiroTurn>/AB[dd][pp];[pd];[dp]"},
      {"(;SZ[9]AB[cc]AW[gg];B[ee];W[tt];B[cg])", "/<SiroTurn>/AB[cc]AW[gg];[ee];[tt];[cg]"},
  };
  for (const auto& c : cases) {
    Previewed p(c.record);
    EXPECT_EQ(p.BuildStartPosition(), c.start) << c.record;
    EXPECT_EQ(p.PreviewRecordText.ends_with(WhiteToMoveMarker), p.PreviewWhiteToMove());
  }
}

TEST(RecordPreviewStart, ARecordWithoutMovesNamesItsFirstPlayerWhateverCameBefore) {
  Previewed p("(;SZ[19];W[dd];B[pp])");
  EXPECT_FALSE(p.PreviewBlackFirst);
  // A move-less record after it: black, unless the record says white.
  p.PreviewRecordText = "(;SZ[19]AB[dd][pp])";
  p.ShowRecordPreview();
  EXPECT_TRUE(p.PreviewBlackFirst);
  EXPECT_EQ(p.BuildStartPosition(), "AB[dd][pp]");
  for (const char* white : {"(;SZ[19]NE[W]AB[dd][pp])", "(;SZ[19]AB[dd][pp])/<SiroSaki>/",
                            "(;/<SiroTurn>/AB[dd][pp]"}) {
    p.PreviewRecordText = white;
    p.ShowRecordPreview();
    EXPECT_EQ(p.BuildStartPosition(), "/<SiroSaki>//<SiroTurn>/AB[dd][pp]") << white;
  }
  // Only passes: no move is left, so the record's markers decide too.
  p.PreviewRecordText = "(;SZ[19]NE[W]AB[dd];B[tt])";
  p.ShowRecordPreview();
  EXPECT_EQ(p.BuildStartPosition(), "/<SiroSaki>//<SiroTurn>/AB[dd]");
}

TEST(RecordPreviewPosition, StonesReplaceAndCaptureWithoutASuicideTest) {
  // White's stone on aa has no liberty and captures nothing: it stays (a later move tests only
  // its own neighbours), and a move onto an occupied point replaces the stone there.
  Previewed p("(;SZ[9]AB[ab][ba]AW[cb][da];W[aa];B[ca];W[ee];B[ee])");
  const PointArray& board = p.PreviewPosition.Board;
  EXPECT_EQ(board[Pt("aa")], kWhite);
  EXPECT_EQ(board[Pt("ca")], kBlack);
  EXPECT_EQ(board[Pt("ee")], kBlack);
  // Black's ca left the white stone da with one liberty (ea): it stays.
  EXPECT_EQ(board[Pt("da")], kWhite);
  Previewed capture("(;SZ[9]AB[aa];W[ba];B[ca];W[ee];B[bb])");
  EXPECT_EQ(capture.PreviewPosition.Board[Pt("ba")], kEmpty);
}

TEST(RecordPreviewStart, AWholeGameStartsOnTheBoardAsThePreviewShowsIt) {
  // A 300-move game with many captures as a saved record: the board a game starts on from the
  // start position shows the preview's position (and the played one), and gives the turn the
  // start position names.
  BoardModel played;
  LoadSampleGame(played);
  played.PositionFromRecord();
  Previewed p(WriteSgfRecord(played, RecordHeader{}));
  ASSERT_GT(p.PreviewEntryCount, 250);

  BoardModel started;
  LoadKifuText(started, "(;" + p.BuildStartPosition());
  EXPECT_EQ(started.MoveTop, p.PreviewEntryCount);
  EXPECT_EQ(started.NextMoveIsBlack(), !p.PreviewWhiteToMove());
  EXPECT_EQ(started.CheckConsistency(), "");
  for (int point = 0; point < kPointCount; ++point) {
    ASSERT_EQ(p.PreviewPosition.Board[point], started.Board[point]) << point;
    ASSERT_EQ(p.PreviewPosition.Board[point], played.Board[point]) << point;
  }
}

TEST(RecordPreviewHostile, DeepNestingLongTextsAndTruncatedPropertiesEndCleanly) {
  const std::string deep = "(;SZ[19];B[aa]" + Repeat("(;W[bb];B[cc]", 30000);
  const std::string deep_closed = deep + Repeat(")", 30000);
  const std::string brackets = "(;SZ[19]" + std::string(100000, '(');
  const std::string opens = "(;SZ[19];B[aa]" + Repeat("(;", 50000);
  const char* truncated[] = {"(;SZ[19]AB[aa][b", "(;SZ[19];B[a", "(;SZ[19];B[", "(;RE[B",
                             "(;RE[W+]",         "(;BL[",        "x(;BL[12",    "(;;W",
                             "(;SZ[9]AW[",       "(;SZ["};
  Previewed nested(deep);
  EXPECT_EQ(nested.Moves(), "[aa]");
  Previewed closed(deep_closed);
  EXPECT_EQ(closed.PreviewEntryCount, kPreviewEntryCapacity);
  EXPECT_EQ(Previewed(brackets).PreviewEntryCount, 0);
  EXPECT_EQ(Previewed(opens).Moves(), "[aa]");
  for (const char* record : truncated) {
    Previewed p(record);
    EXPECT_LE(p.PreviewEntryCount, 1) << record;
    EXPECT_EQ(p.PreviewPosition.Board[0], kOutside) << record;
  }
  EXPECT_EQ(Previewed("(;SZ[19];B[a").Moves(), "");
  EXPECT_EQ(Previewed("(;RE[B").PreviewValueText, "");
}
