// client/connection/lobby_window.cpp — the lobby window.
#include "client/connection/lobby_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include "client/board/board_modes.h"
#include "client/board/board_window.h"
#include "client/connection/client_main_form.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/connection/game_settings_dialog.h"
#include "client/connection/message_board_window.h"
#include "client/connection/model/challenge_texts.h"
#include "client/connection/model/lobby_texts.h"
#include "client/views/counting_board.h"
#include "client/views/diagram_viewer.h"
#include "platform/cp932.h"
#include "platform/fonts.h"
#include "platform/memo_colors.h"
#include "platform/memo_view.h"
#include "platform/pictures.h"
#include "platform/qt_text.h"
#include "platform/status_bar.h"
#include "platform/window_state.h"
#include "protocol/tag_message.h"

TForm6* Form6 = nullptr;

namespace {
constexpr const char* kFont = "ＭＳ Ｐゴシック";
constexpr const char* kHeadingFont = "HG正楷書体-PRO";
constexpr int kItemHeight = 19;
constexpr int kF8 = 119;
// A watch or room request that the server never answers (the game ended meanwhile) stops
// blocking the buttons after this long.
constexpr int kRequestTimeoutMs = 10000;

QLabel* MakeHeading(QWidget* parent, const char* text, int left, int width) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setFont(PixelFont(kHeadingFont, 17, true));
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(left, 6, width, 24);
  return label;
}

QListWidget* MakeList(QWidget* parent, unsigned bgr, int left, int width) {
  auto* list = new QListWidget(parent);
  list->setFont(PixelFont(kFont, 15));
  list->setUniformItemSizes(true);
  list->setStyleSheet(QStringLiteral("QListWidget::item { height: %1px; }").arg(kItemHeight));
  SetMemoColor(list, bgr);
  list->setGeometry(left, 32, width, 262);
  return list;
}

QToolButton* MakeButton(QWidget* parent, const char* text, int pixels = 15) {
  auto* button = new QToolButton(parent);
  button->setText(QString::fromUtf8(text));
  button->setFont(PixelFont(kFont, pixels, true));
  button->setAutoRaise(false);
  button->setCursor(Qt::PointingHandCursor);
  return button;
}
}  // namespace

TForm6::TForm6() {
  CreateControls();
  // Top 1, centred across the screen.
  move((ScreenWidth() - WindowWidth(this)) / 2, 1);
  // No design-time entries.
  BoardHiddenByFollower = 0;
  ListBox1->clear();
  ListBox2->clear();
  Memo2Lines.Clear();
  // The random numbers for the nigiri come seeded with the time from the program's start.
  // The background picture; without it the lobby opens on its plain colour.
  std::string message;
  if (!LoadJpegPicture(AssetPath("bmp/VantaBG.jpg"), Image1, &message)) ClientShowMessage(message);

  Timer1->start();
}

TForm6::~TForm6() { Memo2->Bind(nullptr); }

