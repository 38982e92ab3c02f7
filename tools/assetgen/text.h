// Lettering for logos and pictures: glyphs rasterised by FreeType from the fonts the game ships,
// stamped onto a canvas with an optional outline and drop shadow.
#pragma once
#include <string>

#include "canvas.h"

namespace ag {

struct TextStyle {
  std::string font;          // path of a TrueType file
  int size = 32;             // pixel height of the em square
  RGBA top, bottom;          // fill: vertical gradient over the text's height
  RGBA outline{0, 0, 0, 0};  // drawn when outlineWidth > 0
  float outlineWidth = 0;    // pixels
  RGBA shadow{0, 0, 0, 0};   // drawn when shadow.a > 0
  float shadowDx = 0, shadowDy = 0;
};

// Draws text centred on (cx, cy) (the middle of the ink box). Returns false when the font fails.
bool DrawText(Canvas& c, const std::string& text, float cx, float cy, const TextStyle& st);

}  // namespace ag
