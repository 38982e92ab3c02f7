// The logos: the framework's ("Files/Common/logo.png"), the community site's ("Tamblin.png"),
// the game's title logo ("Files/003/logo.png") and the warning sign ("warn-hd.png").
#include <cmath>

#include "art.h"
#include "text.h"

namespace ag {

namespace {
const RGBA kInk = Rgb(30, 26, 32);

void Cog(Canvas& c, const Xform& t, float r, RGBA col) {
  Shape s = Circle(0, 0, r * 0.78f);
  for (int k = 0; k < 10; k++) {
    float a = k * 36.0f * 3.14159265f / 180;
    float ca = std::cos(a), sa = std::sin(a);
    s = Union(s, Polygon({{ca * r * 0.7f - sa * r * 0.16f, sa * r * 0.7f + ca * r * 0.16f},
                          {ca * r - sa * r * 0.11f, sa * r + ca * r * 0.11f},
                          {ca * r + sa * r * 0.11f, sa * r - ca * r * 0.11f},
                          {ca * r * 0.7f + sa * r * 0.16f, sa * r * 0.7f - ca * r * 0.16f}}));
  }
  s = Subtract(s, Circle(0, 0, r * 0.36f));
  c.FillOutlined(t, s, Linear({0, -r}, Shade(col, 1.3f), {0, r}, Shade(col, 0.7f)), kInk, r * 0.06f);
}
}  // namespace

Canvas MakeFrameworkLogo(const Fonts& f) {
  // Corvenna's framework: a brass cog beside the engine's name.
  Canvas c(256, 128);
  Xform o{0, 0, 1, 0};
  c.FillOutlined(o, Box(4, 14, 252, 114, 18), Linear({0, 14}, Rgb(60, 54, 80), {0, 114}, Rgb(30, 26, 44)), Rgb(230, 190, 100), 2.5f);
  Cog(c, Xform{58, 64, 1, 0}, 38, Rgb(230, 176, 70));
  c.FillOutlined(Xform{58, 64, 1, 0}, Circle(0, 0, 9), Solid(Rgb(250, 240, 200)), kInk, 1.5f);
  TextStyle st;
  st.font = f.display, st.size = 31, st.top = Rgb(255, 236, 170), st.bottom = Rgb(230, 170, 60);
  st.outline = kInk, st.outlineWidth = 2.5f, st.shadow = Rgb(0, 0, 0, 0.5f), st.shadowDx = 2, st.shadowDy = 3;
  DrawText(c, "Pellmoor", 174, 54, st);
  st.font = f.main, st.size = 13, st.top = st.bottom = Rgb(220, 220, 240), st.outlineWidth = 1.5f, st.shadow.a = 0;
  DrawText(c, "ENGINE by Corvenna", 174, 88, st);
  return c;
}

Canvas MakeCommunityLogo(const Fonts& f) {
  // Tamblin, the community site: a little hill with a flag and a speech bubble.
  Canvas c(256, 128);
  Xform o{0, 0, 1, 0};
  c.FillOutlined(o, Box(4, 14, 252, 114, 50), Linear({0, 14}, Rgb(90, 180, 230), {0, 114}, Rgb(40, 110, 170)), Rgb(250, 250, 255), 2.5f);
  c.Fill(o, Intersect(Ellipse(70, 132, 80, 46), Box(4, 14, 252, 114, 50)), Rgb(90, 190, 110));
  c.Fill(o, Box(58, 40, 61, 90), Rgb(250, 250, 255));
  c.FillOutlined(o, Polygon({{61, 40}, {86, 48}, {61, 56}}), Solid(Rgb(255, 110, 90)), kInk, 1.2f);
  c.FillOutlined(o, Union(Box(22, 30, 52, 50, 6), Polygon({{30, 48}, {28, 58}, {40, 48}})), Solid(Rgb(255, 255, 255)), kInk, 1.2f);
  for (float x : {30.0f, 37.0f, 44.0f}) c.Fill(o, Circle(x, 40, 2), Rgb(40, 110, 170));
  TextStyle st;
  st.font = f.caption, st.size = 46, st.top = Rgb(255, 255, 255), st.bottom = Rgb(220, 240, 255);
  st.outline = Rgb(20, 50, 90), st.outlineWidth = 2.5f, st.shadow = Rgb(0, 0, 0, 0.4f), st.shadowDx = 2, st.shadowDy = 3;
  DrawText(c, "Tamblin", 164, 58, st);
  st.font = f.main, st.size = 14, st.outlineWidth = 1.2f, st.shadow.a = 0;
  DrawText(c, "homebrew games", 166, 94, st);
  return c;
}

Canvas MakeTitleLogo(const Fonts& f) {
  // The title with the sheep strolling in from the right of the word, as it does in the game.
  Canvas c(720, 220);
  TextStyle st;
  st.font = f.display, st.size = 104, st.top = Rgb(255, 255, 255), st.bottom = Rgb(196, 226, 255);
  st.outline = Rgb(30, 40, 90), st.outlineWidth = 6, st.shadow = Rgb(0, 0, 30, 0.55f), st.shadowDx = 5, st.shadowDy = 7;
  DrawText(c, "Lambrisk", 290, 86, st);
  DrawSheep(c, Xform{560, 0, 4.6f, 0}, 3);
  st.font = f.caption, st.size = 30, st.top = st.bottom = Rgb(255, 220, 110), st.outlineWidth = 2.5f, st.shadowDx = 2, st.shadowDy = 3;
  DrawText(c, "A SHEEP'S STROLL THROUGH 100 LEVELS", 360, 192, st);
  return c;
}

Canvas MakeWarnSign() {
  // A bright warning triangle with an exclamation mark, readable at a glance at the field's edge.
  Canvas c(64, 64);
  Xform o{0, 0, 1, 0};
  Shape tri = Polygon({{32, 5}, {60, 56}, {4, 56}});
  c.Fill(o, Grow(tri, 4), Rgb(255, 80, 20, 0.35f));
  c.FillOutlined(o, Grow(tri, 1.5f), Linear({32, 5}, Rgb(255, 236, 90), {32, 58}, Rgb(255, 160, 30)), kInk, 2.5f);
  c.Fill(o, Subtract(Grow(tri, 0.5f), Grow(tri, -2.5f)), Rgb(220, 40, 20));
  c.Fill(o, Polygon({{28.5f, 20}, {35.5f, 20}, {33.5f, 40}, {30.5f, 40}}), kInk);
  c.Fill(o, Circle(32, 47, 3.4f), kInk);
  return c;
}

}  // namespace ag
