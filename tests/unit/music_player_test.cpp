// The step sequencer on a manual clock and a recording driver: which sample each voice plays on
// which slot, at which rate, pan and volume; the step timing; bars and phrases; reproducible
// picks; stretching; lead-ins; a missing tune or bank; StopMusic.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "audio/music_file.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "base/game_paths.h"
#include "base/settings.h"
#include "frontend/main_program.h"
#include "platform/clock.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

class MusicPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    SetClock(&clock);
    ResetMainProgram();
    SetDefaultSettings();
    Settings[SET_MASTER_VOLUME] = 100;
    ResetSoundEffects();
    ResetMusicPlayer();
    ResetMusicFile();
    log = std::make_shared<TAudioLog>();
    ASSERT_TRUE(UseAudioDriver(NewRecordingDriver(log)));
    std::filesystem::create_directories("Files/003/music");
    NoteGamePaths(temp.Path());
  }
  void TearDown() override {
    ResetMusicPlayer();
    ResetMusicFile();
    ResetSoundEffects();
    ResetGamePaths();
    ShutdownAudio();
    SetClock(nullptr);
  }
  void WriteBank() {
    const std::vector<uint8_t> wav = MakeWav(1, 22050, Tone(100, 1, 22050, 440, 1000));
    for (int i = 1; i <= 8; ++i)
      for (const char* kit : {"d1-", "d2-"}) WriteBytes("Files/003/music/" + std::string(kit) + std::to_string(i) + ".wav", wav);
    for (const char* name : {"bass1", "bass2", "lead1", "accompany1"}) WriteBytes(std::string("Files/003/music/") + name + ".wav", wav);
    LoadMusicSamples();
  }
  static void WriteTune(const std::string& name, const std::string& text) { TTempDir::Write("Files/003/music/" + name + ".ini", text); }
  TRecordedChannel& Slot(int slot) { return static_cast<TRecordedChannel&>(*ChannelTable[size_t(slot)]); }
  // Moves the clock past the next step and plays it.
  void PlayStep() {
    clock.Advance(NextTick + 1 - clock.NowMs());
    MusicUpdate();
  }

  TTempDir temp;
  TManualClock clock;
  std::shared_ptr<TAudioLog> log;
};

const char* kOneNoteTune =
    "[Drums]\nSTRETCH FALSE\n\"1\"\n[Chords]\n\"wwww\"\n[Bass]\nSTRETCH FALSE\n\"e\"\n"
    "[Melody]\nSTRETCH FALSE\n\"q\"\n[Accompany]\nSTRETCH FALSE\n\"t\"\n";

TEST_F(MusicPlayer, EachVoicePlaysItsSampleOnItsSlotTransposedByTheChordRoot) {
  WriteBank();
  WriteTune("one", kOneNoteTune);
  Settings[SET_MUSIC_VOLUME] = 50;
  ASSERT_EQ(LoadTune("one", 5, 100), 1);
  Muted.fill(0);
  clock.Advance(250);
  MusicUpdate();
  EXPECT_TRUE(log->channels.empty()) << "the first step waits until 250 ms have passed";
  clock.Advance(1);
  MusicUpdate();
  ASSERT_EQ(Step, 0);
  const float root = 1.122f;  // "w"
  struct Expect {
    const TSoundPtr& sample;
    float pan, rate, volume;
  } expected[MUSIC_VOICES] = {
      {MusicSamples[1], 0.3f, -9, 0.5f},
      {MusicSamples[11], -0.3f, -9, 0.5f},
      {MusicSamples[size_t(20 + Instrument[0])], -0.3f, 1.26f * root, 0.5f},
      {MusicSamples[31], -9, 1.0f * root, 0.5f},
      {MusicSamples[41], 0.3f, 1.498f * root, 0.25f}};
  for (int v = 0; v < MUSIC_VOICES; ++v) {
    ASSERT_NE(ChannelTable[size_t(v)], nullptr) << v;
    ASSERT_NE(expected[v].sample, nullptr) << v;
    EXPECT_EQ(Slot(v).sound, expected[v].sample.get()) << v;
    EXPECT_FLOAT_EQ(Slot(v).pan, expected[v].pan) << v;
    EXPECT_FLOAT_EQ(Slot(v).rate, expected[v].rate) << v;
    EXPECT_FLOAT_EQ(Slot(v).volume, expected[v].volume) << v;
    EXPECT_FALSE(Slot(v).paused) << v;
  }
  EXPECT_FLOAT_EQ(ChannelVolume[4], 0.5f);
  EXPECT_GE(Instrument[0], 1);
  EXPECT_LE(Instrument[0], 2);

  // A new note cuts the voice's previous one; a volume change applies from the next note.
  TChannelPtr first = ChannelTable[0];
  Settings[SET_MUSIC_VOLUME] = 20;
  PlayStep();
  EXPECT_EQ(static_cast<TRecordedChannel&>(*first).stops, 1);
  EXPECT_NE(ChannelTable[0], first);
  EXPECT_FLOAT_EQ(Slot(0).volume, 0.2f);
}

