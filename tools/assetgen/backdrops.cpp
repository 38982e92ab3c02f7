// The ten world-pair backdrops: "top_NN-hd.png" (512 x 256, sky and scenery down to the ground
// line) and "bot_NN-hd.png" (512 x 256, the ground from that line down). The game draws them at
// scale 2, tiled every 1024 pixels, the top strip from y 0 and the bottom strip from y 512, each
// with its own random offset; so every element wraps around at x 512, and the strips' joining
// rows are plain horizontal bands that meet at any offset. Colours stay soft and cool so the warm
// hazards and the white sheep stand out.
#include <algorithm>
#include <cmath>
#include <functional>

#include "art.h"

namespace ag {

namespace {
constexpr int kW = 512, kH = 256;
constexpr float kTau = 6.2831853f;

enum class Deco { Clouds, Trees, Pines, Snow, Peaks, Dunes, Reeds, Stars, Moon };

struct Mood {
  const char* name;
  RGBA skyTop, skyLow;
  RGBA far, mid, near;    // hill layers, back to front
  RGBA grass, soil, soilDeep;
  float farH, midH, nearH;  // layer heights above the ground line, in pixels
  float rough;              // hill roughness
  Deco deco1, deco2;
  bool night;
};

const Mood kMoods[10] = {
    {"spring meadow", Rgb(126, 184, 236), Rgb(206, 232, 246), Rgb(170, 206, 190), Rgb(128, 184, 120), Rgb(100, 160, 90),
     Rgb(96, 168, 78), Rgb(118, 92, 70), Rgb(82, 64, 52), 110, 70, 36, 0.6f, Deco::Clouds, Deco::Trees, false},
    {"orchard hills", Rgb(150, 190, 230), Rgb(226, 236, 230), Rgb(176, 196, 200), Rgb(150, 180, 120), Rgb(116, 156, 92),
     Rgb(110, 160, 84), Rgb(126, 100, 74), Rgb(90, 70, 56), 120, 80, 40, 0.8f, Deco::Clouds, Deco::Trees, false},
    {"pine forest", Rgb(120, 160, 196), Rgb(196, 214, 222), Rgb(130, 160, 170), Rgb(70, 110, 100), Rgb(50, 90, 76),
     Rgb(66, 120, 76), Rgb(96, 80, 66), Rgb(66, 56, 50), 130, 90, 40, 1.0f, Deco::Pines, Deco::Clouds, false},
    {"ice fields", Rgb(140, 190, 230), Rgb(230, 242, 250), Rgb(200, 220, 238), Rgb(176, 204, 228), Rgb(150, 184, 214),
     Rgb(200, 226, 244), Rgb(120, 150, 184), Rgb(84, 108, 140), 120, 70, 30, 0.7f, Deco::Snow, Deco::Peaks, false},
    {"high mountains", Rgb(100, 140, 200), Rgb(196, 214, 236), Rgb(150, 160, 190), Rgb(110, 124, 150), Rgb(96, 120, 104),
     Rgb(104, 140, 96), Rgb(110, 104, 100), Rgb(76, 72, 72), 170, 100, 40, 1.6f, Deco::Peaks, Deco::Clouds, false},
    {"dusky dunes", Rgb(120, 120, 180), Rgb(210, 196, 210), Rgb(176, 160, 170), Rgb(176, 160, 140), Rgb(160, 146, 120),
     Rgb(186, 170, 130), Rgb(150, 130, 104), Rgb(110, 96, 80), 70, 50, 24, 0.4f, Deco::Dunes, Deco::Clouds, false},
    {"misty marsh", Rgb(146, 170, 170), Rgb(210, 222, 214), Rgb(170, 190, 184), Rgb(120, 150, 136), Rgb(90, 126, 110),
     Rgb(92, 130, 100), Rgb(84, 84, 70), Rgb(60, 62, 54), 60, 40, 20, 0.5f, Deco::Reeds, Deco::Clouds, false},
    {"purple twilight", Rgb(60, 60, 120), Rgb(170, 150, 196), Rgb(120, 110, 160), Rgb(90, 86, 130), Rgb(70, 76, 110),
     Rgb(80, 110, 110), Rgb(84, 74, 90), Rgb(56, 50, 64), 110, 70, 36, 0.9f, Deco::Trees, Deco::Stars, true},
    {"stormy heights", Rgb(80, 96, 116), Rgb(160, 172, 184), Rgb(120, 130, 144), Rgb(96, 110, 120), Rgb(76, 96, 96),
     Rgb(84, 116, 96), Rgb(90, 86, 84), Rgb(62, 60, 62), 150, 90, 40, 1.3f, Deco::Clouds, Deco::Peaks, false},
    {"moonlit night", Rgb(16, 22, 54), Rgb(60, 70, 120), Rgb(60, 66, 100), Rgb(48, 56, 84), Rgb(40, 50, 70),
     Rgb(70, 86, 110), Rgb(60, 60, 74), Rgb(40, 40, 52), 90, 60, 30, 0.8f, Deco::Stars, Deco::Moon, true},
};

// A wrapping ridge line: sum of sines whose periods divide the tile width.
float Ridge(float x, float rough, uint32_t seed) {
  Rng r(seed);
  float y = 0;
  for (int k = 1; k <= 6; k++) {
    float amp = rough * 14.0f / k, ph = r.Uniform(0, kTau);
    int harmonic = k + r.Int(0, 2);
    y += amp * std::sin(kTau * harmonic * x / kW + ph);
  }
  return y;
}

// Draws shape s at x and at x +- 512 so it wraps across the tile's edges.
void Wrapped(float x, float y, float s, const std::function<void(const Xform&)>& draw) {
  for (float dx : {-float(kW), 0.0f, float(kW)}) draw(Xform{x + dx, y, s, 0});
}

void Layer(Canvas& c, float baseY, float height, float rough, uint32_t seed, RGBA col, RGBA top) {
  for (int x = 0; x < kW; x++) {
    float ridge = baseY - height + Ridge(x + 0.5f, rough, seed);
    for (int y = std::max(0, int(ridge) - 1); y < kH; y++) {
      float cov = std::clamp(y + 1 - ridge, 0.0f, 1.0f);
      float t = std::clamp((y - ridge) / 30.0f, 0.0f, 1.0f);
      c.Blend(x, y, Mix(top, col, t), cov);
    }
  }
}

void Cloud(Canvas& c, const Xform& t, RGBA col) {
  Shape s = Union(Union(Ellipse(0, 0, 26, 9), Circle(-10, -5, 9)), Union(Circle(6, -8, 11), Circle(18, -2, 8)));
  c.Fill(t, s, Linear({0, -18}, col, {0, 9}, Shade(col, 0.9f)));
}

void Tree(Canvas& c, const Xform& t, RGBA leaf, RGBA trunk) {
  c.Fill(t, Box(-1.5f, -8, 1.5f, 0), trunk);
  c.Fill(t, Union(Circle(0, -14, 8), Union(Circle(-5, -10, 5.5f), Circle(5, -10, 5.5f))), Linear({0, -22}, Shade(leaf, 1.15f), {0, -5}, leaf));
}

void Pine(Canvas& c, const Xform& t, RGBA col) {
  c.Fill(t, Polygon({{0, -34}, {9, -8}, {3, -8}, {11, 2}, {-11, 2}, {-3, -8}, {-9, -8}}), col);
}
}  // namespace

const char* BackdropMood(int pair) { return kMoods[(pair - 1) % 10].name; }

Canvas MakeBackdropTop(int pair) {
  const Mood& m = kMoods[(pair - 1) % 10];
  Canvas c(kW, kH);
  uint32_t seed = 7000u + pair * 31u;
  for (int y = 0; y < kH; y++) {
    RGBA col = Mix(m.skyTop, m.skyLow, std::pow(y / float(kH - 1), 0.8f));
    for (int x = 0; x < kW; x++) c.Blend(x, y, col, 1);
  }
  Rng r(seed);
  auto decorate = [&](Deco d, bool back) {
    switch (d) {
      case Deco::Clouds:
        if (!back) break;
        for (int k = 0; k < 5; k++) {
          float x = r.Uniform(0, kW), y = r.Uniform(24, 90), s = r.Uniform(0.7f, 1.3f);
          RGBA col = m.night ? Rgb(110, 110, 150, 0.5f) : Rgb(250, 252, 255, 0.85f);
          Wrapped(x, y, s, [&](const Xform& t) { Cloud(c, t, col); });
        }
        break;
      case Deco::Stars:
        if (!back) break;
        for (int k = 0; k < 120; k++) {
          float x = r.Uniform(0, kW), y = r.Uniform(2, 150), s = r.Uniform(0.35f, 1.0f);
          Wrapped(x, y, 1, [&](const Xform& t) { c.Fill(t, Circle(0, 0, s), Rgb(255, 255, 230, 0.5f + 0.5f * s)); });
        }
        break;
      case Deco::Moon:
        if (!back) break;
        Wrapped(380, 56, 1, [&](const Xform& t) {
          c.Fill(t, Circle(0, 0, 34), Rgb(240, 240, 210, 0.12f));
          c.Fill(t, Circle(0, 0, 22), Rgb(240, 238, 214));
          c.Fill(t, Circle(-6, -4, 5), Rgb(214, 212, 190));
          c.Fill(t, Circle(7, 6, 3.5f), Rgb(214, 212, 190));
          c.Fill(t, Circle(5, -9, 2.5f), Rgb(214, 212, 190));
        });
        break;
      case Deco::Peaks:
        if (!back) break;
        for (int k = 0; k < 4; k++) {
          // The peaks rise 40 to 90 pixels above the far hills, whose layer hides their feet.
          float base = kH - m.farH + 60;
          float x = k * 128 + r.Uniform(0, 60), h = 60 + r.Uniform(40, 90), w = h * r.Uniform(0.6f, 0.8f);
          RGBA rock = Shade(Mix(m.far, m.mid, 0.4f), 0.92f);
          Wrapped(x, base, 1, [&](const Xform& t) {
            c.Fill(t, Polygon({{-w, 0}, {0, -h}, {w, 0}}), rock);
            c.Fill(t, Polygon({{-w, 0}, {0, -h}, {w * 0.15f, 0}}), Shade(rock, 1.12f));  // lit side
            c.Fill(t, Polygon({{-w * 0.28f, -h * 0.72f}, {0, -h}, {w * 0.28f, -h * 0.72f}, {w * 0.1f, -h * 0.66f}, {-w * 0.08f, -h * 0.7f}}), Rgb(246, 248, 252));
          });
        }
        break;
      default: break;
    }
  };
  decorate(m.deco1, true);
  decorate(m.deco2, true);
  Layer(c, kH, m.farH, m.rough, seed + 1, m.far, Shade(m.far, 1.08f));
  Layer(c, kH, m.midH, m.rough * 0.8f, seed + 2, m.mid, Shade(m.mid, 1.08f));
  // Front decorations stand on the near layer.
  auto front = [&](Deco d) {
    switch (d) {
      case Deco::Trees:
        for (int k = 0; k < 9; k++) {
          float x = r.Uniform(0, kW), s = r.Uniform(0.8f, 1.4f);
          float y = kH - m.nearH + Ridge(x, m.rough * 0.6f, seed + 3) + 6;
          RGBA leaf = Mix(m.near, m.mid, 0.5f);
          Wrapped(x, y, s, [&](const Xform& t) { Tree(c, t, Shade(leaf, 0.9f), Shade(m.soil, 0.8f)); });
        }
        break;
      case Deco::Pines:
        for (int k = 0; k < 22; k++) {
          float x = r.Uniform(0, kW), s = r.Uniform(0.8f, 1.5f);
          float y = kH - m.nearH + Ridge(x, m.rough * 0.6f, seed + 3) + 8;
          Wrapped(x, y, s, [&](const Xform& t) { Pine(c, t, Shade(m.near, 0.8f)); });
        }
        break;
      case Deco::Snow:
        for (int k = 0; k < 160; k++) {
          float x = r.Uniform(0, kW), y = r.Uniform(0, kH - 20), s = r.Uniform(0.5f, 1.2f);
          Wrapped(x, y, 1, [&](const Xform& t) { c.Fill(t, Circle(0, 0, s), Rgb(255, 255, 255, 0.55f)); });
        }
        break;
      case Deco::Dunes:
        Layer(c, kH, m.nearH + 26, 0.9f, seed + 5, Mix(m.mid, m.near, 0.5f), Shade(m.mid, 1.1f));
        break;
      case Deco::Reeds:
        for (int k = 0; k < 70; k++) {
          float x = r.Uniform(0, kW), h = r.Uniform(10, 26), lean = r.Uniform(-3, 3);
          Wrapped(x, kH - 10, 1, [&](const Xform& t) {
            c.Fill(t, Capsule(0, 0, lean, -h, 0.8f), Shade(m.near, 0.8f));
            c.Fill(t, Ellipse(lean, -h, 1.5f, 3.5f), Rgb(110, 90, 70));
          });
        }
        break;
      default: break;
    }
  };
  front(m.deco1);
  front(m.deco2);
  Layer(c, kH, m.nearH, m.rough * 0.6f, seed + 3, m.near, Shade(m.near, 1.1f));
  // A soft haze line at the horizon keeps the bottom rows calm behind the sheep.
  for (int y = kH - 24; y < kH; y++) {
    float a = (y - (kH - 24)) / 24.0f * 0.35f;
    for (int x = 0; x < kW; x++) c.Blend(x, y, m.skyLow, a);
  }
  // The last two rows: one plain band, so the join with the bottom strip is level at any offset.
  for (int y = kH - 2; y < kH; y++)
    for (int x = 0; x < kW; x++) c.Blend(x, y, Shade(m.grass, 1.05f), 1);
  return c;
}

Canvas MakeBackdropBottom(int pair) {
  const Mood& m = kMoods[(pair - 1) % 10];
  Canvas c(kW, kH);
  uint32_t seed = 9000u + pair * 37u;
  for (int y = 0; y < kH; y++) {
    for (int x = 0; x < kW; x++) {
      float n = Fbm(x / 16.0f, y / 16.0f, kW / 16, seed, 4);
      RGBA base = Mix(m.soil, m.soilDeep, std::min(1.0f, y / 200.0f));
      c.Blend(x, y, Shade(base, 0.88f + 0.24f * n), 1);
    }
  }
  // Grass band on top: a plain top edge, tufts hanging down over the soil.
  for (int x = 0; x < kW; x++) {
    float depth = 10 + 3 * std::sin(kTau * 8 * x / kW) + 2 * std::sin(kTau * 21 * x / kW + 1.0f);
    for (int y = 0; y < 20; y++) {
      float cov = std::clamp(depth - y, 0.0f, 1.0f);
      RGBA g = Mix(Shade(m.grass, 1.05f), Shade(m.grass, 0.8f), y / 16.0f);
      c.Blend(x, y, g, cov);
    }
  }
  Rng r(seed);
  for (int k = 0; k < 40; k++) {  // stones
    float x = r.Uniform(0, kW), y = r.Uniform(30, kH - 8), rx = r.Uniform(3, 8), ry = rx * r.Uniform(0.5f, 0.8f);
    RGBA stone = Mix(m.soilDeep, Rgb(170, 170, 170), 0.35f);
    Wrapped(x, y, 1, [&](const Xform& t) {
      c.Fill(t, Ellipse(0, 0, rx, ry), Shade(stone, 0.9f));
      c.Fill(t, Ellipse(-rx * 0.25f, -ry * 0.3f, rx * 0.55f, ry * 0.45f), Shade(stone, 1.1f));
    });
  }
  for (int k = 0; k < 3; k++) {  // soil strata
    float y0 = 70 + k * 60;
    for (int x = 0; x < kW; x++) {
      float y = y0 + 5 * std::sin(kTau * (k + 2) * x / kW + k);
      for (int yy = int(y); yy < int(y) + 3 && yy < kH; yy++) c.Blend(x, yy, Shade(m.soilDeep, 0.85f), 0.35f);
    }
  }
  return c;
}

}  // namespace ag
