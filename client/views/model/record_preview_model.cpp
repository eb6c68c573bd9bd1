// The record preview's reading of a record, its reduced position and its start position.
#include "client/views/model/record_preview_model.h"

#include <algorithm>
#include <vector>

#include "client/board/model/board_rules.h"
#include "client/board/model/record_text.h"
#include "client/views/model/record_info.h"
#include "platform/cp932.h"
#include "protocol/tag_message.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr int kBlackSetup = 1000;
constexpr int kWhiteSetup = 5000;

char At(std::string_view text, std::size_t pos) { return pos < text.size() ? text[pos] : '\0'; }

bool Holds(std::string_view text, std::string_view needle) {
  return FindRecordText(text, needle) != npos;
}

// The next occurrence of a character that is never part of a double-byte character (";", "(",
// ")") at or after a position that only moves forward: one scan of the text in all.
class ForwardChar {
 public:
  ForwardChar(std::string_view text, char c) : text_(text), c_(c) {}
  std::size_t From(std::size_t pos) {
    if (!searched_ || (found_ != npos && found_ < pos)) {
      found_ = text_.find(c_, pos);
      searched_ = true;
    }
    return found_;
  }

 private:
  std::string_view text_;
  char c_;
  std::size_t found_ = npos;
  bool searched_ = false;
};

}  // namespace

RecordPreview::RecordPreview() : PreviewHandicapLabel(J("互先")) { ComputePreviewPosition(); }

void RecordPreview::SetBoardSize(int size) {
  PreviewBoardSize = size == 19 || size == 13 ? size : 9;
  PreviewBoardSizeSet();
}

void RecordPreview::ShowRecordPreview() {
  PreviewEntryCount = PreviewSetupCount = 0;
  PreviewEntries.fill(0);
  PreviewHandicapLabel = J("互先");
  InfoLines.Clear();
  ParseRecordInfo();
  ParseRecordMoves();
  std::string count = J("手数 ： ") + std::to_string(PreviewEntryCount);
  if (PreviewSetupCount > 0) count += J("  |  前配置 ： ") + std::to_string(PreviewSetupCount);
  InfoLines.Add(count);
  PreviewRead();
}

bool RecordPreview::PreviewRecordFileText(std::string_view fileText) {
  InfoLines.Clear();
  std::string text = fileText.size() >= 5 ? NormalizeRecord(fileText) : std::string(fileText);
  if (text.size() < 5 || text.find("(;") == std::string::npos) {
    ClearPreview();
    return false;
  }
  PreviewRecordText = std::move(text);
  ShowRecordPreview();
  return true;
}

void RecordPreview::ClearPreview() {
  PreviewRecordText.clear();
  PreviewEntryCount = PreviewSetupCount = 0;
  PreviewEntries.fill(0);
  PreviewHandicapLabel = J("互先");
  PreviewBlackTime.clear();
  PreviewWhiteTime.clear();
  PreviewValueText.clear();
  PreviewVariationCount = 0;
  InfoLines.Clear();
  ComputePreviewPosition();
  PreviewRead();
}

bool RecordPreview::AppendEntry(int value, bool setup) {
  if (PreviewEntryCount >= kPreviewEntryCapacity) return false;
  PreviewEntries[++PreviewEntryCount] = value;
  if (setup) ++PreviewSetupCount;
  return true;
}

// ---------------------------------------------------------------------------------------------
// The info

void RecordPreview::ParseRecordInfo() {
  const std::string_view record = PreviewRecordText;
  const std::string_view size_text = RecordPropertyValue(record, "SZ[");
  const int size = size_text == "13" ? 13 : size_text == "9" ? 9 : 19;
  if (size != PreviewBoardSize) SetBoardSize(size);

  ReadSetupList("AB[", kBlackSetup);
  PreviewHandicapLabel = RecordHandicapLabel(record, PreviewSetupCount, PreviewHandicapLabel);
  ReadSetupList("AW[", kWhiteSetup);

  if (const auto black = RecordPropertyValue(record, "PB["); !black.empty()) {
    InfoLines.Add(J("● ") + std::string(black));
  }
  if (const auto white = RecordPropertyValue(record, "PW["); !white.empty()) {
    InfoLines.Add(J("○ ") + std::string(white));
  }
  if (const auto date = RecordPropertyValue(record, "DT["); !date.empty()) {
    InfoLines.Add(J("日付 ： ") + std::string(date));
  }
  ReadPlayingTimes();
  PreviewValueText = std::string(RecordPropertyValue(record, "RE["));
  if (!PreviewValueText.empty()) {
    InfoLines.Add(J("結果 ： ") + RecordResultText(PreviewValueText));
  }
}

