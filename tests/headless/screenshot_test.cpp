// F11 during PresentFrame: the saved file, its name, size and opacity, the notice, the log lines,
// the floating message and the working folder afterwards.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/present_frame.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/font.h"
#include "platform/key_codes.h"
#include "platform/pixmap.h"
#include "support/headless_game.h"
#include "support/text_shape.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"

namespace {


// A back buffer of one colour with alpha 0, as a display without an alpha channel may give it;
// keeps each grab's size and each flip's sync.
class TGrabbingDriver : public TRecordingDriver {
 public:
  bool fail_grab = false;
  std::vector<std::pair<int, int>> grabs;
  std::vector<int> syncs;  // by frame
  TPixmapPtr GrabPixmap(int x, int y, int w, int h) override {
    TRecordingDriver::GrabPixmap(x, y, w, h);
    grabs.emplace_back(w, h);
    return fail_grab ? nullptr : CreatePixmap(w, h, 0x00336699u, true);
  }
  void Flip(int sync) override {
    syncs.push_back(sync);
    TRecordingDriver::Flip(sync);
  }
};

std::vector<std::string> Screenshots(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("Lambrisk", 0) == 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The names the log says were saved.
std::vector<std::string> SavedNames(const std::string& log) {
  std::vector<std::string> names;
  const std::string tag = "\tSaving Screenshot : ";
  for (size_t at = log.find(tag); at != std::string::npos; at = log.find(tag, at + 1)) {
    const size_t start = at + tag.size();
    names.push_back(log.substr(start, log.find("\r\n", start) - start));
  }
  return names;
}

class ScreenshotTest : public ::testing::Test {
 protected:
  ScreenshotTest() : game(Options()) {
    const std::string fonts = std::string(LAMBRISK_GAME_DIR) + "/Files/Common/";
    ScreenFonts[5] = LoadFont(fonts + "Blue Highway.ttf", 96);
    ScreenFonts[6] = LoadFont(fonts + "Blue Highway.ttf", 72);
  }
  THeadlessOptions Options() {
    THeadlessOptions options;  // 800 x 600, drawn at 1280 x 960
    options.driver = driver;
    return options;
  }
  std::shared_ptr<TGrabbingDriver> driver = std::make_shared<TGrabbingDriver>();
  THeadlessGame game;
};

TEST_F(ScreenshotTest, F11SavesTheRealSizeOpaqueOneFolderUp) {
  game.script().PressAt(2, VK_F11);
  for (int i = 0; i < 4; ++i) game.Frame();

  const auto shots = Screenshots(game.Root() + "/Files");
  ASSERT_EQ(shots.size(), 1u);
  const std::string& name = shots[0];
  EXPECT_TRUE(HasShape(name, "Lambrisk  (Screenshot_99 Aaa 9999_999999).png")) << name;
  EXPECT_TRUE(Screenshots(game.Root() + "/Files/003").empty());

  ASSERT_EQ(driver->grabs.size(), 1u);
  EXPECT_EQ(driver->grabs[0], std::make_pair(800, 600));
  TPixmapPtr saved = LoadPixmapPNG(game.Root() + "/Files/" + name);
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(saved->width, 800);
  EXPECT_EQ(saved->height, 600);
  int wrong = 0;
  for (int y = 0; y < saved->height; ++y)
    for (int x = 0; x < saved->width; ++x) wrong += ReadPixel(*saved, x, y) != 0xFF336699u;
  EXPECT_EQ(wrong, 0);

  const std::string log = game.Log();
  EXPECT_NE(log.find("\r\n\tScreenshot\r\n\tGrabbing Screenshot\r\n\tSaving Screenshot : " + name +
                     "\r\n\tSaved Screenshot 1\r\n\r\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(CurrentDir(), game.Root() + "/Files/003");
  ASSERT_EQ(MessageList.size(), 1u);
  EXPECT_EQ(MessageList[0].txt, "Saved Screenshot");
}

TEST_F(ScreenshotTest, TheNoticeIsShownAtOnceWithTheDefaultSync) {
  game.script().PressAt(2, VK_F11);
  for (int i = 0; i < 4; ++i) game.Frame();
  const TDrawRecord* saving = driver->FindText("Saving Screenshot");
  const TDrawRecord* patience = driver->FindText("Sometimes, this takes a while!");
  ASSERT_NE(saving, nullptr);
  ASSERT_NE(patience, nullptr);
  EXPECT_EQ(saving->font, ScreenFonts[5]);
  EXPECT_EQ(patience->font, ScreenFonts[6]);
  EXPECT_NEAR(saving->x + float(FontTextWidth(ScreenFonts[5], "Saving Screenshot")) / 2, 640, 1);
  EXPECT_NEAR(saving->y + float(FontTextHeight(ScreenFonts[5])) / 2, 480 - 30, 1);
  EXPECT_NEAR(patience->y + float(FontTextHeight(ScreenFonts[6])) / 2, 480 + 30, 1);
  EXPECT_EQ(saving->state.color_red, 255);
  EXPECT_EQ(saving->state.color_blue, 255);
  // The notice ends its own frame with sync -1; the frame that pressed F11 then flips with 0.
  ASSERT_EQ(patience->frame, saving->frame);
  ASSERT_LT(size_t(saving->frame) + 1, driver->syncs.size());
  EXPECT_EQ(driver->syncs[size_t(saving->frame)], -1);
  EXPECT_EQ(driver->syncs[size_t(saving->frame) + 1], 0);
  EXPECT_EQ(driver->flips, 5);
}

// Names come from the game clock's calendar: three shots within one second of 9 Jan 2027.
TEST_F(ScreenshotTest, ShotsInTheSameSecondGetTheirOwnNames) {
  game.clock().SetLocalTime(2027, 1, 9, 8, 5, 7);
  game.script().PressAt(1, VK_F11).PressAt(4, VK_F11).PressAt(7, VK_F11);
  for (int i = 0; i < 10; ++i) game.Frame();
  const std::string stem = "Lambrisk  (Screenshot_09 Jan 2027_080507)";
  EXPECT_EQ(SavedNames(game.Log()),
            (std::vector<std::string>{stem + ".png", stem + " 2.png", stem + " 3.png"}));
  for (const char* suffix : {".png", " 2.png", " 3.png"})
    EXPECT_EQ(FileType(game.Root() + "/Files/" + stem + suffix), FILETYPE_FILE) << suffix;
}

TEST_F(ScreenshotTest, AFailedSaveIsNotReportedAsSaved) {
  driver->fail_grab = true;
  game.script().PressAt(2, VK_F11);
  for (int i = 0; i < 4; ++i) game.Frame();
  EXPECT_TRUE(Screenshots(game.Root() + "/Files").empty());
  EXPECT_NE(game.Log().find("\tSaved Screenshot 0\r\n"), std::string::npos) << game.Log();
  EXPECT_EQ(CurrentDir(), game.Root() + "/Files/003");
  ASSERT_EQ(MessageList.size(), 1u);
  EXPECT_EQ(MessageList[0].txt, "Couldn't save the screenshot");
}

}  // namespace
