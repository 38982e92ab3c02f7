// Fuzzes the PNG loader from bytes: decoding, then cutting the picture into animation cells and
// drawing them through the null driver, as a loaded sprite sheet would be.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <zlib.h>

#include "platform/display.h"
#include "platform/image.h"
#include "platform/pixmap.h"
#include "platform/null/null_driver.h"

namespace {

// Rewrites every whole chunk's checksum, so mutations reach the decoder instead of stopping at the
// first checksum test.
std::vector<uint8_t> WithValidChecksums(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  size_t at = 8;
  while (at + 12 <= bytes.size()) {
    const uint32_t length = uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
                            uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
    if (length > bytes.size() - at - 12) break;
    const uint32_t crc = uint32_t(crc32(0, bytes.data() + at + 4, uInt(length + 4)));
    uint8_t* out = bytes.data() + at + 8 + length;
    out[0] = uint8_t(crc >> 24);
    out[1] = uint8_t(crc >> 16);
    out[2] = uint8_t(crc >> 8);
    out[3] = uint8_t(crc);
    at += 12 + length;
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* raw, size_t raw_size) {
  const std::vector<uint8_t> fixed = WithValidChecksums(raw, raw_size);
  const uint8_t* data = fixed.data();
  const size_t size = fixed.size();
  // One driver for the whole run.
  static const bool driven = [] {
    SetDrawDriver(std::make_shared<TNullDriver>());
    return true;
  }();
  (void)driven;
  TPixmapPtr picture = DecodePNG(data, size);
  if (!picture) return 0;
  if (picture->pixels.size() != size_t(picture->width) * size_t(picture->height)) __builtin_trap();
  TImagePtr cells = LoadAnimImageFromMemory(data, size, 3, 2, 1, 2);
  if (cells) {
    DrawImage(cells, 0, 0, 0);
    DrawImage(cells, 0, 0, 1);
  }
  // Re-encoding is checked on small pictures only; big ones would just slow the search down.
  if (picture->pixels.size() > (1u << 20)) return 0;
  std::vector<uint8_t> again = EncodePNG(*picture, 1);
  TPixmapPtr back = DecodePNG(again.data(), again.size());
  if (!back || back->pixels != picture->pixels) __builtin_trap();
  return 0;
}
