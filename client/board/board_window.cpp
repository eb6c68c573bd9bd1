// client/board/board_window.cpp — the board window: construction and reset, the pictures and
// the drawing of the position, board clicks and keys, the caption flash, and game records.
#include "client/board/board_window.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadialGradient>
#include <QTimer>
#include <algorithm>

#include "client/board/board_marks.h"
#include "client/board/board_modes.h"
#include "client/board/board_pictures.h"
#include "client/board/model/record_files.h"
#include "client/board/model/record_text.h"
#include "client/board/picture_button.h"
#include "client/connection/client_main_form.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/views/counting_board.h"
#include "client/views/game_list_board.h"
#include "client/views/mark_toolbar.h"
#include "platform/cp932.h"
#include "platform/file_dialogs.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/memo_colors.h"
#include "platform/pictures.h"
#include "platform/qt_text.h"
#include "platform/status_bar.h"
#include "platform/window_state.h"
#include "protocol/tag_message.h"

TForm4* Form4 = nullptr;

// The board surface: shows the backing image and hands mouse presses to the window.
class BoardPaintBox : public QWidget {
 public:
  BoardPaintBox(TForm4* form, QWidget* parent) : QWidget(parent), form_(form) {
    setFocusPolicy(Qt::ClickFocus);
    // The right button belongs to the board (withdrawing a candidate), not to the window menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, form_->BoardSurface());
  }
  void mousePressEvent(QMouseEvent* event) override {
    const QPoint at = event->position().toPoint();
    form_->PaintBox1MouseDown(event->button(), event->modifiers(), at.x(), at.y());
  }

 private:
  TForm4* form_;
};

namespace {

// A picture of the folder bmp, from the working folder or else the program folder.
std::string PicturePath(std::string_view name) {
  return AssetPath(std::string("bmp/").append(name));
}

constexpr const char* kFont = "ＭＳ Ｐゴシック";
constexpr int kClientWidth = 594;
constexpr int kClientHeight = 424;
constexpr QPoint kBoardAt(8, 8);
constexpr int kSystemMenuRoomBoard = 2;
constexpr int kFlashCount = 6;
constexpr int kFlashMs = 200;
constexpr int kEnterKey = 13;
// Memo colours of the name memos: white with a name, pale green without.
constexpr unsigned kNamedColour = 0xFFFFFF;
constexpr unsigned kUnnamedColour = 0xF0FFF0;

QLineEdit* MakeMemo(QWidget* parent, int left, int top, int width, int pixels, bool centred) {
  auto* memo = new QLineEdit(parent);
  memo->setReadOnly(true);
  memo->setFont(PixelFont(kFont, pixels));
  memo->setAlignment(centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
  memo->setGeometry(left, top, width, 24);
  memo->setFocusPolicy(Qt::NoFocus);
  return memo;
}

// A small stone beside the player's name.
QLabel* MakeStoneIcon(QWidget* parent, bool black) {
  QPixmap pixmap(18, 18);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shade(6, 5, 13);
    shade.setColorAt(0, black ? QColor(115, 115, 115) : QColor(255, 255, 255));
    shade.setColorAt(1, black ? QColor(8, 8, 8) : QColor(188, 186, 180));
    painter.setBrush(shade);
    painter.setPen(QPen(QColor(45, 40, 35), 0.8));
    painter.drawEllipse(QRectF(1, 1, 16, 16));
  }
  auto* label = new QLabel(parent);
  label->setPixmap(pixmap);
  label->setGeometry(6, 6, 18, 18);
  return label;
}

QFrame* MakePlayerPanel(QWidget* parent, int top, bool black, QLineEdit*& name, QLineEdit*& clock,
                        QLineEdit*& prisoners) {
  auto* panel = new QFrame(parent);
  panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  panel->setGeometry(406, top, 182, 58);
  panel->setAutoFillBackground(true);
  QPalette face = panel->palette();
  face.setColor(QPalette::Window, QColor(238, 226, 204));
  panel->setPalette(face);
  MakeStoneIcon(panel, black);
  name = MakeMemo(panel, 28, 3, 150, 14, false);
  clock = MakeMemo(panel, 28, 30, 88, 15, true);
  prisoners = MakeMemo(panel, 120, 30, 58, 15, true);
  clock->setToolTip(QString::fromUtf8("持ち時間"));
  prisoners->setToolTip(QString::fromUtf8("アゲハマ"));
  return panel;
}

PictureButton* MakeButton(QWidget* parent, const ButtonPicture& picture, int left, int top,
                          const char* fallback) {
  auto* button = new PictureButton(parent);
  button->setGeometry(left, top, picture.Width, picture.Height);
  button->SetFallbackText(QString::fromUtf8(fallback));
  return button;
}

}  // namespace

