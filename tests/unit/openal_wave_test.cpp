// The OpenAL driver really makes sound: OpenAL Soft's wave-file output records what it mixes, in
// a child process so that the configuration it reads is this test's own.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/audio_drivers.h"
#include "platform/sound_decode.h"
#include "support/child_process.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

enum { PLAYED = 0, NO_DRIVER = 2, NO_SOUND = 3, NOT_PLAYING = 4, NEVER_ENDED = 5 };

// Runs in the child: plays the file through OpenAL and reports how far it got.
int PlayThroughOpenAL(const std::string& conf, const std::string& sound_path, float pan) {
  unsetenv("ALSOFT_DRIVERS");  // the output is the one this configuration names
  setenv("ALSOFT_CONF", conf.c_str(), 1);
  if (!OpenALInstalled() || !SetAudioDriver("OpenAL") || CurrentAudioDriver() != "OpenAL") return NO_DRIVER;
  TSoundPtr sound = LoadSound(sound_path, 0);
  if (!sound) return NO_SOUND;
  TChannelPtr channel = sound->Cue();
  if (!channel || !channel->Playing()) return NOT_PLAYING;
  channel->SetVolume(1);
  channel->SetPan(pan);
  channel->SetPaused(false);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);  // inside the child's alarm
  while (channel->Playing() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  bool ended = !channel->Playing();
  // Closing the device finishes the recording's header.
  ShutdownAudio();
  return ended ? PLAYED : NEVER_ENDED;
}

// Plays a 0.3 s tone at the given pan in a child process and returns OpenAL's recording of it.
TPcm Record(float pan) {
  TPcm pcm;
  TTempDir temp;
  const std::string& dir = temp.Path();
  const std::string conf = dir + "/alsoft.conf";
  const std::string recording = dir + "/recorded.wav";
  const std::string tone = dir + "/tone.wav";
  {
    std::ofstream out(conf);
    out << "[general]\ndrivers = wave\nfrequency = 22050\nchannels = stereo\nsample-type = int16\n"
        << "[wave]\nfile = " << recording << "\n";
    EXPECT_TRUE(out.good());
  }
  EXPECT_TRUE(WriteBytes(tone, MakeWav(1, 22050, Tone(6615, 1, 22050, 440, 20000))));

  EXPECT_EQ(RunInChild([&] { _exit(PlayThroughOpenAL(conf, tone, pan)); }), PLAYED);

  std::ifstream in(recording, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(DecodeWav(bytes.data(), bytes.size(), pcm)) << bytes.size() << " bytes recorded";
  return pcm;
}

int Peak(const TPcm& pcm, int side) {
  int peak = 0;
  for (size_t i = size_t(side); i < pcm.samples.size(); i += 2) peak = std::max(peak, std::abs(int(pcm.samples[i])));
  return peak;
}

TEST(OpenALDriver, PlayedSoundReachesTheWaveFileOutputPannedAsAsked) {
  if (!OpenALInstalled()) GTEST_SKIP() << "libopenal.so.1 is not installed";
  TPcm centre = Record(0);
  EXPECT_EQ(centre.channels, 2);
  EXPECT_EQ(centre.rate, 22050);
  EXPECT_GE(centre.Frames(), 6615u);
  EXPECT_GT(Peak(centre, 0), 5000) << "the recording is silent";
  EXPECT_GT(Peak(centre, 1), 5000) << "the recording is silent";

  TPcm right = Record(1);
  EXPECT_GT(Peak(right, 1), 5000);
  EXPECT_LT(Peak(right, 0), Peak(right, 1) / 4) << "panned fully right, yet loud on the left";
}

}  // namespace
