// Screens benchmark: the real screens drawn through the OpenGL driver in a 1280 x 720 window, with
// the program started as Main() starts it but on a manual clock, so PresentFrame's 30 fps pacing
// costs no real time and the frames run flat out. Six screens: the title (About tab), the Hiscore
// tab with a full table, the settings panel open over it, a game (a busy level of all 23 object
// kinds while the sheep stands at its start, where nothing can hit it), the pause menu and the
// level editor. Per screen it prints frames per second, CPU milliseconds a frame (every thread of
// the process, the renderer's included), how long the flip takes (the renderer finishing the
// frame's pixels and the copy to the window), what the screen asks the driver for a frame (draws,
// state changes, texture changes) and the area it covers as a multiple of the window's, by layer,
// and the resident memory with what we can tell of where it goes; at the end, the table of all.
//
//   screens_bench [--frames N] [--blocks B] [--only SCREEN] [--world W] [--size WxH] [--data GAMEDIR]
//                 [--grab DIR]
//   screens_bench --compare DIR_A DIR_B
//
// Each screen is warmed up for 40 frames, then timed in B blocks of N frames (3 of 100 unless
// given); the median block is the figure, the others are shown beside it. --size opens another
// window size (the virtual resolution follows its shape). --only times one screen (title,
// hiscores, panel, game, pause or editor; for a profiler). --world plays the busy level in
// world W (1 to 20; 1 unless given), whose borders differ every two worlds. --grab saves three
// frames of each screen as PNG into DIR, read back just before their flip (grabbing slows the
// run: take figures from a run without it). --compare reads two such folders and prints, per
// picture, the largest difference of a colour channel and how many pixels differ by more than 2;
// it exits 0 only when every picture is there in both and the largest difference is 0.
// The game data is copied to a temporary folder first; the game folder itself is never written.
#include <GL/gl.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "audio/sound_effects.h"
#include "base/debug_log.h"
#include "base/game_paths.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "framework/common_assets.h"
#include "framework/display_modes.h"
#include "framework/present_frame.h"
#include "framework/screen_size.h"
#include "framework/setup_file.h"
#include "frontend/main_program.h"
#include "frontend/title_screen.h"
#include "framework/pause_menu.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "scores/score_records.h"
#include "ui/panel_state.h"
#include "game/game_session.h"
#include "game/game_state.h"
#include "game/level_files.h"
#include "platform/app.h"
#include "platform/audio_drivers.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/draw_internal.h"
#include "platform/image.h"
#include "platform/sound.h"
#include "ui/controls.h"
#include "ui/draw_helpers.h"

namespace fs = std::filesystem;

