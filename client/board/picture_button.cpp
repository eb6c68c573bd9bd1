// Pictures that act as buttons on the board window.
#include "client/board/picture_button.h"

#include <QMouseEvent>
#include <QPainter>

PictureButton::PictureButton(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::PointingHandCursor);
  setMouseTracking(true);
}

void PictureButton::SetPicture(const QImage& picture) {
  picture_ = picture;
  if (!picture_.isNull()) resize(picture_.size());
  update();
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!picture_.isNull()) {
    painter.drawImage(0, 0, picture_);
    return;
  }
  painter.fillRect(rect(), palette().button());
  painter.setPen(palette().buttonText().color());
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.drawText(rect(), Qt::AlignCenter, fallback_);
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  pressed_ = event->button() == Qt::LeftButton;
  if (OnMouseDown) OnMouseDown(event->button(), at.x(), at.y());
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (click && OnClick) OnClick();
}

void PictureButton::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (OnMouseMove) OnMouseMove(at.x(), at.y());
}
