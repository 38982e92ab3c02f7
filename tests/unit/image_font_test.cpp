// Images and fonts loaded for real without a window (the recording driver makes the textures):
// cutting strips, handles and flags, frames out of range, the built-in font, TrueType fonts.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/font.h"
#include "platform/font_glyphs.h"
#include "platform/image.h"
#include "support/png_builder.h"
#include "support/recording_setup.h"

namespace {

// A 3 x 2 grid of 4 x 4 cells; cell n is filled with grey level 10 * (n + 1).
std::vector<uint8_t> Strip() {
  TPngLayout layout;
  layout.width = 12;
  layout.height = 8;
  layout.colour_type = 0;
  for (uint32_t y = 0; y < 8; ++y)
    for (uint32_t x = 0; x < 12; ++x) layout.raw_rows.push_back(uint8_t(10 * ((y / 4) * 3 + x / 4 + 1)));
  return BuildPng(layout);
}

const char* const kTrueType = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

}  // namespace

TEST(Image, AnimationStripsAreCutLeftToRightThenDown) {
  TRecordingSetup setup;
  const std::vector<uint8_t> png = Strip();
  TImagePtr image = LoadAnimImageFromMemory(png.data(), png.size(), 4, 4, 2, 3);
  ASSERT_TRUE(image);
  ASSERT_EQ(ImageFrames(image), 3);
  EXPECT_EQ(ImageWidth(image), 4);
  EXPECT_EQ(ReadPixel(*image->pixmaps[0], 0, 0), 0xff1e1e1eu);  // cell 2
  EXPECT_EQ(ReadPixel(*image->pixmaps[1], 3, 3), 0xff282828u);  // cell 3, second row
  EXPECT_EQ(ReadPixel(*image->pixmaps[2], 0, 0), 0xff323232u);
  EXPECT_FALSE(LoadAnimImageFromMemory(png.data(), png.size(), 4, 4, 4, 3));   // past the last cell
  EXPECT_FALSE(LoadAnimImageFromMemory(png.data(), png.size(), 13, 4, 0, 1));  // cell wider than the picture
  EXPECT_FALSE(LoadAnimImageFromMemory(png.data(), png.size(), 0, 4, 0, 1));
}

TEST(Image, DefaultFlagsHandlesAndDynamicImages) {
  TRecordingSetup setup;
  const std::vector<uint8_t> png = Strip();
  TImagePtr plain = LoadImageFromMemory(png.data(), png.size());
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->flags, MASKEDIMAGE | FILTEREDIMAGE);
  EXPECT_EQ(plain->handle_x, 0.0f);
  AutoMidHandle(true);
  AutoImageFlags(FILTEREDIMAGE);
  TImagePtr mid = LoadImageFromMemory(png.data(), png.size());
  ASSERT_TRUE(mid);
  EXPECT_EQ(mid->flags, FILTEREDIMAGE);
  EXPECT_EQ(mid->handle_x, 6.0f);
  EXPECT_EQ(mid->handle_y, 4.0f);
  TImagePtr explicit_flags = LoadImageFromMemory(png.data(), png.size(), 0);
  EXPECT_EQ(explicit_flags->flags, 0);
  TImagePtr dynamic = CreateImage(10, 10, 2, 0);
  ASSERT_TRUE(dynamic);
  EXPECT_EQ(dynamic->flags, DYNAMICIMAGE);
  EXPECT_FALSE(CreateImage(0, 10));
  EXPECT_EQ(ImageWidth(nullptr), 0);
}

TEST(Image, DrawsAtItsHandleUnderOriginAndFramesBeyondTheLastDrawNothing) {
  TRecordingSetup setup;
  TImagePtr image = CreateImage(20, 10, 2);
  SetImageHandle(image, 5, 5);
  SetOrigin(100, 50);
  SetRotation(90);
  DrawImage(image, 10, 20, 1);
  DrawImage(image, 10, 20, 2);
  DrawImage(image, 10, 20, -1);
  DrawImage(nullptr, 10, 20, 0);
  auto draws = setup.driver().ImageDraws(image);
  ASSERT_EQ(draws.size(), 1u);
  const TDrawRecord& r = *draws[0];
  EXPECT_EQ(r.image_frame, 1);
  EXPECT_EQ(r.x, 10.0f);
  EXPECT_EQ(r.state.origin_x, 100.0f);
  EXPECT_EQ(r.x0, -5.0f);
  EXPECT_EQ(r.x1, 15.0f);
  EXPECT_EQ(r.y1, 5.0f);
  EXPECT_NEAR(r.state.tform_iy, -1.0f, 1e-6);  // -sin(90) * scale_y
  EXPECT_NEAR(r.state.tform_jx, 1.0f, 1e-6);
  EXPECT_EQ(setup.driver().Count(TDrawKind::Image), 1);
}

