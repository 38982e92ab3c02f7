// The driver registry and the mixing back ends: choosing drivers by name, falling back to the
// silent one, the silent driver's channels on a manual clock, the OSS thread on a recording
// output, and loading sounds from files.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/audio_drivers.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/platform_log.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

class SoundDrivers : public ::testing::Test {
 protected:
  void SetUp() override {
    ShutdownAudio();
    SetClock(&clock);
  }
  void TearDown() override {
    ShutdownAudio();
    SetClock(nullptr);
    SetOpenALLibraryName("libopenal.so.1");
  }
  TManualClock clock;
};

TPcm Tone(int ms, int rate = 8000) {
  TPcm pcm;
  pcm.channels = 1;
  pcm.rate = rate;
  pcm.samples = ::Tone(rate * ms / 1000, 1, rate, 440, 12000);
  return pcm;
}

TEST_F(SoundDrivers, NamesInOrderFoundWithoutRegardToCase) {
  EXPECT_EQ(AudioDrivers(), (std::vector<std::string>{"OpenAL", "OSS", "Null"}));
  EXPECT_TRUE(AudioDriverExists("openal"));
  EXPECT_TRUE(AudioDriverExists("oss"));
  EXPECT_TRUE(AudioDriverExists("NULL"));
  EXPECT_FALSE(AudioDriverExists("DirectSound"));
  EXPECT_FALSE(AudioDriverExists(""));
}

TEST_F(SoundDrivers, SilentDriverRunsUntilOneIsSelectedAndUnknownNamesChangeNothing) {
  EXPECT_EQ(CurrentAudioDriver(), "Null");
  auto log = std::make_shared<TAudioLog>();
  ASSERT_TRUE(UseAudioDriver(NewRecordingDriver(log)));
  EXPECT_EQ(CurrentAudioDriver(), "Recording");
  EXPECT_FALSE(SetAudioDriver("FreeAudio"));
  EXPECT_EQ(CurrentAudioDriver(), "Recording");
  EXPECT_FALSE(log->shut_down);
  EXPECT_TRUE(SetAudioDriver("null"));
  EXPECT_TRUE(log->shut_down);
  EXPECT_EQ(CurrentAudioDriver(), "Null");
}

TEST_F(SoundDrivers, ADriverThatFailsToStartLeavesTheSilentOneRunning) {
  auto log = std::make_shared<TAudioLog>();
  EXPECT_FALSE(UseAudioDriver(NewRecordingDriver(log, false)));
  EXPECT_EQ(CurrentAudioDriver(), "Null");
  EXPECT_NE(AllocChannel(), nullptr);
}

TEST_F(SoundDrivers, WithoutTheOpenALLibraryTheProgramStaysSilentButRunning) {
  SetOpenALLibraryName("liblambrisk-no-such-openal.so.1");
  EXPECT_FALSE(OpenALInstalled());
  EXPECT_FALSE(SetAudioDriver("OpenAL"));
  EXPECT_EQ(CurrentAudioDriver(), "Null");
  TTempDir temp;
  const std::string& dir = temp.Path();
  ASSERT_TRUE(WriteBytes(dir + "/beep.wav", MakeWav(1, 8000, ::Tone(800, 1, 8000, 440, 9000))));
  TSoundPtr sound = LoadSound(dir + "/beep.wav", 0);
  ASSERT_NE(sound, nullptr);
  TChannelPtr channel = sound->Play();
  ASSERT_NE(channel, nullptr);
  EXPECT_TRUE(channel->Playing());
  clock.Advance(100);
  EXPECT_FALSE(channel->Playing());
}

TEST_F(SoundDrivers, OssWithoutADeviceFallsBackToSilence) {
  if (FileType("/dev/dsp") != FILETYPE_NONE) GTEST_SKIP() << "this machine has an OSS device";
  EXPECT_FALSE(SetAudioDriver("OSS"));
  EXPECT_EQ(CurrentAudioDriver(), "Null");
}