namespace {

// The window's size: 1280 x 720 unless --size gives another.
int kWidth = 1280;
int kHeight = 720;
constexpr int kWarmUpFrames = 40;

double Seconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double MiB(double bytes) { return bytes / (1024.0 * 1024.0); }

// What a screen asks of the driver in a frame: draws, state changes, texture changes, and the area
// its draws cover (real pixels, clipped to the window) by layer.
enum TLayerIndex { L_CLEAR, L_BACKDROP, L_BORDERS, L_OBJECTS, L_TEXTS, L_PANEL, L_OTHER, kLayers };
const char* const kLayerNames[kLayers] = {"clear", "backdrop", "borders", "objects", "texts", "panel", "other"};

struct TDrawCounts {
  double draws = 0, states = 0, textures = 0;
  double area[kLayers] = {};
  void Add(const TDrawCounts& o) {
    draws += o.draws, states += o.states, textures += o.textures;
    for (int l = 0; l < kLayers; ++l) area[l] += o.area[l];
  }
};

// The area of a polygon (x, y pairs) clipped to the rectangle 0..w by 0..h.
double ClippedArea(std::vector<double> pts, double w, double h) {
  auto clip = [&pts](auto inside, auto cross) {
    std::vector<double> out;
    const size_t n = pts.size() / 2;
    for (size_t i = 0; i < n; ++i) {
      const double ax = pts[2 * i], ay = pts[2 * i + 1];
      const double bx = pts[2 * ((i + 1) % n)], by = pts[2 * ((i + 1) % n) + 1];
      const bool ain = inside(ax, ay), bin = inside(bx, by);
      if (ain) out.insert(out.end(), {ax, ay});
      if (ain != bin) {
        double cx, cy;
        cross(ax, ay, bx, by, cx, cy);
        out.insert(out.end(), {cx, cy});
      }
    }
    pts.swap(out);
  };
  auto at_x = [](double edge) {
    return [edge](double ax, double ay, double bx, double by, double& cx, double& cy) {
      cx = edge;
      cy = ay + (by - ay) * (edge - ax) / (bx - ax);
    };
  };
  auto at_y = [](double edge) {
    return [edge](double ax, double ay, double bx, double by, double& cx, double& cy) {
      cy = edge;
      cx = ax + (bx - ax) * (edge - ay) / (by - ay);
    };
  };
  clip([](double x, double) { return x >= 0; }, at_x(0));
  clip([w](double x, double) { return x <= w; }, at_x(w));
  clip([](double, double y) { return y >= 0; }, at_y(0));
  clip([h](double, double y) { return y <= h; }, at_y(h));
  double twice = 0;
  const size_t n = pts.size() / 2;
  for (size_t i = 0; i < n; ++i)
    twice += pts[2 * i] * pts[2 * ((i + 1) % n) + 1] - pts[2 * ((i + 1) % n)] * pts[2 * i + 1];
  return std::fabs(twice) / 2;
}

// The OpenGL driver with a watch on its flip (how long the flips take, and the back buffer read
// just before a flip when one is asked for) and a count of what it is asked.
class TWatchedDriver : public TDrawDriver {
 public:
  TDrawDriverPtr gl = MakeOpenGLDriver();
  double flip_seconds = 0.0;
  bool grab_next = false;
  TPixmapPtr grabbed;
  TDrawCounts counts;
  bool in_text = false;
  const void* last_texture = nullptr;

