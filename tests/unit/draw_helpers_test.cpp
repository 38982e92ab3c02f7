// The drawing helpers against the recording driver: clamping, alignment, budgets, the glow pass,
// the backdrop, the field splitter and the small parsers.
#include <gtest/gtest.h>

#include "base/settings.h"
#include "framework/present_frame.h"
#include "platform/display.h"
#include "platform/draw_state.h"
#include "support/recording_setup.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"
#include "ui/text_fields.h"

namespace {

TImagePtr Sprite(int w, int h, int frames = 1) {
  TImagePtr image = CreateImage(w, h, frames);
  MidHandleImage(image);
  return image;
}

}  // namespace

TEST(DrawHelpers, ColourClampsAndTruncatesAndKeepsAlphaUnlessGiven) {
  TRecordingSetup setup;
  SetAlpha(0.25f);
  Colour(300, -5, 128.9f);
  int r = 0, g = 0, b = 0;
  GetColor(r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 128);
  EXPECT_FLOAT_EQ(GetAlpha(), 0.25f);
  Colour(0, 0, 0, 1.7f);
  EXPECT_FLOAT_EQ(GetAlpha(), 1.0f);
  Colour(0, 0, 0, -3.0f);
  EXPECT_FLOAT_EQ(GetAlpha(), 0.0f);
}

TEST(DrawHelpers, ScaleRotateResetAndBlendKinds) {
  TRecordingSetup setup;
  float sx = 0, sy = 0;
  Scale(2);
  GetScale(sx, sy);
  EXPECT_EQ(sx, 2.0f);
  EXPECT_EQ(sy, 2.0f);
  Scale(2, 0.5f);
  GetScale(sx, sy);
  EXPECT_EQ(sy, 0.5f);

  const int expected[] = {SOLIDBLEND, ALPHABLEND, SHADEBLEND, LIGHTBLEND};
  for (int kind = 0; kind < 4; ++kind) {
    SetBlendKind(kind);
    EXPECT_EQ(GetBlend(), expected[kind]) << "kind " << kind;
  }
  SetBlendKind(7);
  EXPECT_EQ(GetBlend(), LIGHTBLEND);

  Rotate(30);
  Colour(10, 20, 30, 0.5f);
  ResetDrawing();
  GetScale(sx, sy);
  int r = 0, g = 0, b = 0;
  GetColor(r, g, b);
  EXPECT_EQ(GetRotation(), 0.0f);
  EXPECT_EQ(sx, 1.0f);
  EXPECT_EQ(sy, 1.0f);
  EXPECT_EQ(r + g + b, 765);
  EXPECT_EQ(GetAlpha(), 1.0f);
  EXPECT_EQ(GetBlend(), ALPHABLEND);
}

TEST(DrawHelpers, UseFontFallsBackToFamilyOneSizeZero) {
  TRecordingSetup setup;
  // Entries only need distinct identities here: aliases of the built-in font at marker addresses,
  // never drawn with.
  static int markers[100];
  for (size_t i = 0; i < 29; ++i)
    FontTable[i] = TFontPtr(DefaultFont(), reinterpret_cast<TFont*>(&markers[i]));
  UseFont(4, 12);
  EXPECT_EQ(GetImageFont(), FontTable[0]);
  UseFont(2, 3);
  EXPECT_EQ(GetImageFont(), FontTable[13]);
  UseFont(3, -1);
  EXPECT_EQ(GetImageFont(), FontTable[20]);
  UseFont(3, 8);
  EXPECT_EQ(GetImageFont(), FontTable[28]);
  SetImageFont(nullptr);
}