void TForm6::CreateControls() {
  setWindowTitle(QString::fromUtf8(" ヌルカ - ネット対局 "));
  setWindowIcon(ClientIcon());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(517, 407);
  setFont(PixelFont(kFont, 13));
  QPalette face = palette();
  face.setColor(QPalette::Window, QColor(244, 236, 221));
  setPalette(face);
  setAutoFillBackground(true);

  Label3 = MakeHeading(this, "対 局 一 覧", 10, 166);
  Label1 = MakeHeading(this, "待 ち 一 覧", 180, 160);
  Label2 = MakeHeading(this, "観 戦 一 覧", 344, 163);

  ListBox1 = MakeList(this, 0xFFFAF8, 10, 166);
  connect(ListBox1, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
  ListBox2 = MakeList(this, 0xF8FFF8, 180, 160);
  ListBox2->setMouseTracking(true);
  ListBox2->viewport()->setMouseTracking(true);
  ListBox2->viewport()->installEventFilter(this);
  // The players' hints show also while another window has the keyboard.
  setAttribute(Qt::WA_AlwaysShowToolTips);

  Memo2 = new MemoView(this);
  Memo2->setFont(PixelFont(kFont, 15));
  SetMemoColor(Memo2, 0xFAF8FF);
  Memo2->setGeometry(344, 32, 163, 262);
  Memo2->Bind(&Memo2Lines);
  connect(Memo2, &MemoView::clicked, this, [this] { Memo2Click(); });

  SpeedButton1 = MakeButton(this, "見 る");
  SpeedButton1->setGeometry(10, 298, 166, 30);
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
  SpeedButton2 = MakeButton(this, "対局申し込み");
  SpeedButton2->setGeometry(180, 298, 160, 30);
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
  SpeedButton4 = MakeButton(this, "終 了");
  SpeedButton4->setGeometry(344, 298, 163, 30);
  connect(SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });

  // The bottom strip lies on the wood of the background picture.
  Panel1 = new QWidget(this);
  Panel1->setGeometry(0, 336, 517, 44);
  CheckBox2 = new QCheckBox(QString::fromUtf8("観戦のみ"), Panel1);
  CheckBox2->setFont(PixelFont(kFont, 14, true));
  CheckBox2->setGeometry(14, 10, 96, 24);
  CheckBox2->setFocusPolicy(Qt::NoFocus);
  CheckBox2->installEventFilter(this);
  SpeedButton7 = MakeButton(Panel1, "検討室", 14);
  SpeedButton7->setGeometry(116, 7, 92, 30);
  connect(SpeedButton7, &QToolButton::clicked, this, [this] { SpeedButton7Click(); });
  SpeedButton3 = MakeButton(Panel1, "伝言板", 14);
  SpeedButton3->setGeometry(214, 7, 92, 30);
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
  SpeedButton6 = MakeButton(Panel1, "握り", 14);
  SpeedButton6->setGeometry(312, 7, 92, 30);
  connect(SpeedButton6, &QToolButton::clicked, this, [this] { SpeedButton6Click(); });
  SpeedButton5 = MakeButton(Panel1, "再接続", 14);
  SpeedButton5->setGeometry(410, 7, 92, 30);
  connect(SpeedButton5, &QToolButton::clicked, this, [this] { SpeedButton5Click(); });
  SpeedButton5->hide();

  StatusBar1 = new PanelStatusBar(this);
  StatusBar1->setFont(PixelFont(kFont, 13));
  StatusBar1->AddPanel(181, true);
  StatusBar1->AddPanel(100, true);
  StatusBar1->AddPanel(50, true);
  StatusBar1->setGeometry(0, 383, 517, 24);

  // The window sees Ctrl+F8 wherever the focus is.
  auto* call_board = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F8), this);
  call_board->setContext(Qt::WindowShortcut);
  connect(call_board, &QShortcut::activated, this, [this] { FormKeyDown(kF8, true); });

  Timer1 = new QTimer(this);
  Timer1->setInterval(500);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

  request_timeout_ = new QTimer(this);
  request_timeout_->setSingleShot(true);
  request_timeout_->setInterval(kRequestTimeoutMs);
  connect(request_timeout_, &QTimer::timeout, this, [this] { RequestAnswered(); });
}

void TForm6::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (Image1.isNull()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, Image1);
}

