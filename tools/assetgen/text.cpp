// FreeType lettering (see text.h). Glyph coverage goes into a mask first; outline and shadow are
// made from that mask, so every effect follows the real glyph shapes.
#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <vector>

namespace ag {

namespace {
struct Mask {
  int w = 0, h = 0;
  std::vector<float> v;
  float At(int x, int y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? 0 : v[size_t(y) * w + x]; }
};

bool RenderMask(const std::string& text, const TextStyle& st, Mask& m, int pad) {
  FT_Library lib;
  if (FT_Init_FreeType(&lib)) return false;
  FT_Face face;
  if (FT_New_Face(lib, st.font.c_str(), 0, &face)) {
    FT_Done_FreeType(lib);
    return false;
  }
  FT_Set_Pixel_Sizes(face, 0, st.size);
  // First pass: ink box; second pass: draw.
  struct G {
    int x, y, w, h;
    std::vector<unsigned char> bits;
  };
  std::vector<G> glyphs;
  int pen = 0, minx = 1 << 30, miny = 1 << 30, maxx = -(1 << 30), maxy = -(1 << 30);
  FT_UInt prev = 0;
  for (unsigned char ch : text) {
    FT_UInt gi = FT_Get_Char_Index(face, ch);
    if (prev && gi && FT_HAS_KERNING(face)) {
      FT_Vector k;
      FT_Get_Kerning(face, prev, gi, FT_KERNING_DEFAULT, &k);
      pen += int(k.x >> 6);
    }
    prev = gi;
    if (FT_Load_Glyph(face, gi, FT_LOAD_RENDER | FT_LOAD_NO_HINTING)) continue;
    FT_GlyphSlot g = face->glyph;
    G out{pen + g->bitmap_left, -g->bitmap_top, int(g->bitmap.width), int(g->bitmap.rows), {}};
    out.bits.resize(size_t(out.w) * out.h);
    for (int r = 0; r < out.h; r++)
      for (int col = 0; col < out.w; col++)
        out.bits[size_t(r) * out.w + col] = g->bitmap.buffer[r * g->bitmap.pitch + col];
    if (out.w > 0 && out.h > 0) {
      minx = std::min(minx, out.x), miny = std::min(miny, out.y);
      maxx = std::max(maxx, out.x + out.w), maxy = std::max(maxy, out.y + out.h);
    }
    pen += int(g->advance.x >> 6);
    glyphs.push_back(std::move(out));
  }
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  if (maxx <= minx) return false;
  m.w = maxx - minx + 2 * pad, m.h = maxy - miny + 2 * pad;
  m.v.assign(size_t(m.w) * m.h, 0);
  for (const G& g : glyphs)
    for (int r = 0; r < g.h; r++)
      for (int col = 0; col < g.w; col++) {
        float& d = m.v[size_t(g.y - miny + pad + r) * m.w + (g.x - minx + pad + col)];
        d = std::min(1.0f, d + g.bits[size_t(r) * g.w + col] / 255.0f);
      }
  return true;
}

Mask Dilate(const Mask& m, float r) {
  Mask o = m;
  int ir = int(std::ceil(r));
  for (int y = 0; y < m.h; y++)
    for (int x = 0; x < m.w; x++) {
      float best = 0;
      for (int dy = -ir; dy <= ir; dy++)
        for (int dx = -ir; dx <= ir; dx++) {
          float d = std::sqrt(float(dx * dx + dy * dy));
          float w = std::min(1.0f, std::max(0.0f, r + 0.5f - d));
          best = std::max(best, m.At(x + dx, y + dy) * w);
        }
      o.v[size_t(y) * m.w + x] = best;
    }
  return o;
}

void Stamp(Canvas& c, const Mask& m, int ox, int oy, const RGBA& top, const RGBA& bottom, int pad) {
  for (int y = 0; y < m.h; y++) {
    float t = m.h > 2 * pad ? std::clamp(float(y - pad) / float(m.h - 2 * pad), 0.0f, 1.0f) : 0;
    RGBA col = Mix(top, bottom, t);
    for (int x = 0; x < m.w; x++) {
      float a = m.v[size_t(y) * m.w + x];
      int X = ox + x, Y = oy + y;
      if (a > 0 && X >= 0 && Y >= 0 && X < c.w && Y < c.h) c.Blend(X, Y, col, a);
    }
  }
}
}  // namespace

bool DrawText(Canvas& c, const std::string& text, float cx, float cy, const TextStyle& st) {
  int pad = int(std::ceil(st.outlineWidth)) + 2;
  Mask m;
  if (!RenderMask(text, st, m, pad)) return false;
  int ox = int(std::lround(cx - m.w / 2.0f)), oy = int(std::lround(cy - m.h / 2.0f));
  Mask ol = st.outlineWidth > 0 ? Dilate(m, st.outlineWidth) : m;
  if (st.shadow.a > 0)
    Stamp(c, ol, ox + int(st.shadowDx), oy + int(st.shadowDy), st.shadow, st.shadow, pad);
  if (st.outlineWidth > 0) Stamp(c, ol, ox, oy, st.outline, st.outline, pad);
  Stamp(c, m, ox, oy, st.top, st.bottom, pad);
  return true;
}

}  // namespace ag
