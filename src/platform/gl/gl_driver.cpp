// The OpenGL driver: a fixed-function orthographic pipeline with a batcher, over the window of
// gl_window. Draws are collected into one interleaved vertex array (position, texture
// coordinates, colour) with the corners transformed on the CPU, and each run that shares texture,
// blend mode and primitive kind goes to GL in one call; the run is flushed only when one of those
// changes, or at a grab, a texture upload and the flip. It also owns the textures of its frames.
// Alpha blending of a fully opaque draw (alpha 1, and no texture or one without a see-through
// texel) gives the source colour exactly, so such runs go with blending off: the software
// renderer then skips reading the screen back, and the picture is the same. A clear waits for the
// frame's first draw, and is never done when that draw is an opaque quad over the whole window,
// which hides it.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/draw_internal.h"
#include "platform/font.h"
#include "platform/gl/gl_window.h"
#include "platform/x11/video_modes.h"
#include "platform/x11/x11_connection.h"

namespace {

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
  bool opaque = false;  // every texel has alpha 255
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

// Rectangles and frames go as quads: four vertices each instead of six halves the renderer's
// vertex work per sprite by a third, and the pixels are the same (a quad is two triangles).
enum class TPrim { Empty, Quads, Triangles, LineList, PointList };

bool AllOpaque(const TPixmap& pixmap) {
  for (uint32_t argb : pixmap.pixels)
    if (argb < 0xff000000u) return false;
  return true;
}

// ---------------------------------------------------------------------------------------------

class TGLDriver : public TDrawDriver {
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
    tex->opaque = AllOpaque(pixmap);
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
    TTexture& tex = *f->texture;
    const int tx = f->x + x;
    const int ty = f->y + y;
    if (tx < 0 || ty < 0 || tx + pixels.width > tex.width || ty + pixels.height > tex.height) return;
    Flush();
    tex.opaque = tex.opaque && AllOpaque(pixels);
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
    clear_pending_ = true;
    glClearColor(cls_[0], cls_[1], cls_[2], 1.0f);
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
    if (!Begin(TPrim::Quads, 0)) return;
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
    if (clear_pending_ && f.texture && HidesTheWindow(x0, y0, x1, y1, tx, ty, f.texture->opaque)) clear_pending_ = false;
    if (!f.texture || !Begin(TPrim::Quads, f.texture->id, f.texture->opaque)) return;
    Quad(x0, y0, x1, y1, tx, ty, f.u0, f.v0, f.u1, f.v1);
  }

  void BeginText(const TFontPtr&, const std::string&, float, float) override {}
  void EndText() override {}