TEST(DrawHelpers, TextAtAlignsByWholeHalvesAndIsRecordedAsText) {
  TRecordingSetup setup;
  SetImageFont(nullptr);
  const int w = TextWidth("Apply");
  const int h = TextHeight();
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);
  TextAt(100, 50, "Apply", 1, 1);
  TextAt(100, 50, "Apply", 2, 2);
  TextAt(100, 50, "Apply", 0, 0);
  auto texts = setup.driver().Find(TDrawKind::Text);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0]->x, float(100 - w / 2));
  EXPECT_EQ(texts[0]->y, float(50 - h / 2));
  EXPECT_EQ(texts[1]->x, float(100 - w));
  EXPECT_EQ(texts[1]->y, float(50 - h));
  EXPECT_EQ(texts[2]->x, 100.0f);
  // The text's glyphs are recorded as belonging to it, one per visible letter.
  int glyphs = 0;
  for (const TDrawRecord* r : setup.driver().Find(TDrawKind::Glyph)) glyphs += r->text == "Apply";
  EXPECT_EQ(glyphs, 15);
  // The centre of the middle-aligned text is within rounding of (100, 50).
  const float cx = texts[0]->x + float(w) / 2.0f;
  const float cy = texts[0]->y + float(h) / 2.0f;
  EXPECT_NEAR(cx, 100.0f, 0.5f);
  EXPECT_NEAR(cy, 50.0f, 0.5f);
}

TEST(DrawHelpers, CountedSpritesStopAtTheBudgetUntilTheNextFrame) {
  TRecordingSetup setup;
  TImagePtr image = Sprite(32, 16);
  SpriteBudget[1] = 3;
  BeginFrame(1);
  for (int i = 0; i < 5; ++i) DrawSprite(image, 10.0f * float(i), 20.0f, 0, 1);
  EXPECT_EQ(SpriteCount[1], 3);
  EXPECT_EQ(setup.driver().ImageDraws(image).size(), 3u);
  Flip(0);
  BeginFrame(1);
  EXPECT_EQ(SpriteCount[1], 0);
  for (int i = 0; i < 4; ++i) DrawSprite(image, 0.0f, 0.0f, 0, 1);
  EXPECT_EQ(setup.driver().ImageDraws(image, 1).size(), 3u);
  EXPECT_EQ(setup.driver().Count(TDrawKind::Cls), 2);
}

TEST(DrawHelpers, DrawSpritePlacesTheCentreFromTheTopLeftUnderScale) {
  TRecordingSetup setup;
  TImagePtr image = Sprite(32, 16);
  Scale(2, 3);
  DrawSprite(image, 100.0f, 200.0f, 0, 1);
  auto draws = setup.driver().ImageDraws(image);
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_FLOAT_EQ(draws[0]->x, 100.0f + 32.0f);
  EXPECT_FLOAT_EQ(draws[0]->y, 200.0f + 24.0f);
  EXPECT_FLOAT_EQ(draws[0]->state.tform_scale_y, 3.0f);
}

TEST(DrawHelpers, SlowSystemSkipsSpritesOnlyOnSkippedFramesAndOddFlagsSuppress) {
  TRecordingSetup setup;
  TImagePtr image = Sprite(8, 8);
  Settings[7] = 1;
  FrameSkipped = 0;
  DrawSprite(image, 0, 0, 0, 1);
  FrameSkipped = 1;
  DrawSprite(image, 0, 0, 0, 1);
  DrawGlowSprite(image, 0, 0, 0, nullptr, 2.0f, 0.5f);
  Settings[7] = 2;
  FrameSkipped = 0;
  DrawFieldSprite(image, 0, 0, 0, 1);
  EXPECT_EQ(setup.driver().ImageDraws(image).size(), 1u);
  EXPECT_EQ(SpriteCount[1], 1);
  EXPECT_EQ(SpriteCount[2], 0);
}

TEST(DrawHelpers, FieldSpriteMapsPlayfieldUnitsAroundTheCentre) {
  TRecordingSetup setup;
  SetVirtualResolution(1600, 900);
  TImagePtr image = Sprite(32, 32);
  DrawFieldSprite(image, 10.0f, 30.0f, 0, 1);
  SetVirtualResolution(1281, 960);
  DrawFieldSprite(image, 0.0f, 0.0f, 0, 1);
  auto draws = setup.driver().ImageDraws(image);
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_FLOAT_EQ(draws[0]->x, 800.0f + 20.0f - 480.0f);
  EXPECT_FLOAT_EQ(draws[0]->y, 60.0f);
  EXPECT_FLOAT_EQ(draws[1]->x, 640.0f - 480.0f);
}

