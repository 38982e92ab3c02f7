// The software mixer and the sounds and channels of the drivers built on it. The OSS driver mixes
// real samples on its own thread; the silent driver runs the same voices against the game clock
// without producing any output, so that game logic asking whether a channel plays works headless.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sound.h"

// Voices playing decoded sounds into a stereo 16-bit stream. Every method takes the mixer's lock:
// the game thread changes voices while the output thread mixes them.
class TSoftMixer {
 public:
  // output_rate: frames per second of the output. follow_game_clock: voices advance by the game's
  // millisecond clock (read under the lock before every change or question) instead of by Mix.
  TSoftMixer(int output_rate, bool follow_game_clock);

  int NewVoice();            // an id for a silent voice; -1 once the mixer is closed
  void FreeVoice(int voice);
  // Puts a sound on a voice from its start, paused or running; false when it could not.
  bool Start(int voice, std::shared_ptr<const TPcm> pcm, bool loop, bool paused);
  void Stop(int voice);
  void SetPaused(int voice, bool paused);
  void SetVolume(int voice, float volume);
  void SetPan(int voice, float pan);
  void SetRate(int voice, float rate);  // 0 or less ends the sound; above 16 plays at 16
  bool Playing(int voice);   // holds a sound that has not run out, paused or not

  // Adds every running voice into out (frames stereo pairs, overwritten) and moves them on.
  void Mix(int16_t* out, size_t frames);
  // Stops every voice for good: the driver has shut down.
  void Close();

 private:
  struct TVoice {
    bool used = false;                 // handed out by NewVoice and not freed
    std::shared_ptr<const TPcm> pcm;   // null when nothing is on the voice
    bool loop = false;
    bool paused = false;
    double pos = 0;                    // in source frames
    float volume = 1;
    float pan = 0;
    float rate = 1;
  };
  TVoice* Find(int voice);             // null for ids that are not handed out
  void FollowClock();
  void Render(int32_t* acc, size_t frames);  // acc may be null: only advance

  std::mutex mutex_;
  const int output_rate_;
  const bool follow_game_clock_;
  bool closed_ = false;
  int last_ms_ = 0;
  std::vector<TVoice> voices_;
  std::vector<int32_t> scratch_;
};

// Sounds and channels of a driver that mixes in software. Subclasses create mixer_ in Startup and
// close it in Shutdown.
class TMixerDriver : public TAudioDriver {
 public:
  TSoundPtr CreateSound(const TPcm& pcm, int flags) override;
  TChannelPtr AllocChannel() override;

 protected:
  std::shared_ptr<TSoftMixer> mixer_;
};
