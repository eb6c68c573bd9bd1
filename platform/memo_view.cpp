// platform/memo_view.cpp — read-only memo over a LineList.
#include "platform/memo_view.h"

#include <QMouseEvent>

#include "platform/memo_colors.h"
#include "platform/qt_text.h"

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
    appendPlainText(ToQt(lines_->Line(lines_->Count() - 1)));
    return;
  }
  std::string joined;
  for (int i = 0; i < lines_->Count(); ++i) {
    if (i > 0) joined += '\n';
    joined += lines_->Line(i);
  }
  setPlainText(ToQt(joined));
}

std::string MemoView::ShownText() const {
  std::string text = FromQt(toPlainText());
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
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
