// The X server's screen modes: the list to offer, switching the screen for full-screen play, and
// putting the desktop's mode back (on close, at exit, and through a guardian process if the
// program dies first).
#pragma once
#include <vector>

#include "platform/draw_driver.h"

typedef struct _XDisplay Display;  // as Xlib declares it

// The server's full-screen modes (XFree86 video modes when it has them, else RandR sizes, else
// the desktop) at the desktop's depth, then the window sizes that fit on the desktop (depth 0).
std::vector<TGraphicsMode> ListX11Modes(Display* dpy);
// Switches the default screen to width x height, saving the desktop's mode first; true when the
// screen now has that size.
bool SwitchX11Mode(Display* dpy, int width, int height);
// Puts the desktop's mode back if it was switched on dpy (before dpy closes).
void RestoreX11DesktopMode(Display* dpy);