TEST(DrawHelpers, GlowPassUsesItsOwnBudgetScaleAlphaAndLightBlendThenRestores) {
  TRecordingSetup setup;
  TImagePtr image = Sprite(20, 10);
  TImagePtr glow = Sprite(64, 64);
  Scale(2);
  SetAlpha(0.8f);
  SetBlendKind(1);
  SpriteBudget[1] = 0;  // main sprites spent: the glow alone still shows
  SpriteBudget[2] = 5;
  DrawGlowSprite(image, 100, 100, 0, glow, 3.0f, 0.5f);
  EXPECT_TRUE(setup.driver().ImageDraws(image).empty());
  auto glows = setup.driver().ImageDraws(glow);
  ASSERT_EQ(glows.size(), 1u);
  EXPECT_FLOAT_EQ(glows[0]->x, 100.0f + 20.0f);  // centre from the main image's size
  EXPECT_FLOAT_EQ(glows[0]->y, 100.0f + 10.0f);
  EXPECT_FLOAT_EQ(glows[0]->state.tform_scale_x, 6.0f);
  EXPECT_NEAR(glows[0]->state.color_alpha, 0.4f, 1e-6);
  EXPECT_EQ(glows[0]->state.blend_mode, LIGHTBLEND);
  float sx = 0, sy = 0;
  GetScale(sx, sy);
  EXPECT_EQ(sx, 2.0f);
  EXPECT_FLOAT_EQ(GetAlpha(), 0.8f);
  EXPECT_EQ(GetBlend(), ALPHABLEND);
  EXPECT_EQ(SpriteCount[1], 0);
  EXPECT_EQ(SpriteCount[2], 1);

  SpriteBudget[1] = 5;
  DrawGlowSprite(image, 0, 0, 0, nullptr, 1.0f, 1.0f);  // no glow image: the sprite glows itself
  EXPECT_EQ(setup.driver().ImageDraws(image).size(), 2u);
}

TEST(DrawHelpers, BackdropEasesTheTintAndDrawsRotatedStripesDownTheScreen) {
  TRecordingSetup setup;
  SetVirtualResolution(1600, 900);
  BackdropTarget = {1.0f, 0.0f, 0.0f};
  DrawBackdrop();
  EXPECT_NEAR(BackdropTint[0], 0.2f + 0.8f / 16.0f, 1e-6);
  EXPECT_NEAR(BackdropTint[2], 1.0f - 1.0f / 16.0f, 1e-6);
  auto rects = setup.driver().Find(TDrawKind::Rect);
  ASSERT_EQ(rects.size(), 91u);  // y = 0, 10, ..., 900
  EXPECT_EQ(rects[0]->state.tform_rot, -45.0f);
  EXPECT_FLOAT_EQ(rects[0]->x, -100.0f);
  EXPECT_FLOAT_EQ(rects[90]->y, 2700.0f);
  EXPECT_FLOAT_EQ(rects[0]->x1 - rects[0]->x0, 3400.0f);
  EXPECT_FLOAT_EQ(rects[0]->y1 - rects[0]->y0, 30.0f);
  EXPECT_EQ(rects[0]->state.color_red, int(26.0f * BackdropTint[0]));
  EXPECT_EQ(rects[90]->state.color_blue, int(116.0f * BackdropTint[2]));
  BackdropTint = {3.0f, 0.0f, 0.0f};
  BackdropTarget = BackdropTint;
  DrawBackdrop();
  EXPECT_EQ(setup.driver().Find(TDrawKind::Rect).back()->state.color_red, 255);  // clamped
  EXPECT_EQ(GetRotation(), 0.0f);
  for (int i = 0; i < 200; ++i) DrawBackdrop();
  EXPECT_EQ(BackdropTint, BackdropTarget);  // snaps once close
}

TEST(DrawHelpers, MouseOverIsStrictOnEverySide) {
  TRecordingSetup setup;
  FrameMouseX = 10;
  FrameMouseY = 15;
  EXPECT_FALSE(MouseOver(10, 10, 20, 20));
  FrameMouseX = 30;
  EXPECT_FALSE(MouseOver(10, 10, 20, 20));
  FrameMouseX = 11;
  FrameMouseY = 11;
  EXPECT_TRUE(MouseOver(10, 10, 20, 20));
  FrameMouseY = 30;
  EXPECT_FALSE(MouseOver(10, 10, 20, 20));
}

