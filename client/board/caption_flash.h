// client/board/caption_flash.h — a window caption that flashes "◆◆◆ caption ◆◆◆" on a timer to
// catch the user's eye (the board window and the counting board), while events go on being served.
#pragma once
#include <string>

class QTimer;
class QWidget;

class CaptionFlash {
 public:
  // Flashes `window`'s title `steps` times, one step every `stepMs` milliseconds.
  CaptionFlash(QWidget* window, int steps, int stepMs);

  // The caption (cp932); shown marked while a flash runs.
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return caption_; }
  // Asks the desktop for attention and starts the flash over.
  void Start();
  bool Active() const;

 private:
  void Step();
  void Show();

  QWidget* window_;
  QTimer* timer_;
  int steps_;
  int steps_left_ = 0;
  bool marked_ = false;
  std::string caption_;
};
