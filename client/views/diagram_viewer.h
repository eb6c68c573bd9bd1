// client/views/diagram_viewer.h — TForm9, the small frameless viewer of a board diagram received
// in chat: setup stones, marks and moves with their numbers on its own small board, a caption
// naming the diagram and its moves, and a replay bar. It keeps its own copy of the rules.
#pragma once
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <string>

#include "client/board/model/board_model.h"
#include "client/views/diagram_viewer_geometry.h"

class PictureButton;
class QLabel;

class TForm9 : public QWidget, public BoardModel {
  Q_OBJECT
 public:
  // At the top left of the screen, 19 lines, empty.
  TForm9();

  int CellSize = 12;    // pixel pitch of the grid
  int BoardOrigin = 5;  // pixel offset of the grid
  // Setup stones plus moves of the diagram shown; 0 while nothing has been shown.
  int DiagramEntryCount = 0;
  // Every stone carries its number (the diagram has fewer than 100 moves); else only the newest.
  int AllNumbers = 1;
  // The last diagram shown (the editor imports it).
  std::string DiagramText;

  // Shows a diagram (its data as the chat line carried it) at its last move; `number` is the
  // diagram's number, shown in the caption. Points are turned while the board window shows its
  // board turned.
  void ShowDiagram(const std::string& diagramText, const std::string& number);
  // 19, 13 or 9 lines: the geometry and that size's stone sheet, then the board picture again
  // with its grid. Any other size changes nothing.
  void SetBoardSize(int n);
  // Empties the diagram: no stones, marks or moves; black first.
  void ClearBoard();
  // The grid and star squares on the board picture.
  void DrawBoardGrid();

  // The replay: one move forward or back, to the setup or to the last move. Past either end
  // nothing happens.
  void DiagramStepForward();
  void DiagramStepBack();
  void DiagramToStart();
  void DiagramToEnd();

  // A press on the replay bar at x.
  void Image3MouseDown(int x);
  // A press on the caption: the board window and the chat swap places around the viewer.
  void Panel1MouseDown();
  // A double click on the board: the analysis room's input holder loads the diagram as the
  // room's record.
  void FormDblClick();

  // Draws the whole window: board, stones, numbers, marks.
  void FormPaint();
  const QImage& Surface() const { return surface_; }
  const ViewerGeometry& Geometry() const { return ViewerGeometryOf(BoardSize); }

  // Controls.
  QLabel* Panel1;         // "[碁盤n] m手"
  PictureButton* Image3;  // the replay bar: to the start, back, forward, to the end

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  // Loads `path` into `picture`; a picture that cannot be read keeps the old one and says why.
  bool LoadOrReport(const std::string& path, QImage& picture);
  // The geometry of BoardSize, its stone sheet and the board picture with its grid, from the
  // program folder.
  void LoadSizePictures();
  // The stone square of a point, which a stone covers and its number and mark stay inside.
  QRect StoneSquare(int point) const;
  void DrawStone(int point, bool black);
  void DrawMoveNumber(const std::string& text, int point, bool onBlack);
  void DrawMark(int code, int point);

  QImage Image1;    // the board picture with the grid of the size shown
  QImage Image2;    // the stone sheet of the size shown
  QImage surface_;  // what the board part of the window shows
  // Dragging the window by its surface: where the left button went down, and whether the
  // window moves with the mouse now.
  QPoint press_at_;
  bool pressed_ = false;
  bool dragging_ = false;
};

extern TForm9* Form9;
