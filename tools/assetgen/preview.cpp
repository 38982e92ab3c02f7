// Contact sheets (see preview.h). The mock game screens follow the game's frame: backdrops at
// scale 2 from y 0 and 512, sprites centred at (VW / 2 + 2x - 480, 2y), then the darkened frame.
#include "preview.h"

#include <cmath>

#include "image_io.h"
#include "text.h"

namespace ag {

namespace {
void Checker(Canvas& c, RGBA a, RGBA b, int size) {
  for (int y = 0; y < c.h; y++)
    for (int x = 0; x < c.w; x++) c.At(x, y) = ((x / size + y / size) % 2) ? a : b;
}

void Label(Canvas& c, const Fonts& f, float x, float y, const std::string& s, int size = 14) {
  TextStyle st;
  st.font = f.main, st.size = size, st.top = st.bottom = Rgb(255, 255, 255);
  st.outline = Rgb(0, 0, 0), st.outlineWidth = 1.5f;
  DrawText(c, s, x, y, st);
}

void Frame(Canvas& dst, const Canvas& sheet, int cell, int frame, float cx, float cy, float s,
           float deg = 0) {
  int cols = sheet.w / cell;
  dst.DrawRegion(sheet, frame % cols * cell, frame / cols * cell, cell, cell, cx, cy, s, deg);
}

// A copy of one cell stretched vertically (the eruption is drawn at scale 1.2 x 3).
Canvas Stretched(const Canvas& sheet, int frame, float sx, float sy) {
  Canvas out(int(32 * sx), int(32 * sy));
  for (int y = 0; y < out.h; y++)
    for (int x = 0; x < out.w; x++)
      out.At(x, y) = sheet.At(frame % 16 * 32 + std::min(31, int(x / sx)), frame / 16 * 32 + std::min(31, int(y / sy)));
  return out;
}

Canvas MockGame(const AllImages& a, int pair, int vw, int vh) {
  Canvas c(vw, vh);
  for (RGBA& p : c.px) p = Rgb(0, 0, 0);
  int s0 = (pair * 97) % 512, s1 = (pair * 211) % 512;
  for (int k = -2; k <= 2; k++) {
    c.Draw(a.tops[pair - 1], 1024.0f * k + s0 + 512, 256, 2);
    c.Draw(a.bots[pair - 1], 1024.0f * k + s1 + 512, 512 + 256, 2);
  }
  auto at = [&](float x, float y, int frame, float s = 1, float deg = 0) {
    Frame(c, a.sprites, 32, frame, vw / 2 + 2 * x - 480, 2 * y, s, deg);
  };
  // A pendulum (kind 3) with its links, a bouncing ball, a crusher, spikes, an eruption, a lorry,
  // a hay bale, a racer, the chaser, and the sheep with its start marker.
  at(110, 120, 8);
  for (int r = 8; r <= 63; r += 8) at(110 + std::sin(0.6f) * r, 120 + std::cos(0.6f) * r, 19, 1, -34);
  at(110 + std::sin(0.6f) * 64, 120 + std::cos(0.6f) * 64, 17);
  at(110 + std::sin(0.6f) * 64, 120 + std::cos(0.6f) * 64, 16, 1, 30);
  at(180, 230, 17), at(180, 230, 16, 1, 70);
  for (int n = -16; n <= 0; n++) at(230, 200 + 12 * n, 11);
  at(270, 250, 22), at(290, 250, 23);
  Canvas erupt = Stretched(a.sprites, 85, 1.2f, 3);
  c.Draw(erupt, vw / 2 + 2 * 320 - 480, 2 * 232);
  at(350, 248, 20);
  for (int j = 0; j < 8; j++)
    for (int k = 0; k < 2; k++) at(-60 + 16 * j - 112 + 100, 248 + 16 * k - 16, 32 + j + 16 * k);
  at(400, 236, 41, 3, 40);
  at(440, 248, 16, 1, 20), at(442, 248, 43);
  at(470, 249, 0);
  at(470, 249, 6, 1.2f);
  at(300, 190, 3);  // the sheep jumping
  c.Draw(a.warn, vw / 2 + 2 * 8 - 480, 2 * 160);
  // The darkened frame around the playfield.
  c.Rect(0, vh / 2 + 254, vw, vh / 2, Rgb(255, 255, 255, 0.2f));
  c.Rect(0, 0, vw, vh / 2 - 512, Rgb(0, 0, 0, 0.4f));
  c.Rect(0, vh / 2 + 256, vw, vh / 2, Rgb(0, 0, 0, 0.4f));
  for (int k = 0; k <= 64; k++) {
    c.Rect(0, 0, vw / 2 - 10 * k - 480, vh / 2 + 256, Rgb(0, 0, 0, 0.08f));
    c.Rect(vw / 2 + 10 * k + 480, 0, vw, vh / 2 + 256, Rgb(0, 0, 0, 0.08f));
  }
  return c;
}
}  // namespace

bool WritePreviews(const std::string& dir, const AllImages& a, const Fonts& f) {
  bool ok = true;
  {  // Sprites at twice their size (so a pixel is a playfield unit's width), on a checker.
    Canvas c(1024 + 40, 1024 + 40);
    Checker(c, Rgb(96, 112, 128), Rgb(120, 136, 152), 16);
    c.Draw(a.sprites, 20 + 512, 20 + 512, 2);
    for (int fr : {0, 1, 2, 3, 6, 8, 11, 16, 17, 19, 20, 22, 23, 32, 41, 43, 80, 86})
      Label(c, f, 20 + fr % 16 * 64 + 32, 20 + fr / 16 * 64 + 8, std::to_string(fr), 12);
    ok &= WritePng(dir + "/contact_sprites.png", c, 1);
  }
  {  // Interface: icons at scale 3, badges at 1 and at the table's 0.28, logos at 1.5.
    Canvas c(1560, 1000);
    Checker(c, Rgb(40, 44, 60), Rgb(52, 56, 72), 24);
    c.Draw(a.icons, 20 + 192, 20 + 192, 3);
    for (int fr : {0, 3, 7, 8, 9, 10, 11, 12, 13, 14, 18, 19, 21, 22, 23, 24, 25, 26, 27, 28, 29, 63})
      Label(c, f, 20 + fr % 8 * 48 + 8, 20 + fr / 8 * 48 + 6, std::to_string(fr), 11);
    c.Draw(a.badges, 440 + 128, 20 + 128);
    for (int n = 0; n < 16; n++) Frame(c, a.badges, 64, n, 720 + n * 20, 40, 0.28f);
    c.Draw(a.frameworkLogo, 20 + 192, 420 + 96, 1.5f);
    c.Draw(a.communityLogo, 440 + 192, 420 + 96, 1.5f);
    c.Draw(a.warn, 900, 150);
    c.Draw(a.titleLogo, 20 + 320, 700 + 100);
    // A corner of the settings panel as the game draws it: option icons at scale 2, control
    // buttons at scale 3 with their captions, a volume slider, all tinted; the pointer at 1.5.
    int px = 880, py = 300;
    c.Rect(px, py, 660, 300, Rgb(50, 50, 50, 0.9f));
    auto icon = [&](int fr, float x, float y, float kx, float ky, RGBA tint) {
      c.DrawTinted(a.icons, fr % 8 * 16, fr / 8 * 16, 16, 16, px + x, py + y, kx, ky, tint);
    };
    const RGBA green = Rgb(80, 255, 80);
    icon(13, 20, 30, 2, 2, green), icon(11, 20, 70, 2, 2, green), icon(18, 20, 146, 2, 2, green);
    Label(c, f, px + 110, py + 46, "Windowed", 16), Label(c, f, px + 114, py + 86, "Resolution", 16);
    Label(c, f, px + 130, py + 162, "Draw all Frames", 16);
    icon(3, 250 + 50, 10, 3, 3, green), icon(3, 250, 60, 3, 3, green), icon(10, 250 + 190, 60, 3, 3, green);
    icon(9, 250 + 100, 60, 3, 3, Rgb(255, 255, 80)), icon(8, 250 + 50, 60, 3, 3, Rgb(80, 80, 255));
    Label(c, f, px + 324, py + 34, "Up", 14), Label(c, f, px + 274, py + 84, "Left", 14), Label(c, f, px + 464, py + 84, "3", 14);
    icon(24, 420, 160, 2, 2, green), icon(25, 460, 160, 2, 2, green), icon(26, 500, 160, 2, 2, green);
    icon(21, 420 - 2, 220, 3.1f, 1.5f, green), icon(22, 420 + 48, 220, 3.1f, 1.5f, green);
    icon(23, 420 + 60 - 9, 220, 1, 1.5f, Rgb(255, 80, 80));
    icon(7, 60, 230, 1, 1, Rgb(105, 255, 80)), icon(7, 78, 250, 1, 1, Rgb(255, 255, 80));
    c.DrawTinted(a.icons, 7 * 16, 7 * 16, 16, 16, px + 200, py + 240, 1.5f, 1.5f, Rgb(255, 255, 255));
    ok &= WritePng(dir + "/contact_interface.png", c, 1);
  }
  {
    Canvas c(800, 800);
    Checker(c, Rgb(30, 30, 50), Rgb(40, 40, 64), 32);
    c.Draw(a.buttons, 400, 400, 0.75f);
    ok &= WritePng(dir + "/contact_buttons.png", c, 1);
  }
  Canvas all(1280, 5 * 480);
  for (int p = 1; p <= 10; p++) {
    Canvas g = MockGame(a, p, 1280, 960);
    ok &= WritePng(dir + "/game_pair" + (p < 10 ? "0" : "") + std::to_string(p) + ".png", g, 1);
    all.Draw(g, (p - 1) % 2 * 640 + 320, (p - 1) / 2 * 480 + 240, 0.5f);
    Label(all, f, (p - 1) % 2 * 640 + 320, (p - 1) / 2 * 480 + 460,
          "pair " + std::to_string(p) + ": " + BackdropMood(p), 18);
  }
  ok &= WritePng(dir + "/contact_backdrops.png", all, 1);
  ok &= WritePng(dir + "/game_pair01_1600x900.png", MockGame(a, 1, 1600, 900), 1);  // widest mode
  return ok;
}

}  // namespace ag
