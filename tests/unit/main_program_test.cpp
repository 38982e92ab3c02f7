// Start-up's own rules: the tables' defaults, the audio driver choice and the start-world limit.
#include <gtest/gtest.h>

#include "base/program_state.h"
#include "base/settings.h"
#include "frontend/main_program.h"
#include "frontend/title_screen.h"
#include "platform/stream.h"
#include "support/temp_dir.h"
#include "ui/controls.h"

namespace {

TEST(MainProgram, BuildConstantsAndTitle) {
  EXPECT_EQ(TitleLine, "#3 : Lambrisk ");
  EXPECT_EQ(GameFolder(), "003/");
}

TEST(MainProgram, DefaultTables) {
  ResetMainProgram();
  SetDefaultSettings();
  SetDefaultControls();
  EXPECT_EQ(Settings[5], 800);
  EXPECT_EQ(Settings[6], 600);
  EXPECT_EQ(Settings[11], 50);
  EXPECT_EQ(Settings[12], 50);
  EXPECT_EQ(Settings[13], 50);
  EXPECT_EQ(Settings[14], 0);
  EXPECT_EQ(Settings[1], 0);
  EXPECT_EQ(AboutCount, 32);
  EXPECT_EQ(AboutText[1], "A Game by Corvenna");
  EXPECT_EQ(AboutText[10], "That how it goes.");
  EXPECT_EQ(AboutText[17], "using Corvenna's Framework");
  EXPECT_EQ(AboutText[24], "All other graphics by Corvenna");
  EXPECT_EQ(AboutText[29], "created using");
  for (int line : {20, 21, 22, 23}) EXPECT_EQ(AboutText[line].rfind("Font : ", 0), 0u) << line;
  EXPECT_EQ(ControlTable[0], 38);
  EXPECT_EQ(ControlTable[3], 37);
  EXPECT_EQ(ControlTable[13], 86);
  EXPECT_EQ(ControlTable[1], 0);
  EXPECT_EQ(ControlTable[20], 0);
}

TEST(MainProgram, AudioDriverChoice) {
  EXPECT_EQ(DefaultAudioDriver({"Null", "OpenAL Soft", "FreeAudio"}), 1);
  EXPECT_EQ(DefaultAudioDriver({"FreeAudio", "openal"}), 0);
  EXPECT_EQ(DefaultAudioDriver({"OpenAL", "FreeAudio", "DirectSound", "DirectX"}), 3);
  EXPECT_EQ(DefaultAudioDriver({"Null", "OSS"}), -1);
  EXPECT_EQ(DefaultAudioDriver({}), -1);
}

void WriteLimit(const std::string& bytes) {
  TTempDir::Write("zivazo.dat", bytes);
  ReadStartWorldLimit();
}

TEST(MainProgram, StartWorldLimitIsClamped) {
  TTempDir dir;
  ReadStartWorldLimit();
  EXPECT_EQ(StartWorldLimit, 1);  // no file
  WriteLimit(std::string("\x19\0\0\0", 4));
  EXPECT_EQ(StartWorldLimit, 20);
  WriteLimit(std::string("\x07\0\0\0", 4));
  EXPECT_EQ(StartWorldLimit, 7);
  WriteLimit(std::string("\0\0\0\0", 4));
  EXPECT_EQ(StartWorldLimit, 1);
  WriteLimit("\xfc\xff\xff\xff");  // -4
  EXPECT_EQ(StartWorldLimit, 1);
  WriteLimit("\x09\x00");  // too short to hold an integer
  EXPECT_EQ(StartWorldLimit, 1);
}

}  // namespace
