#include "client/board/caption_flash.h"

#include <QTimer>
#include <QWidget>

#include "platform/cp932.h"
#include "platform/qt_text.h"
#include "platform/window_state.h"

CaptionFlash::CaptionFlash(QWidget* window, int steps, int stepMs)
    : window_(window), timer_(new QTimer(window)), steps_(steps) {
  timer_->setInterval(stepMs);
  QObject::connect(timer_, &QTimer::timeout, window, [this] { Step(); });
}

void CaptionFlash::SetCaption(const std::string& caption) {
  caption_ = caption;
  Show();
}

void CaptionFlash::Start() {
  steps_left_ = steps_;
  marked_ = false;
  RequestAttention(window_);
  Step();
  timer_->start();
}

bool CaptionFlash::Active() const { return timer_->isActive(); }

void CaptionFlash::Step() {
  if (steps_left_ <= 0) {
    timer_->stop();
    marked_ = false;
  } else {
    --steps_left_;
    marked_ = !marked_;
  }
  Show();
}

void CaptionFlash::Show() {
  window_->setWindowTitle(ToQt(marked_ ? J("◆◆◆ ") + caption_ + J(" ◆◆◆") : caption_));
}
