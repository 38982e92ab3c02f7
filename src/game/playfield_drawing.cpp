#include "game/playfield_drawing.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "framework/common_assets.h"
#include "framework/screen_size.h"
#include "platform/display.h"
#include "platform/draw_state.h"
#include "rules/object_sprites.h"
#include "ui/layer_cache.h"
#include "ui/draw_helpers.h"

namespace {

// The border strips of the level being played, as they last came out.
TLayerCache borders_copy;

}  // namespace

void DrawBorders(const TRulesState& state) {
  ResetDrawing();
  SetDrawLayer(LAYER_BORDERS);
  const size_t pair = size_t((state.LevelNumber + 9) / 10);
  // The strips stay put for a whole level: a copy of them from its second frame on. The images
  // count by themselves: another display loads them again.
  std::string key;
  for (const void* part : {static_cast<const void*>(pair < TopBorders.size() ? TopBorders[pair].get() : nullptr),
                           static_cast<const void*>(pair < TopBorders.size() ? BottomBorders[pair].get() : nullptr)})
    key.append(reinterpret_cast<const char*>(&part), sizeof part);
  key.append(reinterpret_cast<const char*>(state.BorderOffsets.data()), sizeof(int) * state.BorderOffsets.size());
  const auto strips = [pair, &state] {
    Scale(2);
    if (pair < TopBorders.size()) {
      for (int k = -2; k <= 2; ++k) {
        DrawSprite(TopBorders[pair], float(1024 * k + state.BorderOffsets[0]), 0, 0);
        DrawSprite(BottomBorders[pair], float(1024 * k + state.BorderOffsets[1]), 512, 0);
      }
    }
  };
  // The copy stands for all ten sprites; when the frame draws fewer, they are drawn themselves.
  constexpr int kStrips = 10;
  if (pair < TopBorders.size() && SpriteRoom(1) >= kStrips) {
    if (borders_copy.Draw(key, strips)) CountSprites(kStrips, 1);
  } else {
    strips();
  }
  Scale(1);
  Colour(255, 255, 255, 1.0f);
  SetDrawLayer(LAYER_OTHER);
}

void ForgetBorders() { borders_copy.Forget(); }

void DrawObjectsAndSheep(const TFramePicture& picture) {
  // Kept from frame to frame: the list is rebuilt every frame at the same size.
  static std::vector<TObjectSprite> sprites;
  ObjectSprites(picture, sprites);
  SetDrawLayer(LAYER_OBJECTS);
  int column = -1;
  for (const TObjectSprite& s : sprites) {
    if (s.column != column) ResetDrawing();
    column = s.column;
    Rotate(s.angle);
    Scale(s.scaleX, s.scaleY);
    DrawFieldSprite(s.warning ? WarnImage : SpriteSheet, s.x, s.y, s.frame);
  }
  ResetDrawing();
  Rotate(picture.sheepAngle);
  DrawFieldSprite(SpriteSheet, picture.sheepX, picture.sheepY, picture.sheepFrame);
  if (picture.startMarker) {
    Scale(1.2f);
    DrawFieldSprite(SpriteSheet, picture.sheepX, picture.sheepY, 6);
  }
  SetDrawLayer(LAYER_OTHER);
}

void DrawPlayfieldFrame() {
  ResetDrawing();
  SetDrawLayer(LAYER_BORDERS);
  const float vw = float(VirtualWidth);
  const float half_w = float(VirtualWidth / 2), half_h = float(VirtualHeight / 2);
  Colour(255, 255, 255, 0.2f);
  DrawRect(0, half_h + 254, vw, half_h);
  Colour(0, 0, 0, 0.4f);
  DrawRect(0, 0, vw, half_h - 512);
  DrawRect(0, half_h + 256, vw, half_h);
  // Each side is 65 black rectangles of alpha 0.08, each 10 units narrower than the last, so a
  // 10-unit band is under n of them and keeps 0.92^n of its colour. Each band is drawn once at
  // the combined alpha instead: the same darkening, but a pixel is blended once rather than up
  // to 65 times, which a software renderer feels. The band edges are the rectangles' own. The
  // screen takes alpha in 255ths, 0.08 as 20/255, so a layer keeps 235/255 of the colour.
  const float height = half_h + 256, left_edge = half_w - 480, right_edge = half_w + 480;
  for (int n = 1; n <= 65; ++n) {
    Colour(0, 0, 0, 1.0f - std::pow(235.0f / 255.0f, float(n)));
    // Band n on the left ends where rectangle n - 1 ends; the last band reaches the screen's
    // edge. Past that edge there is nothing left to darken.
    const float left_x1 = left_edge - float(10 * (n - 1));
    const float left_x0 = n == 65 ? 0.0f : std::max(left_edge - float(10 * n), 0.0f);
    if (left_x1 > 0) DrawRect(left_x0, 0, left_x1 - left_x0, height);
    const float right_x0 = right_edge + float(10 * (n - 1));
    const float right_x1 = n == 65 ? vw : std::min(right_x0 + 10, vw);
    if (right_x0 < vw) DrawRect(right_x0, 0, right_x1 - right_x0, height);
  }
  SetDrawLayer(LAYER_OTHER);
}

void DrawHeadsUpTexts(const TFramePicture& picture) {
  UseFont(1, 5);
  const int vw = VirtualWidth, vh = VirtualHeight;
  Colour(255, 255, 255, 0.5f);
  TextAt(vw / 2, vh - 150, "World " + std::to_string(WorldOf(picture.level)) + "-" + LevelLetter(picture.level), 1, 1);
  Colour(0, 0, 0, 0.5f);
  TextAt(vw / 2, vh - 100, "Lives : " + std::to_string(std::max(picture.lives, 0)), 1, 1);
  TextAt(int(0.75f * float(vw)), vh - 50, "Bonus : " + std::to_string(picture.bonus), 1, 1);
  TextAt(int(0.25f * float(vw)), vh - 50, "Score : " + std::to_string(picture.score), 1, 1);
}

void DrawEndScreen() {
  Flip(-1);
  SetImageFont(ScreenFonts[5]);
  const int cx = VirtualWidth / 2, cy = VirtualHeight / 2;
  struct TLayer {
    int reach;
    float r, g, b;
  };
  for (const TLayer& layer : {TLayer{3, 255, 255, 255}, TLayer{2, 8, 8, 8}}) {
    for (int dx = -layer.reach; dx <= layer.reach; ++dx)
      for (int dy = -layer.reach; dy <= layer.reach; ++dy) {
        ResetDrawing();
        Colour(layer.r, layer.g, layer.b, 1.0f);
        TextAt(cx + dx, cy + dy, "Game Over", 1, 1);
      }
  }
  ResetDrawing();
  Colour(255, 255, 0, 1.0f);
  TextAt(cx, cy, "Game Over", 1, 1);
  Flip(-1);
}
