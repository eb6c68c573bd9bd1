// client/views/mark_toolbar.h — TForm15, the strip of marks that the board window and the counting
// board place.
#pragma once
#include <QWidget>

class TForm15 : public QWidget {
  Q_OBJECT
 public:
  TForm15();
};

extern TForm15* Form15;
