// Reads an X window's events into the input queue: keys as game codes (a held key's repeats are
// not new presses), typed characters, mouse buttons, wheel and motion, the window manager's close,
// and focus changes as suspend and resume.
#pragma once
#include "platform/input.h"

typedef struct _XDisplay Display;  // as Xlib declares it
union _XEvent;

class TX11EventReader : public TEventSource {
 public:
  ~TX11EventReader() override { Detach(); }
  // Starts reading window's events: asks for the close message and detectable auto-repeat, and
  // registers with the input layer.
  void Attach(Display* dpy, unsigned long window);
  void Detach();
  void Pump() override;

 private:
  void Translate(union _XEvent& ev);
  void PostKey(union _XEvent& ev);

  Display* display_ = nullptr;
  unsigned long wm_delete_ = 0;     // the close message's atom
  bool detectable_repeat_ = false;  // the server reports held keys without release/press pairs
};
