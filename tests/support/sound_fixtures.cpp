// Sound test material: WAV and Ogg builders and the recording audio driver.
#include "support/sound_fixtures.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/vorbisenc/ogg_encode.h"

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

}  // namespace

TWavBuilder& TWavBuilder::Fmt(int channels, int rate, int bits, int tag) {
  std::vector<uint8_t> f;
  Put16(f, uint16_t(tag));
  Put16(f, uint16_t(channels));
  Put32(f, uint32_t(rate));
  Put32(f, uint32_t(int64_t(rate) * channels * bits / 8));
  Put16(f, uint16_t(channels * bits / 8));
  Put16(f, uint16_t(bits));
  return Chunk("fmt ", f);
}

TWavBuilder& TWavBuilder::Chunk(const char id[4], const std::vector<uint8_t>& data, bool pad) {
  body.insert(body.end(), id, id + 4);
  Put32(body, uint32_t(data.size()));
  body.insert(body.end(), data.begin(), data.end());
  if (pad && data.size() % 2) body.push_back(0);
  return *this;
}

std::vector<uint8_t> TWavBuilder::Bytes() const {
  std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
  Put32(out, uint32_t(body.size() + 4));
  out.insert(out.end(), {'W', 'A', 'V', 'E'});
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> out;
  for (int16_t s : samples) Put16(out, uint16_t(s));
  return out;
}

std::vector<int16_t> Tone(int frames, int channels, int rate, double hz, int peak) {
  std::vector<int16_t> out;
  for (int f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c)
      out.push_back(int16_t(peak * std::sin(2 * M_PI * hz * f / rate)));
  return out;
}

std::vector<uint8_t> MakeWav(int channels, int rate, const std::vector<int16_t>& samples) {
  return TWavBuilder().Fmt(channels, rate, 16).Data(Pcm16(samples)).Bytes();
}

std::vector<uint8_t> MakeOgg(int channels, int rate, const std::vector<int16_t>& samples) {
  std::vector<float> interleaved;
  for (int16_t s : samples) interleaved.push_back(s / 32768.0f);
  return EncodeOggVorbis(interleaved, channels, rate, 0.4f, 1234);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

namespace {

class TRecordedSound : public TSound {
 public:
  TRecordedSound(std::shared_ptr<TAudioLog> log) : log_(std::move(log)) {}
  TChannelPtr Play(TChannelPtr channel) override { return Start(std::move(channel), false); }
  TChannelPtr Cue(TChannelPtr channel) override { return Start(std::move(channel), true); }

 private:
  TChannelPtr Start(TChannelPtr channel, bool paused) {
    auto ours = std::dynamic_pointer_cast<TRecordedChannel>(channel);
    if (!ours || ours->owner != log_.get()) {
      ours = std::make_shared<TRecordedChannel>();
      ours->owner = log_.get();
      log_->channels.push_back(ours);
    }
    ours->sound = this;
    ++ours->cues;
    ours->paused = paused;
    ours->playing = true;
    return ours;
  }
  std::shared_ptr<TAudioLog> log_;
};

class TRecordingDriver : public TAudioDriver {
 public:
  TRecordingDriver(std::shared_ptr<TAudioLog> log, bool start_ok) : log_(std::move(log)), start_ok_(start_ok) {}
  std::string Name() override { return "Recording"; }
  bool Startup() override { return log_->started = start_ok_; }
  void Shutdown() override { log_->shut_down = true; }
  TSoundPtr CreateSound(const TPcm&, int) override {
    ++log_->sounds;
    return std::make_shared<TRecordedSound>(log_);
  }
  TChannelPtr AllocChannel() override {
    auto channel = std::make_shared<TRecordedChannel>();
    channel->owner = log_.get();
    log_->channels.push_back(channel);
    return channel;
  }

 private:
  std::shared_ptr<TAudioLog> log_;
  bool start_ok_;
};

}  // namespace

std::unique_ptr<TAudioDriver> NewRecordingDriver(std::shared_ptr<TAudioLog> log, bool start_ok) {
  return std::make_unique<TRecordingDriver>(std::move(log), start_ok);
}
