// client/connection/challenge_dialog.cpp — the challenge received dialog and the answer to a
// challenge.
#include "client/connection/challenge_dialog.h"

#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "client/board/board_modes.h"
#include "client/board/board_window.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/connection/model/challenge_texts.h"
#include "client/views/game_list_board.h"
#include "client/views/mark_toolbar.h"
#include "client/views/record_preview.h"
#include "platform/cp932.h"
#include "platform/fonts.h"
#include "platform/memo_colors.h"
#include "platform/memo_view.h"
#include "platform/qt_text.h"
#include "platform/window_state.h"
#include "protocol/tag_message.h"

TForm12* Form12 = nullptr;

namespace {
constexpr const char* kFont = "ＭＳ Ｐゴシック";
constexpr unsigned kFaceColor = 14743800;  // blue 224, green 248, red 248
constexpr unsigned kTeal = 0x808000;       // blue-green-red
// The window's design: the client area, and the buttons' row with the strip below it.
constexpr int kWidth = 584;
constexpr int kHeight = 451;
constexpr int kButtonsTop = 402;
constexpr int kButtonHeight = 33;
constexpr int kOkLeft = 165;
constexpr int kCancelLeft = 323;
constexpr int kButtonWidth = 125;
}  // namespace

TForm12::TForm12() {
  CreateControls();
  Memo1Lines.Clear();
  move(ScreenWidth() - WindowWidth(this) - 200, 1);
}

TForm12::~TForm12() { Memo1->Bind(nullptr); }

void TForm12::CreateControls() {
  setWindowTitle(QString::fromUtf8(" 対 局 の 申 し 込 み"));
  setWindowIcon(ClientIcon());
  // A fixed border with only the close box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(kWidth, kHeight);
  QPalette face = palette();
  face.setColor(QPalette::Window, ColorFromBgr(kFaceColor));
  setPalette(face);
  setAutoFillBackground(true);

  Memo1 = new MemoView(this);
  Memo1->setGeometry(0, 0, kWidth, kButtonsTop);
  Memo1->setFrameShape(QFrame::NoFrame);
  Memo1->setFont(PixelFont(kFont, 21, true));
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->viewport()->setCursor(Qt::ArrowCursor);
  SetMemoColor(Memo1, kFaceColor);
  SetMemoTextColor(Memo1, kTeal);
  Memo1->Bind(&Memo1Lines);
  connect(Memo1, &MemoView::clicked, this, [this] { Memo1Click(); });

  BitBtn1 = new QPushButton(QString::fromUtf8("O  K"), this);
  BitBtn1->setFont(PixelFont(kFont, 15, true));
  BitBtn1->setGeometry(kOkLeft, kButtonsTop, kButtonWidth, kButtonHeight);
  connect(BitBtn1, &QPushButton::clicked, this, [this] { done(1); });
  BitBtn2 = new QPushButton(QString::fromUtf8("キャンセル"), this);
  BitBtn2->setFont(PixelFont(kFont, 15));
  BitBtn2->setGeometry(kCancelLeft, kButtonsTop, kButtonWidth, kButtonHeight);
  connect(BitBtn2, &QPushButton::clicked, this, [this] { done(2); });
}

void TForm12::reject() { done(2); }

bool TForm12::ShowOffer(const std::string& caption, const std::string& text) {
  setWindowTitle(ToQt(caption));
  Memo1Lines.SetText(text);
  FitOffer();
  return exec() == 1;
}

void TForm12::FitOffer() {
  // The offer stands above the buttons; an offer longer than the design's area (a start position
  // adds a line) makes the window taller by what it needs.
  const int buttons_top = std::max(kButtonsTop, Memo1->TextHeight());
  Memo1->setGeometry(0, 0, kWidth, buttons_top);
  BitBtn1->move(kOkLeft, buttons_top);
  BitBtn2->move(kCancelLeft, buttons_top);
  setFixedSize(kWidth, buttons_top + kHeight - kButtonsTop);
}

void TForm12::Memo1Click() { Memo1->clearFocus(); }

void TForm12::ReceiveChallenge(const std::string& message) {
  // Busy: another offer is open, or the user operates the analysis room's board.
  if (Form2->ChallengePending == 1 || Form4->InputAllowed == 1) {
    Form2->SendIfConnected(BusyAnswer(message));
    return;
  }
  Form2->ChallengePending = 1;
  // Opened here, the dialog's own event loop would run inside this read event, and nothing more
  // would be read from the connection until it closed; so it opens from the event loop.
  QTimer::singleShot(0, this, [this, message] { AnswerChallenge(message); });
}

void TForm12::AnswerChallenge(const std::string& message) {
  // A start position is shown in the record preview, and the offer and the acceptance both carry
  // it as the preview read it: the side to move that the offer names is the one the game starts
  // with.
  const bool start = HasTag(message, "<<KifuStart=");
  std::string offered = message;
  if (start) {
    Form11->PaintPreviewBoard();
    Form11->InfoLines.Clear();
    Form11->PreviewRecordText = GetTagValue(message, "<<KifuStart=");
    Form11->ShowRecordPreview();
    offered = WithStartPosition(message, Form11->BuildStartPosition());
    Form11->ShowBeside(this, false);
  }
  const std::string offer = ChallengeOfferText(offered);
  ClientEnv().sounds->Play(AssetPath("ano.wav"));
  const bool ok =
      Form2->ShowChallengeDialog(J(" ヌ ル カ [ Korvanta ] - 対 局 の 申 し 込 み"), offer);
  if (start) Form11->HidePreview();
  if (!ok) {
    Form2->SendToServer(DeclineAnswer(message));
  } else if (Form4->BoardMode == kBoardOwnGame) {
    // An own game started while the offer was open: accepting would abandon it.
    Form2->SendToServer(BusyAnswer(message));
  } else if (!Form2->Connected()) {
    // Nothing can be answered; the view on the board stays as it is.
    ClientShowMessage(J("サーバに接続していません！"));
  } else {
    if (Form4->BoardMode == kBoardRoom) {
      // The room is left on the server first, so that it never keeps a member who plays.
      Form2->SendToServer("<<DiscussClose>>");
      Form14->hide();
      Form15->hide();
    }
    if (Form4->BoardMode != kBoardIdle) {
      // Watching, a finished game or the room: the view is left; the server ends the watching
      // when it starts the game.
      Form4->BoardMode = kBoardIdle;
      Form4->hide();
      Form5->hide();
    }
    Form2->SendToServer(AcceptAnswer(offered));
  }
  Form2->ChallengePending = 0;
}
