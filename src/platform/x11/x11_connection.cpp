// The X server connection and the X error handler.
#include "platform/x11/x11_connection.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>

#include "platform/display.h"
#include "platform/platform_log.h"

namespace {

// Errors are counted and the first of each kind (error and request code) becomes one warning: a
// refused mode switch or a missing extension must not end the program (each call that can fail is
// checked by its own result), but it should leave a trace, and only one per kind so a request
// repeated every frame can't flood the log.
struct TErrorKind {
  int error = 0;
  int request = 0;
};

std::mutex error_lock;
int error_count = 0;
TErrorKind reported[64];
int reported_count = 0;

int CountXError(Display* dpy, XErrorEvent* event) {
  bool first = true;
  {
    std::lock_guard<std::mutex> hold(error_lock);
    ++error_count;
    for (int i = 0; i < reported_count && first; ++i)
      first = reported[i].error != event->error_code || reported[i].request != event->request_code;
    // Past the table's end every kind counts as seen: the log is not worth an allocation here.
    if (first && reported_count == int(sizeof reported / sizeof reported[0])) first = false;
    if (first) reported[reported_count++] = {event->error_code, event->request_code};
  }
  if (!first) return 0;
  char text[128] = "";
  XGetErrorText(dpy, event->error_code, text, sizeof text);  // local text, no request
  PlatformWarning("Graphics: X error " + std::to_string(int(event->error_code)) + " (" + text +
                  ") on request " + std::to_string(int(event->request_code)) + "." +
                  std::to_string(int(event->minor_code)) + "; later ones of this kind are only counted");
  return 0;
}

}  // namespace

Display* ConnectX11Display() {
  static bool handler_set = false;
  if (!handler_set) {
    handler_set = true;
    XSetErrorHandler(CountXError);
  }
  if (!std::getenv("DISPLAY")) return nullptr;
  // A connection made right after another closed is now and then refused by the server.
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (Display* dpy = XOpenDisplay(nullptr)) return dpy;
    const timespec pause{0, 20000000};
    nanosleep(&pause, nullptr);
  }
  return nullptr;
}

// It lists the modes while no window is open, and it keeps the renderer loaded between windows: a
// mode change then doesn't reload it, and the renderer's own caches, which it frees only when
// unloaded, stay where they belong.
Display* ResidentX11Connection() {
  static Display* resident = nullptr;
  static bool tried = false;
  if (!tried) {
    tried = true;
    resident = ConnectX11Display();
    int error_base = 0;
    int event_base = 0;
    if (resident && glXQueryExtension(resident, &error_base, &event_base)) {
      int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, None};
      if (XVisualInfo* visual = glXChooseVisual(resident, DefaultScreen(resident), attributes)) XFree(visual);
    }
  }
  return resident;
}

std::string XDisplayName() {
  const char* name = std::getenv("DISPLAY");
  return name ? name : "";
}

bool XDisplayReachable() { return ResidentX11Connection() != nullptr; }

int X11ErrorCount() {
  std::lock_guard<std::mutex> hold(error_lock);
  return error_count;
}

int ProvokeX11ErrorsForTest(int times) {
  Display* dpy = ConnectX11Display();
  if (!dpy) return -1;
  {
    std::lock_guard<std::mutex> hold(error_lock);
    reported_count = 0;
  }
  const int before = X11ErrorCount();
  // Client ids carry the client's base; 0x7fffffff lies outside any a server hands out.
  for (int i = 0; i < times; ++i) XMapWindow(dpy, Window(0x7fffffff));
  XSync(dpy, False);
  XCloseDisplay(dpy);
  return X11ErrorCount() - before;
}
