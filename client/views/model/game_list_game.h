// client/views/model/game_list_game.h — the running game the analysis room follows, as the
// game-list board keeps it: the server's record with every relayed move appended, its entry list
// and position, and the texts the board shows (the caption and the hint of its panel).
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "client/board/model/board_rules.h"

// Entries the game-list board keeps (slots 1..499), setup stones included.
inline constexpr int kGameListCapacity = 499;

// The game slot that a followed game's record belongs to, found in the lobby's game list (three
// lines a game: "[ g ]", "● " black's name, "○ " white's name, each name line with " End" and
// more after it once the game is over) by the record's two players ("PB[", "PW["). Of several
// games of the same players, the one that is over when `over` says so. 0 when no game matches.
int FollowedGameSlot(const std::vector<std::string>& lobbyGames, std::string_view record,
                     bool over);

class GameListGame {
 public:
  GameListGame();
  virtual ~GameListGame() = default;

  // The followed game's record: the server's record text, and one move node ";[" column row "]"
  // (";[tt]" for a pass) for every move relayed since.
  std::string GameListRecord;
  // Slots 1..GameListCount: the setup stones first (colour * 1000 + point, 1000 black, 5000
  // white), then one entry per move (its point, 0 for a pass).
  std::array<int, kGameListCapacity + 1> GameListEntries{};
  int GameListCount = 0;
  int GameListSetupCount = 0;
  // The position: 0 empty, 1 black, 5 white, -50 outside the board; and the flags of the capture
  // test, 0 between uses.
  PointArray GameListBoard{};
  PointArray GameListVisited{};
  int GameListBoardSize = 19;
  bool GameListBlackFirst = true;
  std::string GameListHandicapLabel;  // "互先", "定先", "２子" … "９子"
  // The panel's caption (the count and the state) and its hint (players, handicap, result).
  std::string Caption;
  std::string Hint;

  // The record of the room's game list or game data ("<<GameData="): a text of 4 characters or
  // fewer changes nothing (false).
  bool LoadWatchGame(std::string_view text);
  // Reads GameListRecord afresh: entries, hint, size and position.
  void ShowWatchGame();
  // The caption after a game list or game data: "n手まで 終局" for a game that is over, else
  // "n手  対局中".
  void ShowLoadedCaption(bool over);
  // A relayed move ("<DisCussGameMove=" point): a point of the board or 0 for a pass is stored
  // while there is room; anything else changes nothing (false).
  bool AddWatchMove(std::string_view message);
  // An accepted undo of the followed game: the last move node leaves the record, which is read
  // again. False, changing nothing, when no move is held.
  bool TakeBackWatchMove();
  // The followed game ended ("<<DiscussGameEnd>>" with "<<Result="): the caption says so, and the
  // hint names the winner of a resigned game. The closing passes leave the count.
  void FollowedGameEnded(std::string_view message);

  // The point of entry i (a setup entry's point is its value mod 1000).
  [[nodiscard]] int EntryPoint(int i) const;
  // The entry that carries the last-move marker: the last entry when it is a move whose stone
  // stands on the board; 0 otherwise.
  [[nodiscard]] int LastMoveEntry() const;

 protected:
  // The board size changed: a window draws its bare board again.
  virtual void GameListSizeSet() {}

 private:
  void ParseRecordInfo();
  void ReadSetupList(std::string_view key, int colourBase);
  void ReadMoves();
  bool AppendEntry(int value, bool setup);
  void RebuildGameListBoard();
  void SetBoardSize(int size);
  void DropFinalPasses();
  void ShowPlayingCaption();
};
