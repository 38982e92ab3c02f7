// Prints "r g b" of the pixels of an X window, one line per pixel, row by row: one pixel, or a
// w x h rectangle. The end-to-end tests wait on what the game shows (the settings panel fully
// open) and count coloured pixels in a region instead of comparing whole screenshots.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4 && argc != 6) {
    std::fprintf(stderr, "usage: window_pixel window-id x y [w h]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  const Window window = Window(std::strtoul(argv[1], nullptr, 0));
  const int w = argc == 6 ? std::atoi(argv[4]) : 1;
  const int h = argc == 6 ? std::atoi(argv[5]) : 1;
  XImage* image = XGetImage(display, window, std::atoi(argv[2]), std::atoi(argv[3]), unsigned(w),
                            unsigned(h), AllPlanes, ZPixmap);
  int code = 1;
  if (image) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const unsigned long pixel = XGetPixel(image, x, y);
        std::printf("%lu %lu %lu\n", (pixel & image->red_mask) >> 16, (pixel & image->green_mask) >> 8,
                    pixel & image->blue_mask);
      }
    XDestroyImage(image);
    code = 0;
  }
  XCloseDisplay(display);
  return code;
}
