// Images: loading and cutting pictures, and drawing their frames. An image makes its textures on
// first draw under the current display, packing all frames into one texture (with a one-pixel
// border copied from each cell's edge, so filtering never blends in a neighbour) so that drawing
// any of its frames keeps the driver's batch going. One loaded from a file keeps no pictures in
// memory but while it makes its textures: most of the game's images (the border strips of worlds
// not being played) are never drawn at all.
#include "platform/image.h"

#include <algorithm>

#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/platform_log.h"

namespace {

constexpr int kDefaultFlags = MASKEDIMAGE | FILTEREDIMAGE;
constexpr int kMaxAtlasSide = 4096;

int default_flags = kDefaultFlags;
bool auto_mid_handle = false;

int ResolveFlags(int flags) { return flags == -1 ? default_flags : flags; }

// The picture as the texture shows it: masked pixels cleared when the picture has no alpha.
uint32_t TexturePixel(const TImage& image, const TPixmap& p, uint32_t argb) {
  if ((image.flags & MASKEDIMAGE) && !p.has_alpha) {
    const uint32_t mask = uint32_t(image.mask_r) << 16 | uint32_t(image.mask_g) << 8 | uint32_t(image.mask_b);
    if ((argb & 0xffffffu) == mask) return 0;
  }
  return p.has_alpha ? argb : (argb | 0xff000000u);
}

int FrameFlags(const TImage& image) { return (image.flags & FILTEREDIMAGE) ? FRAME_FILTERED : 0; }

void ReleasePictures(TImage& image);
bool ReloadPictures(TImage& image);

void MakeFrames(TImage& image) {
  TDrawDriver& driver = CurrentDrawDriver();
  const int n = int(image.pixmaps.size());
  image.frames.assign(size_t(n), nullptr);
  image.frames_generation = DrawDriverGeneration();
  if (n > 0 && !image.pixmaps[0] && !ReloadPictures(image)) return;
  const int w = image.width;
  const int h = image.height;
  const int cols = std::max(1, std::min(n, kMaxAtlasSide / (w + 2)));
  const int rows = (n + cols - 1) / cols;
  const bool packed = n > 1 && rows * (h + 2) <= kMaxAtlasSide && cols * (w + 2) <= kMaxAtlasSide;
  if (!packed) {
    for (int i = 0; i < n; ++i) {
      const TPixmap& src = *image.pixmaps[size_t(i)];
      TPixmap tex = src;
      for (uint32_t& px : tex.pixels) px = TexturePixel(image, src, px);
      tex.has_alpha = true;
      image.frames[size_t(i)] = driver.CreateFrameFromPixmap(tex, FrameFlags(image));
    }
  } else {
    TPixmapPtr atlas = CreatePixmap(cols * (w + 2), rows * (h + 2), 0, true);
    if (!atlas) return;
    for (int i = 0; i < n; ++i) {
      const TPixmap& src = *image.pixmaps[size_t(i)];
      const int ox = (i % cols) * (w + 2) + 1;
      const int oy = (i / cols) * (h + 2) + 1;
      for (int y = -1; y <= h; ++y) {
        const int sy = std::clamp(y, 0, h - 1);
        for (int x = -1; x <= w; ++x) {
          const int sx = std::clamp(x, 0, w - 1);
          WritePixel(*atlas, ox + x, oy + y, TexturePixel(image, src, ReadPixel(src, sx, sy)));
        }
      }
    }
    TImageFramePtr page = driver.CreateFrameFromPixmap(*atlas, FrameFlags(image));
    if (!page) return;
    for (int i = 0; i < n; ++i)
      image.frames[size_t(i)] =
          driver.CreateSubFrame(page, (i % cols) * (w + 2) + 1, (i / cols) * (h + 2) + 1, w, h);
  }
  for (int i = 0; i < n; ++i) {
    if (!image.frames[size_t(i)]) continue;
    image.frames[size_t(i)]->image = &image;
    image.frames[size_t(i)]->index = i;
  }
  ReleasePictures(image);
}

std::vector<TPixmapPtr> Cells(const TPixmapPtr& picture, int cell_w, int cell_h, int first, int count);

TImagePtr FromPicture(const TPixmapPtr& picture, int cell_w, int cell_h, int first, int count,
                      int flags) {
  const std::vector<TPixmapPtr> cells = Cells(picture, cell_w, cell_h, first, count);
  return cells.empty() ? nullptr : CreateImageFromPixmaps(cells, flags);
}

std::vector<TPixmapPtr> Cells(const TPixmapPtr& picture, int cell_w, int cell_h, int first, int count) {
  if (!picture || cell_w < 1 || cell_h < 1 || first < 0 || count < 1) return {};
  const int cols = picture->width / cell_w;
  const int rows = picture->height / cell_h;
  if (cols < 1 || rows < 1 || first > cols * rows - count) return {};
  std::vector<TPixmapPtr> cells;
  if (cell_w == picture->width && cell_h == picture->height) {
    cells.push_back(picture);
  } else {
    for (int i = first; i < first + count; ++i) {
      TPixmapPtr cell = CreatePixmap(cell_w, cell_h, 0, picture->has_alpha);
      const int ox = (i % cols) * cell_w;
      const int oy = (i / cols) * cell_h;
      for (int y = 0; y < cell_h; ++y)
        std::copy_n(picture->pixels.begin() + (size_t(oy + y) * picture->width + ox), cell_w,
                    cell->pixels.begin() + size_t(y) * cell_w);
      cells.push_back(cell);
    }
  }
  return cells;
}

// The pictures go; the file has them. A dynamic image's pictures are its only copy.
void ReleasePictures(TImage& image) {
  if (image.source.empty() || (image.flags & DYNAMICIMAGE)) return;
  for (TPixmapPtr& p : image.pixmaps) p.reset();
}

// The pictures read from the file again; false when it no longer gives the same cells.
bool ReloadPictures(TImage& image) {
  const std::vector<TPixmapPtr> cells =
      Cells(LoadPixmapPNG(image.source), image.cell_width, image.cell_height, image.first_cell, int(image.pixmaps.size()));
  if (cells.size() != image.pixmaps.size() || cells[0]->width != image.width || cells[0]->height != image.height) {
    PlatformWarning("Can't read the image " + image.source + " again");
    return false;
  }
  image.pixmaps = cells;
  return true;
}

// A file's image, its pictures let go until it is drawn.
TImagePtr FromFile(const std::string& path, int cell_w, int cell_h, int first, int count, int flags) {
  const TPixmapPtr picture = LoadPixmapPNG(path);
  if (!picture) return nullptr;
  if (cell_w == 0) cell_w = picture->width, cell_h = picture->height;
  TImagePtr image = FromPicture(picture, cell_w, cell_h, first, count, flags);
  if (!image) return nullptr;
  image->source = path;
  image->cell_width = cell_w;
  image->cell_height = cell_h;
  image->first_cell = first;
  ReleasePictures(*image);
  return image;
}

}  // namespace