TEST_F(MusicPlayer, StepsFollowTheTempoOneAFrameAtMost) {
  WriteTune("one", kOneNoteTune);
  ASSERT_EQ(LoadTune("one", 1, 250), 1);
  EXPECT_EQ(TickLength, 125);
  // At 30 frames a second a bar of 64 steps takes 8 seconds after the 250 ms start.
  int steps = 0;
  for (int ms = 0; ms <= 250 + 63 * 125; ms += 33) {
    clock.Advance(33);
    const int before = Step;
    MusicUpdate();
    steps += Step != before;
  }
  EXPECT_EQ(steps, 64);
  EXPECT_EQ(Step, 63);
  PlayStep();
  EXPECT_EQ(Step, 0);
  EXPECT_EQ(Regenerations, 1);

  // A slow frame: one step, and the time it owes is made up one step a call.
  clock.Advance(1000);
  MusicUpdate();
  EXPECT_EQ(Step, 1);
  MusicUpdate();
  EXPECT_EQ(Step, 2);
}

TEST_F(MusicPlayer, StretchModesSlowPatternsAsTheirLineSays) {
  EXPECT_EQ(StretchPattern("1020"), "1 0 2 0 ");
  EXPECT_EQ(StretchPattern(StretchPattern("1020")), "1   0   2   0   ");
  struct Case {
    const char* option;
    std::set<size_t> factors;
  } cases[] = {{"", {2}}, {"STRETCH FALSE", {1}}, {"STRETCH RANDOM", {1, 2}},
               {"STRETCH RANDOM+", {1, 2, 4}}, {"STRETCH DOUBLE", {4}}};
  for (const Case& c : cases) {
    ClearTune();
    int section = NO_SECTION;
    for (const char* line : {"[BASS]", c.option, "\"1020\""}) ReadTuneLine(line, section);
    std::set<size_t> seen;
    for (TuneSeed = 0; TuneSeed < 60; ++TuneSeed) seen.insert(PickPattern(SECTION_BASS, 13).size() / 4);
    EXPECT_EQ(seen, c.factors) << c.option;
  }
}

// What a phrase decided, bar by bar.
std::vector<std::string> PlayBars(int seed, int bars) {
  EXPECT_EQ(LoadTune("many", seed, 100), 1);
  std::vector<std::string> trace;
  for (int bar = 0; bar < bars; ++bar) {
    std::string t = ChordLine + "|" + std::to_string(Bar);
    for (const std::string& p : VoicePattern) t += "|" + p;
    for (int v = 0; v < MUSIC_VOICES; ++v) t += std::to_string(Muted[size_t(v)]) + std::to_string(MutedNext[size_t(v)]) + std::to_string(LeadIn[size_t(v)]);
    for (int i : Instrument) t += std::to_string(i);
    trace.push_back(t);
    NewBar();
  }
  return trace;
}

TEST_F(MusicPlayer, TheSameSeedReplaysTheSamePhrases) {
  WriteBank();
  std::string text = "[Drums]\n\"13\"\n\"24\"\n\"5678\"\n[Chords]\n\"qqqq\"\n\"wwwwwwww\"\n\"eeeeeeeeeeee\"\n";
  for (const char* section : {"[Bass]", "[Melody]", "[Accompany]"})
    text += std::string(section) + "\nSTRETCH RANDOM+\n\"qw\"\n\"er\"\n\"ty\"\n\"ui\"\n";
  WriteTune("many", text);
  const std::vector<std::string> first = PlayBars(7, 24);
  EXPECT_EQ(PlayBars(7, 24), first);
  EXPECT_NE(PlayBars(8, 24), first);
  // Phrases last as long as their chord line: 1, 2 or 3 bars.
  for (const std::string& bar : first) {
    const size_t bars = bar.find('|') / 4;
    EXPECT_LE(size_t(bar[bar.find('|') + 1] - '0'), bars) << bar;
  }
  // Never a phrase without drums, nor without both bass and melody.
  for (int i = 0; i < 24; ++i) {
    PlayBars(100 + i, 1);
    EXPECT_FALSE(Muted[0] && Muted[1]);
    EXPECT_FALSE(Muted[2] && Muted[3]);
  }
  clock.Advance(1234);
  ASSERT_EQ(LoadTune("many", -1, 100), 1);
  EXPECT_EQ(TuneSeed, 1234);
}

