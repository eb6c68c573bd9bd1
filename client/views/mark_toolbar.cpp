// client/views/mark_toolbar.cpp — the strip of marks that the board window and the counting board
// place.
#include "client/views/mark_toolbar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QWindow>

#include "client/board/board_window.h"
#include "client/board/model/mark_codes.h"
#include "client/connection/client_program.h"
#include "client/views/counting_board.h"
#include "client/views/game_list_board.h"
#include "platform/fonts.h"
#include "platform/window_state.h"

TForm15* Form15 = nullptr;

namespace {

constexpr const char* kFont = "ＭＳ Ｐゴシック";
constexpr int kButtonPitch = 23;  // buttons stand 23 pixels apart
constexpr int kSeparatorWidth = 8;
constexpr int kGlyphSide = 18;

// The picture of a button: the mark's glyph in the blue the boards draw it in on empty points.
QPixmap GlyphPicture(std::string_view glyph) {
  QPixmap picture(kGlyphSide, kGlyphSide);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setFont(PixelFont(kFont, 15, true));
  painter.setPen(QColor(0, 0, 255));
  painter.drawText(picture.rect(), Qt::AlignCenter,
                   QString::fromUtf8(glyph.data(), static_cast<qsizetype>(glyph.size())));
  return picture;
}

}  // namespace

TForm15::TForm15() {
  CreateControls();
  setWindowIcon(Form4 != nullptr ? Form4->windowIcon() : ClientIcon());
  SetWindowLeft(this, 250);
  SetWindowTop(this, 0);
  SelectedMark = 0;
}

void TForm15::CreateControls() {
  setWindowTitle(QString::fromUtf8(" ヌ ル カ  -  記 号 付 け"));
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFont(PixelFont(kFont, 12));
  setFixedSize(332, 25);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(2, 1, 2, 1);
  row->setSpacing(0);
  for (const MarkKind& kind : kMarkKinds) {
    if (kind.Code == kFirstLabelCode) row->addSpacing(kSeparatorWidth);
    auto* button = new QToolButton(this);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(kButtonPitch, 23);
    button->setIcon(GlyphPicture(kind.Glyph));
    button->setIconSize(QSize(kGlyphSide, kGlyphSide));
    const int code = kind.Code;
    connect(button, &QToolButton::clicked, this, [this, code] { ToolButtonClick(code); });
    ToolButtons[static_cast<std::size_t>(code)] = button;
    row->addWidget(button);
  }
  row->addStretch();
}

void TForm15::ToolButtonClick(int code) {
  if (!IsMarkCode(code)) return;
  if (ToolButtons[static_cast<std::size_t>(code)]->isChecked()) {
    if (SelectedMark > 0 && SelectedMark != code) ReleaseMarkButton();
    SelectedMark = code;
  } else {
    SelectedMark = 0;
  }
}

void TForm15::ReleaseMarkButton() {
  if (IsMarkCode(SelectedMark))
    ToolButtons[static_cast<std::size_t>(SelectedMark)]->setChecked(false);
}

void TForm15::FormShow() {
  if (SelectedMark > 0) ReleaseMarkButton();
  SelectedMark = 0;
  // While the counting board runs modally the strip belongs to it, so that it stays usable.
  const bool editor = Form7 != nullptr && Form7->isVisible();
  if (windowHandle() != nullptr) {
    windowHandle()->setTransientParent(editor ? Form7->windowHandle() : nullptr);
  }
  // The game-list board keeps its place; otherwise the board below the strip moves down.
  if (Form14 != nullptr && Form14->isVisible()) return;
  if (Form7 != nullptr && Form7->isVisible()) {
    SetWindowTop(Form7, 50);
  } else if (Form4 != nullptr) {
    SetWindowTop(Form4, 50);
  }
}

void TForm15::FormHide() {
  if (SelectedMark > 0) ReleaseMarkButton();
  SelectedMark = 0;
  if (Form7 != nullptr && Form7->isVisible()) {
    SetWindowTop(Form7, 15);
  } else if (Form4 != nullptr) {
    SetWindowTop(Form4, 1);
  }
}

void TForm15::FormKeyPress(int key) {
  if (key == ' ' && SelectedMark > 0 && Form4 != nullptr) Form4->SpaceHeld = 1;
}

void TForm15::FormKeyUp() {
  if (Form4 != nullptr) Form4->SpaceHeld = 0;
}

void TForm15::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm15::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TForm15::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) FormKeyPress(' ');
  QWidget::keyPressEvent(event);
}

void TForm15::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) FormKeyUp();
  QWidget::keyReleaseEvent(event);
}