TImagePtr CreateImageFromPixmaps(const std::vector<TPixmapPtr>& pixmaps, int flags) {
  if (pixmaps.empty() || !pixmaps[0]) return nullptr;
  for (const TPixmapPtr& p : pixmaps)
    if (!p || p->width != pixmaps[0]->width || p->height != pixmaps[0]->height) return nullptr;
  auto image = std::make_shared<TImage>();
  image->width = pixmaps[0]->width;
  image->height = pixmaps[0]->height;
  image->flags = ResolveFlags(flags);
  image->pixmaps = pixmaps;
  if (auto_mid_handle) MidHandleImage(image);
  return image;
}

TImagePtr LoadImage(const std::string& path, int flags) { return FromFile(path, 0, 0, 0, 1, flags); }

TImagePtr LoadImageFromMemory(const void* data, size_t size, int flags) {
  TPixmapPtr picture = DecodePNG(data, size);
  return picture ? FromPicture(picture, picture->width, picture->height, 0, 1, flags) : nullptr;
}

TImagePtr LoadAnimImage(const std::string& path, int cell_width, int cell_height, int first,
                        int count, int flags) {
  if (cell_width < 1 || cell_height < 1) return nullptr;
  return FromFile(path, cell_width, cell_height, first, count, flags);
}

TImagePtr LoadAnimImageFromMemory(const void* data, size_t size, int cell_width, int cell_height,
                                  int first, int count, int flags) {
  return FromPicture(DecodePNG(data, size), cell_width, cell_height, first, count, flags);
}

TImagePtr CreateImage(int width, int height, int frames, int flags) {
  if (frames < 1 || frames > 4096) return nullptr;
  std::vector<TPixmapPtr> pixmaps;
  for (int i = 0; i < frames; ++i) {
    TPixmapPtr p = CreatePixmap(width, height, 0, true);
    if (!p) return nullptr;
    pixmaps.push_back(p);
  }
  return CreateImageFromPixmaps(pixmaps, ResolveFlags(flags) | DYNAMICIMAGE);
}

void GrabImage(const TImagePtr& image, int x, int y, int frame) {
  if (!image || frame < 0 || frame >= int(image->pixmaps.size())) return;
  TPixmapPtr grabbed = GrabPixmap(x, y, image->width, image->height);
  if (!grabbed || grabbed->width != image->width || grabbed->height != image->height) return;
  image->pixmaps[size_t(frame)] = grabbed;
  image->frames_generation = -1;  // remade from the new pixels on the next draw
}

int ImageWidth(const TImagePtr& image) { return image ? image->width : 0; }
int ImageHeight(const TImagePtr& image) { return image ? image->height : 0; }
int ImageFrames(const TImagePtr& image) { return image ? int(image->pixmaps.size()) : 0; }

void SetImageHandle(const TImagePtr& image, float x, float y) {
  if (!image) return;
  image->handle_x = x;
  image->handle_y = y;
}

void MidHandleImage(const TImagePtr& image) {
  if (image) SetImageHandle(image, float(image->width) * 0.5f, float(image->height) * 0.5f);
}

void AutoMidHandle(bool on) { auto_mid_handle = on; }
void AutoImageFlags(int flags) { default_flags = flags; }

void ResetImageDefaults() {
  default_flags = kDefaultFlags;
  auto_mid_handle = false;
}

void DrawImage(const TImagePtr& image, float x, float y, int frame) {
  if (!image || frame < 0 || frame >= int(image->pixmaps.size())) return;
  if (image->frames_generation != DrawDriverGeneration() || image->frames.size() != image->pixmaps.size())
    MakeFrames(*image);
  const TImageFramePtr& f = image->frames[size_t(frame)];
  if (!f) return;
  const TDrawState& s = DrawState();
  CurrentDrawDriver().DrawFrame(*f, -image->handle_x, -image->handle_y,
                                float(image->width) - image->handle_x,
                                float(image->height) - image->handle_y, x + s.origin_x,
                                y + s.origin_y);
}
