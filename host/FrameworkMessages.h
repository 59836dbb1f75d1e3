// The GUI framework's pending messages (timers, repaints, window events) run from the
// host's message loop. On Windows the system's loop delivers them to the framework's own
// windows; an X11 host's loop knows nothing of the framework's connection and queue, so
// the plugin object runs them when the host's dialog loop is idle (WM_ENTERIDLE).
#pragma once

// Runs what is pending now and returns; never waits.
void dispatchFrameworkMessages();
