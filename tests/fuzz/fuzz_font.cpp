// Fuzzes the TrueType font loader from bytes: a font that loads is measured and its glyphs are
// rasterised and drawn through the null driver, as the screens' texts would be.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/font.h"
#include "platform/null/null_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One driver for the whole run.
  static const bool driven = [] {
    SetDrawDriver(std::make_shared<TNullDriver>());
    return true;
  }();
  (void)driven;
  TFontPtr font = LoadFontFromMemory(data, size, 18);
  if (!font) return 0;
  const std::string text = "Lambrisk 1-A \xC4\xD6\xDC\xDF ~|^";
  if (FontTextWidth(font, text) < 0 || FontTextHeight(font) < 0) __builtin_trap();
  SetImageFont(font);
  DrawText(text, 10, 10);
  SetImageFont(nullptr);
  return 0;
}
