// Prints "width height opaque" for a PNG file, read with the game's own loader, so the end-to-end
// tests can judge screenshots without other tools. opaque is 1 when every pixel's alpha is 255.
#include <cstdio>

#include "platform/pixmap.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: png_probe file.png\n");
    return 2;
  }
  TPixmapPtr pixmap = LoadPixmapPNG(argv[1]);
  if (!pixmap) {
    std::fprintf(stderr, "not a readable PNG: %s\n", argv[1]);
    return 1;
  }
  int opaque = 1;
  for (uint32_t argb : pixmap->pixels)
    if ((argb >> 24) != 0xFF) opaque = 0;
  std::printf("%d %d %d\n", pixmap->width, pixmap->height, opaque);
  return 0;
}
