// The synthesiser engine (see synth.h) and the WAV writer.
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "canvas.h"

namespace ag {

namespace {
constexpr double kTau = 6.283185307179586;

// Zavalishin's topology-preserving state-variable filter: stable under fast cutoff sweeps.
struct Svf {
  double ic1 = 0, ic2 = 0;
  double Step(double x, double cutoff, double q, Filter mode) {
    cutoff = std::clamp(cutoff, 20.0, kRate * 0.45);
    double g = std::tan(M_PI * cutoff / kRate), k = 1.0 / q;
    double a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2;
    double v3 = x - ic2, v1 = a1 * ic1 + a2 * v3, v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2 * v1 - ic1, ic2 = 2 * v2 - ic2;
    switch (mode) {
      case Filter::LowPass: return v2;
      case Filter::BandPass: return v1;
      case Filter::HighPass: return x - k * v1 - v2;
      default: return x;
    }
  }
};

// PolyBLEP: smooths the jump of a square or saw wave over one sample each side, which keeps the
// harmonics above half the sample rate from folding back as whistles.
double Blep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1;
  }
  if (t > 1 - dt) {
    t = (t - 1) / dt;
    return t * t + t + t + 1;
  }
  return 0;
}

double Slide(double a, double b, double t) { return b <= 0 ? a : a * std::pow(b / a, t); }
}  // namespace

std::vector<float> Render(const std::vector<Voice>& voices, float seconds, uint32_t seed) {
  std::vector<float> out(size_t(seconds * kRate), 0.0f);
  Rng rng(seed);
  for (const Voice& v : voices) {
    size_t s0 = size_t(v.start * kRate), n = size_t(v.length * kRate);
    double phase = 0;
    Svf f;
    for (size_t i = 0; i < n && s0 + i < out.size(); i++) {
      double t = double(i) / kRate, u = t / v.length;
      double freq = Slide(v.f0, v.f1, u) * (1 + v.vibDepth * std::sin(kTau * v.vibRate * t));
      phase += freq / kRate;
      phase -= std::floor(phase);
      double x = 0;
      switch (v.wave) {
        case Wave::Sine: x = std::sin(kTau * phase); break;
        case Wave::Triangle: x = 4 * std::fabs(phase - 0.5) - 1; break;
        case Wave::Square: {
          double dt = freq / kRate, fall = phase - v.duty;
          x = (phase < v.duty ? 1.0 : -1.0) + Blep(phase, dt) - Blep(fall < 0 ? fall + 1 : fall, dt);
          x *= 0.8;
          break;
        }
        case Wave::Saw: x = 2 * phase - 1 - Blep(phase, freq / kRate); break;
        case Wave::Noise: x = rng.Uniform(-1, 1); break;
        case Wave::Crackle: x = rng.Uniform(0, 1) < v.density / kRate ? rng.Uniform(-1, 1) : 0; break;
      }
      if (v.filter != Filter::None) x = f.Step(x, Slide(v.cut0, v.cut1, u), v.q, v.filter);
      double env;
      if (t < v.attack) env = t / v.attack;
      else env = v.sustain + (1 - v.sustain) * std::exp(-(t - v.attack) / std::max(1e-4f, v.decay));
      double left = v.length - t;
      if (left < v.release) env *= left / v.release;
      if (v.tremDepth > 0) env *= 1 - v.tremDepth * (0.5 + 0.5 * std::sin(kTau * v.tremRate * t));
      out[s0 + i] += float(x * env * v.gain);
    }
  }
  return out;
}

void Finish(std::vector<float>& s, float peakDb, float fadeIn, float fadeOut) {
  if (s.empty()) return;
  // DC: a gentle 15 Hz high-pass, then the mean removed.
  double prevIn = 0, prevOut = 0, r = 1 - kTau * 15.0 / kRate;
  for (float& x : s) {
    double y = x - prevIn + r * prevOut;
    prevIn = x, prevOut = y, x = float(y);
  }
  double mean = 0;
  for (float x : s) mean += x;
  mean /= double(s.size());
  for (float& x : s) x -= float(mean);
  size_t fi = size_t(fadeIn * kRate), fo = size_t(fadeOut * kRate);
  for (size_t i = 0; i < fi && i < s.size(); i++) s[i] *= float(i) / float(fi);
  for (size_t i = 0; i < fo && i < s.size(); i++) s[s.size() - 1 - i] *= float(i) / float(fo);
  float peak = 0;
  for (float x : s) peak = std::max(peak, std::fabs(x));
  if (peak > 0) {
    float k = std::pow(10.0f, peakDb / 20.0f) / peak;
    for (float& x : s) x *= k;
  }
}

std::vector<int16_t> ToPcm16(const std::vector<float>& s) {
  std::vector<int16_t> out(s.size());
  for (size_t i = 0; i < s.size(); i++)
    out[i] = int16_t(std::clamp(std::lround(s[i] * 32767.0f), -32768L, 32767L));
  return out;
}

SoundStats Measure(const std::vector<int16_t>& pcm) {
  SoundStats st;
  st.seconds = double(pcm.size()) / kRate;
  double sum = 0, sq = 0;
  int peak = 0;
  for (int16_t v : pcm) {
    sum += v, sq += double(v) * v;
    peak = std::max(peak, std::abs(int(v)));
    if (v >= 32767 || v <= -32768) st.clipped++;
  }
  size_t n = std::max<size_t>(1, pcm.size());
  st.dc = sum / double(n) / 32768.0;
  st.peakDb = 20 * std::log10(std::max(1, peak) / 32768.0);
  st.rmsDb = 10 * std::log10(std::max(1e-12, sq / double(n)) / (32768.0 * 32768.0));
  st.firstSample = pcm.empty() ? 0 : pcm.front();
  st.lastSample = pcm.empty() ? 0 : pcm.back();
  return st;
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& pcm) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  auto u32 = [&](uint32_t v) { unsigned char b[4] = {(unsigned char)v, (unsigned char)(v >> 8), (unsigned char)(v >> 16), (unsigned char)(v >> 24)}; std::fwrite(b, 1, 4, f); };
  auto u16 = [&](uint16_t v) { unsigned char b[2] = {(unsigned char)v, (unsigned char)(v >> 8)}; std::fwrite(b, 1, 2, f); };
  uint32_t bytes = uint32_t(pcm.size() * 2);
  std::fwrite("RIFF", 1, 4, f), u32(36 + bytes), std::fwrite("WAVE", 1, 4, f);
  std::fwrite("fmt ", 1, 4, f), u32(16), u16(1), u16(1), u32(kRate), u32(kRate * 2), u16(2), u16(16);
  std::fwrite("data", 1, 4, f), u32(bytes);
  for (int16_t v : pcm) u16(uint16_t(v));
  return std::fclose(f) == 0;
}

}  // namespace ag
