// The title screen played headless: which presses start a game and when, the world chooser's
// limits, Escape held out of a game, the panel taking the keys, the About page and the login text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/sound_effects.h"
#include "base/program_state.h"
#include "frontend/main_program.h"
#include "frontend/title_screen.h"
#include "game/game_state.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "scores/score_file.h"
#include "support/headless_game.h"
#include "support/sound_fixtures.h"
#include "ui/controls.h"
#include "ui/panel_state.h"

namespace {

// The blip every title action plays, told apart by its pitch: 1.5 starts a session.
constexpr float kStartPitch = 1.5f;

struct TTitle {
  THeadlessGame game;
  TTitle() {
    const std::string blip = game.Root() + "/Files/003/098.wav";
    WriteBytes(blip, MakeWav(1, 22050, Tone(100, 1, 22050, 440, 8000)));
    SfxTable[98] = LoadSound(blip, 0);
    Play(16);  // slid in
  }
  // Runs title frames; false once one of them ended the screen.
  bool Play(int frames) {
    for (int i = 0; i < frames; ++i)
      if (!TitleFrame()) return false;
    return true;
  }
  // Pitches of the blips played so far, oldest first.
  std::vector<float> Blips() const {
    std::vector<float> pitches;
    for (int slot = SFX_RING_FIRST + 1; slot <= NextSfxSlot; ++slot)
      pitches.push_back(static_cast<TRecordedChannel&>(*ChannelTable[size_t(slot)]).rate);
    return pitches;
  }
  // Leaves a game started by then through the pause menu (Escape, Down to "Quit", Space) and
  // keeps the name at the prompt (Return). Timed on the clock, since the menu's wait for Escape
  // to be let go and the pause after "Game Over" show no frames.
  void QuitGameAfter(int ms) {
    const int t = Millisecs() + ms;
    for (auto [key, at] : {std::pair{VK_ESCAPE, 0}, {VK_DOWN, 300}, {VK_SPACE, 600}, {VK_RETURN, 2600}}) {
      game.script().AtTime(t + at, {EVENT_KEYDOWN, key, 0, 0});
      game.script().AtTime(t + at + 100, {EVENT_KEYUP, key, 0, 0});
    }
  }
  int Sessions() const {
    int n = 0;
    for (float p : Blips()) n += p == kStartPitch;
    return n;
  }
};

// Fire keys and Return start a game on any port, and one frame after the title first sees them;
// the world chooser's keys on ports 1 and 2 act on their press and never start one. A key held
// through the (empty) game does not start another.
TEST(TitleScreen, WhichPressesStartAGame) {
  struct TCase {
    const char* name;
    int slot;  // bound to the key first; -1 for none
    int key;
    bool starts;
  } cases[] = {
      {"Return", -1, VK_RETURN, true},         {"fire 1 (Z)", -1, 'Z', true},
      {"fire 4 (V)", -1, 'V', true},           {"left on port 1", -1, VK_LEFT, false},
      {"down on port 1", -1, VK_DOWN, false},  {"up on port 2", 20, 'Q', false},
      {"left on port 3", 43, 'A', true},       {"fire 1 on port 4", 70, 'K', true},
  };
  for (const TCase& c : cases) {
    TTitle t;
    if (c.slot >= 0) ControlTable[size_t(c.slot)] = c.key;
    t.game.script().PressAt(FrameCount(), c.key, 6);
    if (c.starts) t.QuitGameAfter(500);
    int seen_at = -1, started_at = -1;
    for (int frame = 0; frame < 12; ++frame) {
      if (seen_at < 0 && KeyDown(c.key)) seen_at = frame;
      const int before = t.Sessions();
      ASSERT_TRUE(t.Play(1));
      if (started_at < 0 && t.Sessions() > before) started_at = frame;
    }
    EXPECT_EQ(t.Sessions(), c.starts ? 1 : 0) << c.name;
    if (c.starts) {
      EXPECT_EQ(started_at, seen_at + 1) << c.name;
    }
    EXPECT_EQ(GameState, 0) << c.name;
  }
}

TEST(TitleScreen, TheWorldChooserStaysWithinOneAndTheLimit) {
  TTitle t;
  StartWorldLimit = 3;
  StartWorld = 1;
  struct TStep {
    int key;
    int world;
    float pitch;
  } steps[] = {{VK_LEFT, 1, 0.9f}, {VK_RIGHT, 2, 1.1f}, {VK_RIGHT, 3, 1.1f}, {VK_RIGHT, 3, 1.1f},
               {VK_LEFT, 2, 0.9f}};
  for (const TStep& s : steps) {
    t.game.script().PressAt(FrameCount(), s.key, 4);  // held several frames: one step per press
    t.Play(8);
    EXPECT_EQ(StartWorld, s.world);
    ASSERT_FALSE(t.Blips().empty());
    EXPECT_FLOAT_EQ(t.Blips().back(), s.pitch);
  }
  EXPECT_EQ(t.Blips().size(), std::size(steps));
  // Worlds past the limit are drawn in red, the chosen one in light cyan.
  const auto* chosen = t.game.driver().FindText("2", FrameCount() - 1);
  const auto* locked = t.game.driver().FindText("4", FrameCount() - 1);
  ASSERT_TRUE(chosen && locked);
  auto rgb = [](const TDrawRecord* r) {
    return std::vector<int>{r->state.color_red, r->state.color_green, r->state.color_blue};
  };
  EXPECT_EQ(rgb(chosen), (std::vector<int>{180, 255, 255}));
  EXPECT_EQ(rgb(locked), (std::vector<int>{180, 0, 0}));
}

// Escape pressed as a game ends, and held on into the title, must be let go and pressed again
// before it leaves the title screen.
TEST(TitleScreen, EscapeHeldOutOfAGameLeavesOnlyAfterAFreshPress) {
  TTitle t;
  // Holds Escape from the first poll back on the title screen after the game.
  struct TEscapeAfterGame : TEventSource {
    bool posted = false;
    void Pump() override {
      if (!posted && Game.EndReason == END_QUIT && SlideIn == 0) {
        PostEvent({EVENT_KEYDOWN, VK_ESCAPE, 0, 0});
        posted = true;
      }
    }
  } escape;
  AddEventSource(&escape);
  t.game.script().PressAt(FrameCount(), VK_RETURN, 3);
  t.QuitGameAfter(500);
  const bool stayed = t.Play(5);
  EXPECT_TRUE(escape.posted);
  EXPECT_EQ(KeyDown(VK_ESCAPE), 1);
  EXPECT_TRUE(stayed);
  EXPECT_EQ(t.Sessions(), 1);
  t.game.script().KeyUpAt(FrameCount(), VK_ESCAPE).PressAt(FrameCount() + 3, VK_ESCAPE);
  EXPECT_FALSE(t.Play(8));
  RemoveEventSource(&escape);
}

// While the settings panel is shown its buttons take the keys: the world stays, E opens no
// editor, and a fire key bound there starts nothing when the panel closes.
TEST(TitleScreen, TheShownPanelKeepsTheTitlesKeys) {
  TTitle t;
  StartWorldLimit = 5;
  StartWorld = 3;
  const int now = FrameCount();
  t.game.script()
      .PressAt(now, VK_TAB)
      .PressAt(now + 12, VK_LEFT)
      .PressAt(now + 16, 'E')
      .KeyDownAt(now + 20, 'Z')
      .PressAt(now + 22, VK_TAB)
      .KeyUpAt(now + 40, 'Z');
  t.Play(45);
  EXPECT_EQ(StartWorld, 3);
  EXPECT_EQ(t.Sessions(), 0);
  EXPECT_FALSE(PanelShown());
}

// Escape while the panel is shown closes the panel and leaves the title running; the next
// press leaves.
TEST(TitleScreen, EscapeClosesTheShownPanelFirst) {
  TTitle t;
  const int now = FrameCount();
  t.game.script().PressAt(now, VK_TAB).PressAt(now + 12, VK_ESCAPE, 4);
  EXPECT_TRUE(t.Play(30));
  EXPECT_FALSE(PanelShown());
  t.game.script().PressAt(FrameCount(), VK_ESCAPE);
  EXPECT_FALSE(t.Play(4));
}

// The start prompt names what starts a game: Return when fire 1 is unbound, a pad's button with
// its pad.
TEST(TitleScreen, TheStartPromptNamesWhatStarts) {
  TTitle t;
  for (const auto& [code, text] : {std::pair<int, std::string>{0, "Return"}, {331, "Pad 1 Button 1"}, {90, "Z"}}) {
    ControlTable[10] = code;
    t.Play(1);
    EXPECT_NE(t.game.driver().FindText("Press Start (" + text + ") To Begin", FrameCount() - 1), nullptr) << code;
  }
}

TEST(TitleScreen, TheAboutPageAndTheCleanedLogin) {
  TTitle t;
  UserName = "sheep:herder*1";
  t.game.script().PressAt(FrameCount(), '3');
  t.Play(4);
  EXPECT_EQ(TitleTab, TAB_ABOUT);
  EXPECT_EQ(UserName, "sheep_herder_1");
  const int last = FrameCount() - 1;
  const auto* first = t.game.driver().FindText(AboutText[1], last);
  const auto* final = t.game.driver().FindText(AboutText[31], last);
  ASSERT_TRUE(first && final);
  EXPECT_EQ(first->y, 115);
  EXPECT_EQ(final->y, 715);
  EXPECT_EQ(AboutCount, 32);
  // The Hiscores caption is gone and the tab's blip played an octave up.
  EXPECT_EQ(t.game.driver().FindText("Hiscores", last), nullptr);
  EXPECT_FLOAT_EQ(t.Blips().back(), 2.0f);
  // The default build has no Online tab: no caption, and 2 chooses nothing.
  EXPECT_EQ(t.game.driver().FindText("2.Online", last), nullptr);
  t.game.script().PressAt(FrameCount(), '2');
  t.Play(4);
  EXPECT_EQ(TitleTab, TAB_ABOUT);
}

}  // namespace
