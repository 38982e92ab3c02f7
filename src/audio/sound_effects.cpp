// The effect ring and the jingle. Channels are allocated lazily, the first time the ring reaches
// a slot, and kept for the rest of the run.
#include "audio/sound_effects.h"

#include <algorithm>

#include "base/settings.h"

std::array<TSoundPtr, 201> SfxTable{};
std::array<TChannelPtr, 260> ChannelTable{};
std::array<float, 260> ChannelVolume{};
int NextSfxSlot = SFX_RING_FIRST;

namespace {

// The setup's master (slot 11) and effect (slot 12) volumes, 0..100 each, as one factor.
float EffectVolumeFactor() { return float(Settings[SET_SOUND_VOLUME]) * float(Settings[SET_MASTER_VOLUME]) / 100.0f / 100.0f; }

// Out-of-range arguments are clamped, never rejected; NaN takes the low end.
float Limit(float v, float lo, float hi) {
  if (!(v >= lo)) return lo;
  return std::min(v, hi);
}

}  // namespace

void PlaySfx(int effect, float rate, float volume, float pan) {
  if (Settings[SET_SOUND_VOLUME] <= 0) return;
  if (effect < 0 || effect >= int(SfxTable.size()) || !SfxTable[size_t(effect)]) return;

  ++NextSfxSlot;
  if (NextSfxSlot >= SFX_RING_END) NextSfxSlot = SFX_RING_FIRST;
  const size_t slot = size_t(NextSfxSlot);

  volume = Limit(volume, 0.0f, 1.0f);
  rate = Limit(rate, 0.25f, 4.0f);
  pan = Limit(pan, -1.0f, 1.0f);

  TChannelPtr& channel = ChannelTable[slot];
  if (channel && channel->Playing()) {
    channel->Stop();
    channel.reset();
  }
  if (!channel) channel = AllocChannel();
  // Cue gives back a channel of the sound's own driver; after a driver change that is a new one.
  TChannelPtr cued = SfxTable[size_t(effect)]->Cue(channel);
  if (!cued) return;
  channel = cued;
  channel->SetVolume(EffectVolumeFactor() * volume);
  ChannelVolume[slot] = volume;
  channel->SetPan(pan);
  channel->SetRate(rate);
  channel->SetPaused(false);
}

void PlayJingle(const TSoundPtr& jingle) {
  TChannelPtr& channel = ChannelTable[JINGLE_SLOT];
  channel = jingle ? jingle->Cue() : nullptr;
  if (!channel) return;
  channel->SetVolume(EffectVolumeFactor());
  channel->SetPaused(false);
}

void ResetSoundEffects() {
  for (TChannelPtr& channel : ChannelTable)
    if (channel) channel->Stop();
  SfxTable.fill(nullptr);
  ChannelTable.fill(nullptr);
  ChannelVolume.fill(0.0f);
  NextSfxSlot = SFX_RING_FIRST;
}
