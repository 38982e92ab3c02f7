// The OpenAL driver. The library is opened with dlopen when first asked for and never linked, so
// the program starts on machines without it. The few AL and ALC entry points used are declared
// here, so building needs no OpenAL development files.
#include <dlfcn.h>
#include <unistd.h>

#include <cmath>
#include <climits>
#include <cstdio>

#include "platform/audio_drivers.h"
#include "platform/platform_log.h"

namespace {

using ALint = int;
using ALuint = unsigned int;
using ALenum = int;
using ALsizei = int;
using ALfloat = float;
using ALCboolean = char;
struct ALCdevice;
struct ALCcontext;

constexpr ALenum AL_NO_ERROR = 0;
constexpr ALenum AL_SOURCE_RELATIVE = 0x202;
constexpr ALenum AL_PITCH = 0x1003;
constexpr ALenum AL_POSITION = 0x1004;
constexpr ALenum AL_LOOPING = 0x1007;
constexpr ALenum AL_BUFFER = 0x1009;
constexpr ALenum AL_GAIN = 0x100A;
constexpr ALenum AL_SOURCE_STATE = 0x1010;
constexpr ALenum AL_PLAYING = 0x1012;
constexpr ALenum AL_PAUSED = 0x1013;
constexpr ALenum AL_FORMAT_MONO16 = 0x1101;
constexpr ALenum AL_FORMAT_STEREO16 = 0x1103;

// The entry points, filled once from the library.
struct TALApi {
  ALenum (*alGetError)();
  void (*alGenBuffers)(ALsizei, ALuint*);
  void (*alDeleteBuffers)(ALsizei, const ALuint*);
  void (*alBufferData)(ALuint, ALenum, const void*, ALsizei, ALsizei);
  void (*alGenSources)(ALsizei, ALuint*);
  void (*alDeleteSources)(ALsizei, const ALuint*);
  void (*alSourcei)(ALuint, ALenum, ALint);
  void (*alSourcef)(ALuint, ALenum, ALfloat);
  void (*alSource3f)(ALuint, ALenum, ALfloat, ALfloat, ALfloat);
  void (*alGetSourcei)(ALuint, ALenum, ALint*);
  void (*alSourcePlay)(ALuint);
  void (*alSourcePause)(ALuint);
  void (*alSourceStop)(ALuint);
  ALCdevice* (*alcOpenDevice)(const char*);
  ALCboolean (*alcCloseDevice)(ALCdevice*);
  ALCcontext* (*alcCreateContext)(ALCdevice*, const ALint*);
  ALCboolean (*alcMakeContextCurrent)(ALCcontext*);
  void (*alcDestroyContext)(ALCcontext*);
};

TALApi al{};
std::string library_name = "libopenal.so.1";
int library_state = -1;  // -1 not tried yet, 0 unloadable, 1 loaded

template <typename F>
bool Bind(void* lib, F& fn, const char* name) {
  fn = reinterpret_cast<F>(dlsym(lib, name));
  return fn != nullptr;
}

bool BindAll(void* lib, TALApi& al) {
  return Bind(lib, al.alGetError, "alGetError") && Bind(lib, al.alGenBuffers, "alGenBuffers") &&
         Bind(lib, al.alDeleteBuffers, "alDeleteBuffers") && Bind(lib, al.alBufferData, "alBufferData") &&
         Bind(lib, al.alGenSources, "alGenSources") && Bind(lib, al.alDeleteSources, "alDeleteSources") &&
         Bind(lib, al.alSourcei, "alSourcei") && Bind(lib, al.alSourcef, "alSourcef") &&
         Bind(lib, al.alSource3f, "alSource3f") && Bind(lib, al.alGetSourcei, "alGetSourcei") &&
         Bind(lib, al.alSourcePlay, "alSourcePlay") && Bind(lib, al.alSourcePause, "alSourcePause") &&
         Bind(lib, al.alSourceStop, "alSourceStop") && Bind(lib, al.alcOpenDevice, "alcOpenDevice") &&
         Bind(lib, al.alcCloseDevice, "alcCloseDevice") &&
         Bind(lib, al.alcCreateContext, "alcCreateContext") &&
         Bind(lib, al.alcMakeContextCurrent, "alcMakeContextCurrent") &&
         Bind(lib, al.alcDestroyContext, "alcDestroyContext");
}

// OpenAL, and the ALSA library under it, write their complaints straight to standard error: a
// player without a sound card would find a screenful of them on the terminal. While the device
// opens they go to a scratch file instead, and from there, a few lines at most, to the platform's
// warnings (the debug log).
class TQuietStandardError {
 public:
  TQuietStandardError() {
    scratch_ = std::tmpfile();
    if (!scratch_) return;
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    if (saved_ < 0 || dup2(fileno(scratch_), STDERR_FILENO) < 0) {
      if (saved_ >= 0) close(saved_);
      saved_ = -1;
    }
  }
  ~TQuietStandardError() {
    if (saved_ >= 0) {
      std::fflush(stderr);
      dup2(saved_, STDERR_FILENO);
      close(saved_);
      std::rewind(scratch_);
      char line[256];
      for (int n = 0; n < 16 && std::fgets(line, sizeof line, scratch_); ++n) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        PlatformWarning("Sound: " + text);
      }
    }
    if (scratch_) std::fclose(scratch_);
  }
  TQuietStandardError(const TQuietStandardError&) = delete;
  TQuietStandardError& operator=(const TQuietStandardError&) = delete;

