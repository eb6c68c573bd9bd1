// client/views/counting_board.cpp — the counting board.
#include "client/views/counting_board.h"

TForm7* Form7 = nullptr;

TForm7::TForm7() = default;

// The shared count is not built yet; its messages do nothing.
void TForm7::RealTimeCountEnded() {}
void TForm7::RealTimeRightChanged() {}
void TForm7::RealTimeCountRequested() {}
void TForm7::ApplyRealTimeCount(int, int) {}
