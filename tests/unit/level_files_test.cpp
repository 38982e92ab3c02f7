// The level files: finding a level by its world's group line and its case line, rewriting that
// one line, the copies to and from the work file, and what happens when files are missing,
// unwritable or full of junk.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/game_paths.h"
#include "framework/present_frame.h"
#include "game/game_state.h"
#include "game/level_files.h"
#include "rules/level_set.h"
#include "platform/files.h"
#include "support/temp_dir.h"
#include "ui/messages.h"

namespace {

class LevelFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories("Levels");
    std::filesystem::create_directories("Files/003");
    NoteGamePaths(dir_.Path());
    ResetGameState();
    MessageList.clear();
  }
  void TearDown() override { ResetGamePaths(); }
  static std::string Loaded(const std::string& name, int level) {
    LoadLevel(name, level);
    EXPECT_GE(Game.LevelText.size(), 117u);
    return Game.LevelText.substr(0, Game.LevelText.find_last_not_of(' ') + 1);
  }
  static bool Posted(const std::string& text) {
    for (const ment& m : MessageList)
      if (m.txt.find(text) != std::string::npos) return true;
    return false;
  }
  TTempDir dir_;
};

// World 2 of a file shaped like the shipped ones, with its neighbours and free lines around.
const std::string kWorld2 =
    "// levels\r\n    if (grp==1)\r\n    {\r\n                case 2: strcpy(LevDat,\"1340\"); break;\r\n"
    "    }\r\n    if (grp==2)\r\n    {\r\n        switch (n) {\r\n"
    "                case 1: strcpy(LevDat,\"A\"); break;\r\n"
    "                // the second one\r\n"
    "                case 2: strcpy(LevDat,\"B   2340\"); break;\r\n"
    "                case 3: strcpy(LevDat,\"C\"); break;\r\n"
    "                case 4: strcpy(LevDat,\"D\"); break;\r\n"
    "                case 5: strcpy(LevDat,\"E\"); break;\r\n"
    "        }\r\n    }\r\n";

TEST_F(LevelFilesTest, AGroupLineAndItsCaseLinesGiveTheWorldsLevels) {
  TTempDir::Write("Levels/T.txt", kWorld2);
  const char* const expected[] = {"A", "B   2340", "C", "D", "E"};
  for (int level = 6; level <= 10; ++level) EXPECT_EQ(Loaded("T", level), expected[level - 6]);
  EXPECT_EQ(Loaded("T", 7), "B   2340");
  EXPECT_EQ(Game.LevelColumns[4][COL_KIND], 2);  // and set up: cell 1 is column 4
  EXPECT_EQ(Loaded("T", 2), "1340");
  EXPECT_EQ(Loaded("T", 1), "");   // no case line 1 in world 1
  EXPECT_EQ(Loaded("T", 11), "");  // no world 3
  EXPECT_EQ(Loaded("Missing", 7), "");
}

TEST_F(LevelFilesTest, SavingRewritesOnlyTheLevelsLineWithItsFirst101Characters) {
  TTempDir::Write("Levels/T.txt", kWorld2);
  Game.LevelText = std::string(100, '1') + "23" + std::string(15, '9');  // 117 characters
  SaveLevel("T", 7);
  std::string expected = kWorld2;
  const std::string old = "                case 2: strcpy(LevDat,\"B   2340\"); break;";
  expected.replace(expected.find(old), old.size(),
                   "                case 2: strcpy(LevDat,\"" + std::string(100, '1') + "2\"); break;");
  EXPECT_EQ(TTempDir::Read("Levels/T.txt"), expected);
  EXPECT_EQ(Game.LevelText.size(), 117u);  // the level itself is left as it was
  EXPECT_EQ(Loaded("T", 7), std::string(100, '1') + "2");

  // No line for the level, or no file: nothing changes and nothing is made.
  for (int level : {1, 11, 100}) SaveLevel("T", level);
  EXPECT_EQ(TTempDir::Read("Levels/T.txt"), expected);
  SaveLevel("Missing", 7);
  EXPECT_EQ(FileType("Levels/Missing.txt"), FILETYPE_NONE);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("Levels"), {}), 1);
}