// Entries of exactly "[", letter, letter, "]" from the key's bracket on. After an entry, ")" ends
// the list, "[" starts the next one, and any other single character is passed over before it.
// Letters that name no point give no entry; the list ends at the first entry of another form and
// when the entry list is full.
void RecordPreview::ReadSetupList(std::string_view key, int colourBase) {
  const std::string_view record = PreviewRecordText;
  const std::size_t found = FindRecordText(record, key);
  if (found == npos) return;
  for (std::size_t pos = found + key.size() - 1;
       At(record, pos) == '[' && At(record, pos + 3) == ']';) {
    const int point = LettersToPoint(At(record, pos + 1), At(record, pos + 2), PreviewBoardSize);
    if (point > 0 && !AppendEntry(colourBase + point, true)) return;
    const std::size_t after = pos + 4;
    if (At(record, after) == ')') return;
    pos = At(record, after) == '[' ? after : after + 1;
  }
}

// The main times from the last "BL[" and "WL[" (the clocks the record ends with), in seconds;
// the dialog takes whole minutes, rounded up so that no second of the record is lost.
void RecordPreview::ReadPlayingTimes() {
  const std::string_view record = PreviewRecordText;
  const auto minutes = [record](std::string_view key) -> std::string {
    std::size_t last = npos;
    for (std::size_t at = FindRecordText(record, key); at != npos;
         at = FindRecordText(record, key, at + key.size())) {
      last = at;
    }
    if (last == npos || last == 0) return {};
    const std::size_t start = last + key.size();
    const std::size_t end = FindRecordText(record, "]", start);
    if (end == npos) return {};
    const long long seconds = ReadNumber64(record.substr(start, end - start), 0);
    if (seconds <= 0) return {};
    return std::to_string((seconds + 59) / 60);
  };
  PreviewBlackTime = minutes("BL[");
  PreviewWhiteTime = minutes("WL[");
}

// ---------------------------------------------------------------------------------------------
// The moves

void RecordPreview::ParseRecordMoves() {
  const std::string_view record = PreviewRecordText;
  PreviewVariationCount = 0;
  const std::size_t first = record.find(';');
  const std::size_t second = first == npos ? npos : record.find(';', first + 1);
  if (second != npos) {
    // The first move node on.
    const std::string_view work = record.substr(second);
    const std::size_t black_at = FindRecordText(work, "B[");
    const std::size_t white_at = FindRecordText(work, "W[");
    PreviewBlackFirst = black_at != npos && (white_at == npos || black_at < white_at);
    // A line break between two closing brackets may also be a bare LF (files written on Linux).
    const bool variations =
        record.find("))") != npos || record.find(")\r\n)") != npos || record.find(")\n)") != npos;
    if (variations) {
      // The first ")" closes the first branch of the deepest branching: the text before it is
      // the main line.
      const std::size_t close = work.find(')');
      if (close != npos && close > 1) ReadFirstLineMoves(work.substr(0, close + 1));
    } else {
      ReadVariationMoves(work);
    }
  }
  // Passes at the end change nothing on the board.
  while (PreviewEntryCount > PreviewSetupCount && PreviewEntries[PreviewEntryCount] == 0) {
    PreviewEntries[PreviewEntryCount--] = 0;
  }
  if (PreviewEntryCount == PreviewSetupCount) {
    // No move tells who began: the record's markers do, so that the offer, the start position
    // and the game agree.
    PreviewBlackFirst = !Holds(record, "NE[W]") && !Holds(record, WhiteFirstMarker) &&
                        !Holds(record, WhiteToMoveMarker);
  }
  if (PreviewWhiteToMove() && !Holds(PreviewRecordText, WhiteToMoveMarker)) {
    PreviewRecordText += WhiteToMoveMarker;
  }
  ComputePreviewPosition();
}

