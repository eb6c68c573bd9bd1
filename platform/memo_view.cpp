// platform/memo_view.cpp — read-only memo over a LineList.
#include "platform/memo_view.h"

#include <QMouseEvent>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "platform/memo_colors.h"
#include "platform/qt_text.h"

namespace {
// How long appended lines of a bounded view wait to be shown together.
constexpr int kShowDelayMs = 100;
}  // namespace

MemoView::MemoView(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setFocusPolicy(Qt::NoFocus);
  setUndoRedoEnabled(false);
  setLineWrapMode(QPlainTextEdit::NoWrap);
}

MemoView::~MemoView() { Bind(nullptr); }

void MemoView::Bind(LineList* lines) {
  if (lines_ != nullptr) lines_->SetListener(nullptr);
  lines_ = lines;
  if (lines_ == nullptr) return;
  lines_->SetListener([this](LineList::Change change) { Refresh(change); });
  Refresh(LineList::Change::Reset);
}

void MemoView::Refresh(LineList::Change change) {
  if (change == LineList::Change::Appended && lines_->Count() > 0) {
    if (maximumBlockCount() <= 0) {
      appendPlainText(ToQt(lines_->Line(lines_->Count() - 1)));
      return;
    }
    ++unshown_;
    if (!show_timer_->isActive()) show_timer_->start();
    return;
  }
  unshown_ = 0;
  if (show_timer_ != nullptr) show_timer_->stop();
  const int shown = maximumBlockCount() > 0 ? maximumBlockCount() : lines_->Count();
  const int first = std::max(lines_->Count() - shown, 0);
  std::string joined;
  for (int i = first; i < lines_->Count(); ++i) {
    if (i > first) joined += '\n';
    joined += lines_->Line(i);
  }
  setPlainText(ToQt(joined));
}

void MemoView::SetMaximumLines(int count) {
  setMaximumBlockCount(std::max(count, 0));
  if (show_timer_ == nullptr) {
    show_timer_ = new QTimer(this);
    show_timer_->setSingleShot(true);
    show_timer_->setInterval(kShowDelayMs);
    connect(show_timer_, &QTimer::timeout, this, [this] { ShowAppended(); });
  }
  if (lines_ != nullptr) Refresh(LineList::Change::Reset);
}

void MemoView::ShowAppended() {
  if (show_timer_ != nullptr) show_timer_->stop();
  const int count = lines_ == nullptr ? 0 : std::min(unshown_, lines_->Count());
  unshown_ = 0;
  if (count <= 0) return;
  // More new lines than the view keeps: it shows the newest ones afresh.
  if (count >= maximumBlockCount()) return Refresh(LineList::Change::Reset);
  const int first = lines_->Count() - count;
  std::string joined;
  for (int i = first; i < lines_->Count(); ++i) {
    if (i > first) joined += '\n';
    joined += lines_->Line(i);
  }
  appendPlainText(ToQt(joined));
}

std::string MemoView::ShownText() const {
  // Lines still waiting for their showing are shown first, as the next moment would.
  if (unshown_ > 0) const_cast<MemoView*>(this)->ShowAppended();
  std::string text = FromQt(toPlainText());
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

int MemoView::TextHeight() const {
  if (unshown_ > 0) const_cast<MemoView*>(this)->ShowAppended();
  qreal lines = 0;
  for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
    lines += blockBoundingRect(block).height();
  }
  const qreal margins = 2 * document()->documentMargin() + 2 * frameWidth() +
                        contentsMargins().top() + contentsMargins().bottom();
  return static_cast<int>(std::ceil(lines + margins));
}

void MemoView::mousePressEvent(QMouseEvent* event) {
  QPlainTextEdit::mousePressEvent(event);
  emit clicked();
}

MemoView* MakeTalkMemo(QWidget* parent, const QFont& font, unsigned background, unsigned text,
                       LineList* lines) {
  auto* memo = new MemoView(parent);
  memo->setFont(font);
  memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->viewport()->setCursor(Qt::ArrowCursor);
  SetMemoColor(memo, background);
  SetMemoTextColor(memo, text);
  memo->Bind(lines);
  return memo;
}
