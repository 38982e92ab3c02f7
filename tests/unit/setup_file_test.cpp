// Reading and writing "Setup.ini".
#include <gtest/gtest.h>

#include <filesystem>

#include "base/game_paths.h"
#include "base/settings.h"
#include "framework/setup_file.h"
#include "frontend/main_program.h"
#include "platform/files.h"
#include "support/temp_dir.h"
#include "ui/controls.h"

namespace {

class SetupFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMainProgram();
    SetDefaultSettings();
    SetDefaultControls();
    AudioDriverChosen = 0;
    AudioDriverList = {"A", "B"};
    ResetGamePaths();
  }
  void TearDown() override { ResetGamePaths(); }
  // Reads a file holding these bytes from the working directory.
  static void ReadText(const std::string& bytes) {
    TTempDir::Write("Setup.ini", bytes);
    ReadSetupFile();
  }
};

const char kDefaultFile[] =
    "[Graphics]\r\nFullscreen = False\r\nGFX Engine = OpenGL\r\nWidth=800\r\nHeight=600\r\n\r\n"
    "[Audio]\r\nMaster = 50\r\nSound = 50\r\nMusic = 50\r\nAudioDriver = A\r\n"
    "; AudioDriver = A\r\n; AudioDriver = B\r\n\r\n"
    "[Controls]\r\nKey=0,38\r\nKey=3,37\r\nKey=5,39\r\nKey=8,40\r\nKey=10,90\r\nKey=11,88\r\n"
    "Key=12,67\r\nKey=13,86\r\n";

TEST_F(SetupFileTest, DefaultsAreWrittenByteForByteInTheFilesFolder) {
  TTempDir dir;
  ASSERT_TRUE(std::filesystem::create_directories("Files/003"));
  NoteGamePaths(dir.Path());
  ASSERT_TRUE(ChangeDir("Files/003/"));
  EXPECT_TRUE(WriteSetupFile());
  EXPECT_EQ(CurrentDir(), dir.Path() + "/Files/003");
  EXPECT_EQ(TTempDir::Read(dir.Path() + "/Files/Setup.ini"), kDefaultFile);
  EXPECT_EQ(FileType(dir.Path() + "/Files/Setup.ini.new"), FILETYPE_NONE);
}

// Without a game folder the game's files stay in "Files/"; every save lands there, however often
// and from whatever working directory, and never above the game's own folder.
TEST_F(SetupFileTest, WithoutTheGameFolderSavesStayInTheFilesFolder) {
  TTempDir dir;
  ASSERT_TRUE(std::filesystem::create_directories("game/Files"));
  NoteGamePaths(dir.Path() + "/game");
  ASSERT_TRUE(ChangeDir("game/Files/"));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(WriteSetupFile());
  EXPECT_EQ(CurrentDir(), dir.Path() + "/game/Files");
  EXPECT_EQ(TTempDir::Read(dir.Path() + "/game/Files/Setup.ini"), kDefaultFile);
  EXPECT_EQ(FileType(dir.Path() + "/game/Setup.ini"), FILETYPE_NONE);
  EXPECT_EQ(FileType(dir.Path() + "/Setup.ini"), FILETYPE_NONE);
}

TEST_F(SetupFileTest, OptionalLines) {
  Settings[1] = 2;  // neither windowed nor full screen: no line
  Settings[3] = 2;
  Settings[7] = 1;
  std::string text = SetupFileText();
  EXPECT_EQ(text.find("Fullscreen"), std::string::npos);
  EXPECT_NE(text.find("GFX Engine = DX7\r\n"), std::string::npos);
  EXPECT_NE(text.find("Height=600\r\nESS=1 ; This is a slow system, and things must run a wee bit "
                      "slower for it.  Awww..\r\n\r\n[Audio]"),
            std::string::npos);
  TTempDir dir;
  ResetMainProgram();
  SetDefaultSettings();
  ReadText(text);
  EXPECT_EQ(Settings[1], 0);  // the default stays
  EXPECT_EQ(Settings[3], 2);
}

// The game speed is written only below 100 %, by its per cent, and read back by it; a per cent
// that is no speed leaves the speed as it was.
TEST_F(SetupFileTest, TheGameSpeedLine) {
  EXPECT_EQ(SetupFileText().find("GameSpeed"), std::string::npos);
  Settings[SET_GAME_SPEED] = 3;
  const std::string text = SetupFileText();
  EXPECT_NE(text.find("\r\nGameSpeed = 55\r\n"), std::string::npos);
  TTempDir dir;
  SetDefaultSettings();
  ReadText(text);
  EXPECT_EQ(Settings[SET_GAME_SPEED], 3);
  ReadText("GameSpeed = 90\r\n");
  EXPECT_EQ(Settings[SET_GAME_SPEED], 3);
  ReadText("game speed=70\r\n");
  EXPECT_EQ(Settings[SET_GAME_SPEED], 2);
}

