// client/board/board_modes.h — the values of the client's mode and state fields. The fields stay
// plain ints (the windows and the message reader share them); they are compared with these names.
#pragma once

// BoardMode of the board window: what the board is used for.
constexpr int kBoardIdle = 0;      // no game; the window is hidden or shows a finished game
constexpr int kBoardOwnGame = 1;   // this user plays
constexpr int kBoardWatching = 2;  // watching a game, or an own game that has ended
constexpr int kBoardRoom = 5;      // the analysis room

// ClockState of the board window in an own game.
constexpr int kClockRunning = 0;
constexpr int kClockStoppedByUser = 1;
constexpr int kClockStoppedByOpponent = 2;

// PlayerMode of a participant, chosen by the "観戦のみ" check box and sent as "<<IdFlag=".
constexpr int kPlayerWatchOnly = 0;
constexpr int kPlayerMayPlay = 1;  // listed among the waiting players

// RealTimeMode of the counting board: the count shared with the opponent.
constexpr int kNoSharedCount = 0;
constexpr int kSharedCountOwnRight = 1;    // this side holds the operation right
constexpr int kSharedCountOtherRight = 2;  // the other side holds it

// CountMode of the counting board: the same window counts or edits a board diagram.
constexpr int kCountingBoard = 0;
constexpr int kDiagramEditor = 1;
