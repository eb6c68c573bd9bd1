// The followed game of the game-list board: reading its record, relayed moves and take-backs, and
// the texts of its panel.
#include "client/views/model/game_list_game.h"

#include <array>

#include "client/board/model/record_text.h"
#include "client/views/model/record_info.h"
#include "platform/cp932.h"
#include "protocol/tag_message.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

char At(std::string_view text, std::size_t pos) { return pos < text.size() ? text[pos] : '\0'; }

// The slot number of a lobby line "[ g ]", 0 for any other line.
int SlotOfLine(std::string_view line) {
  if (!line.starts_with("[ ") || !line.ends_with(" ]")) return 0;
  const int slot = ReadNumber(line.substr(2, line.size() - 4), 0);
  return slot >= 1 && slot <= 9 ? slot : 0;
}

// A lobby name line: 0 when it names `name` in a running game, 1 when in a game that is over,
// -1 when it names someone else.
int NameLineState(std::string_view line, std::string_view mark, std::string_view name) {
  if (!line.starts_with(mark)) return -1;
  line.remove_prefix(mark.size());
  if (!line.starts_with(name)) return -1;
  line.remove_prefix(name.size());
  if (line.empty()) return 0;
  // " End", and " Out" or " OUT" after it for a player who left.
  return line == " End" || line.starts_with(" End ") ? 1 : -1;
}

}  // namespace

int FollowedGameSlot(const std::vector<std::string>& lobbyGames, std::string_view record,
                     bool over) {
  const std::string_view black = RecordPropertyValue(record, "PB[");
  const std::string_view white = RecordPropertyValue(record, "PW[");
  const std::string blackMark = J("● "), whiteMark = J("○ ");
  int found = 0;
  for (std::size_t i = 0; i + 2 < lobbyGames.size(); ++i) {
    const int slot = SlotOfLine(lobbyGames[i]);
    if (slot == 0) continue;
    const int blackState = NameLineState(lobbyGames[i + 1], blackMark, black);
    const int whiteState = NameLineState(lobbyGames[i + 2], whiteMark, white);
    if (blackState < 0 || whiteState < 0) continue;
    if ((blackState == 1 || whiteState == 1) == over) return slot;
    if (found == 0) found = slot;
  }
  return found;
}

GameListGame::GameListGame() : GameListHandicapLabel(J("互先")) {
  FillPlayingArea(GameListBoard, GameListBoardSize);
}

int GameListGame::EntryPoint(int i) const {
  if (i < 1 || i > GameListCount) return 0;
  return i <= GameListSetupCount ? GameListEntries[i] % 1000 : GameListEntries[i];
}

int GameListGame::LastMoveEntry() const {
  if (GameListCount <= GameListSetupCount) return 0;
  const int point = GameListEntries[GameListCount];
  return IsPlayingPoint(point, GameListBoardSize) && IsStone(GameListBoard[point]) ? GameListCount
                                                                                   : 0;
}

bool GameListGame::LoadWatchGame(std::string_view text) {
  if (text.size() <= 4) return false;
  GameListRecord.assign(text);
  ShowWatchGame();
  return true;
}

void GameListGame::ShowWatchGame() {
  GameListCount = GameListSetupCount = 0;
  GameListHandicapLabel = J("互先");
  Hint.clear();
  ParseRecordInfo();
  RebuildGameListBoard();
}

void GameListGame::SetBoardSize(int size) {
  GameListBoardSize = IsBoardSize(size) ? size : 9;
  FillPlayingArea(GameListBoard, GameListBoardSize);
  GameListSizeSet();
}

bool GameListGame::AppendEntry(int value, bool setup) {
  if (GameListCount >= kGameListCapacity) return false;
  ++GameListCount;
  GameListEntries[GameListCount] = value;
  if (setup) ++GameListSetupCount;
  return true;
}

void GameListGame::ParseRecordInfo() {
  const std::string_view text = GameListRecord;
  GameListBlackFirst = FindRecordText(text, WhiteFirstMarker) == npos;
  const int size = ReadNumber(RecordPropertyValue(text, "SZ["), 0);
  if (IsBoardSize(size) && size != GameListBoardSize) SetBoardSize(size);
  const std::string_view black = RecordPropertyValue(text, "PB[");
  if (!black.empty()) Hint += J(" ● ") + std::string(black) + " \r\n";
  const std::string_view white = RecordPropertyValue(text, "PW[");
  if (!white.empty()) Hint += J(" ○ ") + std::string(white) + " \r\n\r\n";
  ReadSetupList("AB[", 1000);
  GameListHandicapLabel =
      RecordHandicapLabel(text, GameListSetupCount, std::move(GameListHandicapLabel));
  Hint += " " + GameListHandicapLabel + " \r\n";
  const std::string_view result = RecordPropertyValue(text, "RE[");
  if (!result.empty()) Hint.append(" ").append(RecordResultText(result)).append(" \r\n");
  ReadSetupList("AW[", 5000);
  ReadMoves();
}

