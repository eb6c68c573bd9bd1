// client/connection/game_chat_window.cpp — the game chat window and the arrangement of the board
// window, the chat and the diagram viewer.
#include "client/connection/game_chat_window.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QShowEvent>
#include <QTextCursor>
#include <QVBoxLayout>

#include "client/board/board_modes.h"
#include "client/board/board_window.h"
#include "client/connection/client_program.h"
#include "client/connection/model/game_chat_texts.h"
#include "client/views/counting_board.h"
#include "client/views/diagram_viewer.h"
#include "client/views/model/board_diagram.h"
#include "platform/fonts.h"
#include "platform/memo_colors.h"
#include "platform/memo_view.h"
#include "platform/window_state.h"
#include "protocol/tag_message.h"

TForm5* Form5 = nullptr;

namespace {
constexpr const char* kFont = "ＭＳ Ｐゴシック";
constexpr unsigned kMemoColor = 0xF0FFF0;  // blue-green-red
}  // namespace

TForm5::TForm5() {
  CreateControls();
  // Left of the board window, as tall as it.
  SetWindowBounds(this, 1, 1, ScreenWidth() - WindowWidth(Form4) - 1, WindowHeight(Form4));
  // Follower and arrangement state; no design-time lines.
  ViewerHiddenByFollower = 0;
  AutoLayout = 1;
  Memo1Lines.Clear();
}

TForm5::~TForm5() { Memo1->Bind(nullptr); }

void TForm5::CreateControls() {
  setWindowTitle(QString::fromUtf8(" ヌルカ  -  対局チャット"));
  setWindowIcon(ClientIcon());
  resize(202, 375);
  setFont(PixelFont(kFont, 14));

  Memo1 = MakeTalkMemo(this, PixelFont(kFont, 15), kMemoColor, 0x000000, &Memo1Lines);
  connect(Memo1, &MemoView::clicked, this, [this] { Memo1Click(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Memo1);

  // The window's menu entry for the diagram viewer, below the memo's own entries.
  DiagramViewItem = new QAction(QString::fromUtf8("小碁盤の表示 [ON/OFF] (&B)"), this);
  connect(DiagramViewItem, &QAction::triggered, this, [this] { ToggleDiagramView(); });
  Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(Memo1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu* menu = Memo1->createStandardContextMenu(at);
    menu->addSeparator();
    menu->addAction(DiagramViewItem);
    menu->exec(Memo1->mapToGlobal(at));
    delete menu;
  });
}

void TForm5::AddChatLine(const std::string& text) {
  // A memo puts the text and a line end after its last line; the text's own line ends make lines.
  LineList added;
  added.SetText(text + "\r\n");
  for (const std::string& line : added.Lines()) Memo1Lines.Add(line);
}

void TForm5::AddDiagramLink(const std::string& number) {
  const int last = Memo1Lines.Count() - 1;
  if (last >= 0 && Memo1Lines.Line(last).empty()) Memo1Lines.Delete(last);
  AddChatLine(DiagramLinkLine(number) + "\r\n");
}

void TForm5::ReceiveGameChatLine(const std::string& message) {
  // The line, which ends with CR LF.
  AddChatLine(GetTagValue(message, "<<GameMese="));
  // A diagram comes with the line: the game's store keeps it, and its link line follows
  // directly.
  if (HasTag(message, "<<DiaData=")) {
    const std::string number = GetTagValue(message, "<<DiaIndex=");
    Form4->DiagramStore +=
        "\r\n{" + number + "}<<DiaData=" + GetTagValue(message, "<<DiaData=") + ">>";
    AddDiagramLink(number);
  }
  // In an own game, a line of the opponent's.
  const bool from_opponent =
      Form4->BoardMode == kBoardOwnGame &&
      GetTagValue(message, "<<GameMese=").starts_with("[ " + Form4->OpponentName() + " ]");
  // The chat comes up unless the board window is minimised; the counting board or the
  // opponent's line still bring it then.
  if (!isVisible() && (IsNormalState(Form4) || Form7->isVisible() || from_opponent)) {
    Form9->hide();
    show();
  }
}

void TForm5::ToggleDiagramView() {
  Form9->setVisible(!Form9->isVisible());
  if (AutoLayout == 0) return;
  if (Form9->isVisible()) {
    ArrangeWithViewer();
    BoardLeftSeen = WindowLeft(Form4);
  } else {
    SetWindowTop(this, 1);
  }
}

void TForm5::ArrangeWithViewer() {
  // The board window right of the viewer, the chat below the viewer down to the screen's foot.
  SetWindowLeft(Form4, WindowWidth(Form9) + 3);
  SetWindowBounds(this, WindowLeft(Form9), WindowHeight(Form9), WindowWidth(Form9),
                  ScreenHeight() - WindowHeight(Form9) - 5);
}

void TForm5::Memo1Click() {
  const QTextCursor caret = Memo1->textCursor();
  Memo1->clearFocus();
  // A click on the text of a diagram's link opens the diagram; a link to a diagram that is not
  // stored does nothing at all.
  if (!caret.atBlockEnd()) {
    const int line = caret.blockNumber();
    const std::optional<std::string> number =
        line < Memo1Lines.Count() ? DiagramLinkNumber(Memo1Lines.Line(line)) : std::nullopt;
    if (number) {
      OpenDiagram(*number);
      return;
    }
  }
  SetMemoColor(Memo1, NextMemoColor(MemoColor(Memo1)));
}

void TForm5::OpenDiagram(const std::string& number) {
  const std::string& store =
      Form4->BoardMode == kBoardRoom ? Form4->RoomDiagramStore : Form4->DiagramStore;
  const std::optional<std::string> diagram = StoredDiagram(store, number);
  if (!diagram) return;
  Form9->ShowDiagram(*diagram, number);
  if (Form9->isVisible()) return;
  Form9->show();
  if (AutoLayout == 0) return;
  if (ScreenWidth() > 899) {
    // A wide screen keeps the board window where it is; the chat goes below the viewer.
    SetWindowBounds(this, WindowLeft(Form9), WindowHeight(Form9), WindowWidth(this),
                    ScreenHeight() - WindowHeight(Form9) - 5);
  } else {
    ArrangeWithViewer();
    BoardLeftSeen = WindowLeft(Form4);
  }
}

void TForm5::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A window coming back from the taskbar is not shown anew.
  if (!event->spontaneous()) FormShow();
}

void TForm5::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TForm5::FormShow() {
  if (AutoLayout == 0) return;
  if (Form9->isVisible()) {
    ArrangeWithViewer();
  } else {
    // The board window flush right, the chat filling the rest of the width.
    SetWindowLeft(Form4, ScreenWidth() - WindowWidth(Form4));
    SetWindowBounds(this, 1, 1, ScreenWidth() - WindowWidth(Form4) - 1, WindowHeight(this));
  }
  BoardLeftSeen = WindowLeft(Form4);
  BoardTopSeen = WindowTop(Form4);
}

void TForm5::FormHide() {
  Form9->hide();
  // The user placed the board window: from now on every window stays where it is put.
  if (WindowLeft(Form4) != BoardLeftSeen || WindowTop(Form4) != BoardTopSeen) AutoLayout = 0;
  if (AutoLayout == 1) SetWindowLeft(Form4, (ScreenWidth() - WindowWidth(Form4)) / 2);
}
