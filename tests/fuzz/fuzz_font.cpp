// Fuzzes the TrueType font loader from bytes: a font that loads is measured and its glyphs are
// rasterised and drawn through the recording driver, as the screens' texts would be.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/font.h"
#include "platform/recording_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One driver for the whole run, emptied every input: its records hold the images drawn.
  static const std::shared_ptr<TRecordingDriver> driver = [] {
    auto d = std::make_shared<TRecordingDriver>();
    SetDrawDriver(d);
    return d;
  }();
  driver->Clear();
  TFontPtr font = LoadFontFromMemory(data, size, 18);
  if (!font) return 0;
  const std::string text = "Lambrisk 1-A \xC4\xD6\xDC\xDF ~|^";
  if (FontTextWidth(font, text) < 0 || FontTextHeight(font) < 0) __builtin_trap();
  SetImageFont(font);
  DrawText(text, 10, 10);
  SetImageFont(nullptr);
  return 0;
}
