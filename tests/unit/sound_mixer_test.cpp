// The software mixer: balance, volume, rate, looping, pausing and clipping, measured on the
// samples it produces.
#include <gtest/gtest.h>

#include "platform/sound_mixer.h"

namespace {

std::shared_ptr<const TPcm> Constant(int channels, int rate, size_t frames, int16_t left, int16_t right = 0) {
  auto pcm = std::make_shared<TPcm>();
  pcm->channels = channels;
  pcm->rate = rate;
  for (size_t f = 0; f < frames; ++f) {
    pcm->samples.push_back(left);
    if (channels == 2) pcm->samples.push_back(right);
  }
  return pcm;
}

std::vector<int16_t> Mix(TSoftMixer& mixer, size_t frames) {
  std::vector<int16_t> out(frames * 2, 12345);
  mixer.Mix(out.data(), frames);
  return out;
}

TEST(SoftMixer, PanAndVolumeSetTheTwoSides) {
  TSoftMixer mixer(1000, false);
  int v = mixer.NewVoice();
  ASSERT_GE(v, 0);
  mixer.Start(v, Constant(1, 1000, 100, 10000), false, false);
  mixer.SetVolume(v, 0.5f);
  auto out = Mix(mixer, 1);
  EXPECT_EQ(out[0], 5000);
  EXPECT_EQ(out[1], 5000);
  mixer.SetPan(v, -1);
  out = Mix(mixer, 1);
  EXPECT_EQ(out[0], 5000);
  EXPECT_EQ(out[1], 0);
  mixer.SetPan(v, 0.5f);
  out = Mix(mixer, 1);
  EXPECT_EQ(out[0], 2500);
  EXPECT_EQ(out[1], 5000);
  mixer.SetPan(v, 7);  // clamped to full right
  mixer.SetVolume(v, 3);  // clamped to 1
  out = Mix(mixer, 1);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 10000);
}

TEST(SoftMixer, StereoSoundsKeepTheirSides) {
  TSoftMixer mixer(1000, false);
  int v = mixer.NewVoice();
  mixer.Start(v, Constant(2, 1000, 10, 3000, -2000), false, false);
  auto out = Mix(mixer, 2);
  EXPECT_EQ(out, (std::vector<int16_t>{3000, -2000, 3000, -2000}));
}

TEST(SoftMixer, RateSetsHowSoonASoundEnds) {
  TSoftMixer mixer(1000, false);
  int v = mixer.NewVoice();
  mixer.Start(v, Constant(1, 2000, 200, 100), false, false);  // 0.1 s at its own rate
  Mix(mixer, 99);
  EXPECT_TRUE(mixer.Playing(v));
  Mix(mixer, 1);
  EXPECT_FALSE(mixer.Playing(v));

  mixer.Start(v, Constant(1, 2000, 200, 100), false, false);
  mixer.SetRate(v, 2);
  auto out = Mix(mixer, 60);
  EXPECT_FALSE(mixer.Playing(v));
  EXPECT_EQ(out[2 * 49], 100);
  EXPECT_EQ(out[2 * 50], 0);  // silent once the sound has run out

  mixer.Start(v, Constant(1, 2000, 200, 100), false, false);
  mixer.SetRate(v, 0);  // nothing to play at
  EXPECT_FALSE(mixer.Playing(v));
}

TEST(SoftMixer, LoopsRunUntilStoppedAndPausedVoicesHold) {
  TSoftMixer mixer(1000, false);
  int loop = mixer.NewVoice();
  int held = mixer.NewVoice();
  mixer.Start(loop, Constant(1, 1000, 10, 50), true, false);
  mixer.Start(held, Constant(1, 1000, 10, 7), false, true);
  auto out = Mix(mixer, 1000);
  EXPECT_TRUE(mixer.Playing(loop));
  EXPECT_TRUE(mixer.Playing(held));
  EXPECT_EQ(out[2 * 999], 50);  // only the loop sounds
  mixer.SetPaused(held, false);
  out = Mix(mixer, 5);
  EXPECT_EQ(out[0], 57);
  Mix(mixer, 5);
  EXPECT_FALSE(mixer.Playing(held));
  mixer.Stop(loop);
  EXPECT_FALSE(mixer.Playing(loop));
  EXPECT_EQ(Mix(mixer, 1)[0], 0);
}

TEST(SoftMixer, SumsClipInsteadOfWrapping) {
  TSoftMixer mixer(1000, false);
  for (int i = 0; i < 3; ++i) mixer.Start(mixer.NewVoice(), Constant(1, 1000, 10, 20000), false, false);
  int low = mixer.NewVoice();
  auto out = Mix(mixer, 1);
  EXPECT_EQ(out[0], 32767);
  mixer.Start(low, Constant(1, 1000, 10, -32768), false, false);
  for (int v = 0; v < 3; ++v) mixer.Stop(v);
  mixer.Start(mixer.NewVoice(), Constant(1, 1000, 10, -32768), false, false);
  EXPECT_EQ(Mix(mixer, 1)[0], -32768);
}

TEST(SoftMixer, FreedVoicesAreReusedAndClosingSilencesAll) {
  TSoftMixer mixer(1000, false);
  int a = mixer.NewVoice();
  mixer.NewVoice();
  mixer.FreeVoice(a);
  EXPECT_EQ(mixer.NewVoice(), a);
  mixer.Start(a, Constant(1, 1000, 10, 1), true, false);
  mixer.Close();
  EXPECT_FALSE(mixer.Playing(a));
  EXPECT_EQ(mixer.NewVoice(), -1);
  mixer.Start(a, Constant(1, 1000, 10, 1), true, false);
  EXPECT_FALSE(mixer.Playing(a));
}

TEST(SoftMixer, LinearInterpolationBetweenFrames) {
  auto pcm = std::make_shared<TPcm>();
  pcm->channels = 1;
  pcm->rate = 1000;
  pcm->samples = {0, 1000, 2000};
  TSoftMixer mixer(2000, false);  // half a source frame per output frame
  int v = mixer.NewVoice();
  mixer.Start(v, pcm, false, false);
  auto out = Mix(mixer, 4);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[2], 500);
  EXPECT_EQ(out[4], 1000);
  EXPECT_EQ(out[6], 1500);
}

}  // namespace
