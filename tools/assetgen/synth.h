// The effect synthesiser: voices made of an oscillator or noise, a pitch slide, vibrato and
// tremolo, an attack-decay-sustain-release envelope and a swept state-variable filter, summed into
// one mono buffer and finished (DC removed, normalised, faded in and out) before writing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ag {

constexpr int kRate = 44100;  // samples per second of every effect and of the jingle

enum class Wave { Sine, Triangle, Square, Saw, Noise, Crackle };
enum class Filter { None, LowPass, BandPass, HighPass };

struct Voice {
  Wave wave = Wave::Sine;
  float start = 0;         // seconds from the effect's start
  float length = 0.1f;     // seconds
  float f0 = 440, f1 = -1; // frequency at start and end (exponential slide; -1 keeps f0)
  float duty = 0.5f;       // square wave duty
  float gain = 1;
  float attack = 0.003f, decay = 0.05f, sustain = 1, release = 0.02f;  // seconds; sustain 0..1
  float vibRate = 0, vibDepth = 0;  // Hz, fraction of the frequency
  float tremRate = 0, tremDepth = 0;  // Hz, 0..1
  Filter filter = Filter::None;
  float cut0 = 2000, cut1 = -1;  // filter cutoff at start and end (-1 keeps cut0)
  float q = 0.7f;                // filter resonance (0.5 gentle .. 5 sharp)
  float density = 200;           // crackle: clicks per second
};

struct SoundStats {
  double seconds = 0, peakDb = 0, rmsDb = 0, dc = 0;
  int clipped = 0;
  int firstSample = 0, lastSample = 0;
};

// Renders voices into a buffer of `seconds` length; seed fixes the noise.
std::vector<float> Render(const std::vector<Voice>& voices, float seconds, uint32_t seed);
// Removes DC, scales the peak to peakDb (dBFS), fades in over fadeIn and out over fadeOut seconds.
void Finish(std::vector<float>& s, float peakDb, float fadeIn, float fadeOut);
std::vector<int16_t> ToPcm16(const std::vector<float>& s);
SoundStats Measure(const std::vector<int16_t>& pcm);
bool WriteWav(const std::string& path, const std::vector<int16_t>& pcm);

struct Effect {
  int number;             // file "nnn.wav"
  const char* what;
  std::vector<int16_t> pcm;
};
std::vector<Effect> MakeEffects();
struct MusicSample {
  std::string file;       // name in "music/"
  const char* what;
  std::vector<int16_t> pcm;
};
std::vector<MusicSample> MakeMusicSamples();
// The title jingle as Ogg Vorbis bytes (fixed serial number, no time stamps).
std::vector<unsigned char> MakeJingle(SoundStats& stats);

}  // namespace ag
