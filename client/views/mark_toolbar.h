// client/views/mark_toolbar.h — TForm15, the stay-on-top strip of mark buttons: it keeps the
// mark (MarkCode) that the diagram editor and the analysis room's board put on points while the
// space key is held. At most one button is down; none may be.
#pragma once
#include <QWidget>
#include <array>

class QToolButton;

class TForm15 : public QWidget {
  Q_OBJECT
 public:
  // Hidden, at the top of the screen, with no button down.
  TForm15();

  // The mark the board window and the counting board place (MarkCode), 0 for none.
  int SelectedMark = 0;

  // The check button of `code` was clicked and has toggled itself: down, it becomes the
  // selection and the button down before pops up; up, nothing is selected.
  void ToolButtonClick(int code);
  // The button of SelectedMark pops up; any other value does nothing.
  void ReleaseMarkButton();
  // A new showing or a hiding clears the selection and makes room for the strip above the board
  // that uses it (the counting board while it is open, else the board window).
  void FormShow();
  void FormHide();
  // The space key arms mark placing while a mark is selected; any key release disarms it.
  void FormKeyPress(int key);
  void FormKeyUp();

  // The button of each MarkCode (ToolButton1..ToolButton15 by code; 8, the separator, has none).
  std::array<QToolButton*, 16> ToolButtons{};

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void CreateControls();
};

extern TForm15* Form15;
