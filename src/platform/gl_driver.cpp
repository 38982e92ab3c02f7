// The OpenGL driver: an X11 window (or a full-screen mode) with a GLX context, a fixed-function
// orthographic pipeline, and a batcher. Draws are collected into one interleaved vertex array
// (position, texture coordinates, colour) with the corners transformed on the CPU, and each run
// that shares texture, blend mode and primitive kind goes to GL in one call; the run is flushed
// only when one of those changes, or at a grab, a texture upload and the flip.
// It also reads the window's events into the input queue and switches and restores full-screen
// modes (XFree86 video modes when the server has them, otherwise RandR).
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/xf86vmode.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/app.h"
#include "platform/draw_internal.h"
#include "platform/files.h"
#include "platform/font.h"
#include "platform/input.h"
#include "platform/x11_keys.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Desktop mode restoration. Kept at file level so the exit hook and the fatal-signal handler can
// reach it whatever state the driver is in.

struct TDesktopMode {
  Display* display = nullptr;
  int screen = 0;
  bool vidmode = false;             // switched through XFree86 video modes
  XF86VidModeModeInfo vidmode_original{};
  bool randr = false;               // switched through RandR
  SizeID randr_size = 0;
  Rotation randr_rotation = RR_Rotate_0;
};

TDesktopMode desktop;
bool handlers_installed = false;

void RestoreDesktopMode() {
  if (!desktop.display) return;
  if (desktop.vidmode) {
    XF86VidModeSwitchToMode(desktop.display, desktop.screen, &desktop.vidmode_original);
    XF86VidModeSetViewPort(desktop.display, desktop.screen, 0, 0);
    desktop.vidmode = false;
  }
  if (desktop.randr) {
    XRRScreenConfiguration* config = XRRGetScreenInfo(desktop.display, RootWindow(desktop.display, desktop.screen));
    if (config) {
      XRRSetScreenConfig(desktop.display, config, RootWindow(desktop.display, desktop.screen), desktop.randr_size,
                         desktop.randr_rotation, CurrentTime);
      XRRFreeScreenConfigInfo(config);
    }
    desktop.randr = false;
  }
  XSync(desktop.display, False);
}

void FatalSignal(int sig) {
  RestoreDesktopMode();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void InstallRestoreHandlers() {
  if (handlers_installed) return;
  handlers_installed = true;
  AddExitHook(RestoreDesktopMode);
  std::atexit(RestoreDesktopMode);
  // Interrupt, terminate and hang-up close the program in order, through the farewell.
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT}) {
    struct sigaction action {};
    action.sa_handler = FatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(sig, &action, nullptr);
  }
}

// X errors (a refused mode switch, a missing extension request) must not end the program; each
// call that can fail is checked by its own result instead.
int QuietXError(Display*, XErrorEvent*) { return 0; }

// Connects to the X server. A connection made right after another closed is now and then refused
// by the server, so a refusal is retried a few times before it counts.
Display* ConnectDisplay() {
  if (!std::getenv("DISPLAY")) return nullptr;
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (Display* dpy = XOpenDisplay(nullptr)) return dpy;
    const timespec pause{0, 20000000};
    nanosleep(&pause, nullptr);
  }
  return nullptr;
}

// A connection kept for the whole run, with GLX started on it. It lists the modes while no window
// is open, and it keeps the renderer loaded between windows: a mode change then doesn't reload it,
// and the renderer's own caches, which it frees only when unloaded, stay where they belong.
Display* ResidentConnection() {
  static Display* resident = nullptr;
  static bool tried = false;
  if (!tried) {
    tried = true;
    resident = ConnectDisplay();
    int error_base = 0;
    int event_base = 0;
    if (resident && glXQueryExtension(resident, &error_base, &event_base)) {
      int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, None};
      if (XVisualInfo* visual = glXChooseVisual(resident, DefaultScreen(resident), attributes)) XFree(visual);
    }
  }
  return resident;
}

// ---------------------------------------------------------------------------------------------
// Textures.

class TGLDriver;

// Alive while a GL context is; textures made under it delete themselves only while it lives.
struct TContextToken {
  TGLDriver* driver = nullptr;
};

struct TTexture {
  GLuint id = 0;
  int width = 0;
  int height = 0;
  std::weak_ptr<TContextToken> context;
  ~TTexture();
};

class TGLFrame : public TImageFrame {
 public:
  std::shared_ptr<TTexture> texture;
  int x = 0;  // position in the texture, pixels
  int y = 0;
  float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
};