TEST(Image, AlphaIsClampedAndPrimitivesUseTheHandle) {
  TRecordingSetup setup;
  SetAlpha(3.0f);
  EXPECT_EQ(GetAlpha(), 1.0f);
  SetAlpha(-0.5f);
  EXPECT_EQ(GetAlpha(), 0.0f);
  SetBlend(9);
  EXPECT_EQ(GetBlend(), SOLIDBLEND);
  SetHandle(4, 2);
  DrawRect(10, 10, 30, 20);
  auto rects = setup.driver().Find(TDrawKind::Rect);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0]->x0, -4.0f);
  EXPECT_EQ(rects[0]->y1, 18.0f);
}

TEST(Font, BuiltInFontMeasuresWholeAdvancesAndSkipsControlCharacters) {
  TRecordingSetup setup;
  SetImageFont(nullptr);
  EXPECT_EQ(TextWidth("Apply"), 5 * TextWidth("A"));
  EXPECT_GT(TextWidth("A"), 0);
  EXPECT_EQ(TextWidth("A\tB"), 2 * TextWidth("A"));
  EXPECT_EQ(TextWidth(""), 0);
  EXPECT_GT(TextHeight(), 0);
  EXPECT_EQ(FontTextWidth(nullptr, "\xe9"), TextWidth("A"));  // shown as a box
  // Every printable character has a picture except the space.
  for (int c = 33; c <= 126; ++c) {
    setup.driver().Clear();
    DrawText(std::string(1, char(c)), 0, 0);
    EXPECT_EQ(setup.driver().Count(TDrawKind::Glyph), 1) << char(c);
  }
  setup.driver().Clear();
  DrawText(" ", 0, 0);
  EXPECT_EQ(setup.driver().Count(TDrawKind::Glyph), 0);
  EXPECT_EQ(setup.driver().Count(TDrawKind::Text), 1);
}

TEST(Font, CorruptOrMissingTrueTypeGivesNull) {
  TRecordingSetup setup;
  EXPECT_FALSE(LoadFont("/nonexistent/font.ttf", 12));
  const std::string junk(4096, '\x17');
  EXPECT_FALSE(LoadFontFromMemory(junk.data(), junk.size(), 12));
  std::ifstream in(kTrueType, std::ios::binary);
  if (in) {
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(LoadFontFromMemory(bytes.data(), bytes.size() / 3, 12));  // cut short
    EXPECT_FALSE(LoadFontFromMemory(bytes.data(), bytes.size(), 0));
  }
}

TEST(Font, TrueTypeTextIsRecordedWithItsFontAndMeasuredInWholePixels) {
  TRecordingSetup setup;
  TFontPtr font = LoadFont(kTrueType, 24);
  if (!font) GTEST_SKIP() << "no TrueType font at " << kTrueType;
  EXPECT_GE(FontTextHeight(font), 24);
  EXPECT_LE(FontTextHeight(font), 40);
  const int w = FontTextWidth(font, "Apply");
  EXPECT_EQ(w, FontTextWidth(font, "Ap") + FontTextWidth(font, "ply"));
  EXPECT_GT(w, FontTextWidth(font, "Appl"));
  SetImageFont(font);
  SetColor(80, 255, 80);
  DrawText("Apply", 30, 40);
  const TDrawRecord* text = setup.driver().FindText("Apply");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->font, font);
  EXPECT_EQ(text->x, 30.0f);
  EXPECT_EQ(text->y, 40.0f);
  EXPECT_EQ(text->state.color_red, 80);
  EXPECT_EQ(setup.driver().Count(TDrawKind::Glyph), 5);
  SetImageFont(nullptr);
}

