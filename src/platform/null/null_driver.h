// The quiet drawing back end: it takes every call and draws nothing. Texture frames hold only
// their size, so images and fonts load, measure and draw without a window. Programs that run
// frames with no screen use it as it is; the recording driver is built on it.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/draw_driver.h"

class TNullDriver : public TDrawDriver {
 public:
  // What GraphicsModes reports: a 4:3, 16:10 and 16:9 set at 32 bits.
  std::vector<TGraphicsMode> modes;

  TNullDriver();

  std::string Name() const override { return "Null"; }
  TImageFramePtr CreateFrameFromPixmap(const TPixmap& pixmap, int flags) override;
  TImageFramePtr CreateSubFrame(const TImageFramePtr& page, int x, int y, int w, int h) override;
  void UpdateFrame(TImageFrame&, int, int, const TPixmap&) override {}
  void SetBlend(int) override {}
  void SetAlpha(float) override {}
  void SetColor(int, int, int) override {}
  void SetClsColor(int, int, int) override {}
  void SetViewport(int, int, int, int) override {}
  void SetTransform(float, float, float, float) override {}
  void SetLineWidth(float) override {}
  void Cls() override {}
  void Plot(float, float) override {}
  void DrawLine(float, float, float, float, float, float) override {}
  void DrawRect(float, float, float, float, float, float) override {}
  void DrawOval(float, float, float, float, float, float) override {}
  void DrawPoly(const std::vector<float>&, float, float) override {}
  void DrawPixmap(const TPixmap&, int, int) override {}
  void DrawFrame(const TImageFrame&, float, float, float, float, float, float) override {}
  void BeginText(const std::shared_ptr<TFont>&, const std::string&, float, float) override {}
  void EndText() override {}
  // A picture of the clear colour: nothing was drawn over it.
  TPixmapPtr GrabPixmap(int x, int y, int w, int h) override;
  void SetResolution(float, float) override {}
  std::vector<TGraphicsMode> GraphicsModes() override { return modes; }
  // A window of any size opens; a full-screen depth must be one of the modes offered.
  bool CreateGraphics(int width, int height, int depth, int hertz, int flags) override;
  void CloseGraphics() override { open_ = false; }
  bool GraphicsOpen() const override { return open_; }
  void Flip(int) override {}
  void MovePointer(int, int) override {}
  void ShowPointer(bool) override {}

 private:
  bool open_ = false;
};