TEST(DrawHelpers, FieldSplitsAtTheSeparatorWithTheMissingFieldMarker) {
  EXPECT_EQ(Field("KEY=5,38", "=", 1, 0), "KEY");
  EXPECT_EQ(Field("KEY=5,38", "=", 2, 0), "5,38");
  EXPECT_EQ(Field("a=b", "=", 3, 0), "-+-");
  EXPECT_EQ(Field("abc", "=", 2, 0), "abc");
  EXPECT_EQ(Field(" KEY = 1 ", "=", 1, 0), "KEY ");
  EXPECT_EQ(Field(" KEY = 1 ", "=", 2, 0), " 1");
  EXPECT_EQ(Field("1,2,3", ",", 3, 0), "3");
  EXPECT_EQ(Field("1,2,3", ",", 4, 0), "-+-");
  EXPECT_EQ(Field("", ",", 1, 0), "");
  EXPECT_EQ(Field("a,,b", ",", 2, 0), "");
  EXPECT_EQ(Field("a,,b", ",", 3, 0), "b");
  EXPECT_EQ(Field("one,two", "", 1, 0), "");  // empty separator: found at once, an empty field
}

TEST(DrawHelpers, FieldWithSpaceTooEndsFieldsAtSpaces) {
  EXPECT_EQ(Field("alpha beta,gamma", ",", 1, 1), "alpha");
  EXPECT_EQ(Field("alpha beta,gamma", ",", 2, 1), "beta");
  EXPECT_EQ(Field("alpha beta,gamma", ",", 3, 1), "gamma");
  // A space ends a field only while a separator still follows it.
  EXPECT_EQ(Field("a,b c", ",", 2, 1), "b c");
  EXPECT_EQ(Field("a,b c,d", ",", 2, 1), "b");
  EXPECT_EQ(Field("a,b c", ",", 1, 0), "a");
}

TEST(DrawHelpers, HexToIntCountsCapitalsOnly) {
  EXPECT_EQ(HexToInt("1F"), 31);
  EXPECT_EQ(HexToInt("1f"), 16);
  EXPECT_EQ(HexToInt(""), 0);
  EXPECT_EQ(HexToInt("FF"), 255);
  EXPECT_EQ(HexToInt("10"), 16);
  EXPECT_EQ(HexToInt("G1"), 1);
  EXPECT_EQ(HexToInt("7FFFFFFF"), 0x7fffffff);
}

TEST(DrawHelpers, PostMessageAppendsAFreshMessageAndClampFloatOrders) {
  TRecordingSetup setup;
  PostMessage("Can't set to fullscreen in this resolution.");
  PostMessage("second");
  ASSERT_EQ(MessageList.size(), 2u);
  EXPECT_EQ(MessageList[0].txt, "Can't set to fullscreen in this resolution.");
  EXPECT_EQ(MessageList[0].tick, 0);
  EXPECT_EQ(MessageList[0].c, 1);
  EXPECT_EQ(MessageList[1].txt, "second");
  EXPECT_EQ(ClampFloat(5, 0, 1), 1.0f);
  EXPECT_EQ(ClampFloat(-5, 0, 1), 0.0f);
  EXPECT_EQ(ClampFloat(0.5f, 0, 1), 0.5f);
  EXPECT_EQ(ClampFloat(0.5f, 2, 1), 2.0f);  // lo wins when the bounds cross
}

TEST(DrawHelpers, ResetDrawHelpersRestoresBudgetsAndTints) {
  SpriteBudget.fill(7);
  SpriteCount[3] = 9;
  BackdropTint = {0, 0, 0};
  ResetDrawHelpers();
  EXPECT_EQ(SpriteBudget[1], 50000);
  EXPECT_EQ(SpriteBudget[2], 50000);
  EXPECT_EQ(SpriteBudget[3], 0);
  EXPECT_EQ(SpriteCount[3], 0);
  EXPECT_FLOAT_EQ(BackdropTint[0], 0.2f);
  EXPECT_FLOAT_EQ(BackdropTint[2], 1.0f);
}
