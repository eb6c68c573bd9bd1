// tests/qt_wait.h — waiting for a condition while the event loop runs (never a fixed sleep).
#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

// Runs the event loop until `done()` holds or `timeout_ms` passed; returns `done()`.
template <typename Done>
bool WaitFor(Done&& done, int timeout_ms = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeout_ms) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  }
  return true;
}
