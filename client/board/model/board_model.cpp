// The board window's position and rules: placing stones, captures, the one-turn ko and forbidden
// marks, stepping back, replaying and re-basing the move list.
#include "client/board/model/board_model.h"

#include <algorithm>

#include "platform/cp932.h"

BoardModel::BoardModel(BoardVariant variant) : variant_(variant) { ResetPosition(); }

void BoardModel::SetListener(BoardListener* listener) { listener_.Set(listener); }

bool BoardModel::MoveIsBlack(int index) const {
  if (index >= 1 && index <= SetupCount) return SetupColours[index] < 2000;
  const bool odd = (index - SetupCount) % 2 != 0;
  return odd == BlackFirst;
}

bool BoardModel::IsPlayablePoint(int point) const {
  return IsPlayingPoint(point, BoardSize) && Board[point] < 1 && GroupIds[point] != kKoMark &&
         GroupIds[point] != kForbiddenMark;
}

void BoardModel::ResetPosition() {
  MoveTop = SetupCount = BufferLength = 0;
  PendingPoint = GroupCounter = GroupColour = LibertyCounter = 0;
  CaptureCount = BlackCaptured = WhiteCaptured = 0;
  FirstMoveNumber = 1;
  Marks.fill(0);
  Visited.fill(0);
  Liberties.fill(0);
  ScratchBoard.fill(0);
  FillPlayingArea(Board, BoardSize);
  FillPlayingArea(GroupIds, BoardSize);
  MoveTimes.fill(0);
  CaptureLog.fill(0);
  BlackFirst = true;
  NumbersOn = false;
  BoardTurned = false;
}

void BoardModel::SetBoardSize(int size) {
  const bool valid = IsBoardSize(size);
  if (valid) BoardSize = size;
  FillPlayingArea(Board, BoardSize);
  FillPlayingArea(GroupIds, BoardSize);
  if (valid) listener_->BoardSizeSet(BoardSize);
}

void BoardModel::ShowMoveCount() { listener_->ShowMoveCount(MoveTop); }

// ---------------------------------------------------------------------------------------------
// Placing stones and passes

PlaceOutcome BoardModel::PlaceBlackStone() { return PlaceStone(kBlack); }
PlaceOutcome BoardModel::PlaceWhiteStone() { return PlaceStone(kWhite); }

PlaceOutcome BoardModel::PlaceStone(int colour) {
  const int point = PendingPoint;
  if (!IsPlayingPoint(point, BoardSize) || Board[point] != kEmpty) {
    return PlaceOutcome::kNotPlayable;
  }
  if (!CanAppendEntry(MoveTop)) return PlaceOutcome::kListFull;
  listener_->DrawStone(point, colour == kBlack);
  if (!NumbersOn && MoveTop > SetupCount) RedrawPreviousStone();
  ResetLibertyFlags();
  Board[point] = colour;
  ++MoveTop;
  MoveList[MoveTop] = point;
  ShowMoveCount();
  listener_->DrawMoveNumber(MoveNumberOf(MoveTop), MoveTop);
  ResolveCaptures(OtherColour(colour), colour);
  return PlaceOutcome::kPlaced;
}

// With numbers shown only on the newest stone, the stone that carried the number until now is
// drawn again without it. Only a move carries a number; a setup stone is left as it is.
void BoardModel::RedrawPreviousStone() {
  const int index = MoveList[MoveTop] == 0 ? MoveTop - 1 : MoveTop;
  if (index <= SetupCount) return;
  const int point = MoveList[index];
  if (point > 0 && IsStone(Board[point])) listener_->DrawStone(point, Board[point] == kBlack);
}

PlaceOutcome BoardModel::PlacePass() {
  if (!CanAppendEntry(MoveTop)) return PlaceOutcome::kListFull;
  ResetLibertyFlags();
  ++MoveTop;
  MoveList[MoveTop] = 0;
  ShowMoveCount();
  const int next = NextMoveIsBlack() ? kBlack : kWhite;
  ResolveCaptures(next, OtherColour(next));
  return PlaceOutcome::kPlaced;
}

// ---------------------------------------------------------------------------------------------
// The rules pass

