// The driver registry: which back end runs, switching between them, and the fall-back to the
// silent driver whenever a real one can't start. Until something is selected the silent driver
// runs, started on first use.
#include "platform/sound.h"

#include <strings.h>

#include "platform/audio_drivers.h"
#include "platform/files.h"
#include "platform/platform_log.h"
#include "platform/stream.h"

namespace {

struct TDriverEntry {
  const char* name;
  std::unique_ptr<TAudioDriver> (*make)();
};

// The platform's order: OpenAL first, so that start-up's default choice prefers it.
const TDriverEntry kDrivers[] = {
    {"OpenAL", [] { return NewOpenALDriver(); }},
    {"OSS", [] { return NewOssDriver(); }},
    {"Null", [] { return NewNullDriver(); }},
};

std::unique_ptr<TAudioDriver>& Current() {
  static std::unique_ptr<TAudioDriver> driver;
  return driver;
}

const TDriverEntry* FindDriver(const std::string& name) {
  for (const TDriverEntry& entry : kDrivers)
    if (strcasecmp(entry.name, name.c_str()) == 0) return &entry;
  return nullptr;
}

// Every running driver is shut down when the process ends, joining the OSS mixing thread.
void Install(std::unique_ptr<TAudioDriver> driver) {
  static bool hooked = false;
  if (!hooked) AddExitHook(ShutdownAudio);
  hooked = true;
  Current() = std::move(driver);
}

TAudioDriver& Driver() {
  if (!Current()) {
    auto silent = NewNullDriver();
    silent->Startup();  // the silent driver always starts
    Install(std::move(silent));
  }
  return *Current();
}

}  // namespace

TSoundPtr TAudioDriver::LoadSound(const std::string& path, int flags) {
  // A sound file never needs to be much larger than the decoded sound it may become.
  std::vector<uint8_t> bytes;
  std::string reason;
  TPcm pcm;
  if (ReadWholeFile(path, bytes, kMaxPcmBytes + (1u << 20), reason)) {
    if (DecodeSound(bytes.data(), bytes.size(), pcm)) return CreateSound(pcm, flags);
    reason = "not a WAV or Ogg Vorbis sound the game can play";
  }
  PlatformWarning("Can't load the sound " + path + ": " + reason);
  return nullptr;
}

TSoundPtr TSound::Load(const std::string& path, int flags) { return Driver().LoadSound(path, flags); }

std::vector<std::string> AudioDrivers() {
  std::vector<std::string> names;
  for (const TDriverEntry& entry : kDrivers) names.push_back(entry.name);
  return names;
}

bool AudioDriverExists(const std::string& name) { return FindDriver(name) != nullptr; }

bool OpenALInstalled() { return LoadOpenALLibrary(); }

bool SetAudioDriver(const std::string& name) {
  const TDriverEntry* entry = FindDriver(name);
  if (!entry) return false;
  return UseAudioDriver(entry->make());
}

bool UseAudioDriver(std::unique_ptr<TAudioDriver> driver) {
  ShutdownAudio();
  if (driver && driver->Startup()) {
    Install(std::move(driver));
    return true;
  }
  Driver();  // the silent one
  return false;
}

void ShutdownAudio() {
  if (Current()) Current()->Shutdown();
  Current().reset();
}

std::string CurrentAudioDriver() { return Driver().Name(); }

TSoundPtr LoadSound(const std::string& path, int flags) { return TSound::Load(path, flags); }

TChannelPtr AllocChannel() { return Driver().AllocChannel(); }
