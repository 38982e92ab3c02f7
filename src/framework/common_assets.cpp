// Loading the shared and the game's own assets, in a fixed order with its log lines.
#include "framework/common_assets.h"

#include <algorithm>
#include <vector>

#include "audio/music_file.h"
#include "audio/sound_effects.h"
#include "base/debug_log.h"
#include "base/game_paths.h"
#include "framework/screen_size.h"
#include "platform/display.h"
#include "platform/files.h"
#include "ui/draw_helpers.h"

std::array<TImagePtr, 2> Logos{};
TSoundPtr BadgeSound;
TImagePtr BadgeSheet;
TImagePtr TitleLogo;
std::array<TImagePtr, 25> TopBorders{};
std::array<TImagePtr, 25> BottomBorders{};
TImagePtr ButtonSheet;
TImagePtr SpriteSheet;
TImagePtr WarnImage;

// What the layers above load with the common assets (the score file), in the order handed in.
std::vector<void (*)()> after_load;

namespace {

const char kDisplayFace[] = "Acknowledge TT ZOV";
const char kCaptionFamily[] = "Blue Highway";
const int kFamilySizes[9] = {8, 12, 18, 24, 32, 40, 52, 64, 96};

TFontPtr LoadFamily(const std::string& family, int size) {
  return LoadFont(CommonPath(family + ".ttf"), size, SMOOTHFONT);
}

int Scaled(int base, float scale) { return int(float(base) * scale); }

void LoadFonts() {
  const float a = FontScaleA(CurrentWidth);
  const float b = FontScaleB(CurrentWidth);
  const std::string main = MainFontFamily(CurrentWidth);
  ScreenFonts[1] = LoadFamily(main, Scaled(24, a));
  ScreenFonts[2] = LoadFamily(main, Scaled(16, b));
  ScreenFonts[3] = LoadFamily(main, Scaled(16, b));
  ScreenFonts[4] = LoadFamily(main, Scaled(20, a));
  ScreenFonts[5] = LoadFamily(kCaptionFamily, Scaled(96, a));
  ScreenFonts[6] = LoadFamily(kCaptionFamily, Scaled(72, a));
  ScreenFonts[7] = LoadFamily(kCaptionFamily, Scaled(32, a));
  ScreenFonts[8] = LoadFamily(main, Scaled(32, a));
  ScreenFonts[9] = LoadFamily(main, Scaled(14, a));
  ScreenFonts[10] = LoadFamily(kDisplayFace, 112);
  ScreenFonts[11] = LoadFamily(kDisplayFace, 96);
  ScreenFonts[12] = LoadFamily(kDisplayFace, 32);
  ScreenFonts[13] = LoadFamily(kDisplayFace, 20);
  const std::string families[3] = {main, kCaptionFamily, kDisplayFace};
  for (int f = 0; f < 3; ++f)
    for (int s = 0; s < 9; ++s) FontTable[size_t(f * 10 + s)] = LoadFamily(families[f], Scaled(kFamilySizes[s], a));
}

// The jingle plays once per run, over the first frame of the loading screen.
void ShowFirstLoadingFrame() {
  BeginFrame(1);
  DrawBackdrop();
  PlayJingle(BadgeSound);
  Flip(-1);
  DisplayOpen = 1;
}

std::string EffectFileName(int n) {
  std::string padded = "000" + std::to_string(n);
  return padded.substr(padded.size() - 3) + ".wav";
}

void LoadSoundEffects() {
  LogLine("");
  LogLine("Loading Sound effects");
  for (int n = 1; n <= 200; ++n) {
    const std::string name = GamePath(EffectFileName(n));
    if (FileType(name) == FILETYPE_NONE) continue;
    LogLine("\tSFX(" + std::to_string(n) + ")");
    SfxTable[size_t(n)] = LoadSound(name, 0);
  }
  LogLine("Sounds loaded");
  LogLine("");
}

}  // namespace

float FontScaleA(int w) { return w >= 900 ? 1.0f : w >= 600 ? 1.2f : 1.5f; }

float FontScaleB(int w) { return w >= 900 ? 1.0f : w >= 600 ? 1.4f : 2.0f; }

std::string MainFontFamily(int w) { return w <= 800 ? "SVBasicManual" : "November"; }

std::string BorderFileName(const std::string& prefix, int entry) {
  int number = entry == 2 ? 3 : entry == 3 ? 2 : entry;
  std::string two = (number < 10 ? "0" : "") + std::to_string(number);
  return prefix + two + "-hd.png";
}

void LoadCommonAssets() {
  AutoMidHandle(true);
  LogLine("");
  LogLine("Loading : Common Objects");
  LogLine("");
  LogLine("Switching to Default Folder");
  LogLine("");
  LogLine("\tDefault Fonts");
  LoadFonts();
  LogLine("\tDefault Icons");
  IconsFiltered = LoadAnimImage(CommonPath("icons.png"), 16, 16, 0, 64, MASKEDIMAGE | FILTEREDIMAGE);
  IconsCrisp = LoadAnimImage(CommonPath("icons.png"), 16, 16, 0, 64, MASKEDIMAGE);
  LogLine("\tLogos");
  Logos[0] = LoadImage(CommonPath("logo.png"), MASKEDIMAGE | FILTEREDIMAGE);
  Logos[1] = LoadImage(CommonPath("Tamblin.png"), MASKEDIMAGE | FILTEREDIMAGE);
  LogLine("\tBadgeGet");
  BadgeSound = LoadSound(CommonPath("open.ogg"), 0);
  if (DisplayOpen == 0) ShowFirstLoadingFrame();

  LogLine("");
  LogLine("Switching to Game Folder");
  BadgeSheet = LoadAnimImage(GamePath("badges.png"), 64, 64, 0, 16, MASKEDIMAGE | FILTEREDIMAGE);
  LoadSoundEffects();
  for (void (*step)() : after_load) step();
}

void AddAssetLoadStep(void (*step)()) {
  if (std::find(after_load.begin(), after_load.end(), step) == after_load.end()) after_load.push_back(step);
}

void LoadScreenImages() {
  LoadMusicSamples();
  TitleLogo = LoadImage(GamePath("logo.png"), MASKEDIMAGE | FILTEREDIMAGE);
  for (int i = 1; i <= 10; ++i) {
    TopBorders[size_t(i)] = LoadImage(GamePath(BorderFileName("top_", i)), MASKEDIMAGE | FILTEREDIMAGE);
    BottomBorders[size_t(i)] = LoadImage(GamePath(BorderFileName("bot_", i)), MASKEDIMAGE | FILTEREDIMAGE);
  }
  ButtonSheet = LoadAnimImage(GamePath("buttons.png"), 256, 256, 0, 16, MASKEDIMAGE | FILTEREDIMAGE);
  SpriteSheet = LoadAnimImage(GamePath("gfx_01.png"), 32, 32, 0, 256, -1);
  WarnImage = LoadImage(GamePath("warn-hd.png"), MASKEDIMAGE | FILTEREDIMAGE);
}

void ResetCommonAssets() {
  ScreenFonts.fill(nullptr);
  IconsFiltered = IconsCrisp = nullptr;
  Logos.fill(nullptr);
  BadgeSound = nullptr;
  BadgeSheet = TitleLogo = ButtonSheet = SpriteSheet = WarnImage = nullptr;
  TopBorders.fill(nullptr);
  BottomBorders.fill(nullptr);
}