  // The corners (x0, y0) .. (x1, y1) under the state's transform at (tx, ty), in real pixels. A
  // clear counts once the next draw shows it is not hidden under an opaque quad over the whole
  // window (the driver then leaves it out).
  void Count(int kind, double x0, double y0, double x1, double y1, double tx, double ty, const void* texture) {
    const TDrawState& st = DrawState();
    const double window = double(st.g_width) * st.g_height;
    if (kind == L_CLEAR) {
      clear_pending = true;
      return;
    }
    counts.draws += 1;
    if (texture && texture != last_texture) counts.textures += 1;
    if (texture) last_texture = texture;
    const double sx = st.vres_width > 0 ? st.g_width / st.vres_width : 1.0;
    const double sy = st.vres_height > 0 ? st.g_height / st.vres_height : 1.0;
    std::vector<double> pts;
    for (auto [px, py] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
      pts.insert(pts.end(), {(px * st.tform_ix + py * st.tform_iy + tx) * sx, (px * st.tform_jx + py * st.tform_jy + ty) * sy});
    int layer = L_OTHER;
    if (st.layer == LAYER_PANEL) layer = L_PANEL;
    else if (in_text) layer = L_TEXTS;
    else if (st.layer == LAYER_BACKDROP) layer = L_BACKDROP;
    else if (st.layer == LAYER_BORDERS) layer = L_BORDERS;
    else if (st.layer == LAYER_OBJECTS) layer = L_OBJECTS;
    const double area = ClippedArea(pts, st.g_width, st.g_height);
    if (clear_pending && !(area >= window - 0.5 && st.blend_mode == SOLIDBLEND && texture)) counts.area[L_CLEAR] += window;
    clear_pending = false;
    counts.area[layer] += area;
  }
  void CountPendingClear() {
    if (clear_pending) counts.area[L_CLEAR] += double(DrawState().g_width) * DrawState().g_height;
    clear_pending = false;
  }
  bool clear_pending = false;

  std::string Name() const override { return gl->Name(); }
  TImageFramePtr CreateFrameFromPixmap(const TPixmap& p, int flags) override {
    return gl->CreateFrameFromPixmap(p, flags);
  }
  TImageFramePtr CreateSubFrame(const TImageFramePtr& page, int x, int y, int w, int h) override {
    return gl->CreateSubFrame(page, x, y, w, h);
  }
  void UpdateFrame(TImageFrame& f, int x, int y, const TPixmap& p) override { gl->UpdateFrame(f, x, y, p); }
  void SetBlend(int mode) override { counts.states += 1; gl->SetBlend(mode); }
  void SetAlpha(float alpha) override { counts.states += 1; gl->SetAlpha(alpha); }
  void SetColor(int r, int g, int b) override { counts.states += 1; gl->SetColor(r, g, b); }
  void SetClsColor(int r, int g, int b) override { counts.states += 1; gl->SetClsColor(r, g, b); }
  void SetViewport(int x, int y, int w, int h) override { counts.states += 1; gl->SetViewport(x, y, w, h); }
  void SetTransform(float ix, float iy, float jx, float jy) override {
    counts.states += 1;
    gl->SetTransform(ix, iy, jx, jy);
  }
  void SetLineWidth(float width) override { counts.states += 1; gl->SetLineWidth(width); }
  void Cls() override {
    Count(L_CLEAR, 0, 0, 0, 0, 0, 0, nullptr);
    gl->Cls();
  }
  void Plot(float x, float y) override {
    Count(L_OTHER, 0, 0, 1, 1, x, y, nullptr);
    gl->Plot(x, y);
  }
  void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) override {
    const double w = DrawState().line_width;
    const double length = std::hypot(double(x1) - x0, double(y1) - y0);
    Count(L_OTHER, 0, 0, length, w, tx + x0, ty + y0, nullptr);
    gl->DrawLine(x0, y0, x1, y1, tx, ty);
  }
  void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) override {
    Count(L_OTHER, x0, y0, x1, y1, tx, ty, nullptr);
    gl->DrawRect(x0, y0, x1, y1, tx, ty);
  }
  void DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) override {
    Count(L_OTHER, x0, y0, x1, y1, tx, ty, nullptr);
    gl->DrawOval(x0, y0, x1, y1, tx, ty);
  }
  void DrawPoly(const std::vector<float>& xy, float tx, float ty) override {
    Count(L_OTHER, 0, 0, 0, 0, tx, ty, nullptr);
    gl->DrawPoly(xy, tx, ty);
  }
  void DrawPixmap(const TPixmap& p, int x, int y) override {
    Count(L_OTHER, 0, 0, p.width, p.height, x, y, nullptr);
    gl->DrawPixmap(p, x, y);
  }
  void DrawFrame(const TImageFrame& f, float x0, float y0, float x1, float y1, float tx, float ty) override {
    Count(L_OTHER, x0, y0, x1, y1, tx, ty, f.image ? static_cast<const void*>(f.image) : text_font_);
    gl->DrawFrame(f, x0, y0, x1, y1, tx, ty);
  }
  void BeginText(const std::shared_ptr<TFont>& font, const std::string& text, float x, float y) override {
    in_text = true;
    text_font_ = font.get();
    gl->BeginText(font, text, x, y);
  }
  void EndText() override {
    in_text = false;
    gl->EndText();
  }
  TPixmapPtr GrabPixmap(int x, int y, int w, int h) override {
    CountPendingClear();
    return gl->GrabPixmap(x, y, w, h);
  }
  void SetResolution(float w, float h) override { gl->SetResolution(w, h); }
  std::vector<TGraphicsMode> GraphicsModes() override { return gl->GraphicsModes(); }
  bool CreateGraphics(int w, int h, int depth, int hertz, int flags) override {
    return gl->CreateGraphics(w, h, depth, hertz, flags);
  }
  void CloseGraphics() override { gl->CloseGraphics(); }
  bool GraphicsOpen() const override { return gl->GraphicsOpen(); }
  void Flip(int sync) override {
    CountPendingClear();
    if (on_flip_before) on_flip_before();
    if (grab_next) {
      grabbed = gl->GrabPixmap(0, 0, kWidth, kHeight);
      grab_next = false;
    }
    const double t0 = Seconds(CLOCK_MONOTONIC);
    gl->Flip(sync);
    flip_seconds += Seconds(CLOCK_MONOTONIC) - t0;
    if (on_flip_after) on_flip_after();
  }
  // Called around every flip while a screen is measured.
  std::function<void()> on_flip_before, on_flip_after;
  void MovePointer(int x, int y) override { gl->MovePointer(x, y); }
  void ShowPointer(bool visible) override { gl->ShowPointer(visible); }

 private:
  const void* text_font_ = nullptr;
};

