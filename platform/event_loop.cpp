// platform/event_loop.cpp — the event loop's dispatcher, asked for through Qt's environment.
#include "platform/event_loop.h"

#include <cstdlib>

namespace {
bool asked = false;  // QT_NO_GLIB was set here, not by the user
}  // namespace

void PreferQtEventDispatcher() {
  if (std::getenv("QT_NO_GLIB") != nullptr) return;
  setenv("QT_NO_GLIB", "1", 1);
  asked = true;
}

void LeaveEventDispatcherToOthers() {
  if (!asked) return;
  unsetenv("QT_NO_GLIB");
  asked = false;
}
