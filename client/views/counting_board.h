// client/views/counting_board.h — TForm7, the counting board (alone or shared with the opponent)
// and editor of board diagrams; the board window shows it modally. In counting mode it copies the
// board window's position, lets the user mark dead groups and territory, counts and shows the
// result in its caption; in a shared count every operation of the side that holds the right goes
// over the server and is repeated on the other boards.
#pragma once
#include <QDialog>
#include <QImage>
#include <array>
#include <string>

#include "client/board/board_canvas.h"
#include "client/board/board_geometry.h"
#include "client/board/board_modes.h"
#include "client/board/caption_flash.h"
#include "client/board/model/board_model.h"
#include "client/board/model/territory_count.h"
#include "client/views/model/diagram_editor.h"

class PanelButton;
class PictureButton;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

class TForm7 : public QDialog, private CountListener {
  Q_OBJECT
 public:
  TForm7();
  ~TForm7() override;

  // Counting board or diagram editor.
  int CountMode = kCountingBoard;
  // The shared count: none, this side holds the operation right, or the other side holds it.
  int RealTimeMode = kNoSharedCount;

  // The board window's position, copied at every show (never a second rules engine).
  BoardModel Position;
  // The count of that position.
  TerritoryCount Count;
  // Entries of Position.MoveList drawn: the board window's MoveTop without its closing passes.
  int MoveTop = 0;
  // Geometry of the board shown: 19/20/9, 13/29/11 or 9/42/18.
  int BoardSize = 19;
  int CellSize = 20;
  int BoardOrigin = 9;
  int MouseHeld = 0;       // a mouse button is down on the board
  int LeftButtonDown = 0;  // the button pressed last was the left one
  int EraseDrag = 0;       // the current drag erases territory marks

