// client/views/counting_board.cpp — the counting board: its window and drawing, the local count
// and the shared count over the server.
#include "client/views/counting_board.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>

#include "client/board/board_window.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/connection/model/game_chat_texts.h"
#include "client/views/panel_button.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/memo_colors.h"
#include "platform/pictures.h"
#include "platform/qt_text.h"
#include "platform/window_state.h"

TForm7* Form7 = nullptr;

namespace {

constexpr const char* kFont = "ＭＳ Ｐゴシック";
// The canvas font of the texts on the board: size 12 at 96 pixels per inch.
constexpr int kBoardTextPixels = 16;
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 384;
// Presses right of or below this lie beside the board.
constexpr int kBoardLimit = 381;
constexpr int kFlashCount = 4;
constexpr int kFlashMs = 200;
constexpr int kEnterKey = 13;
constexpr int kF5Key = 116;
constexpr int kFirstPoint = 22;
constexpr int kLastPoint = 418;

const std::string& CountCaptionText() { return J("計 算"); }
const std::string& RecountCaptionText() { return J("再計算"); }

std::string UserName() { return Form2 != nullptr ? Form2->UserName : std::string(); }

// The board surface: shows the backing image and hands the mouse to the window.
class CountBoardBox : public QWidget {
 public:
  CountBoardBox(TForm7* form, QWidget* parent) : QWidget(parent), form_(form) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setContextMenuPolicy(Qt::PreventContextMenu);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, form_->BoardSurface());
  }
  void mousePressEvent(QMouseEvent* event) override {
    const QPoint at = event->position().toPoint();
    form_->FormMouseDown(event->button(), at.x(), at.y());
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    const QPoint at = event->position().toPoint();
    form_->FormMouseMove(at.x(), at.y());
  }
  void mouseReleaseEvent(QMouseEvent*) override { form_->FormMouseUp(); }

 private:
  TForm7* form_;
};

QLabel* MakeLabel(QWidget* parent, const char* text, int left, int top, int width) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(left, top, width, 24);
  label->setFont(PixelFont(kFont, 16, true));
  return label;
}

PanelButton* MakePanel(QWidget* parent, const char* text, int left, int top, int width,
                       int height) {
  auto* panel = new PanelButton(parent);
  panel->setText(QString::fromUtf8(text));
  panel->setGeometry(left, top, width, height);
  panel->setFont(PixelFont(kFont, 14, true));
  QPalette face = panel->palette();
  face.setColor(QPalette::Window, QColor(238, 226, 204));
  panel->setPalette(face);
  return panel;
}

}  // namespace

TForm7::TForm7() : flash_(this, kFlashCount, kFlashMs) {
  CreateControls();
  // Beside the board window, near the top of the screen.
  move(Form4 != nullptr ? WindowLeft(Form4) - 15 : 0, 15);
  RealTimeMode = kNoSharedCount;
  BoardSize = 19;
  CellSize = 20;
  BoardOrigin = 9;
  Count.SetListener(this);
  // The board window's board picture (with its grid) and stone sheet until a size of its own.
  canvas_.SetGeometry(GeometryOf(BoardSize));
  if (Form4 != nullptr) {
    canvas_.SetBoardPicture(Form4->Canvas().Image1);
    canvas_.SetStoneSheet(Form4->Canvas().Image2);
  }
  if (canvas_.Image1.isNull()) {
    QImage board(kBoardPictureSide, kBoardPictureSide, QImage::Format_RGB32);
    board.fill(QColor(214, 172, 100));
    canvas_.SetBoardPicture(board);
    canvas_.DrawBoardGrid();
  }
  canvas_.ResizeSurface(kBoardPictureSide + 1, kBoardPictureSide + 1);
  RepaintBoardImage();
}

TForm7::~TForm7() { Count.SetListener(nullptr); }