struct TVertex {
  float x, y;      // virtual pixels
  float u, v;      // texture coordinates
  uint32_t colour; // r, g, b, a bytes in memory order
};

enum class TPrim { Empty, Triangles, LineList, PointList };

using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
using SwapIntervalMesa = int (*)(unsigned int);

// ---------------------------------------------------------------------------------------------

class TGLDriver : public TDrawDriver, public TEventSource {
 public:
  ~TGLDriver() override { CloseGraphics(); }

  std::string Name() const override { return "OpenGL"; }

  // --- textures --------------------------------------------------------------------------------

  TImageFramePtr CreateFrameFromPixmap(const TPixmap& pixmap, int flags) override {
    if (!context_ || pixmap.width < 1 || pixmap.height < 1) return nullptr;
    if (pixmap.width > max_texture_ || pixmap.height > max_texture_) return nullptr;
    Flush();
    auto tex = std::make_shared<TTexture>();
    tex->width = pixmap.width;
    tex->height = pixmap.height;
    tex->context = token_;
    glGenTextures(1, &tex->id);
    BindTexture(tex->id);
    const bool filtered = (flags & FRAME_FILTERED) != 0;
    const bool mipmapped = filtered && (flags & FRAME_MIPMAPPED) != 0;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filtered ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    mipmapped ? GL_LINEAR_MIPMAP_LINEAR : filtered ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    if (mipmapped) glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, pixmap.width, pixmap.height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 pixmap.pixels.data());
    auto frame = std::make_shared<TGLFrame>();
    frame->texture = tex;
    frame->width = pixmap.width;
    frame->height = pixmap.height;
    return frame;
  }

  TImageFramePtr CreateSubFrame(const TImageFramePtr& page, int x, int y, int w, int h) override {
    auto* source = dynamic_cast<TGLFrame*>(page.get());
    if (!source || !source->texture || w < 1 || h < 1) return nullptr;
    const TTexture& tex = *source->texture;
    if (x < 0 || y < 0 || x + w > tex.width || y + h > tex.height) return nullptr;
    auto frame = std::make_shared<TGLFrame>();
    frame->texture = source->texture;
    frame->width = w;
    frame->height = h;
    frame->x = x;
    frame->y = y;
    frame->u0 = float(x) / float(tex.width);
    frame->v0 = float(y) / float(tex.height);
    frame->u1 = float(x + w) / float(tex.width);
    frame->v1 = float(y + h) / float(tex.height);
    return frame;
  }

  void UpdateFrame(TImageFrame& frame, int x, int y, const TPixmap& pixels) override {
    auto* f = dynamic_cast<TGLFrame*>(&frame);
    if (!context_ || !f || !f->texture) return;
    const TTexture& tex = *f->texture;
    const int tx = f->x + x;
    const int ty = f->y + y;
    if (tx < 0 || ty < 0 || tx + pixels.width > tex.width || ty + pixels.height > tex.height) return;
    Flush();
    BindTexture(tex.id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, tx, ty, pixels.width, pixels.height, GL_BGRA, GL_UNSIGNED_BYTE,
                    pixels.pixels.data());
  }

  void ForgetTexture(GLuint id) {
    if (batch_texture_ == id && !vertices_.empty()) Flush();
    if (bound_texture_ == id) bound_texture_ = 0;
    if (batch_texture_ == id) batch_texture_ = 0;
    glDeleteTextures(1, &id);
  }

  // --- state -----------------------------------------------------------------------------------

  void SetBlend(int mode) override {
    blend_ = mode;
    if (!context_) return;
    Flush();
    ApplyBlend();
  }

  void SetAlpha(float alpha) override {
    alpha_byte_ = uint32_t(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255.0f));
    UpdateColour();
  }

  void SetColor(int r, int g, int b) override {
    red_ = uint32_t(std::clamp(r, 0, 255));
    green_ = uint32_t(std::clamp(g, 0, 255));
    blue_ = uint32_t(std::clamp(b, 0, 255));
    UpdateColour();
  }

  void SetClsColor(int r, int g, int b) override {
    cls_[0] = float(r) / 255.0f;
    cls_[1] = float(g) / 255.0f;
    cls_[2] = float(b) / 255.0f;
  }

  void SetViewport(int x, int y, int w, int h) override {
    viewport_[0] = x;
    viewport_[1] = y;
    viewport_[2] = w;
    viewport_[3] = h;
    if (!context_) return;
    Flush();
    ApplyViewport();
  }

  void SetTransform(float ix, float iy, float jx, float jy) override {
    ix_ = ix;
    iy_ = iy;
    jx_ = jx;
    jy_ = jy;
  }

  void SetLineWidth(float width) override {
    line_width_ = width;
    if (!context_) return;
    Flush();
    glLineWidth(std::max(width, 1.0f));
    glPointSize(std::max(width, 1.0f));
  }

  // --- drawing ---------------------------------------------------------------------------------

  void Cls() override {
    if (!context_) return;
    Flush();
    glClearColor(cls_[0], cls_[1], cls_[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }

  void Plot(float x, float y) override {
    if (!Begin(TPrim::PointList, 0)) return;
    vertices_.push_back({x + 0.5f, y + 0.5f, 0.0f, 0.0f, colour_});
  }

  void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) override {
    if (!Begin(TPrim::LineList, 0)) return;
    vertices_.push_back(Corner(x0, y0, tx + 0.5f, ty + 0.5f, 0.0f, 0.0f));
    vertices_.push_back(Corner(x1, y1, tx + 0.5f, ty + 0.5f, 0.0f, 0.0f));
  }

  void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) override {
    if (!Begin(TPrim::Triangles, 0)) return;
    Quad(x0, y0, x1, y1, tx, ty, 0.0f, 0.0f, 0.0f, 0.0f);
  }

  void DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) override {
    if (!Begin(TPrim::Triangles, 0)) return;
    const float cx = (x0 + x1) * 0.5f;
    const float cy = (y0 + y1) * 0.5f;
    const float rx = (x1 - x0) * 0.5f;
    const float ry = (y1 - y0) * 0.5f;
    const int segments = std::clamp(int(std::fabs(rx) + std::fabs(ry)), 8, 128);
    for (int i = 0; i < segments; ++i) {
      const double a0 = 2.0 * M_PI * i / segments;
      const double a1 = 2.0 * M_PI * (i + 1) / segments;
      vertices_.push_back(Corner(cx, cy, tx, ty, 0.0f, 0.0f));
      vertices_.push_back(Corner(cx + rx * float(std::cos(a0)), cy + ry * float(std::sin(a0)), tx, ty, 0.0f, 0.0f));
      vertices_.push_back(Corner(cx + rx * float(std::cos(a1)), cy + ry * float(std::sin(a1)), tx, ty, 0.0f, 0.0f));
    }
  }

  void DrawPoly(const std::vector<float>& xy, float tx, float ty) override {
    if (xy.size() < 6 || !Begin(TPrim::Triangles, 0)) return;
    for (size_t i = 2; i + 1 < xy.size() / 2; ++i) {
      vertices_.push_back(Corner(xy[0], xy[1], tx, ty, 0.0f, 0.0f));
      vertices_.push_back(Corner(xy[2 * i - 2], xy[2 * i - 1], tx, ty, 0.0f, 0.0f));
      vertices_.push_back(Corner(xy[2 * i], xy[2 * i + 1], tx, ty, 0.0f, 0.0f));
    }
  }

  void DrawPixmap(const TPixmap& pixmap, int x, int y) override {
    if (!context_ || pixmap.width < 1 || pixmap.height < 1) return;
    TImageFramePtr frame = CreateFrameFromPixmap(pixmap, 0);
    if (!frame) return;
    const float ix = ix_, iy = iy_, jx = jx_, jy = jy_;
    SetTransform(1.0f, 0.0f, 0.0f, 1.0f);
    DrawFrame(*frame, 0.0f, 0.0f, float(pixmap.width), float(pixmap.height), float(x), float(y));
    Flush();
    SetTransform(ix, iy, jx, jy);
  }

  void DrawFrame(const TImageFrame& frame, float x0, float y0, float x1, float y1, float tx,
                 float ty) override {
    const auto& f = static_cast<const TGLFrame&>(frame);
    if (!f.texture || !Begin(TPrim::Triangles, f.texture->id)) return;
    Quad(x0, y0, x1, y1, tx, ty, f.u0, f.v0, f.u1, f.v1);
  }

  void BeginText(const TFontPtr&, const std::string&, float, float) override {}
  void EndText() override {}

  TPixmapPtr GrabPixmap(int x, int y, int w, int h) override {
    if (!context_) return nullptr;
    TPixmapPtr out = CreatePixmap(w, h, 0xff000000u, false);
    if (!out) return nullptr;
    Flush();
    // Only the part inside the window is read; the rest stays black.
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = std::min(x + w, width_);
    const int y1 = std::min(y + h, height_);
    if (x1 <= x0 || y1 <= y0) return out;
    std::vector<uint32_t> rows(size_t(x1 - x0) * size_t(y1 - y0));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(x0, height_ - y1, x1 - x0, y1 - y0, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    for (int ry = y0; ry < y1; ++ry) {
      const uint32_t* src = rows.data() + size_t(y1 - 1 - ry) * size_t(x1 - x0);
      for (int rx = x0; rx < x1; ++rx) WritePixel(*out, rx - x, ry - y, src[rx - x0] | 0xff000000u);
    }
    return out;
  }

  void SetResolution(float width, float height) override {
    vres_w_ = width;
    vres_h_ = height;
    if (!context_) return;
    Flush();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, double(width), double(height), 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ApplyViewport();
  }

  // --- display ---------------------------------------------------------------------------------

  // Listed once from a short connection while no display is open (callers ask mode by mode), and
  // again from the open display.
  std::vector<TGraphicsMode> GraphicsModes() override {
    if (display_) {
      modes_ = ListModes(display_);
      modes_listed_ = true;
    } else if (!modes_listed_) {
      Display* dpy = ResidentConnection();
      if (!dpy) return {};
      modes_ = ListModes(dpy);
      modes_listed_ = true;
    }
    return modes_;
  }

  bool CreateGraphics(int width, int height, int depth, int hertz, int) override {
    CloseGraphics();
    ResidentConnection();
    display_ = ConnectDisplay();
    if (!display_) {
      const char* name = std::getenv("DISPLAY");
      std::fprintf(stderr, "Graphics: can't open the X display \"%s\"\n", name ? name : "");
      return false;
    }
    XSetErrorHandler(QuietXError);
    screen_ = DefaultScreen(display_);
    if (!OpenWindow(width, height, depth, hertz)) {
      CloseGraphics();
      return false;
    }
    return true;
  }

  void CloseGraphics() override {
    RemoveEventSource(this);
    if (display_) {
      if (context_) {
        Flush();
        glXMakeCurrent(display_, None, nullptr);
        glXDestroyContext(display_, context_);
      }
      token_.reset();
      context_ = nullptr;
      vertices_.clear();
      if (fullscreen_) {
        XUngrabPointer(display_, CurrentTime);
        XUngrabKeyboard(display_, CurrentTime);
      }
      if (window_) XDestroyWindow(display_, window_);
      if (blank_cursor_) XFreeCursor(display_, blank_cursor_);
      if (desktop.display == display_) {
        RestoreDesktopMode();
        desktop.display = nullptr;
      }
      XCloseDisplay(display_);
    }
    display_ = nullptr;
    window_ = 0;
    blank_cursor_ = 0;
    fullscreen_ = false;
    bound_texture_ = 0;
    batch_texture_ = 0;
    prim_ = TPrim::Empty;
  }

  bool GraphicsOpen() const override { return context_ != nullptr; }

  void Flip(int sync) override {
    if (!context_) return;
    Flush();
    if (sync >= 0 && sync != swap_interval_) {
      swap_interval_ = sync;
      if (swap_ext_) swap_ext_(display_, window_, sync);
      else if (swap_mesa_) swap_mesa_(unsigned(sync));
    }
    glXSwapBuffers(display_, window_);
  }

  void MovePointer(int x, int y) override {
    if (!display_ || !window_) return;
    XWarpPointer(display_, None, window_, 0, 0, 0, 0, x, y);
    XFlush(display_);
  }

  void ShowPointer(bool visible) override {
    pointer_visible_ = visible;
    if (!display_ || !window_) return;
    if (visible) XUndefineCursor(display_, window_);
    else XDefineCursor(display_, window_, BlankCursor());
    XFlush(display_);
  }

  // --- events ----------------------------------------------------------------------------------

  void Pump() override {
    if (!display_) return;
    while (XPending(display_) > 0) {
      XEvent ev;
      XNextEvent(display_, &ev);
      Translate(ev);
    }
  }

 private:
  bool Begin(TPrim prim, GLuint texture) {
    if (!context_) return false;
    if (prim != prim_ || texture != batch_texture_ || vertices_.size() >= kFlushVertices) {
      Flush();
      prim_ = prim;
      batch_texture_ = texture;
    }
    return true;
  }

  TVertex Corner(float px, float py, float tx, float ty, float u, float v) const {
    return {px * ix_ + py * iy_ + tx, px * jx_ + py * jy_ + ty, u, v, colour_};
  }

  void Quad(float x0, float y0, float x1, float y1, float tx, float ty, float u0, float v0, float u1,
            float v1) {
    const TVertex a = Corner(x0, y0, tx, ty, u0, v0);
    const TVertex b = Corner(x1, y0, tx, ty, u1, v0);
    const TVertex c = Corner(x1, y1, tx, ty, u1, v1);
    const TVertex d = Corner(x0, y1, tx, ty, u0, v1);
    const size_t n = vertices_.size();
    vertices_.resize(n + 6);
    TVertex* out = vertices_.data() + n;
    out[0] = a;
    out[1] = b;
    out[2] = c;
    out[3] = a;
    out[4] = c;
    out[5] = d;
  }

  void Flush() {
    if (vertices_.empty() || !context_) {
      vertices_.clear();
      return;
    }
    if (batch_texture_) {
      if (!texturing_) {
        glEnable(GL_TEXTURE_2D);
        texturing_ = true;
      }
      BindTexture(batch_texture_);
    } else if (texturing_) {
      glDisable(GL_TEXTURE_2D);
      texturing_ = false;
    }
    const TVertex* v = vertices_.data();
    glVertexPointer(2, GL_FLOAT, sizeof(TVertex), &v->x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(TVertex), &v->u);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(TVertex), &v->colour);
    const GLenum mode = prim_ == TPrim::LineList ? GL_LINES : prim_ == TPrim::PointList ? GL_POINTS : GL_TRIANGLES;
    glDrawArrays(mode, 0, GLsizei(vertices_.size()));
    vertices_.clear();
  }

  void BindTexture(GLuint id) {
    if (id == bound_texture_) return;
    glBindTexture(GL_TEXTURE_2D, id);
    bound_texture_ = id;
  }

  void UpdateColour() {
    colour_ = red_ | green_ << 8 | blue_ << 16 | alpha_byte_ << 24;
  }

  void ApplyBlend() {
    glDisable(GL_ALPHA_TEST);
    switch (blend_) {
      case MASKBLEND:
        glDisable(GL_BLEND);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GEQUAL, 0.5f);
        break;
      case ALPHABLEND:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
      case LIGHTBLEND:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
      case SHADEBLEND:
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        break;
      default:
        glDisable(GL_BLEND);
        break;
    }
  }

  void ApplyViewport() {
    glViewport(0, 0, width_, height_);
    const bool whole = viewport_[0] <= 0 && viewport_[1] <= 0 && float(viewport_[0] + viewport_[2]) >= vres_w_ &&
                       float(viewport_[1] + viewport_[3]) >= vres_h_;
    if (whole || vres_w_ <= 0.0f || vres_h_ <= 0.0f) {
      glDisable(GL_SCISSOR_TEST);
      return;
    }
    const float sx = float(width_) / vres_w_;
    const float sy = float(height_) / vres_h_;
    const int x0 = int(std::floor(float(viewport_[0]) * sx));
    const int x1 = int(std::ceil(float(viewport_[0] + viewport_[2]) * sx));
    const int y0 = int(std::floor(float(viewport_[1]) * sy));
    const int y1 = int(std::ceil(float(viewport_[1] + viewport_[3]) * sy));
    glEnable(GL_SCISSOR_TEST);
    glScissor(x0, height_ - y1, std::max(0, x1 - x0), std::max(0, y1 - y0));
  }

  Cursor BlankCursor() {
    if (blank_cursor_) return blank_cursor_;
    static const char bits[1] = {0};
    Pixmap blank = XCreateBitmapFromData(display_, window_, bits, 1, 1);
    XColor black{};
    blank_cursor_ = XCreatePixmapCursor(display_, blank, blank, &black, &black, 0, 0);
    XFreePixmap(display_, blank);
    return blank_cursor_;
  }

  static std::vector<TGraphicsMode> ListModes(Display* dpy) {
    std::vector<TGraphicsMode> modes;
    const int screen = DefaultScreen(dpy);
    const int depth = DefaultDepth(dpy, screen) >= 24 ? 32 : DefaultDepth(dpy, screen);
    int event_base = 0;
    int error_base = 0;
    int count = 0;
    XF86VidModeModeInfo** lines = nullptr;
    if (XF86VidModeQueryExtension(dpy, &event_base, &error_base) &&
        XF86VidModeGetAllModeLines(dpy, screen, &count, &lines) && lines) {
      for (int i = 0; i < count; ++i) {
        const XF86VidModeModeInfo& m = *lines[i];
        const int hz = (m.htotal && m.vtotal) ? int(std::lround(m.dotclock * 1000.0 / (m.htotal * double(m.vtotal)))) : 0;
        modes.push_back({m.hdisplay, m.vdisplay, depth, hz});
      }
      XFree(lines);
    }
    if (modes.empty() && XRRQueryExtension(dpy, &event_base, &error_base)) {
      int sizes = 0;
      XRRScreenSize* list = XRRSizes(dpy, screen, &sizes);
      for (int i = 0; list && i < sizes; ++i) {
        int rates = 0;
        short* rate = XRRRates(dpy, screen, i, &rates);
        modes.push_back({list[i].width, list[i].height, depth, rates > 0 && rate ? rate[0] : 0});
      }
    }
    if (modes.empty()) modes.push_back({DisplayWidth(dpy, screen), DisplayHeight(dpy, screen), depth, 0});
    // Window sizes that fit on the desktop, so a window can be chosen even where the server
    // offers a single mode (virtual servers, many single-monitor desktops).
    const int dw = DisplayWidth(dpy, screen);
    const int dh = DisplayHeight(dpy, screen);
    const int sizes[][2] = {{640, 480},  {800, 600},  {1024, 768}, {1280, 960},  {1280, 800},
                            {1440, 900}, {1680, 1050}, {1280, 720}, {1366, 768}, {1600, 900},
                            {1920, 1080}};
    for (const auto& s : sizes) {
      bool listed = false;
      for (const TGraphicsMode& m : modes) listed = listed || (m.width == s[0] && m.height == s[1]);
      if (!listed && s[0] <= dw && s[1] <= dh) modes.push_back({s[0], s[1], 0, 0});
    }
    return modes;
  }

  // Switches the screen to width x height; true when the screen now has that size.
  bool SwitchMode(int width, int height) {
    Window root = RootWindow(display_, screen_);
    if (DisplayWidth(display_, screen_) == width && DisplayHeight(display_, screen_) == height) return true;
    int event_base = 0;
    int error_base = 0;
    int count = 0;
    XF86VidModeModeInfo** lines = nullptr;
    if (XF86VidModeQueryExtension(display_, &event_base, &error_base) &&
        XF86VidModeGetAllModeLines(display_, screen_, &count, &lines) && lines) {
      bool switched = false;
      for (int i = 0; i < count && !switched; ++i) {
        if (lines[i]->hdisplay != width || lines[i]->vdisplay != height) continue;
        desktop.display = display_;
        desktop.screen = screen_;
        desktop.vidmode_original = *lines[0];  // the first line is the mode in force
        desktop.vidmode = true;
        InstallRestoreHandlers();
        switched = XF86VidModeSwitchToMode(display_, screen_, lines[i]);
        XF86VidModeSetViewPort(display_, screen_, 0, 0);
      }
      XFree(lines);
      XSync(display_, False);
      if (switched) return true;
    }
    if (XRRQueryExtension(display_, &event_base, &error_base)) {
      XRRScreenConfiguration* config = XRRGetScreenInfo(display_, root);
      if (!config) return false;
      int sizes = 0;
      XRRScreenSize* list = XRRConfigSizes(config, &sizes);
      bool switched = false;
      for (int i = 0; list && i < sizes && !switched; ++i) {
        if (list[i].width != width || list[i].height != height) continue;
        Rotation rotation = RR_Rotate_0;
        desktop.display = display_;
        desktop.screen = screen_;
        desktop.randr_size = XRRConfigCurrentConfiguration(config, &rotation);
        desktop.randr_rotation = rotation;
        desktop.randr = true;
        InstallRestoreHandlers();
        switched = XRRSetScreenConfig(display_, config, root, SizeID(i), rotation, CurrentTime) == Success;
      }
      XRRFreeScreenConfigInfo(config);
      XSync(display_, False);
      return switched;
    }
    return false;
  }

  bool OpenWindow(int width, int height, int depth, int) {
    int glx_error = 0;
    int glx_event = 0;
    if (!glXQueryExtension(display_, &glx_error, &glx_event)) {
      std::fprintf(stderr, "Graphics: the X server has no GLX\n");
      return false;
    }
    fullscreen_ = depth != 0;
    if (fullscreen_) {
      bool listed = false;
      for (const TGraphicsMode& m : ListModes(display_))
        listed = listed || (m.width == width && m.height == height && m.depth == depth);
      if (!listed || !SwitchMode(width, height)) {
        std::fprintf(stderr, "Graphics: no full-screen mode %dx%dx%d\n", width, height, depth);
        return false;
      }
    }
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
    XVisualInfo* visual = glXChooseVisual(display_, screen_, attributes);
    if (!visual) {
      std::fprintf(stderr, "Graphics: no double-buffered RGB visual\n");
      return false;
    }
    Window root = RootWindow(display_, screen_);
    XSetWindowAttributes wa{};
    wa.colormap = XCreateColormap(display_, root, visual->visual, AllocNone);
    wa.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                    FocusChangeMask | StructureNotifyMask | ExposureMask;
    wa.override_redirect = fullscreen_ ? True : False;
    wa.background_pixel = BlackPixel(display_, screen_);
    window_ = XCreateWindow(display_, root, 0, 0, unsigned(width), unsigned(height), 0, visual->depth, InputOutput,
                            visual->visual, CWColormap | CWEventMask | CWOverrideRedirect | CWBackPixel, &wa);
    context_ = window_ ? glXCreateContext(display_, visual, nullptr, True) : nullptr;
    XFree(visual);
    if (!window_ || !context_) {
      std::fprintf(stderr, "Graphics: can't create the window or its GL context\n");
      return false;
    }

    XStoreName(display_, window_, AppTitle().c_str());
    XSizeHints* hints = XAllocSizeHints();
    if (hints) {
      hints->flags = PMinSize | PMaxSize;
      hints->min_width = hints->max_width = width;
      hints->min_height = hints->max_height = height;
      XSetWMNormalHints(display_, window_, hints);
      XFree(hints);
    }
    wm_delete_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &wm_delete_, 1);
    Bool detectable = False;
    detectable_repeat_ = XkbSetDetectableAutoRepeat(display_, True, &detectable) && detectable;

    XMapRaised(display_, window_);
    WaitForMap();
    if (fullscreen_) {
      XGrabKeyboard(display_, window_, True, GrabModeAsync, GrabModeAsync, CurrentTime);
      XGrabPointer(display_, window_, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                   GrabModeAsync, window_, None, CurrentTime);
      XWarpPointer(display_, None, window_, 0, 0, 0, 0, width / 2, height / 2);
    }
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);

    if (!glXMakeCurrent(display_, window_, context_)) {
      std::fprintf(stderr, "Graphics: can't make the GL context current\n");
      return false;
    }
    token_ = std::make_shared<TContextToken>();
    token_->driver = this;
    width_ = width;
    height_ = height;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture_);
    swap_ext_ = reinterpret_cast<SwapIntervalExt>(glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
    swap_mesa_ = reinterpret_cast<SwapIntervalMesa>(glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
    swap_interval_ = -1;

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_DITHER);
    // Every primitive has one colour; flat shading spares the software rasteriser a varying.
    glShadeModel(GL_FLAT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    texturing_ = false;
    bound_texture_ = 0;
    ApplyBlend();
    glLineWidth(std::max(line_width_, 1.0f));
    glPointSize(std::max(line_width_, 1.0f));
    SetResolution(float(width), float(height));
    ShowPointer(pointer_visible_);
    AddEventSource(this);
    return true;
  }

  void WaitForMap() {
    XSync(display_, False);
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
      XEvent ev;
      if (XCheckTypedWindowEvent(display_, window_, MapNotify, &ev)) return;
      timespec now{};
      clock_gettime(CLOCK_MONOTONIC, &now);
      if ((now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000 > 3000) return;
      const timespec pause{0, 2000000};
      nanosleep(&pause, nullptr);
    }
  }

  void PostKey(XEvent& ev) {
    const bool numlock = (ev.xkey.state & Mod2Mask) != 0;
    KeySym sym = XLookupKeysym(&ev.xkey, 0);
    if (numlock) {
      // With Num Lock the keypad's second symbol is its digit.
      const KeySym shifted = XLookupKeysym(&ev.xkey, 1);
      if ((shifted >= XK_KP_0 && shifted <= XK_KP_9) || shifted == XK_KP_Decimal) sym = shifted;
    }
    const int code = KeyCodeFromKeysym(sym, numlock);
    if (code) PostEvent({ev.type == KeyPress ? EVENT_KEYDOWN : EVENT_KEYUP, code, 0, 0});
  }

  // Typed characters as Latin-1 bytes (X's own string lookup yields Latin-1).
  static void PostCharacters(XEvent& ev) {
    char text[16];
    KeySym ignored = 0;
    const int n = XLookupString(&ev.xkey, text, sizeof text, &ignored, nullptr);
    for (int i = 0; i < n && i < int(sizeof text); ++i)
      if (text[i]) PostEvent({EVENT_KEYCHAR, static_cast<unsigned char>(text[i]), 0, 0});
  }

  void Translate(XEvent& ev) {
    switch (ev.type) {
      case KeyRelease:
        // Without detectable auto-repeat a held key sends release and press pairs with one time
        // stamp; the pair is not a new press.
        if (!detectable_repeat_ && XEventsQueued(display_, QueuedAfterReading) > 0) {
          XEvent next;
          XPeekEvent(display_, &next);
          if (next.type == KeyPress && next.xkey.time == ev.xkey.time && next.xkey.keycode == ev.xkey.keycode) {
            XNextEvent(display_, &next);
            PostCharacters(next);
            break;
          }
        }
        PostKey(ev);
        break;
      case KeyPress:
        PostKey(ev);
        PostCharacters(ev);
        break;
      case ButtonPress:
      case ButtonRelease: {
        PostEvent({EVENT_MOUSEMOVE, 0, ev.xbutton.x, ev.xbutton.y});
        const unsigned b = ev.xbutton.button;
        if (b == Button4 || b == Button5) {
          if (ev.type == ButtonPress) PostEvent({EVENT_MOUSEWHEEL, b == Button4 ? 1 : -1, 0, 0});
          break;
        }
        const int button = b == Button1 ? 1 : b == Button3 ? 2 : b == Button2 ? 3 : 0;
        if (button) PostEvent({ev.type == ButtonPress ? EVENT_MOUSEDOWN : EVENT_MOUSEUP, button, 0, 0});
        break;
      }
      case MotionNotify:
        PostEvent({EVENT_MOUSEMOVE, 0, ev.xmotion.x, ev.xmotion.y});
        break;
      case ClientMessage:
        if (Atom(ev.xclient.data.l[0]) == wm_delete_) PostEvent({EVENT_APPTERMINATE, 0, 0, 0});
        break;
      case FocusIn:
        if (ev.xfocus.mode == NotifyNormal) PostEvent({EVENT_APPRESUME, 0, 0, 0});
        break;
      case FocusOut:
        if (ev.xfocus.mode == NotifyNormal) PostEvent({EVENT_APPSUSPEND, 0, 0, 0});
        break;
      default:
        break;
    }
  }

  static constexpr size_t kFlushVertices = 6 * 16384;

  Display* display_ = nullptr;
  int screen_ = 0;
  Window window_ = 0;
  GLXContext context_ = nullptr;
  std::shared_ptr<TContextToken> token_;
  Atom wm_delete_ = 0;
  bool detectable_repeat_ = false;  // the server reports held keys without release/press pairs
  Cursor blank_cursor_ = 0;
  bool fullscreen_ = false;
  bool pointer_visible_ = true;
  int width_ = 0;
  int height_ = 0;
  float vres_w_ = 0.0f;
  float vres_h_ = 0.0f;
  GLint max_texture_ = 2048;
  SwapIntervalExt swap_ext_ = nullptr;
  SwapIntervalMesa swap_mesa_ = nullptr;
  int swap_interval_ = -1;
  std::vector<TGraphicsMode> modes_;
  bool modes_listed_ = false;

  std::vector<TVertex> vertices_;
  TPrim prim_ = TPrim::Empty;
  GLuint batch_texture_ = 0;
  GLuint bound_texture_ = 0;
  bool texturing_ = false;

  int blend_ = SOLIDBLEND;
  uint32_t red_ = 255, green_ = 255, blue_ = 255, alpha_byte_ = 255;
  uint32_t colour_ = 0xffffffffu;
  float cls_[3] = {0.0f, 0.0f, 0.0f};
  int viewport_[4] = {0, 0, 0, 0};
  float ix_ = 1.0f, iy_ = 0.0f, jx_ = 0.0f, jy_ = 1.0f;
  float line_width_ = 1.0f;
};

TTexture::~TTexture() {
  std::shared_ptr<TContextToken> token = context.lock();
  if (token && token->driver && id) token->driver->ForgetTexture(id);
}

}  // namespace

TDrawDriverPtr MakeOpenGLDriver() { return std::make_shared<TGLDriver>(); }