bool TForm6::eventFilter(QObject* watched, QEvent* event) {
  if (watched == CheckBox2 && event->type() == QEvent::MouseButtonPress) {
    // The mark changes on the press itself; the release must not change it back.
    if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) CheckBox2MouseDown();
    return true;
  }
  if (watched == CheckBox2 && (event->type() == QEvent::MouseButtonRelease ||
                               event->type() == QEvent::MouseButtonDblClick)) {
    return true;
  }
  if (watched == ListBox2->viewport()) {
    if (event->type() == QEvent::MouseMove) {
      ListBox2MouseMove(static_cast<QMouseEvent*>(event)->position().toPoint().y());
    } else if (event->type() == QEvent::ToolTip) {
      const auto* help = static_cast<QHelpEvent*>(event);
      if (list_box2_hint_.empty()) {
        QToolTip::hideText();
      } else {
        QToolTip::showText(help->globalPos(), ToQt(list_box2_hint_), ListBox2);
      }
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// ---- Buttons ---------------------------------------------------------------------------------

void TForm6::StartRequest() {
  request_pending_ = true;
  request_timeout_->start();
}

void TForm6::RequestAnswered() {
  request_pending_ = false;
  request_timeout_->stop();
}

void TForm6::ShowConnectionState(const std::string& text) { StatusBar1->SetPanelText(0, text); }

void TForm6::OfferReconnect(bool offered) { SpeedButton5->setVisible(offered); }

void TForm6::SetWatchOnly(bool watch_only) { CheckBox2->setChecked(watch_only); }

void TForm6::SetWatchOnlyEnabled(bool enabled) { CheckBox2->setEnabled(enabled); }

void TForm6::SpeedButton1Click() {
  if (Form4->BoardMode != kBoardIdle || request_pending_) return;
  const QListWidgetItem* selected = ListBox1->currentItem();
  if (selected == nullptr || !selected->isSelected()) {
    ClientShowMessage(J("観戦する碁が選択されていません"));
    return;
  }
  const int game = WatchGameNumber(FromQt(selected->text()));
  if (game == 0) {
    ClientShowMessage(J("観戦できません"));
    return;
  }
  if (Form2->SendToServer("<<WatchGame=" + std::to_string(game) + ">>")) StartRequest();
}

void TForm6::SpeedButton2Click() {
  if (Form4->BoardMode != kBoardIdle) return;
  const QListWidgetItem* selected = ListBox2->currentItem();
  if (selected == nullptr || !selected->isSelected() ||
      FromQt(selected->text()) == Form2->UserName) {
    ClientShowMessage(J("     相手が選択されていません     "));
    return;
  }
  // The opponent is the one chosen now; a list refresh while the dialog is open changes nothing.
  const std::string opponent = FromQt(selected->text());
  // A start position is chosen anew for each challenge.
  Form3->ForgetStartPosition();
  if (Form3->exec() != 1) return;
  // A game that started while the dialog was open (a challenge accepted meanwhile) keeps this
  // user busy.
  if (Form4->BoardMode != kBoardIdle) return;
  Form2->SendToServer(ComposeGameSetRequest(Form3->Values(), Form2->UserName, opponent));
}

void TForm6::SpeedButton3Click() { Form8->ToggleMessageBoard(); }

void TForm6::SpeedButton4Click() {
  if (FormCloseQuery()) ClientMainForm->Close();
}

bool TForm6::FormCloseQuery() {
  if (Form2->AskEndFlag == 0) return true;
  return ClientEnv().prompts->AskYesNo(J("ネット対戦 Korvanta を 終 了 し ま す か？"),
                                       J("Korvanta - 終 了 の 確 認"));
}

void TForm6::closeEvent(QCloseEvent* event) {
  // Once the program ends, every window closes without asking again.
  if (ClientMainForm->Closed()) {
    event->accept();
    return;
  }
  event->ignore();
  if (FormCloseQuery()) ClientMainForm->Close();
}

void TForm6::SpeedButton5Click() {
  if (Form2->Connected()) return;
  Form2->OpenConnection(Form2->VantaKeyText());
}

void TForm6::SpeedButton6Click() {
  const int stones = ClientEnv().random->Next() % 8 + 1;
  const std::string line = BoardLine(Form2->UserName, NigiriText(stones));
  Form8->AddBoardLine(line);
  Form2->SendToServer("<<MainMese=" + line + ">>");
}

void TForm6::SpeedButton7Click() {
  if (Form4->BoardMode != kBoardIdle || request_pending_) return;
  if (Form2->SendToServer("<<DiscussEnter>>")) StartRequest();
}

void TForm6::CheckBox2MouseDown() {
  CheckBox2->setChecked(!CheckBox2->isChecked());
  Form2->SendToServer("<<ChangeMode>>");
  CheckBox2->clearFocus();
}

// ---- Lists -----------------------------------------------------------------------------------

void TForm6::ApplyLobbyLists(std::string_view m) {
  auto fill = [](QListWidget* list, const std::string& value) {
    list->clear();
    for (const std::string& entry : SplitListLines(value)) list->addItem(ToQt(entry));
  };
  if (HasTag(m, "<<PlayList=")) fill(ListBox1, GetTagValue(m, "<<PlayList="));
  if (HasTag(m, "<<WaitList=")) fill(ListBox2, GetTagValue(m, "<<WaitList="));
  if (HasTag(m, "<<LookList=")) {
    Memo2Lines.Clear();
    const std::string value = GetTagValue(m, "<<LookList=");
    if (!value.empty()) Memo2Lines.SetText(value);
  }
  const std::string count = GetTagValue(m, "<<IdCount=");
  if (!count.empty()) StatusBar1->SetPanelText(1, J("参加者数 = ") + count);
}

std::vector<std::string> TForm6::GameListLines() const {
  std::vector<std::string> lines;
  for (int i = 0; i < ListBox1->count(); ++i) lines.push_back(FromQt(ListBox1->item(i)->text()));
  return lines;
}

void TForm6::ListBox1Click() {
  if (ListBox1->count() == 0) return;
  const int start = GameGroupStart(ListBox1->currentRow());
  if (start < ListBox1->count()) ListBox1->setCurrentRow(start);
}

void TForm6::ListBox2MouseMove(int y) {
  const int k = y / kItemHeight + 1;
  list_box2_hint_ = ListBox2->count() < k ? std::string() : WaitListHint(k);
  ListBox2->setToolTip(ToQt(list_box2_hint_));
}

std::string TForm6::WaitListHint(int k) const { return ::WaitListHint(Form2->WaitHintText, k); }

void TForm6::Memo2Click() { Memo2->clearFocus(); }

void TForm6::FormKeyDown(int key, bool ctrl) {
  if (key == kF8 && ctrl) Form2->SendToServer("<<SeeMeseNow>>");
}

// ---- The window follower ---------------------------------------------------------------------

void TForm6::Timer1Timer() {
  // The message board follows the lobby.
  if (IsMinimized(this) && Form8->isVisible()) {
    Form8->hide();
    BoardHiddenByFollower = 1;
  }
  if (BoardHiddenByFollower == 1 && IsNormalState(this)) {
    Form8->show();
    BoardHiddenByFollower = 0;
  }
  // The chat follows the board window, unless the counting board or the diagram viewer
  // is up.
  if (IsMinimized(Form4) && Form5->isVisible() && !Form7->isVisible() && !Form9->isVisible()) {
    Form5->hide();
    Form4->ChatHiddenByFollower = 1;
  }
  if (Form4->ChatHiddenByFollower == 1 && IsNormalState(Form4)) {
    Form5->show();
    Form4->ChatHiddenByFollower = 0;
  }
  // The diagram viewer follows the chat.
  if (IsMinimized(Form5) && Form9->isVisible()) {
    Form9->hide();
    Form5->ViewerHiddenByFollower = 1;
  }
  if (Form5->ViewerHiddenByFollower == 1 && IsNormalState(Form5)) {
    Form9->show();
    Form5->ViewerHiddenByFollower = 0;
  }
  // During a shared count the board window makes way for the counting board and returns
  // with it.
  if (Form7->RealTimeMode != kNoSharedCount && Form7->isVisible()) {
    if (IsNormalState(Form7) && IsNormalState(Form4)) {
      MinimizeWindow(Form4);
    } else if (IsMinimized(Form7) && IsMinimized(Form4)) {
      SetNormalState(Form4);
    }
  }
}
