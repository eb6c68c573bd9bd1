// client/views/record_preview.h — TForm11, the small borderless window that previews a game record:
// while a start position is chosen in the game settings dialog, and beside a received challenge
// that brings one. Its reading of the record is RecordPreview's.
#pragma once
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <string>

#include "client/views/model/record_preview_model.h"

class MemoView;

class TForm11 : public QWidget, public RecordPreview {
  Q_OBJECT
 public:
  // Loads the pictures (a missing one is named in a message and drawn plain) and places the
  // window at the top right of the screen, hidden.
  TForm11();
  ~TForm11() override;

  // Previews the record file at `path` (the file selected in the settings dialog's file dialog).
  // A file that holds no record (shorter than 5 bytes, no "(;", or far too large to be one)
  // leaves no preview: no entries, no info, the bare board.
  void LoadRecordFile(const std::string& path);
  // The file the preview shows; empty when it shows none or shows other text.
  const std::string& PreviewedFile() const { return previewed_file_; }

  // Shows the bare board (the grid without stones).
  void PaintPreviewBoard();
  // The bare board, then the stones of the position.
  void FormPaint();
  void DrawBoardGrid();
  void DrawPreviewStone(int point, bool black);
  void DrawPreviewStones();

  // Shows the window beside `owner`, a modal dialog open now (or nullptr): the window is not
  // blocked by it, so it can still be dragged, and it stays above other windows while `onTop`.
  void ShowBeside(QWidget* owner, bool onTop);
  // Hides the window and returns it to the normal style.
  void HidePreview();
  void SetStayOnTop(bool onTop);
  // A left-button press outside the memo: the user drags the borderless window.
  void StartWindowDrag(const QPoint& globalPress);

  // Image1: the board with its grid; Image2: the stone sprites; Image3: the clean board.
  QImage Image1, Image2, Image3;
  // What the window shows of the board: Image1 and the stones drawn on it.
  QImage Surface;
  MemoView* Memo1;

 protected:
  void PreviewBoardSizeSet() override;
  void PreviewRead() override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void LoadPictures();

  std::string previewed_file_;
  bool dragging_ = false;  // the window follows the mouse (where the desktop cannot move it)
  QPoint drag_offset_;     // the press relative to the window's top left
};

extern TForm11* Form11;