void TForm7::CreateControls() {
  setWindowIcon(ClientIcon());
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFont(PixelFont(kFont, 13));
  QPalette face = palette();
  face.setColor(QPalette::Window, ColorFromBgr(kBoardFormColour));
  setPalette(face);
  setFixedSize(kClientWidth, kClientHeight);

  BoardBox = new CountBoardBox(this, this);
  BoardBox->setGeometry(0, 0, kBoardPictureSide + 1, kBoardPictureSide + 1);

  // Counting.
  Label1 = MakeLabel(this, "黒 : 0", 420, 14, 160);
  Label2 = MakeLabel(this, "白 : 0", 420, 42, 160);
  Label4 = MakeLabel(this, "リアルタイム計算中", 420, 80, 160);
  Label4->setStyleSheet(QStringLiteral("color: #b00000;"));
  SpeedButton1 = new QPushButton(this);
  SpeedButton1->setGeometry(420, 106, 155, 28);
  SpeedButton1->setAutoDefault(false);
  SpeedButton1->setFocusPolicy(Qt::NoFocus);
  connect(SpeedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
  Panel3 = MakePanel(this, "計 算", 420, 150, 155, 30);
  Panel3->OnClick = [this] { Panel3Click(); };
  Panel1 = MakePanel(this, "戻 る", 420, 188, 155, 30);
  Panel1->OnClick = [this] { Panel1Click(); };

  // The diagram editor's buttons, in their places.
  Panel2 = new QFrame(this);
  Panel2->setGeometry(414, 10, 172, 38);
  Panel7 = MakePanel(this, "クリップボード", 420, 62, 155, 24);
  Panel8 = MakePanel(this, "チャット碁盤", 420, 86, 155, 24);
  Panel4 = MakePanel(this, "局面図に指定", 420, 110, 155, 24);
  Label3 = MakeLabel(this, "コメント", 420, 228, 160);

  // The chat line of the count, or the editor's comment.
  Memo1 = new QPlainTextEdit(this);
  Memo1->setGeometry(414, 254, 172, 120);
  Memo1->setFont(PixelFont(kFont, 14));
  Memo1->installEventFilter(this);

  for (QWidget* hidden :
       {static_cast<QWidget*>(Label4), static_cast<QWidget*>(SpeedButton1),
        static_cast<QWidget*>(Panel2), static_cast<QWidget*>(Panel4), static_cast<QWidget*>(Panel7),
        static_cast<QWidget*>(Panel8), static_cast<QWidget*>(Label3)}) {
    hidden->hide();
  }
  CreateEditorControls();
}

// ---------------------------------------------------------------------------------------------
// Caption and flash

void TForm7::SetCaption(const std::string& caption) { flash_.SetCaption(caption); }

bool TForm7::Flashing() const { return flash_.Active(); }

// ---------------------------------------------------------------------------------------------
// Showing and drawing

void TForm7::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  FormShow();
  FormPaint();
}

void TForm7::FormShow() {
  // A Shift-click on the board window opens the editor whatever the mode was.
  if (CountMode == kDiagramEditor || Form4->ShownMoveOpening == 1) {
    ShowEditor();
    return;
  }
  // 1. The memo empty, the board of the board window's size and view.
  Memo1->clear();
  Memo1->clearFocus();
  const BoardModel& shown = *Form4;
  if (shown.BoardSize != BoardSize || shown.BoardTurned != turned_picture_) {
    SetBoardSize(shown.BoardSize);
  }
  // 2. The position, with the prisoners as the first points (5.).
  Position = shown;
  Count.Begin(Position, Form4->KomiTenths);
  // 3.-4.
  SetCaption(CountCaption(UserName(), Count.KomiTenths));
  Panel3->setText(ToQt(CountCaptionText()));
  ShowEditorControls(false);
  ShowScores(Count.BlackScore, Count.WhiteScore);
  // 6. The moves to draw, without the passes that closed the game.
  MoveTop = std::clamp(Position.MoveTop, 0, kMoveListCapacity);
  if (MoveTop > 0 && Position.MoveList[MoveTop] == 0) {
    --MoveTop;
    if (MoveTop > 0 && Position.MoveList[MoveTop] == 0) --MoveTop;
  }
  // 7.
  MouseHeld = 0;
  EraseDrag = 0;
}

void TForm7::FormPaint() {
  if (CountMode == kDiagramEditor) {
    PaintEditor();
    return;
  }
  RepaintBoardImage();
  for (int i = MoveTop; i >= 1; --i) {
    const int point = Position.MoveList[i];
    if (!IsPlayingPoint(point, BoardSize)) continue;
    const int value = Count.Board[point];
    if (IsStone(value)) DrawStone(point, value == kBlack);
  }
  ShowScores(Count.BlackScore, Count.WhiteScore);
  for (int point = kFirstPoint; point <= kLastPoint; ++point) {
    if (!IsPlayingPoint(point, BoardSize)) continue;
    const int value = Count.Board[point];
    if (value == kBlackTerritoryMark || value == kWhiteTerritoryMark) {
      DrawTerritoryMark(point, value == kBlackTerritoryMark);
    } else if (value == kDeadBlack || value == kDeadWhite) {
      DrawStone(point, value == kDeadBlack);
      DrawDeadMark(point, value == kDeadBlack);
    }
  }
}