// The audio driver the start-up would choose, counting the decoded sound it is handed.
class TCountingAudio : public TAudioDriver {
 public:
  explicit TCountingAudio(std::unique_ptr<TAudioDriver> inner) : inner_(std::move(inner)) {}
  std::string Name() override { return inner_->Name(); }
  bool Startup() override { return inner_->Startup(); }
  void Shutdown() override { inner_->Shutdown(); }
  TSoundPtr CreateSound(const TPcm& pcm, int flags) override {
    TSoundPtr sound = inner_->CreateSound(pcm, flags);
    if (sound) sounds_.push_back({sound, pcm.samples.size() * sizeof(int16_t)});
    return sound;
  }
  TChannelPtr AllocChannel() override { return inner_->AllocChannel(); }
  // Decoded bytes of the sounds still alive.
  static size_t LiveBytes() {
    size_t bytes = 0;
    for (const auto& [sound, size] : sounds_)
      if (!sound.expired()) bytes += size;
    return bytes;
  }

 private:
  std::unique_ptr<TAudioDriver> inner_;
  static std::vector<std::pair<std::weak_ptr<TSound>, size_t>> sounds_;
};
std::vector<std::pair<std::weak_ptr<TSound>, size_t>> TCountingAudio::sounds_;

// --- memory -------------------------------------------------------------------------------------

// A "Key:  123 kB" line of /proc/self/status, in bytes.
double StatusBytes(const char* key) {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0.0;
  char line[256];
  double value = 0.0;
  const size_t n = std::strlen(key);
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, key, n) == 0 && line[n] == ':') value = std::atof(line + n + 1) * 1024.0;
  std::fclose(f);
  return value;
}

// Resident bytes of the mapped files (libraries mostly), per file, largest first.
std::vector<std::pair<double, std::string>> ResidentFiles() {
  std::map<std::string, double> by_file;
  std::FILE* f = std::fopen("/proc/self/smaps", "r");
  if (!f) return {};
  char line[1024];
  std::string current;
  while (std::fgets(line, sizeof line, f)) {
    char name[768] = "";
    unsigned long lo = 0, hi = 0;
    if (std::sscanf(line, "%lx-%lx %*s %*s %*s %*s %767[^\n]", &lo, &hi, name) >= 2) {
      current = name[0] == '/' ? name : "";
    } else if (!current.empty() && std::strncmp(line, "Rss:", 4) == 0) {
      by_file[current] += std::atof(line + 4) * 1024.0;
    }
  }
  std::fclose(f);
  std::vector<std::pair<double, std::string>> out;
  for (const auto& [name, bytes] : by_file) out.push_back({bytes, fs::path(name).filename().string()});
  std::sort(out.rbegin(), out.rend());
  return out;
}

// The pixels our images keep in memory (every frame of every loaded picture).
double ImagePixmapBytes() {
  std::vector<const TImagePtr*> images = {&IconsFiltered, &IconsCrisp, &BadgeSheet, &TitleLogo,
                                          &ButtonSheet,   &SpriteSheet, &WarnImage};
  for (const TImagePtr& logo : Logos) images.push_back(&logo);
  for (const TImagePtr& border : TopBorders) images.push_back(&border);
  for (const TImagePtr& border : BottomBorders) images.push_back(&border);
  std::set<const TPixmap*> seen;
  double bytes = 0.0;
  for (const TImagePtr* image : images) {
    if (!*image) continue;
    for (const TPixmapPtr& p : (*image)->pixmaps)
      if (p && seen.insert(p.get()).second) bytes += double(p->pixels.size() * sizeof(uint32_t));
  }
  return bytes;
}

struct TTextureBytes {
  double images = 0.0;       // our pictures' textures (no mipmaps)
  double glyphs = 0.0;       // the fonts' glyph pages: only fonts ask for mipmaps
  double glyph_pages = 0.0;  // their first level
  int count = 0;
  std::string page_sides;    // the glyph pages' sizes
};

