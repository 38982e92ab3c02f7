#include "game/sheep.h"

#include <cmath>

#include "audio/sound_effects.h"
#include "base/program_state.h"
#include "framework/common_assets.h"
#include "game/game_state.h"
#include "game/level_files.h"
#include "game/progression.h"
#include "platform/random.h"
#include "ui/controls.h"
#include "ui/draw_helpers.h"

namespace {

constexpr int kLeft = 3, kUp = 0, kFire1 = 10;

float SinDeg(float degrees) { return std::sin(degrees * 3.14159265f / 180.0f); }

bool LeftHeld() { return PlayerControl(kLeft, 1) != 0; }

void DeathTimerStep() {
  if (DeathTimer > 0) ++DeathTimer;
  if (DeathTimer > 30) {
    // The same level from its start: the sheep, the bonus, every object and the level-end count
    // (a dying sheep can still slide past the edge on ice).
    DeathTimer = 0;
    CompleteTimer = 0;
    LoadLevel(WorkFileName, LevelNumber);
  }
}

void Walk(float step) {
  if (DeathTimer != 0 || CompleteTimer != 0 || SheepX <= 0.0f) return;
  if (LeftHeld() && !WalkLatch) {
    SheepX -= step;
    if (++WalkFrame > 7) WalkFrame = 0;
    if (WalkFrame == 2 || WalkFrame == 6) PlaySfx(3, float(Rnd(0.7, 1.3)), 0.6f, 0.0f);
  }
  if (!LeftHeld()) {
    WalkFrame = 0;
    WalkLatch = false;
  }
}

void Jump() {
  const bool pressed = PlayerControl(kUp, 1) || PlayerControl(kFire1, 1);
  // The jump is earned by finishing world 4.
  if (JumpPhase == 0.0f && pressed && LevelNumber > 20 && !JumpLatch && SheepX > 0.0f) {
    JumpLatch = true;
    JumpPhase = 8.0f;
    PlaySfx(8, float(Rnd(1.0, 1.5)), 1.0f, 0.0f);
  }
  if (!pressed) JumpLatch = false;
}

}  // namespace

float WalkStep() { return SlowWorld(LevelNumber) ? 1.4f : 2.5f; }

void SheepStep() {
  const float step = WalkStep();
  DeathTimerStep();
  if (GameMode == 1) ProgressBookkeeping();

  const bool slow = SlowWorld(LevelNumber);
  Rotate(float(7 * DeathTimer));
  const float rise = slow ? 160.0f : 96.0f;
  const float fling = slow ? 320.0f : 180.0f;
  SheepY = 249.0f - rise * SinDeg(JumpPhase) - fling * SinDeg(float(8 * DeathTimer));
  if (JumpPhase > 0.0f) WalkFrame = 7;
  JumpStep = slow ? 3 : 8;
  if (JumpPhase > 0.0f) {
    JumpPhase += float(JumpStep);
    if (JumpPhase > 180.0f) JumpPhase = 0.0f;
  }

  const float x = std::trunc(SheepX), y = std::trunc(SheepY);
  DrawFieldSprite(SpriteSheet, x, y, WalkFrame / 2);
  // The start marker blinks until the sheep sets off.
  if (SheepX > 469.0f && std::fmod(FrameTimer, 15.0f) < 7.0f) {
    Scale(1.2f);
    DrawFieldSprite(SpriteSheet, x, y, 6);
  }
  Walk(step);
  Jump();
  if (DeathTimer == 2) PlaySfx(7, 1.0f, 1.0f, 0.0f);
}

void SlideStep() {
  const int world = WorldOf(LevelNumber);
  if (SheepX > 0.0f && SheepX < 470.0f && (world == 7 || world == 8) && JumpPhase < 9.0f && !LeftHeld())
    SheepX -= 1.5f;
}
