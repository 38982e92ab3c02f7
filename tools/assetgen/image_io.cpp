// PNG output for the generator (see image_io.h).
#include "image_io.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace ag {

namespace {
unsigned char Q(float v) {
  int i = int(std::lround(v * 255.0f));
  return (unsigned char)(i < 0 ? 0 : (i > 255 ? 255 : i));
}
}  // namespace

bool WritePng(const std::string& path, const Canvas& c, int level) {
  std::vector<unsigned char> rows(size_t(c.w) * c.h * 4);
  for (int y = 0; y < c.h; y++) {
    for (int x = 0; x < c.w; x++) {
      const RGBA& p = c.At(x, y);
      unsigned char* o = &rows[(size_t(y) * c.w + x) * 4];
      o[3] = Q(p.a);
      if (o[3] == 0) {
        o[0] = o[1] = o[2] = 0;
        continue;
      }
      o[0] = Q(p.r), o[1] = Q(p.g), o[2] = Q(p.b);
      if (o[0] == 0 && o[1] == 0 && o[2] == 0) o[0] = o[1] = o[2] = 1;
    }
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_compression_level(png, level);
  png_set_IHDR(png, info, c.w, c.h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < c.h; y++) png_write_row(png, &rows[size_t(y) * c.w * 4]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

}  // namespace ag