// Every texture the GL context holds, from GL's own answers; the binding is put back after.
TTextureBytes TextureBytes() {
  TTextureBytes out;
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  for (GLuint id = 1; id < 65536; ++id) {
    if (!glIsTexture(id)) continue;
    glBindTexture(GL_TEXTURE_2D, id);
    double bytes = 0.0, first = 0.0;
    for (int level = 0; level < 16; ++level) {
      GLint w = 0, h = 0;
      glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
      glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
      if (w <= 0 || h <= 0) break;
      bytes += 4.0 * w * h;
      if (level == 0) first = bytes;
    }
    GLint min_filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min_filter);
    if (min_filter == GL_LINEAR_MIPMAP_LINEAR) {
      out.glyphs += bytes;
      out.glyph_pages += first;
      GLint w = 0, h = 0;
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
      out.page_sides += (out.page_sides.empty() ? "" : " ") + std::to_string(w) + "x" + std::to_string(h);
    } else {
      out.images += bytes;
    }
    ++out.count;
  }
  glBindTexture(GL_TEXTURE_2D, GLuint(bound));
  return out;
}

void PrintMemory(const char* screen) {
  const double rss = StatusBytes("VmRSS");
  const double anon = StatusBytes("RssAnon"), file = StatusBytes("RssFile"), shmem = StatusBytes("RssShmem");
  const double pixmaps = ImagePixmapBytes();
  const TTextureBytes tex = TextureBytes();
  const double sounds = double(TCountingAudio::LiveBytes());
  const struct mallinfo2 heap = mallinfo2();
  const double malloc_used = double(heap.uordblks + heap.hblkhd);
  const double ours = pixmaps + tex.images + tex.glyphs + sounds;
  std::printf("%s memory: VmRSS %.1f MiB (peak %.1f MiB): anonymous %.1f, mapped files %.1f, shared %.1f\n",
              screen, MiB(rss), MiB(StatusBytes("VmHWM")), MiB(anon), MiB(file), MiB(shmem));
  std::printf("  our buffers %.1f MiB: image pixmaps %.1f, %d textures %.1f (images %.1f, glyph pages with "
              "mipmaps %.1f, of which the first level %.1f), decoded sounds %.1f\n",
              MiB(ours), MiB(pixmaps), tex.count, MiB(tex.images + tex.glyphs), MiB(tex.images), MiB(tex.glyphs),
              MiB(tex.glyph_pages), MiB(sounds));
  std::printf("  glyph pages %s\n", tex.page_sides.c_str());
  std::printf("  in use from malloc %.1f MiB, so %.1f MiB of it is not our buffers (fonts' files and "
              "rasteriser, the renderer's own, the window's buffers)\n",
              MiB(malloc_used), MiB(malloc_used - ours));
  std::printf("  largest mapped files:");
  const auto files = ResidentFiles();
  for (size_t i = 0; i < files.size() && i < 4; ++i)
    std::printf(" %s %.1f%s", files[i].second.c_str(), MiB(files[i].first), i + 1 < 4 ? "," : "");
  std::printf(" MiB\n");
}

// --- the screens --------------------------------------------------------------------------------

struct TBlock {
  double fps, cpu_ms, flip_ms, main_ms;
  TDrawCounts counts;  // a frame's
};

struct TScreenFigures {
  std::string screen;
  TBlock median;
};
std::vector<TScreenFigures> figures;

TWatchedDriver* watched = nullptr;
std::string grab_dir;

void SaveGrab(const std::string& name) {
  if (!watched->grabbed) return;
  const std::string path = grab_dir + "/" + name + ".png";
  if (!SavePixmapPNG(*watched->grabbed, path, 1)) std::fprintf(stderr, "can't write %s\n", path.c_str());
  watched->grabbed = nullptr;
}