TEST_F(SoundDrivers, SilentChannelsPlayForTheSoundsLengthOnTheGameClock) {
  auto driver = NewNullDriver();
  ASSERT_TRUE(driver->Startup());
  TSoundPtr sound = driver->CreateSound(Tone(500), 0);
  ASSERT_NE(sound, nullptr);

  TChannelPtr channel = sound->Play();
  ASSERT_NE(channel, nullptr);
  clock.Advance(499);
  EXPECT_TRUE(channel->Playing());
  clock.Advance(1);
  EXPECT_FALSE(channel->Playing());

  // Cued: held while paused, then the full length once let go; twice as fast at rate 2.
  EXPECT_EQ(sound->Cue(channel), channel);
  clock.Advance(5000);
  EXPECT_TRUE(channel->Playing());
  channel->SetRate(2);
  channel->SetPaused(false);
  clock.Advance(249);
  EXPECT_TRUE(channel->Playing());
  clock.Advance(1);
  EXPECT_FALSE(channel->Playing());

  sound->Play(channel);
  channel->Stop();
  EXPECT_FALSE(channel->Playing());

  TSoundPtr looped = driver->CreateSound(Tone(50), SOUND_LOOP);
  TChannelPtr loop = looped->Play();
  clock.Advance(100000);
  EXPECT_TRUE(loop->Playing());
  loop->Stop();
  EXPECT_FALSE(loop->Playing());
  driver->Shutdown();
}

TEST_F(SoundDrivers, HandlesOutlivingTheirDriverGoQuiet) {
  ASSERT_TRUE(SetAudioDriver("Null"));
  TTempDir temp;
  const std::string& dir = temp.Path();
  ASSERT_TRUE(WriteBytes(dir + "/long.wav", MakeWav(1, 8000, ::Tone(80000, 1, 8000, 440, 9000))));
  TSoundPtr sound = LoadSound(dir + "/long.wav", 0);
  ASSERT_NE(sound, nullptr);
  TChannelPtr channel = sound->Play();
  ASSERT_TRUE(channel->Playing());
  ASSERT_TRUE(SetAudioDriver("Null"));  // a fresh driver: the old one is shut down
  EXPECT_FALSE(channel->Playing());
  EXPECT_EQ(sound->Play(), nullptr);
  EXPECT_EQ(sound->Cue(channel), nullptr);
  // A channel of the old driver handed to a sound of the new one is replaced, not reused.
  TSoundPtr fresh = LoadSound(dir + "/long.wav", 0);
  TChannelPtr replaced = fresh->Cue(channel);
  ASSERT_NE(replaced, nullptr);
  EXPECT_NE(replaced, channel);
  EXPECT_TRUE(replaced->Playing());
}

TEST_F(SoundDrivers, LoadingTakesWavAndOggAndRefusesTheRest) {
  TTempDir temp;
  const std::string& dir = temp.Path();
  ASSERT_TRUE(WriteBytes(dir + "/a.wav", MakeWav(2, 8000, ::Tone(400, 2, 8000, 300, 9000))));
  ASSERT_TRUE(WriteBytes(dir + "/b.ogg", MakeOgg(1, 8000, ::Tone(4000, 1, 8000, 300, 9000))));
  ASSERT_TRUE(WriteBytes(dir + "/c.wav", {'R', 'I', 'F', 'F', 1, 2, 3}));
  ASSERT_TRUE(WriteBytes(dir + "/d.wav", {}));
  EXPECT_NE(LoadSound(dir + "/a.wav", 0), nullptr);
  TSoundPtr ogg = LoadSound(dir + "/b.ogg", 0);
  ASSERT_NE(ogg, nullptr);
  TChannelPtr channel = ogg->Play();
  clock.Advance(499);
  EXPECT_TRUE(channel->Playing());
  clock.Advance(2);
  EXPECT_FALSE(channel->Playing());
  EXPECT_EQ(LoadSound(dir + "/c.wav", 0), nullptr);
  EXPECT_EQ(LoadSound(dir + "/d.wav", 0), nullptr);
  EXPECT_EQ(LoadSound(dir + "/missing.wav", 0), nullptr);
  EXPECT_EQ(LoadSound(dir, 0), nullptr);  // a folder
}

