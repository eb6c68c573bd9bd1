// client/views/game_list_board.cpp — the game-list board: the followed game drawn on the small
// board, its panel, the choice of the game, the hand-over to the shared board, the placing of the
// board window beside it and the dragging of the borderless window.
#include "client/views/game_list_board.h"

#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>

#include "client/board/board_window.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/views/model/preview_geometry.h"
#include "client/views/small_board.h"
#include "client/views/small_board_pictures.h"
#include "platform/cp932.h"
#include "platform/fonts.h"
#include "platform/qt_text.h"
#include "platform/window_state.h"
#include "protocol/tag_message.h"

TForm14* Form14 = nullptr;

namespace {
constexpr int kClientWidth = 192;
constexpr int kClientHeight = 216;
constexpr int kGameCount = 5;
// Below this screen width the board window is not moved for this one.
constexpr int kNarrowScreen = 700;

std::string HintLines(const std::string& hint) { return ReplaceAll(hint, "\r\n", "\n"); }
}  // namespace

TForm14::TForm14() {
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setFixedSize(kClientWidth, kClientHeight);
  Panel1 = new QLabel(this);
  Panel1->setGeometry(0, kPreviewBoardSide + 1, 125, 24);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setFont(PixelFont("ＭＳ Ｐゴシック", 12));
  ComboBox1 = new QComboBox(this);
  ComboBox1->setGeometry(125, kPreviewBoardSide, 68, 24);
  ComboBox1->setMaxVisibleItems(kGameCount);
  ComboBox1->setFont(PixelFont("ＭＳ Ｐゴシック", 12));
  for (int g = 1; g <= kGameCount; ++g) ComboBox1->addItem(ToQt(J("対局") + std::to_string(g)));
  // Only a choice of the user's: the program's own selections never send.
  connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
  Surface = QImage(kPreviewBoardSide, kPreviewBoardSide, QImage::Format_RGB32);
  // The record preview, created before this window, has already named a missing picture: the
  // two windows show the same ones.
  LoadSmallBoardPictures(Image3, Image2);
  Image1 = Image3.convertToFormat(QImage::Format_RGB32);
  DrawSmallBoardGrid(Image1, GameListBoardSize);
  PaintGameListBoard();
  ShowPanel();
  move(ScreenWidth() - 195, 0);
}

// ---------------------------------------------------------------------------------------------
// The followed game

void TForm14::ShowGameList(const std::string& message, bool operatorChooses,
                           const std::vector<std::string>& lobbyGames) {
  ComboBox1->clear();
  // Every piece of the list followed by a comma is a game; a piece without one is dropped.
  const std::string list = GetTagValue(message, "<<GameList=");
  for (std::size_t start = 0, comma; (comma = list.find(',', start)) != std::string::npos;
       start = comma + 1) {
    ComboBox1->addItem(ToQt(list.substr(start, comma - start)));
  }
  // The record is the game the room follows, which need not be the first one running.
  const std::string record = GetTagValue(message, "<<GameData=");
  const bool over = HasTag(message, "<<DisCussGameisOver>>");
  const int followed = FollowedGameSlot(lobbyGames, record, over);
  const int shown =
      followed > 0 ? ComboBox1->findText(ToQt(J("対局") + std::to_string(followed))) : -1;
  ComboBox1->setCurrentIndex(std::max(shown, 0));
  AllowGameChoice(operatorChooses);
  LoadWatchGame(record);
  ShowLoadedCaption(over);
  ShowPanel();
  show();
}

void TForm14::ShowGameData(const std::string& message) {
  LoadWatchGame(GetTagValue(message, "<<GameData="));
  ShowLoadedCaption(HasTag(message, "<<DisCussGameisOver>>"));
  ShowPanel();
  SelectGame(GetTagValue(message, "<<Index="));
}

void TForm14::SelectGame(const std::string& game) {
  const int index = ComboBox1->findText(ToQt(J("対局") + game));
  if (index < 0) {
    ComboBox1->clear();
    return;
  }
  ComboBox1->setCurrentIndex(index);
}

int TForm14::GameChoiceCount() const { return ComboBox1->count(); }

std::string TForm14::ChosenGame() const {
  return ComboBox1->currentIndex() < 0 ? std::string() : FromQt(ComboBox1->currentText());
}

void TForm14::LoadWatchGame(const std::string& text) {
  if (GameListGame::LoadWatchGame(text)) FormPaint();
}

void TForm14::AddWatchMove(const std::string& message) {
  if (!GameListGame::AddWatchMove(message)) return;
  ShowPanel();
  FormPaint();
}

