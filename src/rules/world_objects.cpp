// The object pass: each column's object advances its phase, sounds its warnings and passes, and
// is tested against the sheep. Where its parts are drawn is object_sprites.cpp's, from the same
// points.
#include <cstdlib>

#include "rules/game_rules.h"
#include "rules/object_geometry.h"

using namespace object_geometry;

namespace {

// Advances a phase by the speed and wraps it into 0 .. mod - 1, whatever sign either has.
void Advance(int& phase, int speed, int mod) {
  i64 p = (i64(phase) + speed) % mod;
  if (p < 0) p += mod;
  phase = int(p);
}

// One column's pass: the state it changes and the frame's events.
struct TPass {
  TRulesState& state;
  TFrameEvents& events;
  TLevelColumn& col;
  int column;

  int& P() { return col[COL_PHASE]; }
  int& S() { return col[COL_SPEED]; }

  void Sound(int effect, float volume, float pan) { events.sounds.push_back({effect, 1.0f, volume, pan}); }

  // The sheep's hit box is centred 4 units below its position.
  void HitIfOverlaps(double x, double y, double halfWidth, double halfHeight) {
    const bool overlaps = std::fabs(x - double(state.SheepX)) < halfWidth &&
                          std::fabs(y - (double(state.SheepY) + 4.0)) < halfHeight;
    if (overlaps && SheepCanBeHit(state)) {
      state.DeathTimer = 1;
      events.hit = true;
    }
  }
};

// Crossing objects warn while on their way in and sound once as they pass the sheep's path.
struct TPassing {
  int announceFrom, announceTo;  // exclusive
  int passFrom, passTo;          // exclusive
  bool fromLeft;
  int passSound;
};

void Announce(TPass& pass, int x, const TPassing& crossing) {
  if (pass.state.CompleteTimer != 0) return;
  int& sound = pass.col[COL_SOUND_STATE];
  const bool blinking = std::abs(x) % 64 < 32;
  if (x > crossing.announceFrom && x < crossing.announceTo && blinking) {
    if (pass.events.wantPicture) pass.events.picture.warning[size_t(pass.column)] = crossing.fromLeft ? -1 : 1;
    if (sound < 1) {
      sound = 1;
      pass.Sound(12, 0.5f, crossing.fromLeft ? -0.5f : 0.5f);
    }
  }
  if (x > crossing.passFrom && x < crossing.passTo && sound >= 0) {
    sound = -1;
    pass.Sound(crossing.passSound, 0.5f, 0.0f);
  }
}

// The kinds' rules move the object and set its default test point; they return whether the
// default overlap test applies, or test their own parts.
bool KindRule(int kind, TPass& pass, TObject& o) {
  switch (kind) {
    case 1: case 2: case 7: case 8:
      Advance(pass.P(), pass.S(), 3600);
      BallPoint(o, kind != 1, kind == 7 ? 1 : kind == 8 ? -1 : 0);
      return true;
    case 3: case 4:
      Advance(pass.P(), pass.S(), 3600);
      ChainBallPoint(o, kind == 3 ? 1 : -1);
      return true;
    case 5: case 6:
      Advance(pass.P(), pass.S(), kind == 6 ? 3600 : 360);
      PendulumBallPoint(o, kind == 6);
      return true;
    case 9:  // a block of 8 x 2 crossing left to right; only its lower row is in the path
      Advance(pass.P(), pass.S(), 800);
      o.x = Trunc(o.bx + 6.0 * o.P() - 3840.0);
      o.y = Trunc(o.by);
      Announce(pass, o.x, {-360, -16, -16, 240, true, 11});
      for (int j = 0; j <= 7; ++j) pass.HitIfOverlaps(double(o.x) + 16 * j - 112, o.by, j == 7 ? 10 : 15, 13);
      return false;
    case 10:  // a single sprite crossing right to left
      Advance(pass.P(), pass.S(), 800);
      o.x = Trunc(o.bx + 1200.0 - 6.0 * o.P());
      o.y = Trunc(o.by);
      Announce(pass, o.x, {496, 840, 240, 496, false, 13});
      return true;
    case 11: {  // an eruption rising in stages, sinking back, then resting harmless
      Advance(pass.P(), pass.S(), 256);
      const int stage = o.P() / 4;
      int& sound = pass.col[COL_SOUND_STATE];
      if (stage < 2 && sound < 1 && pass.state.CompleteTimer == 0) {
        sound = 1;
        pass.Sound(14, 0.2f, 0.0f);
      }
      if (stage >= 6 && sound == 1) sound = 0;
      bool dangerous = false;
      EruptionStage(o, dangerous);
      // Drawn a little wider or narrower every frame: the draw belongs to the rules' generator,
      // whose sequence the pitches after it follow.
      const float width = float(pass.state.Random.Real(1.0, 1.4));
      if (pass.events.wantPicture) pass.events.picture.eruptionScale[size_t(pass.column)] = width;
      if (dangerous) pass.HitIfOverlaps(o.bx, o.by, 15, 28);
      return false;
    }
    case 12:  // dangerous for the first sixth of its cycle
      Advance(pass.P(), pass.S(), 192);
      return o.P() < 32;
    case 13: case 14: {  // a large rolling sprite crossing, right for 13 and left for 14
      const int direction = kind == 13 ? 1 : -1;
      Advance(pass.P(), pass.S(), 1800);
      const i64 p = o.P();
      o.x = Trunc(o.bx + direction * (p - 640));
      o.y = Trunc(o.by);
      if (direction > 0) Announce(pass, o.x, {-64, -16, -16, 240, true, 15});
      else Announce(pass, o.x, {496, 544, 240, 496, false, 15});
      pass.HitIfOverlaps(o.x, o.by, 29, 26);
      return false;
    }
    case 15: {  // a column of 17 blocks that falls from above, rests on the ground, rises again
      Advance(pass.P(), pass.S(), 500);
      const int lift = CrusherLift(o);
      const double top = o.by - 4.0 * lift;
      int& sound = pass.col[COL_SOUND_STATE];
      if (pass.state.CompleteTimer == 0 && sound == 0 && lift == 0) {
        pass.Sound(16, 0.4f, 0.0f);
        sound = 1;
      }
      if (4 * lift > 1) sound = 0;
      for (int n = -16; n <= 0; ++n) {
        const double y = top + 12 * n;
        if (y > -32) pass.HitIfOverlaps(o.bx, y, 15, 13);
      }
      return false;
    }
    case 16: case 17: {  // arms of blocks turning round a pivot, snapped to steps of 8 degrees
      Advance(pass.P(), pass.S(), 3600);
      const i64 q = (i64(o.P()) / 8) * 8;
      const int arms = kind == 16 ? 8 : 2;
      const double halfWidth = kind == 16 ? 14 : 15;
      const int apart = 360 / arms;
      ForEachRadius(o.bx, o.by, 16, o.L(), [&](i64 r) {
        for (int j = 0; j < arms; ++j) {
          const double a = double(q + apart * j);
          pass.HitIfOverlaps(Trunc(o.bx + SinDegrees(a) * double(r)), Trunc(o.by - double(r) * CosDegrees(a)),
                             halfWidth, 13);
        }
      });
      return false;
    }
    case 18:  // a ball rolling back and forth along the ground
      Advance(pass.P(), pass.S(), 3600);
      o.x = Trunc(o.bx - CosDegrees(double(i64(o.P()))) * double(o.L()));
      o.y = 248;
      return true;
    case 19: {  // two blocks in the path with a third swinging up and down above them
      Advance(pass.P(), pass.S(), 3600);
      const int ys[3] = {StomperTop(o), 220, 256};
      for (int y : ys) pass.HitIfOverlaps(o.bx, y, 15, 13);
      return false;
    }
    case 20:  // a ball that drops from above once the sheep comes near, and stays down
      if (pass.state.SheepX < o.bx + 32.0f && o.P() < 640) pass.P() = ClampToInt(i64(o.P()) + 8 * i64(o.S()));
      o.x = Trunc(o.bx);
      o.y = Trunc(double(i64(o.P()) / 2 - 64));
      return true;
    case 21: {  // a block that drops once the sheep comes near, then slides away to the left
      if (pass.state.SheepX < o.bx + 32.0f && o.P() < 1800) pass.P() = ClampToInt(i64(o.P()) + 6 * i64(o.S()));
      const i64 p = o.P();
      o.x = Trunc(p > 800 ? o.bx + 800.0 - double(p) : o.bx);
      o.y = Trunc(double(std::min<i64>(p / 2 - 64, 248)));
      return true;
    }
    case 22: {  // a sprite bouncing in from the right
      Advance(pass.P(), pass.S(), 1200);
      const i64 p = o.P();
      o.x = Trunc(o.bx + 600.0 - 3.0 * double(p));
      o.y = Trunc(248.0 - std::fabs(SinDegrees(6.0 * double(p)) * double(o.L())));
      Announce(pass, o.x, {496, 840, 240, 496, false, 13});
      return true;
    }
    case 23: {
      // A ball that chases the sheep, speeding up by 2 a frame toward it. Its velocity never
      // passes 24, so it never rolls more than 4 units a frame, whatever speed the level gave it.
      constexpr int kChaseTop = 24;
      int& speed = pass.S();
      speed = std::clamp(speed, -kChaseTop, kChaseTop);
      pass.P() = ClampToInt(i64(o.P()) + speed / 6);
      const double at = double(o.bx) + double(o.P());
      if (double(pass.state.SheepX) > at + 32) speed = std::min(speed + 2, kChaseTop);
      if (double(pass.state.SheepX) < at - 32) speed = std::max(speed - 2, -kChaseTop);
      o.x = Trunc(at);
      o.y = 248;
      return true;
    }
    default: {  // an unknown kind draws nothing but still stands where a ball on a rod would be
      const double p = o.P();
      o.x = Trunc(o.bx + SinDegrees(p) * double(o.L()));
      o.y = Trunc(o.by - CosDegrees(p) * double(o.L()));
      return true;
    }
  }
}

}  // namespace

void UpdateObjects(TRulesState& state, TFrameEvents& events) {
  if (events.wantPicture) events.picture.warning.fill(0);
  for (int w = 0; w < kObjectColumns; ++w) {
    TLevelColumn& col = state.LevelColumns[size_t(w)];
    const int kind = col[COL_KIND];
    if (kind <= 0) continue;
    TPass pass{state, events, col, w};
    TObject o = ObjectAt(col, w);
    if (KindRule(kind, pass, o)) pass.HitIfOverlaps(o.x, o.y, 15, 13);
  }
  if (events.wantPicture) events.picture.columns = state.LevelColumns;
}

// Past the left edge (x below 2) the level end has begun, while the bonus is still being paid and
// CompleteTimer is still 0: the crossers and the chaser that go on off screen must not count then.
bool SheepCanBeHit(const TRulesState& state) {
  return state.SheepX < 470.0f && state.SheepX >= 2.0f && state.DeathTimer == 0 && state.CompleteTimer == 0;
}
