// client/views/panel_button.h — a raised panel with a caption that acts as a button, as the
// counting board's "計 算" and "戻 る" are: a press with the left button is a click.
#pragma once
#include <QLabel>
#include <QMouseEvent>
#include <functional>

class PanelButton : public QLabel {
 public:
  explicit PanelButton(QWidget* parent = nullptr) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
  }

  std::function<void()> OnClick;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && OnClick) OnClick();
  }
};