// Measures one screen by its flips: run(n) shows n frames (40 of warm-up, then the blocks). The
// blocks are timed from flip to flip, so a screen with a loop of its own (the pause menu) is
// measured as one that draws a frame a call.
void Measure(const std::string& screen, int frames, int blocks, const std::function<void(int)>& run) {
  std::vector<TBlock> runs;
  int flips = 0;
  const int last = frames * blocks - 1;
  double wall0 = 0, cpu0 = 0, main0 = 0;
  TDrawCounts counts0;
  auto start = [&] {
    watched->flip_seconds = 0.0;
    wall0 = Seconds(CLOCK_MONOTONIC);
    cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    main0 = Seconds(CLOCK_THREAD_CPUTIME_ID);
    counts0 = watched->counts;
  };
  watched->on_flip_before = [&] {
    const int counted = flips - kWarmUpFrames;
    watched->grab_next = !grab_dir.empty() && (counted == 0 || counted == last / 2 || counted == last);
  };
  watched->on_flip_after = [&] {
    const int counted = flips - kWarmUpFrames;
    if (watched->grabbed) SaveGrab(screen + "-" + std::to_string(counted));
    ++flips;
    if (flips == kWarmUpFrames) start();
    if (flips > kWarmUpFrames && (flips - kWarmUpFrames) % frames == 0 && int(runs.size()) < blocks) {
      const double wall = Seconds(CLOCK_MONOTONIC) - wall0;
      TBlock b{frames / wall, 1000.0 * (Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0) / frames,
               1000.0 * watched->flip_seconds / frames, 1000.0 * (Seconds(CLOCK_THREAD_CPUTIME_ID) - main0) / frames,
               {}};
      TDrawCounts c = watched->counts;
      b.counts.draws = (c.draws - counts0.draws) / frames;
      b.counts.states = (c.states - counts0.states) / frames;
      b.counts.textures = (c.textures - counts0.textures) / frames;
      for (int l = 0; l < kLayers; ++l) b.counts.area[l] = (c.area[l] - counts0.area[l]) / frames / (double(kWidth) * kHeight);
      runs.push_back(b);
      start();
    }
  };
  run(kWarmUpFrames + frames * blocks);
  watched->on_flip_before = watched->on_flip_after = nullptr;
  if (runs.empty()) {
    std::printf("%s screen: showed only %d frames\n", screen.c_str(), flips);
    return;
  }
  std::vector<TBlock> sorted = runs;
  std::sort(sorted.begin(), sorted.end(), [](const TBlock& a, const TBlock& b) { return a.fps < b.fps; });
  const TBlock& median = sorted[sorted.size() / 2];
  std::printf("%s screen: %.1f fps, %.2f ms of CPU a frame (%.2f on the game's thread), %.2f ms a "
              "frame in the flip\n", screen.c_str(), median.fps, median.cpu_ms, median.main_ms, median.flip_ms);
  std::printf("  blocks of %d frames:", frames);
  for (const TBlock& r : runs) std::printf(" %.1f fps %.2f ms;", r.fps, r.cpu_ms);
  std::printf("\n  a frame: %.0f draws, %.0f state changes, %.0f texture changes; area drawn (windows):",
              median.counts.draws, median.counts.states, median.counts.textures);
  double total = 0;
  for (int l = 0; l < kLayers; ++l) {
    std::printf(" %s %.2f", kLayerNames[l], median.counts.area[l]);
    total += median.counts.area[l];
  }
  std::printf(", all %.2f\n", total);
  PrintMemory(screen.c_str());
  std::fflush(stdout);
  figures.push_back({screen, median});
}

// The table of every screen measured, for the README.
void PrintTable() {
  std::printf("\n| screen | CPU ms a frame | draws | state changes | texture changes |");
  for (int l = 0; l < kLayers; ++l) std::printf(" %s |", kLayerNames[l]);
  std::printf(" area in all |\n|---|---:|---:|---:|---:|");
  for (int l = 0; l <= kLayers; ++l) std::printf("---:|");
  std::printf("\n");
  for (const TScreenFigures& f : figures) {
    const TDrawCounts& c = f.median.counts;
    std::printf("| %s | %.2f | %.0f | %.0f | %.0f |", f.screen.c_str(), f.median.cpu_ms, c.draws, c.states, c.textures);
    double total = 0;
    for (int l = 0; l < kLayers; ++l) {
      std::printf(" %.2f |", c.area[l]);
      total += c.area[l];
    }
    std::printf(" %.2f |\n", total);
  }
}

