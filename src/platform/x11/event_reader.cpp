// The X11 event reader.
#include "platform/x11/event_reader.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/x11/x11_keys.h"

namespace {

// Typed characters as Latin-1 bytes (X's own string lookup yields Latin-1).
void PostCharacters(XEvent& ev) {
  char text[16];
  KeySym ignored = 0;
  const int n = XLookupString(&ev.xkey, text, sizeof text, &ignored, nullptr);
  for (int i = 0; i < n && i < int(sizeof text); ++i)
    if (text[i]) PostEvent({EVENT_KEYCHAR, static_cast<unsigned char>(text[i]), 0, 0});
}

}  // namespace

void TX11EventReader::Attach(Display* dpy, unsigned long window) {
  Detach();
  display_ = dpy;
  Atom wm_delete = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(dpy, Window(window), &wm_delete, 1);
  wm_delete_ = wm_delete;
  Bool detectable = False;
  detectable_repeat_ = XkbSetDetectableAutoRepeat(dpy, True, &detectable) && detectable;
  AddEventSource(this);
}

void TX11EventReader::Detach() {
  RemoveEventSource(this);
  display_ = nullptr;
}

void TX11EventReader::Pump() {
  if (!display_) return;
  while (XPending(display_) > 0) {
    XEvent ev;
    XNextEvent(display_, &ev);
    Translate(ev);
  }
}

void TX11EventReader::PostKey(XEvent& ev) {
  const bool numlock = (ev.xkey.state & Mod2Mask) != 0;
  KeySym sym = XLookupKeysym(&ev.xkey, 0);
  if (numlock) {
    // With Num Lock the keypad's second symbol is its digit.
    const KeySym shifted = XLookupKeysym(&ev.xkey, 1);
    if ((shifted >= XK_KP_0 && shifted <= XK_KP_9) || shifted == XK_KP_Decimal) sym = shifted;
  }
  const int id = ev.type == KeyPress ? EVENT_KEYDOWN : EVENT_KEYUP;
  const int code = KeyCodeFromKeysym(sym, numlock);
  if (code) PostEvent({id, code, 0, 0});
  // Without Num Lock a keypad key is a cursor key, but the editor reads it by its place on the
  // pad: it is reported as both.
  if (!numlock) {
    const int pad = KeyCodeFromKeysym(XLookupKeysym(&ev.xkey, 1), true);
    if (pad >= 96 && pad <= 110 && pad != code) PostEvent({id, pad, 0, 0});
  }
}

void TX11EventReader::Translate(XEvent& ev) {
  switch (ev.type) {
    case KeyRelease:
      // Without detectable auto-repeat a held key sends release and press pairs with one time
      // stamp; the pair is not a new press.
      if (!detectable_repeat_ && XEventsQueued(display_, QueuedAfterReading) > 0) {
        XEvent next;
        XPeekEvent(display_, &next);
        if (next.type == KeyPress && next.xkey.time == ev.xkey.time && next.xkey.keycode == ev.xkey.keycode) {
          XNextEvent(display_, &next);
          PostCharacters(next);
          break;
        }
      }
      PostKey(ev);
      break;
    case KeyPress:
      PostKey(ev);
      PostCharacters(ev);
      break;
    case ButtonPress:
    case ButtonRelease: {
      PostEvent({EVENT_MOUSEMOVE, 0, ev.xbutton.x, ev.xbutton.y});
      const unsigned b = ev.xbutton.button;
      if (b == Button4 || b == Button5) {
        if (ev.type == ButtonPress) PostEvent({EVENT_MOUSEWHEEL, b == Button4 ? 1 : -1, 0, 0});
        break;
      }
      const int button = b == Button1 ? 1 : b == Button3 ? 2 : b == Button2 ? 3 : 0;
      if (button) PostEvent({ev.type == ButtonPress ? EVENT_MOUSEDOWN : EVENT_MOUSEUP, button, 0, 0});
      break;
    }
    case MotionNotify:
      PostEvent({EVENT_MOUSEMOVE, 0, ev.xmotion.x, ev.xmotion.y});
      break;
    case ClientMessage:
      if (Atom(ev.xclient.data.l[0]) == wm_delete_) PostEvent({EVENT_APPTERMINATE, 0, 0, 0});
      break;
    case FocusIn:
      if (ev.xfocus.mode == NotifyNormal) PostEvent({EVENT_APPRESUME, 0, 0, 0});
      break;
    case FocusOut:
      if (ev.xfocus.mode == NotifyNormal) PostEvent({EVENT_APPSUSPEND, 0, 0, 0});
      break;
    default:
      break;
  }
}