 private:
  std::FILE* scratch_ = nullptr;
  int saved_ = -1;
};

// What sounds and channels share with their driver: whether its context is still there.
struct TALContext {
  bool open = true;
};

// A buffer lives until the sound and every channel that last played it let go.
struct TALBuffer {
  TALBuffer(std::shared_ptr<TALContext> context, ALuint id) : context(std::move(context)), id(id) {}
  ~TALBuffer() {
    if (context->open) al.alDeleteBuffers(1, &id);
  }
  const std::shared_ptr<TALContext> context;
  const ALuint id;
};

class TALChannel : public TChannel {
 public:
  TALChannel(std::shared_ptr<TALContext> context, ALuint source)
      : context(std::move(context)), source_(source) {
    al.alSourcei(source_, AL_SOURCE_RELATIVE, 1);
    Place();
  }
  ~TALChannel() override {
    if (!context->open) return;
    al.alSourceStop(source_);
    al.alDeleteSources(1, &source_);
  }

  // Binds a buffer from its start; cued channels wait for SetPaused(false).
  void Start(std::shared_ptr<TALBuffer> buffer, bool loop, bool paused) {
    if (!context->open) return;
    al.alSourceStop(source_);
    al.alSourcei(source_, AL_BUFFER, ALint(buffer->id));
    al.alSourcei(source_, AL_LOOPING, loop ? 1 : 0);
    buffer_ = std::move(buffer);
    cued_ = paused;
    if (!paused) al.alSourcePlay(source_);
  }
  void Stop() override {
    cued_ = false;
    if (context->open) al.alSourceStop(source_);
  }
  void SetPaused(bool paused) override {
    if (!context->open) return;
    ALint state = State();
    if (paused && state == AL_PLAYING) {
      al.alSourcePause(source_);
    } else if (!paused && (cued_ || state == AL_PAUSED)) {
      cued_ = false;
      al.alSourcePlay(source_);
    }
  }
  void SetVolume(float volume) override {
    if (context->open) al.alSourcef(source_, AL_GAIN, volume >= 0 ? std::fmin(volume, 1.0f) : 0.0f);
  }
  void SetPan(float pan) override {
    pan_ = std::isnan(pan) ? 0 : std::fmax(-1.0f, std::fmin(pan, 1.0f));
    Place();
  }
  void SetDepth(float depth) override {
    depth_ = depth > 0 ? depth : 0;
    Place();
  }
  void SetRate(float rate) override {
    if (!context->open) return;
    if (!(rate > 0)) {
      Stop();  // no rate to play at: the sound is over
      return;
    }
    al.alSourcef(source_, AL_PITCH, rate);
  }
  bool Playing() override {
    if (!context->open) return false;
    ALint state = State();
    return cued_ || state == AL_PLAYING || state == AL_PAUSED;
  }

  const std::shared_ptr<TALContext> context;

 private:
  ALint State() {
    ALint state = 0;
    al.alGetSourcei(source_, AL_SOURCE_STATE, &state);
    return state;
  }
  // Pan is a point on the unit circle in front of the listener; depth pushes it further back.
  void Place() {
    if (context->open)
      al.alSource3f(source_, AL_POSITION, pan_, 0, -(std::sqrt(1 - pan_ * pan_) + depth_));
  }

  ALuint source_;
  float pan_ = 0;
  float depth_ = 0;
  bool cued_ = false;
  std::shared_ptr<TALBuffer> buffer_;
};