  // The window caption (cp932); the flash shows it marked for a moment.
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return flash_.Caption(); }
  bool Flashing() const;

  // Showing: the mode's set-up when the window opens, and its whole drawing.
  void FormShow();
  void FormPaint();
  // The board picture of `size` lines (turned when the board window shows white's view) with its
  // grid, the stone sheet, and the geometry.
  void SetBoardSize(int size);
  // The board picture, whole, onto the board surface.
  void RepaintBoardImage();
  // A territory mark centred on (x, y): its stone with a star.
  void DrawTerritoryMark(int x, int y, bool isBlack);
  // The erase square around (x, y) from the board picture.
  void ErasePoint(int x, int y);
  // The point under (x, y) of the board surface, 0 when the press lies beside every line.
  int PointAt(int x, int y) const;
  const QImage& BoardSurface() const { return canvas_.Surface; }

  // Input on the board surface.
  void FormMouseDown(Qt::MouseButton button, int x, int y);
  void FormMouseMove(int x, int y);
  void FormMouseUp();
  // "計 算" counts, "再計算" restores the board before the count.
  void Panel3Click();
  // "戻 る": the window closes.
  void Panel1Click();
  // F5 copies the board window's record to the clipboard.
  void FormKeyDown(int key);

  // The shared count.
  // The holder of the right starts it from a stopped own game: the start goes to the server.
  void StartSharedCount();
  // The other player's or a watcher's board opens on a received start: watching only.
  void OpenSharedCountAsWatcher();
  // The window closed on a shared count: back to no shared count; `sendEnd` tells the other side.
  void LeaveSharedCount(bool sendEnd);
  // A new game, or the board window going away, closes the window and ends any shared count
  // without telling anyone.
  void CloseQuietly();
  // SpeedButton1 follows RealTimeMode: enabled with "相手に操作権を渡す" while this side holds the
  // right, disabled with "[操作観覧モード]" while the other side does.
  void UpdateOperationRightButton();
  // Hands the operation right to the opponent.
  void SpeedButton1Click();
  // Enter in the memo sends its line to the game chat.
  void Memo1KeyDown(int key);
  void Memo1KeyUp();

  // Messages of the shared count, from the reader.
  // The shared count ended ("<<RealTimeCountEnd>>").
  void RealTimeCountEnded();
  // The operation right passed to the other side ("<<RealTimeChange>>").
  void RealTimeRightChanged();
  // The opponent started a shared count ("<<RealTimeCountStart>>").
  void RealTimeCountRequested();
  // One operation of the side that holds the right.
  void ApplyRealTimeCount(int type, int value);

  // The diagram editor (counting_board_editor.cpp).
  // Its position and input rules.
  DiagramEditor Editor;
  // The editor's set-up when the window opens: from the move the board window shows after a
  // Shift-click, else from the board window's position.
  void ShowEditor();
  void PaintEditor();
  // A click on a point of the board in the editor.
  void DiagramClick(int point, bool left);
  // Input mode: moves / setup stones and marks (with the mark toolbar).
  void Image1Click();
  void Image2Click();
  // First player: black / white.
  void Image3Click();
  void Image4Click();
  void DrawInputModeIndicator();
  void DrawFirstPlayerIndicator();
  // "局面図に指定", "| <", "<".
  void Panel4Click();
  void Panel5Click();
  void Panel6Click();
  // Imports: "クリップボード", "チャット碁盤", a record file dropped on the window.
  void Panel7Click();
  void Panel8Click();
  void CountBoardDropFile(const std::string& path);
  // "送 信": sends the diagram with the comment; false when a message said what is missing
  // (the editor then stays open).
  bool SendBoardMessage();
  // The space key arms mark placing while a mark is selected; any key release disarms it.
  void FormKeyPress(int key);
  void FormKeyUp();

  // Controls.
  QWidget* BoardBox;  // the board surface, at the window's top left
  QLabel* Label1;     // "黒 : " BlackScore
  QLabel* Label2;     // "白 : " WhiteScore
  QLabel* Label3;     // "コメント" (editor)
  QLabel* Label4;     // "リアルタイム計算中"
  PanelButton* Panel1;
  PanelButton* Panel3;
  QFrame* Panel2;  // the editor's buttons
  PanelButton* Panel4;
  PanelButton* Panel7;
  PanelButton* Panel8;
  QPlainTextEdit* Memo1;
  QPushButton* SpeedButton1;
  // The editor's buttons on Panel2: input mode (Image1, Image2) and first player (Image3,
  // Image4) with their dots, "| <" (Panel5) and "<" (Panel6).
  PictureButton* Image1;
  PictureButton* Image2;
  PictureButton* Image3;
  PictureButton* Image4;
  PanelButton* Panel5;
  PanelButton* Panel6;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 public slots:
  // The close box ends the show like "戻 る" (Escape does not close the board).
  void reject() override;

 private:
  // CountListener: what the count shows.
  void DrawTerritoryMark(int point, bool black) override;
  void ErasePoint(int point) override;
  void DrawStone(int point, bool black) override;
  void DrawDeadMark(int point, bool black) override;
  void DrawTerritoryPoint(int point, bool black) override;
  void ShowScores(int black, int white) override;

  void CreateControls();
  void CreateEditorControls();
  // The editor's controls shown and the counting board's hidden, or the other way round.
  void ShowEditorControls(bool editor);
  // A record read into the editor, shown with the size it brings.
  void ImportIntoEditor(const std::string& text, bool turned);
  void CountWithCaption();
  void RestoreWithCaption();
  // Sends `operation` of the holder of the right (with the point seen from black's side).
  void SendOperation(int operation, int point);
  void ShowSharedCountControls(bool shown);
  // A stone, or text on the board centred on (x, y), clipped to the point's erase square.
  void DrawStoneAt(int x, int y, bool black);
  void DrawPointText(int x, int y, int dx, int dy, const char* text, bool onBlack);
  std::string PictureFile(const char* name) const;

  BoardCanvas canvas_;
  bool turned_picture_ = false;  // the board picture shown is white's view
  // The game of the shared count, for its messages after the board window moved on.
  std::string shared_game_tag_;
  CaptionFlash flash_;
  // The pictures of Image1 .. Image4 as loaded, before their dots.
  std::array<QImage, 4> indicator_pictures_;
};

extern TForm7* Form7;
