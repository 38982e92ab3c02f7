// Writing the generated files: PNG through libpng with no time or text chunks, so the same
// pixels give the same bytes on every build.
#pragma once
#include <string>

#include "canvas.h"

namespace ag {
// Writes an 8-bit RGBA PNG. Fully transparent pixels are stored as (0, 0, 0, 0); opaque pixels
// that would be pure black become (1, 1, 1), since a masked loader treats black as see-through.
bool WritePng(const std::string& path, const Canvas& c, int level = 9);  // level: zlib 0..9
}  // namespace ag
