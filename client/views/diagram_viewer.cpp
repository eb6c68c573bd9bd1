// client/views/diagram_viewer.cpp — the viewer of board diagrams sent in chat.
#include "client/views/diagram_viewer.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>
#include <cmath>

#include "client/board/board_window.h"
#include "client/board/model/mark_codes.h"
#include "client/board/picture_button.h"
#include "client/connection/client_program.h"
#include "client/connection/game_chat_window.h"
#include "client/views/model/board_diagram.h"
#include "platform/cp932.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/qt_text.h"
#include "platform/window_state.h"

TForm9* Form9 = nullptr;

namespace {

constexpr const char* kFont = "ＭＳ ゴシック";
constexpr int kWindowWidth = 231;
constexpr int kWindowHeight = 255;
// The replay bar: four fields, to the start (x up to 26), back (to 53), forward (to 80), end.
constexpr int kBarWidth = 107;
constexpr int kBarHeight = 22;
constexpr int kBarFieldWidth = 27;

// A picture of the folder bmp, from the working folder or else the program folder.
std::string PicturePath(std::string_view name) {
  return AssetPath(std::string("bmp/").append(name));
}

// Windows sizes fonts in points at 96 pixels per inch.
int PixelsOfPoints(int points) { return static_cast<int>(std::lround(points * 96.0 / 72.0)); }

// The replay bar's picture: four wooden keys with their arrows.
QImage ReplayBarPicture() {
  QImage bar(kBarWidth, kBarHeight, QImage::Format_RGB32);
  bar.fill(QColor(122, 86, 54));
  QPainter painter(&bar);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor ink(60, 34, 14);
  const auto arrow = [&](double x, double cy, bool left) {
    QPainterPath path;
    const double w = 6, half = 5;
    path.moveTo(left ? x : x + w, cy);
    path.lineTo(left ? x + w : x, cy - half);
    path.lineTo(left ? x + w : x, cy + half);
    path.closeSubpath();
    painter.fillPath(path, ink);
  };
  for (int field = 0; field < 4; ++field) {
    const double left = field * kBarFieldWidth;
    const double width = field == 3 ? kBarWidth - left : kBarFieldWidth;
    const QRectF key(left + 0.5, 1.5, width - 1, kBarHeight - 3);
    QLinearGradient face(key.topLeft(), key.bottomLeft());
    face.setColorAt(0, QColor(246, 226, 190));
    face.setColorAt(1, QColor(204, 166, 112));
    painter.setPen(QPen(QColor(92, 58, 28), 1));
    painter.setBrush(face);
    painter.drawRoundedRect(key, 3, 3);
    const double cx = key.center().x();
    const double cy = key.center().y();
    switch (field) {
      case 0:
        painter.fillRect(QRectF(cx - 5, cy - 5, 2, 10), ink);
        arrow(cx - 3, cy, true);
        break;
      case 1:
        arrow(cx - 3, cy, true);
        break;
      case 2:
        arrow(cx - 3, cy, false);
        break;
      default:
        arrow(cx - 3, cy, false);
        painter.fillRect(QRectF(cx + 3.5, cy - 5, 2, 10), ink);
        break;
    }
  }
  return bar;
}

}  // namespace

TForm9::TForm9() : BoardModel(BoardVariant::kDiagramViewer) {
  CreateControls();
  // At the top left; 19 lines; every number shown.
  SetWindowBounds(this, 2, 1, kWindowWidth, kWindowHeight);
  BoardSize = 19;
  CellSize = Geometry().CellSize;
  BoardOrigin = Geometry().BoardOrigin;
  AllNumbers = 1;
  Image1 = QImage(kViewerBoardWidth, kViewerBoardHeight, QImage::Format_RGB32);
  Image1.fill(QColor(214, 172, 100));
  LoadOrReport(PicturePath(kViewerBoardPicture), Image1);
  DrawBoardGrid();
  LoadOrReport(PicturePath(Geometry().StoneSheet), Image2);
  ClearBoard();
  FormPaint();
}

void TForm9::CreateControls() {
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setWindowTitle(QString::fromUtf8("ヌルカ - 小碁盤"));
  setWindowIcon(ClientIcon());
  setFixedSize(kWindowWidth, kWindowHeight);
  setFont(PixelFont("ＭＳ Ｐゴシック", 12));

  Panel1 = new QLabel(this);
  Panel1->setGeometry(0, kViewerBoardHeight, kWindowWidth - kBarWidth, kBarHeight);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setAutoFillBackground(true);
  Panel1->installEventFilter(this);

  Image3 = new PictureButton(this);
  Image3->SetPicture(ReplayBarPicture());
  Image3->move(kWindowWidth - kBarWidth, kViewerBoardHeight);
  Image3->OnMouseDown = [this](Qt::MouseButton button, int x, int) {
    if (button == Qt::LeftButton) Image3MouseDown(x);
  };
}