bool RecordPreview::StoreMoveAt(std::string_view work, std::size_t found) {
  return AppendEntry(LettersToPoint(At(work, found + 2), At(work, found + 3), PreviewBoardSize),
                     false);
}

// The moves by colour letter in strict alternation while a further ";" follows.
void RecordPreview::ReadFirstLineMoves(std::string_view work) {
  bool black = PreviewBlackFirst;
  for (std::size_t pos = 0;;) {
    const std::size_t found = FindRecordText(work, black ? "B[" : "W[", pos);
    if (found == npos || !StoreMoveAt(work, found)) return;
    pos = std::min(found + 4, work.size());
    black = !black;
    if (work.find(';', pos) == npos) return;
  }
}

// The moves by colour letter in strict alternation, passing over variations: after a move, a "("
// before both the next ";" and the next ")" opens one, whose moves are read the same way (the
// first one of the colour the line expects next) but not stored; a ")" before the next ";" ends
// the line. Reading ends when the expected colour or a further ";" is missing. A stack of the
// interrupted lines' colours stands in for nesting, so no record can exhaust the call stack.
void RecordPreview::ReadVariationMoves(std::string_view work) {
  ForwardChar semis(work, ';'), opens(work, '('), closes(work, ')');
  std::vector<bool> outer;  // the colour each interrupted line expects next
  bool black = PreviewBlackFirst;
  for (std::size_t pos = 0;;) {
    const std::size_t found = FindRecordText(work, black ? "B[" : "W[", pos);
    if (found == npos) return;
    if (outer.empty() && !StoreMoveAt(work, found)) return;
    pos = std::min(found + 4, work.size());
    black = !black;
    for (;;) {
      const std::size_t semi = semis.From(pos);
      const std::size_t open = opens.From(pos);
      const std::size_t close = closes.From(pos);
      if (open < semi && open < close) {
        ++PreviewVariationCount;
        outer.push_back(black);
        pos = open + 1;
        break;
      }
      if (close < semi) {
        if (outer.empty()) return;
        black = outer.back();
        outer.pop_back();
        pos = close + 1;
        continue;
      }
      if (semi == npos) return;
      break;
    }
  }
}

bool RecordPreview::PreviewWhiteToMove() const {
  const int moves = PreviewEntryCount - PreviewSetupCount;
  return (moves % 2 == 1) == PreviewBlackFirst;
}

// ---------------------------------------------------------------------------------------------
// The position and the start position

// The reduced rules of the small boards: setup stones are put down as they are; each move puts
// its colour on its point (replacing what stands there) and removes the neighbouring groups of
// the other colour left without a liberty. No ko, no suicide test, no prisoners.
void RecordPreview::ComputePreviewPosition() {
  PointArray& board = PreviewPosition.Board;
  PointArray& visited = PreviewPosition.Visited;
  FillPlayingArea(board, PreviewBoardSize);
  visited.fill(0);
  int move = 0;
  for (int i = 1; i <= PreviewEntryCount; ++i) {
    const int entry = PreviewEntries[i];
    if (i <= PreviewSetupCount) {
      const int point = entry % 1000;
      if (IsPlayingPoint(point, PreviewBoardSize)) board[point] = entry / 1000;
      continue;
    }
    ++move;
    if (!IsPlayingPoint(entry, PreviewBoardSize)) continue;
    const bool black = (move % 2 == 1) == PreviewBlackFirst;
    PlaceStoneCapturing(board, visited, entry, black ? kBlack : kWhite);
  }
}

std::string RecordPreview::BuildStartPosition() const {
  std::string start;
  if (!PreviewBlackFirst) start += WhiteFirstMarker;
  if (PreviewWhiteToMove()) start += WhiteToMoveMarker;
  std::string black, white;
  for (int i = 1; i <= PreviewSetupCount; ++i) {
    const int entry = PreviewEntries[i];
    (entry / 1000 == kWhite ? white : black) += PointEntry(entry % 1000);
  }
  if (!black.empty()) start.append("AB").append(black);
  if (!white.empty()) start.append("AW").append(white);
  for (int i = PreviewSetupCount + 1; i <= PreviewEntryCount; ++i) {
    start.append(";").append(PointEntry(PreviewEntries[i]));
  }
  return start;
}
