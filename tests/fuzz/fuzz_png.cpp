// Fuzzes the PNG loader from bytes: decoding, then cutting the picture into animation cells and
// drawing them through the recording driver, as a loaded sprite sheet would be.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/display.h"
#include "platform/image.h"
#include "platform/pixmap.h"
#include "platform/recording_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool installed = [] {
    SetDrawDriver(std::make_shared<TRecordingDriver>());
    return true;
  }();
  (void)installed;
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
