// buttons.png: 16 frames of 256 x 256 for the title screen's scrolling strip, drawn
// there at scale 0.75. Frames 0 to 9 are picture cards of what the game holds, frame 11 the card
// at the strip's left edge; the other frames stay empty.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "text.h"

namespace ag {

namespace {
const RGBA kInk = Rgb(30, 26, 32);

void Card(Canvas& c, const Xform& t, RGBA skyTop, RGBA skyLow, RGBA ground) {
  Shape card = Box(8, 8, 248, 248, 26);
  c.Fill(t.Then(4, 6), card, Rgb(0, 0, 0, 0.35f));
  c.FillOutlined(t, card, Linear({0, 8}, skyTop, {0, 200}, skyLow), Rgb(250, 250, 255), 4);
  c.Fill(t, Intersect(card, Box(0, 196, 256, 256)), Linear({0, 196}, ground, {0, 248}, Shade(ground, 0.7f)));
  c.Fill(t, Intersect(card, Box(0, 193, 256, 199)), Shade(ground, 1.2f));
}

void Caption(Canvas& c, const Fonts& f, float x, float y, const char* text) {
  TextStyle st;
  st.font = f.caption, st.size = 34, st.top = Rgb(255, 255, 255), st.bottom = Rgb(255, 236, 170);
  st.outline = kInk, st.outlineWidth = 3, st.shadow = Rgb(0, 0, 0, 0.4f), st.shadowDx = 2, st.shadowDy = 3;
  DrawText(c, text, x, y, st);
}
}  // namespace

Canvas MakeButtons(const Fonts& f) {
  Canvas c(1024, 1024);
  const RGBA sky = Rgb(130, 190, 240), low = Rgb(210, 236, 250), grass = Rgb(100, 170, 80);
  for (int n = 0; n < 16; n++) {
    if (n == 10 || n > 11) continue;
    c.Clip(n % 4 * 256, n / 4 * 256, n % 4 * 256 + 256, n / 4 * 256 + 256);
    Xform t{float(n % 4) * 256, float(n / 4) * 256, 1, 0};
    switch (n) {
      case 0:
        Card(c, t, sky, low, grass);
        DrawSheep(c, t.Then(48, 52, 5), 1);
        Caption(c, f, t.ox + 128, t.oy + 40, "WALK LEFT");
        break;
      case 1:
        Card(c, t, Rgb(110, 160, 210), low, grass);
        {  // a spiked ball swinging on its chain from a pivot
          Vec pivot{216, 26}, ball{92, 132};
          float deg = std::atan2(pivot.x - ball.x, ball.y - pivot.y) * 57.29578f;  // link axis along the chain
          for (int k = 1; k < 9; k++) {
            float u = k / 9.0f;
            Xform l = t.Then(pivot.x + (ball.x - pivot.x) * u, pivot.y + (ball.y - pivot.y) * u, 3.2f, deg);
            Shape link = k % 2 ? Box(-0.8f, -4.4f, 0.8f, 4.4f, 0.8f)  // seen edge-on
                               : Subtract(Box(-2.2f, -4.4f, 2.2f, 4.4f, 2.2f), Box(-0.9f, -2.6f, 0.9f, 2.6f, 0.9f));
            c.FillOutlined(l, link, Solid(Rgb(196, 200, 210)), kInk, 0.5f);
          }
          c.FillOutlined(t, Circle(pivot.x, pivot.y, 10), Solid(Rgb(196, 200, 210)), kInk, 2);
          DrawSpikeBall(c, t.Then(ball.x - 16 * 3.4f, ball.y - 16 * 3.4f, 3.4f), 20);
        }
        Caption(c, f, t.ox + 128, t.oy + 226, "SWINGING");
        break;
      case 2:
        Card(c, t, Rgb(120, 140, 200), low, grass);
        for (int k = 0; k < 4; k++) DrawBlock(c, t.Then(98, -40 + k * 52, 2));
        Caption(c, f, t.ox + 128, t.oy + 226, "CRUSHERS");
        break;
      case 3:
        Card(c, t, sky, low, grass);
        DrawLorry(c, t.Then(14, 100, 0.9f));
        DrawSheep(c, t.Then(180, 150, 1.6f), 0);
        Caption(c, f, t.ox + 128, t.oy + 40, "HEAVY TRAFFIC");
        break;
      case 4:
        Card(c, t, Rgb(90, 90, 150), Rgb(200, 170, 190), Rgb(110, 100, 96));
        {
          // The eruption as the game shows it: three times taller than wide.
          Canvas cell(32, 32);
          DrawEruption(cell, Xform{0, 0, 1, 0}, 5);
          Canvas tall(32, 96);
          for (int y = 0; y < 96; y++)
            for (int x = 0; x < 32; x++) tall.At(x, y) = cell.At(x, y / 3);
          c.Draw(tall, t.ox + 128, t.oy + 108, 1.8f);
        }
        Caption(c, f, t.ox + 128, t.oy + 226, "ERUPTIONS");
        break;
      case 5:
        Card(c, t, sky, low, grass);
        DrawSpikeTrap(c, t.Then(16, 60, 4), true);
        Caption(c, f, t.ox + 128, t.oy + 40, "MIND THE SPIKES");
        break;
      case 6:
        Card(c, t, Rgb(150, 190, 220), low, Rgb(140, 170, 80));
        DrawHayBale(c, t.Then(40, 24, 5.5f));
        Caption(c, f, t.ox + 128, t.oy + 226, "ROLLING HAY");
        break;
      case 7:
        Card(c, t, Rgb(80, 70, 130), Rgb(180, 160, 210), Rgb(90, 110, 100));
        {
          Xform s = t.Then(48, 36, 5);
          DrawBallSpikes(c, t.Then(128, 116, 5, 15));  // the chaser: turning spikes behind its face
          DrawChaserFace(c, s);
        }
        Caption(c, f, t.ox + 128, t.oy + 226, "THE CHASER");
        break;
      case 8:
        Card(c, t, sky, low, grass);
        DrawRacer(c, t.Then(40, 30, 5.5f));
        Caption(c, f, t.ox + 128, t.oy + 40, "LOOK BOTH WAYS");
        break;
      case 9:
        Card(c, t, Rgb(30, 40, 90), Rgb(90, 100, 160), Rgb(80, 96, 120));
        for (int k = 0; k < 30; k++) {
          Rng r(500 + k);
          c.Fill(t, Circle(r.Uniform(20, 236), r.Uniform(20, 150), r.Uniform(0.8f, 2)), Rgb(255, 255, 220));
        }
        DrawSpikeBall(c, t.Then(92, 118, 2.3f), 0);
        DrawSheep(c, t.Then(64, 4, 3.6f), 3);
        Caption(c, f, t.ox + 128, t.oy + 226, "JUMP FOR IT!");
        break;
      case 11:
        Card(c, t, Rgb(255, 200, 90), Rgb(255, 240, 200), grass);
        DrawSheep(c, t.Then(48, 44, 5), 0);
        Caption(c, f, t.ox + 128, t.oy + 40, "LAMBRISK");
        break;
      default: break;
    }
  }
  c.NoClip();
  return c;
}

}  // namespace ag
