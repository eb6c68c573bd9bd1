// tests/client/connection/modal_answer.h — answering a modal dialog from inside its own event
// loop, as a user does, without ever leaving a test hanging on it.
#pragma once
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

#include "tests/qt_wait.h"

class ModalAnswer {
 public:
  // Once `dialog` is shown, `answer` runs inside its event loop (it presses a button, or checks
  // and then presses). A dialog still open after `timeout_ms` is cancelled with result 2, so a
  // test that fails goes on.
  ModalAnswer(QDialog* dialog, std::function<void()> answer, int timeout_ms = kWaitMs)
      : dialog_(dialog), answer_(std::move(answer)), timeout_ms_(timeout_ms) {
    clock_.start();
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }

  // The answer ran.
  bool answered() const { return answered_; }
  // The dialog was still open at the timeout and was cancelled.
  bool timed_out() const { return timed_out_; }

 private:
  void Poll() {
    if (!answered_ && dialog_->isVisible()) {
      answered_ = true;
      answer_();
      return;
    }
    // Answered and closed: a later showing is not this answer's business.
    if (answered_ && !dialog_->isVisible()) return timer_.stop();
    if (clock_.elapsed() > timeout_ms_) {
      timer_.stop();
      if (dialog_->isVisible()) {
        timed_out_ = true;
        dialog_->done(2);
      }
    }
  }

  QDialog* dialog_;
  std::function<void()> answer_;
  int timeout_ms_;
  QElapsedTimer clock_;
  QTimer timer_;
  bool answered_ = false;
  bool timed_out_ = false;
};
