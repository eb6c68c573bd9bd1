// Board-diagram data: the writer, the reader of the editor and the viewer, the chat line.
#include "client/views/model/board_diagram.h"

#include <algorithm>
#include <array>

#include "client/board/model/mark_codes.h"
#include "client/board/model/record_text.h"
#include "platform/cp932.h"
#include "protocol/tag_message.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

// First position at or after `from` (a character boundary) where `needle` starts a character of
// `text`; a match inside a double-byte character does not count.
std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from = 0) {
  const std::size_t size = text.size();
  for (std::size_t pos = from; pos + needle.size() <= size;) {
    if (text.compare(pos, needle.size(), needle) == 0) return pos;
    pos += Cp932CharLength(text, pos);
  }
  return npos;
}


char At(std::string_view text, std::size_t pos) { return pos < text.size() ? text[pos] : '\0'; }

int ReadPoint(const BoardModel& board, char column, char row, bool turned) {
  const int point = LettersToPoint(column, row, board.BoardSize);
  return turned ? TurnPoint(point, board.BoardSize) : point;
}

// "SZ[": the text up to the next "]" read as a number; a valid other size switches the board.
bool ApplySize(BoardModel& board, std::string_view text) {
  const std::size_t found = FindText(text, "SZ[");
  if (found == npos) return false;
  const std::size_t start = found + 3;
  const std::size_t end = FindText(text, "]", start);
  if (end == npos) return false;
  const int size = ReadNumber(text.substr(start, end - start), 0);
  if (!IsBoardSize(size) || size == board.BoardSize) return false;
  board.SetBoardSize(size);
  return true;
}

// One setup list from the bracket after `key` ("AB[" or "AW["): entries "[xy]" one after another
// while at least three characters are left. False when the move list is full.
bool ReadSetupList(BoardModel& board, std::string_view text, std::string_view key, int colour,
                   bool turned, DiagramReadResult& result) {
  const std::size_t found = FindText(text, key);
  if (found == npos) return true;
  std::size_t pos = found + key.size() - 1;
  while (text.size() - pos >= 3 && text[pos] == '[') {
    const std::size_t close = FindText(text, "]", pos + 1);
    if (close == npos) break;
    const int point = ReadPoint(board, At(text, pos + 1), At(text, pos + 2), turned);
    pos = close + 1;
    if (point <= 0 || board.Board[point] != kEmpty) continue;
    if (!BoardModel::CanAppendEntry(board.BufferLength)) return false;
    ++board.BufferLength;
    ++board.SetupCount;
    board.MoveList[board.BufferLength] = point;
    board.SetupColours[board.SetupCount] = colour * 1000 + point;
    board.Board[point] = colour;
    ++result.SetupStones;
  }
  return true;
}

void StoreMark(BoardModel& board, int point, int code) {
  if (point > 0 && IsMarkCode(code)) board.Marks[point] = board.Board[point] * 1000 + code;
}

// The mark properties: four-character entries "[xy]" after "SQ[" .. "MA[", six-character
// entries "[xy:L]" after "LB[" (code = L - 56). Each mark takes the colour its point has now.
void ReadMarks(BoardModel& board, std::string_view text, bool turned) {
  for (const MarkKind& kind : kMarkKinds) {
    if (kind.Code >= kFirstLabelCode) break;
    const std::string key = std::string(kind.Property) + "[";
    const std::size_t found = FindText(text, key);
    if (found == npos) continue;
    for (std::size_t pos = found + 2; At(text, pos) == '[' && At(text, pos + 3) == ']'; pos += 4) {
      StoreMark(board, ReadPoint(board, At(text, pos + 1), At(text, pos + 2), turned), kind.Code);
    }
  }
  const std::size_t found = FindText(text, "LB[");
  if (found == npos) return;
  for (std::size_t pos = found + 2; At(text, pos) == '[' && At(text, pos + 5) == ']'; pos += 6) {
    const int code = static_cast<signed char>(At(text, pos + 4)) - 56;
    StoreMark(board, ReadPoint(board, At(text, pos + 1), At(text, pos + 2), turned), code);
  }
}

// The moves: every ";" starts a node whose move is the first bracketed value after it. A record's
// first ";" (its root node) is passed over, and so are its nodes with an empty value; in diagram
// data an empty value is a pass. False when the move list is full.
bool ReadMoves(BoardModel& board, std::string_view text, bool turned, DiagramText kind,
               DiagramReadResult& result) {
  std::size_t pos = 0;
  if (kind == DiagramText::kRecord) {
    const std::size_t root = FindText(text, ";");
    if (root == npos) return true;
    pos = root + 1;
  }
  ForwardFinder semis(text, ";"), opens(text, "["), closes(text, "]");
  for (std::size_t semi; (semi = semis.From(pos)) != npos;) {
    pos = semi + 1;
    const std::size_t open = opens.From(pos);
    if (open == npos) break;
    const std::size_t close = closes.From(open + 1);
    if (close == npos) break;
    if (close == open + 1 && kind == DiagramText::kRecord) continue;
    const int point = ReadPoint(board, At(text, open + 1), At(text, open + 2), turned);
    if (!board.AppendToBuffer(point)) return false;
    ++result.Moves;
  }
  return true;
}