// The marks stand only on empty points next to stones, so clearing every empty point's mark is
// the same as clearing the empty neighbours of every listed stone, in one pass over the grid.
void BoardModel::ResetLibertyFlags() {
  for (int point = kGridWidth + 1; point < kPointCount - kGridWidth; ++point) {
    if (Board[point] == kEmpty) GroupIds[point] = 0;
  }
}

void BoardModel::ResolveCaptures(int nextColour, int moverColour) {
  // Only a move captures. At the setup position (a step back reached it) the newest entry is a
  // setup stone, and a setup stone without liberties stays where the record put it.
  const int last = MoveTop > SetupCount ? MoveList[MoveTop] : 0;
  if (last > 0) {
    for (const int step : kNeighbourSteps) {
      // The colour is read again for each neighbour: an earlier capture may have emptied it.
      if (Board[last + step] == nextColour) CheckCaptureAt(nextColour, moverColour, last + step);
    }
  }
  RenumberPosition(nextColour);
}

void BoardModel::NumberSetupPosition() {
  const int next = NextMoveIsBlack() ? kBlack : kWhite;
  RenumberPosition(next);
}

// Group numbers and liberties from scratch, newest stones first, then the forbidden points of the
// player to move.
void BoardModel::RenumberPosition(int nextColour) {
  for (int i = MoveTop; i >= 1; --i) {
    const int point = MoveList[i];
    if (IsStone(Board[point])) Liberties[point] = GroupIds[point] = 0;
  }
  GroupCounter = 0;
  for (int i = MoveTop; i >= 1; --i) {
    const int point = MoveList[i];
    if (!IsStone(Board[point]) || GroupIds[point] != 0) continue;
    ++GroupCounter;
    GroupColour = Board[point];
    LibertyCounter = 0;
    NumberGroup(point);
    if (LibertyCounter > 0) CountGroupLiberties(point);
  }
  // Forbidden points: each empty point once (a ko point holds 600 and is not tested). Only a point
  // whose neighbours are all stones or border can be marked, so this marks exactly the empty
  // neighbours of the stones that would be marked walking the list; the order does not matter.
  for (int point = kGridWidth + 1; point < kPointCount - kGridWidth; ++point) {
    if (Board[point] == kEmpty && GroupIds[point] == 0) {
      MarkSuicidePoint(nextColour, point);
    }
  }
}

void BoardModel::CheckCaptureAt(int nextColour, int moverColour, int point) {
  bool joined = false;
  bool breathes = false;
  for (const int step : kNeighbourSteps) {
    joined = joined || Board[point + step] == nextColour;
    breathes = breathes || Board[point + step] == kEmpty;
  }
  if (!joined) {
    if (!breathes) CaptureSingleStone(moverColour, point);
    return;
  }
  if (GroupHasNoLiberty(point)) {
    RemoveGroup(point);
  } else {
    ClearVisited(point);
  }
}

bool BoardModel::GroupHasNoLiberty(int point) { return ::GroupHasNoLiberty(Board, Visited, point); }

void BoardModel::ClearVisited(int point) { ::ClearVisited(Visited, point); }

void BoardModel::RemoveGroup(int point) {
  RemoveVisitedGroup(Visited, point, [this](int p) {
    LogCapture(p);
    GroupIds[p] = Liberties[p] = Board[p] = 0;
  });
}

// Counts the prisoner, erases the stone on screen and logs the capture; false when the log is
// full (it cannot be: the log holds more entries than a full move list can place stones).
bool BoardModel::LogCapture(int point) {
  if (Board[point] == kBlack) {
    ++BlackCaptured;
    listener_->ShowBlackCaptured(BlackCaptured);
  } else {
    ++WhiteCaptured;
    listener_->ShowWhiteCaptured(WhiteCaptured);
  }
  listener_->EraseStone(point);
  if (CaptureCount >= kCaptureLogCapacity) return false;
  CaptureLog[CaptureCount] = MoveTop * 10000 + point * 10;
  ++CaptureCount;
  return true;
}

