// The OpenGL driver's window and GLX context.
#include "platform/gl/gl_window.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/app.h"
#include "platform/platform_log.h"
#include "platform/x11/video_modes.h"
#include "platform/x11/x11_connection.h"

bool TGLWindow::Open(int width, int height, int depth) {
  Close();
  ResidentX11Connection();  // keeps the renderer loaded across windows
  display_ = ConnectX11Display();
  if (!display_) {
    const char* name = std::getenv("DISPLAY");
    PlatformWarning(std::string("Graphics: can't open the X display \"") + (name ? name : "") + "\"");
    return false;
  }
  screen_ = DefaultScreen(display_);
  if (!Create(width, height, depth)) {
    Close();
    return false;
  }
  return true;
}

bool TGLWindow::Create(int width, int height, int depth) {
  int glx_error = 0;
  int glx_event = 0;
  if (!glXQueryExtension(display_, &glx_error, &glx_event)) {
    PlatformWarning("Graphics: the X server has no GLX");
    return false;
  }
  fullscreen_ = depth != 0;
  if (fullscreen_) {
    bool listed = false;
    for (const TGraphicsMode& m : ListX11Modes(display_))
      listed = listed || (m.width == width && m.height == height && m.depth == depth);
    if (!listed || !SwitchX11Mode(display_, width, height)) {
      PlatformWarning("Graphics: no full-screen mode " + std::to_string(width) + "x" + std::to_string(height) +
                      "x" + std::to_string(depth));
      return false;
    }
  }
  int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
  XVisualInfo* visual = glXChooseVisual(display_, screen_, attributes);
  if (!visual) {
    PlatformWarning("Graphics: no double-buffered RGB visual");
    return false;
  }
  Window root = RootWindow(display_, screen_);
  XSetWindowAttributes wa{};
  wa.colormap = XCreateColormap(display_, root, visual->visual, AllocNone);
  wa.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                  FocusChangeMask | StructureNotifyMask | ExposureMask;
  wa.override_redirect = fullscreen_ ? True : False;
  wa.background_pixel = BlackPixel(display_, screen_);
  window_ = XCreateWindow(display_, root, 0, 0, unsigned(width), unsigned(height), 0, visual->depth, InputOutput,
                          visual->visual, CWColormap | CWEventMask | CWOverrideRedirect | CWBackPixel, &wa);
  context_ = window_ ? glXCreateContext(display_, visual, nullptr, True) : nullptr;
  XFree(visual);
  if (!window_ || !context_) {
    PlatformWarning("Graphics: can't create the window or its GL context");
    return false;
  }

  XStoreName(display_, window_, AppTitle().c_str());
  if (XSizeHints* hints = XAllocSizeHints()) {
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display_, window_, hints);
    XFree(hints);
  }
  events_.Attach(display_, window_);

  XMapRaised(display_, window_);
  WaitForMap();
  if (fullscreen_) {
    XGrabKeyboard(display_, window_, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    XGrabPointer(display_, window_, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                 GrabModeAsync, window_, None, CurrentTime);
    XWarpPointer(display_, None, window_, 0, 0, 0, 0, width / 2, height / 2);
  }
  XSetInputFocus(display_, window_, RevertToParent, CurrentTime);

  if (!glXMakeCurrent(display_, window_, context_)) {
    PlatformWarning("Graphics: can't make the GL context current");
    return false;
  }
  swap_ext_ = reinterpret_cast<SwapIntervalExt>(glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
  swap_mesa_ = reinterpret_cast<SwapIntervalMesa>(glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
  swap_interval_ = -1;
  ShowPointer(pointer_visible_);
  return true;
}

void TGLWindow::Close() {
  events_.Detach();
  if (display_) {
    if (context_) {
      glXMakeCurrent(display_, None, nullptr);
      glXDestroyContext(display_, context_);
    }
    if (fullscreen_) {
      XUngrabPointer(display_, CurrentTime);
      XUngrabKeyboard(display_, CurrentTime);
    }
    if (window_) XDestroyWindow(display_, window_);
    if (blank_cursor_) XFreeCursor(display_, blank_cursor_);
    RestoreX11DesktopMode(display_);
    XCloseDisplay(display_);
  }
  display_ = nullptr;
  context_ = nullptr;
  window_ = 0;
  blank_cursor_ = 0;
  fullscreen_ = false;
}

void TGLWindow::Swap(int sync) {
  if (!context_) return;
  if (sync >= 0 && sync != swap_interval_) {
    swap_interval_ = sync;
    if (swap_ext_) swap_ext_(display_, window_, sync);
    else if (swap_mesa_) swap_mesa_(unsigned(sync));
  }
  glXSwapBuffers(display_, window_);
}

void TGLWindow::MovePointer(int x, int y) {
  if (!display_ || !window_) return;
  XWarpPointer(display_, None, window_, 0, 0, 0, 0, x, y);
  XFlush(display_);
}

void TGLWindow::ShowPointer(bool visible) {
  pointer_visible_ = visible;
  if (!display_ || !window_) return;
  if (visible) XUndefineCursor(display_, window_);
  else XDefineCursor(display_, window_, BlankCursor());
  XFlush(display_);
}

unsigned long TGLWindow::BlankCursor() {
  if (blank_cursor_) return blank_cursor_;
  static const char bits[1] = {0};
  Pixmap blank = XCreateBitmapFromData(display_, window_, bits, 1, 1);
  XColor black{};
  blank_cursor_ = XCreatePixmapCursor(display_, blank, blank, &black, &black, 0, 0);
  XFreePixmap(display_, blank);
  return blank_cursor_;
}

void TGLWindow::WaitForMap() {
  XSync(display_, False);
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (;;) {
    XEvent ev;
    if (XCheckTypedWindowEvent(display_, window_, MapNotify, &ev)) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if ((now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000 > 3000) return;
    const timespec pause{0, 2000000};
    nanosleep(&pause, nullptr);
  }
}