// The "[xy]" entries of a list of points, in increasing point order.
std::string PointList(std::vector<int> points) {
  std::sort(points.begin(), points.end());
  std::string list;
  for (const int point : points) list += PointEntry(point);
  return list;
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

}  // namespace

std::string WriteDiagramData(const BoardModel& board, bool turned) {
  const int size = board.BoardSize;
  const auto seen = [&](int point) { return turned ? TurnPoint(point, size) : point; };
  std::string out = "SZ[" + std::to_string(size) + "]";
  if (!board.BlackFirst) out += WhiteFirstMarker;
  if (board.SetupCount > 0) {
    std::vector<int> black, white;
    for (int i = 1; i <= board.SetupCount; ++i) {
      const int point = board.MoveList[i];
      if (!IsPlayingPoint(point, size)) continue;
      (board.SetupColours[i] < 2000 ? black : white).push_back(seen(point));
    }
    if (!black.empty()) out += "AB" + PointList(std::move(black));
    if (!white.empty()) out += "AW" + PointList(std::move(white));
    // The record writer's mark text, over the marks as black sees them.
    BoardModel blackView(board);
    blackView.Marks.fill(0);
    for (int point = 0; point < kPointCount; ++point) {
      if (IsPlayingPoint(point, size)) blackView.Marks[seen(point)] = board.Marks[point];
    }
    out += WriteSgfMarks(blackView);
  }
  for (int i = board.SetupCount + 1; i <= board.MoveTop; ++i) {
    out += board.MoveIsBlack(i) ? ";B" : ";W";
    out += PointEntry(seen(board.MoveList[i]));
  }
  return out;
}

DiagramReadResult ReadBoardDiagram(BoardModel& board, std::string_view text, bool turned,
                                   DiagramText kind) {
  DiagramReadResult result;
  if (text.empty() && kind == DiagramText::kRecord) return result;
  result.Read = true;
  result.SizeChanged = ApplySize(board, text);
  board.ClearBoard();
  board.SetupCount = 0;
  board.BufferLength = 0;
  board.BlackFirst =
      FindText(text, kind == DiagramText::kRecord ? WhiteFirstMarker : "<SiroSaki>") == npos;
  bool complete = ReadSetupList(board, text, "AB[", kBlack, turned, result) &&
                  ReadSetupList(board, text, "AW[", kWhite, turned, result);
  ReadMarks(board, text, turned);
  if (complete) complete = ReadMoves(board, text, turned, kind, result);
  result.Truncated = !complete;
  board.PositionFromRecord();
  return result;
}

std::vector<ShownNumber> MoveNumbersShown(const BoardModel& board, bool allNumbers) {
  std::vector<ShownNumber> shown;
  for (int i = board.MoveTop; i > board.SetupCount; --i) {
    if (!allNumbers && i != board.MoveTop) break;
    if (board.IsMoveStoneGone(i)) continue;
    const int point = board.MoveList[i];
    if (!IsStone(board.Board[point])) continue;
    shown.push_back({point, i - board.SetupCount, board.Board[point] == kBlack});
  }
  return shown;
}

std::string DiagramNumberText(int number) {
  return std::to_string(number >= 100 ? number % 100 : number);
}

std::string DiagramComment(std::string_view typed, int gameMoves) {
  while (!typed.empty() && IsBlankOrControl(typed.front())) typed.remove_prefix(1);
  while (!typed.empty() && IsBlankOrControl(typed.back())) typed.remove_suffix(1);
  std::string comment = EscapeChatText(typed);
  if (gameMoves > 0) comment += " (" + std::to_string(gameMoves) + ")";
  return ReplaceAll(comment, "\r\n\r\n", "\r\n") + "\r\n";
}

std::string DiagramChatMessage(bool room, std::string_view userName, std::string_view comment,
                               std::string_view gameTag, std::string_view data) {
  std::string message = room ? "<<DiscussMese=[ " : "<<GameMese=[ ";
  message.append(userName).append(J(" ]：")).append(comment).append(">>");
  message.append(gameTag).append("<<DiaData=").append(data).append(">>");
  return message;
}

std::optional<std::string> DiagramLinkNumber(std::string_view line) {
  const std::string& opening = J("{ 碁盤 ");
  if (!line.starts_with(opening)) return std::nullopt;
  const std::string_view rest = line.substr(opening.size());
  const std::size_t close = rest.find(" }");
  if (close == npos || close == 0) return std::nullopt;
  return std::string(rest.substr(0, close));
}

std::optional<std::string> StoredDiagram(std::string_view store, std::string_view number) {
  const std::size_t found = store.find(std::string("{").append(number).append("}"));
  if (found == npos) return std::nullopt;
  return GetTagValue(store.substr(found), "<<DiaData=");
}
