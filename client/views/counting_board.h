// client/views/counting_board.h — TForm7, the counting board (alone or shared with the opponent)
// and editor of board diagrams; the board window shows it modally.
#pragma once
#include <QDialog>

class TForm7 : public QDialog {
  Q_OBJECT
 public:
  TForm7();

  // 0 no shared count, 1 this side holds the operation right, 2 the other side holds it.
  int RealTimeMode = 0;

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
