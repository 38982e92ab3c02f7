// The OpenGL driver in a private Xvfb, judged by pixels read back from the back buffer: alpha
// clamping, masking, light blending, the virtual resolution, text, the mouse scaling, and a clean
// failure when there is no X server.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/font.h"
#include "platform/image.h"
#include "platform/input.h"
#include "support/xvfb_server.h"

namespace {

int Red(uint32_t argb) { return int(argb >> 16 & 0xff); }
int Green(uint32_t argb) { return int(argb >> 8 & 0xff); }
int Blue(uint32_t argb) { return int(argb & 0xff); }

uint32_t PixelAt(int x, int y) {
  TPixmapPtr p = GrabPixmap(x, y, 1, 1);
  return p ? ReadPixel(*p, 0, 0) : 0xdeadbeefu;
}

TImagePtr SolidImage(int w, int h, uint32_t argb, bool has_alpha, int flags) {
  TPixmapPtr p = CreatePixmap(w, h, argb, has_alpha);
  return CreateImageFromPixmaps({p}, flags);
}

class GLPixels : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TXvfbServer::Available()) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(server_.Start());
    ResetInput();
    UseOpenGLDriver();
  }
  void TearDown() override {
    CloseGraphics();
    ResetDrawState();
    server_.Stop();
  }
  bool Open(int w, int h) {
    if (!OpenGraphics(w, h, 0, 60, 0)) return false;
    ResetDrawState();
    SetClsColor(0, 0, 0);
    Cls();
    return true;
  }
  // A 400 x 100 window writing in yellow DejaVu Sans at 32 pixels; false without the font.
  bool YellowText() {
    TFontPtr font = LoadFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 32);
    if (!font) return false;
    EXPECT_TRUE(Open(400, 100));
    SetBlend(ALPHABLEND);
    SetImageFont(font);
    SetColor(255, 255, 0);
    return true;
  }
  TXvfbServer server_;
};

}  // namespace

TEST_F(GLPixels, AlphaIsClampedAndVirtualPixelsScaleOntoTheWindow) {
  ASSERT_TRUE(Open(200, 100));
  SetVirtualResolution(100, 50);  // one virtual pixel is 2 x 2 real pixels
  SetBlend(ALPHABLEND);
  SetColor(255, 255, 255);
  SetAlpha(1.7f);
  DrawRect(0, 0, 10, 10);
  SetColor(255, 0, 0);
  SetAlpha(-0.3f);
  DrawRect(0, 0, 10, 10);  // fully transparent: leaves the white
  EXPECT_EQ(PixelAt(0, 0) & 0xffffffu, 0xffffffu);
  EXPECT_EQ(PixelAt(19, 19) & 0xffffffu, 0xffffffu);
  EXPECT_EQ(PixelAt(21, 21) & 0xffffffu, 0u);
  // Rotation about the handle: a 20 x 2 bar turned 90 degrees stands upright.
  SetAlpha(1.0f);
  SetColor(0, 255, 0);
  SetHandle(10, 1);
  SetRotation(90);
  DrawRect(70, 25, 20, 2);
  SetRotation(0);
  SetHandle(0, 0);
  EXPECT_EQ(Green(PixelAt(140, 32)), 255);
  EXPECT_EQ(Green(PixelAt(140, 68)), 255);
  EXPECT_EQ(Green(PixelAt(124, 50)), 0);
  Flip(0);
  EXPECT_EQ(FrameCount(), 1);
}

TEST_F(GLPixels, MaskedBlackIsTransparentOnlyWithTheMaskFlag) {
  ASSERT_TRUE(Open(120, 60));
  SetClsColor(200, 0, 0);
  Cls();
  TPixmapPtr p = CreatePixmap(20, 20, 0xff000000u, false);  // black, no alpha channel
  for (int x = 10; x < 20; ++x)
    for (int y = 0; y < 20; ++y) WritePixel(*p, x, y, 0xffffffffu);
  TImagePtr masked = CreateImageFromPixmaps({p}, MASKEDIMAGE);
  TImagePtr unmasked = CreateImageFromPixmaps({p}, 0);
  SetBlend(ALPHABLEND);
  DrawImage(masked, 0, 0);
  DrawImage(unmasked, 40, 0);
  SetBlend(MASKBLEND);
  DrawImage(masked, 80, 0);
  EXPECT_EQ(PixelAt(5, 5) & 0xffffffu, 0xc80000u);   // masked black: background shows
  EXPECT_EQ(PixelAt(15, 5) & 0xffffffu, 0xffffffu);
  EXPECT_EQ(PixelAt(45, 5) & 0xffffffu, 0u);         // unmasked black is drawn
  EXPECT_EQ(PixelAt(85, 5) & 0xffffffu, 0xc80000u);  // mask blend drops it by the alpha test
  EXPECT_EQ(PixelAt(95, 5) & 0xffffffu, 0xffffffu);
}

