// The offline render: the game's own MusicUpdate is called at frame times on a manual clock, and
// between two calls the mixer renders exactly the audio of that stretch of time.
#include "audio/tune_render.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "audio/music_file.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "base/game_paths.h"
#include "base/settings.h"
#include "platform/clock.h"
#include "platform/sound_mixer.h"
#include "platform/stream.h"

namespace {

// A mixing driver that renders only when asked, so the output follows the manual clock.
class TRenderDriver : public TMixerDriver {
 public:
  std::string Name() override { return "Render"; }
  bool Startup() override {
    mixer_ = std::make_shared<TSoftMixer>(TRenderResult::kRate, false);
    return true;
  }
  void Shutdown() override {
    if (mixer_) mixer_->Close();
    mixer_.reset();
  }
  void Mix(int16_t* out, size_t frames) { mixer_->Mix(out, frames); }
};

void Measure(TRenderResult& r) {
  int peak = 0;
  double squares = 0;
  for (int16_t s : r.stereo) {
    peak = std::max(peak, std::abs(int(s)));
    squares += double(s) * s;
    if (s == INT16_MAX || s == INT16_MIN) ++r.clipped;
  }
  r.peakDb = 20 * std::log10(std::max(1, peak) / 32768.0);
  const double n = double(std::max<size_t>(1, r.stereo.size()));
  r.rmsDb = 10 * std::log10(std::max(1e-12, squares / n / (32768.0 * 32768.0)));
}

}  // namespace

bool RenderTune(const TRenderOptions& o, TRenderResult& r) {
  TManualClock clock;
  SetClock(&clock);
  auto owned = std::make_unique<TRenderDriver>();
  TRenderDriver* driver = owned.get();
  UseAudioDriver(std::move(owned));
  NoteGamePaths(o.gameFolder.empty() || o.gameFolder.back() == '/' ? o.gameFolder : o.gameFolder + "/");
  Settings[SET_MUSIC_VOLUME] = o.music;
  Settings[SET_MASTER_VOLUME] = o.master;
  LoadMusicSamples();

  const bool started = LoadTune(o.tune, o.seed, o.tempo) == 1;
  if (started) {
    const int fps = std::max(1, o.fps);
    const int64_t total = int64_t(o.seconds) * TRenderResult::kRate;
    r.stereo.assign(size_t(total) * 2, 0);
    int64_t done = 0;
    for (int64_t frame = 1; done < total; ++frame) {
      const int64_t now = frame * 1000 / fps;
      clock.Advance(now - clock.NowMs());
      const int before = Step;
      MusicUpdate();
      if (Step != before) {
        ++r.steps;
        r.stepMs.push_back(int(now));
      }
      // The audio until the next frame's call.
      const int64_t next = std::min(total, (frame + 1) * 1000 / fps * TRenderResult::kRate / 1000);
      if (next > done) driver->Mix(&r.stereo[size_t(done) * 2], size_t(next - done));
      done = std::max(done, next);
    }
    Measure(r);
  }
  StopMusic();
  ResetMusicPlayer();
  ResetMusicFile();
  ResetSoundEffects();
  ShutdownAudio();
  SetClock(nullptr);
  return started;
}

bool WriteStereoWav(const std::string& path, const std::vector<int16_t>& stereo) {
  TStreamPtr out = WriteFile(path);
  if (!out) return false;
  const int bytes = int(stereo.size() * 2);
  bool ok = out->WriteString("RIFF") && out->WriteInt(36 + bytes) && out->WriteString("WAVEfmt ") &&
            out->WriteInt(16) && out->WriteShort(1) && out->WriteShort(2) && out->WriteInt(TRenderResult::kRate) &&
            out->WriteInt(TRenderResult::kRate * 4) && out->WriteShort(4) && out->WriteShort(16) &&
            out->WriteString("data") && out->WriteInt(bytes);
  for (size_t i = 0; ok && i < stereo.size(); ++i) ok = out->WriteShort(stereo[i]);
  ok = out->Flush() && ok;
  out->Close();
  return ok;
}
