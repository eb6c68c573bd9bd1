// client/views/mark_toolbar.h — TForm15, the strip of marks that the board window and the counting
// board place.
#pragma once
#include <QWidget>

class TForm15 : public QWidget {
  Q_OBJECT
 public:
  TForm15();

  // The mark the board window and the counting board place (MarkCode), 0 for none.
  int SelectedMark = 0;
};

extern TForm15* Form15;
