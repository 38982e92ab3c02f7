// The music in the whole program: the shipped sample bank loads and the frame steps the player
// without a tune, and the shipped tune, rendered through the real player, is audible, unclipped
// and starts its notes on the steps of its tempo.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/music_file.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "support/headless_game.h"
#include "audio/tune_render.h"

namespace {

TEST(Music, TheBankLoadsButFramesStartNoTune) {
  THeadlessOptions options;
  options.real_data = true;
  THeadlessGame game(options);
  LoadMusicSamples();
  EXPECT_EQ(InstrumentCount, (std::array<int, 3>{3, 3, 2}));
  for (int i = 1; i <= 8; ++i) {
    EXPECT_NE(MusicSamples[size_t(i)], nullptr) << i;
    EXPECT_NE(MusicSamples[size_t(i + 10)], nullptr) << i;
  }
  const size_t channels = game.audio().channels.size();
  for (int frame = 0; frame < 60; ++frame) game.Frame();
  EXPECT_EQ(MusicPlaying, 0);
  for (int slot = 0; slot < MUSIC_VOICES; ++slot) EXPECT_EQ(ChannelTable[size_t(slot)], nullptr);
  EXPECT_EQ(game.audio().channels.size(), channels);
}

// Times (ms) where the sound suddenly grows: 10 ms windows louder than four times the loudest of
// the three before (longer than a period of the lowest bass note), and above a floor.
std::vector<double> Onsets(const std::vector<int16_t>& stereo) {
  const size_t hop = TRenderResult::kRate / 100;
  std::vector<double> energy;
  for (size_t start = 0; start + hop * 2 <= stereo.size(); start += hop * 2) {
    double e = 0;
    for (size_t i = start; i < start + hop * 2; ++i) e += double(stereo[i]) * stereo[i];
    energy.push_back(e / double(hop * 2));
  }
  std::vector<double> onsets;
  for (size_t w = 3; w < energy.size(); ++w) {
    const double before = std::max({energy[w - 1], energy[w - 2], energy[w - 3]});
    if (energy[w] > 4 * before && energy[w] > 300.0 * 300.0) onsets.push_back(double(w) * 10);
  }
  return onsets;
}

TEST(Music, TheShippedTunePlaysInTimeWithoutClipping) {
  TRenderOptions options;
  options.gameFolder = LAMBRISK_GAME_DIR;
  options.tune = "meadow";
  options.seconds = 12;
  options.fps = 1000;  // a call every millisecond, so steps keep exact time
  TRenderResult result;
  ASSERT_TRUE(RenderTune(options, result));
  EXPECT_EQ(result.stereo.size(), size_t(12 * TRenderResult::kRate * 2));
  EXPECT_GT(result.rmsDb, -35) << "hardly audible";
  EXPECT_LT(result.peakDb, -0.5);
  EXPECT_EQ(result.clipped, 0);
  // 66 ms a step after the 250 ms start.
  ASSERT_FALSE(result.stepMs.empty());
  EXPECT_EQ(result.stepMs.front(), 251);
  EXPECT_EQ(result.steps, (12000 - 251) / 66 + 1);

  // A note found in a window started on a step within it or the window before (soft attacks).
  const std::vector<double> onsets = Onsets(result.stereo);
  EXPECT_GT(onsets.size(), 40u);
  for (double ms : onsets) {
    bool onStep = false;
    for (int step : result.stepMs) onStep |= step >= ms - 12 && step < ms + 10;
    EXPECT_TRUE(onStep) << "a note starts at " << ms << " ms, off the steps";
  }

  TRenderOptions missing = options;
  missing.tune = "no such tune";
  EXPECT_FALSE(RenderTune(missing, result));
}

}  // namespace
