// Tests of the game the analysis room follows on the game-list board: the record read with its
// players, handicap and result, relayed moves and passes, take-backs, the end of the game and the
// limit of the entry list.
#include "client/views/model/game_list_game.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/board/model/record_text.h"
#include "platform/cp932.h"

namespace {

int Pt(const char* letters) { return LettersToPoint(letters[0], letters[1], 19); }

std::string Move(const char* letters) {
  return "<<DisCussGameMove=" + std::to_string(Pt(letters)) + ">>";
}

}  // namespace

TEST(GameListGame, ServerRecordWithTwoMoves) {
  GameListGame game;
  ASSERT_TRUE(game.LoadWatchGame(J("(;SZ[19]PB[黒田]PW[白石]BT[0]WT[0];[dp];[pd]")));
  game.ShowLoadedCaption(false);
  EXPECT_EQ(game.GameListCount, 2);
  EXPECT_EQ(game.GameListBoard[Pt("dp")], kBlack);
  EXPECT_EQ(game.GameListBoard[Pt("pd")], kWhite);
  EXPECT_EQ(game.LastMoveEntry(), 2);
  EXPECT_EQ(game.Hint, J(" ● 黒田 \r\n ○ 白石 \r\n\r\n 互先 \r\n"));
  EXPECT_EQ(game.Caption, J("2手  対局中"));
}

TEST(GameListGame, HandicapWithWhiteFirstCountsTheSetupStones) {
  GameListGame game;
  ASSERT_TRUE(
      game.LoadWatchGame("(;SZ[19]PB[a]PW[b]HA[4]AB[dd][pd][dp][pp]/<SiroSaki>/;[qf];[nc]"));
  game.ShowLoadedCaption(false);
  EXPECT_EQ(game.GameListSetupCount, 4);
  EXPECT_EQ(game.GameListCount, 6);
  EXPECT_FALSE(game.GameListBlackFirst);
  EXPECT_EQ(game.GameListBoard[Pt("qf")], kWhite);
  EXPECT_EQ(game.GameListBoard[Pt("nc")], kBlack);
  EXPECT_EQ(game.GameListHandicapLabel, J("４子"));
  EXPECT_EQ(game.Caption, J("6手  対局中"));
}

TEST(GameListGame, RelayedMovesPassesAndTakeBacks) {
  GameListGame game;
  ASSERT_TRUE(game.LoadWatchGame("(;SZ[9]PB[a]PW[b];[cc]"));
  EXPECT_EQ(game.GameListBoardSize, 9);
  // Black takes a white stone in the corner; white passes on the way.
  EXPECT_TRUE(game.AddWatchMove(Move("aa")));               // white
  EXPECT_TRUE(game.AddWatchMove(Move("ab")));               // black
  EXPECT_TRUE(game.AddWatchMove("<<DisCussGameMove=0>>"));  // white passes
  EXPECT_TRUE(game.AddWatchMove(Move("ba")));               // black takes aa
  EXPECT_EQ(game.GameListRecord, "(;SZ[9]PB[a]PW[b];[cc];[aa];[ab];[tt];[ba]");
  EXPECT_EQ(game.GameListCount, 5);
  EXPECT_EQ(game.GameListBoard[Pt("aa")], kEmpty);
  EXPECT_EQ(game.GameListBoard[Pt("ba")], kBlack);  // the pass kept the turn of the moves after it
  EXPECT_EQ(game.Caption, J("5手   対局中"));

  // Values that are no point of the board change nothing.
  for (const char* message :
       {"<<DisCussGameMove=441>>", "<<DisCussGameMove=-1>>", "<<DisCussGameMove=20>>",
        "<<DisCussGameMove=x>>", "<<DisCussGameMove=>>", "<<DisCussGameMove=211>>"}) {
    EXPECT_FALSE(game.AddWatchMove(message)) << message;
  }
  EXPECT_EQ(game.GameListCount, 5);

  // An undo takes exactly the last move node away; the captured stone is back.
  EXPECT_TRUE(game.TakeBackWatchMove());
  EXPECT_EQ(game.GameListRecord, "(;SZ[9]PB[a]PW[b];[cc];[aa];[ab];[tt]");
  EXPECT_EQ(game.GameListBoard[Pt("aa")], kWhite);
  EXPECT_EQ(game.Caption, J("4手   対局中"));
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(game.TakeBackWatchMove());
  EXPECT_EQ(game.GameListRecord, "(;SZ[9]PB[a]PW[b]");
  EXPECT_FALSE(game.TakeBackWatchMove());
  EXPECT_EQ(game.GameListCount, 0);
}

