// Tests of the server's record text: times, handicap placements, the record header, the first
// mover, move entries and the cut of the last entry.
#include "server/game_record.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/cp932.h"
#include "protocol/tag_message.h"

TEST(MinutesToSeconds, MinutesBeforeTheUnitTimesSixtyWithoutOverflow) {
  struct Case {
    std::string time;
    std::string seconds;
  } cases[] = {
      {"15" + J(" 分"), "900"},
      {J("任意"), "0"},
      {"0" + J(" 分"), "0"},
      {"15", "900"},          // no unit: the whole text is the number
      {"15" + J("分"), "0"},  // the unit without its blank is part of the text
      {"", "0"},
      {"-2" + J(" 分"), "-120"},
      {"1000000000" + J(" 分"), "60000000000"},  // past 32 bits, zeros kept in the middle
      {"1000000001" + J(" 分"), "60000000060"},
      {"9223372036854775807" + J(" 分"), "553402322211286548420"},
      {"-9223372036854775808" + J(" 分"), "-553402322211286548480"},
      {"99999999999999999999" + J(" 分"), "0"},  // not a 64-bit number
      {"15" + J(" 分") + "30" + J(" 分"), "900"},
  };
  for (const auto& c : cases) EXPECT_EQ(MinutesToSeconds(c.time), c.seconds) << c.time;
}

