// platform/memo_view.h — a read-only memo widget that shows a LineList and follows its changes.
#pragma once
#include <QPlainTextEdit>

#include "platform/line_list.h"

class MemoView;
class QTimer;

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
  // Shows at most the newest `count` lines of the list (0: all); the older ones leave the view
  // but stay in the list. Appended lines are then shown together a moment later, so that a burst
  // of lines costs the view at most `count` lines of layout per showing.
  void SetMaximumLines(int count);
  // The whole shown text in cp932, lines joined by CR LF (what a user sees once the view has
  // caught up with its list, for tests).
  std::string ShownText() const;
  // The height in pixels that shows every line of the text without scrolling, the frame and the
  // margins included.
  int TextHeight() const;

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Refresh(LineList::Change change);
  // Shows the lines appended since the last showing.
  void ShowAppended();

  LineList* lines_ = nullptr;
  int unshown_ = 0;  // lines appended to the list and not yet shown (bounded views only)
  QTimer* show_timer_ = nullptr;
};