TEST(GameListGame, EndOfTheFollowedGame) {
  struct Case {
    const char* result;
    const char* hintTail;
  } cases[] = {
      {"W", " 白中押勝\r\n"},  // black resigned
      {"B", " 黒中押勝\r\n"},
      {"", ""},  // two passes
  };
  for (const auto& c : cases) {
    GameListGame game;
    game.LoadWatchGame("(;SZ[19]PB[a]PW[b];[dd];[pp]");
    game.AddWatchMove(Move("dp"));
    const std::string hint = game.Hint;
    if (c.result[0] == '\0') {
      game.AddWatchMove("<<DisCussGameMove=0>>");
      game.AddWatchMove("<<DisCussGameMove=0>>");
    }
    game.FollowedGameEnded("<<Status>><<DiscussGameEnd>><<Result=" + std::string(c.result) + ">>");
    EXPECT_EQ(game.Caption, J("3手 まで終局")) << c.result;
    EXPECT_EQ(game.Hint, hint + J(c.hintTail)) << c.result;
    EXPECT_EQ(game.LastMoveEntry(), 3) << c.result;
  }
  GameListGame over;
  over.LoadWatchGame("(;SZ[19]RE[B+R];[dd];[tt];[pp];[tt];[tt]");
  over.ShowLoadedCaption(true);
  EXPECT_EQ(over.Caption, J("3手まで 終局"));
  EXPECT_NE(over.Hint.find(J(" 黒中押勝 \r\n")), std::string::npos);
}

TEST(GameListGame, ShortTextsAndTheEntryLimit) {
  GameListGame game;
  EXPECT_FALSE(game.LoadWatchGame("(;SZ"));
  EXPECT_EQ(game.GameListRecord, "");
  std::string record = "(;SZ[19]";
  for (int i = 0; i < 498; ++i) record += ";[tt]";
  ASSERT_TRUE(game.LoadWatchGame(record));
  ASSERT_EQ(game.GameListCount, 498);
  EXPECT_TRUE(game.AddWatchMove(Move("dd")));
  EXPECT_EQ(game.GameListCount, kGameListCapacity);
  const std::string full = game.GameListRecord;
  EXPECT_TRUE(game.AddWatchMove(Move("pp")));
  EXPECT_EQ(game.GameListCount, kGameListCapacity);
  EXPECT_EQ(game.GameListRecord, full);
  EXPECT_EQ(game.Caption, J("499手   対局中"));
}

TEST(FollowedGameSlot, TheLobbysListNamesTheGameOfTheRecordsPlayers) {
  // Game 1 of Aki and Ben is over; game 3 of Aki and Ben runs; game 4 of Akira and Ben runs.
  const std::vector<std::string> lobby = {"[ 1 ]", J("● Aki End"), J("○ Ben End OUT"),
                                          "[ 3 ]", J("● Aki"),     J("○ Ben"),
                                          "[ 4 ]", J("● Akira"),   J("○ Ben")};
  struct Case {
    const char* what;
    std::string record;
    bool over;
    int slot;
  } cases[] = {
      {"the running game", "(;SZ[19]PB[Aki]PW[Ben];[dd]", false, 3},
      {"the finished game of the same players", "(;SZ[19]PB[Aki]PW[Ben];[dd]", true, 1},
      {"a name that only begins the same", "(;SZ[19]PB[Akira]PW[Ben]", false, 4},
      {"a finished game that only the list knows as running", "(;SZ[19]PB[Akira]PW[Ben]", true, 4},
      {"colours the other way round", "(;SZ[19]PB[Ben]PW[Aki]", false, 0},
      {"no players", "(;SZ[19];[dd]", false, 0},
      {"an empty record", "", false, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FollowedGameSlot(lobby, c.record, c.over), c.slot) << c.what;
  EXPECT_EQ(FollowedGameSlot({"[ 2 ]", J("● Aki")}, "(;PB[Aki]PW[Ben]", false), 0);  // cut short
}