TForm4::TForm4()
    : file_dialogs_(std::make_unique<QtFileDialogs>(this)), flash_(this, kFlashCount, kFlashMs) {
  SaveDialog1 = file_dialogs_.get();
  SetListener(this);
  restart_caption_timer_ = new QTimer(this);
  restart_caption_timer_->setSingleShot(true);
  // The flash (six steps of 200 ms), then a pause of a second.
  restart_caption_timer_->setInterval(kFlashCount * kFlashMs + 1000);
  connect(restart_caption_timer_, &QTimer::timeout, this, [this] { SetCaption(SavedCaption); });
  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

  CreateControls();
  ConnectRoomControls();
  // Texts emptied; top of the screen, centred across it.
  Memo1->clear();
  Memo4->clear();
  Edit1->clear();
  move((ScreenWidth() - WindowWidth(this)) / 2, 1);
  // No shared count pending, no chat toggled, 19 lines.
  RealTimeCountPending = 0;
  ChatHiddenByFollower = 0;
  ChatViewerWasOpen = 0;
  ShownCountMove = 0;
  CellSize = 20;
  BoardOrigin = 9;
  ClickX = ClickY = 111;
  // The save dialog starts in the connect window's save folder (read when it opens). The record
  // templates and coordinate letters are the record writer's (record_text.h).
  // The first board picture and stone sheet.
  QImage board(kBoardPictureSide, kBoardPictureSide, QImage::Format_RGB32);
  board.fill(QColor(214, 172, 100));
  canvas_.SetBoardPicture(board);
  QImage picture;
  if (LoadOrReport(PicturePath(Geometry().BoardPicture), picture)) {
    canvas_.SetBoardPicture(picture);
  }
  DrawBoardGrid();
  if (LoadOrReport(PicturePath(Geometry().StoneSheet), picture)) {
    canvas_.SetStoneSheet(picture);
  }
  canvas_.ResizeSurface(canvas_.Image1.width() + 1, canvas_.Image1.height() + 1);
  PaintBox1->setGeometry(QRect(kBoardAt, canvas_.Surface.size()));
  // The room's panel and the buttons that stand in for each other; the room's store emptied.
  Panel4->setGeometry(414, 0, 174, 232);
  Image17->move(Image12->pos());
  Image22->move(Image21->pos());
  RoomDiagramStore.clear();
  ComboBox1->setCurrentIndex(0);
  SpaceHeld = 0;
  LoadButtonPictures();
  // The background picture.
  LoadOrReport(PicturePath(kBoardBackgroundPicture), Image9);
  ResetBoardForm();
  Timer1->start();
}

TForm4::~TForm4() { SetListener(nullptr); }

