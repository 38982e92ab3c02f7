// Tune definition files and the sample bank: headers, STRETCH options and pattern lines with
// their trimming and limits, damaged files, the note letters, and the bank's counts and gaps.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "audio/music_file.h"
#include "base/game_paths.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

// Parses the lines as one file would be.
void Parse(const std::vector<std::string>& lines) {
  ClearTune();
  int section = NO_SECTION;
  for (const std::string& line : lines) ReadTuneLine(line, section);
}

const std::string& Line(int section, int k) { return PatternLines[size_t(section * PATTERN_TABLE_STRIDE + k)]; }

TEST(MusicFile, HeadersSelectSectionsWhateverTheirCaseAndClosingBracket) {
  struct Case {
    const char* header;
    int section;  // selected after [MELODY], NO_SECTION where it keeps that
  } cases[] = {{"[Drums]", SECTION_DRUMS}, {"[DRUMS", SECTION_DRUMS}, {"  [chords]]\t", SECTION_CHORDS},
               {"[Bass]", SECTION_BASS}, {"[ACCOMPANY]", SECTION_ACCOMPANY}, {"[Lead]", NO_SECTION},
               {"[ DRUMS]", NO_SECTION}, {"[", NO_SECTION}, {"x[DRUMS]", NO_SECTION}};
  for (const Case& c : cases) {
    int section = SECTION_MELODY;
    ReadTuneLine(c.header, section);
    EXPECT_EQ(section, c.section == NO_SECTION ? SECTION_MELODY : c.section) << c.header;
  }
}

TEST(MusicFile, StretchOptionsReadTheirEndAndOnlyAfterAHeader) {
  struct Case {
    const char* line;
    int mode;
  } cases[] = {{"STRETCH RANDOM+", STRETCH_RANDOM_PLUS}, {"STRETCH=RANDOM+", STRETCH_RANDOM_PLUS},
               {"stretch random", STRETCH_RANDOM}, {"Stretch: false  ", STRETCH_NEVER},
               {"STRETCHDOUBLE", STRETCH_DOUBLE}, {"STRETCH RANDOM+ please", STRETCH_ALWAYS},
               {"STRETC", STRETCH_ALWAYS}, {"\"STRETCH FALSE", STRETCH_ALWAYS}};
  for (const Case& c : cases) {
    Parse({"STRETCH FALSE", "[Bass]", c.line});
    EXPECT_EQ(StretchMode[SECTION_BASS], c.mode) << c.line;
    for (int s : {SECTION_DRUMS, SECTION_CHORDS, SECTION_MELODY, SECTION_ACCOMPANY})
      EXPECT_EQ(StretchMode[size_t(s)], STRETCH_ALWAYS) << c.line << " touched section " << s;
  }
}

TEST(MusicFile, PatternLinesLoseTheirQuotesAndKeepInnerSpaces) {
  Parse({"\"1000\"", "[drums]", "  \"1 2 3 4\"  ", "\"12\"34\"\"", "; 1020", "\"", "[x]", "\"\t5 \""});
  EXPECT_EQ(PatternCount[SECTION_DRUMS], 4);  // the line before the header is ignored
  EXPECT_EQ(Line(SECTION_DRUMS, 1), "1 2 3 4");
  EXPECT_EQ(Line(SECTION_DRUMS, 2), "1234");
  EXPECT_EQ(Line(SECTION_DRUMS, 3), "");
  EXPECT_EQ(Line(SECTION_DRUMS, 4), "\t5 ");  // an unknown header keeps the section
  for (int s = 1; s < MUSIC_SECTIONS; ++s) EXPECT_EQ(PatternCount[size_t(s)], 0);
}

TEST(MusicFile, LinesPastThe998thAreCountedButNotKept) {
  std::vector<std::string> lines{"[MELODY]"};
  for (int i = 1; i <= 5000; ++i) lines.push_back("\"" + std::to_string(i) + "\"");
  Parse(lines);
  EXPECT_EQ(PatternCount[SECTION_MELODY], 5000);
  EXPECT_EQ(Line(SECTION_MELODY, 998), "998");
  EXPECT_EQ(Line(SECTION_MELODY, 999), "");
  EXPECT_EQ(Line(SECTION_ACCOMPANY, 1), "");  // no spill into the next section's lines
}

TEST(MusicFile, JunkAndHugeLinesParseWithoutHarm) {
  TTempDir temp;
  std::string junk;
  for (int i = 0; i < 20000; ++i) junk.push_back(char((i * 7919) % 256));
  const std::string huge(100000, 'q');
  TTempDir::Write("tune.ini", junk + "\n[BASS]\n\"" + huge + "\"\n" + junk + "\n\"tail\"");
  ASSERT_TRUE(ReadTuneFile("tune.ini"));
  EXPECT_EQ(Line(SECTION_BASS, 1), huge);
  EXPECT_EQ(Line(SECTION_BASS, PatternCount[SECTION_BASS]), "tail");
  EXPECT_FALSE(ReadTuneFile("missing.ini"));
  EXPECT_EQ(PatternCount[SECTION_BASS], 0);
}

TEST(MusicFile, NoteLettersFollowTheKeyboardInSemitones) {
  EXPECT_EQ(NoteRate("Q"), 1.0f);
  EXPECT_EQ(NoteRate("q"), 1.0f);
  for (const char* none : {"z", "Z", " ", "!", "", "qq", "\xe9"}) EXPECT_EQ(NoteRate(none), 0.0f) << none;
  for (char c = 'a'; c <= 'z'; ++c) EXPECT_EQ(NoteLetterRate(c), NoteLetterRate(char(c - 'a' + 'A'))) << c;
  // Along the keyboard every letter is a semitone above the last, within the table's rounding.
  const std::string keyboard = "sxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";
  for (size_t i = 1; i < keyboard.size(); ++i) {
    const double ratio = NoteLetterRate(keyboard[i]) / NoteLetterRate(keyboard[i - 1]);
    EXPECT_NEAR(ratio, std::pow(2.0, 1.0 / 12), 0.002) << keyboard[i - 1] << keyboard[i];
  }
}

TEST(MusicFile, TheBankCountsInstrumentsByTheHighestFileAndLeavesGapsEmpty) {
  TTempDir temp;
  auto log = std::make_shared<TAudioLog>();
  ASSERT_TRUE(UseAudioDriver(NewRecordingDriver(log)));
  std::filesystem::create_directories("Files/003/music");
  NoteGamePaths(temp.Path() + "/");
  const std::vector<uint8_t> wav = MakeWav(1, 22050, Tone(100, 1, 22050, 440, 1000));
  for (const char* name : {"bass1", "bass3", "d1-2", "d2-8", "accompany8"})
    ASSERT_TRUE(WriteBytes(std::string("Files/003/music/") + name + ".wav", wav));
  ASSERT_TRUE(WriteBytes("Files/003/music/lead2.wav", {'j', 'u', 'n', 'k'}));
  MusicSamples[22] = LoadSound("Files/003/music/bass1.wav", 0);  // left from an earlier load

  LoadMusicSamples();
  EXPECT_EQ(InstrumentCount, (std::array<int, 3>{3, 2, 8}));  // an unreadable file still counts
  for (size_t i = 0; i < MusicSamples.size(); ++i) {
    const bool loaded = i == 21 || i == 23 || i == 2 || i == 18 || i == 48;
    EXPECT_EQ(MusicSamples[i] != nullptr, loaded) << i;
  }
  ResetMusicFile();
  ResetGamePaths();
  ShutdownAudio();
}

}  // namespace