TEST_F(GLPixels, LightBlendAddsColourTimesAlphaUpToWhite) {
  ASSERT_TRUE(Open(120, 60));
  TImagePtr white = SolidImage(16, 16, 0xffffffffu, true, 0);
  SetBlend(LIGHTBLEND);
  SetAlpha(0.4f);
  DrawImage(white, 0, 0);
  DrawImage(white, 40, 0);
  DrawImage(white, 40, 0);
  DrawImage(white, 80, 0);
  DrawImage(white, 80, 0);
  DrawImage(white, 80, 0);
  const int once = Red(PixelAt(8, 8));
  const int twice = Red(PixelAt(48, 8));
  EXPECT_NEAR(once, 102, 1);  // round(0.4 * 255)
  EXPECT_NEAR(twice, 204, 2);
  EXPECT_EQ(Red(PixelAt(88, 8)), 255);
  EXPECT_EQ(Blue(PixelAt(8, 30)), 0);
}

TEST_F(GLPixels, TextDrawsAndTheMouseReadsInVirtualPixels) {
  ASSERT_TRUE(Open(1280, 960));
  SetVirtualResolution(640, 480);
  SetImageFont(nullptr);
  SetBlend(ALPHABLEND);
  DrawText("Apply", 10, 10);
  TPixmapPtr area = GrabPixmap(0, 0, 2 * (10 + TextWidth("Apply")), 2 * (10 + TextHeight()));
  ASSERT_TRUE(area);
  int lit = 0;
  for (uint32_t px : area->pixels) lit += (px & 0xffffffu) != 0;
  EXPECT_GT(lit, 100);

  MoveMouse(320, 240);
  const time_t deadline = time(nullptr) + 20;
  while (MouseX() != 640 && time(nullptr) < deadline) Flip(0);
  EXPECT_EQ(MouseX(), 640);
  EXPECT_EQ(MouseY(), 480);
  EXPECT_FLOAT_EQ(VirtualMouseX(), 320.0f);
  EXPECT_FLOAT_EQ(VirtualMouseY(), 240.0f);
}

TEST(GLNoDisplay, OpeningWithoutAnXServerFailsAndSaysSo) {
  const char* old = std::getenv("DISPLAY");
  const std::string saved = old ? old : "";
  setenv("DISPLAY", ":4999", 1);  // nothing listens there
  UseOpenGLDriver();
  testing::internal::CaptureStderr();
  const bool opened = OpenGraphics(640, 480, 0, 60, 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(opened);
  EXPECT_FALSE(GraphicsOpen());
  EXPECT_NE(err.find("can't open the X display"), std::string::npos) << err;
  unsetenv("DISPLAY");
  EXPECT_FALSE(OpenGraphics(640, 480, 0, 60, 0));
  if (old) setenv("DISPLAY", saved.c_str(), 1);
}

namespace {

// Flips until the condition holds or 20 seconds pass; true when it held.
template <typename Condition>
bool FlipUntil(Condition done) {
  const time_t deadline = time(nullptr) + 20;
  while (!done()) {
    if (time(nullptr) > deadline) return false;
    Flip(0);
  }
  return true;
}

}  // namespace

TEST_F(GLPixels, WindowEventsReachTheInputQueueAsGameCodes) {
  ASSERT_TRUE(Open(320, 200));
  Flip(0);
  ASSERT_EQ(std::system("xdotool mousemove 100 50"), 0);
  EXPECT_TRUE(FlipUntil([] { return MouseX() == 100 && MouseY() == 50; }));
  ASSERT_EQ(std::system("xdotool keydown Left"), 0);
  EXPECT_TRUE(FlipUntil([] { return KeyDown(37) == 1; }));
  ASSERT_EQ(std::system("xdotool keyup Left key a click 3"), 0);
  EXPECT_TRUE(FlipUntil([] { return KeyDown(37) == 0 && MouseHit(2) > 0; }));
  EXPECT_EQ(KeyHit(37), 1);  // held, released: one press
  EXPECT_EQ(KeyHit(65), 1);
  EXPECT_EQ(GetChar(), 'a');
}

TEST_F(GLPixels, FullScreenAtTheDesktopSizeOpensDrawsAndCloses) {
  ASSERT_TRUE(GraphicsModeExists(1600, 1200, 0, 0));
  ASSERT_TRUE(OpenGraphics(1600, 1200, 32, 60, 0));
  SetClsColor(0, 0, 255);
  Cls();
  EXPECT_EQ(PixelAt(1599, 1199) & 0xffffffu, 0x0000ffu);
  Flip(0);
  CloseGraphics();
  EXPECT_FALSE(OpenGraphics(1024, 768, 32, 60, 0));  // no such mode: refused, nothing open
  EXPECT_FALSE(GraphicsOpen());
  EXPECT_TRUE(Open(640, 480));
}

TEST_F(GLPixels, FilteredStripFramesDoNotBleedAndGrabbedImagesRedraw) {
  ASSERT_TRUE(Open(200, 100));
  TPixmapPtr red = CreatePixmap(8, 8, 0xffff0000u, true);
  TPixmapPtr green = CreatePixmap(8, 8, 0xff00ff00u, true);
  TImagePtr strip = CreateImageFromPixmaps({red, green, red}, FILTEREDIMAGE);
  SetBlend(ALPHABLEND);
  SetScale(4, 4);
  DrawImage(strip, 10, 10, 0);  // 32 x 32 of red whose neighbour in the texture is green
  DrawImage(strip, 50, 10, 1);
  SetScale(1, 1);
  for (int x : {10, 25, 41}) {
    EXPECT_EQ(Green(PixelAt(x, 10)), 0) << x;
    EXPECT_EQ(Red(PixelAt(x, 41)), 255) << x;
  }
  EXPECT_EQ(Red(PixelAt(50, 10)), 0);
  EXPECT_EQ(Green(PixelAt(81, 41)), 255);

  // A dynamic image takes what the back buffer shows and draws it elsewhere.
  TImagePtr copy = CreateImage(40, 40, 1, DYNAMICIMAGE);
  GrabImage(copy, 50, 10);
  SetClsColor(0, 0, 0);
  Cls();
  DrawImage(copy, 120, 50);
  EXPECT_EQ(Green(PixelAt(125, 55)), 255);
  EXPECT_EQ(Green(PixelAt(50, 10)), 0);
}

TEST_F(GLPixels, TrueTypeTextRendersThroughItsGlyphPages) {
  if (!YellowText()) GTEST_SKIP() << "no TrueType font installed";
  DrawText("Apply", 10, 10);
  DrawText("Quit", 10, 50);  // more glyphs added to the page after the first draw
  TPixmapPtr area = GrabPixmap(0, 0, 400, 100);
  SetImageFont(nullptr);
  ASSERT_TRUE(area);
  int top = 0;
  int bottom = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 400; ++x) {
      const uint32_t px = ReadPixel(*area, x, y);
      const bool lit = Red(px) > 128 && Green(px) > 128 && Blue(px) < 64;
      (y < 50 ? top : bottom) += lit;
    }
  EXPECT_GT(top, 150);
  EXPECT_GT(bottom, 100);
  EXPECT_EQ(ReadPixel(*area, 399, 99) & 0xffffffu, 0u);
}

