// The world objects: each column's object advances its phase, is drawn from the sprite sheet and
// is tested against the sheep. Columns may come from any level text or junk, so every sum and
// product that could leave the int range is done in 64 bits, and drawing points are held to a
// range where they stay whole numbers.
#include "game/world_objects.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "audio/sound_effects.h"
#include "framework/common_assets.h"
#include "game/game_state.h"
#include "game/level_data.h"
#include "platform/random.h"
#include "ui/draw_helpers.h"

namespace {

using i64 = long long;

constexpr int kColumns = 30;
constexpr double kPi = 3.14159265358979323846;
// Far beyond anything a screen shows, yet still exact as a float and safe to add to.
constexpr i64 kFar = 1 << 30;

double SinD(double degrees) { return std::sin(degrees * kPi / 180.0); }
double CosD(double degrees) { return std::cos(degrees * kPi / 180.0); }

// A drawing point in whole units, truncated toward zero.
int Trunc(double v) {
  if (!(v > double(-kFar))) return int(-kFar);
  if (v > double(kFar)) return int(kFar);
  return int(v);
}

int ClampToInt(i64 v) { return int(std::clamp<i64>(v, INT_MIN, INT_MAX)); }

// Advances a phase by the speed and wraps it into 0 .. mod - 1, whatever sign either has.
void Advance(int& phase, int speed, int mod) {
  i64 p = (i64(phase) + speed) % mod;
  if (p < 0) p += mod;
  phase = int(p);
}

// A sheet frame from a computed number; one outside the sheet draws nothing.
int SheetFrame(i64 frame) { return frame >= 0 && frame <= INT_MAX ? int(frame) : -1; }

void Sprite(double x, double y, i64 frame) {
  DrawFieldSprite(SpriteSheet, float(x), float(y), SheetFrame(frame));
}

void Turn(double degrees) { Rotate(float(degrees)); }

// The ball of kinds 1 to 8 and 18: its still part upright, then its turning part.
void DrawBall(int x, int y, i64 look, double turn) {
  Turn(0);
  Sprite(x, y, 17 + 32 * look);
  Turn(turn);
  Sprite(x, y, 16 + 32 * look);
}

void Hit() {
  if (SheepCanBeHit()) DeathTimer = 1;
}

// The sheep's hit box is centred 4 units below its position.
bool Overlaps(double x, double y, double halfWidth, double halfHeight) {
  return std::fabs(x - double(SheepX)) < halfWidth && std::fabs(y - (double(SheepY) + 4.0)) < halfHeight;
}

void HitIfOverlaps(double x, double y, double halfWidth, double halfHeight) {
  if (Overlaps(x, y, halfWidth, halfHeight)) Hit();
}

// The playfield area the widest and tallest displays show (x -160 to 640, y 0 to 480), and how
// far outside it a sprite's corner can still reach in.
constexpr double kViewLeft = -160, kViewRight = 640, kViewTop = 0, kViewBottom = 480, kViewMargin = 32;

// Calls body(r) for r = step, 2 step, ... up to last, skipping radii at which nothing around the
// pivot can be on screen. A chain or arm longer than the playfield's reach therefore costs no
// more than one that fits, even at a length of two billion.
template <typename F>
void ForEachRadius(double px, double py, i64 step, i64 last, F&& body) {
  const double dx = std::max({kViewLeft - px, 0.0, px - kViewRight});
  const double dy = std::max({kViewTop - py, 0.0, py - kViewBottom});
  const double nearest = std::hypot(dx, dy) - kViewMargin;
  const double farthest = std::max(std::hypot(std::max(px - kViewLeft, kViewRight - px),
                                              std::max(py - kViewTop, kViewBottom - py)),
                                   0.0) + kViewMargin;
  i64 r = step;
  if (nearest > double(step)) r = (i64(nearest) / step) * step;
  last = std::min(last, i64(farthest));
  for (; r <= last; r += step) body(r);
}

// Crossing objects warn while on their way in and sound once as they pass the sheep's path.
struct TPassing {
  int announceFrom, announceTo;  // exclusive
  int passFrom, passTo;          // exclusive
  bool fromLeft;
  int passSound;
};

void Announce(TLevelColumn& col, int x, const TPassing& pass) {
  if (CompleteTimer != 0) return;
  int& sound = col[COL_SOUND_STATE];
  const bool blinking = std::abs(x) % 64 < 32;
  if (x > pass.announceFrom && x < pass.announceTo && blinking) {
    DrawFieldSprite(WarnImage, pass.fromLeft ? 8.0f : 472.0f, 160.0f, 0);
    if (sound < 1) {
      sound = 1;
      PlaySfx(12, 1.0f, 0.5f, pass.fromLeft ? -0.5f : 0.5f);
    }
  }
  if (x > pass.passFrom && x < pass.passTo && sound >= 0) {
    sound = -1;
    PlaySfx(pass.passSound, 1.0f, 0.5f, 0.0f);
  }
}

// One column's object for this frame. The kind rules set the drawing point and return whether
// the default overlap test applies to it; the others test their own parts.
struct TObject {
  TLevelColumn& col;
  float bx;
  float by;
  int x;
  int y;
  int& P() { return col[COL_PHASE]; }
  int BaseY() const { return col[COL_BASE_Y]; }
  i64 Spin() const { return col[COL_SPIN]; }
  i64 L() const { return col[COL_LENGTH]; }
  i64 Look() const { return col[COL_LOOK]; }
  int& S() { return col[COL_SPEED]; }
};

// Kinds 1, 2, 7, 8: a ball over its base, bouncing when the height is folded.
bool BouncingBall(TObject& o, bool bounce, int sideways) {
  Advance(o.P(), o.S(), 3600);
  const i64 p = o.P();
  const double rise = CosD(double(p)) * double(o.L());
  o.x = Trunc(o.bx + sideways * SinD(double(p)) * double(o.L()));
  o.y = Trunc(o.by - (bounce ? std::fabs(rise) : rise));
  DrawBall(o.x, o.y, o.Look(), bounce ? -double(p * o.Spin()) : double(p * o.Spin()));
  return true;
}

// The link trailing the ball of a chain at radius r: it lags by an angle growing toward the pivot.
i64 LinkLag(const TObject& o, i64 r, i64 speed) { return (o.L() - r) * speed / 20; }

// Kinds 3 and 4: a ball on a chain going round its pivot; mirror -1 turns the other way.
bool SwingingChain(TObject& o, int mirror) {
  Advance(o.P(), o.S(), 3600);
  const i64 p = o.P();
  const i64 speed = o.S();
  Sprite(o.bx, o.by, 8);
  ForEachRadius(o.bx, o.by, 8, o.L() - 1, [&](i64 r) {
    const i64 a = p - LinkLag(o, r, speed);
    Turn(double(mirror * a));
    Sprite(o.bx + mirror * SinD(double(a)) * double(r), o.by - double(r) * CosD(double(a)), 19);
  });
  o.x = Trunc(o.bx + mirror * SinD(double(p)) * double(o.L()));
  o.y = Trunc(o.by - CosD(double(p)) * double(o.L()));
  DrawBall(o.x, o.y, 0, -double(p * o.Spin()));
  return true;
}

// Kinds 5 and 6: a pendulum swinging 90 degrees either side below its pivot; kind 6 runs in the
// opposite phase.
bool Pendulum(TObject& o, bool opposite) {
  Advance(o.P(), o.S(), opposite ? 3600 : 360);
  const i64 p = o.P();
  const i64 speed = o.S();
  const auto swing = [opposite, p](i64 lag) {
    return Trunc(90.0 * SinD(double(opposite ? lag - p : p - lag)));
  };
  ForEachRadius(o.bx, o.by, 8, o.L() - 1, [&](i64 r) {
    const int t = swing(LinkLag(o, r, speed));
    Turn(-t);
    Sprite(o.bx + SinD(t) * double(r), o.by + double(r) * CosD(t), 19);
  });
  const int t = swing(0);
  o.x = Trunc(o.bx + SinD(t) * double(o.L()));
  o.y = Trunc(o.by + CosD(t) * double(o.L()));
  DrawBall(o.x, o.y, o.Look(), -t);
  Turn(0);
  Sprite(o.bx, o.by, 8);
  return true;
}

// Kind 9: a block of 8 x 2 sprites crossing left to right; only its lower row is in the path.
bool CrossingBlock(TObject& o) {
  Advance(o.P(), o.S(), 800);
  o.x = Trunc(o.bx + 6.0 * o.P() - 3840.0);
  o.y = Trunc(o.by);
  Announce(o.col, o.x, {-360, -16, -16, 240, true, 11});
  for (int j = 0; j <= 7; ++j) {
    const double x = double(o.x) + 16 * j - 112;
    for (int k = 0; k <= 1; ++k) Sprite(x, o.by + 16 * k - 16, 32 + j + 16 * k);
    HitIfOverlaps(x, o.by, j == 7 ? 10 : 15, 13);
  }
  return false;
}

// Kind 10: a single sprite crossing right to left.
bool CrossingSprite(TObject& o) {
  Advance(o.P(), o.S(), 800);
  o.x = Trunc(o.bx + 1200.0 - 6.0 * o.P());
  o.y = Trunc(o.by);
  Announce(o.col, o.x, {496, 840, 240, 496, false, 13});
  Sprite(o.x, o.by, 20);
  return true;
}

// Kind 11: an eruption rising in stages, sinking back, then resting harmless.
bool Eruption(TObject& o) {
  Advance(o.P(), o.S(), 256);
  int stage = o.P() / 4;
  int& sound = o.col[COL_SOUND_STATE];
  if (stage < 2 && sound < 1 && CompleteTimer == 0) {
    sound = 1;
    PlaySfx(14, 1.0f, 0.2f, 0.0f);
  }
  if (stage >= 6 && sound == 1) sound = 0;
  const bool dangerous = stage < 11;
  if (stage >= 6) stage = dangerous ? 10 - stage : 6;
  Scale(float(Rnd(1.0, 1.4)), 3.0f);
  Sprite(o.bx, o.BaseY() - 24.0, 80 + stage);
  if (dangerous) HitIfOverlaps(o.bx, o.by, 15, 28);
  return false;
}

// Kind 12: dangerous for the first sixth of its cycle.
bool Hazard(TObject& o) {
  Advance(o.P(), o.S(), 192);
  const int safe = o.P() < 32 ? 0 : 1;
  Sprite(o.bx, o.BaseY() - 6.0, 22 + safe);
  return safe == 0;
}

// Kinds 13 and 14: a large rolling sprite crossing; direction 1 goes right, -1 left.
bool RollingGiant(TObject& o, int direction) {
  Advance(o.P(), o.S(), 1800);
  const i64 p = o.P();
  o.x = Trunc(o.bx + direction * (p - 640));
  o.y = Trunc(o.by);
  if (direction > 0) Announce(o.col, o.x, {-64, -16, -16, 240, true, 15});
  else Announce(o.col, o.x, {496, 544, 240, 496, false, 15});
  Scale(3.0f);
  Turn(double(2 * direction * p));
  Sprite(o.x, o.BaseY() - 20.0, 41);
  HitIfOverlaps(o.x, o.by, 29, 26);
  return false;
}

// Kind 15: a column of 17 blocks that falls from above, rests on the ground, then rises again.
bool Crusher(TObject& o) {
  Advance(o.P(), o.S(), 500);
  const int c = o.P() - 250;
  const int lift = c >= 0 ? c : c >= -99 ? 0 : std::min(500, 8 * (-c - 99));
  const double top = o.by - 4.0 * lift;
  int& sound = o.col[COL_SOUND_STATE];
  if (CompleteTimer == 0 && sound == 0 && lift == 0) {
    PlaySfx(16, 1.0f, 0.4f, 0.0f);
    sound = 1;
  }
  if (4 * lift > 1) sound = 0;
  for (int n = -16; n <= 0; ++n) {
    const double y = top + 12 * n;
    if (!(y > -32)) continue;
    Sprite(o.bx, y, 11);
    HitIfOverlaps(o.bx, y, 15, 13);
  }
  return false;
}

// Kinds 16 and 17: arms of blocks turning round a pivot, snapped to steps of 8 degrees.
bool TurningArms(TObject& o, int arms, double halfWidth) {
  Advance(o.P(), o.S(), 3600);
  const i64 p = o.P();
  const i64 q = (p / 8) * 8;
  Sprite(o.bx, o.by, 8);
  Turn(-double(p * o.Spin()));
  const int apart = 360 / arms;
  ForEachRadius(o.bx, o.by, 16, o.L(), [&](i64 r) {
    for (int j = 0; j < arms; ++j) {
      const double a = double(q + apart * j);
      const int x = Trunc(o.bx + SinD(a) * double(r));
      const int y = Trunc(o.by - double(r) * CosD(a));
      Sprite(x, y, 11);
      HitIfOverlaps(x, y, halfWidth, 13);
    }
  });
  return false;
}

// Kind 18: a ball rolling back and forth along the ground.
bool RollingBall(TObject& o) {
  Advance(o.P(), o.S(), 3600);
  const i64 p = o.P();
  o.x = Trunc(o.bx - CosD(double(p)) * double(o.L()));
  o.y = 248;
  DrawBall(o.x, o.y, o.Look(), double(p * o.Spin()));
  return true;
}

// Kind 19: two blocks in the path with a third swinging up and down above them.
bool Stomper(TObject& o) {
  Advance(o.P(), o.S(), 3600);
  const i64 p = o.P();
  const int upper = 176 + Trunc(-std::fabs(SinD(double(p)) * double(o.L())));
  const int ys[3] = {upper, 220, 256};
  for (int i = 0; i < 3; ++i) {
    Turn(i == 0 ? double(p) : -double(p));
    Sprite(o.bx, ys[i], 11);
    HitIfOverlaps(o.bx, ys[i], 15, 13);
  }
  return false;
}

// Whether the sheep has come within reach of a dropping object.
bool SheepNear(const TObject& o) { return SheepX < o.bx + 32.0f; }

// Kind 20: a ball that drops from above once the sheep comes near, and stays down.
bool Dropper(TObject& o) {
  if (SheepNear(o) && o.P() < 640) o.P() = ClampToInt(i64(o.P()) + 8 * i64(o.S()));
  const i64 p = o.P();
  o.x = Trunc(o.bx);
  o.y = Trunc(double(p / 2 - 64));
  Turn(double(4 * p));
  Sprite(o.x, o.y, 17);
  return true;
}

// Kind 21: a block that drops once the sheep comes near, then slides away to the left.
bool DropSlider(TObject& o) {
  if (SheepNear(o) && o.P() < 1800) o.P() = ClampToInt(i64(o.P()) + 6 * i64(o.S()));
  const i64 p = o.P();
  o.x = Trunc(p > 800 ? o.bx + 800.0 - double(p) : o.bx);
  o.y = Trunc(double(std::min<i64>(p / 2 - 64, 248)));
  Turn(-double(p));
  Sprite(o.x, o.y, 11);
  return true;
}

// Kind 22: a sprite bouncing in from the right.
bool Bouncer(TObject& o) {
  Advance(o.P(), o.S(), 1200);
  const i64 p = o.P();
  o.x = Trunc(o.bx + 600.0 - 3.0 * double(p));
  o.y = Trunc(248.0 - std::fabs(SinD(6.0 * double(p)) * double(o.L())));
  Announce(o.col, o.x, {496, 840, 240, 496, false, 13});
  Turn(-6.0 * double(p));
  Sprite(o.x, o.y, 41);
  return true;
}

// Kind 23: a ball that chases the sheep, speeding up by 2 a frame toward it. Its velocity never
// passes 24, so it never rolls more than 4 units a frame, whatever speed the level gave it.
constexpr int kChaseTop = 24;

bool Chaser(TObject& o) {
  int& speed = o.S();
  speed = std::clamp(speed, -kChaseTop, kChaseTop);
  o.P() = ClampToInt(i64(o.P()) + speed / 6);
  const double at = double(o.bx) + double(o.P());
  if (double(SheepX) > at + 32) speed = std::min(speed + 2, kChaseTop);
  if (double(SheepX) < at - 32) speed = std::max(speed - 2, -kChaseTop);
  o.x = Trunc(at);
  o.y = 248;
  Turn(4.0 * double(o.P()));
  Sprite(o.x, o.y, 16);
  Turn(0);
  Sprite(double(o.x) + speed / 6, 248, 43);
  return true;
}

// An unknown kind draws nothing but still stands where a ball on a rod would be.
bool Unknown(TObject& o) {
  const double p = o.P();
  o.x = Trunc(o.bx + SinD(p) * double(o.L()));
  o.y = Trunc(o.by - CosD(p) * double(o.L()));
  return true;
}

bool KindRule(int kind, TObject& o) {
  switch (kind) {
    case 1: return BouncingBall(o, false, 0);
    case 2: return BouncingBall(o, true, 0);
    case 3: return SwingingChain(o, 1);
    case 4: return SwingingChain(o, -1);
    case 5: return Pendulum(o, false);
    case 6: return Pendulum(o, true);
    case 7: return BouncingBall(o, true, 1);
    case 8: return BouncingBall(o, true, -1);
    case 9: return CrossingBlock(o);
    case 10: return CrossingSprite(o);
    case 11: return Eruption(o);
    case 12: return Hazard(o);
    case 13: return RollingGiant(o, 1);
    case 14: return RollingGiant(o, -1);
    case 15: return Crusher(o);
    case 16: return TurningArms(o, 8, 14);
    case 17: return TurningArms(o, 2, 15);
    case 18: return RollingBall(o);
    case 19: return Stomper(o);
    case 20: return Dropper(o);
    case 21: return DropSlider(o);
    case 22: return Bouncer(o);
    case 23: return Chaser(o);
    default: return Unknown(o);
  }
}

}  // namespace

void UpdateObjects() {
  for (int w = 0; w < kColumns; ++w) {
    TLevelColumn& col = LevelColumns[size_t(w)];
    const int kind = col[COL_KIND];
    if (kind <= 0) continue;
    const float bx = float(16 * w);
    const float by = float(col[COL_BASE_Y]) - 8.0f;
    TObject o{col, bx, by, Trunc(bx), Trunc(by)};
    ResetDrawing();
    if (KindRule(kind, o)) HitIfOverlaps(o.x, o.y, 15, 13);
  }
}

// Past the left edge (x below 2) the level end has begun, while the bonus is still being paid and
// CompleteTimer is still 0: the crossers and the chaser that go on off screen must not count then.
bool SheepCanBeHit() { return SheepX < 470.0f && SheepX >= 2.0f && DeathTimer == 0 && CompleteTimer == 0; }
