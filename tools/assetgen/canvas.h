// A small RGBA painter for the asset generator: antialiased shapes by signed distance (coverage is
// the distance to the edge clamped to one pixel), straight-alpha compositing, bilinear blits, and a
// deterministic random source. Everything the generator draws goes through here.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ag {

struct RGBA {
  float r = 0, g = 0, b = 0, a = 1;  // components 0..1, straight (not premultiplied) alpha
};
RGBA Rgb(int r, int g, int b, float a = 1.0f);
RGBA Mix(const RGBA& x, const RGBA& y, float t);
RGBA Shade(const RGBA& c, float k);  // k > 1 lightens towards white, k < 1 darkens

struct Vec {
  float x = 0, y = 0;
};

// Where shapes land: local point p goes to (p * scale rotated by angle) + offset. Scale is uniform
// so distances stay distances.
struct Xform {
  float ox = 0, oy = 0, scale = 1, angle = 0;  // offset in pixels, scale, rotation in degrees
  Xform Then(float x, float y, float s = 1, float a = 0) const;  // a child frame placed in this one
  Vec Apply(Vec p) const;
};

// A shape is a signed distance in local units (negative inside) plus its local bounding box.
struct Shape {
  std::function<float(Vec)> dist;
  float x0, y0, x1, y1;
};
Shape Circle(float cx, float cy, float r);
Shape Ellipse(float cx, float cy, float rx, float ry);
Shape Box(float x0, float y0, float x1, float y1, float radius = 0);
Shape Capsule(float ax, float ay, float bx, float by, float r);  // a thick line with round ends
Shape Polygon(std::vector<Vec> pts);
Shape Ring(float cx, float cy, float r, float thickness);
Shape Union(const Shape& a, const Shape& b);
Shape Subtract(const Shape& a, const Shape& b);
Shape Intersect(const Shape& a, const Shape& b);
Shape Grow(const Shape& a, float d);  // offset outwards by d (inwards when negative)

using Paint = std::function<RGBA(Vec local)>;
Paint Solid(RGBA c);
Paint Linear(Vec a, RGBA ca, Vec b, RGBA cb);
Paint Radial(Vec c, float r, RGBA inner, RGBA outer);

class Canvas {
 public:
  Canvas(int w = 0, int h = 0);
  int w, h;
  std::vector<RGBA> px;  // row-major, starts fully transparent
  RGBA& At(int x, int y) { return px[size_t(y) * w + x]; }
  const RGBA& At(int x, int y) const { return px[size_t(y) * w + x]; }
  void Clip(int x0, int y0, int x1, int y1);  // limit painting to a rectangle (a frame cell)
  void NoClip();
  // Source-over of colour c with coverage cov at pixel (x, y).
  void Blend(int x, int y, RGBA c, float cov);
  void Fill(const Xform& t, const Shape& s, const Paint& p, float opacity = 1);
  void Fill(const Xform& t, const Shape& s, RGBA c) { Fill(t, s, Solid(c)); }
  // Outline: a dark band of width w (local units) around the shape, then the shape on top.
  void FillOutlined(const Xform& t, const Shape& s, const Paint& p, RGBA line, float w);
  // Draws src scaled by s and rotated by deg around its centre, centre at (cx, cy), bilinear.
  void Draw(const Canvas& src, float cx, float cy, float s = 1, float deg = 0, float alpha = 1);
  void DrawRegion(const Canvas& src, int sx, int sy, int sw, int sh, float cx, float cy, float s,
                  float deg = 0, float alpha = 1);
  // Draws a region with its top-left at (x, y), scaled by (kx, ky) and tinted by multiplying with
  // tint (the way the game's colour tints a sprite), bilinear.
  void DrawTinted(const Canvas& src, int sx, int sy, int sw, int sh, float x, float y, float kx,
                  float ky, RGBA tint);
  void Rect(int x, int y, int rw, int rh, RGBA c);  // plain filled rectangle, blended

 private:
  int cx0_, cy0_, cx1_, cy1_;
};

// Deterministic random numbers: the same seed gives the same sequence everywhere.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed) {}
  uint64_t Next();
  float Uniform(float lo = 0, float hi = 1);
  int Int(int lo, int hi);  // inclusive
 private:
  uint64_t s_;
};

// Value noise that wraps every `period` units in x (so tiles join seamlessly).
float PeriodicNoise(float x, float y, int period, uint32_t seed);
float Fbm(float x, float y, int period, uint32_t seed, int octaves);

}  // namespace ag