bool TForm9::LoadOrReport(const std::string& path, QImage& picture) {
  std::string message;
  if (LoadPicture(path, picture, &message)) return true;
  ClientShowMessage(message);
  return false;
}

void TForm9::SetBoardSize(int n) {
  if (!IsBoardSize(n)) return;
  BoardModel::SetBoardSize(n);
  LoadSizePictures();
}

void TForm9::LoadSizePictures() {
  CellSize = Geometry().CellSize;
  BoardOrigin = Geometry().BoardOrigin;
  LoadOrReport(PicturePath(Geometry().StoneSheet), Image2);
  LoadOrReport(PicturePath(kViewerBoardPicture), Image1);
  DrawBoardGrid();
}

void TForm9::ClearBoard() {
  BoardModel::ClearBoard();
  SetupCount = BufferLength = DiagramEntryCount = 0;
  GroupCounter = GroupColour = LibertyCounter = 0;
  Visited.fill(0);
  BlackFirst = true;
}

void TForm9::DrawBoardGrid() {
  if (Image1.isNull()) return;
  const ViewerGeometry& g = Geometry();
  QPainter painter(&Image1);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(Qt::black, 0));
  for (int d = g.FirstLine(); d <= g.LastLine(); d += g.CellSize) {
    painter.drawLine(d, g.FirstLine(), d, g.LastLine());
    painter.drawLine(g.FirstLine(), d, g.LastLine(), d);
  }
  for (int i = 0; i < g.StarCount; ++i) {
    const auto& corner = g.StarCorners[static_cast<std::size_t>(i)];
    painter.fillRect(QRect(corner[0], corner[1], 3, 3), Qt::black);
  }
}

void TForm9::ShowDiagram(const std::string& diagramText, const std::string& number) {
  const bool turned = Form4 != nullptr && Form4->BoardTurned;
  ClearBoard();
  const DiagramReadResult read =
      ReadBoardDiagram(*this, diagramText, turned, DiagramText::kDiagramData);
  // The reader took the diagram's size; the pictures and the grid follow it.
  if (read.SizeChanged) LoadSizePictures();
  DiagramText = diagramText;
  DiagramEntryCount = read.SetupStones + read.Moves;
  AllNumbers = read.Moves < 100 ? 1 : 0;
  Panel1->setText(ToQt(J("[碁盤") + number + "] " + std::to_string(read.Moves) + J("手")));
  FormPaint();
}

void TForm9::DiagramStepForward() {
  if (MoveTop >= DiagramEntryCount) return;
  ReplayStepForward();
  FormPaint();
}

void TForm9::DiagramStepBack() {
  if (MoveTop <= SetupCount) return;
  ReplayStepBack();
  FormPaint();
}

void TForm9::DiagramToStart() {
  while (MoveTop > SetupCount) ReplayStepBack();
  FormPaint();
}

void TForm9::DiagramToEnd() {
  while (MoveTop < DiagramEntryCount) ReplayStepForward();
  FormPaint();
}

void TForm9::Image3MouseDown(int x) {
  if (x <= 26) {
    DiagramToStart();
  } else if (x <= 53) {
    DiagramStepBack();
  } else if (x <= 80) {
    DiagramStepForward();
  } else {
    DiagramToEnd();
  }
}

void TForm9::Panel1MouseDown() {
  if (Form4 == nullptr || Form5 == nullptr) return;
  const int width = WindowWidth(this);
  const int height = WindowHeight(this);
  if (WindowTop(Form5) == height) {
    // The chat stands under the viewer: the board window goes below, the chat beside.
    SetWindowLeft(Form4, (ScreenWidth() - WindowWidth(Form4)) / 2);
    SetWindowTop(Form4, height);
    SetWindowBounds(Form5, width + 3, 1, ScreenWidth() - width, height);
  } else {
    SetWindowLeft(Form4, width + 3);
    SetWindowTop(Form4, 1);
    SetWindowBounds(Form5, WindowLeft(this), height, width, ScreenHeight() - height - 5);
  }
}

// The analysis room's operator hands the shown diagram to the room as its record.
void TForm9::FormDblClick() {
  if (Form4 == nullptr || Form4->BoardMode != kBoardRoom || Form4->InputAllowed != 1) return;
  Form4->SendDiscussRecord("(;" + DiagramText);
}

// ---------------------------------------------------------------------------------------------
// Drawing

