// A screen-style loop played headless: the recording driver draws, a script presses keys by frame
// number and a manual clock stands in for time, so the test reads back what each frame showed.
#include <gtest/gtest.h>

#include "framework/present_frame.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/recording/recording_driver.h"
#include "platform/scripted_input.h"
#include "support/recording_setup.h"
#include "ui/draw_helpers.h"
#include "ui/layer_cache.h"

namespace {

// Rectangles drawn so far by the current (recording) driver.
int CurrentRects() { return static_cast<TRecordingDriver&>(CurrentDrawDriver()).Count(TDrawKind::Rect); }

// A menu-like screen: backdrop, a highlighted item that follows the arrow keys, until Space.
int RunMenuLoop(TImagePtr cursor) {
  int item = 0;
  while (!KeyHit(32)) {
    BeginFrame(1);
    DrawBackdrop();
    if (KeyHit(40)) item = (item + 1) % 3;
    if (KeyHit(38)) item = (item + 2) % 3;
    for (int i = 0; i < 3; ++i) {
      Colour(255, 255, i == item ? 0 : 255, 1.0f);
      TextAt(800, 300 + 60 * i, "Item " + std::to_string(i), 1, 0);
    }
    DrawSprite(cursor, 600, float(300 + 60 * item), 0, 1);
    Delay(33);
    Flip(0);
    if (FrameCount() > 200) break;  // a broken script must not hang the test
  }
  return item;
}

}  // namespace

TEST(HeadlessDrawLoop, ScriptedKeysMoveTheHighlightFrameByFrame) {
  TRecordingSetup setup;
  TManualClock clock;
  SetClock(&clock);
  TScriptedInput script;
  script.PressAt(3, 40).PressAt(6, 40).PressAt(9, 38).KeyDownAt(12, 32);
  AddEventSource(&script);
  TImagePtr cursor = CreateImage(16, 16);
  const int chosen = RunMenuLoop(cursor);
  RemoveEventSource(&script);
  SetClock(nullptr);

  EXPECT_EQ(chosen, 1);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(FrameCount(), 12);
  EXPECT_EQ(clock.NowMs(), 12 * 33);
  TRecordingDriver& d = setup.driver();
  // Frame 3 drew the highlight on item 1, frame 6 on item 2, frame 9 back on item 1.
  const int highlighted[] = {0, 0, 0, 1, 1, 1, 2, 2, 2, 1, 1, 1};
  for (int frame = 0; frame < 12; ++frame) {
    const TDrawRecord* text = d.FindText("Item " + std::to_string(highlighted[frame]), frame);
    ASSERT_NE(text, nullptr) << "frame " << frame;
    EXPECT_EQ(text->state.color_blue, 0) << "frame " << frame;
    auto sprites = d.ImageDraws(cursor, frame);
    ASSERT_EQ(sprites.size(), 1u);
    EXPECT_FLOAT_EQ(sprites[0]->y, float(300 + 60 * highlighted[frame] + 8));
    EXPECT_EQ(d.Count(TDrawKind::Cls, frame), 1);
  }
  // Centred text: the middle of "Item 1" lands on x = 800 within a pixel.
  const TDrawRecord* item = d.FindText("Item 1");
  ASSERT_NE(item, nullptr);
  EXPECT_NEAR(item->x + float(TextWidth("Item 1")) / 2.0f, 800.0f, 1.0f);
}

// A settled layer comes from one copy over the whole window from its third frame on; a new key,
// clear colour or display draws it again. The backdrop's key is its tint.
TEST(HeadlessDrawLoop, ASettledLayerIsDrawnFromItsCopy) {
  TRecordingSetup setup;
  TLayerCache cache;
  int drawn = 0;
  auto frame = [&](const std::string& key) {
    BeginFrame(1);
    const bool copied = cache.Draw(key, [&drawn] {
      ++drawn;
      DrawRect(0, 0, 10, 10);
    });
    Flip(0);
    return copied;
  };
  EXPECT_FALSE(frame("a"));
  EXPECT_FALSE(frame("a"));
  EXPECT_TRUE(frame("a"));
  EXPECT_EQ(drawn, 2);
  EXPECT_FALSE(frame("b"));
  SetClsColor(9, 9, 9);
  EXPECT_FALSE(frame("b"));
  EXPECT_FALSE(frame("b"));  // settled again, and grabbed
  SetDrawDriver(std::make_shared<TRecordingDriver>());
  OpenGraphics(800, 600);
  EXPECT_FALSE(frame("b"));

  ResetDrawHelpers();
  auto stripes = [&] {
    BeginFrame(1);
    const int before = CurrentRects();
    DrawBackdrop();
    Flip(0);
    return CurrentRects() - before;
  };
  stripes();
  stripes();
  EXPECT_EQ(stripes(), 0);
  BackdropTarget = {0.0f, 1.0f, 0.2f};
  EXPECT_GT(stripes(), 50);  // easing to the new tint
}
