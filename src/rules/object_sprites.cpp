#include "rules/object_sprites.h"

#include "rules/object_geometry.h"

using namespace object_geometry;

namespace {

// Adds a column's sprites under the turn and scale in force, as a drawing state would hold them.
struct TPen {
  std::vector<TObjectSprite>& out;
  int column;
  float angle = 0.0f;
  float scaleX = 1.0f, scaleY = 1.0f;

  void Turn(double degrees) { angle = float(degrees); }
  void Scale(float x, float y) { scaleX = x, scaleY = y; }
  // A sheet frame from a computed number; one outside the sheet draws nothing.
  void Sprite(double x, double y, i64 frame) {
    const int sheetFrame = frame >= 0 && frame <= INT_MAX ? int(frame) : -1;
    out.push_back({column, false, sheetFrame, float(x), float(y), angle, scaleX, scaleY});
  }
  void Sign(float x) { out.push_back({column, true, 0, x, 160.0f, angle, scaleX, scaleY}); }
  // The ball of kinds 1 to 8 and 18: its still part upright, then its turning part.
  void Ball(int x, int y, i64 look, double turn) {
    Turn(0);
    Sprite(x, y, 17 + 32 * look);
    Turn(turn);
    Sprite(x, y, 16 + 32 * look);
  }
};

void Links(TPen& pen, const TObject& o, int mirror) {
  const i64 p = o.P();
  const i64 speed = o.S();
  ForEachRadius(o.bx, o.by, 8, o.L() - 1, [&](i64 r) {
    const i64 a = p - LinkLag(o, r, speed);
    pen.Turn(double(mirror * a));
    pen.Sprite(o.bx + mirror * SinDegrees(double(a)) * double(r), o.by - double(r) * CosDegrees(double(a)), 19);
  });
}

void PendulumLinks(TPen& pen, const TObject& o, bool opposite) {
  const i64 speed = o.S();
  ForEachRadius(o.bx, o.by, 8, o.L() - 1, [&](i64 r) {
    const int t = PendulumSwing(o, opposite, LinkLag(o, r, speed));
    pen.Turn(-t);
    pen.Sprite(o.bx + SinDegrees(t) * double(r), o.by + double(r) * CosDegrees(t), 19);
  });
}

void KindSprites(int kind, TPen& pen, TObject& o, float eruptionScale) {
  const i64 p = o.P();
  switch (kind) {
    case 1: case 2: case 7: case 8: {
      const bool bounce = kind != 1;
      BallPoint(o, bounce, kind == 7 ? 1 : kind == 8 ? -1 : 0);
      pen.Ball(o.x, o.y, o.Look(), bounce ? -double(p * o.Spin()) : double(p * o.Spin()));
      break;
    }
    case 3: case 4: {
      const int mirror = kind == 3 ? 1 : -1;
      pen.Sprite(o.bx, o.by, 8);
      Links(pen, o, mirror);
      ChainBallPoint(o, mirror);
      pen.Ball(o.x, o.y, 0, -double(p * o.Spin()));
      break;
    }
    case 5: case 6: {
      const bool opposite = kind == 6;
      PendulumLinks(pen, o, opposite);
      PendulumBallPoint(o, opposite);
      pen.Ball(o.x, o.y, o.Look(), -PendulumSwing(o, opposite, 0));
      pen.Turn(0);
      pen.Sprite(o.bx, o.by, 8);
      break;
    }
    case 9:
      o.x = Trunc(o.bx + 6.0 * o.P() - 3840.0);
      for (int j = 0; j <= 7; ++j) {
        const double x = double(o.x) + 16 * j - 112;
        for (int k = 0; k <= 1; ++k) pen.Sprite(x, o.by + 16 * k - 16, 32 + j + 16 * k);
      }
      break;
    case 10:
      pen.Sprite(Trunc(o.bx + 1200.0 - 6.0 * o.P()), o.by, 20);
      break;
    case 11: {
      bool dangerous = false;
      const int stage = EruptionStage(o, dangerous);
      pen.Scale(eruptionScale, 3.0f);
      pen.Sprite(o.bx, o.BaseY() - 24.0, 80 + stage);
      break;
    }
    case 12:
      pen.Sprite(o.bx, o.BaseY() - 6.0, 22 + (o.P() < 32 ? 0 : 1));
      break;
    case 13: case 14: {
      const int direction = kind == 13 ? 1 : -1;
      pen.Scale(3.0f, 3.0f);
      pen.Turn(double(2 * direction * p));
      pen.Sprite(Trunc(o.bx + direction * (p - 640)), o.BaseY() - 20.0, 41);
      break;
    }
    case 15: {
      const double top = o.by - 4.0 * CrusherLift(o);
      for (int n = -16; n <= 0; ++n) {
        const double y = top + 12 * n;
        if (y > -32) pen.Sprite(o.bx, y, 11);
      }
      break;
    }
    case 16: case 17: {
      const i64 q = (p / 8) * 8;
      const int arms = kind == 16 ? 8 : 2;
      const int apart = 360 / arms;
      pen.Sprite(o.bx, o.by, 8);
      pen.Turn(-double(p * o.Spin()));
      ForEachRadius(o.bx, o.by, 16, o.L(), [&](i64 r) {
        for (int j = 0; j < arms; ++j) {
          const double a = double(q + apart * j);
          pen.Sprite(Trunc(o.bx + SinDegrees(a) * double(r)), Trunc(o.by - double(r) * CosDegrees(a)), 11);
        }
      });
      break;
    }
    case 18:
      pen.Ball(Trunc(o.bx - CosDegrees(double(p)) * double(o.L())), 248, o.Look(), double(p * o.Spin()));
      break;
    case 19: {
      const int ys[3] = {StomperTop(o), 220, 256};
      for (int i = 0; i < 3; ++i) {
        pen.Turn(i == 0 ? double(p) : -double(p));
        pen.Sprite(o.bx, ys[i], 11);
      }
      break;
    }
    case 20:
      pen.Turn(double(4 * p));
      pen.Sprite(Trunc(o.bx), Trunc(double(p / 2 - 64)), 17);
      break;
    case 21:
      pen.Turn(-double(p));
      pen.Sprite(Trunc(p > 800 ? o.bx + 800.0 - double(p) : o.bx), Trunc(double(std::min<i64>(p / 2 - 64, 248))), 11);
      break;
    case 22:
      pen.Turn(-6.0 * double(p));
      pen.Sprite(Trunc(o.bx + 600.0 - 3.0 * double(p)), Trunc(248.0 - std::fabs(SinDegrees(6.0 * double(p)) * double(o.L()))), 41);
      break;
    case 23: {
      const int x = Trunc(double(o.bx) + double(o.P()));
      pen.Turn(4.0 * double(o.P()));
      pen.Sprite(x, 248, 16);
      pen.Turn(0);
      pen.Sprite(double(x) + o.S() / 6, 248, 43);
      break;
    }
    default:
      break;
  }
}

}  // namespace

void ObjectSprites(const TFramePicture& picture, std::vector<TObjectSprite>& out) {
  out.clear();
  for (int w = 0; w < kObjectColumns; ++w) {
    const TLevelColumn& col = picture.columns[size_t(w)];
    const int kind = col[COL_KIND];
    if (kind <= 0) continue;
    TPen pen{out, w};
    // A crossing's sign comes first, under the column's reset state.
    if (const int side = picture.warning[size_t(w)]) pen.Sign(side < 0 ? 8.0f : 472.0f);
    TObject o = ObjectAt(col, w);
    KindSprites(kind, pen, o, picture.eruptionScale[size_t(w)]);
  }
}
