// The whole start-up of the real program, run in a child process on a manual clock, judged by the
// log it writes and its exit code.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/settings.h"
#include "frontend/main_program.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/recording/recording_driver.h"
#include "platform/scripted_input.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

// Runs Main in a child with the working directory set to the current one, on the recording
// driver and a manual clock; Escape leaves the title screen and a later key ends the farewell.
// Returns the child's exit code; Main must end through the farewell, never return.
int RunMainInChild() {
  return RunInChild([] {
    static TManualClock clock;
    SetClock(&clock);
    SetDrawDriver(std::make_shared<TRecordingDriver>());
    static TScriptedInput script;
    script.KeyDownAt(100, 27).KeyUpAt(102, 27).AtTime(60000, {EVENT_KEYDOWN, 32, 0, 0});
    AddEventSource(&script);
    Main();
  });
}

const char kBanner[] =
    "Corvenna's Pellmoor Engine\r\n"
    "----------------------------\r\n"
    "Week #3\r\n"
    "----------------------------\r\n"
    "#3 : Lambrisk \r\n"
    "----------------------------\r\n"
    "\r\n"
    "Loading\r\n";

TEST(Startup, WritesTheBannerAndEndsWithExitCodeZero) {
  TTempDir dir;
  ASSERT_TRUE(std::filesystem::create_directories("Files/003"));
  EXPECT_EQ(RunMainInChild(), 0);
  std::string log = TTempDir::Read("Files/Debug.txt");
  ASSERT_EQ(log.compare(0, sizeof kBanner - 1, kBanner), 0) << log;
  // Without a setup file the log goes straight from "Loading" to the audio driver.
  std::string after = log.substr(sizeof kBanner - 1);
  EXPECT_EQ(after.rfind("Setting Audio Driver\r\nSet Audio Driver\r\n\r\n"
                        "\tRequested Resolution : 800x600\r\n\tSetup Loaded\r\n\r\n"
                        "Grabbing Previous Scores\r\n\r\n", 0), 0u) << after;
  // Each file that isn't there says so, by its full path, in its place.
  const std::string missing_font = "\tDefault Fonts\r\n\tCan't load the font " + dir.Path() +
                                   "/Files/Common/SVBasicManual.ttf: No such file or directory\r\n";
  EXPECT_NE(log.find(missing_font), std::string::npos) << log;
  // The display step and the assets, in order, with nothing to load in this folder.
  std::string plain;
  for (size_t start = 0, end; start < log.size(); start = end + 1) {
    end = log.find('\n', start);
    if (end == std::string::npos) end = log.size() - 1;
    if (log.compare(start, 16, "\tCan't load the ") != 0) plain += log.substr(start, end + 1 - start);
  }
  log = plain;
  const char* const lines[] = {
      "\r\n-=-=-=-=-=-=-=-=-=-=-=-=-=-\r\nApplying Graphical Settings\r\n\tUsing OpenGL Driver\r\n"
      "\tResolution : 800x600,0\r\n\r\nLoading : Common Objects\r\n\r\nSwitching to Default Folder\r\n"
      "\r\n\tDefault Fonts\r\n\tDefault Icons\r\n\tLogos\r\n\tBadgeGet\r\n\r\nSwitching to Game Folder\r\n"
      "\r\nLoading Sound effects\r\nSounds loaded\r\n\r\nStarting Engine Test\r\nAiming for 45,2\r\n",
      "Test Complete\r\n\r\nEngine Test Results\r\n\r\n\tMaximum Sprites Allowed for 45 Frames Per "
      "Second\r\n\tMain sprites : 0\r\n\tGlowy Sprites : 0\r\n\tParticles : 0\r\n\r\n\r\n"
      "-=-=-=-=-=-=-=-=-=-=-=-=-=-\r\nFinished Loading\r\nClosing Up\r\n"};
  size_t at = 0;
  for (const char* expected : lines) {
    size_t found = log.find(expected, at);
    ASSERT_NE(found, std::string::npos) << "missing after offset " << at << ":\n" << expected << "\nin:\n" << log;
    at = found;
  }
  EXPECT_EQ(FileType("Files/003/crash.dat"), FILETYPE_NONE);
  EXPECT_EQ(log.substr(log.size() - 22), "\r\nPlay again, soon!!\r\n");
}

TEST(Startup, RunsWithoutAFilesFolder) {
  TTempDir dir;
  EXPECT_EQ(RunMainInChild(), 0);
  // The log then lives beside the start directory.
  EXPECT_EQ(FileType("Debug.txt"), FILETYPE_FILE);
}

TEST(Startup, EveryRunStartsAFreshLog) {
  TTempDir dir;
  ASSERT_TRUE(std::filesystem::create_directories("Files/003"));
  TTempDir::Write("Files/Debug.txt", std::string(100000, '~'));
  EXPECT_EQ(RunMainInChild(), 0);
  std::string log = TTempDir::Read("Files/Debug.txt");
  EXPECT_EQ(log.find('~'), std::string::npos);
}

}  // namespace
