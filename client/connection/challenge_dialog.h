// client/connection/challenge_dialog.h — TForm12, the dialog that shows a challenge received
// from another player and takes the answer.
#pragma once
#include <QDialog>
#include <string>

class TForm12 : public QDialog {
  Q_OBJECT
 public:
  TForm12();

  // A challenge ("<<GameSet>>") arrived while no own game runs: answer it.
  void ReceiveChallenge(const std::string& message);
};

extern TForm12* Form12;
