// Internal to the font module: a font as a source of glyph pictures. The TrueType rasteriser and
// the built-in bitmap font both fill this; font.cpp packs the pictures into texture pages.
#pragma once
#include <memory>
#include <string>

#include "platform/pixmap.h"

struct TGlyphPicture {
  bool present = false;  // false: the font has no glyph for the character (adds nothing)
  int advance = 0;       // whole pixels the pen moves
  int left = 0;          // picture's top-left corner relative to the pen at the top of the line
  int top = 0;
  TPixmapPtr picture;    // white with coverage in alpha; null for blank glyphs such as space
};

class TGlyphSource {
 public:
  virtual ~TGlyphSource() = default;
  virtual int Height() const = 0;  // the font's line height in pixels
  virtual TGlyphPicture Render(int character) = 0;
};

// The built-in bitmap font (ASCII 32..126; other characters show a box).
std::unique_ptr<TGlyphSource> MakeBuiltinGlyphs();
// A TrueType face from a font file's bytes, which the source keeps (every size of one file shares
// them); null when the rasteriser refuses them.
std::unique_ptr<TGlyphSource> MakeTrueTypeGlyphs(std::shared_ptr<const std::string> bytes, int pixel_size,
                                                 bool smooth);
