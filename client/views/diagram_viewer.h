// client/views/diagram_viewer.h — TForm9, the viewer of board diagrams sent in game chat.
#pragma once
#include <QWidget>

class TForm9 : public QWidget {
  Q_OBJECT
 public:
  TForm9();
};

extern TForm9* Form9;
