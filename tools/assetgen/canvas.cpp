// The painter behind every image: signed-distance shapes give exact coverage at the edges, so
// art drawn at any size is antialiased without supersampling.
#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace ag {

namespace {
constexpr float kPi = 3.14159265358979f;
float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
float Len(float x, float y) { return std::sqrt(x * x + y * y); }
}  // namespace

RGBA Rgb(int r, int g, int b, float a) { return {r / 255.0f, g / 255.0f, b / 255.0f, a}; }

RGBA Mix(const RGBA& x, const RGBA& y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
          x.a + (y.a - x.a) * t};
}

RGBA Shade(const RGBA& c, float k) {
  if (k >= 1) return Mix(c, RGBA{1, 1, 1, c.a}, Clamp01(k - 1));
  return {c.r * k, c.g * k, c.b * k, c.a};
}

Xform Xform::Then(float x, float y, float s, float a) const {
  Vec o = Apply({x, y});
  return {o.x, o.y, scale * s, angle + a};
}

Vec Xform::Apply(Vec p) const {
  float c = std::cos(angle * kPi / 180), s = std::sin(angle * kPi / 180);
  return {ox + scale * (p.x * c - p.y * s), oy + scale * (p.x * s + p.y * c)};
}

Shape Circle(float cx, float cy, float r) {
  return {[=](Vec p) { return Len(p.x - cx, p.y - cy) - r; }, cx - r, cy - r, cx + r, cy + r};
}

Shape Ellipse(float cx, float cy, float rx, float ry) {
  // Scaled-circle distance, corrected by the gradient length: good to a small fraction of a pixel
  // for the mild ellipses the art uses.
  return {[=](Vec p) {
            float x = (p.x - cx) / rx, y = (p.y - cy) / ry;
            float k = Len(x, y);
            float g = Len(x / rx, y / ry);
            if (g < 1e-6f) return -std::min(rx, ry);
            return k * (k - 1) / g;
          },
          cx - rx, cy - ry, cx + rx, cy + ry};
}

Shape Box(float x0, float y0, float x1, float y1, float radius) {
  float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
  return {[=](Vec p) {
            float qx = std::fabs(p.x - cx) - hx + radius, qy = std::fabs(p.y - cy) - hy + radius;
            return Len(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) -
                   radius;
          },
          x0, y0, x1, y1};
}

Shape Capsule(float ax, float ay, float bx, float by, float r) {
  return {[=](Vec p) {
            float px = p.x - ax, py = p.y - ay, dx = bx - ax, dy = by - ay;
            float dd = dx * dx + dy * dy;
            float h = dd > 0 ? Clamp01((px * dx + py * dy) / dd) : 0;
            return Len(px - dx * h, py - dy * h) - r;
          },
          std::min(ax, bx) - r, std::min(ay, by) - r, std::max(ax, bx) + r, std::max(ay, by) + r};
}

Shape Polygon(std::vector<Vec> v) {
  float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
  for (const Vec& p : v) {
    x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
  }
  return {[v](Vec p) {
            size_t n = v.size();
            float d = 1e30f, s = 1;
            for (size_t i = 0, j = n - 1; i < n; j = i, i++) {
              float ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
              float wx = p.x - v[i].x, wy = p.y - v[i].y;
              float h = Clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
              float bx = wx - ex * h, by = wy - ey * h;
              d = std::min(d, bx * bx + by * by);
              bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = ex * wy > ey * wx;
              if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
            }
            return s * std::sqrt(d);
          },
          x0, y0, x1, y1};
}

Shape Ring(float cx, float cy, float r, float t) {
  return {[=](Vec p) { return std::fabs(Len(p.x - cx, p.y - cy) - r) - t / 2; }, cx - r - t,
          cy - r - t, cx + r + t, cy + r + t};
}