// Entries "[xy]" one after another from the first `key`; an entry that names no point of the
// board ends the list.
void GameListGame::ReadSetupList(std::string_view key, int colourBase) {
  const std::string_view text = GameListRecord;
  const std::size_t found = FindRecordText(text, key);
  if (found == npos) return;
  std::size_t pos = found + key.size() - 1;
  while (At(text, pos) == '[') {
    const std::size_t close = FindRecordText(text, "]", pos + 1);
    if (close == npos || close < pos + 2) return;
    const int point = LettersToPoint(At(text, pos + 1), At(text, pos + 2), GameListBoardSize);
    if (point == 0 || !AppendEntry(colourBase + point, true)) return;
    pos = close + 1;
    if (text.size() - pos < 3) return;
  }
}

// After the root node, every ";" gives the move in the first bracket after it, whatever letter
// comes before the bracket (the server writes none, the client a colour).
void GameListGame::ReadMoves() {
  const std::string_view text = GameListRecord;
  const std::size_t root = FindRecordText(text, ";");
  if (root == npos) return;
  for (std::size_t pos = FindRecordText(text, ";", root + 1); pos != npos;
       pos = FindRecordText(text, ";", pos + 1)) {
    const std::size_t open = FindRecordText(text, "[", pos + 1);
    if (open == npos) return;
    // A node without a bracket of its own gives no move.
    const std::size_t next = FindRecordText(text, ";", pos + 1);
    if (next < open) continue;
    const std::size_t close = FindRecordText(text, "]", open + 1);
    if (close == npos || close < open + 2) continue;
    const int point = LettersToPoint(At(text, open + 1), At(text, open + 2), GameListBoardSize);
    if (!AppendEntry(point, false)) return;
  }
}

void GameListGame::RebuildGameListBoard() {
  FillPlayingArea(GameListBoard, GameListBoardSize);
  GameListVisited.fill(0);
  int k = 0;
  for (int i = 1; i <= GameListCount; ++i) {
    const int value = GameListEntries[i];
    if (i <= GameListSetupCount) {
      const int point = value % 1000;
      if (IsPlayingPoint(point, GameListBoardSize)) GameListBoard[point] = value / 1000;
      continue;
    }
    ++k;
    if (!IsPlayingPoint(value, GameListBoardSize)) continue;  // a pass keeps its place
    const bool black = (k % 2 != 0) == GameListBlackFirst;
    PlaceStoneCapturing(GameListBoard, GameListVisited, value, black ? kBlack : kWhite);
  }
}

void GameListGame::DropFinalPasses() {
  while (GameListCount > GameListSetupCount && GameListEntries[GameListCount] == 0) {
    --GameListCount;
  }
}

void GameListGame::ShowLoadedCaption(bool over) {
  if (over) DropFinalPasses();
  Caption = std::to_string(GameListCount) + (over ? J("手まで 終局") : J("手  対局中"));
}

void GameListGame::ShowPlayingCaption() {
  Caption = std::to_string(GameListCount) + J("手   対局中");
}

bool GameListGame::AddWatchMove(std::string_view message) {
  const int point = ReadNumber(GetTagValue(message, "<DisCussGameMove="), -1);
  if (point != 0 && !IsPlayingPoint(point, GameListBoardSize)) return false;
  // At the limit the move is neither stored nor written, so the count and the record agree.
  if (AppendEntry(point, false)) {
    GameListRecord.append(";").append(PointEntry(point));
    RebuildGameListBoard();
  }
  ShowPlayingCaption();
  return true;
}

bool GameListGame::TakeBackWatchMove() {
  if (GameListCount <= GameListSetupCount) return false;
  const std::size_t root = FindRecordText(GameListRecord, ";");
  const std::size_t last = GameListRecord.rfind(';');
  if (root == npos || last == root) return false;
  GameListRecord.erase(last);
  ShowWatchGame();
  ShowPlayingCaption();
  return true;
}

void GameListGame::FollowedGameEnded(std::string_view message) {
  DropFinalPasses();
  Caption = std::to_string(GameListCount) + J("手 まで終局");
  const std::string result = GetTagValue(message, "<<Result=");
  if (!result.empty()) Hint += result == "B" ? J(" 黒中押勝") + "\r\n" : J(" 白中押勝") + "\r\n";
}
