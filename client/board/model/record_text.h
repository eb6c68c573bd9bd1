// client/board/model/record_text.h — game records (KifuText): the coordinate letters, the board
// window's record writer and its two readers, which put a record back on a BoardModel.
//
// Records are cp932 text. The readers are plain text searches, not a tree parser: a property is
// found by its first occurrence anywhere in the text.
#pragma once
#include <string>
#include <string_view>

#include "client/board/model/board_model.h"

// Coordinate c (0..19) is the letter at index c: 1..19 are "a".."s", 0 is "t", so a pass is "tt".
inline constexpr std::string_view CoordinateLetters = "tabcdefghijklmnopqrs";
// Templates the writer fills: a move node (colour, column, row), a point, a label.
inline constexpr std::string_view MoveTemplate = ";5[55]";
inline constexpr std::string_view PointTemplate = "[55]";
inline constexpr std::string_view LabelTemplate = "[55:5]";

// Plain markers of records and start positions.
inline constexpr std::string_view WhiteFirstMarker = "/<SiroSaki>/";   // white moves first
inline constexpr std::string_view WhiteToMoveMarker = "/<SiroTurn>/";  // white is to move

// First position at or after `from` where `needle` starts a character of `text`: a match inside a
// double-byte character (whose trail byte may be "[", "]", "B", "W", ...) does not count; npos
// when there is none. `from` must be a character boundary.
std::size_t FindRecordText(std::string_view text, std::string_view needle, std::size_t from = 0);

// The next occurrence of one needle at or after a position that only moves forward: a match found
// once stays valid until the position passes it, so a long text is scanned once, not per node.
class ForwardFinder {
 public:
  ForwardFinder(std::string_view text, std::string_view needle) : text_(text), needle_(needle) {}
  std::size_t From(std::size_t pos) {
    if (!searched_ || (found_ != std::string_view::npos && found_ < pos)) {
      found_ = FindRecordText(text_, needle_, pos);
      searched_ = true;
    }
    return found_;
  }

 private:
  std::string_view text_, needle_;
  std::size_t found_ = std::string_view::npos;
  bool searched_ = false;
};

// The point named by a column letter and a row letter on a board of `size` lines, or 0 (a pass,
// or letters that name no point). Column and row are each checked against the size.
int LettersToPoint(char column, char row, int size);
// The "[xy]" of a point as the records write it; a pass (or anything off the grid) is "[tt]".
std::string PointEntry(int point);
// The value of the first `key` ("SZ[", "KM[", ...) in a record: the text after the bracket up to
// the next "]"; empty when the key, the closing bracket or the value is missing. Double-byte
// characters are stepped over, so a trail byte never reads as a bracket.
std::string_view RecordPropertyValue(std::string_view text, std::string_view key);

// What the writer takes from the board window besides the model.
struct RecordHeader {
  std::string BlackName;       // Memo1's text
  std::string WhiteName;       // Memo4's text
  std::string DateText;        // "yyyy/MM/dd"
  std::string TimeText;        // "H:mm:ss"
  std::string RecordTimeText;  // "TM[...]" of a game or watch start, or empty
  std::string ConditionsText;  // status-bar panel 4 (a text holding "定先" gives HA[1])
};

// The record of the board: setup stones, marks, and the moves up to MoveTop (buffered moves
// after it are not written). Lines end with CR LF.
std::string WriteSgfRecord(const BoardModel& board, const RecordHeader& header);
// The mark properties of the board (SQ, ST, CR, RT, TR, LO, MA, LB), each on a line of its own.
std::string WriteSgfMarks(const BoardModel& board);

// Names found by a reader; a name that is absent (or empty) is empty.
struct RecordNames {
  std::string Black;
  std::string White;
};

// What the loose reader found besides the position it built.
struct KifuTextResult {
  bool Read = false;         // false for an empty text, which changes nothing
  bool SizeChanged = false;  // "SZ[" named another valid size, which the board now has
  bool Truncated = false;    // the record held more entries than the move list takes
  RecordNames Names;
};

// The loose reader (game start, watching, the analysis room, the clipboard): empties the board,
// reads size, first player, setup stones, marks and the first bracketed value after every ";" as
// a move, and builds the position at the last move.
KifuTextResult LoadKifuText(BoardModel& board, std::string_view text);

// The strict reader of a record file: the header (size, setup stones, marks, names), then the
// main line's moves by colour letter, into the buffer of a board the caller has cleared
// (ClearBoard, SetupCount and BufferLength 0); the caller then builds the position
// (PositionFromRecord).
struct RecordHeaderResult {
  bool SizeChanged = false;
  RecordNames Names;
};
RecordHeaderResult ParseRecordHeader(BoardModel& board, std::string_view text);
void ParseRecordMoves(BoardModel& board, std::string_view text);
// A record file's normalised text onto a board as the analysis room loads one: the board emptied,
// the strict reader's header and moves, the position built at the last move.
RecordHeaderResult OpenRecordText(BoardModel& board, std::string_view text);

// Reads the mark properties of `recordText` into Marks, each mark taking the colour of the point
// as it stands now.
void ParseMarks(BoardModel& board, std::string_view recordText);

// A komi text in tenths of a point: "6.5" is 65, "-0.5" is -5, "6.50" is 65; a text that is not
// such a number (or one too large to count) is 0.
int ParseKomi(std::string_view text);
