// Pixel buffers: 32-bit ARGB pictures in memory, their PNG reading and writing, and grabbing
// them from the back buffer. Images keep one per frame; screenshots grab and save one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TPixmap {
  int width = 0;                  // pixels
  int height = 0;                 // pixels
  bool has_alpha = true;          // false for pictures without an alpha channel (masking applies)
  std::vector<uint32_t> pixels;   // row by row from the top, 0xAARRGGBB
};
using TPixmapPtr = std::shared_ptr<TPixmap>;

// Largest side a pixmap may have; bigger pictures are refused rather than allocated.
constexpr int kMaxPixmapSide = 16384;

// A pixmap of the given size filled with argb; null when a side is not 1..kMaxPixmapSide.
TPixmapPtr CreatePixmap(int width, int height, uint32_t argb = 0, bool has_alpha = true);
// Pixel access; reads outside give 0, writes outside do nothing.
uint32_t ReadPixel(const TPixmap& pixmap, int x, int y);
void WritePixel(TPixmap& pixmap, int x, int y, uint32_t argb);

// Decodes a PNG (palette, grey, 16-bit, with or without alpha) from bytes or a file; null on any
// fault (truncated, corrupt, too large).
TPixmapPtr DecodePNG(const void* data, size_t size);
TPixmapPtr LoadPixmapPNG(const std::string& path);
// Writes the pixmap as PNG at zlib level 0..9 (clamped). Writes a temporary file first and renames
// it, so a failed save leaves no broken file. True only when the file was written completely.
bool SavePixmapPNG(const TPixmap& pixmap, const std::string& path, int level);
// Encodes to PNG bytes in memory; empty on failure.
std::vector<uint8_t> EncodePNG(const TPixmap& pixmap, int level);

// Reads a rectangle of the back buffer (real pixels, from the top left) through the current
// driver; null when nothing can be read.
TPixmapPtr GrabPixmap(int x, int y, int width, int height);