std::string TForm7::PictureFile(const char* name) const {
  return AssetPath(std::string("bmp/") + name);
}

void TForm7::SetBoardSize(int size) {
  if (!IsBoardSize(size)) return;
  const BoardGeometry& g = GeometryOf(size);
  BoardSize = size;
  CellSize = g.CellSize;
  BoardOrigin = g.BoardOrigin;
  canvas_.SetGeometry(g);
  const bool turned = Form4 != nullptr && Form4->BoardTurned;
  QImage picture;
  std::string message;
  if (LoadPicture(PictureFile(turned ? g.TurnedBoardPicture : g.BoardPicture), picture, &message)) {
    canvas_.SetBoardPicture(picture);
    turned_picture_ = turned;
  } else {
    ClientShowMessage(message);
  }
  if (LoadPicture(PictureFile(g.StoneSheet), picture, &message)) {
    canvas_.SetStoneSheet(picture);
  } else {
    ClientShowMessage(message);
  }
  canvas_.DrawBoardGrid();
}

void TForm7::RepaintBoardImage() {
  canvas_.RepaintBoardBitmap();
  BoardBox->update();
}

void TForm7::DrawStoneAt(int x, int y, bool black) {
  canvas_.DrawStone(x, y, black);
  BoardBox->update();
}

void TForm7::DrawPointText(int x, int y, int dx, int dy, const char* text, bool onBlack) {
  if (canvas_.Surface.isNull()) return;
  const PixelRect square = GeometryOf(BoardSize).EraseRect(x, y);
  QPainter painter(&canvas_.Surface);
  painter.setClipRect(QRect(square.Left, square.Top, square.Width(), square.Height()));
  painter.setFont(PixelFont(kFont, kBoardTextPixels));
  painter.setPen(onBlack ? Qt::white : Qt::black);
  painter.drawText(QRect(x + dx, y + dy, 100, 100), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                   QString::fromUtf8(text));
  BoardBox->update();
}

void TForm7::DrawTerritoryMark(int x, int y, bool isBlack) {
  DrawStoneAt(x, y, isBlack);
  DrawPointText(x, y, -7, -7, "☆", isBlack);
}

void TForm7::ErasePoint(int x, int y) {
  canvas_.EraseStone(x, y);
  BoardBox->update();
}

int TForm7::PointAt(int x, int y) const {
  const BoardGeometry& g = GeometryOf(BoardSize);
  const int column = g.LineAt(x);
  const int row = g.LineAt(y);
  return column > 0 && row > 0 ? MakePoint(column, row) : 0;
}

// CountListener: points to pixels.

void TForm7::DrawTerritoryMark(int point, bool black) {
  const BoardGeometry& g = GeometryOf(BoardSize);
  DrawTerritoryMark(g.PointToPixelX(point), g.PointToPixelY(point), black);
}

void TForm7::ErasePoint(int point) {
  const BoardGeometry& g = GeometryOf(BoardSize);
  ErasePoint(g.PointToPixelX(point), g.PointToPixelY(point));
}

void TForm7::DrawStone(int point, bool black) {
  const BoardGeometry& g = GeometryOf(BoardSize);
  DrawStoneAt(g.PointToPixelX(point), g.PointToPixelY(point), black);
}

void TForm7::DrawDeadMark(int point, bool black) {
  const BoardGeometry& g = GeometryOf(BoardSize);
  DrawPointText(g.PointToPixelX(point), g.PointToPixelY(point), -4, -6, "X", black);
}

void TForm7::DrawTerritoryPoint(int point, bool black) {
  if (canvas_.Surface.isNull()) return;
  const BoardGeometry& g = GeometryOf(BoardSize);
  const int x = g.PointToPixelX(point);
  const int y = g.PointToPixelY(point);
  QPainter painter(&canvas_.Surface);
  painter.fillRect(QRect(x - 2, y - 2, 4, 4), black ? QColor(0, 255, 0) : QColor(255, 0, 255));
  BoardBox->update();
}

void TForm7::ShowScores(int black, int white) {
  Label1->setText(ToQt(J("黒 : ") + std::to_string(black)));
  Label2->setText(ToQt(J("白 : ") + std::to_string(white)));
}

// ---------------------------------------------------------------------------------------------
// Input

