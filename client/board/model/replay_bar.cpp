// client/board/model/replay_bar.cpp — the replay bar's fields and steps.
#include "client/board/model/replay_bar.h"

ReplayBarField ReplayBarFieldAt(int x) {
  static constexpr ReplayBarField kFields[] = {
      {ReplayAction::kToStart, 10},    {ReplayAction::kBack10, 9},    {ReplayAction::kStepBack, 8},
      {ReplayAction::kStepForward, 5}, {ReplayAction::kForward10, 6}, {ReplayAction::kToEnd, 7},
  };
  if (x < 0) return {};
  const int field = x / kReplayBarFieldWidth;
  return field < 5 ? kFields[field] : kFields[5];
}

void PerformReplayAction(BoardModel& board, ReplayAction action) {
  switch (action) {
    case ReplayAction::kToStart:
      board.ReplayToStart();
      break;
    case ReplayAction::kBack10:
      board.ReplayBack10();
      break;
    case ReplayAction::kStepBack:
      board.ReplayStepBack();
      break;
    case ReplayAction::kStepForward:
      board.ReplayStepForward();
      break;
    case ReplayAction::kForward10:
      board.ReplayForward10();
      break;
    case ReplayAction::kToEnd:
      board.ReplayToEnd();
      break;
    case ReplayAction::kNone:
      break;
  }
}

std::string ReplayRoomInput(int type, int moveTop) {
  return "<<DiscussInput>><<Type=" + std::to_string(type) +
         ">><<MoveSuu=" + std::to_string(moveTop) + ">>";
}
