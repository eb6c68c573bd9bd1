// client/connection/message_board_window.h — TForm8, the lobby's message board: everybody's
// lines, and an input line that posts to everybody.
#pragma once
#include <QWidget>
#include <string>

#include "platform/line_list.h"

class MemoView;
class QLineEdit;

class TForm8 : public QWidget {
  Q_OBJECT
 public:
  // Created hidden, to the right of the lobby.
  TForm8();
  ~TForm8() override;

  // Shows or hides the board and moves the lobby beside it or back to the middle.
  void ToggleMessageBoard();
  // A line posted to everybody joins the board's lines.
  void AddBoardLine(const std::string& line);
  // The board's lines as the server keeps them, on login.
  void SetBoardText(const std::string& text);

  // Handlers.
  void Memo2KeyDown(int key);
  void Memo1Click();
  void FormKeyDown(int key, bool ctrl);

  // Controls.
  LineList Memo1Lines;  // the board's lines
  MemoView* Memo1;
  QLineEdit* Memo2;  // the input line

 private:
  void CreateControls();
};

extern TForm8* Form8;
