// PresentFrame played frame by frame: pacing on the manual clock, the hot keys, the overlay, the
// mouse pointer, floating messages and the exit hot key.
#include <gtest/gtest.h>

#include "base/program_state.h"
#include "base/settings.h"
#include "framework/present_frame.h"
#include "framework/screen_size.h"
#include "framework/setup_file.h"
#include "platform/files.h"
#include "platform/font.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "support/headless_game.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"
#include "ui/panel_state.h"

namespace {


std::vector<const TDrawRecord*> RecordsOfText(const TRecordingDriver& d, const std::string& text, int frame) {
  std::vector<const TDrawRecord*> out;
  for (const TDrawRecord* r : d.Find(TDrawKind::Text, frame))
    if (r->text == text) out.push_back(r);
  return out;
}

TEST(PresentFrame, PacesEveryFrameToThirtyAFrameWithoutCatchingUp) {
  THeadlessGame game;
  int64_t before = game.clock().NowMs();
  for (int i = 0; i < 40; ++i) {
    game.Frame();
    const int64_t now = game.clock().NowMs();
    // LastFrameTime - 2 + 33.33 in whole milliseconds after a 1 ms sleep: 32 ms a frame.
    EXPECT_EQ(now - before, 32) << "frame " << i;
    EXPECT_EQ(FrameTime, 32);
    before = now;
  }
  EXPECT_GE(FrameRate, 29);
  EXPECT_LE(FrameRate, 31);

  // A frame whose drawing took 100 ms ends after one more sleep, and the next is not shortened.
  BeginFrame(1);
  game.clock().Advance(100);
  PresentFrame(0);
  EXPECT_EQ(FrameTime, 101);
  EXPECT_EQ(FrameRate, (1000 / 101 + 2 * 29) / 3);
  before = game.clock().NowMs();
  game.Frame();
  EXPECT_EQ(game.clock().NowMs() - before, 32);
}

TEST(PresentFrame, FrameRateStartsFromZeroAndConvergesNearThirty) {
  THeadlessGame game;
  game.Frame();
  EXPECT_EQ(FrameRate, 10);  // (31 + 0) / 3: the first frame weighs a third
  for (int i = 0; i < 20; ++i) game.Frame();
  EXPECT_GE(FrameRate, 29);
  EXPECT_LE(FrameRate, 31);
}

TEST(PresentFrame, TabTogglesThePanelAndRewritesTheSetupFileEachPress) {
  THeadlessGame game;
  game.script().PressAt(2, VK_TAB).PressAt(8, VK_TAB);
  for (int i = 0; i < 5; ++i) game.Frame();
  EXPECT_EQ(PanelOpen, 1);
  EXPECT_EQ(FileType("../Setup.ini"), FILETYPE_FILE);
  EXPECT_EQ(FileType("Setup.ini"), FILETYPE_NONE);
  ASSERT_TRUE(DeleteFile("../Setup.ini"));
  for (int i = 0; i < 7; ++i) game.Frame();
  EXPECT_EQ(PanelOpen, 0);
  EXPECT_EQ(FileType("../Setup.ini"), FILETYPE_FILE);
  EXPECT_EQ(CurrentDir(), game.Root() + "/Files/003");
}

// A hand-written slow-system line outlives the frames that clear the flag and every save.
TEST(PresentFrame, TheSetupFilesSlowSystemAndFocusLinesSurviveSaves) {
  THeadlessGame game;
  ReadSetupLine("ESS");
  ReadSetupLine(" pauseonfocusloss = off");
  game.script().PressAt(2, VK_TAB).PressAt(6, VK_TAB);
  for (int i = 0; i < 10; ++i) game.Frame();
  EXPECT_EQ(Settings[7], 0);
  EXPECT_NE(game.ReadFile("Files/Setup.ini").find("\r\nESS=1 ; This is a slow system"), std::string::npos);
  EXPECT_NE(game.ReadFile("Files/Setup.ini").find("\r\nPauseOnFocusLoss = False\r\n"), std::string::npos);
  EXPECT_EQ(PauseOnFocusLoss, 0);
}

TEST(PresentFrame, F12TogglesTheOverlayAndItsTexts) {
  THeadlessGame game;
  SpriteBudget[1] = 1234;
  SpriteBudget[2] = 567;
  SpriteBudget[3] = 89;
  TImagePtr sprite = CreateImage(8, 8);
  game.script().PressAt(3, VK_F12);
  for (int frame = 0; frame < 6; ++frame) {
    BeginFrame(1);
    for (int i = 0; i < 3; ++i) DrawSprite(sprite, 100, 100, 0, 1);
    DrawGlowSprite(sprite, 100, 100, 0, sprite, 1.0f, 0.5f);
    DrawSprite(sprite, 100, 100, 0, 3);
    DrawSprite(sprite, 100, 100, 0, 3);
    PresentFrame(0);
  }
  TRecordingDriver& d = game.driver();
  // Pressed at frame 3: the press is read as that frame ends its drawing.
  for (int frame = 0; frame < 3; ++frame) {
    const TDrawRecord* images = d.FindText("Drawn Images : 4/1234", frame);
    ASSERT_NE(images, nullptr) << "frame " << frame;
    EXPECT_FLOAT_EQ(images->x, 2);
    EXPECT_FLOAT_EQ(images->y, 80);
    EXPECT_FLOAT_EQ(images->state.tform_scale_x, 1.5f);
    EXPECT_NE(d.FindText("Drawn Glow : 1/567", frame), nullptr);
    EXPECT_NE(d.FindText("Drawn Particles : 2/89", frame), nullptr);
    EXPECT_NE(d.FindText("Collection : 0", frame), nullptr);
    EXPECT_NE(d.FindText("Hit F12 to remove this", frame), nullptr);
    const TDrawRecord* memory = nullptr;
    for (const TDrawRecord* r : d.Find(TDrawKind::Text, frame))
      if (r->text.rfind("Used Memory : ", 0) == 0) memory = r;
    ASSERT_NE(memory, nullptr);
    EXPECT_FLOAT_EQ(memory->y, 60);
    EXPECT_GT(std::stol(memory->text.substr(14)), 0);
  }
  // The smoothed rate first: 0 before any frame ended, 10 after the first.
  for (int frame : {0, 1}) {
    const TDrawRecord* rate = d.FindText(frame == 0 ? "0" : "10", frame);
    ASSERT_NE(rate, nullptr) << "frame " << frame;
    EXPECT_FLOAT_EQ(rate->x, 2);
    EXPECT_FLOAT_EQ(rate->y, 2);
  }
  EXPECT_EQ(OverlayOn, 0);
  for (int frame = 3; frame < 6; ++frame) {
    EXPECT_EQ(d.FindText("Drawn Images : 4/1234", frame), nullptr);
    EXPECT_EQ(d.FindText("Hit F12 to remove this", frame), nullptr);
  }
}

TEST(PresentFrame, DrawsThePointerOnlyWhenAskedOrWithThePanelOpen) {
  THeadlessGame game;  // 800 x 600 drawn at 1280 x 960: a window pixel is 1.6 virtual pixels
  IconsFiltered = CreateImage(16, 16, 64);
  game.script().At(0, {EVENT_MOUSEMOVE, 0, 100, 50});
  game.Frame(0);
  game.Frame(1);
  game.Frame(0);
  PanelOpen = 1;
  game.Frame(0);
  TRecordingDriver& d = game.driver();
  // The open panel draws glows from the same sheet: the pointer is its frame 63.
  auto pointers = [&d](int frame) {
    std::vector<const TDrawRecord*> out;
    for (const TDrawRecord* r : d.ImageDraws(IconsFiltered, frame))
      if (r->image_frame == 63) out.push_back(r);
    return out;
  };
  EXPECT_TRUE(pointers(0).empty());
  EXPECT_TRUE(pointers(2).empty());
  for (int frame : {1, 3}) {
    auto pointer = pointers(frame);
    ASSERT_EQ(pointer.size(), 1u) << "frame " << frame;
    EXPECT_EQ(pointer[0]->image_frame, 63);
    EXPECT_FLOAT_EQ(pointer[0]->x, 160 + 12);
    EXPECT_FLOAT_EQ(pointer[0]->y, 80 + 12);
    EXPECT_FLOAT_EQ(pointer[0]->state.tform_scale_x, 1.5f);
    EXPECT_FLOAT_EQ(pointer[0]->state.tform_scale_y, 1.5f);
  }
  EXPECT_EQ(FrameMouseX, 160);
  EXPECT_EQ(FrameMouseY, 80);
}

// A click reaches the screen drawn under the pointer in the frame after it; while the settings
// panel is shown, a click over the panel reaches the panel alone and one below it the screen.
TEST(PresentFrame, AClickReachesTheScreenUnderThePointerAndNotThroughThePanel) {
  THeadlessGame game;  // 800 x 600 drawn at 1280 x 960
  auto click = [&game](int frame, int x, int y) {
    game.script()
        .At(frame, {EVENT_MOUSEMOVE, 0, x, y})
        .At(frame, {EVENT_MOUSEDOWN, 1, 0, 0})
        .At(frame + 1, {EVENT_MOUSEUP, 1, 0, 0});
  };
  auto clicks_seen = [&game](int frames) {
    int seen = 0;
    for (int i = 0; i < frames; ++i) {
      game.Frame(1);
      seen += ClickLeft;  // what the screen reads while drawing its next frame
    }
    return seen;
  };
  click(2, 400, 100);
  EXPECT_EQ(clicks_seen(5), 1);

  game.script().PressAt(5, VK_TAB);
  EXPECT_EQ(clicks_seen(20), 0);
  ASSERT_EQ(PanelOffset, 20);
  click(26, 400, 100);  // virtual y 160: on the panel, which ends at 320
  click(30, 400, 500);  // virtual y 800: below it
  EXPECT_EQ(clicks_seen(3), 0);
  EXPECT_EQ(clicks_seen(5), 1);
}

TEST(PresentFrame, EscapeOnTheTitleOpensNoPauseMenu) {
  THeadlessGame game;
  GameState = 0;
  game.script().KeyDownAt(1, VK_ESCAPE);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(game.Frame(), 0);
  EXPECT_EQ(KeyDown(VK_ESCAPE), 1);
  EXPECT_EQ(game.driver().flips, 10);  // no menu frames in between
  EXPECT_EQ(GameState, 0);
}

TEST(PresentFrame, FloatingMessagesHighlightThenFadeAndStackUpwards) {
  THeadlessGame game;
  PostMessage("Older message");
  for (int i = 0; i < 10; ++i) game.Frame();
  PostMessage("Newer one");
  for (int i = 10; i < 200; ++i) game.Frame();

  TRecordingDriver& d = game.driver();
  UseFont(1, 4);
  const int h = TextHeight();
  const float bottom = float(VirtualHeight - h);
  auto check = [&](const std::string& text, int frame, float y, bool fresh) {
    auto texts = RecordsOfText(d, text, frame);
    ASSERT_EQ(texts.size(), 1u) << text << " frame " << frame;
    const TDrawRecord& t = *texts[0];
    EXPECT_FLOAT_EQ(t.x, 0);
    EXPECT_FLOAT_EQ(t.y, y) << text << " frame " << frame;
    EXPECT_EQ(t.state.color_red, fresh ? 0 : 255) << text << " frame " << frame;
    EXPECT_EQ(t.state.color_blue, fresh ? 0 : 255);
    EXPECT_FLOAT_EQ(t.state.color_alpha, 1.0f);
    // The backing is the last rectangle drawn before the text, its width the text's.
    const TDrawRecord* backing = nullptr;
    for (const TDrawRecord& r : d.records) {
      if (&r == &t) break;
      if (r.kind == TDrawKind::Rect && r.frame == frame) backing = &r;
    }
    ASSERT_NE(backing, nullptr);
    EXPECT_FLOAT_EQ(backing->y, y);
    EXPECT_FLOAT_EQ(backing->x1 - backing->x0, float(TextWidth(text)));
    EXPECT_FLOAT_EQ(backing->y1 - backing->y0, float(h));
    EXPECT_EQ(backing->state.color_red, fresh ? 255 : 0) << text << " frame " << frame;
    EXPECT_EQ(backing->state.color_green, fresh ? 255 : 0);
    EXPECT_EQ(backing->state.color_blue, 0);
    EXPECT_FLOAT_EQ(backing->state.color_alpha, fresh ? 0.7f : 0.5f);
  };
  check("Older message", 0, bottom, true);
  check("Older message", 58, bottom, true);   // tick 59
  check("Older message", 59, bottom, false);  // tick 60
  check("Newer one", 10, bottom - float(h), true);  // above the older one
  check("Newer one", 68, bottom - float(h), true);
  check("Newer one", 69, bottom - float(h), false);
  check("Older message", 179, bottom, false);  // its 180th and last frame
  EXPECT_TRUE(RecordsOfText(d, "Older message", 180).empty());
  check("Newer one", 180, bottom, false);  // drops to the bottom once alone
  check("Newer one", 189, bottom, false);
  EXPECT_TRUE(RecordsOfText(d, "Newer one", 190).empty());
  EXPECT_TRUE(MessageList.empty());
}

// The exit hot key and the window's close request end the program through the farewell.
void ExpectFarewellExit(THeadlessGame& game) {
  const int code = RunInChild([&] {
    for (int i = 0; i < 100; ++i) game.Frame();
  });
  EXPECT_EQ(code, 0);
  EXPECT_NE(game.ReadFile("Files/Setup.ini").find("Width=800"), std::string::npos);
  const std::string log = game.Log();
  ASSERT_GE(log.size(), 22u);
  EXPECT_EQ(log.substr(log.size() - 22), "\r\nPlay again, soon!!\r\n");
}

TEST(PresentFrame, AltF4EndsTheProgramThroughTheFarewell) {
  THeadlessGame game;
  game.script().KeyDownAt(3, VK_LEFT_ALT).KeyDownAt(4, VK_F4);
  ExpectFarewellExit(game);
}

TEST(PresentFrame, TheWindowsCloseRequestEndsTheProgramThroughTheFarewell) {
  THeadlessGame game;
  // The request is taken by PresentFrame; the farewell then waits for a key.
  game.script().CloseAt(3).AtTime(60000, {EVENT_KEYDOWN, 32, 0, 0});
  ExpectFarewellExit(game);
}

}  // namespace
