// client/board/model/replay_bar.h — the replay bar (Image11): its six fields, the step each one
// takes through the buffered moves, and the analysis-room input it stands for.
#pragma once
#include <string>

#include "client/board/model/board_model.h"

// The bar is 168 pixels wide: six fields of 28 pixels.
constexpr int kReplayBarFieldWidth = 28;
constexpr int kReplayBarWidth = 6 * kReplayBarFieldWidth;

enum class ReplayAction {
  kNone,
  kToStart,      // ReplayToStart
  kBack10,       // ReplayBack10
  kStepBack,     // ReplayStepBack
  kStepForward,  // ReplayStepForward
  kForward10,    // ReplayForward10
  kToEnd,        // ReplayToEnd
};

struct ReplayBarField {
  ReplayAction Action = ReplayAction::kNone;
  int RoomInputType = 0;  // the analysis room's input type of the same step; 0 for none
};

// The field under x (pixels from the bar's left edge): 0-27 to the start, 28-55 ten back, 56-83
// one back, 84-111 one forward, 112-139 ten forward, 140 and more to the end. Left of the bar is
// no field.
ReplayBarField ReplayBarFieldAt(int x);

// Takes the step on the board.
void PerformReplayAction(BoardModel& board, ReplayAction action);

// The room input that makes every member take the same step: "<<DiscussInput>><<Type=" type
// ">><<MoveSuu=" moveTop ">>", moveTop being the entry on display after the step.
std::string ReplayRoomInput(int type, int moveTop);
