// assetgen: makes every picture and sound the game ships, from code, the same bytes on every run.
// Usage: assetgen COMMON_DIR GAME_DIR PREVIEW_DIR FONT_MAIN FONT_WIDE FONT_CAPTION FONT_DISPLAY
// PREVIEW_DIR "-" skips the contact sheets. Writes only the files listed in tools/assetgen/CMakeLists.txt into COMMON_DIR, GAME_DIR and
// GAME_DIR/music (which must exist; never deletes anything there), the contact sheets into PREVIEW_DIR, and prints the sound
// statistics. Exits non-zero when a file can't be written or a sound fails its limits.
#include <cmath>
#include <cstdio>
#include <string>

#include "art.h"
#include "image_io.h"
#include "preview.h"
#include "synth.h"

using namespace ag;

namespace {
bool WriteBytes(const std::string& path, const std::vector<unsigned char>& b) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

std::string Two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

bool Check(const char* name, const SoundStats& s, double maxSeconds) {
  bool ok = s.seconds <= maxSeconds && s.peakDb <= -1.0 && s.peakDb >= -6.0 && s.clipped == 0 &&
            std::fabs(s.dc) < 0.002 && std::abs(s.firstSample) < 200 && std::abs(s.lastSample) < 200;
  std::printf("%-14s %6.3f s  peak %6.2f dBFS  rms %6.2f dBFS  dc %+.5f  clipped %d  ends %d/%d  %s\n",
              name, s.seconds, s.peakDb, s.rmsDb, s.dc, s.clipped, s.firstSample, s.lastSample,
              ok ? "ok" : "OUT OF LIMITS");
  return ok;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) {
    std::fprintf(stderr, "usage: %s COMMON_DIR GAME_DIR PREVIEW_DIR FONT_MAIN FONT_WIDE FONT_CAPTION FONT_DISPLAY\n", argv[0]);
    return 2;
  }
  const std::string common = argv[1], game = argv[2], preview = argv[3];
  const Fonts fonts{argv[4], argv[5], argv[6], argv[7]};
  bool ok = true;
  auto png = [&](const std::string& path, const Canvas& c) {
    if (!WritePng(path, c)) {
      std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
      ok = false;
    }
  };

  AllImages a{MakeSpriteSheet(), MakeIcons(), MakeBadges(), MakeButtons(fonts),
              MakeFrameworkLogo(fonts), MakeCommunityLogo(fonts), MakeTitleLogo(fonts), MakeWarnSign(), {}, {}};
  for (int p = 1; p <= 10; p++) {
    a.tops[p - 1] = MakeBackdropTop(p);
    a.bots[p - 1] = MakeBackdropBottom(p);
  }
  png(common + "/icons.png", a.icons);
  png(common + "/logo.png", a.frameworkLogo);
  png(common + "/Tamblin.png", a.communityLogo);
  png(game + "/gfx_01.png", a.sprites);
  png(game + "/badges.png", a.badges);
  png(game + "/buttons.png", a.buttons);
  png(game + "/logo.png", a.titleLogo);
  png(game + "/warn-hd.png", a.warn);
  for (int p = 1; p <= 10; p++) {
    png(game + "/top_" + Two(p) + "-hd.png", a.tops[p - 1]);
    png(game + "/bot_" + Two(p) + "-hd.png", a.bots[p - 1]);
  }

  std::printf("effect    length    peak              rms               dc        clipped ends\n");
  for (const Effect& e : MakeEffects()) {
    std::string name = (e.number < 10 ? "00" : "0") + std::to_string(e.number) + ".wav";
    ok &= Check(name.c_str(), Measure(e.pcm), 1.5);
    if (!WriteWav(game + "/" + name, e.pcm)) {
      std::fprintf(stderr, "assetgen: cannot write %s\n", name.c_str());
      ok = false;
    }
  }
  for (const MusicSample& m : MakeMusicSamples()) {
    ok &= Check(m.file.c_str(), Measure(m.pcm), 1.5);
    if (!WriteWav(game + "/music/" + m.file, m.pcm)) {
      std::fprintf(stderr, "assetgen: cannot write music/%s\n", m.file.c_str());
      ok = false;
    }
  }
  SoundStats js;
  std::vector<unsigned char> ogg = MakeJingle(js);
  ok &= Check("open.ogg", js, 2.5);
  if (ogg.empty() || !WriteBytes(common + "/open.ogg", ogg)) {
    std::fprintf(stderr, "assetgen: cannot encode or write open.ogg\n");
    ok = false;
  }
  if (preview != "-" && !WritePreviews(preview, a, fonts)) {
    std::fprintf(stderr, "assetgen: cannot write the contact sheets in %s\n", preview.c_str());
    ok = false;
  }
  return ok ? 0 : 1;
}
