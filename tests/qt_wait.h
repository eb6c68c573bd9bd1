// tests/qt_wait.h — waiting for a condition while the event loop runs (never a fixed sleep).
#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

// How long a test waits for what it expects. Generous, because the machine may be loaded by
// parallel builds and tests under sanitizers; a passing test never waits it out.
inline constexpr int kWaitMs = 30000;
// How long a test waits for a program it started to answer for the first time, or to end.
inline constexpr int kProgramStartMs = 120000;

// Runs the event loop until `done()` holds or `timeout_ms` passed; returns `done()`.
template <typename Done>
bool WaitFor(Done&& done, int timeout_ms = kWaitMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeout_ms) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  }
  return true;
}
