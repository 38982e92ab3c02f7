// The silent driver: the platform's default, and where the program falls back to when a real
// back end won't start. It keeps the channel bookkeeping of a real driver against the game clock.
#include "platform/audio_drivers.h"
#include "platform/sound_mixer.h"

namespace {

// A nominal rate: one frame per millisecond is all the precision time-keeping needs.
constexpr int kClockRate = 1000;

class TNullDriver : public TMixerDriver {
 public:
  ~TNullDriver() override { Shutdown(); }
  std::string Name() override { return "Null"; }
  bool Startup() override {
    mixer_ = std::make_shared<TSoftMixer>(kClockRate, true);
    return true;
  }
  void Shutdown() override {
    if (!mixer_) return;
    mixer_->Close();
    mixer_.reset();
  }
};

}  // namespace

std::unique_ptr<TAudioDriver> NewNullDriver() { return std::make_unique<TNullDriver>(); }