TEST_F(LevelFilesTest, TwoCaseLinesForOnePositionLoadTheLaterAndSaveBoth) {
  TTempDir::Write("Levels/T.txt", "(grp==1)\ncase 1: \"1340\"\ncase 1: \"2340\"\ncase 2: \"x\"\n");
  EXPECT_EQ(Loaded("T", 1), "2340");
  Game.LevelText = "C300";
  SaveLevel("T", 1);
  const std::string line = CaseLine(1, "C300") + "\r\n";
  EXPECT_EQ(TTempDir::Read("Levels/T.txt"), "(grp==1)\r\n" + line + line + "case 2: \"x\"\r\n");
}

TEST_F(LevelFilesTest, BadFilesLoadWithoutHarm) {
  std::string junk;
  for (int i = 0; i < 768; ++i) junk += char(i * 7 % 256);
  const std::string huge(100000, '1');
  const struct { std::string bytes; int level; std::string text; } cases[] = {
      {"(grp==1)\rcase 1: \"1340\"\r", 1, "1340"},  // CR alone ends no line
      {"(grp==1\ncase 1: \"" + huge + "\"", 1, huge},
      {"(grp==1\ncase 1: \"1340\"\ncase 1: \"13", 1, ""},  // the later line wins, cut short
      {"(grp==\ncase 1: \"1340\"", 1, ""},  // world 0
      {"(grp==99999999999\ncase 4: \"1340\"", 4, ""},
      {"(grp==1\n" + junk + std::string("\ncase 3: \"1\0\"\"", 14), 3, ""},  // a zero byte ends a line
      {junk, 1, ""},
      {"", 1, ""}};
  for (const auto& c : cases) {
    TTempDir::Write("Levels/T.txt", c.bytes);
    EXPECT_EQ(Loaded("T", c.level), c.text) << c.bytes.substr(0, 40);
    // Programs with no window read the same level from the same bytes.
    EXPECT_EQ(LevelSetOf(SplitLevelLines(c.bytes)).Text(c.level), c.text) << c.bytes.substr(0, 40);
    Game.LevelText = "2340";
    SaveLevel("T", c.level);  // the bad file is rewritten line by line, never read out of bounds
  }
  TTempDir::Write("Levels/T.txt", "(grp==1\ncase 1: \"" + huge + "\"");
  LoadLevel("T", 1);
  SaveLevel("T", 1);
  EXPECT_EQ(TTempDir::Read("Levels/T.txt"), "(grp==1\r\n" + CaseLine(1, huge.substr(0, 101)) + "\r\n");
}

TEST_F(LevelFilesTest, CopiesAreLineByLineInCrLf) {
  const struct { std::string source; std::string copy; } cases[] = {
      {"a\nb\r\n", "a\r\nb\r\n"}, {"a\r\n\r\n", "a\r\n\r\n"}, {"a", "a\r\n"}, {"", "\r\n"}};
  for (const auto& c : cases) {
    TTempDir::Write("Levels/WIP.txt", c.source);
    CopyFromWork("T");
    CopyToWork("T");
    EXPECT_EQ(TTempDir::Read("Levels/WIP.txt"), c.copy);
  }
  // The work file, the copy and the one it replaced; no temporary left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("Levels"), {}), 3);
}

// A copy back keeps the file it replaces as ".bak", one step of undo that a second copy of the
// same levels does not use up.
TEST_F(LevelFilesTest, CopyingBackKeepsTheReplacedFileAsBak) {
  TTempDir::Write("Levels/My Levels.txt", kWorld2);
  TTempDir::Write("Levels/WIP.txt", "generated\r\n");
  CopyFromWork("My Levels");
  CopyFromWork("My Levels");
  EXPECT_EQ(TTempDir::Read("Levels/My Levels.txt"), "generated\r\n");
  EXPECT_EQ(TTempDir::Read("Levels/My Levels.bak"), kWorld2);
}

TEST_F(LevelFilesTest, FailedCopiesAndSavesLeaveTheTargetAsItWas) {
  TTempDir::Write("Levels/My Levels.txt", kWorld2);
  CopyFromWork("My Levels");  // no work file
  EXPECT_EQ(TTempDir::Read("Levels/My Levels.txt"), kWorld2);
  EXPECT_TRUE(Posted("WIP.txt"));

  TTempDir::Write("Levels/WIP.txt", "new");
  // The temporary beside the target can't be made: as when the folder is not writable.
  std::filesystem::create_directory("Levels/My Levels.txt.new");
  CopyFromWork("My Levels");
  Game.LevelText = "1340";
  SaveLevel("My Levels", 7);
  EXPECT_EQ(TTempDir::Read("Levels/My Levels.txt"), kWorld2);
  EXPECT_TRUE(Posted("My Levels.txt"));
}