// A lone stone taken by the last move. It is a ko when the capturing stone stands alone among
// stones of the other colour, none of them in atari (such a group is captured by the same move)
// and none removed already: then the capturer keeps the taken point as its only liberty.
void BoardModel::CaptureSingleStone(int moverColour, int point) {
  const bool logged = LogCapture(point);
  GroupIds[point] = 0;
  Liberties[point] = 0;
  const int capturer = MoveList[MoveTop];
  bool ko = true;
  for (const int step : kNeighbourSteps) {
    const int n = capturer + step;
    if (Board[n] == kEmpty || Board[n] == moverColour || Liberties[n] == 1) {
      ko = false;
      break;
    }
  }
  if (ko) {
    GroupIds[point] = kKoMark;
    if (logged) CaptureLog[CaptureCount - 1] += 1;
  }
  Board[point] = kEmpty;
}

void BoardModel::NumberGroup(int point) {
  GroupIds[point] = GroupCounter;
  for (const int step : kNeighbourSteps) {
    const int n = point + step;
    if (Board[n] == kEmpty && Visited[n] == 0) {
      Visited[n] = 1;
      ++LibertyCounter;
    }
  }
  for (const int step : kNeighbourSteps) {
    const int n = point + step;
    if (GroupIds[n] == 0 && Board[n] == GroupColour) NumberGroup(n);
  }
}

void BoardModel::CountGroupLiberties(int point) {
  Liberties[point] = LibertyCounter;
  for (const int step : kNeighbourSteps) Visited[point + step] = 0;
  for (const int step : kNeighbourSteps) {
    const int n = point + step;
    if (Liberties[n] == 0 && Board[n] == GroupColour) CountGroupLiberties(n);
  }
}

bool BoardModel::IsForbiddenFor(int point, int colour) const {
  for (const int step : kNeighbourSteps) {
    const int n = point + step;
    const int code = Board[n];
    if (code == kEmpty) return false;
    if (code == OtherColour(colour) && Liberties[n] == 1) return false;  // the stone would capture
    if (code == colour && Liberties[n] > 1) return false;  // it would join a group that breathes
  }
  return true;
}

void BoardModel::MarkSuicidePoint(int nextColour, int point) {
  if (IsForbiddenFor(point, nextColour)) GroupIds[point] = kForbiddenMark;
}

// ---------------------------------------------------------------------------------------------
// Stepping back

void BoardModel::ReplayStepBack() {
  if (MoveTop <= SetupCount) return;
  const int last = MoveList[MoveTop];
  const int colour = Board[last];
  ResetLibertyFlags();
  if (last > 0) {
    if (CaptureCount > 0 && CaptureLog[CaptureCount - 1] / 10000 == MoveTop) {
      const int logged = CaptureCount;
      for (int k = 0; k < logged; ++k) {
        const int entry = CaptureLog[k];
        if (entry / 10000 == MoveTop) RestoreCapturedStone(entry % 10000 / 10);
      }
    }
    GroupIds[last] = Liberties[last] = Board[last] = 0;
    listener_->EraseStone(last);
    listener_->ShowStateCaption("");
  } else {
    listener_->ShowStateCaption(J("パ ス ！"));
  }
  --MoveTop;
  ShowMoveCount();
  PendingPoint = 0;

  if (variant_ == BoardVariant::kBoardWindow) {
    // The ko taken by the move now on top holds again.
    if (CaptureCount > 0) {
      const int entry = CaptureLog[CaptureCount - 1];
      const int point = entry % 10000 / 10;
      if (entry / 10000 == MoveTop && entry % 10 == 1 && IsPlayingPoint(point, BoardSize) &&
          Board[point] == kEmpty) {
        GroupIds[point] = kKoMark;
      }
    }
    const bool lastIsBlack = ((MoveTop - SetupCount) % 2 != 0) == BlackFirst;
    if (colour == kWhite || (!IsStone(colour) && lastIsBlack)) {
      ResolveCaptures(kWhite, kBlack);
    } else {
      ResolveCaptures(kBlack, kWhite);
    }
  }

  if (!NumbersOn && MoveTop > SetupCount) {
    const int point = MoveList[MoveTop];
    if (point > 0 && IsStone(Board[point])) {
      listener_->DrawStone(point, Board[point] == kBlack);
      listener_->DrawMoveNumber(MoveNumberOf(MoveTop), MoveTop);
    }
  }
  if (MoveTop == SetupCount) listener_->SetupPositionReached();
}

