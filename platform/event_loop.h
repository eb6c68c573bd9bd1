// platform/event_loop.h — how the event loop waits, chosen before the application object exists.
#pragma once

// Asks Qt for its own event dispatcher rather than GLib's main loop for the application object
// made next (unless the user chose already through QT_NO_GLIB): every wake-up is one poll of the
// watched descriptors, then their handlers. Call right before making the application object and
// LeaveEventDispatcherToOthers() right after it.
void PreferQtEventDispatcher();
// Takes back what PreferQtEventDispatcher() asked, so that programs started later (the viewer of
// a log file) choose their own.
void LeaveEventDispatcherToOthers();
