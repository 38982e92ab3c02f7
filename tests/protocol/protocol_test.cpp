// The online protocol alone, as the game and the server both use it: scrambling with a given key,
// the record line written and read back by either side, tables, requests, and the name rules
// against the lines a name must fit in. Links the protocol library and nothing else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/name_rules.h"
#include "protocol/online_requests.h"
#include "protocol/score_line.h"
#include "protocol/scramble.h"

namespace {

TRecordFields SampleRecord() {
  TRecordFields r;
  r.Score = 9876543210;
  r.Name = "Ewe \xE9";
  r.Badges = 5;
  r.Timestamp = 65149995909;
  r.Level = 4;
  r.GameMode = 1;
  r.Quit = 1;
  for (int k = 1; k <= kLevelValues; ++k) r.Best[size_t(k)] = k * 1000;
  return r;
}

// "|0" n times: level values that read as nothing.
std::string ZeroLevels(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "|0";
  return text;
}

void ExpectSameRecord(const TRecordFields& a, const TRecordFields& b) {
  EXPECT_EQ(RecordLine(a, SectionMark), RecordLine(b, SectionMark));
}

TEST(ScrambleTest, UnscramblesWhatItScrambledWithTheSameKeyOnly) {
  const std::string week3 = DeriveScrambleKey("Lambrisk ", KeyPhrase, 3);
  const std::string week4 = DeriveScrambleKey("Lambrisk ", KeyPhrase, 4);
  ASSERT_EQ(week3.size(), 2 * (9 + KeyPhrase.size()));
  const std::string texts[] = {"|", "Shepherd|woolly jumper", RecordLine(SampleRecord(), SectionMark)};
  for (const std::string& key : {week3, HeaderCode, std::string("k")}) {
    for (const std::string& text : texts) {
      const std::string hex = ScrambleText(text, key);
      EXPECT_EQ(hex.size(), 2 * text.size() + 24);
      EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
      EXPECT_EQ(UnscrambleText(hex, key), text);
      EXPECT_EQ(UnscrambleText(hex, key == week3 ? week4 : week3), ScrambleFailed) << key;
    }
  }
  EXPECT_EQ(UnscrambleText(ScrambleText("abc", week3), ""), ScrambleFailed);
}

TEST(ScrambleTest, AnEditedDigitIsCaught) {
  const std::string key = DeriveScrambleKey("Lambrisk ", KeyPhrase, 3);
  const std::string hex = ScrambleText("120|Ewe|0|65149995909|1|1|0|0" + SectionMark + "0|0|1", key);
  int caught = 0;
  for (size_t i = 0; i < hex.size(); ++i) {
    std::string edited = hex;
    edited[i] = edited[i] == '7' ? '8' : '7';
    caught += UnscrambleText(edited, key) == ScrambleFailed;
  }
  EXPECT_EQ(caught, int(hex.size()));
}

TEST(RecordLineTest, BothMarksCarryTheRecordBothWays) {
  const TRecordFields r = SampleRecord();
  TRecordFields read;
  ASSERT_TRUE(ReadRecordLine(RecordLine(r, SectionMark), SectionMark, read));
  ExpectSameRecord(read, r);
  TRecordFields submitted = r;
  submitted.Name = "Ewe";
  submitted.Score = kScoreHighest;  // a file's line may hold any score, a submission only a game's
  ASSERT_TRUE(ParseSubmission(RecordLine(submitted, SubmitMark), read));
  ExpectSameRecord(read, submitted);
  EXPECT_EQ(RecordLine(r, SectionMark).find("|" + SectionMark), std::string::npos);
}

// The game reads whatever a file or table holds as it always has.
TEST(RecordLineTest, TheGameReadsOddLinesAsItAlwaysHas) {
  const struct {
    std::string line;
    bool record;
    std::string expected;  // the record written back with SectionMark
  } cases[] = {
      {"no fields here", false, ""},
      // Without the mark the whole line is also its second half, as the splitter has it.
      {"12|  Ewe \t|x|-7|-4", true, "12|Ewe|0|-7|4|0|0|0" + SectionMark + "12|0|0|7|4" + ZeroLevels(25)},
      {"5|Ram|0|0|1|1|0|0" + SectionMark + "\t-3|99999999999|z", true,
       "5|Ram|0|0|1|1|0|0" + SectionMark + "3|2147483647|0" + ZeroLevels(27)},
  };
  for (const auto& c : cases) {
    TRecordFields r;
    ASSERT_EQ(ReadRecordLine(c.line, SectionMark, r), c.record) << c.line;
    if (c.record) {
      EXPECT_EQ(RecordLine(r, SectionMark), c.expected) << c.line;
    }
  }
}

TEST(RecordLineTest, TheServerTakesOnlyRecordsWithinTheLimits) {
  auto line = [](auto change) {
    TRecordFields r = SampleRecord();
    r.Name = "Ewe";
    r.Score = kScoreHighest;
    change(r);
    return RecordLine(r, SubmitMark);
  };
  const std::string good = line([](TRecordFields&) {});
  const std::string refused[] = {
      line([](TRecordFields& r) { r.Level = 0; }),
      line([](TRecordFields& r) { r.Level = 21; }),
      line([](TRecordFields& r) { r.GameMode = 2; }),
      line([](TRecordFields& r) { r.GameFlags = 1; }),
      line([](TRecordFields& r) { r.GameFlags = 3; }),
      line([](TRecordFields& r) { r.GameFlags = 8; }),
      line([](TRecordFields& r) { r.Quit = 2; }),
      line([](TRecordFields& r) { r.Badges = 0x10000; }),
      line([](TRecordFields& r) { r.Score = -1; }),
      line([](TRecordFields& r) { r.Best[30] = kLevelValueHighest + 1; }),
      line([](TRecordFields& r) { r.Timestamp = 1000000000000000000; }),  // 19 digits
      line([](TRecordFields& r) { r.Name = "Ewe^"; }),
      good.substr(0, good.rfind('|')),  // 29 level values
      good + "|0",                      // 31
      RecordLine(SampleRecord(), SectionMark),
      "1|Ewe|0|0|1|1|0|0|x" + SubmitMark + good.substr(good.find(SubmitMark) + SubmitMark.size()),
  };
  TRecordFields r;
  EXPECT_TRUE(ParseSubmission(good, r));
  for (int flags : {2, 4, 6})  // the slower games'
    EXPECT_TRUE(ParseSubmission(line([flags](TRecordFields& f) { f.GameFlags = flags; }), r)) << flags;
  for (const std::string& bad : refused) EXPECT_FALSE(ParseSubmission(bad, r)) << bad;
}

TEST(TableTextTest, ReadsBackAtMostATableOfEntries) {
  std::vector<TRecordFields> entries(kTableEntries + 1, SampleRecord());
  for (size_t i = 0; i < entries.size(); ++i) entries[i].Score = int64_t(i);
  const std::vector<TRecordFields> read = ReadTableText(TableText(entries));
  ASSERT_EQ(read.size(), size_t(kTableEntries));
  for (int i = 0; i < kTableEntries; ++i) ExpectSameRecord(read[size_t(i)], entries[size_t(i)]);
  // An entry whose fields line lost its "|" is skipped, the rest keep their places.
  const std::vector<TRecordFields> two = ReadTableText("1|A|0|0|4|1|0|0\n1|2\nbroken\n3\n7|B|0|0|4|1|0|0\n0");
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].Best[2], 2);
  EXPECT_EQ(two[1].Name, "B");
}

