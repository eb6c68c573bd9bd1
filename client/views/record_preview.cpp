// client/views/record_preview.cpp — the record preview window: its small board, info memo, the
// loading of a record file and the window's dragging.
#include "client/views/record_preview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "client/board/model/record_files.h"
#include "client/connection/client_program.h"
#include "client/views/model/preview_geometry.h"
#include "client/views/model/record_info.h"
#include "client/views/small_board.h"
#include "client/views/small_board_pictures.h"
#include "platform/fonts.h"
#include "platform/memo_colors.h"
#include "platform/memo_view.h"
#include "platform/pictures.h"
#include "platform/window_state.h"

TForm11* Form11 = nullptr;

namespace {
constexpr int kClientWidth = 192;
constexpr int kClientHeight = 273;
constexpr int kMemoHeight = 81;
constexpr unsigned kSilver = 0xC0C0C0;
}  // namespace

TForm11::TForm11() {
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  setFixedSize(kClientWidth, kClientHeight);
  Memo1 = new MemoView(this);
  Memo1->setGeometry(0, kPreviewBoardSide + 1, kClientWidth, kMemoHeight);
  Memo1->setFont(PixelFont("ＭＳ 明朝", 12));
  Memo1->setFrameShape(QFrame::NoFrame);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->viewport()->setCursor(Qt::ArrowCursor);
  SetMemoColor(Memo1, kSilver);
  Memo1->Bind(&InfoLines);
  Surface = QImage(kPreviewBoardSide, kPreviewBoardSide, QImage::Format_RGB32);
  LoadPictures();
  DrawBoardGrid();
  PaintPreviewBoard();
  move(ScreenWidth() - 195, 5);
}

TForm11::~TForm11() { Memo1->Bind(nullptr); }

void TForm11::LoadPictures() {
  const std::string failure = LoadSmallBoardPictures(Image3, Image2);
  Image1 = Image3.convertToFormat(QImage::Format_RGB32);
  if (!failure.empty()) ClientShowMessage(failure);
}

// ---------------------------------------------------------------------------------------------
// Reading

void TForm11::LoadRecordFile(const std::string& path) {
  const std::optional<std::string> text = ReadRecordFile(path);
  if (PreviewRecordFileText(text.value_or(std::string()))) previewed_file_ = path;
}

void TForm11::PreviewRead() {
  previewed_file_.clear();
  FormPaint();
}

// ---------------------------------------------------------------------------------------------
// Drawing

void TForm11::PreviewBoardSizeSet() {
  Image1 = Image3.convertToFormat(QImage::Format_RGB32);
  DrawBoardGrid();
}

void TForm11::DrawBoardGrid() { DrawSmallBoardGrid(Image1, PreviewBoardSize); }

void TForm11::PaintPreviewBoard() {
  QPainter(&Surface).drawImage(0, 0, Image1);
  update();
}

void TForm11::DrawPreviewStone(int point, bool black) {
  DrawSmallBoardStone(Surface, Image2, PreviewBoardSize, point, black);
}

void TForm11::DrawPreviewStones() {
  DrawSmallBoardStones(Surface, Image2, PreviewBoardSize, PreviewEntries.data(), PreviewEntryCount,
                       PreviewSetupCount, PreviewPosition.Board);
  update();
}

void TForm11::FormPaint() {
  PaintPreviewBoard();
  DrawPreviewStones();
}

void TForm11::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  painter.drawImage(0, 0, Surface);
}

// ---------------------------------------------------------------------------------------------
// Showing and dragging

void TForm11::SetStayOnTop(bool onTop) {
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (shown) show();
}

void TForm11::ShowBeside(QWidget* owner, bool onTop) {
  SetStayOnTop(onTop);
  // A window whose transient parent is the modal dialog is not blocked by it.
  winId();
  QWindow* parent = nullptr;
  if (owner != nullptr) {
    owner->window()->winId();
    parent = owner->window()->windowHandle();
  }
  if (windowHandle() != nullptr) windowHandle()->setTransientParent(parent);
  show();
  FormPaint();
}

void TForm11::HidePreview() {
  hide();
  SetStayOnTop(false);
  if (windowHandle() != nullptr) windowHandle()->setTransientParent(nullptr);
}

void TForm11::StartWindowDrag(const QPoint& globalPress) {
  // The desktop moves the window where it can; elsewhere the window follows the mouse.
  if (windowHandle() != nullptr && windowHandle()->startSystemMove()) return;
  dragging_ = true;
  drag_offset_ = globalPress - pos();
}

void TForm11::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    StartWindowDrag(event->globalPosition().toPoint());
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

void TForm11::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton)) {
    move(event->globalPosition().toPoint() - drag_offset_);
    return;
  }
  QWidget::mouseMoveEvent(event);
}

void TForm11::mouseReleaseEvent(QMouseEvent* event) {
  dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}
