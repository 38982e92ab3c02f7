// A layer that looks the same from frame to frame and is drawn first, right after the frame's
// clear (the striped backdrop, the game's border strips): once it has come out the same two
// frames running, the window is grabbed after it, and later frames copy that picture, one opaque
// quad pixel for pixel, instead of drawing the layer (and the clear under it) again. A software
// renderer spends most of a frame on such layers; the copy costs a fraction and shows the same.
#pragma once
#include <functional>
#include <string>

#include "platform/image.h"

class TLayerCache {
 public:
  // key: everything the layer's look depends on besides the display, the clear colour and the
  // virtual resolution, which count by themselves. draw: draws the layer. True when the copy was
  // drawn instead.
  bool Draw(const std::string& key, const std::function<void()>& draw);
  void Forget();

 private:
  std::string last_key_;  // the key of the last frame drawn
  std::string copy_key_;  // the key the copy shows
  TImagePtr copy_;
};