void TForm4::CreateControls() {
  flash_.SetCaption("Korvanta");
  setWindowIcon(ClientIcon());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFocusPolicy(Qt::StrongFocus);
  setFont(PixelFont(kFont, 13));
  QPalette face = palette();
  face.setColor(QPalette::Window, ColorFromBgr(kBoardFormColour));
  setPalette(face);

  PaintBox1 = new BoardPaintBox(this, this);
  PaintBox1->setGeometry(QRect(kBoardAt, QSize(kBoardPictureSide + 1, kBoardPictureSide + 1)));

  Panel1 = MakePlayerPanel(this, 4, true, Memo1, Memo2, Memo3);
  Panel2 = MakePlayerPanel(this, 66, false, Memo4, Memo5, Memo6);

  // Own game: pass and resign (or the end of a stopped game), undo, stop, turning the board.
  Image12 = MakeButton(this, kPassResignButton, 406, 130, "パス｜投了");
  Image17 = MakeButton(this, kEndButton, 406, 130, "終了");
  Image14 = MakeButton(this, kUndoButton, 501, 130, "手戻り");
  Image18 = MakeButton(this, kStopButton, 406, 160, "停止・再開");
  Image19 = MakeButton(this, kTurnButton, 501, 160, "盤反転");
  Image12->OnMouseDown = [this](Qt::MouseButton, int x, int) { Image12MouseDown(x); };
  Image14->OnClick = [this] { Image14Click(); };
  Image17->OnClick = [this] { Image17Click(); };
  Image18->OnClick = [this] { Image18Click(); };
  Image19->OnClick = [this] { Image19Click(); };
  // Every mode: the diagram editor, counting, saving the record, move numbers.
  Image10 = MakeButton(this, kDiagramButton, 406, 238, "図面");
  Image10->OnClick = [this] { Image10Click(); };
  Image13 = MakeButton(this, kCountButton, 501, 237, "整地");
  Image13->OnMouseDown = [this](Qt::MouseButton, int x, int y) { Image13MouseDown(x, y); };
  Image15 = MakeButton(this, kSaveButton, 406, 270, "棋譜保存");
  Image15->OnClick = [this] { Image15Click(); };
  Image16 = MakeButton(this, kNumbersButton, 501, 270, "手順番号");
  Image16->OnClick = [this] { Image16Click(); };
  Image17->hide();

  Panel3 = new QLabel(this);
  Panel3->setGeometry(414, 330, 168, 24);
  Panel3->setAlignment(Qt::AlignCenter);
  Panel3->setFont(PixelFont(kFont, 14, true));
  Panel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel3->setAutoFillBackground(true);
  QPalette caption = Panel3->palette();
  caption.setColor(QPalette::Window, QColor(250, 244, 232));
  Panel3->setPalette(caption);

  Image11 = MakeButton(this, kReplayBar, 414, 360, "|< << < > >> >|");
  Image11->OnMouseDown = [this](Qt::MouseButton, int x, int) { Image11MouseDown(x); };

  // The analysis room's panel: the names of the shown record, the registration list, the board
  // size, the input kind and first colour, and the operator's buttons.
  Panel4 = new QFrame(this);
  Panel4->setGeometry(414, 0, 174, 232);
  Panel4->setAutoFillBackground(true);
  QPalette room = Panel4->palette();
  room.setColor(QPalette::Window, QColor(238, 226, 204));
  Panel4->setPalette(room);
  Memo7 = new QPlainTextEdit(Panel4);
  Memo7->setReadOnly(true);
  Memo7->setGeometry(0, 0, 174, 34);
  Memo7->setFont(PixelFont(kFont, 12));
  Memo7->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo9 = new QPlainTextEdit(Panel4);
  Memo9->setReadOnly(true);
  Memo9->setGeometry(0, 36, 174, 48);
  Memo9->setFont(PixelFont(kFont, 12));
  Label1 = new QLabel(QString::fromUtf8("サイズ"), Panel4);
  Label1->setGeometry(4, 88, 50, 20);
  ComboBox1 = new QComboBox(Panel4);
  ComboBox1->addItems(
      {QString::fromUtf8("19路"), QString::fromUtf8("13路"), QString::fromUtf8("9 路")});
  ComboBox1->setGeometry(58, 87, 112, 22);
  Panel5 = new QFrame(Panel4);
  Panel5->setGeometry(0, 112, 174, 34);
  Image23 = MakeButton(Panel5, kKindMoveButton, 0, 0, "着手");
  Image26 = MakeButton(Panel5, kKindSetupButton, 32, 0, "配置");
  Image27 = MakeButton(Panel5, kFirstBlackButton, 64, 0, "黒先");
  Image28 = MakeButton(Panel5, kFirstWhiteButton, 96, 0, "白先");
  Panel6 = new QLabel(QStringLiteral("| <"), Panel5);
  Panel6->setGeometry(130, 2, 21, 30);
  Panel7 = new QLabel(QStringLiteral("<"), Panel5);
  Panel7->setGeometry(152, 2, 21, 30);
  for (QLabel* panel : {Panel6, Panel7}) {
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setFont(PixelFont(kFont, 13, true));
  }
  Image21 = MakeButton(Panel4, kRoomEntryButton, 0, 150, "入力登録");
  Image22 = MakeButton(Panel4, kRoomDoneButton, 0, 150, "入力完了");
  Image24 = MakeButton(Panel4, kRoomLoadButton, 88, 150, "棋譜読込");
  Image25 = MakeButton(Panel4, kRoomReloadButton, 0, 178, "初期局面");
  Image29 = MakeButton(Panel4, kRoomFollowButton, 88, 176, "対局室");
  Image29->setToolTip(QString::fromUtf8(" 対局室碁盤の表示[ON/OFF] "));
  Panel4->hide();

  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(kBoardAt.x(), 398, kBoardPictureSide + 1, 22);
  Edit1->setFont(PixelFont(kFont, 14));
  connect(Edit1, &QLineEdit::returnPressed, this, [this] { Edit1KeyDown(kEnterKey); });
  // F5 and Shift+Backspace reach the window while the chat line has the keyboard.
  Edit1->installEventFilter(this);

  StatusBar1 = new PanelStatusBar(this);
  for (const int width : {160, 57, 90, 48}) StatusBar1->AddPanel(width, true);
  StatusBar1->AddPanel(239, false);
  StatusBar1->SetPanelText(3, J("チャット"));
  StatusBar1->setGeometry(0, kClientHeight, kClientWidth, 22);
  StatusBar1->installEventFilter(this);
  setFixedSize(kClientWidth, kClientHeight + 22);

  // The window's menu: an empty entry (a separator), then the game-list board of the room.
  SystemMenu = new QMenu(this);
  SystemMenu->addSeparator();
  QAction* roomBoard = SystemMenu->addAction(QString::fromUtf8("検討室 - 対局碁盤  [ON/OFF] (&K)"));
  connect(roomBoard, &QAction::triggered, this,
          [this] { SystemMenuCommand(kSystemMenuRoomBoard); });
}

