// The common and game assets loaded from the staged game data and from hand-made folders: the
// order and lines of the log, the effects found, the fonts for the display width, the jingle.
#include <gtest/gtest.h>

#include <filesystem>

#include "audio/sound_effects.h"
#include "base/settings.h"
#include "framework/common_assets.h"
#include "framework/screen_size.h"
#include "platform/files.h"
#include "platform/font.h"
#include "platform/image.h"
#include "support/headless_game.h"
#include "ui/draw_helpers.h"

namespace {

THeadlessOptions StagedData(int width, int height) {
  THeadlessOptions options;
  options.width = width;
  options.height = height;
  options.real_data = true;
  return options;
}

// Same family and size: the same height and the same width for a sample line.
void ExpectFont(const TFontPtr& font, const std::string& file, int size) {
  const TFontPtr reference = LoadFont("../Common/" + file, size);
  ASSERT_NE(reference, nullptr) << file;
  ASSERT_NE(font, nullptr) << file << " " << size;
  const std::string sample = "Sheep 0123 walk left";
  EXPECT_EQ(FontTextHeight(font), FontTextHeight(reference)) << file << " " << size;
  EXPECT_EQ(FontTextWidth(font, sample), FontTextWidth(reference, sample)) << file << " " << size;
}

TEST(CommonAssets, LoadsTheStagedDataInOrderAndReturnsToTheGameFolder) {
  THeadlessGame game(StagedData(800, 600));
  LoadCommonAssets();
  EXPECT_EQ(CurrentDir(), game.Root() + "/Files/003");

  std::string expected =
      "\r\nLoading : Common Objects\r\n\r\nSwitching to Default Folder\r\n\r\n\tDefault Fonts\r\n"
      "\tDefault Icons\r\n\tLogos\r\n\tBadgeGet\r\n\r\nSwitching to Game Folder\r\n\r\n"
      "Loading Sound effects\r\n";
  std::vector<int> present;
  for (int n = 1; n <= 200; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.wav", n);
    if (std::filesystem::exists(name)) {
      present.push_back(n);
      expected += "\tSFX(" + std::to_string(n) + ")\r\n";
    }
  }
  expected += "Sounds loaded\r\n\r\n";
  ASSERT_FALSE(present.empty());
  EXPECT_EQ(game.Log(), expected);
  for (int n = 1; n <= 200; ++n) {
    const bool listed = std::find(present.begin(), present.end(), n) != present.end();
    EXPECT_EQ(SfxTable[size_t(n)] != nullptr, listed) << n;
  }

  EXPECT_EQ(ImageFrames(IconsFiltered), 64);
  EXPECT_EQ(ImageWidth(IconsFiltered), 16);
  EXPECT_EQ(ImageFrames(IconsCrisp), 64);
  EXPECT_NE(Logos[0], nullptr);
  EXPECT_NE(Logos[1], nullptr);
  EXPECT_EQ(ImageFrames(BadgeSheet), 16);
  EXPECT_EQ(ImageWidth(BadgeSheet), 64);
  EXPECT_EQ(DisplayOpen, 1);
}

TEST(CommonAssets, EightHundredWideUsesTheSmallFamilyScaledUp) {
  THeadlessGame game(StagedData(800, 600));
  LoadCommonAssets();
  ExpectFont(ScreenFonts[1], "SVBasicManual.ttf", 28);  // 24 x 1.2
  ExpectFont(ScreenFonts[2], "SVBasicManual.ttf", 22);  // 16 x 1.4
  ExpectFont(ScreenFonts[5], "Blue Highway.ttf", 115);  // 96 x 1.2
  ExpectFont(ScreenFonts[10], "Acknowledge TT ZOV.ttf", 112);  // never scaled
  ExpectFont(FontTable[0], "SVBasicManual.ttf", 9);    // 8 x 1.2
  ExpectFont(FontTable[28], "Acknowledge TT ZOV.ttf", 115);
  EXPECT_EQ(FontTable[9], nullptr);
  // The two sizes tell apart: a scale left out would show.
  EXPECT_NE(FontTextHeight(ScreenFonts[1]), FontTextHeight(LoadFont("../Common/SVBasicManual.ttf", 24)));
}

TEST(CommonAssets, WiderDisplaysUseTheLargeFamilyUnscaled) {
  THeadlessGame game(StagedData(1024, 768));
  LoadCommonAssets();
  ExpectFont(ScreenFonts[1], "November.ttf", 24);
  ExpectFont(ScreenFonts[2], "November.ttf", 16);
  ExpectFont(FontTable[3], "November.ttf", 24);
}

TEST(CommonAssets, TheJingleIsCuedOnceOnItsOwnSlotOverTheFirstFrame) {
  THeadlessGame game(StagedData(800, 600));
  Settings[11] = 80;
  Settings[12] = 50;
  LoadCommonAssets();
  ASSERT_NE(BadgeSound, nullptr);
  auto channel = std::dynamic_pointer_cast<TRecordedChannel>(ChannelTable[JINGLE_SLOT]);
  ASSERT_NE(channel, nullptr);
  EXPECT_EQ(channel->cues, 1);
  EXPECT_FALSE(channel->paused);
  EXPECT_FLOAT_EQ(channel->volume, 0.4f);  // 50 x 80 / 100 / 100
  EXPECT_EQ(game.driver().flips, 1);
  EXPECT_EQ(game.driver().last_sync, -1);
  EXPECT_EQ(game.driver().Count(TDrawKind::Cls, 0), 1);

  LoadCommonAssets();  // a later display change
  EXPECT_EQ(channel->cues, 1);
  EXPECT_EQ(game.driver().flips, 1);
  int cues = 0;
  for (const auto& c : game.audio().channels) cues += c->cues;
  EXPECT_EQ(cues, 1);
}

TEST(CommonAssets, LogsExactlyTheEffectsPresent) {
  THeadlessGame game;
  const std::vector<uint8_t> wav = MakeWav(1, 22050, Tone(200, 1, 22050, 440, 8000));
  for (const char* name : {"001.wav", "002.wav", "010.wav"}) ASSERT_TRUE(WriteBytes(name, wav));
  LoadCommonAssets();
  const std::string log = game.Log();
  EXPECT_NE(log.find("Loading Sound effects\r\n\tSFX(1)\r\n\tSFX(2)\r\n\tSFX(10)\r\nSounds loaded\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(SfxTable[1], nullptr);
  EXPECT_NE(SfxTable[10], nullptr);
  EXPECT_EQ(SfxTable[3], nullptr);
  EXPECT_EQ(CurrentDir(), game.Root() + "/Files/003");
}

}  // namespace
