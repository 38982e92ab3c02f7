// Sound: loaded sounds, channels that play them, and the audio drivers behind both, chosen by
// name ("OpenAL", "OSS", "Null"). A driver that fails to start leaves the program silent, never
// stopped. Everything here is called from the game thread only.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/sound_decode.h"

// A voice a sound plays on. Playing is true while it holds a sound that has not run out, paused
// or not; a stopped channel can be given to Play or Cue again.
class TChannel {
 public:
  virtual ~TChannel() = default;
  virtual void Stop() = 0;
  virtual void SetPaused(bool paused) = 0;
  virtual void SetVolume(float volume) = 0;  // 0 .. 1
  virtual void SetPan(float pan) = 0;        // -1 left .. 1 right
  virtual void SetDepth(float depth) = 0;    // distance behind the listener; only OpenAL uses it
  virtual void SetRate(float rate) = 0;      // 1 = recorded pitch; 0 or less plays nothing
  virtual bool Playing() = 0;
};
using TChannelPtr = std::shared_ptr<TChannel>;

class TSound;
using TSoundPtr = std::shared_ptr<TSound>;

class TSound {
 public:
  virtual ~TSound() = default;
  // Plays on the given channel, or on a new one when none is given (or when the given one
  // belongs to another driver); null when no channel could be had.
  virtual TChannelPtr Play(TChannelPtr channel = nullptr) = 0;
  // The same, but prepared and paused: unpause the channel to start it.
  virtual TChannelPtr Cue(TChannelPtr channel = nullptr) = 0;
  // A sound of the current driver from a WAV or Ogg Vorbis file; the same as LoadSound.
  static TSoundPtr Load(const std::string& path, int flags);
};

enum { SOUND_LOOP = 1 };

// One back end. Startup is called once before use and Shutdown once after; sounds and channels
// that outlive their driver go quiet and report not playing.
class TAudioDriver {
 public:
  virtual ~TAudioDriver() = default;
  virtual std::string Name() = 0;
  virtual bool Startup() = 0;  // false when the back end can't run here
  virtual void Shutdown() = 0;
  // A sound from decoded samples; null when the back end can't take it.
  virtual TSoundPtr CreateSound(const TPcm& pcm, int flags) = 0;
  // A fresh channel; null when the back end has none to give.
  virtual TChannelPtr AllocChannel() = 0;
  // Reads and decodes a WAV or Ogg Vorbis file, then CreateSound; null on any failure.
  TSoundPtr LoadSound(const std::string& path, int flags);
};

// Names of the drivers this platform offers, in a fixed order (at most 100).
std::vector<std::string> AudioDrivers();
// Whether a driver of that name exists (names compare without regard to case).
bool AudioDriverExists(const std::string& name);
// Whether the OpenAL library can be loaded; tested once and remembered.
bool OpenALInstalled();
// Shuts the current driver down and starts the named one; false when it did not start (the
// silent driver then runs instead). An unknown name changes nothing and gives false.
bool SetAudioDriver(const std::string& name);
// Shuts the current driver down and runs the given one instead (tests inject recording drivers
// this way); false, with the silent driver running, when it did not start.
bool UseAudioDriver(std::unique_ptr<TAudioDriver> driver);
// Shuts the current driver down; the silent driver is started again on the next use. Also run
// when the process ends through ExitProcess, so the mixing thread is joined and devices closed.
void ShutdownAudio();
// Name of the driver in use.
std::string CurrentAudioDriver();

// Loads a WAV or Ogg Vorbis file into the current driver; flags SOUND_LOOP loops it. Null when
// the file is missing or not a sound we can read.
TSoundPtr LoadSound(const std::string& path, int flags);
// A new channel of the current driver; null when the driver has none to give.
TChannelPtr AllocChannel();
