// gfx_01.png: the game's sprites, 256 cells of 32 x 32. Sprites are
// drawn at one pixel per pixel, two screen pixels per playfield unit, centred on their cell; the
// ground (playfield y 256) falls on row 30 of the sheep's cell. Hazards are warm reds and oranges
// with dark outlines; the sheep is white with a dark outline so it reads on any backdrop.
#include <cmath>

#include "art.h"

namespace ag {

namespace {
constexpr float kPi = 3.14159265f;
const RGBA kInk = Rgb(38, 30, 34);        // outlines
const RGBA kWool = Rgb(250, 250, 246);
const RGBA kWoolShade = Rgb(206, 204, 214);
const RGBA kFace = Rgb(58, 50, 56);
const RGBA kLeg = Rgb(50, 42, 48);
const RGBA kRed = Rgb(232, 62, 40);
const RGBA kRedDark = Rgb(150, 22, 22);
const RGBA kOrange = Rgb(255, 150, 40);
const RGBA kYellow = Rgb(255, 226, 90);
const RGBA kSteel = Rgb(196, 200, 210);
const RGBA kSteelDark = Rgb(100, 104, 118);

Xform Cell(int frame) { return Xform{float(frame % 16) * 32, float(frame / 16) * 32, 1, 0}; }

float Rad(float deg) { return deg * kPi / 180; }

void Leg(Canvas& c, const Xform& t, float hipX, float hipY, float swingDeg, RGBA col) {
  float len = 8.4f;
  float fx = hipX - std::sin(Rad(swingDeg)) * len, fy = hipY + std::cos(Rad(swingDeg)) * len;
  c.Fill(t, Capsule(hipX, hipY, fx, fy, 1.75f), kInk);
  c.Fill(t, Capsule(hipX, hipY, fx, fy, 1.0f), col);
  c.Fill(t, Capsule(fx - 0.9f, fy - 0.2f, fx + 0.5f, fy - 0.2f, 1.3f), kInk);  // hoof
}
}  // namespace

void DrawSheep(Canvas& c, const Xform& t, int pose) {
  // Poses 0 to 2 step through the walk (legs crossing, passing, crossing the other way); pose 3
  // has the front legs reaching forward and the hind legs back: the last walk frame and the jump.
  static const float kSwing[4][4] = {  // near front, far front, near hind, far hind (degrees, + = forward)
      {22, -18, -18, 22}, {4, -4, 4, -4}, {-18, 22, 22, -18}, {30, 24, -28, -22}};
  const float* sw = kSwing[pose & 3];
  float bob = pose == 1 ? -0.7f : 0.0f;
  Xform b = t.Then(0, bob);
  RGBA farLeg = Shade(kLeg, 0.7f);
  Leg(c, b, 12.0f, 21.8f, sw[1], farLeg);
  Leg(c, b, 23.0f, 21.8f, sw[3], farLeg);
  Leg(c, b, 10.0f, 21.8f, sw[0], kLeg);
  Leg(c, b, 21.0f, 21.8f, sw[2], kLeg);
  // Wool: a cloud of overlapping puffs.
  Shape wool = Ellipse(18.5f, 15.5f, 10.5f, 7.0f);
  const float puffs[][3] = {{11, 12.5f, 3.8f}, {15, 9.5f, 4.2f}, {20, 8.8f, 4.4f}, {25, 10.5f, 4.0f},
                            {28, 15, 3.6f},    {25.5f, 20, 3.8f}, {20, 21.5f, 3.8f}, {14, 21, 3.8f},
                            {10.5f, 17.5f, 3.4f}};
  for (const auto& p : puffs) wool = Union(wool, Circle(p[0], p[1], p[2]));
  c.FillOutlined(b, wool, Linear({18, 6}, kWool, {18, 25}, kWoolShade), kInk, 1.3f);
  for (const auto& p : puffs) c.Fill(b, Ring(p[0] + 0.4f, p[1] + 0.6f, p[2] * 0.42f, 0.6f), Rgb(226, 224, 232));
  // Head, facing left and out in front of the wool, so the walking direction is plain.
  Xform h = b.Then(6.0f, 13.8f, 1, -14);
  Shape head = Union(Ellipse(0, 0, 5.0f, 3.7f), Circle(2.6f, -1.3f, 3.4f));
  c.FillOutlined(h, head, Linear({0, -4}, Shade(kFace, 1.15f), {0, 4}, kFace), kInk, 1.1f);
  c.FillOutlined(h, Ellipse(4.6f, 1.6f, 2.9f, 1.3f), Solid(Shade(kFace, 1.25f)), kInk, 0.8f);  // ear
  c.Fill(h, Circle(-1.0f, -1.2f, 1.35f), Rgb(255, 255, 255));  // eye
  c.Fill(h, Circle(-1.5f, -1.0f, 0.7f), kInk);
  c.Fill(h, Circle(-4.2f, 1.0f, 0.6f), Rgb(20, 16, 18));  // nostril
}

void DrawBallSpikes(Canvas& c, const Xform& r) {
  // Frame 16: spikes and studs around the centre of r; drawn rotated, so the turn shows.
  for (int k = 0; k < 8; k++) {
    float a = Rad(45.0f * k), ca = std::cos(a), sa = std::sin(a), pa = a + kPi / 2;
    Vec tip{ca * 15.6f, sa * 15.6f};
    Vec l{ca * 9.0f + std::cos(pa) * 2.8f, sa * 9.0f + std::sin(pa) * 2.8f};
    Vec rr{ca * 9.0f - std::cos(pa) * 2.8f, sa * 9.0f - std::sin(pa) * 2.8f};
    c.FillOutlined(r, Polygon({l, tip, rr}), Linear(l, kSteel, tip, Rgb(255, 255, 255)), kInk, 0.9f);
  }
  c.Fill(r, Ring(0, 0, 6.2f, 1.4f), Rgb(110, 10, 14, 0.9f));
  c.FillOutlined(r, Circle(-4.4f, -4.4f, 1.7f), Solid(kYellow), kInk, 0.7f);
  c.FillOutlined(r, Circle(4.4f, 4.4f, 1.7f), Solid(kYellow), kInk, 0.7f);
}

static void BallStillPart(Canvas& c, const Xform& t) {
  // Frame 17: the lit body; the light stays put while the spikes turn.
  c.FillOutlined(t, Circle(16, 16, 10.5f), Radial({12.5f, 12}, 14, Rgb(255, 140, 90), kRedDark), kInk, 1.2f);
  c.Fill(t, Ellipse(12.5f, 11.5f, 3.2f, 2.2f), Rgb(255, 220, 190, 0.8f));
}

void DrawSpikeBall(Canvas& c, const Xform& t, float spin) {
  BallStillPart(c, t);
  DrawBallSpikes(c, t.Then(16, 16, 1, spin));
}

void DrawBlock(Canvas& c, const Xform& t) {
  c.FillOutlined(t, Box(1.5f, 1.5f, 30.5f, 30.5f, 3), Linear({0, 0}, Rgb(244, 120, 60), {32, 32}, Rgb(170, 50, 30)), kInk, 1.2f);
  c.Fill(t, Box(6, 6, 26, 26, 2), Rgb(120, 30, 24, 0.35f));
  c.Fill(t, Polygon({{6, 22}, {22, 6}, {26, 6}, {26, 10}, {10, 26}, {6, 26}}), Rgb(255, 200, 80, 0.85f));
  c.Fill(t, Box(3, 3, 29, 4.5f, 1), Rgb(255, 220, 180, 0.5f));  // top bevel light
  for (Vec p : {Vec{5, 5}, Vec{27, 5}, Vec{5, 27}, Vec{27, 27}})
    c.FillOutlined(t, Circle(p.x, p.y, 1.4f), Solid(kSteel), kInk, 0.6f);
}

void DrawHayBale(Canvas& c, const Xform& t) {
  c.FillOutlined(t, Circle(16, 16, 14.5f), Radial({13, 12}, 17, Rgb(255, 206, 96), Rgb(196, 120, 30)), kInk, 1.2f);
  // The rolled straw: a spiral, plainly turning as the bale rolls.
  for (int i = 0; i < 90; i++) {
    float a0 = i * 0.22f, a1 = (i + 1) * 0.22f;
    float r0 = 1.0f + a0 * 0.66f, r1 = 1.0f + a1 * 0.66f;
    if (r1 > 13.2f) break;
    c.Fill(t, Capsule(16 + std::cos(a0) * r0, 16 + std::sin(a0) * r0, 16 + std::cos(a1) * r1,
                      16 + std::sin(a1) * r1, 0.55f),
           Rgb(150, 84, 20, 0.85f));
  }
  // Red twine across the bale.
  c.Fill(t, Intersect(Box(14.2f, 0, 17.8f, 32), Circle(16, 16, 14.2f)), Rgb(210, 30, 30));
  c.Fill(t, Intersect(Box(15.3f, 0, 16.7f, 32), Circle(16, 16, 14.2f)), Rgb(255, 110, 90));
}

void DrawChaserFace(Canvas& c, const Xform& t) {
  c.FillOutlined(t, Circle(16, 16, 9.8f), Radial({13, 12}, 13, Rgb(190, 90, 230), Rgb(90, 20, 120)), kInk, 1.2f);
  for (float s : {-1.0f, 1.0f}) {
    c.FillOutlined(t, Ellipse(16 + s * 3.6f, 14, 2.6f, 3.0f), Solid(Rgb(255, 255, 255)), kInk, 0.7f);
    c.Fill(t, Circle(16 + s * 3.3f, 14.8f, 1.3f), kInk);
    c.Fill(t, Polygon({{16 + s * 1.0f, 11.6f}, {16 + s * 6.8f, 9.0f}, {16 + s * 6.8f, 10.6f}, {16 + s * 1.2f, 12.8f}}), kInk);
  }
  c.FillOutlined(t, Polygon({{10.5f, 19}, {21.5f, 19}, {19.5f, 23.2f}, {12.5f, 23.2f}}), Solid(Rgb(120, 0, 20)), kInk, 0.6f);
  for (float x : {12.5f, 15.0f, 17.5f}) c.Fill(t, Polygon({{x, 19}, {x + 2.5f, 19}, {x + 1.25f, 21}}), Rgb(255, 255, 255));
}

void DrawSpikeTrap(Canvas& c, const Xform& t, bool dangerous) {
  // The cell's centre is playfield y 250, so the ground (y 256) is row 28.
  if (dangerous) {
    c.Fill(t, Ellipse(16, 20, 15, 9), Rgb(255, 60, 20, 0.25f));  // hot glow
    for (int k = 0; k < 5; k++) {
      float x = 4 + k * 6;
      float top = (k % 2) ? 6.0f : 9.0f;
      c.FillOutlined(t, Polygon({{x - 2.8f, 25}, {x, top}, {x + 2.8f, 25}}), Linear({x, top}, Rgb(255, 240, 200), {x, 25}, kRed), kInk, 0.9f);
    }
    c.FillOutlined(t, Box(1, 24, 31, 29, 1.5f), Solid(Rgb(200, 40, 30)), kInk, 1.0f);
    for (float x : {6.0f, 16.0f, 26.0f}) c.Fill(t, Box(x - 2.5f, 25.5f, x + 2.5f, 27.5f, 0.8f), kYellow);
  } else {
    for (int k = 0; k < 5; k++) {
      float x = 4 + k * 6;
      c.FillOutlined(t, Polygon({{x - 2.2f, 25}, {x, 22.5f}, {x + 2.2f, 25}}), Solid(Rgb(150, 160, 150)), kInk, 0.7f);
    }
    c.FillOutlined(t, Box(1, 24, 31, 29, 1.5f), Solid(Rgb(96, 110, 104)), kInk, 1.0f);
    for (float x : {6.0f, 16.0f, 26.0f}) c.Fill(t, Box(x - 2.5f, 25.5f, x + 2.5f, 27.5f, 0.8f), Rgb(120, 230, 120));
  }
}

void DrawEruption(Canvas& c, const Xform& t, int stage) {
  // Drawn three times taller than wide, so shapes here are squat; the vent sits on the bottom row.
  Shape vent = Polygon({{2, 31.5f}, {7, 27.5f}, {12, 26.5f}, {20, 26.5f}, {25, 27.5f}, {30, 31.5f}});
  if (stage <= 5) {
    float h = 4.0f + stage * 4.6f;  // column height in rows: stage 5 reaches row 1
    float top = 28.0f - h;
    float hw = 4.0f + stage * 0.8f;
    std::vector<Vec> outer;
    int n = 14;
    for (int i = 0; i <= n; i++) {  // left edge up, right edge down, with a flickering wave
      float y = 28 - h * i / n;
      float w = hw * (1.0f - 0.55f * i / n) + 0.9f * std::sin(i * 1.9f + stage);
      outer.push_back({16 - w, y});
    }
    outer.push_back({16, top - 1.5f});
    for (int i = n; i >= 0; i--) {
      float y = 28 - h * i / n;
      float w = hw * (1.0f - 0.55f * i / n) + 0.9f * std::cos(i * 2.3f + stage);
      outer.push_back({16 + w, y});
    }
    Shape col = Polygon(outer);
    c.Fill(t, Grow(col, 1.5f), Rgb(255, 70, 20, 0.35f));
    c.FillOutlined(t, col, Linear({16, top}, kYellow, {16, 28}, Rgb(230, 50, 20)), Rgb(120, 20, 10), 0.8f);
    c.Fill(t, Intersect(Grow(col, -hw * 0.45f), Box(0, top, 32, 28)), Linear({16, top}, Rgb(255, 255, 220), {16, 28}, kOrange));
    for (int k = 0; k < stage; k++) {  // flying lava drops, squashed so they look round on screen
      float x = 16 + ((k % 2) ? 1 : -1) * (hw + 1.5f + k * 0.7f);
      float y = top + 3 + k * 2.5f;
      c.FillOutlined(t, Ellipse(x, y, 1.6f, 0.6f), Solid(kOrange), Rgb(120, 20, 10), 0.4f);
    }
    c.FillOutlined(t, vent, Linear({16, 26}, Rgb(120, 80, 70), {16, 32}, Rgb(60, 40, 40)), kInk, 0.8f);
    c.Fill(t, Ellipse(16, 27.2f, 5.5f, 0.9f), Rgb(255, 120, 30));
  } else {
    // Stage 6 is the harmless rest: a cooled vent with a thin wisp of smoke.
    c.Fill(t, Ellipse(17, 21, 2.4f, 1.0f), Rgb(200, 200, 210, 0.45f));
    c.Fill(t, Ellipse(15.5f, 18.5f, 2.0f, 0.8f), Rgb(200, 200, 210, 0.35f));
    c.Fill(t, Ellipse(17.5f, 16.2f, 1.6f, 0.6f), Rgb(200, 200, 210, 0.25f));
    c.FillOutlined(t, vent, Linear({16, 26}, Rgb(120, 110, 110), {16, 32}, Rgb(70, 64, 66)), kInk, 0.8f);
    c.Fill(t, Ellipse(16, 27.2f, 5.0f, 0.8f), Rgb(50, 40, 40));
  }
}

void DrawLorry(Canvas& c, const Xform& t) {
  // 256 x 64 local units; the lower row (y 32..64) is the dangerous part; wheels touch y 63.
  c.FillOutlined(t, Box(4, 8, 190, 50, 3), Linear({0, 8}, Rgb(240, 90, 50), {0, 50}, Rgb(170, 40, 30)), kInk, 1.5f);
  for (int k = 0; k < 9; k++) c.Fill(t, Box(12 + k * 20.0f, 12, 14 + k * 20.0f, 46), Rgb(140, 30, 24, 0.6f));
  c.Fill(t, Box(6, 10, 188, 14, 2), Rgb(255, 200, 160, 0.45f));
  // Hay load peeking over the top.
  for (int k = 0; k < 6; k++) c.FillOutlined(t, Box(12 + k * 29.0f, 1, 38 + k * 29.0f, 9, 3), Solid(Rgb(240, 196, 90)), kInk, 1.0f);
  // Cab, facing right, narrower at the front.
  c.FillOutlined(t, Polygon({{194, 50}, {194, 14}, {226, 14}, {246, 32}, {250, 36}, {250, 50}}),
                 Linear({0, 14}, Rgb(255, 170, 60), {0, 50}, Rgb(200, 90, 20)), kInk, 1.5f);
  c.FillOutlined(t, Polygon({{202, 18}, {224, 18}, {240, 32}, {202, 32}}), Linear({202, 18}, Rgb(220, 245, 255), {240, 32}, Rgb(120, 170, 210)), kInk, 1.0f);
  c.Fill(t, Box(244, 40, 251, 46, 1.5f), kYellow);  // headlight
  c.Fill(t, Box(4, 48, 250, 54, 2), Rgb(60, 50, 56));  // chassis
  for (float x : {30.0f, 60.0f, 150.0f, 222.0f}) {
    c.FillOutlined(t, Circle(x, 54, 9), Solid(Rgb(44, 40, 46)), kInk, 1.0f);
    c.Fill(t, Circle(x, 54, 4), kSteel);
    c.Fill(t, Circle(x, 54, 1.5f), kSteelDark);
  }
}

void DrawRacer(Canvas& c, const Xform& t) {
  // A runaway red go-kart, nose to the left, with speed lines trailing right.
  for (float y : {12.0f, 17.0f, 22.0f}) c.Fill(t, Capsule(25, y, 31, y, 0.7f), Rgb(255, 255, 255, 0.7f));
  c.FillOutlined(t, Polygon({{2, 22}, {6, 15}, {14, 14}, {17, 8}, {24, 8}, {27, 15}, {29, 16}, {29, 24}, {2, 24}}),
                 Linear({0, 8}, Rgb(255, 110, 70), {0, 24}, Rgb(180, 30, 24)), kInk, 1.2f);
  c.FillOutlined(t, Polygon({{17.5f, 10}, {23, 10}, {24.5f, 14.5f}, {16, 14.5f}}), Solid(Rgb(190, 230, 255)), kInk, 0.7f);
  c.Fill(t, Box(3, 18, 9, 20, 1), kYellow);
  for (float x : {8.0f, 24.0f}) {
    c.FillOutlined(t, Circle(x, 25, 4.4f), Solid(Rgb(44, 40, 46)), kInk, 0.9f);
    c.Fill(t, Circle(x, 25, 1.8f), kSteel);
  }
}

Canvas MakeSpriteSheet() {
  Canvas c(512, 512);
  auto cell = [&](int f) {
    c.Clip(f % 16 * 32, f / 16 * 32, f % 16 * 32 + 32, f / 16 * 32 + 32);
    return Cell(f);
  };
  for (int p = 0; p < 4; p++) DrawSheep(c, cell(p), p);
  {  // 6: start marker, a ring with arrow heads pointing the way (left), centre left clear
    Xform t = cell(6);
    c.Fill(t, Ring(16, 16, 14, 3.2f), kInk);
    c.Fill(t, Ring(16, 16, 14, 1.8f), Rgb(255, 236, 80));
    for (float y : {16.0f}) {
      c.FillOutlined(t, Polygon({{0.8f, y}, {5.5f, y - 4.5f}, {5.5f, y + 4.5f}}), Solid(Rgb(255, 236, 80)), kInk, 0.9f);
    }
  }
  {  // 8: pivot, a steel hub with a bolt
    Xform t = cell(8);
    c.FillOutlined(t, Circle(16, 16, 6.5f), Radial({14, 14}, 8, Rgb(230, 232, 240), kSteelDark), kInk, 1.1f);
    c.Fill(t, Circle(16, 16, 2.4f), Rgb(60, 60, 70));
    c.Fill(t, Box(15.4f, 13.8f, 16.6f, 18.2f), Rgb(200, 200, 210));
  }
  DrawBlock(c, cell(11));
  BallStillPart(c, cell(17));
  DrawBallSpikes(c, cell(16).Then(16, 16));
  {  // 19: chain link, long axis along the chain
    Xform t = cell(19);
    Shape link = Subtract(Box(12.6f, 9, 19.4f, 23, 3.4f), Box(14.6f, 12, 17.4f, 20, 1.4f));
    c.FillOutlined(t, link, Linear({12, 9}, Rgb(220, 222, 232), {20, 23}, kSteelDark), kInk, 0.9f);
  }
  DrawRacer(c, cell(20));
  DrawSpikeTrap(c, cell(22), true);
  DrawSpikeTrap(c, cell(23), false);
  c.Clip(0, 64, 256, 128);
  DrawLorry(c, Xform{0, 64, 1, 0});
  DrawHayBale(c, cell(41));
  DrawChaserFace(c, cell(43));
  for (int s = 0; s <= 6; s++) DrawEruption(c, cell(80 + s), s);
  c.NoClip();
  return c;
}

}  // namespace ag