TEST(Primitives, LinesReachTheirLastPixelAndShapesKeepOriginAndHandle) {
  TRecordingSetup setup;
  DrawLine(10, 20, 20, 20);
  DrawLine(10, 20, 20, 20, false);
  DrawLine(5, 5, 5, 5);  // a point-long line stays put
  auto lines = setup.driver().Find(TDrawKind::Line);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_FLOAT_EQ(lines[0]->x1, 10.5f);
  EXPECT_FLOAT_EQ(lines[1]->x1, 10.0f);
  EXPECT_FLOAT_EQ(lines[2]->x1, 0.0f);
  EXPECT_EQ(lines[0]->x, 10.0f);
  SetOrigin(3, 4);
  Plot(1, 1);
  DrawOval(0, 0, 8, 6);
  const TDrawRecord* plot = setup.driver().Find(TDrawKind::Plot).at(0);
  EXPECT_EQ(plot->x, 1.0f);
  EXPECT_EQ(plot->state.origin_y, 4.0f);
  const TDrawRecord* oval = setup.driver().Find(TDrawKind::Oval).at(0);
  EXPECT_EQ(oval->x1, 8.0f);
  EXPECT_EQ(oval->y1, 6.0f);
}

TEST(Primitives, ResetDrawStateKeepsTheDisplayGeometry) {
  TRecordingSetup setup;
  SetVirtualResolution(640, 480);
  SetColor(1, 2, 3);
  SetOrigin(9, 9);
  ResetDrawState();
  const TDrawState& s = DrawState();
  EXPECT_EQ(s.color_red, 255);
  EXPECT_EQ(s.origin_x, 0.0f);
  EXPECT_EQ(s.blend_mode, SOLIDBLEND);
  EXPECT_EQ(s.vres_width, 640.0f);
  EXPECT_EQ(s.g_width, 1600);
  EXPECT_EQ(s.viewport_w, 640);
}

// A face whose em is shrunk to 16 units draws its glyphs ~60 times too large for the size asked;
// its line height is kept sane through the hhea table, so only the glyphs are monstrous. Such a
// glyph keeps its advance but gets no picture (which would take megabytes), in both modes.
TEST(Font, GlyphsFarLargerThanTheFontKeepTheirAdvanceButGetNoPicture) {
  std::ifstream in(kTrueType, std::ios::binary);
  if (!in) GTEST_SKIP() << "no TrueType font at " << kTrueType;
  const std::string sane((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string bytes = sane;
  const auto u16 = [&](size_t at) { return size_t(uint8_t(bytes[at]) << 8 | uint8_t(bytes[at + 1])); };
  const auto put16 = [&](size_t at, int v) {
    bytes[at] = char(v >> 8 & 255);
    bytes[at + 1] = char(v & 255);
  };
  for (size_t i = 0; i < u16(4); ++i) {
    const size_t record = 12 + 16 * i;
    const size_t table = u16(record + 8) << 16 | u16(record + 10);
    if (bytes.compare(record, 4, "head") == 0) put16(table + 18, 16);  // units per em
    if (bytes.compare(record, 4, "hhea") == 0) {
      put16(table + 4, 12);           // ascender
      put16(table + 6, 0x10000 - 4);  // descender
      put16(table + 8, 0);            // line gap
    }
  }
  for (bool smooth : {false, true}) {
    const auto normal = MakeTrueTypeGlyphs(std::make_shared<const std::string>(sane), 24, smooth);
    const auto huge = MakeTrueTypeGlyphs(std::make_shared<const std::string>(bytes), 24, smooth);
    ASSERT_TRUE(normal && huge);
    EXPECT_LE(huge->Height(), 4 * 24 + 16);
    const TGlyphPicture w = huge->Render('W');
    EXPECT_TRUE(w.present);
    EXPECT_GT(w.advance, 1000);
    EXPECT_FALSE(w.picture);
    const TGlyphPicture fine = normal->Render('W');
    ASSERT_TRUE(fine.picture);
    EXPECT_GT(fine.picture->width, 15);
  }
}
