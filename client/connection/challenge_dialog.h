// client/connection/challenge_dialog.h — TForm12, the dialog that shows a challenge received
// from another player and takes the answer.
#pragma once
#include <QDialog>
#include <string>

#include "platform/line_list.h"

class MemoView;
class QPushButton;

class TForm12 : public QDialog {
  Q_OBJECT
 public:
  // Empties the offer and places the window near the top right of the screen.
  TForm12();
  ~TForm12() override;

  // A challenge ("<<GameSet>>") arrived while no own game runs. While another offer is open or
  // the user holds the board's input, it is answered busy at once; otherwise the offer is shown
  // (the dialog opens from the event loop, so the connection is read on while it is open) and
  // answered with the user's choice.
  void ReceiveChallenge(const std::string& message);

  // Shows the offer `text` under `caption` and waits for the answer; true for O  K.
  bool ShowOffer(const std::string& caption, const std::string& text);

  // The memo gives up the keyboard (no caret stays in the offer).
  void Memo1Click();

  // Controls.
  LineList Memo1Lines;  // the offer text
  MemoView* Memo1;
  QPushButton* BitBtn1;  // O  K: result 1
  QPushButton* BitBtn2;  // キャンセル: result 2

 protected:
  // The close box and Escape decline like キャンセル.
  void reject() override;

 private:
  void CreateControls();
  // Lays the offer out above the buttons, the window as tall as its lines need.
  void FitOffer();
  // Shows the offer of `message`, waits for the answer and sends it.
  void AnswerChallenge(const std::string& message);
};

extern TForm12* Form12;