TChannelPtr NewChannel(const std::shared_ptr<TALContext>& context) {
  if (!context || !context->open) return nullptr;
  al.alGetError();
  ALuint source = 0;
  al.alGenSources(1, &source);
  if (al.alGetError() != AL_NO_ERROR) return nullptr;  // out of sources
  return std::make_shared<TALChannel>(context, source);
}

class TALSound : public TSound {
 public:
  TALSound(std::shared_ptr<TALBuffer> buffer, bool loop) : buffer_(std::move(buffer)), loop_(loop) {}
  TChannelPtr Play(TChannelPtr channel) override { return Start(std::move(channel), false); }
  TChannelPtr Cue(TChannelPtr channel) override { return Start(std::move(channel), true); }

 private:
  TChannelPtr Start(TChannelPtr channel, bool paused) {
    if (!buffer_->context->open) return nullptr;
    auto* ours = dynamic_cast<TALChannel*>(channel.get());
    if (!ours || ours->context != buffer_->context) {
      channel = NewChannel(buffer_->context);
      ours = static_cast<TALChannel*>(channel.get());
    }
    if (!ours) return nullptr;
    ours->Start(buffer_, loop_, paused);
    return channel;
  }

  const std::shared_ptr<TALBuffer> buffer_;
  const bool loop_;
};

class TOpenALDriver : public TAudioDriver {
 public:
  ~TOpenALDriver() override { Shutdown(); }
  std::string Name() override { return "OpenAL"; }

  bool Startup() override {
    if (context_ || !LoadOpenALLibrary()) return false;
    TQuietStandardError quiet;
    device_ = al.alcOpenDevice(nullptr);
    if (!device_) return false;
    alc_context_ = al.alcCreateContext(device_, nullptr);
    if (!alc_context_ || !al.alcMakeContextCurrent(alc_context_)) {
      if (alc_context_) al.alcDestroyContext(alc_context_);
      al.alcCloseDevice(device_);
      alc_context_ = nullptr;
      device_ = nullptr;
      return false;
    }
    context_ = std::make_shared<TALContext>();
    return true;
  }

  void Shutdown() override {
    if (!context_) return;
    // Handles still held by the game outlive the context; from now on they do nothing.
    context_->open = false;
    context_.reset();
    al.alcMakeContextCurrent(nullptr);
    al.alcDestroyContext(alc_context_);
    al.alcCloseDevice(device_);
    alc_context_ = nullptr;
    device_ = nullptr;
  }

  TSoundPtr CreateSound(const TPcm& pcm, int flags) override {
    if (!context_ || pcm.rate <= 0 || (pcm.channels != 1 && pcm.channels != 2) || pcm.Frames() == 0)
      return nullptr;
    size_t bytes = pcm.Frames() * size_t(pcm.channels) * sizeof(int16_t);
    if (bytes > size_t(INT_MAX)) return nullptr;
    al.alGetError();
    ALuint id = 0;
    al.alGenBuffers(1, &id);
    if (al.alGetError() != AL_NO_ERROR) return nullptr;
    al.alBufferData(id, pcm.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16,
                    pcm.samples.data(), ALsizei(bytes), pcm.rate);
    if (al.alGetError() != AL_NO_ERROR) {
      al.alDeleteBuffers(1, &id);
      return nullptr;
    }
    auto buffer = std::make_shared<TALBuffer>(context_, id);
    return std::make_shared<TALSound>(std::move(buffer), (flags & SOUND_LOOP) != 0);
  }

  TChannelPtr AllocChannel() override { return NewChannel(context_); }

 private:
  ALCdevice* device_ = nullptr;
  ALCcontext* alc_context_ = nullptr;
  std::shared_ptr<TALContext> context_;
};

}  // namespace

bool LoadOpenALLibrary() {
  if (library_state < 0) {
    // Kept open for the life of the process: OpenAL does not survive being unloaded cleanly.
    void* lib = dlopen(library_name.c_str(), RTLD_NOW | RTLD_LOCAL);
    TALApi api{};
    library_state = 0;
    if (lib && BindAll(lib, api)) {
      al = api;
      library_state = 1;
    } else if (lib) {
      dlclose(lib);
    }
  }
  return library_state == 1;
}

void SetOpenALLibraryName(const std::string& name) {
  library_name = name;
  library_state = -1;
}

std::unique_ptr<TAudioDriver> NewOpenALDriver() { return std::make_unique<TOpenALDriver>(); }