TEST_F(SetupFileTest, FullScreenValues) {
  TTempDir dir;
  ReadText("fullscreen=on\r\n");
  EXPECT_EQ(Settings[1], 1);
  Settings[1] = 0;
  ReadText("[Graphics]\r\n  FullScreen = TRUE  \r\n");
  EXPECT_EQ(Settings[1], 1);
  Settings[1] = 0;
  ReadText("Fullscreen = yes\r\n");
  EXPECT_EQ(Settings[1], 0);
}

TEST_F(SetupFileTest, Numbers) {
  TTempDir dir;
  ReadText("Width=-1024\nHeight = 768 pixels\nMaster=abc\nSound=99999999999999\nMusic=+7");
  EXPECT_EQ(Settings[5], 1024);
  EXPECT_EQ(Settings[6], 768);
  EXPECT_EQ(Settings[11], 0);
  EXPECT_EQ(Settings[12], 2147483647);
  EXPECT_EQ(Settings[13], 7);  // a last line without a line feed is read too
  EXPECT_EQ(SetupNumber("  -2147483648"), 2147483647);
  EXPECT_EQ(SetupNumber(""), 0);
}

TEST_F(SetupFileTest, KeySlots) {
  TTempDir dir;
  ReadText("Key=0,87\r\nKey=99,65\r\nKey=100,66\r\nKey=-5,67\r\nKey=13\r\nKey=20 ,  32\r\nKey=10,27\r\n");
  EXPECT_EQ(ControlTable[0], 87);  // a redefined Up survives a restart
  EXPECT_EQ(ControlTable[99], 65);
  EXPECT_EQ(ControlTable[100], 0);
  EXPECT_EQ(ControlTable[5], 67);  // -5 reads as 5, as every number of the file does
  EXPECT_EQ(ControlTable[13], 13);  // without a comma the whole value is both fields
  EXPECT_EQ(ControlTable[20], 32);
  EXPECT_EQ(ControlTable[10], 90);  // Escape is never bound
}

// A control the player unbound stays unbound: its default would come back without a line.
TEST_F(SetupFileTest, AnUnboundDefaultStaysUnbound) {
  TTempDir dir;
  ControlTable[12] = 0;
  const std::string text = SetupFileText();
  EXPECT_NE(text.find("Key=12,0\r\n"), std::string::npos);
  EXPECT_EQ(text.find("Key=14,"), std::string::npos);  // never bound: no line
  SetDefaultControls();
  ReadText(text);
  EXPECT_EQ(ControlTable[12], 0);
}

TEST_F(SetupFileTest, SlowSystemAndEngine) {
  TTempDir dir;
  ReadText("ESS\r\nGfxEngine=dx9\r\n");
  EXPECT_EQ(Settings[7], 1);
  EXPECT_EQ(Settings[3], 1);
  Settings[7] = 0;
  ReadText("ESS = whatever\r\nGFX ENGINE = Vulkan\r\n");
  EXPECT_EQ(Settings[7], 1);
  EXPECT_EQ(Settings[3], 1);
}

TEST_F(SetupFileTest, AudioDriverLines) {
  TTempDir dir;
  AudioDriverList = {"OpenAL", "OSS", "Null"};
  ReadText("AudioDriver = Null\r\nAudioDriver = OSS\r\nAudioDriver = nope\r\n");
  EXPECT_EQ(AudioDriverChosen, 1);
  EXPECT_EQ(Settings[14], 1);
  AudioDriverChosen = 0;
  Settings[14] = 0;
  ReadText("AudioDriver = oss\r\n");  // names compare exactly
  EXPECT_EQ(AudioDriverChosen, 1);
  EXPECT_EQ(Settings[14], 0);
}

TEST_F(SetupFileTest, JunkIsSkipped) {
  TTempDir dir;
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk.push_back(char((i * 37) & 0xff));
  ReadText(junk + "\r\n" + std::string(200000, '=') + "\r\nWidth=1280\r\n; Height=1\r\n");
  EXPECT_EQ(Settings[5], 1280);
  EXPECT_EQ(Settings[6], 600);
}

TEST_F(SetupFileTest, AFailedSaveKeepsTheOldFile) {
  TTempDir dir;
  // A folder where the temporary file would go makes the save fail, even for root.
  ASSERT_TRUE(std::filesystem::create_directories("Files/003"));
  ASSERT_TRUE(std::filesystem::create_directories("Files/Setup.ini.new"));
  TTempDir::Write("Files/Setup.ini", "old");
  NoteGamePaths(dir.Path());
  EXPECT_FALSE(WriteSetupFile());
  EXPECT_EQ(TTempDir::Read("Files/Setup.ini"), "old");
}

}  // namespace
