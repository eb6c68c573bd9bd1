// client/connection/message_board_window.cpp — the message board window.
#include "client/connection/message_board_window.h"

#include <QLineEdit>
#include <QShortcut>
#include <QVBoxLayout>

#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/connection/lobby_window.h"
#include "client/connection/model/lobby_texts.h"
#include "platform/fonts.h"
#include "platform/memo_colors.h"
#include "platform/memo_view.h"
#include "platform/qt_text.h"
#include "platform/window_state.h"

TForm8* Form8 = nullptr;

namespace {
constexpr const char* kFont = "ＭＳ Ｐゴシック";
constexpr int kEnterKey = 13;
constexpr int kF8 = 119;
constexpr unsigned kNavy = 0x800000;  // blue-green-red
}  // namespace

TForm8::TForm8() {
  CreateControls();
  // Right of the lobby (when the lobby stands at Left 2), as tall as the lobby.
  SetWindowBounds(this, WindowWidth(Form6) + 2, 1, ScreenWidth() - WindowWidth(Form6) - 4,
                  WindowHeight(Form6));
}

TForm8::~TForm8() { Memo1->Bind(nullptr); }

void TForm8::CreateControls() {
  setWindowTitle(QString::fromUtf8(" ヌ ル カ  -  伝 言 板"));
  setWindowIcon(ClientIcon());
  resize(270, 211);
  setFont(PixelFont(kFont, 14));

  Memo1 = MakeTalkMemo(this, PixelFont(kFont, 15), 0xF0FFF0, kNavy, &Memo1Lines);
  connect(Memo1, &MemoView::clicked, this, [this] { Memo1Click(); });

  Memo2 = new QLineEdit(this);
  Memo2->setFont(PixelFont(kFont, 15));
  Memo2->setFixedHeight(24);
  connect(Memo2, &QLineEdit::returnPressed, this, [this] { Memo2KeyDown(kEnterKey); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Memo1, 1);
  layout->addWidget(Memo2);

  // The window sees Ctrl+F8 wherever the focus is.
  auto* call_board = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F8), this);
  call_board->setContext(Qt::WindowShortcut);
  connect(call_board, &QShortcut::activated, this, [this] { FormKeyDown(kF8, true); });
}

void TForm8::AddBoardLine(const std::string& line) { Memo1Lines.Add(line); }

void TForm8::SetBoardText(const std::string& text) { Memo1Lines.SetText(text); }

void TForm8::ToggleMessageBoard() {
  setVisible(!isVisible());
  SetWindowLeft(Form6, isVisible() ? 2 : (ScreenWidth() - WindowWidth(Form6)) / 2);
}

void TForm8::Memo2KeyDown(int key) {
  if (key != kEnterKey) return;
  const std::string typed = FromQt(Memo2->text());
  if (typed.empty()) return;
  const std::string line = BoardLine(Form2->UserName, BoardPostText(typed));
  Memo1Lines.Add(line);
  Form2->SendToServer("<<MainMese=" + line + ">>");
  Memo2->clear();
}

void TForm8::Memo1Click() {
  if (Memo2->text().isEmpty()) {
    Memo2->setFocus();
  } else {
    Memo1->clearFocus();
  }
  SetMemoColor(Memo1, NextMemoColor(MemoColor(Memo1)));
}

void TForm8::FormKeyDown(int key, bool ctrl) {
  if (key != kF8 || !ctrl) return;
  show();
  Form2->SendToServer("<<SeeMeseNow>>");
}