// Presses a key when the display has shown a given number of frames (the pause menu's way out).
struct TKeyAtFlip : TEventSource {
  int at = -1;
  int key = 0;
  int shown = 0;
  void Pump() override {
    if (at >= 0 && FrameCount() >= at) {
      PostEvent({EVENT_KEYDOWN, key, 0, 0});
      PostEvent({EVENT_KEYUP, key, 0, 0});
      at = -1;
    }
  }
};

// A full best 25 of start world 1, so the Hiscore tab draws every row and the graph.
void FillTable() {
  for (int i = 0; i < 30; ++i) {
    auto r = std::make_shared<TScores>();
    r->Score = 1000 + 997 * i;
    r->Timestamp = 65150000000 + i;
    r->Name = "Shepherd " + std::to_string(i + 1);
    r->Level = 1;
    r->GameMode = 1;
    LocalScores.push_back(r);
  }
  SortScores(LocalScores);
}

// All 23 object kinds with the cells the editor gives them, then two more turning ones: 25 cells.
const char kBusyLevel[] =
    "1340" "2340" "3340" "4340" "5340" "6340" "7340" "8340" "9207" "A308" "B200" "C300" "D306"
    "E306" "F300" "G160" "H160" "I300" "J340" "K340" "L340" "M308" "N000" "3350" "G170";

