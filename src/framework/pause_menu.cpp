// The pause menu's frames: the grabbed game frame wobbling and spinning under a scatter of
// coloured titles, and a box with Continue and Quit.
#include "framework/pause_menu.h"

#include <cmath>

#include "base/program_state.h"
#include "framework/present_frame.h"
#include "framework/screen_size.h"
#include "platform/clock.h"
#include "platform/draw_state.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/quit_signals.h"
#include "platform/random.h"
#include "ui/controls.h"
#include "ui/draw_helpers.h"
#include "ui/pad_layout.h"

namespace {

const int kScatterSeed = 37171650;

double SinDegrees(double degrees) { return std::sin(degrees * 3.14159265358979323846 / 180.0); }

// The press that opened the menu, or chose in it, is let go before anything else reads it.
void WaitWhilePauseHeld() {
  for (;;) {
    PollSystem();
    if ((!KeyDown(VK_ESCAPE) && !PadStartHeld()) || QuitSignalled()) return;
    Delay(1);
  }
}

bool AnyPort(int control) {
  for (int port = 1; port <= 4; ++port)
    if (PlayerControl(control, port)) return true;
  return false;
}

void WobbleScale(double phase) {
  Scale(float(SinDegrees(phase) * 0.5 + 1.5), float(SinDegrees(1.3 * phase) * 0.5 + 1.5));
}

// Titles in random colours at random places; the same generator sequence every frame.
void ScatterTitles(int first, int last, float spin) {
  for (int i = first; i <= last; ++i) {
    Rotate(spin + 2.0f * float(i));
    const int blue = Rand(1, 5) * 50;
    const int green = Rand(1, 5) * 50;
    const int red = Rand(1, 5) * 50;
    Colour(float(red), float(green), float(blue), 0.4f);
    const int y = Rand(0, VirtualHeight);
    const int x = Rand(0, VirtualWidth);
    TextAt(x, y, TitleLine, 1, 1);
  }
}

}  // namespace

int PauseMenu() {
  WaitWhilePauseHeld();
  TImagePtr frame = CreateImage(CurrentWidth, CurrentHeight, 1, DYNAMICIMAGE);
  MidHandleImage(frame);
  GrabImage(frame, 0, 0);

  double phase = 0.0;
  float spin = 0.0f;
  int cursor = 0, result = 0, held = 1;
  while (result == 0) {
    BeginFrame(1);
    ResetDrawing();
    SetBlendKind(1);
    phase += 0.4;
    WobbleScale(phase);
    spin += 0.1f;
    Rotate(spin);
    SetImageFont(ScreenFonts[7]);
    SetDrawLayer(LAYER_BACKDROP);
    DrawImage(frame, float(VirtualWidth / 2), float(VirtualHeight / 2));
    SetDrawLayer(LAYER_OTHER);

    SeedRnd(kScatterSeed);
    ScatterTitles(1, 140, spin);

    Rotate(0);
    Scale(1, 1);
    Colour(0, 0, 0, 0.5f);
    DrawRect(0.1f * VirtualWidth, 0.375f * VirtualHeight, VirtualWidth / 6.0f, VirtualHeight / 4.0f);

    const bool up = AnyPort(0) || KeyDown(VK_UP);
    const bool down = AnyPort(8) || KeyDown(VK_DOWN);
    const bool fire = AnyPort(10) || AnyPort(11) || KeyDown(VK_SPACE);
    if (up && !held) { --cursor; held = 1; }
    if (down && !held) { ++cursor; held = 1; }
    if (!fire && !down && !up) held = 0;

    SetImageFont(ScreenFonts[7]);
    int y = int(0.375 * VirtualHeight);
    if (cursor < 0) cursor = 1;
    const char* items[2] = {"Continue", "Quit"};
    const int results[2] = {1, 99};
    for (int item = 0; item < 2; ++item) {
      y += 60;
      int indent = 0;
      // Full alpha: the box behind was drawn at half, and the choices must stay readable.
      Colour(255, 255, 255, 1.0f);
      if (cursor == item) {
        Colour(255, 255, 0, 1.0f);
        indent = 20;
        if (fire && !held) {
          held = 1;
          result = results[item];
        }
      }
      TextAt(int(0.1 * VirtualWidth + indent + 10), y, items[item], 0, 0);
    }
    if (cursor > 1) cursor = 0;

    WobbleScale(phase);
    ScatterTitles(141, 180, spin);
    PresentFrame(1);
    if (PauseInputHeld()) result = cursor == 1 ? 99 : 1;
  }
  SeedRnd(Millis());
  WaitWhilePauseHeld();
  return result;
}
