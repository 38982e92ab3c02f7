// Scores: the stamps and their texts, the scrambling, the ranking and trimming of a table, the
// score file's round trip and its damaged lines, and the name editor.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/program_state.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "scores/finished_game.h"
#include "scores/name_entry.h"
#include "scores/score_file.h"
#include "scores/score_records.h"
#include "scores/score_table.h"
#include "scores/score_time.h"
#include "scores/scramble.h"
#include "support/headless_game.h"

namespace {

struct TScoresWorld {
  THeadlessGame game;
  TScoresWorld() {
    ResetScoreRecords();
    ResetScoreFile();
    BuildScrambleKey();
  }
  ~TScoresWorld() {
    ResetScoreRecords();
    ResetScoreFile();
  }
  std::string ScoreFile() const { return game.Root() + "/Files/003/nuscores.dat"; }
};

TScoresPtr Record(int64_t score, int64_t stamp, int level = 1, int mode = 1, const std::string& name = "Ewe") {
  auto r = std::make_shared<TScores>();
  r->Score = score;
  r->Timestamp = stamp;
  r->Level = level;
  r->GameMode = mode;
  r->Name = name;
  return r;
}

TEST(Scores, StampsAndTheirTexts) {
  struct TCase {
    const char* date;
    const char* time;
    int64_t stamp;
    const char* date_text;
  } cases[] = {
      {"06 Dec 2026", "21:05:09", 65149995909, "06-12-2026"},
      {"31 Jan 2026", "10:00:00", 65122653600, "31-01-2026"},
      {"01 Feb 2026", "10:00:00", 65122740000, "01-02-2026"},
      {"31 Dec 2026", "23:59:59", 65152166399, "31-12-2026"},
      {"01 jan 2027", "00:00:00", 65152166400, "01-01-2027"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(StampOf(c.date, c.time), c.stamp) << c.date;
    EXPECT_EQ(DateText(c.stamp), c.date_text);
    EXPECT_EQ(TimeText(c.stamp), c.time);
  }
  // An unknown month is month 0: before January of that year.
  EXPECT_LT(StampOf("15 Xyz 2026", "12:00:00"), StampOf("01 Jan 2026", "00:00:00"));
}

TEST(Scores, ScramblingRoundTripsAndCatchesAChangedDigit) {
  BuildScrambleKey();
  EXPECT_EQ(ScrambleKey.size(), 2 * (GameTitle.size() + 1 + Subtitle.size() + KeyPhrase.size()));
  const std::string texts[] = {"|", "Player|secret", std::string(300, 'z') + "|\xA2\x01\xFF",
                               "120|Ewe|0|65149995909|1|1|0|0" + SectionMark + "0|0|1"};
  int caught = 0, changes = 0;
  for (const std::string& key : {std::string(), HeaderCode, std::string("k")}) {
    for (const std::string& t : texts) {
      const std::string s = Scramble(t, key);
      EXPECT_EQ(s.size(), 2 * t.size() + 24);
      EXPECT_EQ(s.find_first_not_of("0123456789ABCDEF"), std::string::npos);
      EXPECT_EQ(Unscramble(s, key), t);
      for (size_t i = 0; i < s.size(); i += 3) {
        std::string damaged = s;
        damaged[i] = damaged[i] == '7' ? '8' : '7';
        caught += Unscramble(damaged, key) == "XXX";
        ++changes;
      }
    }
  }
  EXPECT_GT(caught, changes * 95 / 100);
  EXPECT_EQ(Unscramble("not hex at all", ""), "XXX");
}

TEST(Scores, RankingEqualScoresTheLimitAndFlagBits) {
  TScoresList list;
  EXPECT_EQ(RankTable(list, 1, 1, 0, 0), 0);
  EXPECT_EQ(TableMax, 1);
  for (int i = 0; i < 25; ++i) list.push_back(Record(100 + i, 1000 - i));
  list.push_back(Record(5, 10));                 // the 26th, lower than every ranked one
  list.push_back(Record(200, 5));                // older, but the best score
  list.push_back(Record(200, 6, 2));             // another table
  SortScores(list);
  EXPECT_EQ(RankTable(list, 1, 1, 0, 0), 200);
  EXPECT_EQ(TableCount, 27);
  EXPECT_EQ(TableSlots[2]->Score, 124);
  EXPECT_EQ(TableSlots[25]->Score, 101);
  EXPECT_FALSE(Ranked(list[25]));
  // Equal scores: the newer ranks higher.
  TScoresList pair = {Record(50, 2), Record(50, 1)};
  RankTable(pair, 1, 1, 0, 0);
  EXPECT_EQ(TableSlots[1]->Timestamp, 2);
  EXPECT_EQ(FlagBit(5, 1) * 100 + FlagBit(5, 2) * 10 + FlagBit(5, 3), 101);
}

// Showing a table of 60 equal games keeps its 50 newest; another table's games stay.
TEST(Scores, AShownTableKeepsItsFiftyNewestAndItsBest) {
  TScoresWorld w;
  for (int i = 0; i < 60; ++i) LocalScores.push_back(Record(70, 5000 - i));
  LocalScores.push_back(Record(70, 1, 3));
  SortScores(LocalScores);
  DrawScoreTable(900, 335, 1, 1, 0, 0);
  EXPECT_EQ(LocalScores.size(), 61u);
  DrawScoreTable(900, 335, 1, 1, 0, 1);
  EXPECT_EQ(LocalScores.size(), 51u);
  EXPECT_EQ(LocalScores.back()->Level, 3);
}

TEST(Scores, TheScoreFileRoundTripsAndSkipsWhatItCannotRead) {
  TScoresWorld w;
  UserName = "shepherd";
  Password = "crook";
  auto complete = Record(999, 300, 4, 0, "Newest");
  for (int k = 1; k < 30; ++k) complete->Best[size_t(k)] = 7 * k;
  complete->Best[30] = 1;
  complete->Badges = 5;
  LocalScores = {Record(10, 100), complete, Record(-3, 200, 1, -2, "Online")};
  ASSERT_TRUE(SaveScores());
  // A damaged line and junk between the good ones are skipped.
  {
    std::ofstream out(w.ScoreFile(), std::ios::app | std::ios::binary);
    out << "0123ABCD\r\n\x01\x02junk|junk\r\n" << std::string(100000, 'F') << "\r\n";
  }
  const std::string as_read = w.game.ReadFile("Files/003/nuscores.dat");
  ResetScoreRecords();
  ResetScoreFile();
  UserName = Password = "";
  LoadScores();
  ASSERT_EQ(LocalScores.size(), 2u);
  EXPECT_EQ(LocalScores[0]->Name, "Newest");
  for (int k = 1; k < 30; ++k) EXPECT_EQ(LocalScores[0]->Best[size_t(k)], 7 * k) << k;
  EXPECT_EQ(LocalScores[0]->Best[30], 1);
  EXPECT_EQ(LocalScores[0]->Badges, 5);
  EXPECT_EQ(LocalScores[0]->GameMode, 0);
  EXPECT_EQ(PlayerName, "Newest");
  EXPECT_EQ(UserName + "|" + Password, "shepherd|crook");

  // The dropped lines are kept, and the file holding the password is the owner's alone.
  EXPECT_EQ(w.game.ReadFile("Files/003/nuscores.bad"), as_read);
  EXPECT_NE(w.game.Log().find("3 damaged lines"), std::string::npos);
  EXPECT_EQ(std::filesystem::status(w.ScoreFile()).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  // A game finished since the last load survives a reload (a display-mode change), and so it does
  // when the save before the reload fails.
  LocalScores.push_back(Record(77, 400));
  LoadScores();
  EXPECT_EQ(LocalScores.size(), 3u);
  std::filesystem::create_directory(w.ScoreFile() + ".new");
  LocalScores.push_back(Record(78, 500));
  LoadScores();
  EXPECT_EQ(LocalScores.size(), 4u);
  std::filesystem::remove(w.ScoreFile() + ".new");

  // An empty file: no records, no login.
  std::ofstream(w.ScoreFile(), std::ios::trunc).close();
  ResetScoreFile();
  LoadScores();
  EXPECT_TRUE(LocalScores.empty());
  EXPECT_EQ(UserName + Password, "");
}

// Return pressed during "Game Over" waits in the queue; the name prompt must not take it. A
// display change while the prompt is open (which reloads the scores) keeps the record and the name
// typed so far.
TEST(Scores, TheNamePromptAfterAGame) {
  TScoresWorld w;
  struct TReloadAt : TEventSource {
    int frame = 0;
    void Pump() override {
      if (frame > 0 && FrameCount() >= frame) {
        frame = 0;
        LoadScores();
      }
    }
  } reload;
  AddEventSource(&reload);
  SaveScores();
  const int t = Millisecs();
  w.game.script().AtTime(t + 100, {EVENT_KEYDOWN, VK_RETURN, 0, 0}).AtTime(t + 200, {EVENT_KEYUP, VK_RETURN, 0, 0});
  Delay(1500);  // "Game Over"
  reload.frame = FrameCount() + 5;
  for (const auto& [at, c] : {std::pair{0, int('B')}, {10, int('o')}, {20, int('b')}})
    w.game.script().At(FrameCount() + 2 + at, {EVENT_KEYCHAR, c, 0, 0});
  // Timed on the clock: the prompt's wait for the release shows no frames.
  w.game.script().AtTime(t + 3000, {EVENT_KEYDOWN, VK_RETURN, 0, 0}).AtTime(t + 3100, {EVENT_KEYUP, VK_RETURN, 0, 0});
  AddFinishedGame(0);
  RemoveEventSource(&reload);
  ASSERT_EQ(LocalScores.size(), 1u);
  EXPECT_EQ(LocalScores[0]->Name, "PlayerBob");
  EXPECT_EQ(PlayerName, "PlayerBob");
  ResetScoreRecords();
  ResetScoreFile();
  LoadScores();
  ASSERT_EQ(LocalScores.size(), 1u);
  EXPECT_EQ(LocalScores[0]->Name, "PlayerBob");
}

TEST(Scores, TheNameEditor) {
  TScoresWorld w;
  auto type = [](int c) { PostEvent({EVENT_KEYCHAR, c, 0, 0}); };
  auto backspace = [] {
    PostEvent({EVENT_KEYDOWN, VK_BACKSPACE, 0, 0});
    PostEvent({EVENT_KEYUP, VK_BACKSPACE, 0, 0});
  };
  std::string name = "Player";
  for (int i = 0; i < 6; ++i) {
    backspace();
    PollSystem();
    PollSystem();
    name = EditText(name);
  }
  EXPECT_EQ(name, "");
  type('c');
  backspace();
  PollSystem();
  EXPECT_EQ(EditText("ab"), "ab");
  PollSystem();
  for (int c : {int('|'), int('^'), 9, int('x')}) {
    type(c);
    PollSystem();
    name = EditText(name);
  }
  EXPECT_EQ(name, "x");
}

}  // namespace
