// Small rules of the frame, the display modes, the assets, the screenshot and the engine test.
#include <gtest/gtest.h>

#include "framework/common_assets.h"
#include "framework/display_modes.h"
#include "framework/engine_test.h"
#include "framework/present_frame.h"
#include "framework/screenshot.h"
#include "support/temp_dir.h"
#include "ui/draw_helpers.h"

namespace {

TEST(DisplayModes, UsableShapes) {
  EXPECT_TRUE(UsableMode(1024, 768));
  EXPECT_TRUE(UsableMode(1920, 1080));
  EXPECT_TRUE(UsableMode(1920, 1200));
  EXPECT_TRUE(UsableMode(1366, 768));  // 1366 * 9 / 16 truncates to 768
  EXPECT_FALSE(UsableMode(1280, 1024));
  EXPECT_FALSE(UsableMode(0, 1));
}

TEST(CommonAssets, FontScalesAndFamilies) {
  EXPECT_EQ(MainFontFamily(1024), "November");
  EXPECT_EQ(MainFontFamily(800), "SVBasicManual");
  EXPECT_FLOAT_EQ(FontScaleA(1024), 1.0f);
  EXPECT_FLOAT_EQ(FontScaleA(900), 1.0f);
  EXPECT_FLOAT_EQ(FontScaleA(899), 1.2f);
  EXPECT_FLOAT_EQ(FontScaleB(800), 1.4f);
  EXPECT_FLOAT_EQ(FontScaleA(599), 1.5f);
  EXPECT_FLOAT_EQ(FontScaleB(599), 2.0f);
  // At 800 x 600 the big screen font is 24 x 1.2 and the small one 16 x 1.4, truncated.
  EXPECT_EQ(int(24 * FontScaleA(800)), 28);
  EXPECT_EQ(int(16 * FontScaleB(800)), 22);
}

TEST(CommonAssets, BorderFilesSwapEntriesTwoAndThree) {
  EXPECT_EQ(BorderFileName("top_", 1), "top_01-hd.png");
  EXPECT_EQ(BorderFileName("top_", 2), "top_03-hd.png");
  EXPECT_EQ(BorderFileName("bot_", 3), "bot_02-hd.png");
  EXPECT_EQ(BorderFileName("bot_", 10), "bot_10-hd.png");
}

TEST(Screenshot, FileNames) {
  EXPECT_EQ(CleanFileName("a#b'c,d`e.f\\g/h:i|j*k?l\"m n"), "abcdefghijklm n");
  EXPECT_EQ(ScreenshotName("06 Dec 2026", "14:03:59"), "Lambrisk  (Screenshot_06 Dec 2026_140359).png");
  TTempDir dir;
  EXPECT_EQ(FreeFileName("shot.png"), "shot.png");
  TTempDir::Write("shot.png", "x");
  EXPECT_EQ(FreeFileName("shot.png"), "shot 2.png");
  TTempDir::Write("shot 2.png", "x");
  EXPECT_EQ(FreeFileName("shot.png"), "shot 3.png");
}

TEST(EngineTest, JudgingSteps) {
  int best = 0;
  EXPECT_FALSE(JudgeEngineStep(50, 43, 500, best));  // the first step never counts
  EXPECT_EQ(best, 0);
  EXPECT_FALSE(JudgeEngineStep(44, 43, 3000, best));
  EXPECT_EQ(best, 3000);
  EXPECT_TRUE(JudgeEngineStep(40, 43, 3500, best));
  EXPECT_EQ(best, 3000);
  EXPECT_TRUE(JudgeEngineStep(43, 43, 4000, best));  // exactly at the threshold: both
  EXPECT_EQ(best, 4000);
}

TEST(EngineTest, BudgetsAndTheirLowerLimits) {
  SetBudgetsFromEngineTest(20000, 45);
  EXPECT_EQ(SpriteBudget[1], 8000);
  EXPECT_EQ(SpriteBudget[2], 8000);
  EXPECT_EQ(SpriteBudget[3], 4000);
  SetBudgetsFromEngineTest(3000, 45);
  EXPECT_EQ(SpriteBudget[1], 1200);
  EXPECT_EQ(SpriteBudget[2], 1200);
  EXPECT_EQ(SpriteBudget[3], 600);
  SetBudgetsFromEngineTest(0, 45);
  EXPECT_EQ(SpriteBudget[1], 1000);
  EXPECT_EQ(SpriteBudget[2], 500);
  EXPECT_EQ(SpriteBudget[3], 250);
}

TEST(PresentFrame, SmoothedFrameRate) {
  EXPECT_EQ(SmoothFrameRate(0, 33), 10);   // (30 + 0) / 3
  EXPECT_EQ(SmoothFrameRate(30, 33), 30);  // (30 + 60) / 3
  EXPECT_EQ(SmoothFrameRate(30, 0), 353);  // a zero-length frame counts as 1 ms
}

}  // namespace
