// platform/termination.h — SIGTERM and SIGINT delivered to the event loop as an ordinary event.
#pragma once
#include <functional>

// From now on SIGTERM and SIGINT call `handler` on the event loop (never inside the signal).
void OnTerminationSignal(std::function<void()> handler);
