// Drawing benchmark. Draws N rotated, tinted, alpha-blended 32 x 32 sprites at scale 2 in a
// 1600 x 900 window and finds the largest N that holds 45 and 30 frames per second (each count run
// for 2 seconds, the median of 3 runs), then measures the CPU time to submit one sprite when
// 20000 sprites of 8 x 8 pixels are drawn in a frame. The last three lines are the figures.
// The sprite is masked but not filtered, like the crisp icon sheet the engine test draws with, and
// covers its whole square so no pixel is free.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/image.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 900;

double Seconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A cheap deterministic generator so every run draws the same scene.
struct TRandom {
  uint32_t state = 12345;
  uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  float Float(float hi) { return float(Next() % 65536) / 65536.0f * hi; }
};

TImagePtr Ball(int side, int flags = MASKEDIMAGE) {
  TPixmapPtr p = CreatePixmap(side, side, 0, true);
  const float r = float(side) / 2.0f;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const float d = std::hypot(float(x) + 0.5f - r, float(y) + 0.5f - r) / r;
      const uint32_t a = 96u + uint32_t(159.0f * std::max(0.0f, 1.0f - d * d / 2.0f));
      WritePixel(*p, x, y, a << 24 | 0xffffffu);
    }
  TImagePtr image = CreateImageFromPixmaps({p}, flags);
  MidHandleImage(image);
  return image;
}

void DrawSprites(const TImagePtr& image, int n, TRandom& rnd) {
  SetBlend(ALPHABLEND);
  SetScale(2.0f, 2.0f);
  for (int i = 0; i < n; ++i) {
    SetRotation(rnd.Float(360.0f));
    SetColor(int(rnd.Next() % 256), int(rnd.Next() % 256), int(rnd.Next() % 256));
    SetAlpha(0.3f + rnd.Float(0.7f));
    DrawImage(image, rnd.Float(float(kWidth)), rnd.Float(float(kHeight)));
  }
}

double FramesPerSecond(const TImagePtr& image, int n) {
  TRandom rnd;
  int frames = 0;
  const double start = Seconds(CLOCK_MONOTONIC);
  double now = start;
  while (now - start < 2.0) {
    Cls();
    DrawSprites(image, n, rnd);
    Flip(0);
    ++frames;
    now = Seconds(CLOCK_MONOTONIC);
  }
  return double(frames) / (now - start);
}

double MedianFps(const TImagePtr& image, int n) {
  std::vector<double> runs;
  for (int i = 0; i < 3; ++i) runs.push_back(FramesPerSecond(image, n));
  std::sort(runs.begin(), runs.end());
  std::printf("  %5d sprites: %.1f fps (runs %.1f %.1f %.1f)\n", n, runs[1], runs[0], runs[1], runs[2]);
  std::fflush(stdout);
  return runs[1];
}

// The largest count (to 10 sprites) that holds the rate, searching up from a count known to hold.
int LargestHolding(const TImagePtr& image, double fps, int known_good) {
  int good = known_good;
  int bad = std::max(known_good * 2, 100);
  while (MedianFps(image, bad) >= fps) {
    good = bad;
    bad *= 2;
    if (bad > 64000) return good;
  }
  while (bad - good > 10) {
    const int mid = (good + bad) / 2;
    if (MedianFps(image, mid) >= fps) good = mid;
    else bad = mid;
  }
  return good;
}

// Where one frame's time goes at a given count: submitting, and flushing plus presenting.
void Breakdown(const TImagePtr& image, int n) {
  TRandom rnd;
  double submit = 0.0;
  double present = 0.0;
  const int frames = 20;
  for (int f = 0; f < frames; ++f) {
    Cls();
    const double t0 = Seconds(CLOCK_MONOTONIC);
    DrawSprites(image, n, rnd);
    const double t1 = Seconds(CLOCK_MONOTONIC);
    Flip(0);
    const double t2 = Seconds(CLOCK_MONOTONIC);
    submit += t1 - t0;
    present += t2 - t1;
  }
  std::printf("  frame of %d sprites: submit %.2f ms, render and present %.2f ms\n", n,
              1000.0 * submit / frames, 1000.0 * present / frames);
}

double SubmitMicroseconds() {
  TImagePtr small = Ball(8);
  TRandom rnd;
  std::vector<double> per_sprite;
  for (int f = 0; f < 15; ++f) {
    Cls();
    const double t0 = Seconds(CLOCK_THREAD_CPUTIME_ID);
    DrawSprites(small, 20000, rnd);
    const double t1 = Seconds(CLOCK_THREAD_CPUTIME_ID);
    Flip(0);
    per_sprite.push_back((t1 - t0) * 1e6 / 20000.0);
  }
  std::sort(per_sprite.begin(), per_sprite.end());
  return per_sprite[per_sprite.size() / 2];
}

}  // namespace

int main() {
  UseOpenGLDriver();
  if (!OpenGraphics(kWidth, kHeight, 0, 60, 0)) return 1;
  SetVirtualResolution(float(kWidth), float(kHeight));
  TImagePtr sprite = Ball(32);
  Breakdown(sprite, 800);
  std::printf("Searching the count that holds 45 fps\n");
  const int at45 = LargestHolding(sprite, 45.0, 0);
  std::printf("Searching the count that holds 30 fps\n");
  const int at30 = LargestHolding(sprite, 30.0, at45);
  std::printf("The same count with bilinear filtering:\n");
  MedianFps(Ball(32, MASKEDIMAGE | FILTEREDIMAGE), at45);
  const double submit = SubmitMicroseconds();
  CloseGraphics();
  std::printf("sprites at 45 fps: %d\n", at45);
  std::printf("sprites at 30 fps: %d\n", at30);
  std::printf("submit time per sprite: %.3f us\n", submit);
  return 0;
}