  TPixmapPtr GrabPixmap(int x, int y, int w, int h) override {
    if (!context_) return nullptr;
    TPixmapPtr out = CreatePixmap(w, h, 0xff000000u, false);
    if (!out) return nullptr;
    Flush();
    ClearIfPending();
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

  // Listed once from the resident connection while no display is open (callers ask mode by
  // mode), and again from the open display.
  std::vector<TGraphicsMode> GraphicsModes() override {
    if (window_.display()) {
      modes_ = ListX11Modes(window_.display());
      modes_listed_ = true;
    } else if (!modes_listed_) {
      Display* dpy = ResidentX11Connection();
      if (!dpy) return {};
      modes_ = ListX11Modes(dpy);
      modes_listed_ = true;
    }
    return modes_;
  }

  bool CreateGraphics(int width, int height, int depth, int, int) override {
    CloseGraphics();
    if (!window_.Open(width, height, depth)) return false;
    token_ = std::make_shared<TContextToken>();
    token_->driver = this;
    context_ = true;
    width_ = width;
    height_ = height;
    SetUpContext();
    return true;
  }

  void CloseGraphics() override {
    if (context_) Flush();
    token_.reset();
    context_ = false;
    vertices_.clear();
    window_.Close();
    bound_texture_ = 0;
    batch_texture_ = 0;
    prim_ = TPrim::Empty;
  }

  bool GraphicsOpen() const override { return context_; }

  void Flip(int sync) override {
    if (!context_) return;
    Flush();
    ClearIfPending();
    window_.Swap(sync);
  }

  void MovePointer(int x, int y) override { window_.MovePointer(x, y); }
  void ShowPointer(bool visible) override { window_.ShowPointer(visible); }

 private:
  // texels_opaque: the texture (if any) has no see-through texel.
  bool Begin(TPrim prim, GLuint texture, bool texels_opaque = true) {
    if (!context_) return false;
    ClearIfPending();
    const bool unblended = blend_ == ALPHABLEND && alpha_byte_ == 255 && texels_opaque;
    if (prim != prim_ || texture != batch_texture_ || unblended != batch_unblended_ ||
        vertices_.size() >= kFlushVertices) {
      Flush();
      prim_ = prim;
      batch_texture_ = texture;
      batch_unblended_ = unblended;
    }
    return true;
  }

  TVertex Corner(float px, float py, float tx, float ty, float u, float v) const {
    return {px * ix_ + py * iy_ + tx, px * jx_ + py * jy_ + ty, u, v, colour_};
  }

  void Quad(float x0, float y0, float x1, float y1, float tx, float ty, float u0, float v0, float u1,
            float v1) {
    const TVertex corners[4] = {Corner(x0, y0, tx, ty, u0, v0), Corner(x1, y0, tx, ty, u1, v0),
                                Corner(x1, y1, tx, ty, u1, v1), Corner(x0, y1, tx, ty, u0, v1)};
    // Wholly off the screen, it would change no pixel: it goes no further.
    const auto beyond = [&corners](auto side) {
      for (const TVertex& c : corners)
        if (!side(c)) return false;
      return true;
    };
    if (beyond([](const TVertex& c) { return c.x < 0.0f; }) || beyond([](const TVertex& c) { return c.y < 0.0f; }) ||
        beyond([this](const TVertex& c) { return c.x > vres_w_; }) || beyond([this](const TVertex& c) { return c.y > vres_h_; }))
      return;
    // Appended without resize(), which would first zero the new vertices.
    vertices_.insert(vertices_.end(), corners, corners + 4);
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
    const GLenum mode = prim_ == TPrim::Quads       ? GL_QUADS
                        : prim_ == TPrim::LineList  ? GL_LINES
                        : prim_ == TPrim::PointList ? GL_POINTS
                                                    : GL_TRIANGLES;
    if (batch_unblended_) glDisable(GL_BLEND);
    glDrawArrays(mode, 0, GLsizei(vertices_.size()));
    if (batch_unblended_) glEnable(GL_BLEND);
    vertices_.clear();
  }

  void ClearIfPending() {
    if (!clear_pending_) return;
    clear_pending_ = false;
    glClear(GL_COLOR_BUFFER_BIT);
  }

  // Whether a quad drawn now covers every pixel of the window and shows none of what is under it:
  // unturned, over the whole virtual screen, no scissor, every fragment written unblended.
  bool HidesTheWindow(float x0, float y0, float x1, float y1, float tx, float ty, bool texels_opaque) const {
    const bool opaque = texels_opaque && (blend_ == SOLIDBLEND || (blend_ == ALPHABLEND && alpha_byte_ == 255));
    const bool whole = viewport_[0] <= 0 && viewport_[1] <= 0 && float(viewport_[0] + viewport_[2]) >= vres_w_ &&
                       float(viewport_[1] + viewport_[3]) >= vres_h_;
    if (!opaque || !whole || iy_ != 0.0f || jx_ != 0.0f || ix_ <= 0.0f || jy_ <= 0.0f) return false;
    return x0 * ix_ + tx <= 0.0f && y0 * jy_ + ty <= 0.0f && x1 * ix_ + tx >= vres_w_ && y1 * jy_ + ty >= vres_h_;
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

  // The fixed-function state every frame relies on, set once per context.
  void SetUpContext() {
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture_);
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
    SetResolution(float(width_), float(height_));
  }

  static constexpr size_t kFlushVertices = 6 * 16384;

  TGLWindow window_;
  bool context_ = false;  // the window's GL context is current
  std::shared_ptr<TContextToken> token_;
  int width_ = 0;
  int height_ = 0;
  float vres_w_ = 0.0f;
  float vres_h_ = 0.0f;
  GLint max_texture_ = 2048;
  std::vector<TGraphicsMode> modes_;
  bool modes_listed_ = false;

  std::vector<TVertex> vertices_;
  TPrim prim_ = TPrim::Empty;
  GLuint batch_texture_ = 0;
  bool batch_unblended_ = false;  // an alpha-blended run whose every fragment has alpha 1
  GLuint bound_texture_ = 0;
  bool texturing_ = false;

  int blend_ = SOLIDBLEND;
  uint32_t red_ = 255, green_ = 255, blue_ = 255, alpha_byte_ = 255;
  uint32_t colour_ = 0xffffffffu;
  float cls_[3] = {0.0f, 0.0f, 0.0f};
  bool clear_pending_ = false;  // a clear asked for and not yet done
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
