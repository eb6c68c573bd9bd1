// The analysis room's input types: the table, the members' dispatcher and the operator's actions.
#include "client/board/model/room_input.h"

#include <algorithm>
#include <array>

#include "protocol/tag_message.h"

namespace {

constexpr std::array<RoomInputType, 22> kRoomInputTypes = {{
    {kRoomBlackStone, kRoomBlackStone, RoomAction::kStone, kBlack, true},
    {kRoomWhiteStone, kRoomWhiteStone, RoomAction::kStone, kWhite, true},
    {kRoomStepBack, kRoomStepBack, RoomAction::kCutStepBack, 0, false},
    {kRoomBackToSetup, kRoomBackToSetup, RoomAction::kBackToSetup, 0, false},
    {kRoomForward, kRoomForward, RoomAction::kStepForward, 0, false},
    {kRoomForward10, kRoomForward10, RoomAction::kForward10, 0, false},
    {kRoomToEnd, kRoomToEnd, RoomAction::kToEnd, 0, false},
    {kRoomBack, kRoomBack, RoomAction::kStepBack, 0, false},
    {kRoomBack10, kRoomBack10, RoomAction::kBack10, 0, false},
    {kRoomToStart, kRoomToStart, RoomAction::kToStart, 0, false},
    {kRoomLoadRecord, kRoomLoadRecord, RoomAction::kLoadRecord, 0, false},
    {kRoomRewind, kRoomRewind, RoomAction::kRewind, 0, false},
    {kRoomTakeBack, kRoomTakeBack, RoomAction::kTakeBack, 0, false},
    {kRoomBoardSize, kRoomBoardSize, RoomAction::kBoardSize, 0, false},
    {kRoomNewBlackSetup, kRoomNewBlackSetup + 49, RoomAction::kNewSetupStone, kBlack, true},
    {kRoomTurnBlack, kRoomTurnBlack + 48, RoomAction::kTurnSetupStone, kBlack, true},
    {kRoomRemoveBlack, kRoomRemoveBlack, RoomAction::kRemoveSetupStone, 0, true},
    {kRoomNewWhiteSetup, kRoomNewWhiteSetup + 49, RoomAction::kNewSetupStone, kWhite, true},
    {kRoomTurnWhite, kRoomTurnWhite + 48, RoomAction::kTurnSetupStone, kWhite, true},
    {kRoomRemoveWhite, kRoomRemoveWhite, RoomAction::kRemoveSetupStone, 0, true},
    {kRoomMark, kRoomMark + 49, RoomAction::kMark, 0, true},
    {kRoomMarkRemoved, kRoomMarkRemoved, RoomAction::kMarkRemoved, 0, true},
}};

// The mark code a setup or mark type carries: its distance from the first code of its range.
int MarkOf(const RoomInputType& entry, int type) { return type - entry.First; }

// A mark code the setup and mark types can carry; anything else places no mark.
int UsableMark(int code) { return code >= 0 && code <= 48 ? code : 0; }

std::string PointInput(int point, int type, const std::string& record) {
  return "<<DiscussInput>><<Value=" + std::to_string(point) + ">><<Type=" + std::to_string(type) +
         ">><<DiscussKifu=" + record + ">>";
}

}  // namespace

const RoomInputType* FindRoomInputType(int type) {
  for (const RoomInputType& entry : kRoomInputTypes) {
    if (type >= entry.First && type <= entry.Last) return &entry;
  }
  return nullptr;
}

std::string RoomRecordText(std::string_view record) {
  return EscapeChatText(ReplaceAll(record, "\r\n", ""));
}

int RoomRecordSize(std::string_view record) {
  const int size = ReadNumber(RecordPropertyValue(record, "SZ["), 0);
  return IsBoardSize(size) ? size : 19;
}

// ---------------------------------------------------------------------------------------------
// Members

