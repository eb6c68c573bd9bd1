// platform/termination.cpp — a self-pipe turns the signals into a socket-notifier event.
#include "platform/termination.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace {
int g_pipe[2] = {-1, -1};

void WriteSignal(int signal_number) {
  const char byte = static_cast<char>(signal_number);
  [[maybe_unused]] const auto written = ::write(g_pipe[1], &byte, 1);
}
}  // namespace

void OnTerminationSignal(std::function<void()> handler, bool hangup) {
  static std::function<void()> g_handler;
  static QSocketNotifier* notifier = nullptr;
  g_handler = std::move(handler);
  if (notifier != nullptr) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) return;
  ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
  notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read);
  QObject::connect(notifier, &QSocketNotifier::activated, [] {
    char byte;
    [[maybe_unused]] const auto got = ::read(g_pipe[0], &byte, 1);
    if (g_handler) g_handler();
  });
  struct sigaction action {};
  action.sa_handler = WriteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
  if (hangup) ::sigaction(SIGHUP, &action, nullptr);
}
