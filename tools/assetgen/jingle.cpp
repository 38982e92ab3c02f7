// "open.ogg": the two-second jingle played when the game first opens its display, composed from
// synthesiser voices and encoded with libvorbisenc. The Ogg serial number is fixed and no time
// stamp is written, so the bytes are the same on every build.
#include <cmath>

#include "platform/vorbisenc/ogg_encode.h"
#include "synth.h"

namespace ag {

namespace {
float Note(int semitonesFromA4) { return 440.0f * std::pow(2.0f, semitonesFromA4 / 12.0f); }
constexpr int kSerial = 0x4C414D42;  // "LAMB"

std::vector<float> Compose() {
  // A bouncy climb in C major over a walking bass, ending on a bright chord with a bell on top.
  const float e = 0.125f;  // one eighth note
  struct N { float at; int note; float len; };
  const N melody[] = {{0, 3, 1}, {1, 7, 1}, {2, 10, 1}, {3, 15, 2}, {5, 12, 1}, {6, 15, 1},
                      {7, 17, 1}, {8, 19, 7}};
  const N bass[] = {{0, -21, 2}, {2, -14, 2}, {4, -16, 2}, {6, -14, 2}, {8, -21, 7}};
  std::vector<Voice> vs;
  for (const N& n : melody) {
    Voice lead;
    lead.wave = Wave::Square, lead.start = n.at * e, lead.length = n.len * e * (n.len > 2 ? 1.0f : 0.9f);
    lead.f0 = Note(n.note), lead.duty = 0.25f, lead.decay = 0.1f, lead.sustain = 0.5f, lead.release = 0.05f;
    lead.filter = Filter::LowPass, lead.cut0 = 3200, lead.gain = 0.28f;
    lead.vibRate = 6, lead.vibDepth = n.len > 2 ? 0.006f : 0;
    if (n.len > 2) lead.release = 0.5f;
    Voice soft = lead;
    soft.wave = Wave::Triangle, soft.filter = Filter::None, soft.gain = 0.45f;
    vs.push_back(lead), vs.push_back(soft);
  }
  for (const N& n : bass) {
    Voice b;
    b.wave = Wave::Triangle, b.start = n.at * e, b.length = n.len * e * 0.95f, b.f0 = Note(n.note);
    b.decay = 0.15f, b.sustain = 0.6f, b.release = n.len > 2 ? 0.5f : 0.04f, b.gain = 0.6f;
    vs.push_back(b);
  }
  for (int n : {7, 10}) {  // the closing chord under the last melody note
    Voice c;
    c.wave = Wave::Triangle, c.start = 8 * e, c.length = 7 * e, c.f0 = Note(n);
    c.attack = 0.01f, c.decay = 0.3f, c.sustain = 0.5f, c.release = 0.5f, c.gain = 0.25f;
    vs.push_back(c);
  }
  for (float ratio : {1.0f, 2.76f, 5.4f}) {  // bell: inharmonic partials dying away
    Voice bell;
    bell.wave = Wave::Sine, bell.start = 8 * e, bell.length = 7 * e, bell.f0 = Note(27) * ratio;
    bell.attack = 0.002f, bell.decay = 0.35f / ratio, bell.sustain = 0, bell.gain = 0.22f / ratio;
    vs.push_back(bell);
  }
  std::vector<float> s = Render(vs, 15 * e + 0.1f, 4242u);
  Finish(s, -2.0f, 0.004f, 0.08f);
  return s;
}

}  // namespace

std::vector<unsigned char> MakeJingle(SoundStats& stats) {
  std::vector<float> s = Compose();
  stats = Measure(ToPcm16(s));
  return EncodeOggVorbis(s, 1, kRate, 0.5f, kSerial, {{"TITLE", "Lambrisk jingle"}});
}

}  // namespace ag
