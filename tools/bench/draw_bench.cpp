// Drawing benchmark. Draws N rotated, tinted, alpha-blended 32 x 32 sprites at scale 2 in a
// 1600 x 900 window and finds the largest N that holds 45 and 30 frames per second (each count run
// for 2 seconds, the median of 3 runs), then measures the CPU time to submit one sprite when
// 20000 sprites of 8 x 8 pixels are drawn in a frame. The last three lines are the figures.
// By default the sprite is masked but not filtered, like the crisp icon sheet the engine test draws
// with, and covers its whole square so no pixel is free. With --filter linear|nearest it draws the
// shared sprite benchmarks' scene instead, so the figures stand beside theirs: their 32 x 32 disc
// (radius 14 texels with a soft rim, grey left half, white right half) at that filter, over their
// field of spinning sprites with fixed tints.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The shared benchmarks' sprite, texel for texel.
TImagePtr ReferenceDisc(bool filtered) {
  TPixmapPtr p = CreatePixmap(32, 32, 0, true);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const float d = std::hypot(float(x) + 0.5f - 16.0f, float(y) + 0.5f - 16.0f);
      const float a = std::clamp((15.5f - d) / 1.5f, 0.0f, 1.0f);
      const uint32_t c = x >= 16 ? 255u : 128u;
      WritePixel(*p, x, y, uint32_t(std::lround(a * 255.0f)) << 24 | c << 16 | c << 8 | c);
    }
  TImagePtr image = CreateImageFromPixmaps({p}, filtered ? FILTEREDIMAGE : 0);
  MidHandleImage(image);
  return image;
}

// The shared benchmarks' sprite field: the same generator and seed, so the same scene.
struct TFieldSprite {
  float x, y, angle, spin, r, g, b, a;
};

std::vector<TFieldSprite> ReferenceField(int n) {
  uint32_t s = 12345;
  auto uniform = [&s](float lo, float hi) {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return lo + (hi - lo) * float(s >> 8) * (1.0f / 16777216.0f);
  };
  std::vector<TFieldSprite> field(size_t(std::max(n, 0)));
  for (TFieldSprite& f : field) {
    f.x = uniform(0.0f, float(kWidth));
    f.y = uniform(0.0f, float(kHeight));
    f.angle = uniform(0.0f, 6.2831853f);
    f.spin = uniform(-3.0f, 3.0f);
    f.r = uniform(0.3f, 1.0f);
    f.g = uniform(0.3f, 1.0f);
    f.b = uniform(0.3f, 1.0f);
    f.a = uniform(0.5f, 1.0f);
  }
  return field;
}

bool reference_scene = false;  // --filter given
float sprite_scale = 2.0f;
std::vector<TFieldSprite> field;

void DrawField(const TImagePtr& image, int n) {
  if (int(field.size()) != n) field = ReferenceField(n);
  SetBlend(ALPHABLEND);
  SetScale(sprite_scale, sprite_scale);
  for (TFieldSprite& f : field) {
    f.angle += f.spin / 30.0f;
    if (f.angle > 6.2831853f) f.angle -= 6.2831853f;
    if (f.angle < 0.0f) f.angle += 6.2831853f;
    SetRotation(f.angle * 57.29578f);
    SetColor(int(f.r * 255.0f + 0.5f), int(f.g * 255.0f + 0.5f), int(f.b * 255.0f + 0.5f));
    SetAlpha(f.a);
    DrawImage(image, f.x, f.y);
  }
}

void DrawSprites(const TImagePtr& image, int n, TRandom& rnd) {
  if (reference_scene) {
    DrawField(image, n);
    return;
  }
  SetBlend(ALPHABLEND);
  SetScale(2.0f, 2.0f);
  for (int i = 0; i < n; ++i) {
    SetRotation(rnd.Float(360.0f));
    SetColor(int(rnd.Next() % 256), int(rnd.Next() % 256), int(rnd.Next() % 256));
    SetAlpha(0.3f + rnd.Float(0.7f));
    DrawImage(image, rnd.Float(float(kWidth)), rnd.Float(float(kHeight)));
  }
}

double FramesPerSecond(const TImagePtr& image, int n) {  // over 2 seconds
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

double SubmitMicroseconds(const TImagePtr& reference) {
  // The shared benchmarks draw their own sprite at a quarter scale for this figure.
  TImagePtr small = reference_scene ? reference : Ball(8);
  sprite_scale = reference_scene ? 0.25f : 2.0f;
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

int main(int argc, char** argv) {
  bool filtered = false;
  int fixed_count = 0;  // --count N: only the frame rate at N sprites, for profiling
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--count") == 0 && i + 1 < argc) {
      fixed_count = std::atoi(argv[++i]);
      continue;
    }
    if (std::strcmp(argv[i], "--filter") == 0 && i + 1 < argc &&
        (std::strcmp(argv[i + 1], "linear") == 0 || std::strcmp(argv[i + 1], "nearest") == 0)) {
      reference_scene = true;
      filtered = std::strcmp(argv[++i], "linear") == 0;
    } else {
      std::fprintf(stderr, "usage: %s [--filter linear|nearest] [--count N]\n", argv[0]);
      return 2;
    }
  }
  UseOpenGLDriver();
  if (!OpenGraphics(kWidth, kHeight, 0, 60, 0)) return 1;
  SetVirtualResolution(float(kWidth), float(kHeight));
  TImagePtr sprite = reference_scene ? ReferenceDisc(filtered) : Ball(32);
  if (fixed_count > 0) {
    // CPU time of all threads (the renderer's too) per frame: on a shared machine it moves less
    // than the frame rate does.
    const double cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    const double fps = FramesPerSecond(sprite, fixed_count);
    std::printf("%d sprites: %.2f fps, %.2f ms of CPU a frame\n", fixed_count, fps,
                (Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0) * 1000.0 / (fps * 2.0));
    CloseGraphics();
    return 0;
  }
  Breakdown(sprite, 800);
  std::printf("Searching the count that holds 45 fps\n");
  const int at45 = LargestHolding(sprite, 45.0, 0);
  std::printf("Searching the count that holds 30 fps\n");
  const int at30 = LargestHolding(sprite, 30.0, at45);
  if (!reference_scene) {
    std::printf("The same count with bilinear filtering:\n");
    MedianFps(Ball(32, MASKEDIMAGE | FILTEREDIMAGE), at45);
  }
  const double submit = SubmitMicroseconds(sprite);
  CloseGraphics();
  std::printf("sprites at 45 fps: %d\n", at45);
  std::printf("sprites at 30 fps: %d\n", at30);
  std::printf("submit time per sprite: %.3f us\n", submit);
  return 0;
}
