// Pixel buffers and their PNG coding through libpng. libpng reports faults by longjmp, so every
// C++ object a decode needs lives in a context allocated before setjmp and is never reassigned
// after it; a fault then unwinds to a null result without leaking or touching freed memory.
#include "platform/pixmap.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "platform/display.h"
#include "platform/files.h"
#include "platform/platform_log.h"

namespace {

// Largest picture accepted in total pixels (128 MB of ARGB); a wider or taller one is refused by
// libpng's own limits before any row is allocated.
constexpr size_t kMaxPixels = size_t(1) << 25;
// Compressed data never needs more than the pixels it holds, and then some.
constexpr size_t kMaxPngFileBytes = kMaxPixels * 4 + (1u << 20);
// Largest ancillary chunk libpng may allocate (text, colour profiles).
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;

struct TReadSource {
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t pos = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* src = static_cast<TReadSource*>(png_get_io_ptr(png));
  if (!src || count > src->size - src->pos) png_error(png, "truncated");
  std::memcpy(out, src->data + src->pos, count);
  src->pos += count;
}

void QuietWarning(png_structp, png_const_charp) {}
void ErrorJump(png_structp png, png_const_charp) { png_longjmp(png, 1); }

struct TDecode {
  TReadSource source;
  std::vector<uint8_t> rgba;
  std::vector<png_bytep> rows;
  TPixmapPtr result;
};

struct TEncode {
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> row;
};

void WriteToMemory(png_structp png, png_bytep in, png_size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), in, in + count);
}
void FlushNothing(png_structp) {}

// Decodes into ctx->result; every libpng fault returns here through the jump.
void DecodeInto(TDecode* ctx) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorJump, QuietWarning);
  if (!png) return;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    ctx->result.reset();
    return;
  }
  png_set_user_limits(png, kMaxPixmapSide, kMaxPixmapSide);
  png_set_chunk_malloc_max(png, kMaxChunkBytes);
  png_set_read_fn(png, &ctx->source, ReadFromMemory);
  png_read_info(png, info);

  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const int colour = png_get_color_type(png, info);
  if (width == 0 || height == 0 || size_t(width) * height > kMaxPixels) png_error(png, "size");
  const bool alpha = (colour & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);

  png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to an alpha channel
  png_set_strip_16(png);
  if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4) png_error(png, "layout");

  ctx->rgba.resize(size_t(width) * height * 4);
  ctx->rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) ctx->rows[y] = ctx->rgba.data() + size_t(y) * width * 4;
  png_read_image(png, ctx->rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);

  auto pixmap = std::make_shared<TPixmap>();
  pixmap->width = int(width);
  pixmap->height = int(height);
  pixmap->has_alpha = alpha;
  pixmap->pixels.resize(size_t(width) * height);
  const uint8_t* p = ctx->rgba.data();
  for (uint32_t& out : pixmap->pixels) {
    out = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    p += 4;
  }
  ctx->result = pixmap;
}

void EncodeInto(TEncode* ctx, const TPixmap* pixmap, int level) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorJump, QuietWarning);
  if (!png) return;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ctx->bytes.clear();
    return;
  }
  const int channels = pixmap->has_alpha ? 4 : 3;
  png_set_write_fn(png, &ctx->bytes, WriteToMemory, FlushNothing);
  png_set_compression_level(png, level);
  png_set_IHDR(png, info, png_uint_32(pixmap->width), png_uint_32(pixmap->height), 8,
               pixmap->has_alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  ctx->row.resize(size_t(pixmap->width) * channels);
  for (int y = 0; y < pixmap->height; ++y) {
    uint8_t* out = ctx->row.data();
    for (int x = 0; x < pixmap->width; ++x) {
      const uint32_t argb = pixmap->pixels[size_t(y) * pixmap->width + x];
      *out++ = uint8_t(argb >> 16);
      *out++ = uint8_t(argb >> 8);
      *out++ = uint8_t(argb);
      if (channels == 4) *out++ = uint8_t(argb >> 24);
    }
    png_write_row(png, ctx->row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
}

bool ValidPixmap(const TPixmap& p) {
  return p.width > 0 && p.height > 0 && p.pixels.size() == size_t(p.width) * p.height;
}

}  // namespace

TPixmapPtr CreatePixmap(int width, int height, uint32_t argb, bool has_alpha) {
  if (width < 1 || height < 1 || width > kMaxPixmapSide || height > kMaxPixmapSide) return nullptr;
  if (size_t(width) * height > kMaxPixels) return nullptr;
  auto p = std::make_shared<TPixmap>();
  p->width = width;
  p->height = height;
  p->has_alpha = has_alpha;
  p->pixels.assign(size_t(width) * height, argb);
  return p;
}

uint32_t ReadPixel(const TPixmap& pixmap, int x, int y) {
  if (x < 0 || y < 0 || x >= pixmap.width || y >= pixmap.height) return 0;
  return pixmap.pixels[size_t(y) * pixmap.width + x];
}

void WritePixel(TPixmap& pixmap, int x, int y, uint32_t argb) {
  if (x < 0 || y < 0 || x >= pixmap.width || y >= pixmap.height) return;
  pixmap.pixels[size_t(y) * pixmap.width + x] = argb;
}

TPixmapPtr DecodePNG(const void* data, size_t size) {
  if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) return nullptr;
  auto ctx = std::make_unique<TDecode>();
  ctx->source.data = static_cast<const uint8_t*>(data);
  ctx->source.size = size;
  DecodeInto(ctx.get());
  return ctx->result;
}

TPixmapPtr LoadPixmapPNG(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string reason;
  TPixmapPtr pixmap;
  if (ReadWholeFile(path, bytes, kMaxPngFileBytes, reason)) {
    pixmap = DecodePNG(bytes.data(), bytes.size());
    reason = "not a PNG image of a size the game takes";
  }
  if (!pixmap) PlatformWarning("Can't load the image " + path + ": " + reason);
  return pixmap;
}

std::vector<uint8_t> EncodePNG(const TPixmap& pixmap, int level) {
  if (!ValidPixmap(pixmap)) return {};
  level = level < 0 ? 0 : level > 9 ? 9 : level;
  auto ctx = std::make_unique<TEncode>();
  EncodeInto(ctx.get(), &pixmap, level);
  return std::move(ctx->bytes);
}

bool SavePixmapPNG(const TPixmap& pixmap, const std::string& path, int level) {
  const std::vector<uint8_t> bytes = EncodePNG(pixmap, level);
  if (bytes.empty() || path.empty()) return false;
  const std::string temp = path + ".part" + std::to_string(getpid());
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
  ok = fsync(fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (ok) ok = RenameFile(temp, path);
  if (!ok) DeleteFile(temp);
  return ok;
}

TPixmapPtr GrabPixmap(int x, int y, int width, int height) {
  if (width < 1 || height < 1 || !GraphicsOpen()) return nullptr;
  return CurrentDrawDriver().GrabPixmap(x, y, width, height);
}
