// Prints "r g b" of one pixel of an X window, so the end-to-end tests can wait for what the game
// shows (the settings panel fully open) instead of sleeping.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: window_pixel window-id x y\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  const Window window = Window(std::strtoul(argv[1], nullptr, 0));
  XImage* image = XGetImage(display, window, std::atoi(argv[2]), std::atoi(argv[3]), 1, 1, AllPlanes, ZPixmap);
  int code = 1;
  if (image) {
    const unsigned long pixel = XGetPixel(image, 0, 0);
    std::printf("%lu %lu %lu\n", (pixel & image->red_mask) >> 16, (pixel & image->green_mask) >> 8,
                pixel & image->blue_mask);
    XDestroyImage(image);
    code = 0;
  }
  XCloseDisplay(display);
  return code;
}