void TForm4::LoadButtonPictures() {
  const std::pair<PictureButton*, ButtonPicture> buttons[] = {
      {Image10, kDiagramButton},    {Image11, kReplayBar},        {Image12, kPassResignButton},
      {Image13, kCountButton},      {Image14, kUndoButton},       {Image15, kSaveButton},
      {Image16, kNumbersButton},    {Image17, kEndButton},        {Image18, kStopButton},
      {Image19, kTurnButton},       {Image21, kRoomEntryButton},  {Image22, kRoomDoneButton},
      {Image23, kKindMoveButton},   {Image24, kRoomLoadButton},   {Image25, kRoomReloadButton},
      {Image26, kKindSetupButton},  {Image27, kFirstBlackButton}, {Image28, kFirstWhiteButton},
      {Image29, kRoomFollowButton},
  };
  // One message is enough when the folder of pictures is missing: the buttons show their names.
  std::string first_failure;
  for (const auto& [button, file] : buttons) {
    QImage picture;
    std::string message;
    if (LoadBitmapPicture(PicturePath(file.File), picture, &message)) {
      button->SetPicture(picture);
    } else if (first_failure.empty()) {
      first_failure = message;
    }
  }
  if (!first_failure.empty()) ClientShowMessage(first_failure);
}

bool TForm4::LoadOrReport(const std::string& path, QImage& picture) {
  std::string message;
  if (LoadPicture(path, picture, &message)) return true;
  ClientShowMessage(message);
  return false;
}

void TForm4::SetCaption(const std::string& caption) { flash_.SetCaption(caption); }

// ---------------------------------------------------------------------------------------------
// Reset and board size

void TForm4::ResetGameFlags() {
  BoardMode = kBoardIdle;
  InputAllowed = 0;
  ClockState = kClockRunning;
  RealTimeCountPending = 0;
  GameTag.clear();
}

