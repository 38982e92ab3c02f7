// What the object pass and the objects' sprites share: the points a kind's parts stand at, from
// a column's fields after it moved. Columns may come from any level text or junk, so every sum
// and product that could leave the int range is done in 64 bits, and points are held to a range
// where they stay whole numbers.
#pragma once
#include <algorithm>
#include <climits>
#include <cmath>

#include "rules/angles.h"
#include "rules/level_cells.h"

namespace object_geometry {

using i64 = long long;

// Far beyond anything a screen shows, yet still exact as a float and safe to add to.
constexpr i64 kFar = 1 << 30;

// A point in whole units, truncated toward zero.
inline int Trunc(double v) {
  if (!(v > double(-kFar))) return int(-kFar);
  if (v > double(kFar)) return int(kFar);
  return int(v);
}

inline int ClampToInt(i64 v) { return int(std::clamp<i64>(v, INT_MIN, INT_MAX)); }

// A column's object and where it stands: its base point (bx, by) and the point its default
// overlap test is made at, (x, y).
struct TObject {
  const TLevelColumn& col;
  float bx;
  float by;
  int x;
  int y;
  int P() const { return col[COL_PHASE]; }
  int BaseY() const { return col[COL_BASE_Y]; }
  i64 Spin() const { return col[COL_SPIN]; }
  i64 L() const { return col[COL_LENGTH]; }
  i64 Look() const { return col[COL_LOOK]; }
  int S() const { return col[COL_SPEED]; }
};

inline TObject ObjectAt(const TLevelColumn& col, int column) {
  const float bx = float(16 * column);
  const float by = float(col[COL_BASE_Y]) - 8.0f;
  return TObject{col, bx, by, Trunc(bx), Trunc(by)};
}

// Kinds 1, 2, 7, 8: a ball over its base, bouncing when the height is folded.
inline void BallPoint(TObject& o, bool bounce, int sideways) {
  const i64 p = o.P();
  const double rise = CosDegrees(double(p)) * double(o.L());
  o.x = Trunc(o.bx + sideways * SinDegrees(double(p)) * double(o.L()));
  o.y = Trunc(o.by - (bounce ? std::fabs(rise) : rise));
}

// Kinds 3 and 4: the ball at the end of the chain; mirror -1 turns the other way.
inline void ChainBallPoint(TObject& o, int mirror) {
  const i64 p = o.P();
  o.x = Trunc(o.bx + mirror * SinDegrees(double(p)) * double(o.L()));
  o.y = Trunc(o.by - CosDegrees(double(p)) * double(o.L()));
}

// Kinds 5 and 6: the pendulum's swing at a lag behind the ball, 90 degrees either side.
inline int PendulumSwing(const TObject& o, bool opposite, i64 lag) {
  const i64 p = o.P();
  return Trunc(90.0 * SinDegrees(double(opposite ? lag - p : p - lag)));
}

inline void PendulumBallPoint(TObject& o, bool opposite) {
  const int t = PendulumSwing(o, opposite, 0);
  o.x = Trunc(o.bx + SinDegrees(t) * double(o.L()));
  o.y = Trunc(o.by + CosDegrees(t) * double(o.L()));
}

// The link trailing the ball of a chain at radius r: it lags by an angle growing toward the pivot.
inline i64 LinkLag(const TObject& o, i64 r, i64 speed) { return (o.L() - r) * speed / 20; }

// Kind 11: the stage shown, and whether it is dangerous (stages 11 and above rest harmless).
inline int EruptionStage(const TObject& o, bool& dangerous) {
  int stage = o.P() / 4;
  dangerous = stage < 11;
  if (stage >= 6) stage = dangerous ? 10 - stage : 6;
  return stage;
}

// Kind 15: how far the crusher's column is lifted off the ground.
inline int CrusherLift(const TObject& o) {
  const int c = o.P() - 250;
  return c >= 0 ? c : c >= -99 ? 0 : std::min(500, 8 * (-c - 99));
}

// Kind 19: the upper block's height.
inline int StomperTop(const TObject& o) {
  return 176 + Trunc(-std::fabs(SinDegrees(double(o.P())) * double(o.L())));
}

// The playfield area the widest and tallest displays show (x -160 to 640, y 0 to 480), and how
// far outside it a sprite's corner can still reach in.
constexpr double kViewLeft = -160, kViewRight = 640, kViewTop = 0, kViewBottom = 480, kViewMargin = 32;

// Calls body(r) for r = step, 2 step, ... up to last, skipping radii at which nothing around the
// pivot can be on screen (nor, being off screen, touch the sheep). A chain or arm longer than the
// playfield's reach therefore costs no more than one that fits, even at a length of two billion.
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

}  // namespace object_geometry