// Keeps what the mixing thread writes; paces it a little so the test doesn't spin a core.
struct TRecordedOutput {
  std::mutex mutex;
  std::vector<int16_t> frames;
  std::atomic<bool> open{false};
  bool fail_open = false;
  bool fail_writes = false;
  std::atomic<int> writes{0};
};

class TRecordingOutput : public TPcmOutput {
 public:
  explicit TRecordingOutput(std::shared_ptr<TRecordedOutput> rec) : rec_(std::move(rec)) {}
  bool Open(int& rate) override {
    rate = 8000;
    rec_->open = !rec_->fail_open;
    return rec_->open;
  }
  bool Write(const int16_t* frames, size_t count) override {
    ++rec_->writes;
    if (rec_->fail_writes) return false;
    {
      std::lock_guard<std::mutex> lock(rec_->mutex);
      rec_->frames.insert(rec_->frames.end(), frames, frames + 2 * count);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
  }
  void Close() override { rec_->open = false; }

 private:
  std::shared_ptr<TRecordedOutput> rec_;
};

TEST_F(SoundDrivers, OssThreadMixesIntoTheOutputAndIsJoinedOnShutdown) {
  auto rec = std::make_shared<TRecordedOutput>();
  ASSERT_TRUE(UseAudioDriver(NewOssDriver(std::make_unique<TRecordingOutput>(rec))));
  EXPECT_EQ(CurrentAudioDriver(), "OSS");
  TTempDir temp;
  const std::string& dir = temp.Path();
  ASSERT_TRUE(WriteBytes(dir + "/tone.wav", MakeWav(1, 8000, ::Tone(800, 1, 8000, 440, 20000))));
  TSoundPtr sound = LoadSound(dir + "/tone.wav", 0);
  ASSERT_NE(sound, nullptr);
  TChannelPtr channel = sound->Cue();
  ASSERT_NE(channel, nullptr);
  channel->SetPan(1);
  channel->SetPaused(false);

  // The tone lasts 100 ms of output; wait (generously) for the thread to get through it.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (channel->Playing() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_FALSE(channel->Playing());
  ShutdownAudio();
  EXPECT_FALSE(rec->open);

  std::lock_guard<std::mutex> lock(rec->mutex);
  int left_peak = 0, right_peak = 0;
  for (size_t i = 0; i + 1 < rec->frames.size(); i += 2) {
    left_peak = std::max(left_peak, std::abs(int(rec->frames[i])));
    right_peak = std::max(right_peak, std::abs(int(rec->frames[i + 1])));
  }
  EXPECT_EQ(left_peak, 0);  // panned fully right
  EXPECT_GT(right_peak, 15000);
}

// A device that stops taking data is reported once and not written to again; the thread keeps
// time until it is shut down.
TEST_F(SoundDrivers, AnOssDeviceThatStopsIsReportedOnceAndLeftAlone) {
  static std::atomic<int> warnings{0};
  SetPlatformLogSink([](const std::string& line) {
    if (line.find("OSS device stopped") != std::string::npos) ++warnings;
  });
  auto rec = std::make_shared<TRecordedOutput>();
  rec->fail_writes = true;
  ASSERT_TRUE(UseAudioDriver(NewOssDriver(std::make_unique<TRecordingOutput>(rec))));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (rec->writes == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  // A block lasts 128 ms at the recording output's 8000 frames a second: let a few go by.
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  ShutdownAudio();
  SetPlatformLogSink(nullptr);
  EXPECT_EQ(warnings, 1);
  EXPECT_EQ(rec->writes, 1);
}

TEST_F(SoundDrivers, OssOutputThatWontOpenFallsBackToSilence) {
  auto rec = std::make_shared<TRecordedOutput>();
  rec->fail_open = true;
  EXPECT_FALSE(UseAudioDriver(NewOssDriver(std::make_unique<TRecordingOutput>(rec))));
  EXPECT_EQ(CurrentAudioDriver(), "Null");
}

}  // namespace
