// The game's sound effects (the numbers the program plays), each a short recipe for
// the synthesiser. Peaks are set to -3 dBFS (the footstep and click a little lower), with short
// fades so no effect starts or ends with a click.
#include <cmath>

#include "synth.h"

namespace ag {

namespace {
float Note(int semitonesFromA4) { return 440.0f * std::pow(2.0f, semitonesFromA4 / 12.0f); }

Voice Tone(Wave w, float start, float len, float f0, float f1 = -1) {
  Voice v;
  v.wave = w, v.start = start, v.length = len, v.f0 = f0, v.f1 = f1;
  return v;
}

Voice Noise(float start, float len, Filter f, float cut0, float cut1 = -1, float q = 0.7f) {
  Voice v;
  v.wave = Wave::Noise, v.start = start, v.length = len, v.filter = f, v.cut0 = cut0, v.cut1 = cut1, v.q = q;
  return v;
}

Effect Make(int number, const char* what, std::vector<Voice> vs, float seconds, float peakDb,
            float fadeIn = 0.003f, float fadeOut = 0.02f) {
  std::vector<float> s = Render(vs, seconds, 1000u + number);
  Finish(s, peakDb, fadeIn, fadeOut);
  return {number, what, ToPcm16(s)};
}

Effect Footstep() {
  Voice thud = Noise(0, 0.11f, Filter::LowPass, 1400, 250);
  thud.decay = 0.03f, thud.sustain = 0, thud.attack = 0.002f;
  Voice body = Tone(Wave::Sine, 0, 0.09f, 140, 70);
  body.decay = 0.03f, body.sustain = 0, body.gain = 0.7f;
  Voice rustle = Noise(0.005f, 0.07f, Filter::BandPass, 3500, 2000, 1.2f);
  rustle.decay = 0.02f, rustle.sustain = 0, rustle.gain = 0.35f;
  return Make(3, "footstep", {thud, body, rustle}, 0.12f, -4.0f, 0.002f, 0.015f);
}

Effect SheepHit() {
  // A bonk, then the sheep's startled bleat: a buzzy tone with the bleat's fast quaver.
  Voice bonk = Tone(Wave::Square, 0, 0.14f, 700, 180);
  bonk.duty = 0.3f, bonk.decay = 0.05f, bonk.sustain = 0, bonk.filter = Filter::LowPass, bonk.cut0 = 2500, bonk.gain = 0.6f;
  Voice thump = Noise(0, 0.09f, Filter::LowPass, 900, 200);
  thump.decay = 0.03f, thump.sustain = 0, thump.gain = 0.8f;
  Voice baa = Tone(Wave::Saw, 0.1f, 0.58f, 470, 350);
  baa.attack = 0.04f, baa.decay = 0.3f, baa.sustain = 0.6f, baa.release = 0.15f;
  baa.vibRate = 6, baa.vibDepth = 0.02f, baa.tremRate = 26, baa.tremDepth = 0.55f;
  baa.filter = Filter::BandPass, baa.cut0 = 1300, baa.cut1 = 900, baa.q = 1.6f, baa.gain = 1.6f;
  Voice formant = baa;
  formant.filter = Filter::BandPass, formant.cut0 = 2600, formant.cut1 = 2200, formant.q = 2.5f, formant.gain = 0.6f;
  return Make(7, "the sheep is hit", {bonk, thump, baa, formant}, 0.72f, -3.0f);
}

Effect Jump() {
  Voice up = Tone(Wave::Square, 0, 0.22f, 260, 820);
  up.duty = 0.3f, up.decay = 0.12f, up.sustain = 0.2f, up.release = 0.06f;
  up.filter = Filter::LowPass, up.cut0 = 2500, up.cut1 = 5000;
  Voice air = Noise(0, 0.12f, Filter::BandPass, 1500, 4000, 1.0f);
  air.decay = 0.04f, air.sustain = 0, air.gain = 0.4f;
  return Make(8, "jump", {up, air}, 0.23f, -3.0f);
}

Effect BigBlock() {
  Voice rumble = Noise(0, 1.3f, Filter::LowPass, 220, 320);
  rumble.attack = 0.45f, rumble.decay = 10, rumble.release = 0.6f, rumble.gain = 2.0f;
  Voice engine = Tone(Wave::Saw, 0, 1.3f, 52, 46);
  engine.attack = 0.45f, engine.decay = 10, engine.release = 0.6f, engine.filter = Filter::LowPass, engine.cut0 = 260;
  engine.tremRate = 11, engine.tremDepth = 0.5f, engine.gain = 1.2f;
  return Make(11, "big block passing", {rumble, engine}, 1.3f, -3.0f, 0.01f, 0.05f);
}

Effect Warning() {
  Voice a = Tone(Wave::Square, 0, 0.17f, 988), b = Tone(Wave::Square, 0.2f, 0.2f, 740);
  for (Voice* v : {&a, &b}) {
    v->duty = 0.5f, v->decay = 0.2f, v->sustain = 0.7f, v->release = 0.03f;
    v->filter = Filter::LowPass, v->cut0 = 3000;
  }
  return Make(12, "warning", {a, b}, 0.42f, -3.0f);
}

Effect Crossing() {
  Voice whoosh = Noise(0, 0.8f, Filter::BandPass, 500, 3200, 1.4f);
  whoosh.attack = 0.35f, whoosh.decay = 10, whoosh.release = 0.42f, whoosh.gain = 2.5f;
  Voice motor = Tone(Wave::Saw, 0, 0.8f, 260, 170);
  motor.attack = 0.35f, motor.decay = 10, motor.release = 0.42f, motor.filter = Filter::LowPass, motor.cut0 = 900;
  motor.tremRate = 30, motor.tremDepth = 0.4f, motor.gain = 0.5f;
  return Make(13, "crossing object passing", {whoosh, motor}, 0.8f, -3.0f, 0.01f, 0.04f);
}

Effect Eruption() {
  Voice roar = Noise(0, 1.1f, Filter::LowPass, 1800, 250);
  roar.attack = 0.02f, roar.decay = 0.45f, roar.sustain = 0.25f, roar.release = 0.3f, roar.gain = 2.4f;
  Voice boom = Tone(Wave::Sine, 0, 0.6f, 85, 38);
  boom.decay = 0.25f, boom.sustain = 0, boom.gain = 0.8f;
  Voice crackle;
  crackle.wave = Wave::Crackle, crackle.length = 1.0f, crackle.density = 260, crackle.decay = 0.5f, crackle.sustain = 0.1f;
  crackle.filter = Filter::HighPass, crackle.cut0 = 1500, crackle.gain = 0.9f;
  return Make(14, "eruption", {roar, boom, crackle}, 1.1f, -3.0f, 0.004f, 0.05f);
}

Effect Rolling() {
  Voice roll = Noise(0, 1.3f, Filter::LowPass, 300, 420);
  roll.attack = 0.4f, roll.decay = 10, roll.release = 0.6f, roll.tremRate = 7.5f, roll.tremDepth = 0.7f, roll.gain = 2.2f;
  Voice thud = Tone(Wave::Sine, 0, 1.3f, 62, 55);
  thud.attack = 0.4f, thud.decay = 10, thud.release = 0.6f, thud.tremRate = 7.5f, thud.tremDepth = 0.8f, thud.gain = 0.8f;
  return Make(15, "rolling object passing", {roll, thud}, 1.3f, -3.0f, 0.01f, 0.05f);
}

Effect Crusher() {
  Voice boom = Tone(Wave::Sine, 0, 0.55f, 110, 38);
  boom.decay = 0.16f, boom.sustain = 0, boom.gain = 1.0f;
  Voice crash = Noise(0, 0.3f, Filter::LowPass, 3000, 300);
  crash.decay = 0.06f, crash.sustain = 0, crash.gain = 1.0f;
  std::vector<Voice> vs{boom, crash};
  for (float f : {523.0f, 1371.0f, 2213.0f}) {
    Voice clank = Tone(Wave::Sine, 0.002f, 0.35f, f, f * 0.98f);
    clank.decay = 0.08f, clank.sustain = 0, clank.gain = 0.22f;
    vs.push_back(clank);
  }
  return Make(16, "crusher landing", vs, 0.56f, -3.0f, 0.002f, 0.03f);
}

std::vector<Voice> Arpeggio(const std::vector<int>& notes, float step, float holdFrom, float end) {
  std::vector<Voice> vs;
  for (size_t i = 0; i < notes.size(); i++) {
    float st = step * i;
    float len = st >= holdFrom ? end - st : step * 1.4f;
    Voice lead = Tone(Wave::Square, st, len, Note(notes[i]));
    lead.duty = 0.25f, lead.decay = 0.12f, lead.sustain = 0.45f, lead.release = std::min(0.25f, len * 0.5f);
    lead.filter = Filter::LowPass, lead.cut0 = 3500, lead.gain = 0.35f;
    Voice body = Tone(Wave::Triangle, st, len, Note(notes[i]));
    body.decay = 0.2f, body.sustain = 0.5f, body.release = std::min(0.25f, len * 0.5f), body.gain = 0.5f;
    vs.push_back(lead), vs.push_back(body);
  }
  return vs;
}

Effect WorldComplete() {
  // C major fanfare: C E G C' climbing, then the chord held.
  std::vector<Voice> vs = Arpeggio({3, 7, 10, 15, 10, 15}, 0.11f, 0.5f, 1.42f);
  for (int n : {7, 10, 15}) {
    Voice chord = Tone(Wave::Triangle, 0.55f, 0.87f, Note(n));
    chord.attack = 0.01f, chord.decay = 0.4f, chord.sustain = 0.4f, chord.release = 0.4f, chord.gain = 0.35f;
    chord.vibRate = 5.5f, chord.vibDepth = 0.004f;
    vs.push_back(chord);
  }
  Voice bass = Tone(Wave::Triangle, 0.55f, 0.87f, Note(-21));
  bass.decay = 0.5f, bass.sustain = 0.5f, bass.release = 0.4f, bass.gain = 0.6f;
  vs.push_back(bass);
  return Make(49, "world complete", vs, 1.45f, -3.0f);
}

Effect LevelComplete() {
  std::vector<Voice> vs = Arpeggio({10, 15, 19, 22}, 0.08f, 0.24f, 0.62f);
  return Make(50, "level complete", vs, 0.64f, -3.0f);
}

Effect MenuBlip() {
  Voice b = Tone(Wave::Triangle, 0, 0.085f, 880, 1040);
  b.attack = 0.002f, b.decay = 0.03f, b.sustain = 0.2f, b.release = 0.02f;
  Voice h = Tone(Wave::Sine, 0, 0.06f, 1760, 2080);
  h.decay = 0.015f, h.sustain = 0, h.gain = 0.3f;
  return Make(98, "menu blip", {b, h}, 0.09f, -3.0f, 0.002f, 0.015f);
}

Effect Click() {
  Voice tick = Tone(Wave::Sine, 0, 0.045f, 1900, 1100);
  tick.attack = 0.001f, tick.decay = 0.008f, tick.sustain = 0, tick.release = 0.01f;
  Voice snap = Noise(0, 0.02f, Filter::HighPass, 2500);
  snap.attack = 0.001f, snap.decay = 0.004f, snap.sustain = 0, snap.gain = 0.5f;
  return Make(99, "button click", {tick, snap}, 0.05f, -4.0f, 0.001f, 0.01f);
}
}  // namespace

std::vector<Effect> MakeEffects() {
  return {Footstep(), SheepHit(), Jump(), BigBlock(), Warning(), Crossing(), Eruption(),
          Rolling(), Crusher(), WorldComplete(), LevelComplete(), MenuBlip(), Click()};
}

}  // namespace ag
