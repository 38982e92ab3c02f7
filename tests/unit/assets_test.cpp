// The generated game files (tools/assetgen) as the game will find them in the staged game folder:
// every file the game asks for is there, each image decodes with exactly its frame grid and has
// pictures in the frames the game draws, each effect is 16-bit PCM within its limits, the jingle
// decodes with libvorbisfile and the fonts load with FreeType.
#include <gtest/gtest.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kCommon = std::string(LAMBRISK_GAME_DIR) + "/Files/Common/";
const std::string kGame = std::string(LAMBRISK_GAME_DIR) + "/Files/003/";

// ---- Decoding: the one place that reads the files (to be switched to the game's own loaders).
struct Image {
  bool ok = false;
  int w = 0, h = 0;
  std::vector<unsigned char> rgba;  // w * h * 4 bytes
};

Image LoadPng(const std::string& path) {
  Image img;
  png_image p;
  std::memset(&p, 0, sizeof p);
  p.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&p, path.c_str())) return img;
  p.format = PNG_FORMAT_RGBA;
  img.rgba.resize(PNG_IMAGE_SIZE(p));
  if (!png_image_finish_read(&p, nullptr, img.rgba.data(), 0, nullptr)) return img;
  img.ok = true, img.w = int(p.width), img.h = int(p.height);
  return img;
}

struct Sound {
  bool ok = false;
  int channels = 0, rate = 0, bits = 0, format = 0;
  std::vector<int16_t> samples;
};

Sound LoadWav(const std::string& path) {
  Sound s;
  std::ifstream f(path, std::ios::binary);
  std::vector<unsigned char> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  auto u32 = [&](size_t at) { return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24; };
  auto u16 = [&](size_t at) { return int(b[at]) | int(b[at + 1]) << 8; };
  if (b.size() < 12 || std::memcmp(&b[0], "RIFF", 4) || std::memcmp(&b[8], "WAVE", 4)) return s;
  for (size_t at = 12; at + 8 <= b.size();) {
    uint32_t len = u32(at + 4);
    if (at + 8 + len > b.size()) return s;
    if (!std::memcmp(&b[at], "fmt ", 4) && len >= 16) {
      s.format = u16(at + 8), s.channels = u16(at + 10), s.rate = int(u32(at + 12)), s.bits = u16(at + 22);
    } else if (!std::memcmp(&b[at], "data", 4)) {
      for (size_t i = 0; i + 1 < len; i += 2) s.samples.push_back(int16_t(u16(at + 8 + i)));
      s.ok = s.format == 1 && s.bits == 16;
    }
    at += 8 + len + (len & 1);
  }
  return s;
}

Sound LoadOgg(const std::string& path) {
  Sound s;
  OggVorbis_File vf;
  if (ov_fopen(path.c_str(), &vf) != 0) return s;
  vorbis_info* vi = ov_info(&vf, -1);
  s.channels = vi->channels, s.rate = int(vi->rate), s.bits = 16;
  char buf[4096];
  int section = 0;
  long n;
  while ((n = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section)) > 0)
    for (long i = 0; i + 1 < n; i += 2) s.samples.push_back(int16_t(uint8_t(buf[i]) | uint8_t(buf[i + 1]) << 8));
  ov_clear(&vf);
  s.ok = n == 0 && !s.samples.empty();
  return s;
}
// ---- End of decoding.

