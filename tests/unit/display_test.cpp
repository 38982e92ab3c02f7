// The display layer over the recording driver: mode queries, failed opens, flips that count
// frames and poll input, the pointer wish kept before a window exists, and the mouse in virtual
// pixels.
#include <gtest/gtest.h>

#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/input.h"
#include "platform/scripted_input.h"
#include "support/recording_setup.h"

TEST(Display, ModeQueriesTreatZeroAsAnyValue) {
  TRecordingSetup setup;
  setup.driver().modes = {{1024, 768, 16, 60}, {1024, 768, 32, 75}, {1920, 1080, 32, 60}};
  EXPECT_EQ(CountGraphicsModes(), 3);
  TGraphicsMode mode;
  ASSERT_TRUE(GetGraphicsMode(1, mode));
  EXPECT_EQ(mode.depth, 32);
  EXPECT_EQ(mode.hertz, 75);
  EXPECT_FALSE(GetGraphicsMode(3, mode));
  EXPECT_FALSE(GetGraphicsMode(-1, mode));
  EXPECT_TRUE(GraphicsModeExists(1024, 768, 16, 0));
  EXPECT_TRUE(GraphicsModeExists(1920, 0, 0, 0));
  EXPECT_FALSE(GraphicsModeExists(1920, 1080, 24, 0));
  EXPECT_FALSE(GraphicsModeExists(1024, 768, 32, 60));
}

TEST(Display, AFailedOpenLeavesNothingOpenAndSaysSo) {
  TRecordingSetup setup;
  setup.driver().fail_open = true;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(OpenGraphics(800, 600));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(GraphicsOpen());
  EXPECT_NE(err.find("800x600"), std::string::npos);
  setup.driver().fail_open = false;
  EXPECT_FALSE(OpenGraphics(1000, 700, 32));  // not a full-screen mode on offer
  EXPECT_TRUE(OpenGraphics(1920, 1080, 32));
  EXPECT_EQ(GraphicsWidth(), 1920);
  EXPECT_EQ(VirtualResolutionWidth(), 1920.0f);
}

TEST(Display, FlipCountsTheFrameThenPollsTheInput) {
  TRecordingSetup setup;
  TScriptedInput script;
  script.KeyDownAt(2, 37);
  AddEventSource(&script);
  Flip(0);
  EXPECT_EQ(KeyDown(37), 0);
  Flip(1);
  EXPECT_EQ(FrameCount(), 2);
  EXPECT_EQ(KeyDown(37), 1);  // posted on the flip that made the count 2
  EXPECT_EQ(setup.driver().flips, 2);
  EXPECT_EQ(setup.driver().last_sync, 1);
  RemoveEventSource(&script);
}

TEST(Display, PointerWishIsKeptUntilAWindowOpens) {
  TRecordingSetup setup;
  CloseGraphics();
  setup.driver().pointer_visible = true;
  HidePointer();
  EXPECT_TRUE(setup.driver().pointer_visible);  // nothing open yet
  EXPECT_FALSE(PointerShown());
  ASSERT_TRUE(OpenGraphics(640, 480));
  EXPECT_FALSE(setup.driver().pointer_visible);
  ShowPointer();
  EXPECT_TRUE(setup.driver().pointer_visible);
}

TEST(Display, MouseScalesBetweenRealAndVirtualPixels) {
  TRecordingSetup setup;
  ASSERT_TRUE(OpenGraphics(1280, 960));
  SetVirtualResolution(640, 480);
  EXPECT_FLOAT_EQ(DrawState().vres_mousexscale, 0.5f);
  PostEvent({EVENT_MOUSEMOVE, 0, 640, 480});
  PollSystem();
  EXPECT_FLOAT_EQ(VirtualMouseX(), 320.0f);
  EXPECT_FLOAT_EQ(VirtualMouseY(), 240.0f);
  MoveMouse(100, 50);
  EXPECT_EQ(setup.driver().pointer_x, 200);
  EXPECT_EQ(setup.driver().pointer_y, 100);
  Flip(0);
  EXPECT_FLOAT_EQ(VirtualMouseX(), 100.0f);
  SetVirtualResolution(0, 480);  // refused: keeps the last good resolution
  EXPECT_EQ(VirtualResolutionWidth(), 640.0f);
}

TEST(RecordingDriver, LongRunsDropTheOldestRecordsButKeepExactCounts) {
  TRecordingSetup setup;
  setup.driver().record_limit = 1000;
  TImagePtr image = CreateImage(4, 4);
  for (int frame = 0; frame < 5; ++frame) {
    for (int i = 0; i < 700; ++i) DrawImage(image, float(i), 0);
    Flip(0);
  }
  EXPECT_LE(setup.driver().records.size(), 1000u);
  EXPECT_GT(setup.driver().dropped, 0u);
  EXPECT_EQ(setup.driver().Count(TDrawKind::Image), 3500);
  EXPECT_EQ(setup.driver().Count(TDrawKind::Image, 4), 700);
  EXPECT_EQ(setup.driver().ImageDraws(image, 4).size(), 700u);  // the newest frame is whole
  EXPECT_TRUE(setup.driver().ImageDraws(image, 0).empty());
  setup.driver().Clear();
  EXPECT_EQ(setup.driver().Count(TDrawKind::Image), 0);
}
