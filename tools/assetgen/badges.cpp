// badges.png: 16 badges of 64 x 64. The score table draws them at scale 0.28 (about 18 pixels),
// so each is told apart by a bold symbol and its own colour: eight symbols on round medals, the
// same eight on rosettes, each badge a different hue.
#include <cmath>
#include <vector>

#include "art.h"

namespace ag {

namespace {
constexpr float kPi = 3.14159265f;
const RGBA kInk = Rgb(30, 26, 32);
const RGBA kWhite = Rgb(255, 255, 255);

RGBA Hue(float h, float s, float v) {
  float c = v * s, hp = std::fmod(h / 60.0f, 6.0f), x = c * (1 - std::fabs(std::fmod(hp, 2.0f) - 1));
  float r = 0, g = 0, b = 0;
  if (hp < 1) r = c, g = x; else if (hp < 2) r = x, g = c; else if (hp < 3) g = c, b = x;
  else if (hp < 4) g = x, b = c; else if (hp < 5) r = x, b = c; else r = c, b = x;
  float m = v - c;
  return {r + m, g + m, b + m, 1};
}

Shape Star(float cx, float cy, float r0, float r1, int points) {
  std::vector<Vec> v;
  for (int i = 0; i < points * 2; i++) {
    float a = -kPi / 2 + i * kPi / points, r = (i % 2) ? r1 : r0;
    v.push_back({cx + std::cos(a) * r, cy + std::sin(a) * r});
  }
  return Polygon(v);
}

Shape Symbol(int k) {
  switch (k) {
    case 0: return Star(32, 33, 17, 7.5f, 5);
    case 1: return Union(Union(Circle(25, 27, 8), Circle(39, 27, 8)), Polygon({{18.5f, 31}, {45.5f, 31}, {32, 47}}));  // heart
    case 2: return Polygon({{36, 12}, {22, 35}, {31, 35}, {27, 52}, {43, 27}, {34, 27}});  // lightning
    case 3: return Polygon({{16, 44}, {16, 22}, {24, 32}, {32, 18}, {40, 32}, {48, 22}, {48, 44}});  // crown
    case 4: return Subtract(Circle(32, 32, 15), Circle(39, 27, 13));  // moon
    case 5: return Union(Union(Circle(32, 23, 7.5f), Circle(23, 35, 7.5f)), Union(Circle(41, 35, 7.5f), Box(30.5f, 32, 33.5f, 50, 1)));  // clover
    case 6: return Union(Box(21, 14, 25, 50, 1.5f), Polygon({{25, 15}, {46, 22}, {25, 30}}));  // flag
    default: return Union(Ellipse(32, 31, 13, 11), Union(Circle(22, 27, 5), Circle(42, 27, 5)));  // sheep head
  }
}
}  // namespace

Canvas MakeBadges() {
  Canvas c(256, 256);
  for (int n = 0; n < 16; n++) {
    c.Clip(n % 4 * 64, n / 4 * 64, n % 4 * 64 + 64, n / 4 * 64 + 64);
    Xform t{float(n % 4) * 64, float(n / 4) * 64, 1, 0};
    RGBA col = Hue(std::fmod(n * 157.5f, 360.0f), 0.75f, 0.92f);
    if (n < 8) {
      c.FillOutlined(t, Circle(32, 32, 27.5f), Radial({26, 24}, 34, Shade(col, 1.35f), Shade(col, 0.7f)), kInk, 2.5f);
      c.Fill(t, Ring(32, 32, 23.5f, 1.8f), Rgb(255, 255, 255, 0.6f));
    } else {
      c.FillOutlined(t, Star(32, 32, 30, 25, 14), Radial({26, 24}, 34, Shade(col, 1.35f), Shade(col, 0.7f)), kInk, 2.0f);
      c.FillOutlined(t, Circle(32, 32, 21), Solid(Shade(col, 0.8f)), Rgb(255, 255, 255, 0.8f), 1.5f);
    }
    Shape sym = Symbol(n % 8);
    c.Fill(t.Then(1.5f, 2), sym, Rgb(0, 0, 0, 0.35f));
    c.FillOutlined(t, sym, Linear({32, 14}, kWhite, {32, 50}, Rgb(226, 230, 240)), kInk, 1.6f);
    if (n % 8 == 7) {  // the sheep head gets its dark face
      c.FillOutlined(t, Ellipse(32, 35, 6.5f, 8), Solid(Rgb(58, 50, 56)), kInk, 1.0f);
      c.Fill(t, Circle(29.5f, 33, 1.3f), kWhite), c.Fill(t, Circle(34.5f, 33, 1.3f), kWhite);
    }
  }
  c.NoClip();
  return c;
}

}  // namespace ag