void TForm9::FormPaint() {
  surface_ = Image1.copy();
  if (surface_.isNull()) return;
  for (int point = 0; point < kPointCount; ++point) {
    if (IsPlayingPoint(point, BoardSize) && IsStone(Board[point])) {
      DrawStone(point, Board[point] == kBlack);
    }
  }
  if (MoveTop > SetupCount) {
    for (const ShownNumber& shown : MoveNumbersShown(*this, AllNumbers == 1)) {
      DrawMoveNumber(DiagramNumberText(shown.Number), shown.Point, shown.OnBlack);
    }
  }
  for (int point = 22; point <= 418; ++point) {
    const int mark = Marks[point];
    if (mark > 0 && IsPlayingPoint(point, BoardSize) && mark / 1000 == Board[point]) {
      DrawMark(mark % 1000, point);
    }
  }
  update();
}

QRect TForm9::StoneSquare(int point) const {
  const ViewerGeometry& g = Geometry();
  return {g.PointToPixelX(point) - g.StoneBefore, g.PointToPixelY(point) - g.StoneBefore, g.Sprite,
          g.Sprite};
}

void TForm9::DrawStone(int point, bool black) {
  const ViewerGeometry& g = Geometry();
  const int x = g.PointToPixelX(point) - g.StoneBefore;
  const int y = g.PointToPixelY(point) - g.StoneBefore;
  // Stones are copied as they are: the sheet's corners carry the board's tone.
  QPainter painter(&surface_);
  painter.drawImage(QPoint(x, y), Image2,
                    QRect(black ? g.BlackLeft : g.WhiteLeft, 0, g.Sprite, g.Sprite));
}

void TForm9::DrawMoveNumber(const std::string& text, int point, bool onBlack) {
  const ViewerGeometry& g = Geometry();
  const ViewerTextPlace place =
      ViewerNumberPlace(BoardSize, static_cast<int>(text.size()), onBlack);
  QPainter painter(&surface_);
  painter.setClipRect(StoneSquare(point));
  painter.setFont(PixelFont(kFont, PixelsOfPoints(place.FontSize)));
  painter.setPen(onBlack ? Qt::white : Qt::black);
  painter.drawText(
      QRect(g.PointToPixelX(point) + place.Dx, g.PointToPixelY(point) + place.Dy, 100, 100),
      Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QString::fromStdString(text));
}

void TForm9::DrawMark(int code, int point) {
  const std::string_view glyph = MarkGlyph(code);
  if (glyph.empty()) return;
  const ViewerGeometry& g = Geometry();
  const int colour = Board[point];
  const ViewerTextPlace place = ViewerMarkPlace(BoardSize, glyph, IsStone(colour));
  QPainter painter(&surface_);
  painter.setClipRect(StoneSquare(point));
  painter.setFont(PixelFont(kFont, PixelsOfPoints(place.FontSize)));
  painter.setPen(colour == kBlack   ? QColor(Qt::white)
                 : colour == kWhite ? QColor(Qt::black)
                                    : QColor(0, 0, 255));
  painter.drawText(
      QRect(g.PointToPixelX(point) + place.Dx, g.PointToPixelY(point) + place.Dy, 100, 100),
      Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
      QString::fromUtf8(glyph.data(), static_cast<qsizetype>(glyph.size())));
}

bool TForm9::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Panel1 && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    Panel1MouseDown();
  }
  return QWidget::eventFilter(watched, event);
}

void TForm9::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, surface_);
}

// ---------------------------------------------------------------------------------------------
// The mouse on the window's own surface

void TForm9::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    press_at_ = event->globalPosition().toPoint();
    pressed_ = true;
    dragging_ = false;
  }
  QWidget::mousePressEvent(event);
}

void TForm9::mouseMoveEvent(QMouseEvent* event) {
  // The window follows the mouse once the button has moved beyond a click, so that a double
  // click on a resting window still arrives.
  if (pressed_ && (event->buttons() & Qt::LeftButton)) {
    const QPoint now = event->globalPosition().toPoint();
    if (!dragging_ && (now - press_at_).manhattanLength() >= QApplication::startDragDistance()) {
      dragging_ = true;
      if (windowHandle() != nullptr && windowHandle()->startSystemMove()) {
        pressed_ = false;
        return;
      }
    }
    if (dragging_) {
      move(pos() + (now - press_at_));
      press_at_ = now;
    }
  }
  QWidget::mouseMoveEvent(event);
}

void TForm9::mouseReleaseEvent(QMouseEvent* event) {
  pressed_ = dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

void TForm9::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) FormDblClick();
  QWidget::mouseDoubleClickEvent(event);
}