bool Exists(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

// True when frame `frame` of a sheet of cells fw x fh has at least `minPixels` visible pixels.
bool FrameHasPicture(const Image& img, int fw, int fh, int frame, int minPixels = 12) {
  int cols = img.w / fw, x0 = frame % cols * fw, y0 = frame / cols * fh, seen = 0;
  for (int y = y0; y < y0 + fh; y++)
    for (int x = x0; x < x0 + fw; x++) seen += img.rgba[(size_t(y) * img.w + x) * 4 + 3] > 128;
  return seen >= minPixels;
}

std::string Two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

const int kEffects[] = {3, 7, 8, 11, 12, 13, 14, 15, 16, 49, 50, 98, 99};
const char* kFonts[] = {"SVBasicManual", "November", "Blue Highway", "Acknowledge TT ZOV"};

TEST(Assets, EveryFileTheGameAsksForIsStaged) {
  std::vector<std::string> files = {kCommon + "icons.png", kCommon + "logo.png", kCommon + "Tamblin.png",
                                    kCommon + "open.ogg", kGame + "gfx_01.png", kGame + "logo.png",
                                    kGame + "warn-hd.png", kGame + "buttons.png", kGame + "badges.png"};
  for (const char* f : kFonts) {
    files.push_back(kCommon + f + ".ttf");
    files.push_back(kCommon + f + " - licence.txt");
  }
  for (int p = 1; p <= 10; p++) {
    files.push_back(kGame + "top_" + Two(p) + "-hd.png");
    files.push_back(kGame + "bot_" + Two(p) + "-hd.png");
  }
  for (int n : kEffects) files.push_back(kGame + "0" + Two(n) + ".wav");
  for (const std::string& f : files) EXPECT_TRUE(Exists(f)) << f;
}

struct Sheet {
  std::string path;
  int fw, fh, frames;
  std::vector<int> drawn;  // frames the game draws: each must hold a picture
};

TEST(Assets, SheetsHaveExactlyTheirFrameGridAndPicturesInTheFramesTheGameDraws) {
  std::vector<int> sprites = {0, 1, 2, 3, 6, 8, 11, 16, 17, 19, 20, 22, 23, 41, 43, 80, 81, 82, 83, 84, 85, 86};
  for (int j = 0; j < 8; j++) sprites.push_back(32 + j), sprites.push_back(48 + j);
  std::vector<int> badges, buttons = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11};
  for (int n = 0; n < 16; n++) badges.push_back(n);
  const Sheet sheets[] = {
      {kCommon + "icons.png", 16, 16, 64, {0, 3, 7, 8, 9, 10, 11, 12, 13, 14, 18, 19, 21, 22, 23, 24, 25, 26, 27, 28, 29, 32, 33, 34, 35, 63}},
      {kGame + "gfx_01.png", 32, 32, 256, sprites},
      {kGame + "buttons.png", 256, 256, 16, buttons},
      {kGame + "badges.png", 64, 64, 16, badges},
  };
  for (const Sheet& s : sheets) {
    Image img = LoadPng(s.path);
    ASSERT_TRUE(img.ok) << s.path;
    EXPECT_EQ(img.w % s.fw, 0) << s.path;
    EXPECT_EQ(img.h % s.fh, 0) << s.path;
    EXPECT_EQ((img.w / s.fw) * (img.h / s.fh), s.frames) << s.path;
    for (int f : s.drawn) EXPECT_TRUE(FrameHasPicture(img, s.fw, s.fh, f)) << s.path << " frame " << f;
  }
}

TEST(Assets, BackdropStripsCoverTheirTilesAndJoinSeamlessly) {
  for (int p = 1; p <= 10; p++) {
    for (const char* part : {"top_", "bot_"}) {
      std::string path = kGame + part + Two(p) + "-hd.png";
      Image img = LoadPng(path);
      ASSERT_TRUE(img.ok) << path;
      // 512 wide: drawn at scale 2 every 1024 pixels. 256 tall: the top strip reaches the ground
      // at y 512; the bottom strip covers 512 to 1024, past the tallest virtual height (960).
      EXPECT_EQ(img.w, 512) << path;
      EXPECT_EQ(img.h, 256) << path;
      // Seamless: the step from the last column to the first is no bigger than the steps between
      // neighbouring columns inside the picture (a seam differs on every row, an edge on a few).
      auto step = [&](int x0, int x1) {
        double d = 0;
        for (int y = 0; y < img.h; y++)
          for (int ch = 0; ch < 3; ch++)
            d += std::fabs(double(img.rgba[(size_t(y) * img.w + x0) * 4 + ch]) - img.rgba[(size_t(y) * img.w + x1) * 4 + ch]);
        return d / img.h;
      };
      double inside = 0;
      for (int x = 0; x + 1 < img.w; x++) inside = std::max(inside, step(x, x + 1));
      EXPECT_LE(step(img.w - 1, 0), inside * 1.25 + 1) << path << ": the right edge does not meet the left edge";
      for (int y = 0; y < img.h; y++) EXPECT_EQ(img.rgba[(size_t(y) * img.w) * 4 + 3], 255) << path << " row " << y;
    }
  }
}