TEST(OnlineRequestsTest, PathsAndInputsAsTheGameSendsThem) {
  EXPECT_EQ(TableRequest(3, std::to_string(TableNumber(1, 4, 0))), "/enscore/tables/3/401.txt");
  EXPECT_EQ(TableNumber(0, 20, 1), 3000);
  EXPECT_EQ(LoginRequest(3, "AB"), "/enscore/login.php?week=3&input=AB");
  EXPECT_EQ(SubmitRequest(3, "AB"), "/enscore/scores.php?Week=3&Input=AB");

  const std::string key = DeriveScrambleKey("Lambrisk ", KeyPhrase, 3);
  std::string user, wrapper, line, password;
  ASSERT_TRUE(SplitSubmitInput(UnscrambleText(SubmitInput("Shepherd", "woolly", "1|Ewe", key), key), user, wrapper, line));
  EXPECT_EQ(user + " " + line, "Shepherd 1|Ewe");
  ASSERT_TRUE(ReadCredentials(wrapper, "Shepherd", password));
  EXPECT_EQ(password, "woolly");
  EXPECT_FALSE(ReadCredentials(wrapper, "Drover", password));
  ASSERT_TRUE(SplitLoginInput(UnscrambleText(LoginInput("Shepherd", "woolly", key), key), user, wrapper));
  EXPECT_EQ(wrapper, CredentialWrapper("Shepherd", "woolly"));
  EXPECT_FALSE(SplitLoginInput(ScrambleFailed, user, wrapper));

  EXPECT_TRUE(LoginAccepted("Welcome!|motd"));
  EXPECT_TRUE(LoginAccepted("Password Correct|"));
  EXPECT_FALSE(LoginAccepted("Wrong Password"));
  EXPECT_TRUE(NoTableReply("<html><head></head></html>"));
  EXPECT_FALSE(NoTableReply("1|Ewe|0|0|4|1|0|0\n0"));
}

