// platform/termination.h — SIGTERM, SIGINT and SIGHUP delivered to the event loop as an ordinary
// event.
#pragma once
#include <functional>

// From now on SIGTERM and SIGINT, and with `hangup` also SIGHUP (its terminal went away), call
// `handler` on the event loop (never inside the signal).
void OnTerminationSignal(std::function<void()> handler, bool hangup = false);