bool RoomBoard::ApplyDiscussInput(std::string_view message) {
  const int type = GetTagNumber(message, "<<Type=", 0);
  const RoomInputType* entry = FindRoomInputType(type);
  if (entry == nullptr) return false;
  const bool hasValue = HasTag(message, "<<Value=");
  const int value = hasValue ? GetTagNumber(message, "<<Value=", 0) : 0;
  const bool valueIsCount = entry->Action == RoomAction::kRewind ||
                            entry->Action == RoomAction::kTakeBack ||
                            entry->Action == RoomAction::kBoardSize;
  // A value that is not a point of the board makes the input void, a missing point too.
  if (!valueIsCount && (hasValue || entry->TakesPoint) &&
      !IsPlayingPoint(value, board_.BoardSize)) {
    return false;
  }

  switch (entry->Action) {
    case RoomAction::kStone:
      if (!PlaceStoneInTurn(value, entry->Colour == kBlack)) return false;
      CutRecord();
      view_.PlayStoneSound();
      return true;
    case RoomAction::kCutStepBack:
      StepBack(1);
      CutRecord();
      return true;
    case RoomAction::kBackToSetup:
      ResetDiscussBoard();
      CutRecord();
      return true;
    case RoomAction::kStepForward:
      board_.ReplayStepForward();
      return true;
    case RoomAction::kForward10:
      board_.ReplayForward10();
      return true;
    case RoomAction::kToEnd:
      board_.ReplayToEnd();
      return true;
    case RoomAction::kStepBack:
      StepBack(1);
      return true;
    case RoomAction::kBack10:
      StepBack(10);
      return true;
    case RoomAction::kToStart:
      StepBack(board_.MoveTop - board_.SetupCount);
      return true;
    case RoomAction::kLoadRecord:
      LoadRecordText(GetTagValue(message, "<<DiscussKifu="));
      return true;
    case RoomAction::kRewind:
      return RewindTo(value);
    case RoomAction::kTakeBack:
      if (value <= 0 || board_.MoveTop <= board_.SetupCount) return false;
      StepBack(value);
      return true;
    case RoomAction::kBoardSize:
      if (!IsBoardSize(value) || value == board_.BoardSize) return false;
      EmptyBoardOfSize(value);
      return true;
    case RoomAction::kNewSetupStone:
      if (!NewSetupStone(value, entry->Colour, MarkOf(*entry, type))) return false;
      CutRecord();
      return true;
    case RoomAction::kTurnSetupStone:
      if (!TurnSetupStone(value, entry->Colour, MarkOf(*entry, type))) return false;
      CutRecord();
      return true;
    case RoomAction::kRemoveSetupStone:
      if (!RemoveSetupStone(value)) return false;
      CutRecord();
      return true;
    case RoomAction::kMark:
      if (!SetMark(value, MarkOf(*entry, type))) return false;
      CutRecord();
      return true;
    case RoomAction::kMarkRemoved:
      RemoveMark(value);
      CutRecord();
      return true;
  }
  return false;
}

void RoomBoard::EnterRoom(std::string_view record, int moveSuu) {
  BoardModel& b = board_;
  b.NumbersOn = true;
  const KifuTextResult read = ReadRoomRecord(record);
  view_.HoldDrawing(true);
  if (moveSuu >= b.SetupCount && moveSuu < b.MoveTop) StepBack(b.MoveTop - moveSuu);
  view_.HoldDrawing(false);
  view_.RoomRecordRead(read);
  view_.RepaintRoomBoard();
}

KifuTextResult RoomBoard::ReadRoomRecord(std::string_view text) {
  BoardModel& b = board_;
  const int size = RoomRecordSize(text);
  const bool resized = size != b.BoardSize;
  if (resized) b.SetBoardSize(size);
  view_.HoldDrawing(true);
  KifuTextResult read = ::LoadKifuText(b, text);
  view_.HoldDrawing(false);
  read.SizeChanged = read.SizeChanged || resized;
  return read;
}

// ---------------------------------------------------------------------------------------------
// Changes both sides make

