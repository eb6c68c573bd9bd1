// client/board/board_window.h — TForm4, the board window: idle, own game, watching and the
// analysis room, told apart by BoardMode. It holds the position (BoardModel), shows it from its
// pictures, turns clicks into board points, and saves and loads game records.
//
// One source file per mode: board_window.cpp (construction, geometry and drawing, input dispatch,
// records), board_own_game.cpp, board_replay.cpp (replay bar and marks), board_watching.cpp,
// board_room.cpp (analysis room) and board_room_input.cpp (the room's inputs).
#pragma once
#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "client/board/board_canvas.h"
#include "client/board/board_geometry.h"
#include "client/board/board_modes.h"
#include "client/board/caption_flash.h"
#include "client/board/model/board_model.h"
#include "client/board/model/record_text.h"
#include "client/board/model/room_input.h"

class FileDialogs;
class PanelStatusBar;
class PictureButton;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QTimer;

class TForm4 : public QWidget, public BoardModel, public BoardListener, public RoomInputView {
  Q_OBJECT
 public:
  TForm4();
  ~TForm4() override;

  // Shared state the message reader, the lobby and the other windows look at.
  int BoardMode = kBoardIdle;      // idle, own game, watching or analysis room (board_modes.h)
  int InputAllowed = 0;            // the board takes this user's clicks
  int ClockState = kClockRunning;  // running, stopped by this user or by the opponent
  int RealTimeCountPending = 0;    // 1: open the shared count the opponent started
  int ChatHiddenByFollower = 0;    // 1 while the lobby's follower keeps the chat hidden
  int ChatViewerWasOpen = 0;       // the diagram viewer was open when the chat window was hidden
  std::string GameTag;             // "<<GameIndex=" n ">>" of the current game
  int WatcherCount = 0;            // watchers of the current game
  std::string SavedCaption;        // the caption while the opponent has stopped the game
  std::string SavedTurnText;       // status panel 0 as it was when the game was stopped

  // Geometry of BoardSize and the last click.
  int CellSize = 20;
  int BoardOrigin = 9;
  int ClickX = 111;  // centre of the intersection nearest to the last click
  int ClickY = 111;
  int CandidatePoint = 0;  // the first click of a two-click move, 0 for none

  int PlaysBlack = 1;        // the user plays black (chooses the board picture of SetBoardSize)
  int SpaceHeld = 0;         // the space key is held while a mark is selected
  int ShownCountMove = 0;    // move index the counting board rebuilds after a Shift-click
  int ShownMoveOpening = 0;  // 1 while a Shift-click has the diagram editor open at ShownCountMove
  int IdleSeconds = 0;       // seconds since the last click on the board or the replay bar

  // Own game and watching: clocks, added seconds, komi and the record's time property.
  int BlackClock = 0;
  int WhiteClock = 0;
  int AddSeconds = 0;
  int MoveSeconds = 0;
  int KomiTenths = 0;
  std::string RecordTimeText;
  // Analysis room: the shared board (with its AtStartFlag and RoomInputKind), the record as it
  // stood when the input right came or a record file was loaded (Image25 loads it again), the
  // text of the record file last chosen, and the member list (status bar hint).
  RoomBoard Room{*this, *this};
  std::string RoomStartRecord;
  std::string LoadedRecordText;
  std::string RoomMemberList;
  // Board diagrams sent in chat: the game's and the analysis room's.
  std::string DiagramStore;
  std::string RoomDiagramStore;

  // The save dialog of the record (replaced by tests).
  FileDialogs* SaveDialog1 = nullptr;