// Puts back one stone that the move at MoveTop captured: the colour opposite to the capturer.
void BoardModel::RestoreCapturedStone(int point) {
  if (!IsPlayingPoint(point, BoardSize)) return;
  const bool capturerBlack = Board[MoveList[MoveTop]] == kBlack;
  if (capturerBlack) {
    Board[point] = kWhite;
    --WhiteCaptured;
    listener_->ShowWhiteCaptured(WhiteCaptured);
  } else {
    Board[point] = kBlack;
    --BlackCaptured;
    listener_->ShowBlackCaptured(BlackCaptured);
  }
  listener_->DrawStone(point, !capturerBlack);
  if (NumbersOn) RedrawMoveNumberAt(point);
  --CaptureCount;
}

void BoardModel::ClearBoard() {
  Marks.fill(0);
  Liberties.fill(0);
  FillPlayingArea(Board, BoardSize);
  FillPlayingArea(GroupIds, BoardSize);
  std::fill_n(CaptureLog.begin(), CaptureCount, 0);
  BlackCaptured = WhiteCaptured = PendingPoint = CaptureCount = MoveTop = 0;
}

int BoardModel::FindSetupStone(int point) const {
  if (point <= 0) return 0;
  for (int i = SetupCount; i >= 1; --i) {
    if (MoveList[i] == point) return i;
  }
  return 0;
}