void TForm4::ResetBoardForm() {
  // Counters and clocks.
  IdleSeconds = MoveSeconds = ClockState = KomiTenths = 0;
  AddSeconds = BlackClock = WhiteClock = 0;
  black_clock_limited_ = white_clock_limited_ = false;
  watched_black_main_time_ = watched_white_main_time_ = 0;
  WatcherCount = 0;
  CandidatePoint = 0;
  BoardMode = kBoardIdle;
  Room.RoomInputKind = kRoomInputMoves;
  // The position: empty board, lists and logs, FirstMoveNumber 1 (with the flags below: black
  // first, numbers off, not turned).
  ResetPosition();
  // What the window shows.
  StatusBar1->SetPanelText(0, "");
  StatusBar1->SetPanelText(1, "0");
  StatusBar1->SetPanelText(2, J("観戦者数 = 0"));
  Memo1->clear();
  Memo4->clear();
  SetMemoText(Memo2, "0:0:0");
  SetMemoText(Memo5, "0:0:0");
  SetMemoText(Memo3, "0");
  SetMemoText(Memo6, "0");
  RecordTimeText.clear();
  Panel3->clear();
  // Flags and stores.
  PlaysBlack = 1;
  InputAllowed = 0;
  Panel5->hide();
  Image17->move(Image12->pos());  // the analysis room keeps it elsewhere
  GameTag.clear();
  DiagramStore.clear();
  RoomStartRecord.clear();
  FormPaint();
}

void TForm4::BoardSizeSet(int size) {
  const BoardGeometry& g = GeometryOf(size);
  CellSize = g.CellSize;
  BoardOrigin = g.BoardOrigin;
  ClickX = ClickY = g.ClickStart();
  canvas_.SetGeometry(g);
  // A new size draws its own grid on its picture.
  board_picture_file_.clear();
  LoadBoardPicture(PicturePath(PlaysBlack == 1 ? g.BoardPicture : g.TurnedBoardPicture));
  QImage picture;
  if (LoadOrReport(PicturePath(g.StoneSheet), picture)) canvas_.SetStoneSheet(picture);
  RepaintBoardBitmap();
  // The analysis room's size choice shows the size the board has, whatever set it.
  ComboBox1->setCurrentIndex(size == 13 ? 1 : size == 9 ? 2 : 0);
}

void TForm4::LoadBoardPicture(const std::string& file) {
  if (!board_picture_file_.empty() && file == board_picture_file_) return;
  QImage picture;
  if (LoadOrReport(file, picture)) {
    canvas_.SetBoardPicture(picture);
    board_picture_file_ = file;
  } else {
    board_picture_file_.clear();
  }
  DrawBoardGrid();
}

// ---------------------------------------------------------------------------------------------
// Drawing

void TForm4::DrawBoardGrid() { canvas_.DrawBoardGrid(); }

void TForm4::RepaintBoardBitmap() {
  canvas_.RepaintBoardBitmap();
  PaintBox1->update();
}

void TForm4::DrawStoneAt(int x, int y, bool black) {
  canvas_.DrawStone(x, y, black);
  PaintBox1->update();
}

void TForm4::EraseStoneAt(int x, int y) {
  canvas_.EraseStone(x, y);
  PaintBox1->update();
}

void TForm4::DrawStone(int point, bool black) {
  if (rebuilding_ || !IsPlayingPoint(point, BoardSize)) return;
  DrawStoneAt(PointToPixelX(point), PointToPixelY(point), black);
}

void TForm4::EraseStone(int point) {
  if (rebuilding_ || !IsPlayingPoint(point, BoardSize)) return;
  EraseStoneAt(PointToPixelX(point), PointToPixelY(point));
}

void TForm4::DrawMoveNumber(int number, int moveIndex) {
  if (rebuilding_ || moveIndex < 1 || moveIndex > kMoveListCapacity) return;
  const int point = MoveList[moveIndex];
  if (!IsPlayingPoint(point, BoardSize) || !IsStone(Board[point])) return;
  canvas_.DrawMoveNumber(number, PointToPixelX(point), PointToPixelY(point),
                         Board[point] == kBlack);
  PaintBox1->update();
}

