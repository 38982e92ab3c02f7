// The engine test's intro and measurement. It blocks for its whole run and reads no input itself;
// PresentFrame paces it and keeps the window responsive.
#include "framework/engine_test.h"

#include <algorithm>
#include <string>

#include "base/debug_log.h"
#include "base/settings.h"
#include "framework/common_assets.h"
#include "framework/present_frame.h"
#include "framework/screen_size.h"
#include "platform/draw_state.h"
#include "platform/random.h"
#include "ui/draw_helpers.h"

namespace {

const int kStep = 500;
const int kMostSprites = 20000;
const int kFramesPerStep = 8;

// The logos at slide position t (-1 .. 1; 1 is their resting place), at scale 1.5.
void DrawLogos(float t) {
  const float wv = float(VirtualWidth), hv = float(VirtualHeight);
  Scale(1.5f);
  DrawImage(Logos[0], wv * 0.3f * t, hv * 0.3f);
  DrawImage(Logos[1], wv - wv * 0.3f * t, hv - hv * 0.3f);
  Scale(1.0f);
}

void BeginTestFrame() {
  BeginFrame(1);
  ResetDrawing();
  DrawBackdrop();
}

// Fully transparent, so they cost drawing time without showing.
void DrawTestSprites(int count, float scale) {
  for (int i = 0; i <= count; ++i) {
    SetRotation(float(Rand(1, 360)));
    SetColor(0, 0, 0);
    SetAlpha(0.0f);
    SetScale(scale, scale);
    const int x = Rand(1, VirtualWidth);
    const int y = Rand(1, VirtualHeight);
    DrawImage(IconsCrisp, float(x), float(y), 0);
  }
  ResetDrawing();
}

}  // namespace

bool JudgeEngineStep(int frame_rate, int threshold, int sprites, int& best) {
  if (frame_rate >= threshold && sprites > kStep) best = sprites;
  return frame_rate <= threshold && sprites > kStep;
}

void SetBudgetsFromEngineTest(int best, int target) {
  LogLine("Test Complete");
  SpriteBudget[1] = int(best * 0.4);
  SpriteBudget[2] = int(best * 0.4);
  SpriteBudget[3] = int(best * 0.2);
  LogLine("");
  LogLine("Engine Test Results");
  LogLine("");
  LogLine("\tMaximum Sprites Allowed for " + std::to_string(target) + " Frames Per Second");
  LogLine("\tMain sprites : " + std::to_string(SpriteBudget[1]));
  LogLine("\tGlowy Sprites : " + std::to_string(SpriteBudget[2]));
  LogLine("\tParticles : " + std::to_string(SpriteBudget[3]));
  LogLine("");
  SpriteBudget[1] = std::max(SpriteBudget[1], 1000);
  SpriteBudget[2] = std::max(SpriteBudget[2], 500);
  SpriteBudget[3] = std::max(SpriteBudget[3], 250);
  LogLine("");
}

void RunEngineTest(int, float scale) {
  OverlayOn = 0;
  const int target = Settings[SET_SLOW_SYSTEM] == 1 ? 30 : 45;
  SpriteBudget[1] = 500;
  SpriteBudget[2] = 500;
  SpriteBudget[3] = 250;
  int best = 0;
  LogLine("Starting Engine Test");
  LogLine("Aiming for " + std::to_string(target) + "," + std::to_string(int(scale)));

  for (int n = kStep; n <= 15000; n += kStep) {
    BeginTestFrame();
    DrawLogos(std::clamp(float(n) / kStep / 15.0f - 1.0f, -1.0f, 1.0f));
    PresentFrame(0);
  }

  const int threshold = target - 2;
  for (int n = kStep; n <= kMostSprites; n += kStep) {
    for (int frame = 0; frame < kFramesPerStep; ++frame) {
      BeginTestFrame();
      DrawLogos(1.0f);
      DrawTestSprites(n, scale);
      PresentFrame(0);
    }
    if (JudgeEngineStep(FrameRate, threshold, n, best)) break;
  }

  SetBudgetsFromEngineTest(best, target);
  OverlayOn = 0;
}
