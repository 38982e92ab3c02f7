// The settings panel played headless in a 1280 x 960 window, where window and virtual pixels are
// the same: the full-screen option, the resolution chooser's wrap, the volume sliders' snapping
// the quality line and the control buttons.
#include <gtest/gtest.h>

#include "base/settings.h"
#include "framework/display_modes.h"
#include "framework/screen_size.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "support/headless_game.h"
#include "ui/controls.h"
#include "ui/panel_state.h"

namespace {

struct TOpenPanel {
  THeadlessGame game{[] {
    THeadlessOptions options;
    options.width = 1280;
    options.height = 960;
    return options;
  }()};
  TOpenPanel() {
    game.script().PressAt(0, VK_TAB);
    for (int i = 0; i < 12; ++i) game.Frame(1);
  }
  // Plays frames from the present one with events at frame offsets. The panel sees the pointer
  // the frame after the one whose end took it in: a move shows two frames on.
  void Play(int frames, std::initializer_list<std::pair<int, TEvent>> events) {
    const int now = FrameCount();
    for (const auto& e : events) game.script().At(now + e.first, e.second);
    for (int i = 0; i < frames; ++i) game.Frame(1);
  }
  bool Shows(const std::string& text) { return game.driver().FindText(text, FrameCount() - 1) != nullptr; }
};

TEST(SettingsPanel, AClickOnWindowedFlipsFullScreenAndBack) {
  TOpenPanel p;
  ASSERT_EQ(PanelOffset, 20);
  EXPECT_TRUE(p.Shows("Windowed"));
  for (int expected : {1, 0}) {
    p.Play(4, {{0, {EVENT_MOUSEMOVE, 0, 30, 60}}, {0, {EVENT_MOUSEDOWN, 1, 0, 0}}, {1, {EVENT_MOUSEUP, 1, 0, 0}}});
    EXPECT_EQ(Settings[1], expected);
    EXPECT_TRUE(p.Shows(expected == 1 ? "Fullscreen" : "Windowed"));
  }
}

TEST(SettingsPanel, AClickOnGameSpeedStepsItDownAndRoundAgain) {
  TOpenPanel p;
  EXPECT_TRUE(p.Shows("Game Speed"));
  EXPECT_TRUE(p.Shows("100 %"));
  for (auto [speed, caption] : {std::pair{1, "85 %"}, {2, "70 %"}, {3, "55 %"}, {0, "100 %"}}) {
    p.Play(4, {{0, {EVENT_MOUSEMOVE, 0, 30, 236}}, {0, {EVENT_MOUSEDOWN, 1, 0, 0}}, {1, {EVENT_MOUSEUP, 1, 0, 0}}});
    EXPECT_EQ(Settings[SET_GAME_SPEED], speed);
    EXPECT_TRUE(p.Shows(caption)) << caption;
  }
}

TEST(SettingsPanel, TheResolutionChooserWrapsAtBothEnds) {
  TOpenPanel p;
  ModeCount = 3;
  ModeWidths = {0, 800, 1024, 1280};
  ModeHeights = {0, 600, 768, 1024};
  Settings[4] = 3;
  p.Play(4, {{0, {EVENT_MOUSEMOVE, 0, 30, 100}}, {0, {EVENT_KEYDOWN, VK_RIGHT, 0, 0}}, {1, {EVENT_KEYUP, VK_RIGHT, 0, 0}}});
  EXPECT_EQ(Settings[4], 1);
  EXPECT_EQ(Settings[5], 800);
  EXPECT_TRUE(p.Shows("800x600"));
  EXPECT_TRUE(p.Shows("Small (Bit blurry)"));
  p.Play(4, {{0, {EVENT_KEYDOWN, VK_LEFT, 0, 0}}, {1, {EVENT_KEYUP, VK_LEFT, 0, 0}}});
  EXPECT_EQ(Settings[4], 3);
  EXPECT_EQ(Settings[6], 1024);
  EXPECT_TRUE(p.Shows("Bigger! (High-Definition!)"));
}

TEST(SettingsPanel, VolumesSnapToTheirEnds) {
  TOpenPanel p;
  const int x = VirtualWidth - 280;  // the master slider's track starts here, at y 90
  p.Play(1, {{0, {EVENT_MOUSEDOWN, 1, 0, 0}}});
  for (const auto& [mouse, stored] : {std::pair{x + 2, 0}, {x + 95, 100}, {x + 48, 50}, {x + 4, 6}}) {
    p.Play(3, {{0, {EVENT_MOUSEMOVE, 0, mouse, 95}}});
    EXPECT_EQ(Settings[11], stored) << "mouse at " << mouse - x;
  }
  p.Play(3, {{0, {EVENT_MOUSEUP, 1, 0, 0}}, {0, {EVENT_MOUSEMOVE, 0, x + 60, 95}}});
  EXPECT_EQ(Settings[11], 6);
}

// Hovering player 1's Up button binds what is pressed, the lowest key of several; Backspace
// unbinds, and the button then asks for one.
TEST(SettingsPanel, AHoveredControlButtonBindsThePressedKey) {
  TOpenPanel p;
  const TEvent a_down{EVENT_KEYDOWN, 'A', 0, 0}, z_down{EVENT_KEYDOWN, 'Z', 0, 0};
  p.Play(4, {{0, {EVENT_MOUSEMOVE, 0, 320, 50}}, {2, z_down}, {2, a_down}});
  EXPECT_EQ(ControlTable[0], 'A');
  EXPECT_TRUE(p.Shows("A"));
  p.Play(4, {{0, {EVENT_KEYUP, 'A', 0, 0}}, {0, {EVENT_KEYUP, 'Z', 0, 0}},
             {1, {EVENT_KEYDOWN, VK_BACKSPACE, 0, 0}}, {2, {EVENT_KEYUP, VK_BACKSPACE, 0, 0}}});
  EXPECT_EQ(ControlTable[0], 0);
  EXPECT_TRUE(p.Shows("?!"));
  EXPECT_EQ(ControlTable[3], VK_LEFT);  // its neighbours keep theirs
}

// Tab and Escape pressed over a control button do what they always do, close the panel, and bind
// nothing.
TEST(SettingsPanel, HotKeysAreNotBound) {
  for (int key : {VK_TAB, VK_ESCAPE}) {
    TOpenPanel p;
    p.Play(6, {{0, {EVENT_MOUSEMOVE, 0, 320, 50}}, {2, {EVENT_KEYDOWN, key, 0, 0}}, {4, {EVENT_KEYUP, key, 0, 0}}});
    EXPECT_EQ(ControlTable[0], VK_UP) << key;
    EXPECT_EQ(PanelOpen, 0) << key;
  }
}

}  // namespace