void TForm4::DrawCandidateMarker(int point) {
  if (!IsPlayingPoint(point, BoardSize)) return;
  canvas_.DrawCandidateMarker(ClickX, ClickY, PointToPixelX(point), PointToPixelY(point),
                              PlaysBlack == 1);
  PaintBox1->update();
}

void TForm4::FormPaint() {
  // The background is painted with the window (paintEvent).
  update();
  // The board, the setup stones, the played stones with their numbers.
  RepaintBoardBitmap();
  DrawSetupStones();
  if (MoveTop > SetupCount) DrawPlayedStones();
  // The analysis room's marks, each while its point holds the colour it was set on.
  if (BoardMode == kBoardRoom) {
    for (int point = kFirstPlayingPoint; point <= kLastPlayingPoint; ++point) {
      if (const int code = ShownMarkCode(Marks[point], Board[point]); code > 0) {
        DrawMark(code, point);
      }
    }
  }
  // The candidate of a two-click move.
  if (CandidatePoint > 0) DrawCandidateMarker(CandidatePoint);
}

void TForm4::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ColorFromBgr(kBoardFormColour));
  if (!Image9.isNull()) painter.drawImage(0, 0, Image9);
}

void TForm4::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormPaint();
}

// ---------------------------------------------------------------------------------------------
// Input

void TForm4::SnapClickToGrid(int x, int y) { ::SnapClickToGrid(Geometry(), x, y, ClickX, ClickY); }

int TForm4::ClickedPoint() const { return Geometry().ClickedPoint(ClickX, ClickY); }

bool TForm4::CheckMovePoint() {
  const int point = ClickedPoint();
  if (IsPlayingPoint(point, BoardSize) && Board[point] < 1 && GroupIds[point] != kForbiddenMark &&
      GroupIds[point] != kKoMark) {
    PendingPoint = point;
    return true;
  }
  ClientShowMessage(J("そ こ は 打 て ま せ ん ！"));
  return false;
}

void TForm4::PaintBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  IdleSeconds = 0;
  Panel3->clear();
  if (shift & Qt::ShiftModifier) {
    // The position in which an older stone on the clicked point was about to be played goes to
    // the counting board. The newest move itself is not searched.
    SnapClickToGrid(x, y);
    const int point = ClickedPoint();
    if (!IsPlayingPoint(point, BoardSize) || !IsStone(Board[point])) return;
    for (int j = MoveTop - 1; j > SetupCount; --j) {
      if (MoveList[j] != point) continue;
      // The editor opens at the position after move j - 1, which may be the setup itself.
      ShownCountMove = j - 1;
      ShownMoveOpening = 1;
      ShowCountingBoard();
      ShownCountMove = 0;
      ShownMoveOpening = 0;
      Form7->CountMode = kCountingBoard;
      Form15->hide();
      return;
    }
    return;
  }
  if (InputAllowed != 1) return;
  SnapClickToGrid(x, y);
  if (BoardMode == kBoardRoom && (shift & Qt::ControlModifier)) {
    RewindRoomToClick();
  } else if (BoardMode == kBoardOwnGame) {
    if (button == Qt::RightButton) {
      // A right click on the candidate withdraws it.
      const int point = ClickedPoint();
      if (CandidatePoint > 0 && point == CandidatePoint) {
        CandidatePoint = 0;
        EraseStone(point);
      }
      return;
    }
    SendGameMove();
  } else if (BoardMode == kBoardRoom) {
    PlaceDiscussInput(ClickedPoint(), button == Qt::LeftButton);
  }
}

void TForm4::Image19Click() {
  // A candidate marks a point of the view that is left.
  CandidatePoint = 0;
  LoadViewBoardPicture(!BoardTurned);
  BeginWholeRebuild();
  TurnBoardPosition();
  EndWholeRebuild();
}

void TForm4::LoadViewBoardPicture(bool turned) {
  const BoardGeometry& g = Geometry();
  LoadBoardPicture(PicturePath(turned ? g.TurnedBoardPicture : g.BoardPicture));
}