bool RoomBoard::PlaceStoneInTurn(int point, bool black) {
  BoardModel& b = board_;
  // Only what holds for the stone's own colour refuses it: the forbidden points the board marks
  // are those of the player it expects to move, which a member learns only from the stones.
  const int colour = black ? kBlack : kWhite;
  if (!IsPlayingPoint(point, b.BoardSize) || b.Board[point] != kEmpty ||
      b.IsForbiddenFor(point, colour) || !BoardModel::CanAppendEntry(b.MoveTop)) {
    return false;
  }
  // The colour travels with the stone; the turn rule of later replays follows it, so that a
  // member whose first colour was never told replays the same colours as the operator.
  const bool oddMove = (b.MoveTop + 1 - b.SetupCount) % 2 != 0;
  b.BlackFirst = oddMove == black;
  b.PendingPoint = point;
  const PlaceOutcome placed = black ? b.PlaceBlackStone() : b.PlaceWhiteStone();
  if (placed != PlaceOutcome::kPlaced) return false;
  AtStartFlag = 0;
  return true;
}

void RoomBoard::StepBack(int steps) {
  steps = std::min(steps, board_.MoveTop - board_.SetupCount);
  for (int i = 0; i < steps; ++i) board_.ReplayStepBack();
  NoteSetupReached();
}

void RoomBoard::NoteSetupReached() {
  if (board_.MoveTop == board_.SetupCount) AtStartFlag = 1;
}

void RoomBoard::ResetDiscussBoard() {
  BoardModel& b = board_;
  if (b.MoveTop == 0) return;
  if (b.SetupCount < b.MoveTop) {
    b.ReplayToStart();
  } else {
    b.ClearBoard();
    b.SetupCount = 0;
  }
  AtStartFlag = 1;
  view_.RepaintRoomBoard();
}

void RoomBoard::ChooseFirstColour(bool blackFirst) {
  if (board_.BlackFirst == blackFirst) return;
  board_.BlackFirst = blackFirst;
  if (board_.MoveTop == board_.SetupCount) RenumberSetup();
}

void RoomBoard::LoadRecordText(std::string_view text) {
  BoardModel& b = board_;
  b.ClearBoard();
  b.BufferLength = 0;
  b.SetupCount = 0;
  const KifuTextResult read = ReadRoomRecord(text);
  view_.RoomRecordRead(read);
  AtStartFlag = b.MoveTop == b.SetupCount ? 1 : 0;
  view_.RepaintRoomBoard();
}

void RoomBoard::EmptyBoardOfSize(int size) {
  BoardModel& b = board_;
  b.ClearBoard();
  b.BufferLength = 0;
  b.SetupCount = 0;
  b.SetBoardSize(size);
  b.BlackFirst = true;
  AtStartFlag = 1;
  view_.RepaintRoomBoard();
}

bool RoomBoard::RewindTo(int moveIndex) {
  BoardModel& b = board_;
  // Only the index of a move whose stone stands on the board (it was clicked there).
  if (moveIndex <= b.SetupCount || moveIndex > b.MoveTop || moveIndex > kMoveListCapacity) {
    return false;
  }
  const int point = b.MoveList[moveIndex];
  if (!IsPlayingPoint(point, b.BoardSize) || !IsStone(b.Board[point]) ||
      b.IsMoveStoneGone(moveIndex)) {
    return false;
  }
  if (!b.RewindToMove(moveIndex)) return false;
  AtStartFlag = b.MoveTop == b.SetupCount ? 1 : 0;
  view_.RepaintRoomBoard();
  return true;
}

void RoomBoard::RenumberSetup() {
  board_.ResetLibertyFlags();
  board_.NumberSetupPosition();
}

bool RoomBoard::NewSetupStone(int point, int colour, int mark) {
  BoardModel& b = board_;
  // Setup stones change only while the board shows the setup position.
  if (!IsPlayingPoint(point, b.BoardSize) || b.MoveTop != b.SetupCount ||
      b.Board[point] != kEmpty || !BoardModel::CanAppendEntry(b.MoveTop)) {
    return false;
  }
  ++b.MoveTop;
  ++b.SetupCount;
  b.MoveList[b.MoveTop] = point;
  b.SetupColours[b.MoveTop] = colour * 1000 + point;
  b.Board[point] = colour;
  mark = UsableMark(mark);
  b.Marks[point] = mark > 0 ? colour * 1000 + mark : 0;
  RenumberSetup();
  view_.DrawRoomStone(point, colour == kBlack);
  view_.ShowRoomMoveCount(b.MoveTop);
  view_.DrawMark(mark, point);
  return true;
}