bool BoardModel::DeleteSetupStone(int index) {
  if (index < 1 || index > SetupCount) return false;
  for (int i = index; i < SetupCount; ++i) {
    MoveList[i] = MoveList[i + 1];
    SetupColours[i] = SetupColours[i + 1];
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Replay

void BoardModel::ReplayStepForward() {
  if (MoveTop >= BufferLength) return;
  const int index = MoveTop + 1;
  PendingPoint = MoveList[index];
  listener_->ShowStateCaption("");
  // A buffered move onto a point that is not free (a record that repeats a point, or one read in
  // another size) cannot be played; it becomes a pass so that the moves after it keep their turn.
  if (PendingPoint != 0 &&
      (!IsPlayingPoint(PendingPoint, BoardSize) || Board[PendingPoint] != kEmpty)) {
    MoveList[index] = PendingPoint = 0;
  }
  const bool black = MoveIsBlack(index);
  if (PendingPoint > 0) {
    if (black) {
      PlaceBlackStone();
    } else {
      PlaceWhiteStone();
    }
    if (MoveTop == BufferLength) listener_->ShowStateCaption(J("手順はここまで"));
  } else {
    listener_->ShowStateCaption(black ? J("黒パスです") : J("白パスです"));
    PlacePass();
  }
}

void BoardModel::ReplayBack10() {
  const int steps = std::min(10, MoveTop - SetupCount);
  for (int i = 0; i < steps; ++i) ReplayStepBack();
}

void BoardModel::ReplayToStart() {
  while (MoveTop > SetupCount) ReplayStepBack();
}

void BoardModel::ReplayForward10() {
  const int steps = std::min(10, BufferLength - MoveTop);
  for (int i = 0; i < steps; ++i) ReplayStepForward();
}

void BoardModel::ReplayToEnd() {
  while (MoveTop < BufferLength) ReplayStepForward();
}

void BoardModel::PositionFromRecord() { BuildPositionUpTo(BufferLength); }

void BoardModel::BuildPositionUpTo(int moveTop) {
  if (SetupCount > 0) {
    MoveTop = SetupCount;
    for (int i = 1; i <= SetupCount; ++i) {
      const int point = MoveList[i];
      if (IsPlayingPoint(point, BoardSize)) Board[point] = SetupColours[i] < 2000 ? kBlack : kWhite;
    }
  }
  NumberSetupPosition();
  ShowMoveCount();
  while (MoveTop < moveTop && MoveTop < BufferLength) ReplayStepForward();
}

bool BoardModel::RewindToMove(int n) {
  // Only a stone of a move on display re-bases the record, and only while every move on display
  // is held in the buffer.
  if (n <= SetupCount || n > MoveTop || MoveTop > BufferLength || MoveList[n] <= 0) return false;
  const int steps = MoveTop - n;
  const bool moveWasBlack = MoveIsBlack(n);
  const int end = BufferLength;
  for (int i = 0; i < steps; ++i) ReplayStepBack();

  std::array<int, kMoveListCapacity + 1> kept{};
  const int keptCount = end - n;
  std::copy_n(MoveList.begin() + n + 1, keptCount, kept.begin());

  // The position after move n, from the list alone.
  FillPlayingArea(ScratchBoard, BoardSize);
  for (int i = 1; i <= n; ++i) {
    const int point = MoveList[i];
    if (!IsPlayingPoint(point, BoardSize)) continue;
    const int colour = MoveIsBlack(i) ? kBlack : kWhite;
    if (i <= SetupCount) {
      ScratchBoard[point] = colour;
    } else {
      PlaceStoneCapturing(ScratchBoard, Visited, point, colour);
    }
  }

  BlackFirst = !moveWasBlack;
  int setup = 0;
  for (int point = 0; point < kPointCount; ++point) {
    if (!IsStone(ScratchBoard[point])) continue;
    ++setup;
    MoveList[setup] = point;
    SetupColours[setup] = ScratchBoard[point] * 1000 + point;
  }
  std::fill_n(CaptureLog.begin(), CaptureCount, 0);
  BlackCaptured = WhiteCaptured = PendingPoint = CaptureCount = 0;
  SetupCount = MoveTop = setup;
  std::copy_n(kept.begin(), keptCount, MoveList.begin() + setup + 1);
  BufferLength = setup + keptCount;
  NumberSetupPosition();
  listener_->ShowBlackCaptured(0);
  listener_->ShowWhiteCaptured(0);
  ShowMoveCount();
  for (int i = 0; i < steps; ++i) ReplayStepForward();
  return true;
}

bool BoardModel::AppendToBuffer(int point) {
  if (!CanAppendEntry(BufferLength)) return false;
  if (point != 0 && !IsPlayingPoint(point, BoardSize)) return false;
  ++BufferLength;
  MoveList[BufferLength] = point;
  return true;
}

void BoardModel::TurnBoardPosition() {
  BoardTurned = !BoardTurned;
  const int shown = MoveTop;
  const int end = std::max(MoveTop, BufferLength);
  for (int i = 1; i <= end; ++i) MoveList[i] = TurnPoint(MoveList[i], BoardSize);
  BufferLength = end;
  ClearBoard();
  BuildPositionUpTo(shown);
}

// ---------------------------------------------------------------------------------------------
// Drawing a whole position

void BoardModel::DrawSetupStones() {
  for (int i = SetupCount; i >= 1; --i) {
    const int point = MoveList[i];
    if (point > 0 && IsStone(Board[point])) listener_->DrawStone(point, Board[point] == kBlack);
  }
}

void BoardModel::DrawPlayedStones() {
  for (int i = MoveTop; i > SetupCount; --i) {
    if (IsMoveStoneGone(i)) continue;
    const int point = MoveList[i];
    if (!IsStone(Board[point])) continue;
    listener_->DrawStone(point, Board[point] == kBlack);
    if (NumbersOn) listener_->DrawMoveNumber(MoveNumberOf(i), i);
  }
  if (!NumbersOn && MoveTop > SetupCount && MoveList[MoveTop] > 0) {
    listener_->DrawMoveNumber(MoveNumberOf(MoveTop), MoveTop);
  }
}

bool BoardModel::IsMoveStoneGone(int index) const {
  if (index < 1 || index > kMoveListCapacity) return true;
  const int point = MoveList[index];
  if (point == 0) return true;
  for (int k = 0; k < CaptureCount; ++k) {
    if (CaptureLog[k] / 10000 > index && CaptureLog[k] % 10000 / 10 == point) return true;
  }
  return false;
}

void BoardModel::RedrawMoveNumberAt(int point) {
  for (int i = MoveTop; i > SetupCount; --i) {
    if (MoveList[i] == point) {
      listener_->DrawMoveNumber(MoveNumberOf(i), i);
      return;
    }
  }
}