TEST(Assets, LogosAndSignsDecode) {
  for (const std::string& path : {kCommon + "logo.png", kCommon + "Tamblin.png", kGame + "logo.png", kGame + "warn-hd.png"}) {
    Image img = LoadPng(path);
    ASSERT_TRUE(img.ok) << path;
    EXPECT_TRUE(FrameHasPicture(img, img.w, img.h, 0, img.w * img.h / 8)) << path;
  }
}

TEST(Assets, EffectsAreShort16BitPcmWithoutClicksOrClipping) {
  for (int n : kEffects) {
    std::string path = kGame + "0" + Two(n) + ".wav";
    Sound s = LoadWav(path);
    ASSERT_TRUE(s.ok) << path;
    EXPECT_EQ(s.channels, 1) << path;
    EXPECT_EQ(s.rate, 44100) << path;
    ASSERT_FALSE(s.samples.empty()) << path;
    double seconds = double(s.samples.size()) / s.rate, sum = 0;
    int peak = 0, clipped = 0;
    for (int16_t v : s.samples) {
      peak = std::max(peak, std::abs(int(v)));
      clipped += v == 32767 || v == -32768;
      sum += v;
    }
    double peakDb = 20 * std::log10(peak / 32768.0);
    EXPECT_LT(seconds, 1.5) << path;
    EXPECT_GE(peakDb, -6.0) << path;
    EXPECT_LE(peakDb, -1.0) << path;
    EXPECT_EQ(clipped, 0) << path;
    EXPECT_LT(std::fabs(sum / s.samples.size()), 100.0) << path << ": DC offset";
    EXPECT_LT(std::abs(int(s.samples.front())), 200) << path << ": click at the start";
    EXPECT_LT(std::abs(int(s.samples.back())), 200) << path << ": click at the end";
  }
}

TEST(Assets, JingleDecodesWithVorbisfile) {
  Sound s = LoadOgg(kCommon + "open.ogg");
  ASSERT_TRUE(s.ok);
  ASSERT_GT(s.channels, 0);
  double seconds = double(s.samples.size()) / s.channels / s.rate;
  EXPECT_GT(seconds, 1.5);
  EXPECT_LT(seconds, 2.5);
  int peak = 0;
  for (int16_t v : s.samples) peak = std::max(peak, std::abs(int(v)));
  EXPECT_GT(peak, 8000);  // audible, not silence
}

TEST(Assets, FontsAreTrueTypeThatFreeTypeLoads) {
  FT_Library lib;
  ASSERT_EQ(FT_Init_FreeType(&lib), 0);
  for (const char* name : kFonts) {
    std::string path = kCommon + name + ".ttf";
    FT_Face face;
    ASSERT_EQ(FT_New_Face(lib, path.c_str(), 0, &face), 0) << path;
    EXPECT_TRUE(FT_IS_SFNT(face)) << path;
    EXPECT_TRUE(FT_IS_SCALABLE(face)) << path;
    for (const char* c = "AZaz09:!?"; *c; c++) EXPECT_NE(FT_Get_Char_Index(face, FT_ULong(*c)), 0u) << path << " lacks " << *c;
    FT_Done_Face(face);
  }
  FT_Done_FreeType(lib);
}

}  // namespace
