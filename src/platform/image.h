// Images: pictures loaded from PNG (whole or cut into an animation strip) or made empty, with a
// handle, flags and one texture frame per picture frame, and drawing them.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw_driver.h"
#include "platform/pixmap.h"

enum { MASKEDIMAGE = 1, FILTEREDIMAGE = 2, DYNAMICIMAGE = 8 };

struct TImage {
  int width = 0;                          // pixels of one frame
  int height = 0;
  int flags = 0;                          // MASKEDIMAGE | FILTEREDIMAGE | DYNAMICIMAGE
  int mask_r = 0;                         // mask colour (masked images without alpha)
  int mask_g = 0;
  int mask_b = 0;
  float handle_x = 0.0f;                  // drawn at the drawing position
  float handle_y = 0.0f;
  // One picture per frame. An image loaded from a file lets its pictures go once they are in
  // the driver's textures (and right after loading, until it is first drawn): they are read from
  // the file again when a new display needs its textures made. The slots stay, so the count does.
  std::vector<TPixmapPtr> pixmaps;
  std::vector<TImageFramePtr> frames;     // textures, made by the driver on first draw
  int frames_generation = -1;             // the display the textures belong to
  std::string source;                     // the file it was loaded from; "" when none
  int cell_width = 0, cell_height = 0, first_cell = 0;  // how the file's picture was cut
};
using TImagePtr = std::shared_ptr<TImage>;

// Loads a PNG; flags -1 means the default flags. Null when missing or unreadable.
TImagePtr LoadImage(const std::string& path, int flags = -1);
TImagePtr LoadImageFromMemory(const void* data, size_t size, int flags = -1);
// Cuts a picture into cells left to right, top to bottom, keeping count cells from first.
// Null when the picture can't be read or holds no such cells.
TImagePtr LoadAnimImage(const std::string& path, int cell_width, int cell_height, int first,
                        int count, int flags = -1);
TImagePtr LoadAnimImageFromMemory(const void* data, size_t size, int cell_width, int cell_height,
                                  int first, int count, int flags = -1);
// An image made from pixmaps already in memory (all of one size); null when they differ.
TImagePtr CreateImageFromPixmaps(const std::vector<TPixmapPtr>& pixmaps, int flags = -1);
// An empty (transparent black) image; the dynamic flag is always added.
TImagePtr CreateImage(int width, int height, int frames = 1, int flags = -1);
// Copies the back buffer into a frame, its top-left corner at real pixel (x, y).
void GrabImage(const TImagePtr& image, int x, int y, int frame = 0);

int ImageWidth(const TImagePtr& image);    // 0 for null
int ImageHeight(const TImagePtr& image);
int ImageFrames(const TImagePtr& image);
void SetImageHandle(const TImagePtr& image, float x, float y);
void MidHandleImage(const TImagePtr& image);
// Images loaded from now on get their handle at their centre (off at start).
void AutoMidHandle(bool on);
// Flags used when a load passes -1 (3 at start: masked and filtered).
void AutoImageFlags(int flags);
// Puts the automatic mid-handling and default flags back to their start values.
void ResetImageDefaults();

// Draws a frame at (x, y) under the current state; null images and frames out of range draw
// nothing.
void DrawImage(const TImagePtr& image, float x, float y, int frame = 0);
