// The effect ring: volumes scaled by the setup, clamped arguments, the slot order, cutting off a
// slot that still sounds, lazy channels, and the jingle; with a recording driver, and once with
// the silent driver on a manual clock as the game would run headless.
#include <gtest/gtest.h>

#include "audio/sound_effects.h"
#include "base/settings.h"
#include "frontend/main_program.h"
#include "platform/clock.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

class SoundEffects : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMainProgram();
    SetDefaultSettings();
    ResetSoundEffects();
    log = std::make_shared<TAudioLog>();
    ASSERT_TRUE(UseAudioDriver(NewRecordingDriver(log)));
    // Sounds of the recording driver; what they hold doesn't matter here.
    for (int n : {12, 14, 98, 99}) SfxTable[size_t(n)] = NewRecordingDriver(log)->CreateSound(TPcm(), 0);
  }
  void TearDown() override {
    ResetSoundEffects();
    ShutdownAudio();
  }
  TRecordedChannel& Slot(int slot) {
    return static_cast<TRecordedChannel&>(*ChannelTable[size_t(slot)]);
  }
  std::shared_ptr<TAudioLog> log;
};

TEST_F(SoundEffects, DefaultVolumesGiveAQuarterAndTheFirstEffectUsesSlot21) {
  PlaySfx(99, 1.0f, 1.0f, 0);
  EXPECT_EQ(NextSfxSlot, 21);
  ASSERT_NE(ChannelTable[21], nullptr);
  TRecordedChannel& channel = Slot(21);
  EXPECT_EQ(channel.sound, SfxTable[99].get());
  EXPECT_FLOAT_EQ(channel.volume, 0.25f);
  EXPECT_FLOAT_EQ(ChannelVolume[21], 1.0f);
  EXPECT_FLOAT_EQ(channel.pan, 0);
  EXPECT_FLOAT_EQ(channel.rate, 1);
  EXPECT_FALSE(channel.paused);

  Settings[11] = 80;
  Settings[12] = 30;
  PlaySfx(12, 1.0f, 0.5f, 0.5f);
  EXPECT_FLOAT_EQ(Slot(22).volume, 0.3f * 0.8f * 0.5f);
  EXPECT_FLOAT_EQ(ChannelVolume[22], 0.5f);
  EXPECT_FLOAT_EQ(Slot(22).pan, 0.5f);
  // Effects already sounding keep the volume they started with.
  EXPECT_FLOAT_EQ(Slot(21).volume, 0.25f);
}

TEST_F(SoundEffects, ArgumentsAreClampedNeverRejected) {
  PlaySfx(12, 1.0f, 1.7f, -3);
  EXPECT_FLOAT_EQ(Slot(21).volume, 0.25f);
  EXPECT_FLOAT_EQ(ChannelVolume[21], 1.0f);
  EXPECT_FLOAT_EQ(Slot(21).pan, -1);
  PlaySfx(98, 8, -2, 3);
  EXPECT_FLOAT_EQ(Slot(22).rate, 4);
  EXPECT_FLOAT_EQ(Slot(22).volume, 0);
  EXPECT_FLOAT_EQ(Slot(22).pan, 1);
  PlaySfx(98, 0.1f, 0.4f, 0);
  EXPECT_FLOAT_EQ(Slot(23).rate, 0.25f);
  EXPECT_FLOAT_EQ(Slot(23).volume, 0.1f);
}

TEST_F(SoundEffects, NothingIsTouchedWithoutEffectVolumeOrWithoutTheEffect) {
  Settings[11] = 100;
  Settings[12] = 0;
  PlaySfx(99, 1, 1, 0);
  Settings[12] = -5;
  PlaySfx(99, 1, 1, 0);
  Settings[12] = 50;
  for (int effect : {3, 0, -1, 201, 100000}) PlaySfx(effect, 1, 1, 0);  // not loaded, or no such number
  EXPECT_EQ(NextSfxSlot, 20);
  EXPECT_TRUE(log->channels.empty());
  for (const TChannelPtr& channel : ChannelTable) EXPECT_EQ(channel, nullptr);
}

