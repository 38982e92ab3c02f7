// The sheep: its step every frame (death timer, walking, jumping) and the slide of worlds 7 and 8.
#include <cmath>

#include "rules/angles.h"
#include "rules/frame_steps.h"

namespace {

void DeathTimerStep(TRulesState& s, TFrameEvents& events) {
  if (s.DeathTimer > 0) ++s.DeathTimer;
  if (s.DeathTimer > 30) {
    // The same level from its start: the sheep, the bonus, every object and the level-end count
    // (a dying sheep can still slide past the edge on ice).
    s.DeathTimer = 0;
    s.CompleteTimer = 0;
    SetupLevel(s, s.LevelText);
    events.restarted = true;
  }
}

void Walk(TRulesState& s, float step, bool left, TFrameEvents& events) {
  if (s.DeathTimer != 0 || s.CompleteTimer != 0 || s.SheepX <= 0.0f) return;
  if (left && !s.WalkLatch) {
    s.SheepX -= step;
    if (++s.WalkFrame > 7) s.WalkFrame = 0;
    if (s.WalkFrame == 2 || s.WalkFrame == 6) events.sounds.push_back({3, float(s.Random.Real(0.7, 1.3)), 0.6f, 0.0f});
  }
  if (!left) {
    s.WalkFrame = 0;
    s.WalkLatch = false;
  }
}

void Jump(TRulesState& s, bool pressed, TFrameEvents& events) {
  // The jump is earned by finishing world 4.
  if (s.JumpPhase == 0.0f && pressed && s.LevelNumber > 20 && !s.JumpLatch && s.SheepX > 0.0f) {
    s.JumpLatch = true;
    s.JumpPhase = 8.0f;
    events.sounds.push_back({8, float(s.Random.Real(1.0, 1.5)), 1.0f, 0.0f});
  }
  if (!pressed) s.JumpLatch = false;
}

}  // namespace

float WalkStep(const TRulesState& state) { return SlowWorld(state.LevelNumber) ? 1.4f : 2.5f; }

void SheepStep(TRulesState& s, const TFrameInput& input, TFrameEvents& events) {
  const float step = WalkStep(s);
  DeathTimerStep(s, events);
  if (s.GameMode == 1) ProgressBookkeeping(s, events);

  const bool slow = SlowWorld(s.LevelNumber);
  const float rise = slow ? 160.0f : 96.0f;
  const float fling = slow ? 320.0f : 180.0f;
  s.SheepY = 249.0f - rise * SinDegreesF(s.JumpPhase) - fling * SinDegreesF(float(8 * s.DeathTimer));
  if (s.JumpPhase > 0.0f) s.WalkFrame = 7;
  s.JumpStep = slow ? 3 : 8;
  if (s.JumpPhase > 0.0f) {
    s.JumpPhase += float(s.JumpStep);
    if (s.JumpPhase > 180.0f) s.JumpPhase = 0.0f;
  }

  if (events.wantPicture) {
    TFramePicture& p = events.picture;
    p.sheepX = std::trunc(s.SheepX);
    p.sheepY = std::trunc(s.SheepY);
    p.sheepFrame = s.WalkFrame / 2;
    p.sheepAngle = float(7 * s.DeathTimer);
    // The start marker blinks until the sheep sets off.
    p.startMarker = s.SheepX > 469.0f && std::fmod(s.FrameTimer, 15.0f) < 7.0f;
  }
  Walk(s, step, input.left, events);
  Jump(s, input.jump, events);
  if (s.DeathTimer == 2) events.sounds.push_back({7, 1.0f, 1.0f, 0.0f});
}

void SlideStep(TRulesState& s, const TFrameInput& input) {
  const int world = WorldOf(s.LevelNumber);
  if (s.SheepX > 0.0f && s.SheepX < 470.0f && (world == 7 || world == 8) && s.JumpPhase < 9.0f && !input.left)
    s.SheepX -= 1.5f;
}
