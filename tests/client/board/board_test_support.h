// Helpers of the board model tests: points by record letters, positions from diagrams, and a
// listener that records what the model asked the window to show.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "client/board/model/board_model.h"
#include "client/board/model/record_text.h"

// The point of two record letters ("cd": column c, row d) on a 19-line grid; letters are checked
// against 19 so that the helper serves every size.
inline int Pt(std::string_view letters) { return LettersToPoint(letters[0], letters[1], 19); }

// Sets `board` to `size` lines with the setup stones of `rows` (top row first, 'X' black, 'O'
// white, anything else empty) and builds the position for the first player.
inline void SetUpPosition(BoardModel& board, int size, const std::vector<std::string>& rows,
                          bool blackFirst = true) {
  board.ResetPosition();
  board.SetBoardSize(size);
  board.BlackFirst = blackFirst;
  for (int row = 1; row <= static_cast<int>(rows.size()); ++row) {
    const std::string& line = rows[row - 1];
    for (int column = 1; column <= static_cast<int>(line.size()); ++column) {
      const char c = line[column - 1];
      if (c != 'X' && c != 'O') continue;
      const int point = MakePoint(column, row);
      ++board.SetupCount;
      board.MoveList[board.SetupCount] = point;
      board.SetupColours[board.SetupCount] = (c == 'X' ? 1000 : 5000) + point;
    }
  }
  board.BufferLength = board.SetupCount;
  board.ClearBoard();
  board.PositionFromRecord();
}

// Plays the next move in turn at `letters` ("tt" for a pass).
inline PlaceOutcome PlayInTurn(BoardModel& board, std::string_view letters) {
  const int point = Pt(letters);
  if (point == 0) return board.PlacePass();
  board.PendingPoint = point;
  return board.NextMoveIsBlack() ? board.PlaceBlackStone() : board.PlaceWhiteStone();
}

// Records every call as one line, e.g. "stone 85 black", "number 3 at 5", "caption パ ス ！".
class RecordingListener : public BoardListener {
 public:
  std::vector<std::string> Calls;

  void DrawStone(int point, bool black) override {
    Calls.push_back("stone " + std::to_string(point) + (black ? " black" : " white"));
  }
  void EraseStone(int point) override { Calls.push_back("erase " + std::to_string(point)); }
  void DrawMoveNumber(int number, int moveIndex) override {
    Calls.push_back("number " + std::to_string(number) + " at " + std::to_string(moveIndex));
  }
  void ShowMoveCount(int moveTop) override { Calls.push_back("count " + std::to_string(moveTop)); }
  void ShowBlackCaptured(int count) override {
    Calls.push_back("black captured " + std::to_string(count));
  }
  void ShowWhiteCaptured(int count) override {
    Calls.push_back("white captured " + std::to_string(count));
  }
  void ShowStateCaption(const std::string& caption) override {
    Calls.push_back("caption " + caption);
  }
  void BoardSizeSet(int size) override { Calls.push_back("size " + std::to_string(size)); }
  void SetupPositionReached() override { Calls.push_back("at setup"); }

  bool Saw(const std::string& call) const {
    for (const auto& c : Calls) {
      if (c == call) return true;
    }
    return false;
  }
};