Shape Union(const Shape& a, const Shape& b) {
  auto da = a.dist, db = b.dist;
  return {[=](Vec p) { return std::min(da(p), db(p)); }, std::min(a.x0, b.x0),
          std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Shape Subtract(const Shape& a, const Shape& b) {
  auto da = a.dist, db = b.dist;
  return {[=](Vec p) { return std::max(da(p), -db(p)); }, a.x0, a.y0, a.x1, a.y1};
}

Shape Intersect(const Shape& a, const Shape& b) {
  auto da = a.dist, db = b.dist;
  return {[=](Vec p) { return std::max(da(p), db(p)); }, std::max(a.x0, b.x0),
          std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

Shape Grow(const Shape& a, float d) {
  auto da = a.dist;
  return {[=](Vec p) { return da(p) - d; }, a.x0 - d, a.y0 - d, a.x1 + d, a.y1 + d};
}

Paint Solid(RGBA c) {
  return [c](Vec) { return c; };
}

Paint Linear(Vec a, RGBA ca, Vec b, RGBA cb) {
  return [=](Vec p) {
    float dx = b.x - a.x, dy = b.y - a.y;
    float t = Clamp01(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy));
    return Mix(ca, cb, t);
  };
}

Paint Radial(Vec c, float r, RGBA inner, RGBA outer) {
  return [=](Vec p) { return Mix(inner, outer, Clamp01(Len(p.x - c.x, p.y - c.y) / r)); };
}

Canvas::Canvas(int w_, int h_) : w(w_), h(h_), px(size_t(w_) * h_, RGBA{0, 0, 0, 0}) { NoClip(); }

void Canvas::Clip(int x0, int y0, int x1, int y1) {
  cx0_ = std::max(0, x0), cy0_ = std::max(0, y0), cx1_ = std::min(w, x1), cy1_ = std::min(h, y1);
}

void Canvas::NoClip() { cx0_ = 0, cy0_ = 0, cx1_ = w, cy1_ = h; }

void Canvas::Blend(int x, int y, RGBA c, float cov) {
  if (x < cx0_ || y < cy0_ || x >= cx1_ || y >= cy1_) return;
  float sa = Clamp01(c.a * cov);
  if (sa <= 0) return;
  RGBA& d = At(x, y);
  float oa = sa + d.a * (1 - sa);
  if (oa <= 0) return;
  d.r = (c.r * sa + d.r * d.a * (1 - sa)) / oa;
  d.g = (c.g * sa + d.g * d.a * (1 - sa)) / oa;
  d.b = (c.b * sa + d.b * d.a * (1 - sa)) / oa;
  d.a = oa;
}

void Canvas::Fill(const Xform& t, const Shape& s, const Paint& p, float opacity) {
  // Pixel bounds: the transformed local box, grown by a pixel for the antialiased rim.
  float bx0 = 1e9f, by0 = 1e9f, bx1 = -1e9f, by1 = -1e9f;
  for (Vec c : {Vec{s.x0, s.y0}, Vec{s.x1, s.y0}, Vec{s.x0, s.y1}, Vec{s.x1, s.y1}}) {
    Vec q = t.Apply(c);
    bx0 = std::min(bx0, q.x), by0 = std::min(by0, q.y);
    bx1 = std::max(bx1, q.x), by1 = std::max(by1, q.y);
  }
  int ix0 = std::max(cx0_, int(std::floor(bx0)) - 2), iy0 = std::max(cy0_, int(std::floor(by0)) - 2);
  int ix1 = std::min(cx1_, int(std::ceil(bx1)) + 2), iy1 = std::min(cy1_, int(std::ceil(by1)) + 2);
  float c = std::cos(-t.angle * kPi / 180), sn = std::sin(-t.angle * kPi / 180);
  for (int y = iy0; y < iy1; y++) {
    for (int x = ix0; x < ix1; x++) {
      float dx = (x + 0.5f - t.ox) / t.scale, dy = (y + 0.5f - t.oy) / t.scale;
      Vec l{dx * c - dy * sn, dx * sn + dy * c};
      float d = s.dist(l) * t.scale;
      float cov = Clamp01(0.5f - d);
      if (cov > 0) Blend(x, y, p(l), cov * opacity);
    }
  }
}

void Canvas::FillOutlined(const Xform& t, const Shape& s, const Paint& p, RGBA line, float w) {
  Fill(t, Grow(s, w), Solid(line));
  Fill(t, s, p);
}

namespace {
RGBA Sample(const Canvas& src, float x, float y, int sx, int sy, int sw, int sh) {
  // Bilinear in premultiplied space.
  x -= 0.5f, y -= 0.5f;
  int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  float fx = x - x0, fy = y - y0;
  float r = 0, g = 0, b = 0, a = 0;
  for (int j = 0; j < 2; j++) {
    for (int i = 0; i < 2; i++) {
      // Clamped to the region's edge, as the game's textures are.
      int xx = std::clamp(x0 + i, 0, sw - 1), yy = std::clamp(y0 + j, 0, sh - 1);
      float wgt = (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
      const RGBA& c = src.At(sx + xx, sy + yy);
      r += c.r * c.a * wgt, g += c.g * c.a * wgt, b += c.b * c.a * wgt, a += c.a * wgt;
    }
  }
  if (a <= 1e-6f) return {0, 0, 0, 0};
  return {r / a, g / a, b / a, a};
}
}  // namespace

void Canvas::DrawRegion(const Canvas& src, int sx, int sy, int sw, int sh, float cx, float cy,
                        float s, float deg, float alpha) {
  // Bounds: the rotated rectangle's box (just the scaled rectangle when there is no rotation).
  float ca = std::fabs(std::cos(deg * kPi / 180)), sa = std::fabs(std::sin(deg * kPi / 180));
  float hx = 0.5f * s * (sw * ca + sh * sa), hy = 0.5f * s * (sw * sa + sh * ca);
  int ix0 = std::max(cx0_, int(std::floor(cx - hx)) - 1), iy0 = std::max(cy0_, int(std::floor(cy - hy)) - 1);
  int ix1 = std::min(cx1_, int(std::ceil(cx + hx)) + 2), iy1 = std::min(cy1_, int(std::ceil(cy + hy)) + 2);
  float c = std::cos(-deg * kPi / 180), sn = std::sin(-deg * kPi / 180);
  for (int y = iy0; y < iy1; y++) {
    for (int x = ix0; x < ix1; x++) {
      float dx = (x + 0.5f - cx) / s, dy = (y + 0.5f - cy) / s;
      float lx = dx * c - dy * sn + sw / 2.0f, ly = dx * sn + dy * c + sh / 2.0f;
      if (lx < 0 || ly < 0 || lx > sw || ly > sh) continue;
      RGBA v = Sample(src, lx, ly, sx, sy, sw, sh);
      if (v.a > 0) Blend(x, y, v, alpha);
    }
  }
}

void Canvas::Draw(const Canvas& src, float cx, float cy, float s, float deg, float alpha) {
  DrawRegion(src, 0, 0, src.w, src.h, cx, cy, s, deg, alpha);
}

void Canvas::DrawTinted(const Canvas& src, int sx, int sy, int sw, int sh, float x, float y,
                        float kx, float ky, RGBA tint) {
  int ix0 = std::max(cx0_, int(std::floor(x))), iy0 = std::max(cy0_, int(std::floor(y)));
  int ix1 = std::min(cx1_, int(std::ceil(x + sw * kx))), iy1 = std::min(cy1_, int(std::ceil(y + sh * ky)));
  for (int yy = iy0; yy < iy1; yy++) {
    for (int xx = ix0; xx < ix1; xx++) {
      RGBA v = Sample(src, (xx + 0.5f - x) / kx, (yy + 0.5f - y) / ky, sx, sy, sw, sh);
      v.r *= tint.r, v.g *= tint.g, v.b *= tint.b;
      if (v.a > 0) Blend(xx, yy, v, tint.a);
    }
  }
}

void Canvas::Rect(int x, int y, int rw, int rh, RGBA c) {
  for (int yy = std::max(y, cy0_); yy < std::min(y + rh, cy1_); yy++)
    for (int xx = std::max(x, cx0_); xx < std::min(x + rw, cx1_); xx++) Blend(xx, yy, c, 1);
}

uint64_t Rng::Next() {
  // splitmix64
  uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

float Rng::Uniform(float lo, float hi) { return lo + (hi - lo) * float(Next() >> 40) / float(1 << 24); }

int Rng::Int(int lo, int hi) { return lo + int(Next() % uint64_t(hi - lo + 1)); }

namespace {
float Hash(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return float(h & 0xFFFFFF) / float(0xFFFFFF);
}
float Smooth(float t) { return t * t * (3 - 2 * t); }
}  // namespace

float PeriodicNoise(float x, float y, int period, uint32_t seed) {
  int xi = int(std::floor(x)), yi = int(std::floor(y));
  float fx = Smooth(x - xi), fy = Smooth(y - yi);
  auto wrap = [period](int v) { return ((v % period) + period) % period; };
  float a = Hash(wrap(xi), yi, seed), b = Hash(wrap(xi + 1), yi, seed);
  float c = Hash(wrap(xi), yi + 1, seed), d = Hash(wrap(xi + 1), yi + 1, seed);
  return a + (b - a) * fx + (c - a) * fy + (a - b - c + d) * fx * fy;
}

float Fbm(float x, float y, int period, uint32_t seed, int octaves) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int o = 0; o < octaves; o++) {
    sum += amp * PeriodicNoise(x, y, period, seed + o * 101);
    norm += amp;
    x *= 2, y *= 2, period *= 2, amp *= 0.5f;
  }
  return sum / norm;
}

}  // namespace ag