void TForm7::FormMouseDown(Qt::MouseButton button, int x, int y) {
  if (x > kBoardLimit || y > kBoardLimit) return;
  const int point = PointAt(x, y);
  if (point == 0) return;
  MouseHeld = 1;
  LeftButtonDown = button == Qt::LeftButton ? 1 : 0;
  if (CountMode == kDiagramEditor) {
    DiagramClick(point, button == Qt::LeftButton);
    return;
  }
  if (RealTimeMode == kSharedCountOtherRight || Count.CountShown) return;
  const CountOperation operation = Count.Click(point, LeftButtonDown == 1);
  if (operation == kEraseMark) EraseDrag = 1;
  if (operation != kNoCountOperation && RealTimeMode == kSharedCountOwnRight)
    SendOperation(operation, point);
}

void TForm7::FormMouseMove(int x, int y) {
  // A drag paints only in a local count; in a shared count every operation is one click.
  if (RealTimeMode != kNoSharedCount || CountMode != kCountingBoard || MouseHeld == 0) return;
  if (x > kBoardLimit || y > kBoardLimit || Count.CountShown) return;
  const int point = PointAt(x, y);
  if (point > 0) Count.DragOver(point, LeftButtonDown == 1, EraseDrag == 1);
}

void TForm7::FormMouseUp() {
  EraseDrag = 0;
  MouseHeld = 0;
}

void TForm7::Panel3Click() {
  if (CountMode == kDiagramEditor) {
    // The editor closes once the diagram went out (or could not for want of a connection).
    if (SendBoardMessage()) done(1);
    return;
  }
  if (RealTimeMode == kSharedCountOtherRight) {
    ClientShowMessage(J("相手の計算/発信中のため、操作できません"));
    return;
  }
  if (!Count.CountShown) {
    CountWithCaption();
    if (RealTimeMode == kSharedCountOwnRight) SendOperation(kCountTerritory, 0);
  } else {
    RestoreWithCaption();
    if (RealTimeMode == kSharedCountOwnRight) SendOperation(kRestoreBeforeCount, 0);
  }
}

void TForm7::Panel1Click() { done(2); }

void TForm7::reject() { done(2); }

void TForm7::CountWithCaption() {
  Count.CountTerritory();
  Panel3->setText(ToQt(RecountCaptionText()));
  SetCaption(CountCaption(UserName(), Count.KomiTenths) + Count.ResultText);
  // The caption flashes on a timer; the socket keeps being read meanwhile.
  flash_.Start();
}

void TForm7::RestoreWithCaption() {
  Count.RestoreBeforeCount();
  Panel3->setText(ToQt(CountCaptionText()));
  SetCaption(CountCaption(UserName(), Count.KomiTenths));
  FormPaint();
}

void TForm7::FormKeyDown(int key) {
  if (key == kF5Key && Form4 != nullptr) ClientEnv().clipboard->SetText(Form4->WriteSgfRecord());
}

void TForm7::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F5) {
    FormKeyDown(kF5Key);
    return;
  }
  // Only "戻 る" and the close box close the board: an Escape typed anywhere on it, the chat
  // line included, would end a shared count for both players.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Space) FormKeyPress(' ');
  QDialog::keyPressEvent(event);
}

bool TForm7::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Memo1 && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F5) {
      FormKeyDown(kF5Key);
      return true;
    }
    if (key->key() == Qt::Key_Space && !key->isAutoRepeat()) FormKeyPress(' ');
    if (CountMode == kCountingBoard &&
        (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
      Memo1KeyDown(kEnterKey);
      return true;
    }
  } else if (watched == Memo1 && event->type() == QEvent::KeyRelease) {
    if (!static_cast<const QKeyEvent*>(event)->isAutoRepeat()) FormKeyUp();
    Memo1KeyUp();
  }
  return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// The shared count

void TForm7::ShowSharedCountControls(bool shown) {
  Label4->setVisible(shown);
  SpeedButton1->setVisible(shown);
}

void TForm7::UpdateOperationRightButton() {
  if (RealTimeMode == kSharedCountOwnRight) {
    SpeedButton1->setEnabled(true);
    SpeedButton1->setText(QString::fromUtf8("相手に操作権を渡す"));
  } else if (RealTimeMode == kSharedCountOtherRight) {
    SpeedButton1->setEnabled(false);
    SpeedButton1->setText(QString::fromUtf8("[操作観覧モード]"));
  }
}

