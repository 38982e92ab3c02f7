#include "ui/layer_cache.h"

#include <cstring>

#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/pixmap.h"
#include "ui/draw_helpers.h"

namespace {

template <typename T>
void Append(std::string& key, const T& value) {
  key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

bool TLayerCache::Draw(const std::string& layer_key, const std::function<void()>& draw) {
  const TDrawState& s = DrawState();
  std::string key = layer_key;
  for (int v : {DrawDriverGeneration(), s.g_width, s.g_height, s.clscolor_red, s.clscolor_green, s.clscolor_blue})
    Append(key, v);
  Append(key, s.vres_width);
  Append(key, s.vres_height);
  if (copy_ && key == copy_key_) {
    // Pixel for pixel over the whole window: nothing under it shows, the clear included.
    ResetDrawing();
    SetBlendKind(0);
    Scale(s.vres_width / float(s.g_width), s.vres_height / float(s.g_height));
    DrawImage(copy_, 0.0f, 0.0f, 0);
    // Its texture is made now: the picture is not needed again, since another display changes
    // the key.
    copy_->pixmaps[0].reset();
    ResetDrawing();
    last_key_ = key;
    return true;
  }
  draw();
  if (key == last_key_) {
    TPixmapPtr picture = GrabPixmap(0, 0, s.g_width, s.g_height);
    if (picture) {
      picture->has_alpha = false;
      copy_ = CreateImageFromPixmaps({picture}, 0);
      // Its corner at the window's, whatever handle images get by default.
      SetImageHandle(copy_, 0.0f, 0.0f);
      copy_key_ = key;
    }
  }
  last_key_ = key;
  return false;
}

void TLayerCache::Forget() {
  last_key_.clear();
  copy_key_.clear();
  copy_.reset();
}
