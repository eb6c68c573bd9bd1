// client/views/record_preview.h — TForm11, the preview of a game record and builder of a start
// position from it.
#pragma once
#include <QWidget>

class TForm11 : public QWidget {
  Q_OBJECT
 public:
  TForm11();
};

extern TForm11* Form11;