TEST_F(SoundEffects, TheRingRunsFrom21To255ThenWrapsTo20) {
  for (int i = 1; i <= 235; ++i) PlaySfx(14, 1, 0.2f, 0);
  EXPECT_EQ(NextSfxSlot, 255);
  PlaySfx(14, 1, 0.2f, 0);
  EXPECT_EQ(NextSfxSlot, 20);
  // 236 slots, each given a channel the first time the ring reached it; the music slots and the
  // rest untouched.
  EXPECT_EQ(log->channels.size(), 236u);
  PlaySfx(14, 1, 0.2f, 0);
  EXPECT_EQ(NextSfxSlot, 21);
  for (int slot = 0; slot < 20; ++slot) EXPECT_EQ(ChannelTable[size_t(slot)], nullptr) << slot;
  for (int slot = 256; slot < 260; ++slot) EXPECT_EQ(ChannelTable[size_t(slot)], nullptr) << slot;
}

TEST_F(SoundEffects, AStillPlayingSlotIsCutOffAndAFinishedOneReused) {
  PlaySfx(14, 1, 0.4f, 0);  // slot 21
  TChannelPtr first = ChannelTable[21];
  for (int i = 0; i < 235; ++i) PlaySfx(12, 1, 1, 0);  // round the ring, back to slot 20
  ASSERT_EQ(NextSfxSlot, 20);
  ASSERT_TRUE(Slot(21).playing);
  PlaySfx(99, 1, 1, 0);  // slot 21 again, its effect still sounding
  EXPECT_EQ(static_cast<TRecordedChannel&>(*first).stops, 1);
  EXPECT_NE(ChannelTable[21], first);
  EXPECT_EQ(Slot(21).sound, SfxTable[99].get());

  TChannelPtr second = ChannelTable[22];
  static_cast<TRecordedChannel&>(*second).playing = false;  // its effect has ended
  size_t allocated = log->channels.size();
  PlaySfx(98, 1, 1, 0);
  EXPECT_EQ(ChannelTable[22], second);
  EXPECT_EQ(static_cast<TRecordedChannel&>(*second).stops, 0);
  EXPECT_EQ(static_cast<TRecordedChannel&>(*second).cues, 2);
  EXPECT_EQ(log->channels.size(), allocated);
}

TEST_F(SoundEffects, JingleGoesToSlot256AtTheEffectVolume) {
  PlayJingle(SfxTable[99]);
  ASSERT_NE(ChannelTable[JINGLE_SLOT], nullptr);
  EXPECT_FLOAT_EQ(Slot(JINGLE_SLOT).volume, 0.25f);
  EXPECT_FALSE(Slot(JINGLE_SLOT).paused);
  EXPECT_EQ(NextSfxSlot, 20);
  PlayJingle(nullptr);
  EXPECT_EQ(ChannelTable[JINGLE_SLOT], nullptr);
}

TEST(SoundEffectsHeadless, TheSilentDriverKeepsEffectsPlayingForTheirLength) {
  TManualClock clock;
  SetClock(&clock);
  ResetMainProgram();
  SetDefaultSettings();
  ResetSoundEffects();
  ASSERT_TRUE(SetAudioDriver("Null"));
  TTempDir temp;
  const std::string& dir = temp.Path();
  ASSERT_TRUE(WriteBytes(dir + "/099.wav", MakeWav(1, 10000, Tone(3000, 1, 10000, 500, 8000))));
  SfxTable[99] = LoadSound(dir + "/099.wav", 0);
  ASSERT_NE(SfxTable[99], nullptr);
  PlaySfx(99, 2.0f, 1, 0);  // 300 ms at double speed
  ASSERT_NE(ChannelTable[21], nullptr);
  clock.Advance(149);
  EXPECT_TRUE(ChannelTable[21]->Playing());
  clock.Advance(1);
  EXPECT_FALSE(ChannelTable[21]->Playing());
  ResetSoundEffects();
  ShutdownAudio();
  SetClock(nullptr);
}

}  // namespace
