// The darkened sides of the playfield: drawn as one band per 10 units, each pixel must come out as
// dark as under the stack of 65 rectangles of alpha 0.08 per side that the frame stands for, and
// be blended only once.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/program_state.h"
#include "framework/screen_size.h"
#include "game/game_session.h"
#include "support/headless_game.h"

namespace {

// Layers of alpha 0.08 over screen column x in the stack: rectangle k reaches from the left edge
// to VW / 2 - 480 - 10 k, or from VW / 2 + 480 + 10 k to the right edge, k = 0 to 64.
int StackedLayers(int vw, double x) {
  int n = 0;
  for (int k = 0; k <= 64; ++k) {
    n += x < vw / 2 - 480 - 10 * k;
    n += x >= vw / 2 + 480 + 10 * k;
  }
  return n;
}

}  // namespace

TEST(PlayfieldFrame, SideBandsDarkenEachColumnLikeTheStackOnce) {
  // The three shapes of virtual screen: 1280 x 960, 1440 x 900, 1600 x 900.
  for (const auto& [w, h] : {std::pair{1024, 768}, {1280, 800}, {1280, 720}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    THeadlessOptions options;
    options.width = w;
    options.height = h;
    THeadlessGame g(options);
    GameState = 1;
    StartGame();
    g.driver().records.clear();
    GameFrame();
    const int vw = VirtualWidth;
    const float band_height = float(VirtualHeight / 2 + 256);
    std::vector<const TDrawRecord*> bands;
    for (const TDrawRecord* r : g.driver().Find(TDrawKind::Rect))
      if (r->state.color_red == 0 && r->y == 0.0f && r->y1 - r->y0 == band_height) bands.push_back(r);
    ASSERT_FALSE(bands.empty());
    // The screen applies alpha in 255ths: a layer of 0.08 keeps 235/255 of the colour.
    const double layer_keeps = 1.0 - std::round(0.08 * 255.0) / 255.0;
    for (int column = 0; column < vw; ++column) {
      const double x = column + 0.5;
      double keeps = 1.0;
      int covering = 0;
      for (const TDrawRecord* b : bands)
        if (x >= b->x + b->x0 && x < b->x + b->x1) {
          keeps *= 1.0 - double(b->state.color_alpha);
          ++covering;
        }
      const int n = StackedLayers(vw, x);
      ASSERT_EQ(covering, n > 0 ? 1 : 0) << "column " << column;
      ASSERT_NEAR(keeps, std::pow(layer_keeps, n), 1e-4) << "column " << column;
    }
  }
}