bool RoomBoard::TurnSetupStone(int point, int colour, int mark) {
  BoardModel& b = board_;
  if (!IsPlayingPoint(point, b.BoardSize) || b.MoveTop != b.SetupCount) return false;
  const int entry = b.FindSetupStone(point);
  if (entry == 0 || b.Board[point] != OtherColour(colour)) return false;
  b.SetupColours[entry] = colour * 1000 + point;
  b.Board[point] = colour;
  mark = UsableMark(mark);
  b.Marks[point] = mark > 0 ? colour * 1000 + mark : 0;
  RenumberSetup();
  view_.ErasePoint(point);
  view_.DrawRoomStone(point, colour == kBlack);
  view_.DrawMark(mark, point);
  return true;
}

bool RoomBoard::RemoveSetupStone(int point) {
  BoardModel& b = board_;
  if (!IsPlayingPoint(point, b.BoardSize) || b.MoveTop != b.SetupCount) return false;
  const int entry = b.FindSetupStone(point);
  if (entry == 0 || !b.DeleteSetupStone(entry)) return false;
  --b.SetupCount;
  --b.MoveTop;
  b.Board[point] = b.GroupIds[point] = b.Liberties[point] = 0;
  b.Marks[point] = 0;
  RenumberSetup();
  view_.ErasePoint(point);
  view_.ShowRoomMoveCount(b.MoveTop);
  return true;
}

bool RoomBoard::SetMark(int point, int code) {
  BoardModel& b = board_;
  if (!IsPlayingPoint(point, b.BoardSize) || b.Board[point] != kEmpty) return false;
  b.Marks[point] = UsableMark(code);
  view_.DrawMark(b.Marks[point], point);
  return true;
}

void RoomBoard::RemoveMark(int point) {
  BoardModel& b = board_;
  b.Marks[point] = 0;
  if (b.Board[point] == kEmpty) view_.ErasePoint(point);
}

// ---------------------------------------------------------------------------------------------
// The operator

std::string RoomBoard::BuildRecord() const {
  return RoomRecordText(WriteSgfRecord(board_, view_.RoomRecordHeader()));
}

// The record up to the end of the buffer (moves after the one on display included).
std::string RoomBoard::WholeBufferRecord() {
  const int shown = board_.MoveTop;
  board_.MoveTop = std::max(board_.BufferLength, board_.MoveTop);
  std::string record = BuildRecord();
  board_.MoveTop = shown;
  return record;
}

int RoomBoard::NewestMoveOn(int point) const {
  for (int i = board_.MoveTop; i >= 1; --i) {
    if (board_.MoveList[i] == point) return i;
  }
  return 0;
}

RoomSend RoomBoard::PlaceDiscussInput(int point, bool left, int selectedMark, bool spaceHeld) {
  if (RoomInputKind != kRoomInputMoves)
    return SendDiscussMark(point, left, selectedMark, spaceHeld);
  BoardModel& b = board_;
  if (!IsPlayingPoint(point, b.BoardSize)) return {};
  RoomSend send;
  if (b.Board[point] < 1) {
    // A ko point (600) does not stop the stone: the room is free to try anything.
    const bool black = b.NextMoveIsBlack();
    if (b.IsForbiddenFor(point, black ? kBlack : kWhite)) return {};
    if (!BoardModel::CanAppendEntry(b.MoveTop)) {
      send.ListFull = true;
      return send;
    }
    if (!PlaceStoneInTurn(point, black)) return {};
    CutRecord();
    view_.PlayStoneSound();
    send.Text = PointInput(point, black ? kRoomBlackStone : kRoomWhiteStone, BuildRecord());
    send.WarnWhenOffline = true;
    return send;
  }
  // A played stone: it and every move after it are taken back; they stay in the buffer.
  const int n = NewestMoveOn(point);
  if (n == 0 || n <= b.SetupCount) return {};
  const int steps = b.MoveTop - n + 1;
  StepBack(steps);
  send.Text = "<<DiscussInput>><<Type=" + std::to_string(kRoomTakeBack) +
              ">><<Value=" + std::to_string(steps) + ">><<MoveSuu=" + std::to_string(b.MoveTop) +
              ">>";
  return send;
}

