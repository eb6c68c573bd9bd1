// The diagram editor's position and input rules.
#include "client/views/model/diagram_editor.h"

#include <algorithm>

#include "client/board/model/mark_codes.h"

DiagramEditor::DiagramEditor() { Position.NumbersOn = true; }

void DiagramEditor::OpenFromShownMove(const BoardModel& board, int shownMove) {
  const int top = std::clamp(board.MoveTop, 0, kMoveListCapacity);
  const int shown = std::clamp(shownMove, std::min(board.SetupCount, top), top);
  const bool turned = board.BoardTurned;
  Position = BoardModel(BoardVariant::kBoardWindow);
  Position.BoardTurned = turned;
  Position.NumbersOn = true;
  Position.SetBoardSize(board.BoardSize);
  Position.SetupCount = std::min(board.SetupCount, top);
  std::copy_n(board.MoveList.begin(), top + 1, Position.MoveList.begin());
  std::copy_n(board.SetupColours.begin(), Position.SetupCount + 1, Position.SetupColours.begin());
  Position.BlackFirst = board.BlackFirst;
  Position.BufferLength = shown;
  Position.PositionFromRecord();
  Position.Marks.fill(0);
  ConvertToSetup();
  Position.BlackFirst = board.MoveIsBlack(shown + 1);
  RenumberSetup();
  FirstPlayerOpen = 1;
  InputMode = kMoveInput;
}

void DiagramEditor::OpenFromBoard(const BoardModel& board, bool room) {
  Position = board;
  Position.NumbersOn = true;
  Position.FirstMoveNumber = 1;
  Position.BlackFirst = board.NextMoveIsBlack();
  ConvertToSetup();
  if (!room) Position.Marks.fill(0);
  FirstPlayerOpen = 1;
  InputMode = kMoveInput;
}

void DiagramEditor::ConvertToSetup() {
  BoardModel& b = Position;
  std::fill_n(b.CaptureLog.begin(), b.CaptureCount, 0);
  b.CaptureCount = b.BlackCaptured = b.WhiteCaptured = b.PendingPoint = 0;
  int setup = 0;
  for (int point = 0; point < kPointCount; ++point) {
    if (!IsPlayingPoint(point, b.BoardSize) || !IsStone(b.Board[point])) continue;
    ++setup;
    b.MoveList[setup] = point;
    b.SetupColours[setup] = b.Board[point] * 1000 + point;
  }
  b.SetupCount = b.MoveTop = b.BufferLength = setup;
}

void DiagramEditor::RenumberSetup() {
  Position.ResetLibertyFlags();
  Position.NumberSetupPosition();
}

bool DiagramEditor::DiagramClick(int point, bool left, bool spaceHeld, int selectedMark) {
  if (InputMode != kMoveInput) return EditSetupPoint(point, left, spaceHeld, selectedMark);
  BoardModel& b = Position;
  if (!b.IsPlayablePoint(point) || !BoardModel::CanAppendEntry(b.MoveTop)) return false;
  b.PendingPoint = point;
  if (b.MoveTop == b.SetupCount) FirstPlayerOpen = 0;
  const PlaceOutcome placed = b.NextMoveIsBlack() ? b.PlaceBlackStone() : b.PlaceWhiteStone();
  b.BufferLength = b.MoveTop;
  return placed == PlaceOutcome::kPlaced;
}

bool DiagramEditor::EditSetupPoint(int point, bool left, bool spaceHeld, int selectedMark) {
  BoardModel& b = Position;
  // Setup stones are edited only at the setup position.
  if (!IsPlayingPoint(point, b.BoardSize) || b.MoveTop != b.SetupCount) return false;
  const int mark = IsMarkCode(selectedMark) ? selectedMark : 0;
  if (spaceHeld) {
    if (b.Board[point] != kEmpty || mark == 0) return false;
    b.Marks[point] = b.Marks[point] > 0 ? 0 : mark;
    return true;
  }
  const int colour = left ? kBlack : kWhite;
  const int index = b.FindSetupStone(point);
  if (b.Board[point] == kEmpty) {
    if (!BoardModel::CanAppendEntry(b.MoveTop)) return false;
    ++b.MoveTop;
    ++b.SetupCount;
    b.BufferLength = b.MoveTop;
    b.MoveList[b.MoveTop] = point;
    b.SetupColours[b.SetupCount] = colour * 1000 + point;
    b.Board[point] = colour;
  } else if (index == 0) {
    return false;  // a stone outside the setup list stays as it is
  } else if (b.Board[point] != colour) {
    b.SetupColours[index] += colour == kBlack ? -4000 : 4000;
    b.Board[point] = colour;
  } else {
    b.DeleteSetupStone(index);
    b.Board[point] = kEmpty;
    b.Liberties[point] = 0;
    --b.MoveTop;
    --b.SetupCount;
    b.BufferLength = b.MoveTop;
    b.Marks[point] = 0;
    RenumberSetup();
    return true;
  }
  b.Marks[point] = mark > 0 ? colour * 1000 + mark : 0;
  RenumberSetup();
  return true;
}

void DiagramEditor::UndoMove() {
  BoardModel& b = Position;
  if (b.MoveTop <= b.SetupCount) return;
  b.ReplayStepBack();
  b.BufferLength = b.MoveTop;
  if (b.MoveTop == b.SetupCount) FirstPlayerOpen = 1;
}

void DiagramEditor::BackToStart() {
  BoardModel& b = Position;
  if (b.MoveTop == 0) return;
  if (b.MoveTop > b.SetupCount) {
    while (b.MoveTop > b.SetupCount) UndoMove();
  } else {
    b.ClearBoard();
    b.SetupCount = b.BufferLength = 0;
  }
  FirstPlayerOpen = 1;
}

bool DiagramEditor::ChooseFirstPlayer(bool black) {
  if (Position.MoveTop > Position.SetupCount) FirstPlayerOpen = 0;
  if (FirstPlayerOpen != 1) return false;
  if (Position.BlackFirst != black) {
    Position.BlackFirst = black;
    RenumberSetup();
  }
  return true;
}

bool DiagramEditor::ChooseInputMode(int mode) {
  if (Position.MoveTop > Position.SetupCount) FirstPlayerOpen = 0;
  if (FirstPlayerOpen != 1 || (mode != kMoveInput && mode != kSetupInput)) return false;
  InputMode = mode;
  return true;
}

void DiagramEditor::MakeDiagramPosition() {
  FirstPlayerOpen = 1;
  Position.BlackFirst = Position.NextMoveIsBlack();
  // The groups stay as they are and the ko just taken still holds for the side to move.
  ConvertToSetup();
}

DiagramReadResult DiagramEditor::ImportRecord(std::string_view text, bool turned) {
  RecordText = std::string(text);
  const DiagramReadResult read = ReadBoardDiagram(Position, text, turned, DiagramText::kRecord);
  if (read.Read) ParsedCount = read.SetupStones + read.Moves;
  Position.BufferLength = Position.MoveTop;
  InputMode = kMoveInput;
  FirstPlayerOpen = Position.MoveTop == Position.SetupCount ? 1 : 0;
  return read;
}

DiagramEditor::SendCheck DiagramEditor::CheckSend(std::string_view comment) const {
  if (Position.MoveTop == 0) return SendCheck::kNoStone;
  if (comment.empty()) return SendCheck::kNoComment;
  return SendCheck::kReady;
}

std::string DiagramEditor::DiagramData() const {
  return WriteDiagramData(Position, Position.BoardTurned);
}