// A glyph page starts low and grows as shelves fill: the glyphs already on it come along to the
// same places, so a text drawn before the page grew draws the same pixels after.
TEST_F(GLPixels, TextDrawsTheSameAfterItsGlyphPageGrows) {
  if (!YellowText()) GTEST_SKIP() << "no TrueType font installed";
  DrawText("Apply", 10, 10);
  TPixmapPtr before = GrabPixmap(0, 0, 400, 100);
  std::string every;
  for (char c = 33; c < 127; ++c) every += c;
  Cls();
  DrawText(every, 0, 50);  // a hundred glyphs more than one shelf holds
  TPixmapPtr crowd = GrabPixmap(0, 0, 400, 100);
  Cls();
  DrawText("Apply", 10, 10);
  TPixmapPtr after = GrabPixmap(0, 0, 400, 100);
  SetImageFont(nullptr);
  ASSERT_TRUE(before && crowd && after);
  EXPECT_EQ(before->pixels, after->pixels);
  int lit = 0;
  for (uint32_t px : crowd->pixels) lit += Red(px) > 128 && Blue(px) < 64;
  EXPECT_GT(lit, 300);
}

// A clear waits for the frame's first draw: only an opaque quad over the whole window, which
// hides it, lets it be left out; a partial or see-through one, a grab and a flip all get it.
TEST_F(GLPixels, AClearIsLeftOutOnlyUnderAnOpaqueQuadOverTheWholeWindow) {
  ASSERT_TRUE(Open(100, 50));
  TImagePtr blue = SolidImage(100, 50, 0xff0000ffu, false, 0);
  SetBlend(SOLIDBLEND);
  DrawImage(blue, 0, 0);
  SetClsColor(255, 0, 0);
  Cls();
  DrawImage(blue, 50, 0);  // half the window: the clear shows beside it
  EXPECT_EQ(PixelAt(10, 10) & 0xffffffu, 0xff0000u);
  EXPECT_EQ(PixelAt(60, 10) & 0xffffffu, 0x0000ffu);
  SetClsColor(0, 255, 0);
  Cls();
  DrawImage(blue, 0, 0);  // the whole window, opaque: nothing of the clear could show
  EXPECT_EQ(PixelAt(10, 10) & 0xffffffu, 0x0000ffu);
  Cls();
  SetBlend(ALPHABLEND);
  SetAlpha(0.5f);
  DrawImage(blue, 0, 0);  // the whole window, half see-through: over the clear's green
  SetAlpha(1.0f);
  EXPECT_GT(Green(PixelAt(10, 10)), 100);
  EXPECT_GT(Blue(PixelAt(10, 10)), 100);
  SetClsColor(0, 0, 0);
  Cls();
  EXPECT_EQ(PixelAt(10, 10) & 0xffffffu, 0u);  // a grab with nothing drawn
}