void TForm4::FormKeyPress(int key) {
  if (key == ' ' && Form15 != nullptr && Form15->SelectedMark > 0) SpaceHeld = 1;
}

void TForm4::FormKeyUp() { SpaceHeld = 0; }

void TForm4::keyPressEvent(QKeyEvent* event) {
  FormKeyDown(event->key(), event->modifiers());
  if (event->key() == Qt::Key_Space) FormKeyPress(' ');
  QWidget::keyPressEvent(event);
}

void TForm4::keyReleaseEvent(QKeyEvent* event) {
  FormKeyUp();
  QWidget::keyReleaseEvent(event);
}

void TForm4::contextMenuEvent(QContextMenuEvent* event) { SystemMenu->popup(event->globalPos()); }

void TForm4::closeEvent(QCloseEvent* event) {
  // Once the program ends, every window closes without asking.
  if (ClientMainForm->Closed() || FormCloseQuery()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void TForm4::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TForm4::mousePressEvent(QMouseEvent* event) {
  FormClick();
  QWidget::mousePressEvent(event);
}

bool TForm4::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit1 && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool undo_keys =
        key->key() == Qt::Key_Backspace && (key->modifiers() & Qt::ShiftModifier);
    if (key->key() == Qt::Key_F5 || undo_keys) {
      FormKeyDown(key->key(), key->modifiers());
      return true;
    }
  } else if (watched == StatusBar1 && event->type() == QEvent::MouseButtonPress) {
    StatusBar1MouseDown(static_cast<QMouseEvent*>(event)->position().toPoint().x());
  }
  return QWidget::eventFilter(watched, event);
}

void TForm4::SystemMenuCommand(int id) {
  if (id != kSystemMenuRoomBoard || BoardMode != kBoardRoom || Form14 == nullptr) return;
  Form14->setVisible(!Form14->isVisible());
}

void TForm4::ShowCountingBoard() {
  if (Form7 != nullptr) Form7->exec();
}

void TForm4::Image10Click() {
  IdleSeconds = 0;
  Form15->hide();
  Form7->CountMode = kDiagramEditor;
  Form7->exec();
  Form7->CountMode = kCountingBoard;
  Form15->hide();
  // The analysis room's operator at the setup position keeps the strip for setup and marks.
  if (BoardMode == kBoardRoom && Room.AtStartFlag == 1) Form15->show();
}

void TForm4::Image13MouseDown(int x, int y) {
  IdleSeconds = 0;
  Form7->CountMode = kCountingBoard;
  const bool shared = x >= 31 && x <= 54 && y >= 3 && y <= 24 && BoardMode == kBoardOwnGame &&
                      ClockState == kClockStoppedByUser;
  if (shared) {
    Form7->StartSharedCount();
    MinimizeWindow(this);
  }
  Form7->exec();
  SetNormalState(this);
  if (shared && Form7->RealTimeMode != kNoSharedCount) Form7->LeaveSharedCount(true);
}

void TForm4::OpenRequestedCount() {
  if (Form7->isVisible()) return;
  Form7->OpenSharedCountAsWatcher();
  MinimizeWindow(this);
  Form7->exec();
  SetNormalState(this);
  // A player's board tells the other side, also when the count had already ended there.
  Form7->LeaveSharedCount(BoardMode == kBoardOwnGame);
}

// ---------------------------------------------------------------------------------------------
// The caption flash

void TForm4::FlashBoardWindow() { flash_.Start(); }

bool TForm4::Flashing() const { return flash_.Active(); }

// ---------------------------------------------------------------------------------------------
// Status and the listener

void TForm4::ShowMoveCount(int moveTop) {
  if (!rebuilding_) StatusBar1->SetPanelText(1, std::to_string(moveTop));
}

void TForm4::ShowBlackCaptured(int count) {
  if (!rebuilding_) SetMemoText(Memo6, std::to_string(count));
}

void TForm4::ShowWhiteCaptured(int count) {
  if (!rebuilding_) SetMemoText(Memo3, std::to_string(count));
}

void TForm4::ShowStateCaption(const std::string& caption) {
  if (rebuilding_) {
    rebuild_caption_ = caption;
  } else {
    Panel3->setText(ToQt(caption));
  }
}