void TForm14::TakeBackWatchMove() {
  if (!GameListGame::TakeBackWatchMove()) return;
  ShowPanel();
  FormPaint();
}

void TForm14::FollowedGameEnded(const std::string& message) {
  GameListGame::FollowedGameEnded(message);
  ShowPanel();
  FormPaint();
}

void TForm14::ShowPanel() {
  Panel1->setText(ToQt(Caption));
  Panel1->setToolTip(ToQt(HintLines(Hint)));
}

// ---------------------------------------------------------------------------------------------
// Drawing

void TForm14::GameListSizeSet() {
  Image1 = Image3.convertToFormat(QImage::Format_RGB32);
  DrawSmallBoardGrid(Image1, GameListBoardSize);
}

void TForm14::PaintGameListBoard() {
  QPainter(&Surface).drawImage(0, 0, Image1);
  update();
}

void TForm14::DrawGameListStones() {
  DrawSmallBoardStones(Surface, Image2, GameListBoardSize, GameListEntries.data(), GameListCount,
                       GameListSetupCount, GameListBoard);
  const int last = LastMoveEntry();
  if (last > 0) {
    const int point = GameListEntries[last];
    DrawLastMoveMarker(point, GameListBoard[point] == kBlack);
  }
  update();
}

void TForm14::DrawLastMoveMarker(int point, bool onBlack) {
  const PreviewSpot spot = PreviewSpotOf(PreviewGeometryOf(GameListBoardSize), point);
  // A small white ring with a black outline, one pixel smaller on a white stone.
  const int side = onBlack ? 5 : 4;
  QPainter painter(&Surface);
  painter.setPen(Qt::black);
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRect(spot.X - 3, spot.Y - 3, side - 1, side - 1));
}

void TForm14::FormPaint() {
  PaintGameListBoard();
  DrawGameListStones();
}

void TForm14::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  painter.drawImage(0, 0, Surface);
}

void TForm14::AllowGameChoice(bool operatorChooses) { ComboBox1->setEnabled(operatorChooses); }

// ---------------------------------------------------------------------------------------------
// The user's actions

void TForm14::ComboBox1Change() {
  const std::string chosen = FromQt(ComboBox1->currentText());
  if (chosen.size() <= 4 || Form2 == nullptr || !Form2->Connected()) return;
  if (Form4 == nullptr || Form4->BoardMode != kBoardRoom || Form4->InputAllowed != 1) return;
  Form2->SendToServer("<<DiscussChangeGame>><<Index=" + chosen.substr(4, 1) + ">>");
}

void TForm14::FormDblClick() {
  if (Form4 == nullptr || Form4->BoardMode != kBoardRoom || Form4->InputAllowed != 1) return;
  Form4->SendDiscussRecord(GameListRecord);
}

void TForm14::FormShow() {
  if (ScreenWidth() > kNarrowScreen && GameListAutoPlace == 1) {
    SetWindowTop(Form4, ScreenHeight() - WindowHeight(Form4) - 5);
  }
  GameListBoardLeftSeen = WindowLeft(Form4);
  GameListBoardTopSeen = WindowTop(Form4);
}

void TForm14::FormHide() {
  if (WindowLeft(Form4) != GameListBoardLeftSeen || WindowTop(Form4) != GameListBoardTopSeen) {
    GameListAutoPlace = 0;
  }
  if (GameListAutoPlace == 1) SetWindowTop(Form4, 1);
}

void TForm14::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm14::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TForm14::StartWindowDrag(const QPoint& globalPress) {
  // The desktop moves the window where it can; elsewhere the window follows the mouse.
  if (windowHandle() != nullptr && windowHandle()->startSystemMove()) return;
  dragging_ = true;
  drag_offset_ = globalPress - pos();
}

bool TForm14::OnBoardSurface(const QPoint& pos) {
  return QRect(0, 0, kPreviewBoardSide, kPreviewBoardSide).contains(pos);
}

void TForm14::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && OnBoardSurface(event->position().toPoint())) {
    StartWindowDrag(event->globalPosition().toPoint());
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

void TForm14::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton)) {
    move(event->globalPosition().toPoint() - drag_offset_);
    return;
  }
  QWidget::mouseMoveEvent(event);
}

void TForm14::mouseReleaseEvent(QMouseEvent* event) {
  dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

void TForm14::mouseDoubleClickEvent(QMouseEvent* event) {
  dragging_ = false;
  if (event->button() == Qt::LeftButton && OnBoardSurface(event->position().toPoint())) {
    FormDblClick();
  }
  QWidget::mouseDoubleClickEvent(event);
}
