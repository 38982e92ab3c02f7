// The software mixer: linear-interpolated voices with volume, balance and rate, summed into a
// clipped stereo 16-bit stream; and the sound and channel handles of the mixing drivers.
#include "platform/sound_mixer.h"

#include <algorithm>
#include <cmath>

#include "platform/clock.h"

namespace {

constexpr float kMaxRate = 16.0f;  // keeps one output frame from skipping whole seconds

// NaN and negatives become 0, so a bad value silences rather than poisons the sum.
float Clamp(float v, float lo, float hi) {
  if (!(v >= lo)) return lo;
  return v > hi ? hi : v;
}

}  // namespace

TSoftMixer::TSoftMixer(int output_rate, bool follow_game_clock)
    : output_rate_(output_rate > 0 ? output_rate : 1),
      follow_game_clock_(follow_game_clock),
      last_ms_(follow_game_clock ? Millisecs() : 0) {}

TSoftMixer::TVoice* TSoftMixer::Find(int voice) {
  if (voice < 0 || size_t(voice) >= voices_.size() || !voices_[size_t(voice)].used) return nullptr;
  return &voices_[size_t(voice)];
}

void TSoftMixer::FollowClock() {
  if (!follow_game_clock_) return;
  int now = Millisecs();
  // A clock that went back (a test installed a new one) restarts the count instead of stalling.
  if (now > last_ms_) Render(nullptr, size_t(int64_t(now - last_ms_) * output_rate_ / 1000));
  last_ms_ = now;
}

int TSoftMixer::NewVoice() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return -1;
  FollowClock();
  for (size_t i = 0; i < voices_.size(); ++i) {
    if (!voices_[i].used) {
      voices_[i] = TVoice();
      voices_[i].used = true;
      return int(i);
    }
  }
  voices_.emplace_back();
  voices_.back().used = true;
  return int(voices_.size() - 1);
}

void TSoftMixer::FreeVoice(int voice) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (TVoice* v = Find(voice)) *v = TVoice();
}

bool TSoftMixer::Start(int voice, std::shared_ptr<const TPcm> pcm, bool loop, bool paused) {
  std::lock_guard<std::mutex> lock(mutex_);
  FollowClock();
  TVoice* v = Find(voice);
  if (!v || closed_ || !pcm || pcm->Frames() == 0) return false;
  v->pcm = std::move(pcm);
  v->loop = loop;
  v->paused = paused;
  v->pos = 0;
  return true;
}

void TSoftMixer::Stop(int voice) {
  std::lock_guard<std::mutex> lock(mutex_);
  FollowClock();
  if (TVoice* v = Find(voice)) v->pcm.reset();
}

void TSoftMixer::SetPaused(int voice, bool paused) {
  std::lock_guard<std::mutex> lock(mutex_);
  FollowClock();
  if (TVoice* v = Find(voice)) v->paused = paused;
}

void TSoftMixer::SetVolume(int voice, float volume) {
  std::lock_guard<std::mutex> lock(mutex_);
  FollowClock();
  if (TVoice* v = Find(voice)) v->volume = Clamp(volume, 0, 1);
}

void TSoftMixer::SetPan(int voice, float pan) {
  std::lock_guard<std::mutex> lock(mutex_);
  FollowClock();
  if (TVoice* v = Find(voice)) v->pan = std::isnan(pan) ? 0 : Clamp(pan, -1, 1);
}

void TSoftMixer::SetRate(int voice, float rate) {
  std::lock_guard<std::mutex> lock(mutex_);
  FollowClock();
  TVoice* v = Find(voice);
  if (!v) return;
  if (!(rate > 0)) {
    v->pcm.reset();  // no rate to play at: the sound is over
    return;
  }
  v->rate = std::min(rate, kMaxRate);
}

bool TSoftMixer::Playing(int voice) {
  std::lock_guard<std::mutex> lock(mutex_);
  FollowClock();
  TVoice* v = Find(voice);
  return v && v->pcm;
}

void TSoftMixer::Mix(int16_t* out, size_t frames) {
  std::lock_guard<std::mutex> lock(mutex_);
  scratch_.assign(frames * 2, 0);
  Render(scratch_.data(), frames);
  for (size_t i = 0; i < frames * 2; ++i)
    out[i] = int16_t(std::clamp<int32_t>(scratch_[i], INT16_MIN, INT16_MAX));
}

void TSoftMixer::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  for (TVoice& v : voices_) v.pcm.reset();
}

