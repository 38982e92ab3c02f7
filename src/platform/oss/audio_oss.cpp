// The OSS driver: one thread mixes every channel in software and writes the result to
// "/dev/dsp" (or, in tests, to any other output). The device's blocking writes pace the thread.
#include <fcntl.h>
#include <linux/soundcard.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/audio_drivers.h"
#include "platform/platform_log.h"
#include "platform/sound_mixer.h"

namespace {

constexpr int kWishedRate = 44100;
constexpr size_t kBlockFrames = 1024;  // about 23 ms at 44100: short enough for prompt effects

class TOssDevice : public TPcmOutput {
 public:
  ~TOssDevice() override { Close(); }
  bool Open(int& rate) override {
    fd_ = open("/dev/dsp", O_WRONLY | O_CLOEXEC);
    if (fd_ < 0) return false;
    // Four fragments of 4096 bytes, so effects start promptly; asked first, as OSS wants. Only a
    // wish: a device that refuses keeps its own buffering and still plays, so the answer is unused.
    int fragments = (4 << 16) | 12;
    (void)ioctl(fd_, SNDCTL_DSP_SETFRAGMENT, &fragments);
    int format = AFMT_S16_LE;
    int channels = 2;
    int granted = rate;
    if (ioctl(fd_, SNDCTL_DSP_SETFMT, &format) < 0 || format != AFMT_S16_LE ||
        ioctl(fd_, SNDCTL_DSP_CHANNELS, &channels) < 0 || channels != 2 ||
        ioctl(fd_, SNDCTL_DSP_SPEED, &granted) < 0 || granted <= 0) {
      Close();
      return false;
    }
    rate = granted;
    return true;
  }
  bool Write(const int16_t* frames, size_t count) override {
    const char* p = reinterpret_cast<const char*>(frames);
    size_t left = count * 2 * sizeof(int16_t);
    while (left > 0) {
      ssize_t n = write(fd_, p, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      p += n;
      left -= size_t(n);
    }
    return true;
  }
  void Close() override {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

void SleepFrames(size_t frames, int rate) {
  long ns = long(frames * 1000000000ull / unsigned(rate));
  timespec req{ns / 1000000000L, ns % 1000000000L};
  timespec rem{};
  while (nanosleep(&req, &rem) != 0 && errno == EINTR) req = rem;
}

class TOssDriver : public TMixerDriver {
 public:
  explicit TOssDriver(std::unique_ptr<TPcmOutput> output) : output_(std::move(output)) {}
  ~TOssDriver() override { Shutdown(); }
  std::string Name() override { return "OSS"; }

  bool Startup() override {
    if (!output_ || mixer_) return false;
    int rate = kWishedRate;
    if (!output_->Open(rate)) return false;
    mixer_ = std::make_shared<TSoftMixer>(rate, false);
    running_ = true;
    try {
      thread_ = std::thread(&TOssDriver::MixLoop, this, mixer_, rate);
    } catch (const std::system_error&) {
      running_ = false;
      mixer_.reset();
      output_->Close();
      return false;
    }
    return true;
  }

  void Shutdown() override {
    if (!mixer_) return;
    running_ = false;
    if (thread_.joinable()) thread_.join();
    output_->Close();
    mixer_->Close();
    mixer_.reset();
  }

 private:
  void MixLoop(std::shared_ptr<TSoftMixer> mixer, int rate) {
    std::vector<int16_t> block(kBlockFrames * 2);
    bool device_lost = false;
    while (running_) {
      mixer->Mix(block.data(), kBlockFrames);
      if (!device_lost && output_->Write(block.data(), kBlockFrames)) continue;
      if (!device_lost) PlatformWarning("The OSS device stopped taking sound; the game goes on silently");
      // Not asked again: a device that failed once would fail (or block) every block. Time still
      // passes, so channels run out as usual.
      device_lost = true;
      SleepFrames(kBlockFrames, rate);
    }
  }

  std::unique_ptr<TPcmOutput> output_;
  std::atomic<bool> running_{false};
  std::thread thread_;
};

}  // namespace

std::unique_ptr<TPcmOutput> NewOssDevice() { return std::make_unique<TOssDevice>(); }

std::unique_ptr<TAudioDriver> NewOssDriver(std::unique_ptr<TPcmOutput> output) {
  return std::make_unique<TOssDriver>(std::move(output));
}