  // The window caption (cp932); the flash shows it marked for a moment.
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return flash_.Caption(); }

  // A new connection: back to idle with no game, clock stop or shared count pending; what the
  // board shows stays.
  void ResetGameFlags();
  // The reset before a new game, a watch or the analysis room.
  void ResetBoardForm();

  // Drawing.
  const BoardGeometry& Geometry() const { return GeometryOf(BoardSize); }
  int PointToPixelX(int point) const { return Geometry().PointToPixelX(point); }
  int PointToPixelY(int point) const { return Geometry().PointToPixelY(point); }
  void DrawBoardGrid();
  void RepaintBoardBitmap();
  // A stone with its centre at pixel (x, y) of the board surface, and the bare board there.
  void DrawStoneAt(int x, int y, bool black);
  void EraseStoneAt(int x, int y);
  // The number of move `moveIndex` on its stone.
  void DrawMoveNumber(int number, int moveIndex) override;
  void DrawCandidateMarker(int point);
  // Draws the whole window: board, setup stones, played stones with their numbers, the analysis
  // room's marks, the candidate.
  void FormPaint();
  // The board surface as it is shown (for tests and pictures of the window).
  const QImage& BoardSurface() const { return canvas_.Surface; }
  const BoardCanvas& Canvas() const { return canvas_; }

  // Input.
  void SnapClickToGrid(int x, int y);
  int ClickedPoint() const;
  // True, with PendingPoint set, when the clicked point is free for a move; otherwise shows
  // "そ こ は 打 て ま せ ん ！".
  bool CheckMovePoint();
  void PaintBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  // Turns the board by 180 degrees (white's view) and back.
  void Image19Click();
  void FormKeyPress(int key);
  void FormKeyUp();
  // The commands of the window's menu (the context menu of the window): 2 shows or hides the
  // game-list board in the analysis room.
  void SystemMenuCommand(int id);
  // Flashes the caption six times, 200 ms apart, on a timer; returns at once.
  void FlashBoardWindow();
  bool Flashing() const;

  // Game records.
  // The record of the board (names from Memo1 and Memo4, date and time from the clock).
  std::string WriteSgfRecord() const;
  // Saves the record through the save dialog, with the chat log beside it.
  void Image15Click();
  // Saves to the name chosen in the save dialog; false (after a message) when it could not.
  bool SaveRecordAs(const std::string& chosen);
  // The loose reader onto the board: size, names, setup stones, marks and moves, shown at the
  // last move.
  void LoadKifuText(const std::string& text);
  // A record file's text by the strict reader (the main line), shown at its last move.
  void OpenRecordText(const std::string& text);

  // BoardListener: what the position shows.
  void DrawStone(int point, bool black) override;
  void EraseStone(int point) override;
  void ShowMoveCount(int moveTop) override;
  void ShowBlackCaptured(int count) override;
  void ShowWhiteCaptured(int count) override;
  void ShowStateCaption(const std::string& caption) override;
  // SetBoardSize of 19, 13 or 9 lines: the geometry and pictures of that size from the program
  // folder (the board picture of the view PlaysBlack gives), the grid, the bare board shown.
  void BoardSizeSet(int size) override;

  // Own game (board_own_game.cpp).
  // The server's game start: the board, clocks, names and conditions of the new game.
  void StartPlayGame(const std::string& message);
  // A click on the board in an own game (not a right click on the candidate): the first click
  // marks the candidate, a second click on it plays and sends the move.
  void SendGameMove();
  // A move or an undo from the server while playing or watching ("<<Move=").
  void ReceiveMoveOrUndo(const std::string& message);
  // The opponent passed: the turn comes to this user.
  void OpponentPassed();
  // The opponent asks to take back a move ("<<ReceiveMoveBack>>").
  void MoveBackRequested();
  // The game ended (resign, two passes, time-out, lost connection); the lobby lists are updated.
  void GameEnded(const std::string& message);
  // This client's connection to the server ended. An own game stops where it stands: the clocks
  // stand, the board takes no more moves and keeps its record for saving. A shared count closes
  // and the analysis room's input right ends, so nothing changes here that the others cannot
  // see. The board says that the connection ended.
  void ConnectionLost();
  // The opponent stopped or restarted the clocks ("<<TimeStop=").
  void OpponentTimeStop(const std::string& message);
  // The opponent's name as shown: white's name when this user plays black, else black's.
  std::string OpponentName() const;
  // Once a second (Timer1): the clock of the player to move runs in an own game whose clocks both
  // run.
  void Timer1Timer();
  // One second off the mover's clock; a clock that reaches 0 ends the game.
  void TickClock();
  // This user's clock ran out: the server is told.
  void SendTimeOut();

  // Buttons, keys and the chat line of an own game and of watching (board_own_game.cpp).
  // A press on the pass/resign button at x: the left half passes, the right half resigns.
  void Image12MouseDown(int x);
  // Asks the opponent to take back the last move (or agrees to the opponent's request).
  void Image14Click();
  // Move numbers on every stone, or only on the newest.
  void Image16Click();
  // Ends a stopped own game, or leaves a watched or finished game.
  void Image17Click();
  // Stops the own game's clocks, or restarts them.
  void Image18Click();
  // The close box: false keeps the window open. Closing an own game resigns it.
  bool FormCloseQuery();
  // A key went down on the window (F5 copies the record, Shift+Backspace asks for an undo).
  void FormKeyDown(int key, Qt::KeyboardModifiers shift);
  // Enter in the chat line sends it to the game (or the analysis room).
  void Edit1KeyDown(int key);
  // A click on the window's face: the chat line gives up the keyboard.
  void FormClick();
  // A press on the status bar at x: the "チャット" panel shows or hides the chat window.
  void StatusBar1MouseDown(int x);
  // The window is hidden: the game chat goes with it.
  void FormHide();

  // Watching (board_watching.cpp).
  // The watch snapshot of a game ("<<WatchGame=" … "<<DraumEND>>"): the board window shows the
  // game at its newest move, with the chat so far beside it, in place of the lobby.
  void StartWatchGame(const std::string& message);
  // The number of watchers of the current game changed; `watch_list` names them.
  void ShowWatcherCount(int count, const std::string& watch_list);
  // A move of the watched game (a finished own game shows its record like a watched one): kept
  // in the buffer, shown at once when the newest move is on display.
  void ReceiveGameMove(int point, const std::string& message);

  // Replay bar and marks (board_replay.cpp).
  // A press on the replay bar at x: a step through the moves held; in the analysis room the
  // operator's step goes to every member.
  void Image11MouseDown(int x);
  // A mark (MarkCode) on the point, as the point's stone or emptiness shows it.
  void DrawMark(int code, int point) override;

  // Analysis room (board_room.cpp).
  void StartDiscussRoom(const std::string& message);
  void GrantDiscussInput(const std::string& message);
  void ShowDiscussMembers(const std::string& message);
  void ShowDiscussRegList(const std::string& message);
  void ShowDiscussOperator(const std::string& name);
  void ReceiveDiscussChat(const std::string& message);
  void ReceiveDiscussGameList(const std::string& message);
  void ReceiveDiscussGameData(const std::string& message);
  // The first-colour buttons show BlackFirst; the input-kind buttons show RoomInputKind.
  void DrawRoomFirstColour();
  void DrawRoomInputKind();
  // The input right ends here: the operator's controls are hidden.
  void HideOperatorControls();
  // `text` becomes the shared board's record, here and on every member's board.
  void SendDiscussRecord(const std::string& text);
  // The room's buttons.
  void Image21Click();  // register for the input right
  void Image22Click();  // give the input right up
  void Image24Click();  // a record file onto the shared board
  void Image25Click();  // RoomStartRecord again
  // A press on Image29 at y: the upper part follows a running game or stops following it, the
  // lower part loads a record from the clipboard. A move over it shows the part's hint.
  void Image29MouseDown(int y);
  void Image29MouseMove(int y);
  // A press on line `line` of the registration list; with Ctrl the operator hands the right to
  // the member of that line.
  void Memo9MouseDown(bool ctrl, int line);
  void Panel4Click();
  // The board size chosen by the user (0 19 lines, 1 13, 2 9).
  void ComboBox1Change();
  void Image23Click();  // input kind: moves
  void Image26Click();  // input kind: setup stones and marks
  void Image27Click();  // black plays first
  void Image28Click();  // white plays first
  void Panel6Click();   // "| <"
  void Panel7Click();   // "<"

  // The room's inputs (board_room_input.cpp).
  // An input of the operator applied to this member's board ("<<DiscussInput>>").
  void ApplyDiscussInput(const std::string& message);
  // A click on the board by the room's operator: the point and whether the left button was used.
  void PlaceDiscussInput(int point, bool left);

  // RoomInputView: what the shared board draws and hears beyond the position.
  void DrawRoomStone(int point, bool black) override;
  void ErasePoint(int point) override;
  void ShowRoomMoveCount(int moveTop) override;
  void PlayStoneSound() override;
  void HoldDrawing(bool hold) override;
  void RepaintRoomBoard() override;
  void RoomRecordRead(const KifuTextResult& read) override;
  RecordHeader RoomRecordHeader() const override;
  void SetupPositionReached() override;

  // The counting board, modally, at ShownCountMove.
  void ShowCountingBoard();
  // The diagram editor, modally, from the position on the board.
  void Image10Click();
  // A press on the count button at (x, y): the counting board, modally. In an own game this user
  // has stopped, a press on the button's middle shares the count with the opponent and the
  // watchers while the board is open.
  void Image13MouseDown(int x, int y);
  // The opponent started a shared count and the counting board is free: it opens watch-only, from
  // the event loop (never inside a tick of the timer, which keeps running meanwhile).
  void OpenRequestedCount();

  // Controls.
  QWidget* PaintBox1;  // the board surface
  QImage Image9;       // the background picture
  QFrame* Panel1;
  QLineEdit* Memo1;  // black's name
  QLineEdit* Memo2;  // black's clock
  QLineEdit* Memo3;  // white stones black has taken
  QFrame* Panel2;
  QLineEdit* Memo4;  // white's name
  QLineEdit* Memo5;  // white's clock
  QLineEdit* Memo6;  // black stones white has taken
  QLabel* Panel3;    // one-line game state caption
  QFrame* Panel4;    // the analysis room's panel
  QPlainTextEdit* Memo7;
  QPlainTextEdit* Memo9;
  QLabel* Label1;
  QComboBox* ComboBox1;
  QFrame* Panel5;
  QLabel* Panel6;
  QLabel* Panel7;
  PictureButton* Image10;
  PictureButton* Image11;
  PictureButton* Image12;
  PictureButton* Image13;
  PictureButton* Image14;
  PictureButton* Image15;
  PictureButton* Image16;
  PictureButton* Image17;
  PictureButton* Image18;
  PictureButton* Image19;
  PictureButton* Image21;
  PictureButton* Image22;
  PictureButton* Image23;
  PictureButton* Image24;
  PictureButton* Image25;
  PictureButton* Image26;
  PictureButton* Image27;
  PictureButton* Image28;
  PictureButton* Image29;
  QLineEdit* Edit1;  // the chat line
  PanelStatusBar* StatusBar1;
  QMenu* SystemMenu;  // the window's menu, opened as its context menu
  QTimer* Timer1;     // once a second, in every mode

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void LoadButtonPictures();
  // Loads `path` into `picture`; a file that cannot be read keeps the picture and shows why.
  bool LoadOrReport(const std::string& path, QImage& picture);
  // Ctrl-click in the analysis room: the room continues from the clicked move
  // (board_room_input.cpp).
  void RewindRoomToClick();
  // The room's controls report to their handlers (board_room.cpp).
  void ConnectRoomControls();
  // The operator's inputs each second: the idle count, and the release after a minute.
  void TickRoomIdle();
  // Leaving the room: refused with `refusal` to the operator; otherwise the room is told and the
  // lobby comes back. False when refused.
  bool LeaveDiscussRoom(const std::string& refusal);
  // Sends what an operator's action made (board_room_input.cpp).
  void SendRoomInput(const RoomSend& send);
  // The names and the length of a record just read onto the board.
  void ShowRecordRead(const KifuTextResult& read);
  // Memo7 shows the names of the shown record.
  void ShowRoomRecordNames(const RecordNames& names);
  // The board picture of the current size for the view shown (turned or not), with its grid.
  void LoadViewBoardPicture(bool turned);
  // The board picture from `file` with its grid, unless it is the picture shown already.
  void LoadBoardPicture(const std::string& file);
  // A record read or the board turned: the position is rebuilt without drawing each move, then
  // the window shows it whole (EndWholeRebuild repaints and shows the counts and the caption).
  void BeginWholeRebuild();
  void EndWholeRebuild();
  // Withdraws the candidate of a two-click move and erases its marker.
  void DropCandidate();
  // The opponent's move on `point` (black's view, as the server sends it).
  void ReceiveOpponentMove(int point, const std::string& message);
  // Plays this user's stone on the confirmed candidate and sends it.
  void PlayConfirmedMove(int point);
  // This user passes (after the confirmation).
  void PassMove();
  // The game-end state of an own game.
  void EndOwnGame(const std::string& message);
  // True when the server can be told of this user's game action; otherwise the user is told
  // that there is no connection, and the action must change nothing.
  bool CanSendGameAction();
  // The clock memos show the clocks that have a time limit.
  void ShowClocks();
  // The turn comes to this user (or, while the game is stopped, comes back on restart).
  void GiveTurnToUser();
  // The own game stops (kClockStoppedByUser or kClockStoppedByOpponent): the turn is kept for
  // the restart, the state shown, pass and resign give way to the end button, the chat comes up.
  void EnterGameStop(int clock_state);
  // The stopped own game runs again with the turn it had.
  void LeaveGameStop();
  static void SetMemoText(QLineEdit* memo, const std::string& cp932);
  // Sends `text` when connected; otherwise the lobby's status bar says so (no message box).
  void SendOrNoteInLobby(const std::string& text);
  // The clocks of a watched game as a relayed move reports them; a value that is not a number
  // (the clock of a pass) leaves its memo as it is.
  void ShowWatchedClocks(const std::string& black, const std::string& white);

  BoardCanvas canvas_;
  std::unique_ptr<FileDialogs> file_dialogs_;  // the desktop's dialogs, over this window
  CaptionFlash flash_;
  // The opponent restarted the game: the caption tells so through the flash and a pause, then
  // shows the saved caption again.
  QTimer* restart_caption_timer_;
  // The main time of the own game is not "任意": its memo shows the clock.
  bool black_clock_limited_ = false;
  bool white_clock_limited_ = false;
  // The main times of the watched game (seconds, 0 for no limit): a player who has not moved yet
  // shows his.
  int watched_black_main_time_ = 0;
  int watched_white_main_time_ = 0;
  // The watch buffer was full when a move arrived and the user has been told once.
  bool buffer_full_noticed_ = false;
  // The file the board picture was last loaded from (with its grid drawn on it).
  std::string board_picture_file_;
  // A whole position is being rebuilt and repainted afterwards: the stones are not drawn move by
  // move, and the counts and the last caption wait for the end.
  bool rebuilding_ = false;
  std::optional<std::string> rebuild_caption_;
};

extern TForm4* Form4;
