#include "platform/null/null_driver.h"

#include "platform/draw_state.h"

namespace {

TImageFramePtr SizedFrame(int w, int h) {
  auto f = std::make_shared<TImageFrame>();
  f->width = w;
  f->height = h;
  return f;
}

}  // namespace

TNullDriver::TNullDriver() {
  modes = {{640, 480, 32, 60},   {800, 600, 32, 60},   {1024, 768, 32, 60},
           {1280, 800, 32, 60},  {1280, 1024, 32, 60}, {1366, 768, 32, 60},
           {1440, 900, 32, 60},  {1600, 900, 32, 60},  {1920, 1080, 32, 60}};
}

TImageFramePtr TNullDriver::CreateFrameFromPixmap(const TPixmap& pixmap, int) {
  return SizedFrame(pixmap.width, pixmap.height);
}

TImageFramePtr TNullDriver::CreateSubFrame(const TImageFramePtr& page, int, int, int w, int h) {
  return page ? SizedFrame(w, h) : nullptr;
}

TPixmapPtr TNullDriver::GrabPixmap(int, int, int w, int h) {
  const TDrawState& s = DrawState();
  const uint32_t cls = 0xff000000u | uint32_t(s.clscolor_red) << 16 | uint32_t(s.clscolor_green) << 8 |
                       uint32_t(s.clscolor_blue);
  return CreatePixmap(w, h, cls, false);
}

bool TNullDriver::CreateGraphics(int width, int height, int depth, int, int) {
  if (depth != 0) {
    bool found = false;
    for (const TGraphicsMode& m : modes)
      found = found || (m.width == width && m.height == height && m.depth == depth);
    if (!found) return false;
  }
  open_ = true;
  return true;
}
