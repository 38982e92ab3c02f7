// Sound: loaded sounds, channels that play them, and the audio drivers behind both, chosen by
// name ("OpenAL", "OSS", "Null"). A driver that fails to start leaves the program silent, never
// stopped.
#pragma once
#include <memory>
#include <string>
#include <vector>

class TChannel {
 public:
  virtual ~TChannel() = default;
  virtual void Stop() = 0;
  virtual void SetPaused(bool paused) = 0;
  virtual void SetVolume(float volume) = 0;  // 0 .. 1
  virtual void SetPan(float pan) = 0;        // -1 left .. 1 right
  virtual void SetDepth(float depth) = 0;
  virtual void SetRate(float rate) = 0;      // 1 = recorded pitch
  virtual bool Playing() = 0;
};
using TChannelPtr = std::shared_ptr<TChannel>;

class TSound;
using TSoundPtr = std::shared_ptr<TSound>;

class TSound {
 public:
  virtual ~TSound() = default;
  // Plays on the given channel, or on a new one when none is given; null when no channel.
  virtual TChannelPtr Play(TChannelPtr channel = nullptr) = 0;
  // The same, but prepared and paused: unpause the channel to start it.
  virtual TChannelPtr Cue(TChannelPtr channel = nullptr) = 0;
};

enum { SOUND_LOOP = 1 };

// Names of the drivers this platform offers, in a fixed order (at most 100).
std::vector<std::string> AudioDrivers();
// Whether a driver of that name exists (names compare without regard to case).
bool AudioDriverExists(const std::string& name);
// Whether the OpenAL library can be loaded; tested once and remembered.
bool OpenALInstalled();
// Shuts the current driver down and starts the named one; false when it did not start (the
// silent driver then runs instead).
bool SetAudioDriver(const std::string& name);
// Name of the driver in use.
std::string CurrentAudioDriver();

// Loads a WAV or Ogg Vorbis file into the current driver; flags SOUND_LOOP loops it. Null when
// the file is missing or not a sound we can read.
TSoundPtr LoadSound(const std::string& path, int flags);
// A new channel of the current driver; null when the driver has none to give.
TChannelPtr AllocChannel();
