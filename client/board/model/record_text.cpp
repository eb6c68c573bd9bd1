// Record letters, the board window's record writer and its loose and strict readers.
#include "client/board/model/record_text.h"

#include <array>
#include <limits>
#include <vector>

#include "platform/cp932.h"
#include "protocol/tag_message.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t npos = std::string_view::npos;
// The strict reader stores moves while the list holds fewer entries than this.
constexpr int kStrictReaderLimit = kMoveListCapacity - 1;

std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from = 0) {
  return FindRecordText(text, needle, from);
}


bool ContainsText(std::string_view text, std::string_view needle) {
  return FindText(text, needle) != npos;
}

// The character at `pos`, or NUL past the end (NUL is no letter and no bracket).
char At(std::string_view text, std::size_t pos) { return pos < text.size() ? text[pos] : '\0'; }

// The value of the first `key` ("SZ[", "PB[", ...): the text after the bracket up to the next
// "]"; empty when the key, the closing bracket or the value is missing.
std::string_view PropertyValue(std::string_view text, std::string_view key) {
  const std::size_t found = FindText(text, key);
  if (found == npos) return {};
  const std::size_t start = found + key.size();
  const std::size_t end = FindText(text, "]", start);
  if (end == npos) return {};
  return text.substr(start, end - start);
}

char CoordinateLetter(int coordinate) {
  return coordinate >= 0 && coordinate < static_cast<int>(CoordinateLetters.size())
             ? CoordinateLetters[coordinate]
             : 't';
}

// A point read from a record, seen as the board shows it.
int ReadPoint(const BoardModel& board, char column, char row) {
  const int point = LettersToPoint(column, row, board.BoardSize);
  return board.BoardTurned ? TurnPoint(point, board.BoardSize) : point;
}

// Applies "SZ[" when it names another valid size.
bool ApplyRecordSize(BoardModel& board, std::string_view text) {
  const int size = ReadNumber(PropertyValue(text, "SZ["), 0);
  if (!IsBoardSize(size) || size == board.BoardSize) return false;
  board.SetBoardSize(size);
  return true;
}

// One setup stone as the next list entry; false when the list is full.
bool StoreSetupStone(BoardModel& board, int point, int colour) {
  if (!BoardModel::CanAppendEntry(board.BufferLength)) return false;
  ++board.BufferLength;
  ++board.SetupCount;
  board.MoveList[board.BufferLength] = point;
  board.SetupColours[board.SetupCount] = colour * 1000 + point;
  if (point > 0) board.Board[point] = colour;
  return true;
}

// The loose setup list: entries "[..]" one after another, each read by its first two
// characters; an entry that names no point is kept as point 0.
bool ReadLooseSetup(BoardModel& board, std::string_view text, std::string_view key, int colour) {
  const std::size_t found = FindText(text, key);
  if (found == npos) return true;
  std::size_t pos = found + key.size() - 1;  // the opening bracket
  while (At(text, pos) == '[') {
    const std::size_t close = FindText(text, "]", pos + 1);
    if (close == npos) break;
    if (!StoreSetupStone(board, ReadPoint(board, At(text, pos + 1), At(text, pos + 2)), colour)) {
      return false;
    }
    pos = close + 1;
    if (text.size() - pos <= 2) break;
  }
  return true;
}

// The loose move list: every ";" after the record's opening one starts a node whose move is the
// first bracketed value after it; nodes without a value are skipped.
bool ReadLooseMoves(BoardModel& board, std::string_view text) {
  const std::size_t opening = FindText(text, ";");
  if (opening == npos) return true;
  std::size_t pos = opening + 1;
  ForwardFinder opens(text, "["), closes(text, "]");
  while ((pos = FindText(text, ";", pos)) != npos) {
    ++pos;
    const std::size_t open = opens.From(pos);
    if (open == npos) break;
    const std::size_t close = closes.From(open + 1);
    if (close == npos || close == open + 1) continue;
    if (!board.AppendToBuffer(ReadPoint(board, At(text, open + 1), At(text, open + 2)))) {
      return false;
    }
  }
  return true;
}

