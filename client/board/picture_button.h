// client/board/picture_button.h — a picture that acts as a button on the board window: it shows
// its picture and reports presses with the position inside it, releases as clicks, and mouse
// moves; the owner sets what each does.
#pragma once
#include <QImage>
#include <QWidget>
#include <functional>

class PictureButton : public QWidget {
 public:
  explicit PictureButton(QWidget* parent = nullptr);

  // Shows `picture` at its own size; the button takes that size.
  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return picture_; }
  // Shown in place of the picture while there is none.
  void SetFallbackText(const QString& text) { fallback_ = text; }

  // A mouse button went down at (x, y) within the picture.
  std::function<void(Qt::MouseButton button, int x, int y)> OnMouseDown;
  // The left button went up over the button after going down on it.
  std::function<void()> OnClick;
  // The mouse moved to (x, y) within the picture.
  std::function<void(int x, int y)> OnMouseMove;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QImage picture_;
  QString fallback_;
  bool pressed_ = false;
};