void TForm7::SendOperation(int operation, int point) {
  std::string text =
      shared_game_tag_ + "<<RealTimeCount>><<Type=" + std::to_string(operation) + ">>";
  if (operation < kRestoreBeforeCount) {
    const int sent = FlipPointForWire(point, Count.BoardSize, Position.BoardTurned);
    text += "<<Value=" + std::to_string(sent) + ">>";
  }
  Form2->SendIfConnected(text);
}

void TForm7::StartSharedCount() {
  CountMode = kCountingBoard;
  RealTimeMode = kSharedCountOwnRight;
  shared_game_tag_ = Form4->GameTag;
  ShowSharedCountControls(true);
  UpdateOperationRightButton();
  Form2->SendIfConnected(shared_game_tag_ + "<<RealTimeCountStart>>");
}

void TForm7::OpenSharedCountAsWatcher() {
  CountMode = kCountingBoard;
  RealTimeMode = kSharedCountOtherRight;
  shared_game_tag_ = Form4->GameTag;
  ShowSharedCountControls(true);
  UpdateOperationRightButton();
}

void TForm7::LeaveSharedCount(bool sendEnd) {
  RealTimeMode = kNoSharedCount;
  ShowSharedCountControls(false);
  if (sendEnd && !shared_game_tag_.empty()) {
    Form2->SendIfConnected(shared_game_tag_ + "<<RealTimeCountEnd>>");
  }
  shared_game_tag_.clear();
}

void TForm7::CloseQuietly() {
  // Whatever closes with the window belongs to the old game: nothing is sent for it.
  shared_game_tag_.clear();
  if (isVisible()) done(2);
  RealTimeMode = kNoSharedCount;
  ShowSharedCountControls(false);
}

void TForm7::SpeedButton1Click() {
  if (RealTimeMode != kSharedCountOwnRight) return;
  RealTimeMode = kSharedCountOtherRight;
  UpdateOperationRightButton();
  Form2->SendIfConnected(shared_game_tag_ + "<<RealTimeChange>>");
}

void TForm7::Memo1KeyDown(int key) {
  if (key != kEnterKey || CountMode != kCountingBoard) return;
  const std::string typed = FromQt(Memo1->toPlainText());
  const bool visible = std::any_of(typed.begin(), typed.end(),
                                   [](char c) { return static_cast<unsigned char>(c) > 0x20; });
  if (!visible) {
    Memo1->clear();
    return;
  }
  const std::string line = CountingChatLine(UserName(), typed, Form4->MoveTop - Form4->SetupCount);
  Form5->AddChatLine(line);
  if (!Form5->isVisible()) {
    Form5->show();
    SetWindowLeft(this, WindowWidth(Form5));
  }
  if (Form2 != nullptr) Form2->SendToServer("<<GameMese=" + line + ">>" + Form4->GameTag);
  Memo1->clear();
}

void TForm7::Memo1KeyUp() {
  if (CountMode != kCountingBoard) return;
  QString text = Memo1->toPlainText();
  text.remove(QLatin1Char('\r'));
  text.remove(QLatin1Char('\n'));
  if (text.isEmpty() && !Memo1->toPlainText().isEmpty()) Memo1->clear();
}

void TForm7::RealTimeCountEnded() {
  RealTimeMode = kNoSharedCount;
  ShowSharedCountControls(false);
  // A board put away comes back and closes; one on screen stays as a local count.
  if (IsMinimized(this)) {
    SetNormalState(this);
    done(1);
  }
}

void TForm7::RealTimeRightChanged() {
  RealTimeMode =
      RealTimeMode == kSharedCountOwnRight ? kSharedCountOtherRight : kSharedCountOwnRight;
  UpdateOperationRightButton();
}

void TForm7::RealTimeCountRequested() {
  // A local count or a diagram on screen gives way, without telling anyone.
  if (isVisible()) {
    shared_game_tag_.clear();
    done(2);
  }
  Form4->RealTimeCountPending = 1;
}

void TForm7::ApplyRealTimeCount(int type, int value) {
  if (RealTimeMode != kSharedCountOtherRight || CountMode != kCountingBoard || !isVisible()) return;
  if (type == kCountTerritory) {
    if (!Count.CountShown) CountWithCaption();
    return;
  }
  if (type == kRestoreBeforeCount) {
    if (Count.CountShown) RestoreWithCaption();
    return;
  }
  Count.ApplyOperation(type, FlipPointForWire(value, Count.BoardSize, Position.BoardTurned));
}
