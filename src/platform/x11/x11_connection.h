// The X server connection: connecting (with retries), the connection kept for the whole run, and
// the X error handler, which counts errors and reports the first of each kind as a warning.
#pragma once

// Xlib's own name for a connection (the same declaration as its header's), so callers outside the
// platform's X11 files need not include Xlib.
typedef struct _XDisplay Display;

// Opens a connection to $DISPLAY, retrying a refusal a few times; nullptr when there is none.
// Installs the error handler on first use.
Display* ConnectX11Display();
// A connection kept open for the whole run with GLX started on it; nullptr without a server.
Display* ResidentX11Connection();
// X errors seen since the start.
int X11ErrorCount();

// Test hook: sends `times` identical requests on a window id no client owns, on a connection of
// its own, and returns the errors counted meanwhile (-1 without a server). The kinds already
// reported are forgotten first, so the call's first error is reported again.
int ProvokeX11ErrorsForTest(int times);
