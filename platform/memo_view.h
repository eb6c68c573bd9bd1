// platform/memo_view.h — a read-only memo widget that shows a LineList and follows its changes.
#pragma once
#include <QPlainTextEdit>

#include "platform/line_list.h"

class MemoView;

// A wrapping line memo of the client's talk windows (game chat, message board): `font`, vertical
// scroll bar, arrow cursor, the given background and text colours (0xBBGGRR), bound to `lines`.
MemoView* MakeTalkMemo(QWidget* parent, const QFont& font, unsigned background, unsigned text,
                       LineList* lines);

class MemoView : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit MemoView(QWidget* parent = nullptr);
  ~MemoView() override;
  // Shows `lines` from now on; the list must outlive the view or be unbound first.
  void Bind(LineList* lines);
  // The whole shown text in cp932, lines joined by CR LF (what a user sees, for tests).
  std::string ShownText() const;

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Refresh(LineList::Change change);

  LineList* lines_ = nullptr;
};
