// client/board/board_replay.cpp — the board window's replay bar (stepping through the moves held,
// in every mode) and the marks of the analysis room drawn on the board.
#include "client/board/board_window.h"

// A mark is drawn by the analysis room's input, which comes with the room; until then there is
// nothing to draw.
void TForm4::DrawMark(int, int) {}
