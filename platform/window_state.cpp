// platform/window_state.cpp — window placement and states on Qt.
#include "platform/window_state.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

void PreferX11WindowSystem() {
  if (std::getenv("QT_QPA_PLATFORM") != nullptr) return;
  const char* display = std::getenv("DISPLAY");
  if (display != nullptr && *display != '\0') setenv("QT_QPA_PLATFORM", "xcb", 1);
}

namespace {
QRect ScreenRect() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) return screen->geometry();
  return {0, 0, 1024, 768};
}
}  // namespace

int ScreenWidth() { return ScreenRect().width(); }
int ScreenHeight() { return ScreenRect().height(); }

int WindowWidth(const QWidget* window) { return window->frameGeometry().width(); }
int WindowHeight(const QWidget* window) { return window->frameGeometry().height(); }
int WindowLeft(const QWidget* window) { return window->x(); }
int WindowTop(const QWidget* window) { return window->y(); }

void SetWindowLeft(QWidget* window, int left) { window->move(left, window->y()); }
void SetWindowTop(QWidget* window, int top) { window->move(window->x(), top); }

void SetWindowBounds(QWidget* window, int left, int top, int width, int height) {
  const int frame_width = window->frameGeometry().width() - window->width();
  const int frame_height = window->frameGeometry().height() - window->height();
  window->resize(std::max(1, width - frame_width), std::max(1, height - frame_height));
  window->move(left, top);
}

void CentreWindow(QWidget* window) {
  const QRect screen = ScreenRect();
  window->move(screen.x() + (screen.width() - WindowWidth(window)) / 2,
               screen.y() + (screen.height() - WindowHeight(window)) / 2);
}

bool IsMinimized(const QWidget* window) { return window->windowState() & Qt::WindowMinimized; }

bool IsNormalState(const QWidget* window) {
  return !(window->windowState() &
           (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void MinimizeWindow(QWidget* window) {
  window->setWindowState(window->windowState() | Qt::WindowMinimized);
}

void SetNormalState(QWidget* window) {
  window->setWindowState(window->windowState() &
                         ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void RequestAttention(QWidget* window) { QApplication::alert(window); }

void BringToFront(QWidget* window) {
  window->raise();
  window->activateWindow();
}
