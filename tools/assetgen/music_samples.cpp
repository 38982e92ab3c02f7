// The music sample bank "music/": two drum kits of eight (kick, snare, closed and open hat, low
// and high tom, clap, cymbal) and the bass, lead and accompaniment instruments. Every pitched
// sample is a C at rate 1.0 (bass C2, accompaniment C3, lead C4), so the note letters of a tune
// give the notes their names say. Short fades keep the starts and ends silent; peaks at -3 dBFS,
// lower for the dense waves so the instruments of a kind sound about equally loud.
#include <cmath>

#include "synth.h"

namespace ag {

namespace {
constexpr float kC2 = 65.406f, kC3 = 130.813f, kC4 = 261.626f;

Voice Tone(Wave w, float len, float f0, float f1 = -1) {
  Voice v;
  v.wave = w, v.length = len, v.f0 = f0, v.f1 = f1;
  return v;
}

Voice Noise(float start, float len, Filter f, float cut0, float cut1 = -1, float q = 0.7f) {
  Voice v;
  v.wave = Wave::Noise, v.start = start, v.length = len, v.filter = f, v.cut0 = cut0, v.cut1 = cut1, v.q = q;
  return v;
}

// A percussive envelope: instant attack, exponential decay to nothing.
Voice Hit(Voice v, float decay, float gain = 1) {
  v.attack = 0.001f, v.decay = decay, v.sustain = 0, v.release = std::min(0.02f, v.length / 4), v.gain = gain;
  return v;
}

MusicSample Make(const std::string& file, const char* what, const std::vector<Voice>& vs, float seconds, uint32_t seed,
                 float fadeOut = 0.02f, float peakDb = -3.0f) {
  std::vector<float> s = Render(vs, seconds, seed);
  Finish(s, peakDb, 0.002f, fadeOut);
  return {file, what, ToPcm16(s)};
}

std::vector<MusicSample> DrumKit(int kit) {
  const bool acoustic = kit == 1;
  const std::string p = "d" + std::to_string(kit) + "-";
  const uint32_t seed = 2000u + uint32_t(kit) * 100u;
  std::vector<MusicSample> out;
  auto add = [&](int n, const char* what, const std::vector<Voice>& vs, float seconds, float fadeOut = 0.02f) {
    out.push_back(Make(p + std::to_string(n) + ".wav", what, vs, seconds, seed + uint32_t(n), fadeOut));
  };
  // 1 kick: a falling sine with a click on top.
  add(1, "kick",
      {Hit(Tone(Wave::Sine, 0.4f, acoustic ? 140.0f : 110.0f, acoustic ? 48.0f : 38.0f), acoustic ? 0.14f : 0.22f),
       Hit(Noise(0, 0.02f, Filter::LowPass, acoustic ? 3000.0f : 6000.0f), 0.004f, 0.6f)},
      0.4f, 0.05f);
  // 2 snare: a short drum tone and a band of noise.
  add(2, "snare",
      {Hit(Tone(Wave::Triangle, 0.2f, acoustic ? 190.0f : 240.0f, acoustic ? 170.0f : 150.0f), 0.05f, 0.8f),
       Hit(Noise(0, 0.28f, acoustic ? Filter::BandPass : Filter::LowPass, acoustic ? 2200.0f : 6000.0f, 1600, 0.8f),
           acoustic ? 0.09f : 0.06f, 1.2f)},
      0.3f, 0.04f);
  // 3 closed hat and 4 open hat: high-passed noise, short and long.
  add(3, "closed hat", {Hit(Noise(0, 0.08f, Filter::HighPass, acoustic ? 7000.0f : 9500.0f), acoustic ? 0.02f : 0.012f)},
      0.08f, 0.01f);
  add(4, "open hat", {Hit(Noise(0, 0.45f, Filter::HighPass, acoustic ? 6000.0f : 8000.0f, -1, 1.2f), acoustic ? 0.16f : 0.1f)},
      0.45f, 0.06f);
  // 5 low tom and 6 high tom: pitched bodies that sag a little.
  add(5, "low tom", {Hit(Tone(acoustic ? Wave::Sine : Wave::Triangle, 0.45f, acoustic ? 105.0f : 130.0f, 78), 0.16f),
                     Hit(Noise(0, 0.03f, Filter::LowPass, 2000), 0.008f, 0.3f)},
      0.45f, 0.05f);
  add(6, "high tom", {Hit(Tone(acoustic ? Wave::Sine : Wave::Triangle, 0.4f, acoustic ? 170.0f : 210.0f, 130), 0.13f),
                      Hit(Noise(0, 0.03f, Filter::LowPass, 2500), 0.008f, 0.3f)},
      0.4f, 0.05f);
  // 7 clap: three quick bursts of band-passed noise, then a tail.
  std::vector<Voice> clap;
  for (int i = 0; i < 3; ++i) clap.push_back(Hit(Noise(0.011f * i, 0.03f, Filter::BandPass, acoustic ? 1200.0f : 1700.0f, -1, 1.4f), 0.006f));
  clap.push_back(Hit(Noise(0.033f, 0.22f, Filter::BandPass, acoustic ? 1100.0f : 1500.0f, -1, 1.0f), 0.06f, 0.9f));
  add(7, "clap", clap, 0.26f, 0.04f);
  // 8 cymbal: long bright noise; kit 2's has a ring of inharmonic squares like a ride.
  std::vector<Voice> cymbal{Hit(Noise(0, 1.2f, Filter::HighPass, acoustic ? 4500.0f : 6000.0f, 7000, 0.9f), acoustic ? 0.45f : 0.3f)};
  if (!acoustic)
    for (float f : {587.0f, 845.0f, 1253.0f, 1597.0f}) {
      Voice ring = Hit(Tone(Wave::Square, 1.2f, f), 0.35f, 0.12f);
      ring.filter = Filter::HighPass, ring.cut0 = 5000;
      cymbal.push_back(ring);
    }
  add(8, "cymbal", cymbal, 1.2f, 0.25f);
  return out;
}

// A held note: soft attack, decay to a sustain level, release at the end.
Voice Note(Wave w, float len, float f, float decay, float sustain, float release, float gain = 1) {
  Voice v = Tone(w, len, f);
  v.attack = 0.004f, v.decay = decay, v.sustain = sustain, v.release = release, v.gain = gain;
  return v;
}

Voice Filtered(Voice v, Filter f, float cut0, float cut1 = -1, float q = 0.7f) {
  v.filter = f, v.cut0 = cut0, v.cut1 = cut1, v.q = q;
  return v;
}

std::vector<MusicSample> Instruments() {
  std::vector<MusicSample> out;
  // Bass: a plucked saw, a hollow square and a round sub.
  out.push_back(Make("bass1.wav", "saw bass", {Filtered(Note(Wave::Saw, 0.5f, kC2, 0.18f, 0.35f, 0.12f), Filter::LowPass, 900, 280, 1.2f)}, 0.5f, 3001));
  Voice hollow = Filtered(Note(Wave::Square, 0.45f, kC2, 0.15f, 0.4f, 0.1f), Filter::LowPass, 1400, 500);
  hollow.duty = 0.25f;
  out.push_back(Make("bass2.wav", "square bass", {hollow}, 0.45f, 3002, 0.02f, -5.0f));
  out.push_back(Make("bass3.wav", "sub bass", {Note(Wave::Sine, 0.55f, kC2, 0.3f, 0.5f, 0.15f), Note(Wave::Triangle, 0.55f, kC2 * 2, 0.1f, 0.2f, 0.15f, 0.35f)}, 0.55f, 3003, 0.02f, -5.5f));
  // Lead: a vibrato square, a nasal saw and a bell.
  Voice chip = Filtered(Note(Wave::Square, 0.6f, kC4, 0.15f, 0.55f, 0.15f), Filter::LowPass, 3200);
  chip.vibRate = 5.5f, chip.vibDepth = 0.006f;
  out.push_back(Make("lead1.wav", "square lead", {chip}, 0.6f, 3011, 0.02f, -5.5f));
  Voice nasal = Filtered(Note(Wave::Saw, 0.5f, kC4, 0.12f, 0.5f, 0.12f), Filter::BandPass, 1800, 1200, 1.3f);
  nasal.vibRate = 6, nasal.vibDepth = 0.004f;
  out.push_back(Make("lead2.wav", "saw lead", {nasal}, 0.5f, 3012));
  out.push_back(Make("lead3.wav", "bell lead", {Note(Wave::Sine, 0.8f, kC4, 0.25f, 0, 0.1f), Note(Wave::Sine, 0.8f, kC4 * 2.76f, 0.08f, 0, 0.1f, 0.3f),
                                                Note(Wave::Triangle, 0.8f, kC4 * 2, 0.15f, 0, 0.1f, 0.3f)}, 0.8f, 3013));
  // Accompaniment: a soft pluck and a thin pulse with a slow tremolo.
  Voice pluck = Filtered(Note(Wave::Triangle, 0.7f, kC3, 0.22f, 0.15f, 0.2f), Filter::LowPass, 2500, 900);
  pluck.attack = 0.008f;
  out.push_back(Make("accompany1.wav", "pluck", {pluck, Note(Wave::Sine, 0.7f, kC3 * 2, 0.15f, 0.1f, 0.2f, 0.3f)}, 0.7f, 3021));
  Voice pulse = Filtered(Note(Wave::Square, 0.6f, kC3, 0.2f, 0.4f, 0.2f), Filter::LowPass, 2000, 1000);
  pulse.duty = 0.125f, pulse.attack = 0.01f, pulse.tremRate = 7, pulse.tremDepth = 0.25f;
  out.push_back(Make("accompany2.wav", "pulse", {pulse}, 0.6f, 3022));
  return out;
}
}  // namespace

std::vector<MusicSample> MakeMusicSamples() {
  std::vector<MusicSample> all = DrumKit(1);
  for (MusicSample& s : DrumKit(2)) all.push_back(std::move(s));
  for (MusicSample& s : Instruments()) all.push_back(std::move(s));
  return all;
}

}  // namespace ag
