// Progression in a game: lives, the bonus and its payment at the level end, the highest world
// reached, and the end of the game.
#include "rules/frame_steps.h"

namespace {

void Announce(TRulesState& s, TFrameEvents& events) {
  const int tens = s.LevelNumber % 10;
  if (tens == 0 || tens == 5) {
    events.sounds.push_back({49, 1.0f, 1.0f, 0.0f});
    events.messages.push_back(MSG_WORLD_COMPLETE);
    events.messages.push_back(MSG_EXTRA_LIFE);
    ++s.Lives;
    if (s.LevelNumber == 20) events.messages.push_back(MSG_JUMP_UNLOCKED);
  } else {
    events.sounds.push_back({50, 1.0f, 1.0f, 0.0f});
    events.messages.push_back(MSG_LEVEL_COMPLETE);
  }
}

// Up to 10 bonus points a frame, each worth the lives left.
void PayBonus(TRulesState& s) {
  int taken = 0;
  for (int v = 1; v <= 4; ++v) {
    if (s.Bonus >= v) {
      taken += v;
      s.Bonus -= v;
    }
  }
  s.GameScore += s.Lives * taken;
}

void LevelEnd(TRulesState& s, TFrameEvents& events) {
  if (s.SheepX > -1.0f) Announce(s, events);
  s.SheepX -= 2.0f;
  PayBonus(s);
  if (s.Bonus >= 1) return;
  s.Bonus = 0;
  if (++s.CompleteTimer <= 20) return;
  s.SheepX = 472.0f;
  ++s.LevelNumber;
  s.CompleteTimer = 0;
  s.WalkLatch = true;
  s.ReloadFlag = true;
  events.levelDone = true;
  if (s.LevelNumber > 100) s.EndReason = END_GAME_OVER;
}

}  // namespace

void ProgressBookkeeping(TRulesState& s, TFrameEvents& events) {
  if (s.DeathTimer == 30) {
    events.lifeLost = true;
    if (--s.Lives == -1) s.EndReason = END_GAME_OVER;
  }
  const int world = WorldOf(s.LevelNumber);
  if (world > s.StartWorldLimit) {
    events.worldReached = world;
    s.StartWorldLimit = world;
  }
}

void LevelEndStep(TRulesState& s, const TFrameInput& input, TFrameEvents& events) {
  if (events.wantPicture) {
    TFramePicture& p = events.picture;
    p.level = s.LevelNumber;
    p.lives = s.Lives;
    p.bonus = s.Bonus;
    p.score = s.GameScore;
  }
  if (s.Bonus > 0) --s.Bonus;
  if (input.skip && s.SheepX > 1.0f) {
    s.SheepX = 1.0f;
    s.Bonus = 0;
  }
  if (s.SheepX < 2.0f) LevelEnd(s, events);
}