TEST_F(MusicPlayer, TonalPatternsRunOnAcrossBarsWhileDrumsRestart) {
  std::string bass;
  for (int i = 0; i < 96; ++i) bass.push_back("q2w3e r5t6y7u i"[i % 15]);
  WriteTune("long", "[Drums]\nSTRETCH FALSE\n\"123\"\n[Chords]\n\"qqqqqqqq\"\n[Bass]\nSTRETCH FALSE\n\"" + bass + "\"\n");
  ASSERT_EQ(LoadTune("long", 3, 100), 1);
  for (int bar = 1; bar <= 2; ++bar) {
    ASSERT_EQ(Bar, bar);
    for (int i = 0; i < STEPS_PER_BAR; ++i) {
      EXPECT_EQ(StepTable[VOICE_DRUM1][size_t(i)], float(1 + i % 3)) << i;
      EXPECT_EQ(StepTable[VOICE_BASS][size_t(i)], NoteLetterRate(bass[size_t((i + (bar - 1) * 64) % 96)])) << bar << " " << i;
    }
    NewBar();
  }
}

TEST(MusicLeadIn, PhasesAndWhoComesIn) {
  struct Phase {
    int step, bar, chords, phase;
  } phases[] = {{0, 1, 8, 0}, {63, 1, 8, 0}, {47, 2, 8, 0}, {48, 2, 8, 1}, {55, 2, 8, 1},
                {56, 2, 8, 2}, {63, 2, 8, 2}, {0, 1, 0, 2}, {0, 1, 3, 0}, {16, 1, 4, 0}, {48, 1, 4, 1}};
  for (const Phase& p : phases)
    EXPECT_EQ(LeadInPhase(p.step, p.bar, p.chords), p.phase) << p.step << " " << p.bar << " " << p.chords;

  struct Voice {
    int muted, next, leadIn, phase;
    bool in;
  } voices[] = {{0, 1, 2, 0, true}, {1, 0, 1, 0, false}, {1, 0, 1, 1, true}, {1, 0, 2, 1, false},
                {1, 0, 2, 2, true}, {1, 1, 1, 2, false}};
  for (const Voice& v : voices) {
    Muted[3] = v.muted, MutedNext[3] = v.next, LeadIn[3] = v.leadIn;
    EXPECT_EQ(VoiceComesIn(3, v.phase), v.in) << v.muted << v.next << v.leadIn << v.phase;
  }
  ResetMusicPlayer();
}

TEST_F(MusicPlayer, AMissingTuneLeavesThePlayingOneAloneAndStopMusicSilencesIt) {
  WriteBank();
  WriteTune("one", kOneNoteTune);
  ASSERT_EQ(LoadTune("one", 9, 100), 1);
  Muted.fill(0);
  for (int i = 0; i < 3; ++i) PlayStep();
  const auto step = Step, tick = NextTick;
  const auto patterns = VoicePattern;
  const auto counts = PatternCount;
  EXPECT_EQ(LoadTune("nothing", 1, 300), 0);
  EXPECT_EQ(MusicPlaying, 1);
  EXPECT_EQ(Step, step);
  EXPECT_EQ(NextTick, tick);
  EXPECT_EQ(VoicePattern, patterns);
  EXPECT_EQ(PatternCount, counts);

  std::vector<TChannelPtr> sounding(ChannelTable.begin(), ChannelTable.begin() + MUSIC_VOICES);
  StopMusic();
  EXPECT_EQ(MusicPlaying, 0);
  for (const TChannelPtr& channel : sounding) EXPECT_EQ(static_cast<TRecordedChannel&>(*channel).stops, 1);
  for (int slot = 0; slot < 20; ++slot) EXPECT_EQ(ChannelTable[size_t(slot)], nullptr);
  const size_t allocated = log->channels.size();
  PlayStep();
  EXPECT_EQ(log->channels.size(), allocated);
}

TEST_F(MusicPlayer, WithoutSamplesOrPatternsItPlaysSilenceBarAfterBar) {
  WriteTune("bare", "[DRUMS]\n\"1111\"\n[CHORDS]\n[BASS]\n\"qqqq\"\n[MELODY\n[ACCOMPANY]\n");
  ASSERT_EQ(LoadTune("bare", 2, 0), 1);
  for (int i = 0; i < 200; ++i) PlayStep();
  EXPECT_EQ(Regenerations, 3);  // a new phrase every bar: no chord line
  EXPECT_TRUE(ChordLine.empty());
  for (const auto& channel : log->channels) EXPECT_EQ(channel->cues, 0);
}

}  // namespace