// A replay's path names its table entry by a key the server reads back; no other path reads.
TEST(OnlineRequestsTest, ReplayPathsNameTheirEntry) {
  const std::string key = ReplayKey(65149995909, 1234, "Ewe \xE9/|");
  EXPECT_EQ(key.find_first_not_of("0123456789abcdef"), std::string::npos);
  const std::string path = ReplayRequest(3, TableNumber(1, 11, 0), key);
  ASSERT_EQ(path.compare(0, ReplaysPath.size(), ReplaysPath), 0);
  int week = 0;
  int64_t table = 0;
  std::string read;
  ASSERT_TRUE(ParseReplayPath(path.substr(ReplaysPath.size()), week, table, read));
  EXPECT_EQ(week, 3);
  EXPECT_EQ(table, 1101);
  EXPECT_EQ(read, key);
  int64_t stamp = 0, score = 0;
  std::string name;
  ASSERT_TRUE(ParseReplayKey(key, stamp, score, name));
  EXPECT_EQ(std::to_string(stamp) + " " + std::to_string(score) + " " + name, "65149995909 1234 Ewe \xE9/|");
  // Keys of what ReplayKey never makes: no name field, no stamp, a leading zero, a sign.
  for (const std::string plain : {"1|2", "|2|x", "01|2|x", "1|-2|x", "1|2x|x"}) {
    std::string bad;
    for (unsigned char c : plain) bad += "0123456789abcdef"[c >> 4], bad += "0123456789abcdef"[c & 15];
    EXPECT_FALSE(ParseReplayKey(bad, stamp, score, name)) << plain;
  }
  for (const char* bad : {"3/1101/ab.htm", "3/1101/abc.txt", "3/1101/AB.txt", "3/1101/.txt", "3//ab.txt", "x/1/ab.txt",
                          "3/1101/../ab.txt", "3/1101"})
    EXPECT_FALSE(ParseReplayPath(bad, week, table, read)) << bad;
  EXPECT_EQ(ReplaySubmitRequest(3, "AB"), "/enscore/replays.php?Week=3&Input=AB");
}

// Every character a record's name may hold comes back whole from the score file's line and is
// taken by the server's reading of a submission, even followed by the rest of the file's mark;
// every one it may not is no text, could make a table read as a web page, or breaks the line.
TEST(NameRulesTest, AValidRecordNameFitsBothLines) {
  for (int c = 0; c < 256; ++c) {
    TRecordFields r = SampleRecord();
    r.Score = kScoreHighest;  // the sample's score is more than a game reaches, which a submission may not be
    r.Name = std::string("a") + char(c) + SectionMark.substr(1);
    TRecordFields file, server;
    const bool fileKeeps = ReadRecordLine(RecordLine(r, SectionMark), SectionMark, file) && file.Name == r.Name;
    const bool serverTakes = ParseSubmission(RecordLine(r, SubmitMark), server) && server.Name == r.Name;
    if (ValidName(TNameKind::RecordName, r.Name)) {
      EXPECT_TRUE(fileKeeps && serverTakes) << c;
    } else {
      EXPECT_FALSE(serverTakes) << c;
      EXPECT_TRUE(c < 32 || c == 127 || c == '<' || c == '>' || !fileKeeps) << c;
    }
  }
}

}  // namespace
