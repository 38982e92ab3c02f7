// Game pads through the real screens: a standard pad plugged into a fresh setup starts, plays,
// pauses and ends a game and keeps the name without the keyboard or the panel; the start prompt
// and the settings panel name a pad's inputs as printed on it.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/game_paths.h"
#include "base/program_state.h"
#include "frontend/title_screen.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "scores/score_records.h"
#include "support/fake_joystick.h"
#include "support/headless_game.h"
#include "ui/controls.h"
#include "ui/panel_state.h"

namespace {

constexpr int kFull = 32767;

// Writes a pad's events into its device when the clock reaches their time, whether or not
// frames are being shown (the pause menu and the name prompt wait on the clock).
class TPadScript : public TEventSource {
 public:
  TPadScript(TFakeJoysticks& fake, int device) : fake_(fake), device_(device) { AddEventSource(this); }
  ~TPadScript() override { RemoveEventSource(this); }
  void At(int ms, const TJsRecord& record) { steps_.push_back({ms, record}); }
  void Press(int ms, int button) {
    At(ms, JsButton(button, true));
    At(ms + 200, JsButton(button, false));
  }
  void Pump() override {
    for (auto& [ms, record] : steps_)
      if (ms >= 0 && ms <= Millisecs()) {
        fake_.Send(device_, {record});
        ms = -1;
      }
  }

 private:
  TFakeJoysticks& fake_;
  int device_;
  std::vector<std::pair<int, TJsRecord>> steps_;
};

TEST(GamePad, APadAloneStartsPlaysAndEndsAGame) {
  THeadlessGame game;
  TFakeJoysticks fake;
  fake.Answers(0, StandardPadAnswers());
  const int dev = fake.PlugInAtRest(0, 11);
  SetUpJoysticks();
  for (int i = 0; i < 16; ++i) ASSERT_TRUE(TitleFrame());  // slid in

  // A starts; the stick walks three empty levels; Start pauses, the stick moves down to Quit and
  // A takes it; after "Game Over" Start keeps the name.
  const int t = Millisecs();
  TPadScript pad(fake, dev);
  pad.Press(t, 0);
  pad.At(t + 500, JsAxis(0, -kFull));
  pad.At(t + 21000, JsAxis(0, 0));
  pad.Press(t + 21500, 7);
  pad.At(t + 22000, JsAxis(1, kFull));
  pad.At(t + 22200, JsAxis(1, 0));
  pad.Press(t + 22600, 0);
  pad.Press(t + 26000, 7);
  for (int i = 0; i < 40 && LocalScores.empty(); ++i) ASSERT_TRUE(TitleFrame());

  ASSERT_EQ(LocalScores.size(), 1u);
  const TScores& record = *LocalScores[0];
  EXPECT_EQ(record.GameMode, 1);
  EXPECT_EQ(record.Quit, 1);
  EXPECT_GT(record.Score, 0);  // level bonuses: the stick walked
  EXPECT_EQ(record.Name, "Player");
  EXPECT_GE(StartWorldLimit, 1);
  EXPECT_EQ(GameState, 0);
  // The panel never opened: it writes the setup file whenever it does.
  EXPECT_EQ(FileType(FilesPath("Setup.ini")), FILETYPE_NONE);
  EXPECT_FALSE(PanelShown());
}

TEST(GamePad, ThePromptAndThePanelNameThePadsInputsAsPrinted) {
  THeadlessGame game{{1280, 960, false, nullptr}};
  TFakeJoysticks fake;
  fake.Answers(0, StandardPadAnswers("Gamepad"));
  fake.Answers(1, SonyPadAnswers());
  fake.Vendor(1, "054c");
  fake.PlugInAtRest(0, 11);
  const int sony = fake.PlugInAtRest(1, 13);
  SetUpJoysticks();
  auto shows = [&game](const std::string& text) { return game.driver().FindText(text, FrameCount() - 1) != nullptr; };

  ASSERT_TRUE(TitleFrame());
  EXPECT_TRUE(shows("Press Start (Z or Pad 1 A) To Begin"));
  ControlTable[10] = 380;  // the Sony pad's Cross bound to fire 1: that pad leaves the layer
  ASSERT_TRUE(TitleFrame());
  EXPECT_TRUE(shows("Press Start (Pad 2 Cross or Pad 1 A) To Begin"));

  game.script().PressAt(FrameCount(), VK_TAB);
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(TitleFrame());
  ASSERT_TRUE(PanelFullyOpen());
  EXPECT_TRUE(shows("Gamepad"));
  EXPECT_TRUE(shows(" - Player 1"));
  EXPECT_FALSE(shows(" - Player 2"));
  // Player 1's fire 1 button: the number the binding keeps, and the name the pad prints.
  EXPECT_TRUE(shows("0"));
  EXPECT_TRUE(shows("Cross"));
  fake.Send(sony, {JsButton(9, true)});
  ASSERT_TRUE(TitleFrame());  // read at the end of this frame, shown in the next
  ASSERT_TRUE(TitleFrame());
  EXPECT_TRUE(shows(" - Options"));
  // A name too long for the line beside what it says is cut.
  bool cut = false;
  for (const TDrawRecord* r : game.driver().Find(TDrawKind::Text, FrameCount() - 1))
    cut |= r->text.rfind("Sony ", 0) == 0 && r->text.size() > 8 && r->text.compare(r->text.size() - 3, 3, "...") == 0;
  EXPECT_TRUE(cut);
}

}  // namespace