void TSoftMixer::Render(int32_t* acc, size_t frames) {
  for (TVoice& v : voices_) {
    if (!v.pcm || v.paused) continue;
    const TPcm& pcm = *v.pcm;
    const double length = double(pcm.Frames());
    const double step = double(v.rate) * pcm.rate / output_rate_;
    if (!acc) {
      v.pos += step * double(frames);
    } else {
      // Balance: the far side fades out as the pan moves away from it.
      const float left = v.volume * std::min(1.0f, 1.0f - v.pan);
      const float right = v.volume * std::min(1.0f, 1.0f + v.pan);
      const size_t count = pcm.Frames();
      const int16_t* s = pcm.samples.data();
      for (size_t f = 0; f < frames; ++f) {
        if (v.pos >= length) {
          if (!v.loop) break;
          v.pos = std::fmod(v.pos, length);
        }
        size_t i = size_t(v.pos);
        size_t j = i + 1 < count ? i + 1 : (v.loop ? 0 : i);
        float frac = float(v.pos - double(i));
        float l, r;
        if (pcm.channels == 1) {
          l = r = s[i] + (s[j] - s[i]) * frac;
        } else {
          l = s[2 * i] + (s[2 * j] - s[2 * i]) * frac;
          r = s[2 * i + 1] + (s[2 * j + 1] - s[2 * i + 1]) * frac;
        }
        acc[2 * f] += int32_t(l * left);
        acc[2 * f + 1] += int32_t(r * right);
        v.pos += step;
      }
    }
    if (v.pos >= length) {
      if (v.loop)
        v.pos = std::fmod(v.pos, length);
      else
        v.pcm.reset();
    }
  }
}

namespace {

class TMixerChannel : public TChannel {
 public:
  TMixerChannel(std::shared_ptr<TSoftMixer> mixer, int voice) : mixer(std::move(mixer)), voice(voice) {}
  ~TMixerChannel() override { mixer->FreeVoice(voice); }
  void Stop() override { mixer->Stop(voice); }
  void SetPaused(bool paused) override { mixer->SetPaused(voice, paused); }
  void SetVolume(float volume) override { mixer->SetVolume(voice, volume); }
  void SetPan(float pan) override { mixer->SetPan(voice, pan); }
  void SetDepth(float) override {}  // a flat stereo mix has no depth
  void SetRate(float rate) override { mixer->SetRate(voice, rate); }
  bool Playing() override { return mixer->Playing(voice); }

  const std::shared_ptr<TSoftMixer> mixer;
  const int voice;
};

TChannelPtr NewChannel(const std::shared_ptr<TSoftMixer>& mixer) {
  int voice = mixer->NewVoice();
  if (voice < 0) return nullptr;
  return std::make_shared<TMixerChannel>(mixer, voice);
}

class TMixerSound : public TSound {
 public:
  TMixerSound(std::shared_ptr<TSoftMixer> mixer, TPcm pcm, bool loop)
      : mixer_(std::move(mixer)), pcm_(std::make_shared<const TPcm>(std::move(pcm))), loop_(loop) {}
  TChannelPtr Play(TChannelPtr channel) override { return Start(std::move(channel), false); }
  TChannelPtr Cue(TChannelPtr channel) override { return Start(std::move(channel), true); }

 private:
  TChannelPtr Start(TChannelPtr channel, bool paused) {
    auto* ours = dynamic_cast<TMixerChannel*>(channel.get());
    if (!ours || ours->mixer != mixer_) {
      channel = NewChannel(mixer_);
      ours = static_cast<TMixerChannel*>(channel.get());
    }
    if (!ours || !mixer_->Start(ours->voice, pcm_, loop_, paused)) return nullptr;
    return channel;
  }

  const std::shared_ptr<TSoftMixer> mixer_;
  const std::shared_ptr<const TPcm> pcm_;
  const bool loop_;
};

}  // namespace

TSoundPtr TMixerDriver::CreateSound(const TPcm& pcm, int flags) {
  if (!mixer_ || pcm.Frames() == 0 || pcm.rate <= 0 || pcm.channels < 1 || pcm.channels > 2)
    return nullptr;
  return std::make_shared<TMixerSound>(mixer_, pcm, (flags & SOUND_LOOP) != 0);
}

TChannelPtr TMixerDriver::AllocChannel() { return mixer_ ? NewChannel(mixer_) : nullptr; }