// The strict setup list: four-character entries "[xy]"; points that read as 0 are skipped. After
// an entry, ")" ends the list, and the next entry starts right after it or one character later.
void ReadStrictSetup(BoardModel& board, std::string_view text, std::string_view key, int colour) {
  const std::size_t found = FindText(text, key);
  if (found == npos) return;
  std::size_t pos = found + key.size() - 1;
  while (At(text, pos) == '[' && At(text, pos + 3) == ']') {
    const int point = ReadPoint(board, At(text, pos + 1), At(text, pos + 2));
    if (point > 0 && !StoreSetupStone(board, point, colour)) return;
    const std::size_t after = pos + 4;
    if (At(text, after) == ')') return;
    if (At(text, after) == '[') {
      pos = after;
    } else if (At(text, after + 1) == '[') {
      pos = after + 1;
    } else {
      return;
    }
  }
}

// Reads moves by colour letter in strict alternation from `pos`. With `skipBranches`, a "(" met
// before the next node opens a branch whose moves are read the same way but not stored, and a
// ")" before the next node ends the line; reading stops when the expected colour or a further
// ";" is missing.
void ReadAlternateMoves(BoardModel& board, std::string_view work, bool skipBranches) {
  std::size_t pos = 0;
  bool black = board.BlackFirst;
  std::vector<bool> outerColours;  // the expected colour of each line a branch interrupts
  ForwardFinder semis(work, ";"), opens(work, "("), closes(work, ")");
  while (semis.From(pos) != npos) {
    if (skipBranches) {
      const std::size_t semi = semis.From(pos);
      const std::size_t open = opens.From(pos);
      const std::size_t close = closes.From(pos);
      if (open < semi && open < close) {
        outerColours.push_back(black);
        pos = open + 1;
        continue;
      }
      if (close < semi) {
        if (outerColours.empty()) return;
        black = outerColours.back();
        outerColours.pop_back();
        pos = close + 1;
        continue;
      }
    }
    const std::size_t found = FindText(work, black ? "B[" : "W[", pos);
    if (found == npos) return;
    const int point = ReadPoint(board, At(work, found + 2), At(work, found + 3));
    if (outerColours.empty() && board.BufferLength < kStrictReaderLimit) {
      ++board.BufferLength;
      board.MoveList[board.BufferLength] = point;
    }
    pos = found + 4;
    black = !black;
  }
}

void ParseMarkList(BoardModel& board, std::string_view text, std::string_view key, int code) {
  const std::size_t found = FindText(text, key);
  if (found == npos) return;
  for (std::size_t pos = found + key.size() - 1; At(text, pos) == '[' && At(text, pos + 3) == ']';
       pos += 4) {
    const int point = ReadPoint(board, At(text, pos + 1), At(text, pos + 2));
    if (point > 0) board.Marks[point] = board.Board[point] * 1000 + code;
  }
}

void ParseLabelList(BoardModel& board, std::string_view text) {
  const std::size_t found = FindText(text, "LB[");
  if (found == npos) return;
  for (std::size_t pos = found + 2; At(text, pos) == '[' && At(text, pos + 5) == ']'; pos += 6) {
    const int point = ReadPoint(board, At(text, pos + 1), At(text, pos + 2));
    // "A".."G" give the codes 9 to 15; other letters keep their code (no glyph draws it), but a
    // code of 0 or below would read as no mark or as another colour, so it is not stored.
    const int code = static_cast<signed char>(At(text, pos + 4)) - 56;
    if (point > 0 && code > 0) board.Marks[point] = board.Board[point] * 1000 + code;
  }
}

constexpr std::array<std::string_view, 7> kMarkProperties = {"SQ", "ST", "CR", "RT",
                                                             "TR", "LO", "MA"};

}  // namespace

std::size_t FindRecordText(std::string_view text, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from <= text.size() ? from : npos;
  const std::size_t size = text.size();
  for (std::size_t pos = from; pos + needle.size() <= size;) {
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c == static_cast<unsigned char>(needle[0]) &&
        text.compare(pos, needle.size(), needle) == 0) {
      return pos;
    }
    const bool pair = IsCp932LeadByte(c) && pos + 1 < size &&
                      IsCp932TrailByte(static_cast<unsigned char>(text[pos + 1]));
    pos += pair ? 2 : 1;
  }
  return npos;
}