RoomSend RoomBoard::SendDiscussMark(int point, bool left, int selectedMark, bool spaceHeld) {
  BoardModel& b = board_;
  if (!IsPlayingPoint(point, b.BoardSize)) return {};
  int type = 0;
  if (spaceHeld) {
    if (b.Board[point] > 0 || UsableMark(selectedMark) == 0) return {};
    if (b.Marks[point] <= 0) {
      if (!SetMark(point, selectedMark)) return {};
      type = kRoomMark + UsableMark(selectedMark);
    } else {
      RemoveMark(point);
      type = kRoomMarkRemoved;
    }
  } else {
    const int mark = UsableMark(selectedMark);
    const int code = b.Board[point];
    const bool setupStone = b.FindSetupStone(point) != 0;
    if (code == kEmpty) {
      const int colour = left ? kBlack : kWhite;
      if (!NewSetupStone(point, colour, mark)) return {};
      type = (left ? kRoomNewBlackSetup : kRoomNewWhiteSetup) + mark;
    } else if (!setupStone) {
      return {};
    } else if (code == (left ? kWhite : kBlack)) {
      if (!TurnSetupStone(point, left ? kBlack : kWhite, mark)) return {};
      type = (left ? kRoomTurnBlack : kRoomTurnWhite) + mark;
    } else {
      if (!RemoveSetupStone(point)) return {};
      type = left ? kRoomRemoveBlack : kRoomRemoveWhite;
    }
  }
  CutRecord();
  RoomSend send;
  send.Text = PointInput(point, type, BuildRecord());
  send.WarnWhenOffline = true;
  return send;
}

RoomSend RoomBoard::RewindToStone(int point) {
  BoardModel& b = board_;
  if (!IsPlayingPoint(point, b.BoardSize) || !IsStone(b.Board[point])) return {};
  const int n = NewestMoveOn(point);
  if (n <= b.SetupCount || !RewindTo(n)) return {};
  RoomSend send;
  send.Text = "<<DiscussInput>><<Type=" + std::to_string(kRoomRewind) +
              ">><<Value=" + std::to_string(n) + ">><<DiscussKifu=" + WholeBufferRecord() + ">>";
  return send;
}

RoomSend RoomBoard::StepBackAndCut() {
  StepBack(1);
  CutRecord();
  RoomSend send;
  send.Text = "<<DiscussInput>><<Type=" + std::to_string(kRoomStepBack) +
              ">><<DiscussKifu=" + BuildRecord() + ">>";
  return send;
}

RoomSend RoomBoard::BackToSetupAndCut() {
  if (board_.MoveTop == 0) return {};
  ResetDiscussBoard();
  CutRecord();
  RoomSend send;
  send.Text = "<<DiscussInput>><<Type=" + std::to_string(kRoomBackToSetup) +
              ">><<DiscussKifu=" + BuildRecord() + ">>";
  return send;
}

RoomSend RoomBoard::LoadRecord(std::string_view record) {
  const std::string text = RoomRecordText(record);
  board_.NumbersOn = true;
  LoadRecordText(text);
  RoomInputKind = kRoomInputMoves;
  RoomSend send;
  send.Text = "<<DiscussInput>><<Type=" + std::to_string(kRoomLoadRecord) +
              ">><<DiscussKifu=" + text + ">>";
  return send;
}

RoomSend RoomBoard::ChangeBoardSize(int size) {
  if (!IsBoardSize(size) || size == board_.BoardSize) return {};
  EmptyBoardOfSize(size);
  RoomInputKind = kRoomInputMoves;
  const std::string n = std::to_string(size);
  RoomSend send;
  send.Text = "<<DiscussInput>><<Type=" + std::to_string(kRoomBoardSize) + ">><<Value=" + n +
              ">><<DiscussKifu=(;GM[1]FF[1]SZ[" + n + "]>>";
  return send;
}