TEST(Handicap, CountsOfTheHandicapWords) {
  struct Case {
    std::string word;
    int n;
  } cases[] = {
      {J("互先"), 0}, {J("定先"), 1}, {J("２子"), 2},   {J("５子"), 5}, {J("９子"), 9},
      {"2", 0},       {J("1子"), 0},  {J("１０子"), 0}, {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(HandicapCount(c.word), c.n) << c.word;
}

TEST(Handicap, BoardSizeComesFromTheWholeText) {
  EXPECT_EQ(HandicapBoardSize("<<BanSize=13>>"), 13);
  EXPECT_EQ(HandicapBoardSize("<<BanSize=9>>"), 9);
  EXPECT_EQ(HandicapBoardSize("<<BanSize=19>>"), 19);
  EXPECT_EQ(HandicapBoardSize("<<BanSize=99>>"), 19);
  EXPECT_EQ(HandicapBoardSize("<<BanSize=7>>"), 19);
  EXPECT_EQ(HandicapBoardSize(""), 19);
  EXPECT_EQ(HandicapBoardSize("<<BanSize=9>><<BanSize=13>>"), 13);  // 13 is looked for first
}

TEST(Handicap, PlacementSpotChecks) {
  struct Case {
    int n, size;
    const char* stones;
  } cases[] = {
      {2, 19, "[dp][pd]"},
      {4, 19, "[pp][dd][dp][pd]"},
      {9, 19, "[jj][jp][jd][dd][dj][dp][pp][pj][pd]"},
      {2, 13, "[dj][jd]"},
      {5, 13, "[gg][jj][dd][dj][jd]"},
      {8, 13, "[gk][kg][cg][gc][jj][dd][dj][jd]"},
      {3, 9, "[gg][cg][gc]"},
      {6, 9, "[ge][ce][cc][cg][gg][gc]"},
      {9, 9, "[ee][eg][ec][ge][ce][cc][cg][gg][gc]"},
      {2, 7, "[dp][pd]"},  // an unknown size uses the 19-line table
      {1, 19, ""},
      {0, 19, ""},
      {10, 19, ""},
      {-3, 9, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(HandicapStones(c.n, c.size), c.stones) << c.n << "/" << c.size;
}

// Every placement has n different stones, all on the board.
TEST(Handicap, EveryPlacementHoldsNDistinctStonesOnTheBoard) {
  for (int size : {19, 13, 9}) {
    for (int n = 2; n <= 9; ++n) {
      const std::string_view stones = HandicapStones(n, size);
      ASSERT_EQ(stones.size(), static_cast<std::size_t>(4 * n)) << n << "/" << size;
      std::set<std::string_view> distinct;
      for (std::size_t i = 0; i < stones.size(); i += 4) {
        ASSERT_EQ(stones[i], '[');
        ASSERT_EQ(stones[i + 3], ']');
        for (char letter : {stones[i + 1], stones[i + 2]}) {
          EXPECT_GE(letter, 'a');
          EXPECT_LT(letter, 'a' + size) << stones;
        }
        distinct.insert(stones.substr(i + 1, 2));
      }
      EXPECT_EQ(distinct.size(), static_cast<std::size_t>(n)) << stones;
    }
  }
}

TEST(Handicap, PropertiesAndStartTextForHandicapsAndStartPositions) {
  const std::string white_first = "/<SiroSaki>/";
  const std::string start = "<<KifuStart=AB[dd]AW[pp];[qq]/<SiroTurn>/>>";
  struct Case {
    std::string text, handicap, props, start_str;
  } cases[] = {
      {"<<BanSize=19>>", J("互先"), "HA[0]", ""},
      {"<<BanSize=19>>", J("定先"), "HA[1]", ""},
      {"<<BanSize=19>>", J("２子"), "HA[2]AB[dp][pd]" + white_first,
       "<<KifuStartStr=(;AB[dp][pd]" + white_first + ">>"},
      {"<<BanSize=13>>", J("３子"), "HA[3]AB[dj][jj][jd]" + white_first,
       "<<KifuStartStr=(;AB[dj][jj][jd]" + white_first + ">>"},
      {"<<BanSize=9>>", J("４子"), "HA[4]AB[cc][cg][gg][gc]" + white_first,
       "<<KifuStartStr=(;AB[cc][cg][gg][gc]" + white_first + ">>"},
      {"<<BanSize=19>>", "whatever", "HA[0]", ""},
      // A start position replaces the stones; the handicap number stays.
      {"<<BanSize=19>>" + start, J("３子"), "HA[3]AB[dd]AW[pp];[qq]/<SiroTurn>/",
       "<<KifuStartStr=(;AB[dd]AW[pp];[qq]/<SiroTurn>/>>"},
      {"<<BanSize=19>><<KifuStart=>>", J("２子"), "HA[2]", "<<KifuStartStr=(;>>"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildHandicapProps(c.text, c.handicap), c.props) << c.text << c.handicap;
    EXPECT_EQ(BuildKifuStartStr(c.text, c.handicap), c.start_str) << c.text << c.handicap;
  }
}

TEST(Handicap, BlackMovesFirstInEvenGamesAndByTheStartPositionsMarker) {
  EXPECT_TRUE(BlackMovesFirst("", J("互先")));
  EXPECT_TRUE(BlackMovesFirst("", J("定先")));
  EXPECT_FALSE(BlackMovesFirst("", J("２子")));
  EXPECT_FALSE(BlackMovesFirst("", J("９子")));
  EXPECT_FALSE(BlackMovesFirst("", "other"));
  EXPECT_TRUE(BlackMovesFirst("<<KifuStart=AB[dd]>>", J("２子")));
  EXPECT_FALSE(BlackMovesFirst("<<KifuStart=AB[dd]/<SiroTurn>/>>", J("互先")));
  // "/<SiroSaki>/" says who moved first, not who moves next.
  EXPECT_TRUE(BlackMovesFirst("<<KifuStart=/<SiroSaki>/AB[dd]>>", J("互先")));
}

TEST(RecordHeader, TimesAddedTimeKomiAndHandicap) {
  const std::string settings = "<<GameSet>><<IsKuro=" + J("黒番") + ">><<KuroGameTime=15" +
                               J(" 分") + ">><<SiroGameTime=" + J("任意") + ">><<AddTime=30" +
                               J(" 秒") + ">><<GameWari=" + J("２子") +
                               ">><<GameKomi=-0.5>><<Player1=a>><<Player2=b>><<BanSize=19>>";
  EXPECT_EQ(RecordHeader(settings, "b", "a"),
            "(;SZ[19]PB[b]PW[a]BT[900]WT[0]AM[30]KM[-0.5]HA[2]AB[dp][pd]/<SiroSaki>/");
  const std::string none = ReplaceAll(settings, "30" + J(" 秒"), J("なし"));
  EXPECT_EQ(RecordHeader(ReplaceAll(none, J("２子"), J("定先")), "a", "b"),
            "(;SZ[19]PB[a]PW[b]BT[900]WT[0]AM[" + J("なし") + "]KM[-0.5]HA[1]");
}

TEST(MoveEntry, PointsOfTheBoardAndThePassOnly) {
  struct Case {
    const char* point;
    const char* entry;  // nullptr: no entry
  } cases[] = {
      {"88", ";[dd]"},                    // column 4, row 4
      {"0", ";[tt]"},                     // a pass
      {"22", ";[aa]"},                    // 1-1
      {"400", ";[sa]"},                   // 19-1
      {"418", ";[ss]"},                   // 19-19
      {"40", ";[as]"},                    // 1-19
      {"088", ";[dd]"}, {"21", nullptr},  // row 0
      {"20", nullptr},                    // column 0, row 20
      {"41", nullptr},                    // row 20
      {"419", nullptr},                   // row 20 of column 19
      {"420", nullptr},                   // column 20
      {"441", nullptr},                   // past the letters
      {"-88", nullptr}, {"00", nullptr},  // only the exact "0" is a pass
      {"", nullptr},    {"x", nullptr},  {"88x", nullptr}, {"99999999999999999999999", nullptr},
  };
  for (const auto& c : cases) {
    const auto entry = MoveEntry(c.point);
    if (c.entry == nullptr) {
      EXPECT_FALSE(entry.has_value()) << c.point;
    } else {
      EXPECT_EQ(entry.value_or("none"), c.entry) << c.point;
    }
  }
}

TEST(RecordCut, TheLastEntryGoesButNeverTheHeader) {
  const std::string header = "(;SZ[19]PB[a;b]PW[c]HA[0];[dd]/<SiroTurn>/";  // ";" in the header
  struct Case {
    std::string record;
    bool cut;
    std::string after;
    bool pass_last;  // after the cut
  } cases[] = {
      {header + ";[pp];[dd]", true, header + ";[pp]", false},
      {header + ";[pp];[tt];[dd]", true, header + ";[pp];[tt]", true},
      {header + ";[tt]", true, header, false},
      {header, false, header, false},
      {header + ";[dd]/RE[W+R]/", true, header, false},
  };
  for (const auto& c : cases) {
    std::string record = c.record;
    EXPECT_EQ(CutLastEntry(record, header.size()), c.cut) << c.record;
    EXPECT_EQ(record, c.after) << c.record;
    EXPECT_EQ(LastEntryIsPass(record, header.size()), c.pass_last) << c.record;
  }
  EXPECT_TRUE(LastEntryIsPass(header + ";[tt]", header.size()));
  EXPECT_FALSE(LastEntryIsPass(header + ";[tt]/RE[B+R]/", header.size()));
  std::string empty;
  EXPECT_FALSE(CutLastEntry(empty, 0));
}