// The start-up of Main() up to the title screen, without the loading screen's wait.
bool StartUp(const std::string& root) {
  CreateGlobalState();
  NoteGamePaths(root);
  EnterFolder(FilesFolder);
  OpenDebugLog(FilesPath("Debug.txt"));
  AudioDriverList = AudioDrivers();
  ReadSetupFile();
  // The driver start-up would take (OpenAL where it loads), counting what it is given.
  const int chosen = DefaultAudioDriver(AudioDriverList);
  const bool openal = chosen >= 0 && AudioDriverList[size_t(chosen)] == "OpenAL" && OpenALInstalled();
  if (!openal || !UseAudioDriver(std::make_unique<TCountingAudio>(NewOpenALDriver())))
    UseAudioDriver(std::make_unique<TCountingAudio>(NewNullDriver()));
  Settings[SET_FULLSCREEN] = 0;
  Settings[SET_WIDTH] = CurrentWidth = kWidth;
  Settings[SET_HEIGHT] = CurrentHeight = kHeight;
  EnterFolder(GameFolderPath);
  ApplyDisplayMode();
  if (GraphicsWidth() != kWidth || GraphicsHeight() != kHeight) return false;
  PrepareFrontEnd();
  ReadStartWorldLimit();
  StartWorld = 1;
  GameMode = 1;
  std::printf("window %dx%d, virtual %dx%d, audio driver %s, renderer %s\n", GraphicsWidth(),
              GraphicsHeight(), VirtualWidth, VirtualHeight, CurrentAudioDriver().c_str(),
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  return true;
}

// --- comparing grabbed pictures -----------------------------------------------------------------

int Compare(const std::string& a_dir, const std::string& b_dir) {
  int compared = 0, worst = 0;
  std::vector<fs::path> names;
  for (const auto& entry : fs::directory_iterator(a_dir))
    if (entry.path().extension() == ".png") names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  for (const fs::path& name : names) {
    TPixmapPtr a = LoadPixmapPNG((fs::path(a_dir) / name).string());
    TPixmapPtr b = LoadPixmapPNG((fs::path(b_dir) / name).string());
    if (!a || !b || a->width != b->width || a->height != b->height) {
      std::printf("%s: missing or of another size\n", name.c_str());
      worst = 256;
      continue;
    }
    int largest = 0;
    long differing = 0, beyond2 = 0;
    for (size_t i = 0; i < a->pixels.size(); ++i) {
      int d = 0;
      for (int shift = 0; shift < 24; shift += 8)
        d = std::max(d, std::abs(int(a->pixels[i] >> shift & 255u) - int(b->pixels[i] >> shift & 255u)));
      largest = std::max(largest, d);
      differing += d > 0;
      beyond2 += d > 2;
    }
    std::printf("%s: largest channel difference %d, %ld pixels differ, %ld by more than 2\n",
                name.c_str(), largest, differing, beyond2);
    worst = std::max(worst, largest);
    ++compared;
  }
  std::printf("compared %d pictures, largest difference %d\n", compared, worst);
  return compared > 0 && worst == 0 ? 0 : 1;
}

int Usage(const char* self) {
  std::fprintf(stderr, "usage: %s [--frames N] [--blocks B] [--only SCREEN] [--world W] [--size WxH] [--data GAMEDIR]\n"
                       "           [--grab DIR]\n"
                       "       %s --compare DIR_A DIR_B\n", self, self);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int frames = 100, blocks = 3;
  std::string only;
  int world = 1;
  std::string data = LAMBRISK_GAME_DIR;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool more = i + 1 < argc;
    if (arg == "--compare" && i + 2 < argc) return Compare(argv[i + 1], argv[i + 2]);
    if (arg == "--frames" && more) frames = std::max(1, std::atoi(argv[++i]));
    else if (arg == "--size" && more && std::sscanf(argv[i + 1], "%dx%d", &kWidth, &kHeight) == 2) ++i;
    else if (arg == "--blocks" && more) blocks = std::max(1, std::atoi(argv[++i]));
    else if (arg == "--data" && more) data = argv[++i];
    else if (arg == "--world" && more) world = std::clamp(std::atoi(argv[++i]), 1, 20);
    else if (arg == "--only" && more) only = argv[++i];
    else if (arg == "--grab" && more) grab_dir = fs::absolute(argv[++i]).string();
    else return Usage(argv[0]);
  }
  if (!grab_dir.empty()) fs::create_directories(grab_dir);

  // A copy of the game folder to play in: the game writes its log, setup and work levels there.
  std::string pattern = (fs::temp_directory_path() / "screens_bench.XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 1;
  const fs::path root = pattern;
  for (const char* folder : {"Files", "Levels"})
    if (fs::exists(fs::path(data) / folder))
      fs::copy(fs::path(data) / folder, root / folder, fs::copy_options::recursive);

  TManualClock clock;
  SetClock(&clock);
  auto driver = std::make_shared<TWatchedDriver>();
  watched = driver.get();
  SetDrawDriver(driver);

  int status = 0;
  if (!StartUp(root.string() + "/")) {
    std::fprintf(stderr, "could not open a %dx%d window (is DISPLAY set?)\n", kWidth, kHeight);
    status = 1;
  } else {
    auto each = [](void (*frame)()) { return [frame](int n) { for (int i = 0; i < n; ++i) frame(); }; };
    auto wanted = [&only](const char* screen) { return only.empty() || only == screen; };
    TitleTab = TAB_ABOUT;
    if (wanted("title")) Measure("title", frames, blocks, each([] { TitleFrame(); }));
    TitleTab = TAB_HISCORES;
    FillTable();
    if (wanted("hiscores")) Measure("hiscores", frames, blocks, each([] { TitleFrame(); }));
    PanelOpen = 1;
    if (wanted("panel")) Measure("panel", frames, blocks, each([] { TitleFrame(); }));
    PanelOpen = 0;
    for (int i = 0; i < 30; ++i) TitleFrame();  // the panel slid away
    GameState = 1;
    GameMode = 1;
    StartWorld = world;
    StartGame();
    SetupLevel(kBusyLevel);
    auto game_frame = [] {
      if (!GameFrame()) std::fprintf(stderr, "the game ended during the run\n");
    };
    if (wanted("game")) Measure("game", frames, blocks, each(game_frame));
    if (wanted("pause")) {
      TKeyAtFlip leave;
      leave.key = VK_SPACE;
      AddEventSource(&leave);
      Measure("pause", frames, blocks, [&leave](int n) {
        leave.at = FrameCount() + n - 1;
        GameState = 2;
        PauseMenu();
        GameState = 1;
      });
      RemoveEventSource(&leave);
    }
    GameMode = 0;
    StartGame();
    SetupLevel(kBusyLevel);
    if (wanted("editor")) Measure("editor", frames, blocks, each(game_frame));
    PrintTable();
  }
  CloseDebugLog();
  CloseGraphics();
  SetDrawDriver(nullptr);
  ShutdownAudio();
  SetClock(nullptr);
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return status;
}
