// icons.png: 64 cells of 16 x 16 (Parts 1.5, 1.6, 1.9, 3.3, 5.2, 5.3). The program tints icons
// with its own colours, so they are drawn in white and light grey with dark outlines; frames
// without a meaning stay empty. Frame 63, the mouse pointer, has its tip in the top-left corner:
// the pointer is drawn 12 pixels right and down of the mouse at scale 1.5, which puts that corner
// on the mouse position.
#include <cmath>
#include <vector>

#include "art.h"

namespace ag {

namespace {
const RGBA kInk = Rgb(24, 24, 30);
const RGBA kWhite = Rgb(255, 255, 255);
const RGBA kLight = Rgb(214, 216, 224);
const RGBA kDim = Rgb(40, 40, 48, 0.55f);

Xform Cell(int f) { return Xform{float(f % 8) * 16, float(f / 8) * 16, 1, 0}; }

void Monitor(Canvas& c, const Xform& t, float w, float h) {
  float x0 = 8 - w / 2, y0 = 7 - h / 2;
  c.FillOutlined(t, Box(x0, y0, x0 + w, y0 + h, 1), Solid(kWhite), kInk, 0.9f);
  c.Fill(t, Box(x0 + 1.4f, y0 + 1.4f, x0 + w - 1.4f, y0 + h - 1.4f, 0.5f), Linear({0, y0}, Rgb(150, 170, 200), {0, y0 + h}, Rgb(90, 100, 130)));
  c.FillOutlined(t, Polygon({{6.5f, y0 + h}, {9.5f, y0 + h}, {10.5f, 14.5f}, {5.5f, 14.5f}}), Solid(kLight), kInk, 0.7f);
}

void Speaker(Canvas& c, const Xform& t) {
  c.FillOutlined(t, Polygon({{2, 6}, {5, 6}, {9, 2.5f}, {9, 13.5f}, {5, 10}, {2, 10}}), Solid(kWhite), kInk, 0.9f);
}

void FilmStrip(Canvas& c, const Xform& t, bool skip) {
  c.FillOutlined(t, Box(1, 3, 15, 13, 0.8f), Solid(kLight), kInk, 0.8f);
  for (int k = 0; k < 3; k++) {
    float x = 2.3f + k * 4.3f;
    bool hole = skip && k == 1;
    c.Fill(t, Box(x, 5, x + 3.2f, 11, 0.4f), hole ? Rgb(40, 40, 48) : Rgb(255, 255, 255));
    if (!hole) c.Fill(t, Circle(x + 1.6f, 8, 1.0f), Rgb(150, 160, 180));
  }
  if (skip) c.Fill(t, Capsule(5.6f, 11.5f, 10.2f, 4.5f, 0.8f), Rgb(255, 255, 255));
}
}  // namespace

Canvas MakeIcons() {
  Canvas c(128, 128);
  auto cell = [&](int f) {
    c.Clip(f % 8 * 16, f / 8 * 16, f % 8 * 16 + 16, f / 8 * 16 + 16);
    return Cell(f);
  };
  {  // 0: the engine test's sprite (drawn invisible there): a small diamond
    Xform t = cell(0);
    c.FillOutlined(t, Polygon({{8, 2}, {14, 8}, {8, 14}, {2, 8}}), Solid(kWhite), kInk, 0.8f);
  }
  {  // 3: key cap; the key's name is printed on it
    Xform t = cell(3);
    c.FillOutlined(t, Box(1.2f, 1.2f, 14.8f, 14.8f, 2.5f), Solid(kWhite), kInk, 0.7f);
    c.Fill(t, Box(2.6f, 2.4f, 13.4f, 12.6f, 1.8f), kDim);
    c.Fill(t, Box(2.6f, 12.8f, 13.4f, 14.0f, 0.6f), Rgb(120, 120, 130));
  }
  {  // 7: graph point
    Xform t = cell(7);
    c.FillOutlined(t, Circle(8, 8, 3.2f), Solid(kWhite), kInk, 1.0f);
  }
  {  // 8: joystick hat, a direction pad
    Xform t = cell(8);
    Shape pad = Union(Box(5.5f, 1.5f, 10.5f, 14.5f, 1), Box(1.5f, 5.5f, 14.5f, 10.5f, 1));
    c.FillOutlined(t, pad, Solid(kWhite), kInk, 0.8f);
    for (auto tri : std::vector<std::vector<Vec>>{{{8, 2.6f}, {9.7f, 4.8f}, {6.3f, 4.8f}}, {{8, 13.4f}, {9.7f, 11.2f}, {6.3f, 11.2f}},
                                                  {{2.6f, 8}, {4.8f, 6.3f}, {4.8f, 9.7f}}, {{13.4f, 8}, {11.2f, 6.3f}, {11.2f, 9.7f}}})
      c.Fill(t, Polygon(tri), Rgb(110, 110, 124));
  }
  {  // 9: joystick axis, a stick on a base
    Xform t = cell(9);
    c.FillOutlined(t, Ellipse(8, 12.5f, 6.5f, 2.6f), Solid(kLight), kInk, 0.8f);
    c.FillOutlined(t, Capsule(8, 12, 10, 5, 1.0f), Solid(kWhite), kInk, 0.7f);
    c.FillOutlined(t, Circle(10.2f, 4.3f, 2.6f), Solid(kWhite), kInk, 0.8f);
  }
  {  // 10: joystick button; its number is printed on it
    Xform t = cell(10);
    c.FillOutlined(t, Circle(8, 8, 6.6f), Solid(kWhite), kInk, 0.7f);
    c.Fill(t, Circle(8, 8, 5.2f), kDim);
  }
  Monitor(c, cell(11), 11, 8.5f);     // display resolution
  Monitor(c, cell(12), 14.5f, 8.5f);  // widescreen
  {  // 13: windowed
    Xform t = cell(13);
    c.FillOutlined(t, Box(2, 3, 14, 13, 1), Solid(Rgb(120, 130, 150)), kInk, 0.8f);
    c.Fill(t, Box(2, 3, 14, 5.6f, 1), kWhite);
    c.Fill(t, Circle(12.4f, 4.3f, 0.7f), kInk);
  }
  {  // 14: full screen, arrows out to the corners
    Xform t = cell(14);
    c.FillOutlined(t, Box(1, 1, 15, 15, 1), Solid(Rgb(120, 130, 150)), kInk, 0.8f);
    for (Vec d : {Vec{-1, -1}, Vec{1, -1}, Vec{-1, 1}, Vec{1, 1}}) {
      Vec tip{8 + d.x * 5.4f, 8 + d.y * 5.4f};
      c.Fill(t, Capsule(8 + d.x * 1.5f, 8 + d.y * 1.5f, tip.x, tip.y, 0.75f), kWhite);
      c.Fill(t, Polygon({tip, {tip.x - d.x * 3.2f, tip.y}, {tip.x, tip.y - d.y * 3.2f}}), kWhite);
    }
  }
  FilmStrip(c, cell(18), false);  // draw all frames
  FilmStrip(c, cell(19), true);   // frame skip
  {  // 21, 22: the slider track's left and right halves (stretched 3.1 times across)
    Xform l = cell(21);
    c.FillOutlined(l, Box(1.5f, 6, 17, 10, 2), Solid(kWhite), kInk, 0.8f);
    Xform r = cell(22);
    c.FillOutlined(r, Box(-1, 6, 14.5f, 10, 2), Solid(kWhite), kInk, 0.8f);
  }
  {  // 23: slider thumb
    Xform t = cell(23);
    c.FillOutlined(t, Box(5, 1, 11, 15, 2), Solid(kWhite), kInk, 0.9f);
    c.Fill(t, Box(7.3f, 4, 8.7f, 12, 0.6f), Rgb(150, 150, 160));
  }
  {  // 24 to 29: audio drivers
    Xform t = cell(24);  // speaker with sound waves
    Speaker(c, t);
    c.Fill(t, Intersect(Ring(9, 8, 3.2f, 1.2f), Box(10, 0, 16, 16)), kWhite);
    c.Fill(t, Intersect(Ring(9, 8, 5.6f, 1.2f), Box(10, 0, 16, 16)), kWhite);
    t = cell(25);  // sound chip
    c.FillOutlined(t, Box(3.5f, 3.5f, 12.5f, 12.5f, 1), Solid(kLight), kInk, 0.8f);
    for (int k = 0; k < 3; k++) {
      float p = 5.5f + k * 2.5f;
      c.Fill(t, Box(p - 0.5f, 1, p + 0.5f, 15), Rgb(255, 255, 255));
      c.Fill(t, Box(1, p - 0.5f, 15, p + 0.5f), Rgb(255, 255, 255));
    }
    c.FillOutlined(t, Box(4.5f, 4.5f, 11.5f, 11.5f, 0.8f), Solid(Rgb(90, 96, 110)), kInk, 0.5f);
    t = cell(26);  // silent (null driver)
    Speaker(c, t);
    c.Fill(t, Capsule(10.5f, 5.5f, 14.5f, 10.5f, 0.9f), kWhite);
    c.Fill(t, Capsule(10.5f, 10.5f, 14.5f, 5.5f, 0.9f), kWhite);
    t = cell(27);  // headphones
    c.FillOutlined(t, Intersect(Ring(8, 9, 5.5f, 1.6f), Box(0, 0, 16, 9)), Solid(kWhite), kInk, 0.6f);
    c.FillOutlined(t, Box(1.5f, 8, 5, 14, 1.2f), Solid(kWhite), kInk, 0.7f);
    c.FillOutlined(t, Box(11, 8, 14.5f, 14, 1.2f), Solid(kWhite), kInk, 0.7f);
    t = cell(28);  // note
    c.FillOutlined(t, Union(Union(Ellipse(5, 12, 2.8f, 2.1f), Box(6.8f, 3, 8.2f, 12)), Polygon({{6.8f, 2.5f}, {13, 5}, {13, 7.5f}, {8, 5.5f}})), Solid(kWhite), kInk, 0.7f);
    t = cell(29);  // waveform
    c.FillOutlined(t, Box(1, 3, 15, 13, 1), Solid(Rgb(90, 96, 110)), kInk, 0.7f);
    for (int k = 0; k < 12; k++) {
      float x0 = 2.5f + k, x1 = 3.5f + k;
      c.Fill(t, Capsule(x0, 8 + 3.2f * std::sin(k * 1.0f), x1, 8 + 3.2f * std::sin((k + 1) * 1.0f), 0.6f), kWhite);
    }
  }
  // 32 to 35: the game speed, a dial whose needle falls from 100 % to 55 %.
  for (int step = 0; step < 4; step++) {
    Xform t = cell(32 + step);
    c.FillOutlined(t, Intersect(Ring(8, 11, 6.2f, 1.8f), Box(0, 0, 16, 11.5f)), Solid(kLight), kInk, 0.6f);
    const float turn = (150.0f - 40.0f * float(step)) * 3.14159265f / 180.0f;
    c.FillOutlined(t, Capsule(8, 11, 8 - 5.4f * std::cos(turn), 11 - 5.4f * std::sin(turn), 0.9f), Solid(kWhite), kInk, 0.6f);
    c.FillOutlined(t, Circle(8, 11, 1.7f), Solid(kWhite), kInk, 0.6f);
  }
  {  // 63: mouse pointer, tip at the top-left corner
    Xform t = cell(63);
    Shape arrow = Polygon({{0.9f, 0.9f}, {0.9f, 12.5f}, {3.8f, 9.8f}, {6.0f, 14.6f}, {8.2f, 13.6f}, {6.1f, 9.0f}, {10.2f, 9.0f}});
    c.FillOutlined(t, arrow, Linear({1, 1}, kWhite, {8, 14}, kLight), kInk, 0.9f);
  }
  c.NoClip();
  return c;
}

}  // namespace ag
