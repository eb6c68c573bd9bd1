// client/views/counting_board.h — TForm7, the counting board (alone or shared with the opponent)
// and editor of board diagrams; the board window shows it modally.
#pragma once
#include <QDialog>

#include "client/board/board_modes.h"

class TForm7 : public QDialog {
  Q_OBJECT
 public:
  TForm7();

  // The shared count: none, this side holds the operation right, or the other side holds it.
  int RealTimeMode = kNoSharedCount;

  // The shared count ended ("<<RealTimeCountEnd>>").
  void RealTimeCountEnded();
  // The operation right passed to the other side ("<<RealTimeChange>>").
  void RealTimeRightChanged();
  // The opponent started a shared count ("<<RealTimeCountStart>>").
  void RealTimeCountRequested();
  // One operation of the side that holds the right.
  void ApplyRealTimeCount(int type, int value);
};

extern TForm7* Form7;