TEST_F(LevelFilesTest, StartOfAGameFillsTheWorkFile) {
  TTempDir::Write("Files/003/blank.txt", "(grp==1)\ncase 1: \"\"\n");
  TTempDir::Write("Levels/Lambrisk.txt", "(grp==1)\ncase 1: \"1340\"\n");
  PrepareWorkFile(0);
  EXPECT_EQ(TTempDir::Read("Levels/WIP.txt"), "(grp==1)\r\ncase 1: \"\"\r\n");
  EXPECT_EQ(TTempDir::Read("Levels/My Levels.txt"), TTempDir::Read("Levels/WIP.txt"));
  PrepareWorkFile(1);
  EXPECT_EQ(TTempDir::Read("Levels/WIP.txt"), "(grp==1)\r\ncase 1: \"1340\"\r\n");

  TTempDir::Write("Levels/My Levels.txt", "// mine\n(grp==1)\ncase 1: \"2\"\n");  // never made again
  PrepareWorkFile(0);
  EXPECT_EQ(TTempDir::Read("Levels/WIP.txt"), "// mine\r\n(grp==1)\r\ncase 1: \"2\"\r\n");
  EXPECT_TRUE(MessageList.empty());
  EXPECT_EQ(FileType("Levels/My Levels.bak"), FILETYPE_NONE);
}

// An own file the editor could not save every level into is kept aside untouched, and the work
// file is blank.txt with the levels it did hold, so every level can be saved again.
TEST_F(LevelFilesTest, AnOwnFileLackingLevelLinesIsKeptAndEditedFromBlank) {
  TTempDir::Write("Files/003/blank.txt", "(grp==1)\ncase 1: \"\"\ncase 2: \"\"\n(grp==2)\ncase 1: \"\"\n");
  const std::string cut = "junk\n(grp==1)\ncase 2: \"2340\"\n";
  const std::string binary("\x01\xff\0\x80(grp\n\r\"\"", 12);
  for (const std::string& own : {cut, binary, std::string()}) {
    TTempDir::Write("Levels/My Levels.txt", own);
    PrepareWorkFile(0);
    const std::string second = own == cut ? CaseLine(2, "2340") : "case 2: \"\"";
    EXPECT_EQ(TTempDir::Read("Levels/WIP.txt"),
              "(grp==1)\r\ncase 1: \"\"\r\n" + second + "\r\n(grp==2)\r\ncase 1: \"\"\r\n");
    EXPECT_EQ(TTempDir::Read("Levels/My Levels.txt"), own);
    EXPECT_NE(FileType("Levels/My Levels.bak"), FILETYPE_NONE);
    Game.LevelText = "1340";
    SaveLevel("WIP", 6);
    EXPECT_EQ(Loaded("WIP", 6), "1340");
  }
}

TEST_F(LevelFilesTest, MissingShippedFilesAreNamedAndLeaveEmptyLevels) {
  for (int mode : {1, 0}) {
    TTempDir::Write("Levels/WIP.txt", "(grp==1)\ncase 1: \"1340\"\n");  // an earlier game's
    MessageList.clear();
    PrepareWorkFile(mode);
    EXPECT_TRUE(Posted("blank.txt"));
    EXPECT_EQ(Posted("Lambrisk.txt"), mode == 1);
    EXPECT_EQ(FileType("Levels/My Levels.txt"), FILETYPE_NONE);
    EXPECT_EQ(Loaded("WIP", 1), "");
  }
}

// Every level of both shipped files has its line: saving a marked text and loading it back
// finds it, so the editor can save every level of a file made from either.
TEST_F(LevelFilesTest, ShippedFilesHoldALineForEveryLevel) {
  for (const char* name : {"Lambrisk", "blank"}) {
    std::filesystem::copy_file(std::string(LAMBRISK_SOURCE_DIR) + "/data/levels/" + name + ".txt",
                               std::string("Levels/") + name + ".txt");
    int playable = 0;
    for (int level = 1; level <= 100; ++level) playable += !Loaded(name, level).empty();
    EXPECT_EQ(playable, std::string(name) == "blank" ? 0 : 100) << name;
    for (int level = 1; level <= 100; ++level) {
      Game.LevelText = "1" + std::to_string(level);
      SaveLevel(name, level);
    }
    for (int level = 1; level <= 100; ++level) EXPECT_EQ(Loaded(name, level), "1" + std::to_string(level));
  }
}

}  // namespace