// ---------------------------------------------------------------------------------------------
// Game records

std::string TForm4::WriteSgfRecord() const {
  RecordHeader header;
  header.BlackName = FromQt(Memo1->text());
  header.WhiteName = FromQt(Memo4->text());
  header.DateText = ClientEnv().clock != nullptr ? ClientEnv().clock->DateText() : "";
  header.TimeText = ClientEnv().clock != nullptr ? ClientEnv().clock->TimeText() : "";
  header.RecordTimeText = RecordTimeText;
  header.ConditionsText = StatusBar1->PanelText(4);
  return ::WriteSgfRecord(*this, header);
}

void TForm4::Image15Click() {
  const std::string folder = Form2 != nullptr ? Form2->SaveDialogDir : std::string();
  const std::string chosen = SaveDialog1->ChooseSaveFile(
      J("棋譜保存"), folder, J("SGF棋譜ファイル|*.sgf|すべてのファイル(*.*)|*.*"));
  if (chosen.empty()) return;
  SaveRecordAs(chosen);
}

bool TForm4::SaveRecordAs(const std::string& chosen) {
  const std::string path = SgfFileName(chosen);
  const std::string folder = FolderOfPath(path);
  if (Form2 != nullptr && !folder.empty()) {
    Form2->SaveDialogDir = folder.back() == '/' ? folder : folder + "/";
  }
  // The chat log goes beside the record when the game chat window holds any text.
  const std::string chat = Form5 != nullptr ? Form5->ChatLogText() : std::string();
  const RecordSaveResult saved = SaveRecordFiles(
      chosen, WriteSgfRecord(), chat, BoardMode == kBoardRoom ? RoomDiagramStore : DiagramStore);
  if (!saved.RecordWritten) {
    ClientShowMessage(J("棋譜を保存できませんでした：") + Cp932FromUtf8(saved.RecordPath));
    return false;
  }
  if (!saved.ChatLogPath.empty() && !saved.ChatLogWritten) {
    ClientShowMessage(J("チャットログを保存できませんでした：") + Cp932FromUtf8(saved.ChatLogPath));
    return false;
  }
  return true;
}

void TForm4::LoadKifuText(const std::string& text) {
  BeginWholeRebuild();
  const KifuTextResult read = ::LoadKifuText(*this, text);
  EndWholeRebuild();
  if (!read.Read) return;
  ShowRecordRead(read);
  FormPaint();
}

void TForm4::ShowRecordRead(const KifuTextResult& read) {
  if (BoardMode == kBoardRoom) {
    if (read.SizeChanged && InputAllowed == 1) {
      ComboBox1->setCurrentIndex(BoardSize == 13 ? 1 : BoardSize == 9 ? 2 : 0);
    }
    ShowRoomRecordNames(read.Names);
  } else {
    SetMemoText(Memo1, read.Names.Black);
    SetMemoColor(Memo1, read.Names.Black.empty() ? kUnnamedColour : kNamedColour);
    SetMemoText(Memo4, read.Names.White);
    SetMemoColor(Memo4, read.Names.White.empty() ? kUnnamedColour : kNamedColour);
  }
  if (read.Truncated) {
    ClientShowMessage(J("棋譜が長すぎるため、最初の ") + std::to_string(kMoveListCapacity) +
                      J(" 手までを読み込みました。"));
  }
}

void TForm4::OpenRecordText(const std::string& text) {
  BeginWholeRebuild();
  const RecordHeaderResult header = ::OpenRecordText(*this, text);
  EndWholeRebuild();
  ShowRoomRecordNames(header.Names);
}

void TForm4::BeginWholeRebuild() {
  rebuilding_ = true;
  rebuild_caption_.reset();
}

void TForm4::EndWholeRebuild() {
  rebuilding_ = false;
  ShowMoveCount(MoveTop);
  ShowBlackCaptured(BlackCaptured);
  ShowWhiteCaptured(WhiteCaptured);
  if (rebuild_caption_) ShowStateCaption(*rebuild_caption_);
  rebuild_caption_.reset();
  FormPaint();
}
