// The window the OpenGL driver draws into: its own X connection, the full-screen mode switch, an
// X11 window (override-redirect and grabbing input when full screen) with a current GLX context,
// the buffer swap with its interval, the pointer, and the window's event reader.
#pragma once
#include "platform/x11/event_reader.h"

struct __GLXcontextRec;  // as GLX declares its context

class TGLWindow {
 public:
  TGLWindow() = default;
  TGLWindow(const TGLWindow&) = delete;
  TGLWindow& operator=(const TGLWindow&) = delete;
  ~TGLWindow() { Close(); }

  // depth 0 opens a window; otherwise the screen switches to a listed full-screen mode first. On
  // success the context is current; on failure a warning says why and nothing is left open.
  bool Open(int width, int height, int depth);
  // Releases the context and the window, and puts the desktop's mode back.
  void Close();
  bool IsOpen() const { return context_ != nullptr; }
  Display* display() const { return display_; }

  void Swap(int sync);  // sync as the driver's Flip takes it
  void MovePointer(int x, int y);
  void ShowPointer(bool visible);  // remembered while closed, applied at open

 private:
  bool Create(int width, int height, int depth);
  void WaitForMap();
  unsigned long BlankCursor();

  using SwapIntervalExt = void (*)(Display*, unsigned long, int);
  using SwapIntervalMesa = int (*)(unsigned int);

  Display* display_ = nullptr;
  int screen_ = 0;
  unsigned long window_ = 0;
  __GLXcontextRec* context_ = nullptr;
  unsigned long blank_cursor_ = 0;
  bool fullscreen_ = false;
  bool pointer_visible_ = true;
  SwapIntervalExt swap_ext_ = nullptr;
  SwapIntervalMesa swap_mesa_ = nullptr;
  int swap_interval_ = -1;
  TX11EventReader events_;
};
