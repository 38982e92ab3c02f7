// ApplyDisplayMode against the modes the recording driver reports: the mode list, the size opened,
// the virtual resolution, the full-screen fallback, the guard file and a second application.
#include <gtest/gtest.h>

#include <tuple>

#include "audio/sound_effects.h"
#include "base/settings.h"
#include "framework/common_assets.h"
#include "framework/display_modes.h"
#include "framework/present_frame.h"
#include "framework/screen_size.h"
#include "platform/display.h"
#include "platform/files.h"
#include "support/headless_game.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"

namespace {

// Remembers each opening: the size and depth asked for, and whether the guard file existed then.
class TWatchingDriver : public TRecordingDriver {
 public:
  struct TOpening {
    int width, height, depth;
    bool guard_present;
  };
  std::vector<TOpening> openings;
  int closings = 0;
  int refused_width = -1;  // openings of this width fail
  void CloseGraphics() override {
    ++closings;
    TRecordingDriver::CloseGraphics();
  }
  bool CreateGraphics(int width, int height, int depth, int hertz, int flags) override {
    openings.push_back({width, height, depth, FileType("crash.dat") == FILETYPE_FILE});
    if (width == refused_width || refused_width == 0) return false;
    return TRecordingDriver::CreateGraphics(width, height, depth, hertz, flags);
  }
};

struct TApplied {
  std::shared_ptr<TWatchingDriver> driver = std::make_shared<TWatchingDriver>();
  THeadlessGame game;
  explicit TApplied(std::vector<TGraphicsMode> modes, bool real_data = false)
      : game(Options(real_data)) {
    driver->modes = std::move(modes);
    driver->openings.clear();
    driver->closings = 0;
  }
  THeadlessOptions Options(bool real_data) {
    THeadlessOptions options;
    options.driver = driver;
    options.real_data = real_data;
    return options;
  }
  void Apply(int width, int height, int full_screen = 0) {
    Settings[1] = full_screen;
    Settings[5] = width;
    Settings[6] = height;
    ApplyDisplayMode();
  }
};

// A mode chosen on the settings panel that won't open brings back the mode that was open, which
// the next save stores; when nothing opens at all the setup is saved before the program ends.
TEST(DisplayModes, AnApplyThatCannotOpenFallsBackToThePreviousMode) {
  TApplied a({{800, 600, 32, 60}, {1024, 768, 32, 60}});
  a.Apply(800, 600);
  a.driver->refused_width = 1024;
  a.Apply(1024, 768, 1);
  std::vector<std::tuple<int, int, int>> opened;
  for (const auto& o : a.driver->openings) opened.emplace_back(o.width, o.height, o.depth);
  EXPECT_EQ(opened, (std::vector<std::tuple<int, int, int>>{
                        {800, 600, 0}, {1024, 768, 32}, {1024, 768, 0}, {800, 600, 0}}));
  EXPECT_TRUE(GraphicsOpen());
  EXPECT_EQ(CurrentWidth, 800);
  EXPECT_EQ(Settings[5], 800);
  EXPECT_EQ(Settings[6], 600);
  EXPECT_EQ(Settings[4], 1);
  EXPECT_NE(a.game.Log().find("\tCould not open it; back to 800x600,0\r\n"), std::string::npos);
  EXPECT_EQ(FileType("crash.dat"), FILETYPE_NONE);

  a.driver->refused_width = 0;
  Settings[5] = 1024;
  EXPECT_EQ(RunInChild([] { ApplyDisplayMode(); }), 1);
  EXPECT_NE(a.game.ReadFile("Files/Setup.ini").find("Width=800\r\n"), std::string::npos);
  EXPECT_EQ(FileType("crash.dat"), FILETYPE_NONE);
}

TEST(DisplayModes, OneListEntryPerSizeAndOnlyUsableShapes) {
  TApplied a({{1024, 768, 16, 60}, {1024, 768, 32, 60}, {1280, 1024, 32, 60}, {800, 600, 32, 75}});
  a.Apply(1024, 768);
  ASSERT_EQ(ModeCount, 2);
  EXPECT_EQ(ModeWidths[1], 1024);
  EXPECT_EQ(ModeHeights[1], 768);
  EXPECT_EQ(ModeWidths[2], 800);
  EXPECT_EQ(Settings[4], 1);
  ASSERT_EQ(a.driver->openings.size(), 1u);
  EXPECT_EQ(a.driver->openings[0].width, 1024);
  EXPECT_EQ(a.driver->openings[0].depth, 0);
  EXPECT_EQ(VirtualWidth, 1280);
  EXPECT_EQ(VirtualHeight, 960);
  EXPECT_EQ(Settings[2], 0);
}

TEST(DisplayModes, AnUnusableRequestKeepsThePreviousModeOrEightHundredBySixHundred) {
  TApplied a({{1280, 1024, 32, 60}, {1024, 768, 32, 60}});
  a.Apply(1280, 1024);
  ASSERT_EQ(a.driver->openings.size(), 1u);
  EXPECT_EQ(a.driver->openings[0].width, 800);
  EXPECT_EQ(a.driver->openings[0].height, 600);
  EXPECT_EQ(Settings[5], 800);
  EXPECT_EQ(Settings[6], 600);
  EXPECT_EQ(GraphicsWidth(), 800);

  // Later, an unusable request keeps the mode applied last.
  a.Apply(1024, 768);
  Settings[3] = 5;
  a.Apply(1280, 1024);
  ASSERT_EQ(a.driver->openings.size(), 3u);
  EXPECT_EQ(a.driver->openings[2].width, 1024);
  EXPECT_EQ(a.driver->openings[2].height, 768);
  EXPECT_EQ(Settings[5], 1024);
  EXPECT_EQ(Settings[6], 768);
  EXPECT_EQ(Settings[3], 0);
}

TEST(DisplayModes, VirtualResolutionFollowsTheShape) {
  struct TCase {
    int w, h, vw, vh, wide;
    const char* line;
  };
  const TCase cases[] = {
      {1366, 768, 1600, 900, 1, "\tWidescreen mode!\r\n"},
      {1920, 1080, 1600, 900, 1, "\tWidescreen mode!\r\n"},
      {1920, 1200, 1440, 900, 1, "\tWidescreen mode B (10:16)!\r\n"},
      {1024, 768, 1280, 960, 0, nullptr},
  };
  for (const TCase& c : cases) {
    TApplied a({{1366, 768, 32, 60}, {1920, 1080, 32, 60}, {1920, 1200, 32, 60}, {1024, 768, 32, 60}});
    a.Apply(c.w, c.h);
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    ASSERT_EQ(a.driver->openings.size(), 1u);
    EXPECT_EQ(a.driver->openings[0].width, c.w);
    EXPECT_EQ(a.driver->openings[0].height, c.h);
    EXPECT_EQ(VirtualWidth, c.vw);
    EXPECT_EQ(VirtualHeight, c.vh);
    EXPECT_FLOAT_EQ(VirtualResolutionWidth(), float(c.vw));
    EXPECT_FLOAT_EQ(VirtualResolutionHeight(), float(c.vh));
    EXPECT_EQ(Settings[2], c.wide);
    const std::string log = a.game.Log();
    const std::string resolution =
        "\tResolution : " + std::to_string(c.w) + "x" + std::to_string(c.h) + ",0\r\n";
    EXPECT_NE(log.find(resolution), std::string::npos) << log;
    const bool widescreen_logged = log.find("\tWidescreen mode") != std::string::npos;
    if (c.line) EXPECT_NE(log.find(c.line), std::string::npos) << log;
    else EXPECT_FALSE(widescreen_logged) << log;
  }
}

TEST(DisplayModes, FullScreenTakesTheDeepestDepthOffered) {
  TApplied a({{1024, 768, 16, 60}, {1024, 768, 24, 60}});
  a.Apply(1024, 768, 1);
  ASSERT_EQ(a.driver->openings.size(), 1u);
  EXPECT_EQ(a.driver->openings[0].depth, 24);
  EXPECT_NE(a.game.Log().find("\tResolution : 1024x768,24\r\n"), std::string::npos);
  EXPECT_TRUE(MessageList.empty());
}

TEST(DisplayModes, FullScreenWithoutSuchAModeOpensAWindowAndSaysSo) {
  TApplied a({{1024, 768, 8, 60}});
  a.Apply(1024, 768, 1);
  ASSERT_EQ(a.driver->openings.size(), 1u);
  EXPECT_EQ(a.driver->openings[0].width, 1024);
  EXPECT_EQ(a.driver->openings[0].depth, 0);
  EXPECT_NE(a.game.Log().find("\tResolution : 1024x768,0\r\n"), std::string::npos);
  ASSERT_EQ(MessageList.size(), 1u);
  EXPECT_EQ(MessageList[0].txt, "Can't set to fullscreen in this resolution.");
  EXPECT_EQ(Settings[1], 1);  // the next save still asks for full screen
}

TEST(DisplayModes, TheGuardFileExistsOnlyWhileTheDisplayIsOpened) {
  TApplied a({{1024, 768, 32, 60}});
  ASSERT_EQ(FileType("crash.dat"), FILETYPE_NONE);
  a.Apply(1024, 768);
  ASSERT_EQ(a.driver->openings.size(), 1u);
  EXPECT_TRUE(a.driver->openings[0].guard_present);
  EXPECT_EQ(FileType("crash.dat"), FILETYPE_NONE);
  EXPECT_EQ(FileType(a.game.Root() + "/Files/003/crash.dat"), FILETYPE_NONE);
  EXPECT_EQ(CurrentDir(), a.game.Root() + "/Files/003");
}

TEST(DisplayModes, ApplyingAgainReopensReloadsAndRetestsWithoutTheJingle) {
  TApplied a({{800, 600, 32, 60}, {1024, 768, 32, 60}}, true);
  a.Apply(800, 600);
  ASSERT_NE(BadgeSound, nullptr);  // the staged jingle loaded
  ASSERT_NE(ChannelTable[JINGLE_SLOT], nullptr);
  const TImagePtr first_icons = IconsFiltered;
  ASSERT_NE(first_icons, nullptr);
  const int flips_after_first = a.driver->flips;

  const int closings_after_first = a.driver->closings;
  a.Apply(1024, 768);
  EXPECT_GT(a.driver->closings, closings_after_first);
  ASSERT_EQ(a.driver->openings.size(), 2u);
  EXPECT_EQ(a.driver->openings[1].width, 1024);
  const std::string log = a.game.Log();
  const size_t second = log.rfind("Applying Graphical Settings\r\n");
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(log.find("\tChanged Graphics Mode ingame."), log.find("\r\n", second) + 2);
  EXPECT_EQ(log.find("\tChanged Graphics Mode ingame."), log.rfind("\tChanged Graphics Mode ingame."));
  EXPECT_NE(log.find("Loading : Common Objects", second), std::string::npos);
  EXPECT_NE(log.find("Starting Engine Test", second), std::string::npos);
  EXPECT_NE(IconsFiltered, first_icons);  // reloaded for the new display
  // The engine test ran again: its 30 intro frames and at least one measured step.
  EXPECT_GE(a.driver->flips - flips_after_first, 30 + 8);
  // One cue of the jingle in the whole run, on the first display only.
  int jingle_cues = 0;
  for (const auto& channel : a.game.audio().channels) jingle_cues += channel->cues;
  EXPECT_EQ(jingle_cues, 1);
  EXPECT_EQ(FileType("crash.dat"), FILETYPE_NONE);
}

}  // namespace