int LettersToPoint(char column, char row, int size) {
  const int x = static_cast<signed char>(column) - 96;
  const int y = static_cast<signed char>(row) - 96;
  if (x < 1 || x > size || y < 1 || y > size) return 0;
  return MakePoint(x, y);
}

std::string_view RecordPropertyValue(std::string_view text, std::string_view key) {
  return PropertyValue(text, key);
}

std::string PointEntry(int point) {
  std::string entry(PointTemplate);
  const bool onGrid = point > 0 && point < kPointCount;
  entry[1] = onGrid ? CoordinateLetter(PointColumn(point)) : 't';
  entry[2] = onGrid ? CoordinateLetter(PointRow(point)) : 't';
  return entry;
}

std::string WriteSgfMarks(const BoardModel& board) {
  std::array<std::string, kMarkProperties.size()> lists;
  std::string labels;
  for (int point = kFirstPlayingPoint; point <= kLastPlayingPoint; ++point) {
    const int mark = board.Marks[point];
    if (mark <= 0) continue;
    const int code = mark % 1000;
    if (code >= 1 && code <= 7) {
      lists[code - 1] += PointEntry(point);
    } else if (code >= 9 && code <= 15) {
      std::string label(LabelTemplate);
      const std::string entry = PointEntry(point);
      label[1] = entry[1];
      label[2] = entry[2];
      label[4] = static_cast<char>(code + 56);
      labels += label;
    }
  }
  std::string out;
  for (std::size_t k = 0; k < lists.size(); ++k) {
    if (lists[k].empty()) continue;
    out.append(kLineEnd).append(kMarkProperties[k]).append(lists[k]);
  }
  if (!labels.empty()) out.append(kLineEnd).append("LB").append(labels);
  return out;
}

std::string WriteSgfRecord(const BoardModel& board, const RecordHeader& header) {
  std::string out = "(;GM[1]FF[1]SZ[" + std::to_string(board.BoardSize) + "]";
  if (board.MoveTop == 0) return out + ")";
  if (board.MoveTop == board.SetupCount && !board.BlackFirst) out += "NE[W]";
  out.append(kLineEnd).append("PB[").append(header.BlackName).append("]");
  out.append(kLineEnd).append("PW[").append(header.WhiteName).append("]");
  out.append(kLineEnd).append("DT[").append(header.DateText).append(" - ");
  out.append(header.TimeText).append("]").append(header.RecordTimeText);
  std::string handicap = "0";
  if (board.SetupCount > 0) {
    handicap = std::to_string(board.SetupCount);
  } else if (ContainsText(header.ConditionsText, J("定先"))) {
    handicap = "1";
  }
  out.append(kLineEnd).append("HA[").append(handicap).append("]");

  if (board.SetupCount > 0) {
    std::string black, white;
    for (int i = board.SetupCount; i >= 1; --i) {
      (board.SetupColours[i] > 1999 ? white : black) += PointEntry(board.MoveList[i]);
    }
    if (!black.empty()) out.append(kLineEnd).append("AB").append(black);
    if (!white.empty()) out.append(kLineEnd).append("AW").append(white);
    out += WriteSgfMarks(board);
  }

  if (board.MoveTop > board.SetupCount) {
    out += kLineEnd;
    for (int k = board.SetupCount + 1; k <= board.MoveTop; ++k) {
      const bool black = board.MoveIsBlack(k);
      std::string node(MoveTemplate);
      const std::string entry = PointEntry(board.MoveList[k]);
      node[1] = black ? 'B' : 'W';
      node[3] = entry[1];
      node[4] = entry[2];
      out += node;
      const int time = board.MoveTimes[k];
      if (time > 0) {
        out.append(black ? "BL[" : "WL[").append(std::to_string(time % 100000));
        out.append("]TL[").append(std::to_string(time / 100000)).append(",0]");
      }
      out += kLineEnd;
    }
  }
  out += ")";
  if (!board.BlackFirst) out += WhiteFirstMarker;
  return out;
}

void ParseMarks(BoardModel& board, std::string_view recordText) {
  for (std::size_t k = 0; k < kMarkProperties.size(); ++k) {
    const std::string key = std::string(kMarkProperties[k]) + "[";
    ParseMarkList(board, recordText, key, static_cast<int>(k) + 1);
  }
  ParseLabelList(board, recordText);
}

