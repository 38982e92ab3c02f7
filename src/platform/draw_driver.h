// The drawing driver interface: what every back end (OpenGL window, recording for tests) must do.
// The drawing layer (draw_state, image, font, display) keeps the state and calls these; screens
// never call a driver directly.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/pixmap.h"

class TFont;
struct TImage;

// Blend modes as the driver takes them.
enum {
  MASKBLEND = 1,   // no blending; texels with alpha below 0.5 are dropped
  SOLIDBLEND = 2,  // no blending
  ALPHABLEND = 3,  // source alpha, one minus source alpha
  LIGHTBLEND = 4,  // source alpha, one: additive glow
  SHADEBLEND = 5,  // destination colour, zero: multiply
};

struct TGraphicsMode {
  int width = 0;   // pixels
  int height = 0;  // pixels
  int depth = 0;   // bits per pixel; 0 for window sizes offered without a mode switch
  int hertz = 0;   // refresh rate; 0 when unknown
};

// A texture frame: a rectangle of a texture owned by a driver. Frames of one image (and the glyphs
// of one font) share a texture where they fit, so drawing them stays in one run.
class TImageFrame {
 public:
  virtual ~TImageFrame() = default;
  int width = 0;                  // pixels
  int height = 0;                 // pixels
  const TImage* image = nullptr;  // the image it belongs to (null for glyphs and pages)
  int index = -1;                 // frame number within that image
};
using TImageFramePtr = std::shared_ptr<TImageFrame>;

// Image texture flags as the driver takes them.
enum { FRAME_FILTERED = 2, FRAME_MIPMAPPED = 16 };

class TDrawDriver {
 public:
  virtual ~TDrawDriver() = default;
  virtual std::string Name() const = 0;

  // Textures. A frame made from a pixmap covers the whole pixmap; a sub-frame shows a rectangle
  // of another frame's texture; UpdateFrame writes pixels into a frame's texture at (x, y).
  virtual TImageFramePtr CreateFrameFromPixmap(const TPixmap& pixmap, int flags) = 0;
  virtual TImageFramePtr CreateSubFrame(const TImageFramePtr& page, int x, int y, int w, int h) = 0;
  virtual void UpdateFrame(TImageFrame& frame, int x, int y, const TPixmap& pixels) = 0;

  // State, pushed by the layer only when it changes.
  virtual void SetBlend(int mode) = 0;
  virtual void SetAlpha(float alpha) = 0;  // already clamped to 0..1
  virtual void SetColor(int r, int g, int b) = 0;
  virtual void SetClsColor(int r, int g, int b) = 0;
  virtual void SetViewport(int x, int y, int w, int h) = 0;  // virtual pixels
  virtual void SetTransform(float ix, float iy, float jx, float jy) = 0;
  virtual void SetLineWidth(float width) = 0;

  // Drawing. Shapes are given in their own space (corners x0,y0 .. x1,y1 with the handle already
  // subtracted); each point p is drawn at (p.x*ix + p.y*iy + tx, p.x*jx + p.y*jy + ty).
  virtual void Cls() = 0;
  virtual void Plot(float x, float y) = 0;
  virtual void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
  virtual void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
  virtual void DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
  virtual void DrawPoly(const std::vector<float>& xy, float tx, float ty) = 0;
  virtual void DrawPixmap(const TPixmap& pixmap, int x, int y) = 0;
  virtual void DrawFrame(const TImageFrame& frame, float x0, float y0, float x1, float y1,
                         float tx, float ty) = 0;
  // Marks the glyph draws between them as one text (the recording driver keeps it as text).
  virtual void BeginText(const std::shared_ptr<TFont>& font, const std::string& text, float x,
                         float y) = 0;
  virtual void EndText() = 0;
  virtual TPixmapPtr GrabPixmap(int x, int y, int w, int h) = 0;  // real pixels
  virtual void SetResolution(float width, float height) = 0;

  // Display.
  virtual std::vector<TGraphicsMode> GraphicsModes() = 0;
  // depth 0: a window; otherwise a full-screen mode switch. False leaves nothing open.
  virtual bool CreateGraphics(int width, int height, int depth, int hertz, int flags) = 0;
  virtual void CloseGraphics() = 0;
  virtual bool GraphicsOpen() const = 0;
  virtual void Flip(int sync) = 0;  // -1 default, 0 no wait, 1 wait for vertical blank
  virtual void MovePointer(int x, int y) = 0;  // real pixels
  virtual void ShowPointer(bool visible) = 0;
};
using TDrawDriverPtr = std::shared_ptr<TDrawDriver>;