KifuTextResult LoadKifuText(BoardModel& board, std::string_view text) {
  KifuTextResult result;
  if (text.empty()) return result;
  result.Read = true;
  result.SizeChanged = ApplyRecordSize(board, text);
  board.ClearBoard();
  board.SetupCount = 0;
  board.BufferLength = 0;
  board.BlackFirst = !ContainsText(text, WhiteFirstMarker);
  result.Names.Black = std::string(PropertyValue(text, "PB["));
  result.Names.White = std::string(PropertyValue(text, "PW["));
  bool complete =
      ReadLooseSetup(board, text, "AB[", kBlack) && ReadLooseSetup(board, text, "AW[", kWhite);
  ParseMarks(board, text);
  if (complete) complete = ReadLooseMoves(board, text);
  result.Truncated = !complete;
  board.PositionFromRecord();
  return result;
}

RecordHeaderResult ParseRecordHeader(BoardModel& board, std::string_view text) {
  RecordHeaderResult result;
  result.SizeChanged = ApplyRecordSize(board, text);
  ReadStrictSetup(board, text, "AB[", kBlack);
  ReadStrictSetup(board, text, "AW[", kWhite);
  board.Marks.fill(0);
  ParseMarks(board, text);
  result.Names.Black = std::string(PropertyValue(text, "PB["));
  result.Names.White = std::string(PropertyValue(text, "PW["));
  return result;
}

void ParseRecordMoves(BoardModel& board, std::string_view text) {
  const std::size_t first = FindText(text, ";");
  const std::size_t second = first == npos ? npos : FindText(text, ";", first + 1);
  std::string_view work = second == npos ? std::string_view() : text.substr(second);
  const std::size_t blackAt = FindText(work, "B[");
  const std::size_t whiteAt = FindText(work, "W[");
  if (blackAt == npos && whiteAt == npos) {
    // No move tells who plays first: the marker of a saved setup position does.
    board.BlackFirst = !ContainsText(text, WhiteFirstMarker);
    return;
  }
  board.BlackFirst = blackAt < whiteAt;

  // A line break between two closing brackets may also be a bare LF (files written on Linux).
  const bool variations =
      ContainsText(text, "))") || ContainsText(text, ")\r\n)") || ContainsText(text, ")\n)");

  if (variations) {
    const std::size_t close = FindText(work, ")");
    if (close != npos) work = work.substr(0, close + 1);
  }
  ReadAlternateMoves(board, work, !variations);
  while (board.BufferLength > board.SetupCount && board.MoveList[board.BufferLength] == 0) {
    --board.BufferLength;
  }
}

RecordHeaderResult OpenRecordText(BoardModel& board, std::string_view text) {
  board.MoveTop = board.SetupCount = board.BufferLength = 0;
  board.ClearBoard();
  const RecordHeaderResult header = ParseRecordHeader(board, text);
  ParseRecordMoves(board, text);
  board.PositionFromRecord();
  return header;
}

int ParseKomi(std::string_view text) {
  bool negative = false;
  const std::size_t minus = text.find('-');
  if (minus != npos) {
    text = text.substr(minus + 1);
    negative = true;
  }
  constexpr long long kLargest = 100'000'000;  // points; anything larger is no komi
  const std::size_t dot = text.find('.');
  const std::string_view before = text.substr(0, dot);
  constexpr long long kNotANumber = std::numeric_limits<long long>::min();
  long long whole = ReadNumber64(before, kNotANumber);
  if (whole == kNotANumber) {
    // Digits beyond 64 bits say a number too large to count; anything else is not a number.
    const bool digits = !before.empty() && before.find_first_not_of("+-0123456789") == npos;
    if (digits) return 0;
    whole = 0;
  }
  if (whole > kLargest || whole < -kLargest) return 0;
  long long tenths = whole * 10;
  if (dot != npos) {
    // The first digit after the dot counts when everything after it is digits.
    const std::string_view fraction = text.substr(dot + 1);
    const bool digits =
        !fraction.empty() && fraction.find_first_not_of("0123456789") == std::string_view::npos;
    if (digits) tenths += whole < 0 ? -(fraction[0] - '0') : fraction[0] - '0';
  }
  return static_cast<int>(negative ? -tenths : tenths);
}
