// The step sequencer. All randomness is reseeded from the tune seed, the bar and the number of
// bars so far, so a tune replays identically; the step table is built once a bar, so a frame's
// work is a few look-ups and, on a note, one channel.
#include "audio/music_player.h"

#include <cstdint>

#include "audio/music_file.h"
#include "audio/sound_effects.h"
#include "base/game_paths.h"
#include "base/settings.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/random.h"

int MusicPlaying = 0;
int TuneSeed = 0;
int NextTick = 0;
int TickLength = 0;
int Step = -1;
int Bar = -1;
int Regenerations = -1;
std::string ChordLine;
std::array<std::array<float, STEPS_PER_BAR>, MUSIC_VOICES> StepTable{};
std::array<std::string, MUSIC_VOICES> VoicePattern{};
std::array<int, MUTE_ENTRIES> Muted{};
std::array<int, MUTE_ENTRIES> MutedNext{};
std::array<int, MUTE_ENTRIES> LeadIn{};
std::array<int, 3> Instrument{};
float MusicSpread = 0.3f;

namespace {

constexpr int kFirstStepDelay = 250;  // ms between LoadTune and the first step
constexpr float kStartSpread = 0.3f;

// The seed of a pick. Wraps like the 32-bit sum it is; the generator keeps the low 31 bits.
int PickSeed(int offset) {
  return int(uint32_t(TuneSeed) * 1024u + uint32_t(Bar) + uint32_t(Regenerations) + uint32_t(offset));
}

// The k-th pattern of a section, or "" for one counted but not kept (or no line at all).
const std::string& StoredPattern(int section, int k) {
  static const std::string kNone;
  if (k < 1 || k > MAX_KEPT_PATTERNS) return kNone;
  return PatternLines[size_t(section * PATTERN_TABLE_STRIDE + k)];
}

const std::string& SeededLine(int section, int offset) {
  SeedRnd(PickSeed(offset));
  for (int i = Regenerations * 4 + offset; i > 0; --i) Rand(0, 1000);
  return StoredPattern(section, Rand(1, PatternCount[size_t(section)]));
}

float DrumDigit(const std::string& pattern, int i) {
  if (pattern.empty()) return 0;
  const char c = pattern[size_t(i) % pattern.size()];
  return (c >= '0' && c <= '9') ? float(c - '0') : 0.0f;
}

float TonalRate(const std::string& pattern, int i) {
  if (pattern.empty()) return 0;
  const size_t p = (size_t(i) + size_t(Bar - 1) * STEPS_PER_BAR) % pattern.size();
  return pattern[p] == ' ' ? 0.0f : NoteLetterRate(pattern[p]);
}

void StartPhrase() {
  for (int kind = 0; kind < 3; ++kind) Instrument[size_t(kind)] = Rand(1, InstrumentCount[size_t(kind)]);
  Bar = 1;
  ChordLine = PickChords(13);
  for (int i = 0; i < MUTE_ENTRIES; ++i) {
    Muted[size_t(i)] = MutedNext[size_t(i)];
    MutedNext[size_t(i)] = Rand(0, 1);
    LeadIn[size_t(i)] = Rand(1, 2);
  }
  // Never a phrase without drums, nor one without both bass and melody.
  if (Muted[VOICE_DRUM1] == 1 && Muted[VOICE_DRUM2] == 1) Muted[size_t(Rand(VOICE_DRUM1, VOICE_DRUM2))] = 0;
  if (Muted[VOICE_BASS] == 1 && Muted[VOICE_MELODY] == 1) Muted[size_t(Rand(VOICE_BASS, VOICE_MELODY))] = 0;
  VoicePattern[VOICE_DRUM1] = PickPattern(SECTION_DRUMS, 3);
  VoicePattern[VOICE_DRUM2] = PickPattern(SECTION_DRUMS, 7);
  VoicePattern[VOICE_BASS] = PickPattern(SECTION_BASS, 13);
  VoicePattern[VOICE_MELODY] = PickPattern(SECTION_MELODY, 19);
  VoicePattern[VOICE_ACCOMPANY] = PickPattern(SECTION_ACCOMPANY, 29);
}

float MusicVolume() { return float(Settings[SET_MUSIC_VOLUME]) * float(Settings[SET_MASTER_VOLUME]) / 100.0f / 100.0f; }

const TSoundPtr& VoiceSample(int voice) {
  const int value = int(StepTable[size_t(voice)][size_t(Step)]);
  switch (voice) {
    case VOICE_DRUM1: return MusicSamples[size_t(value)];
    case VOICE_DRUM2: return MusicSamples[size_t(value + 10)];
    default: return MusicSamples[size_t(Instrument[size_t(voice - VOICE_BASS)] + 10 * voice)];
  }
}

bool HasNote(int voice) {
  const float value = StepTable[size_t(voice)][size_t(Step)];
  if (voice <= VOICE_DRUM2) return value >= 1 && value <= 8;
  return value != 0;
}

// Monophonic: a new note cuts the voice's previous one.
void Sound(int voice, float root) {
  TChannelPtr& channel = ChannelTable[size_t(voice)];
  if (channel && channel->Playing()) {
    channel->Stop();
    channel.reset();
  }
  channel = AllocChannel();
  const TSoundPtr& sample = VoiceSample(voice);
  if (!sample) return;
  // Cue hands back a channel of the sample's own driver, which after a driver change is a new one.
  TChannelPtr cued = sample->Cue(channel);
  if (!cued) return;
  channel = cued;
  if (voice == VOICE_DRUM1 || voice == VOICE_ACCOMPANY) channel->SetPan(MusicSpread);
  if (voice == VOICE_DRUM2 || voice == VOICE_BASS) channel->SetPan(-MusicSpread);
  if (voice >= VOICE_BASS) channel->SetRate(StepTable[size_t(voice)][size_t(Step)] * root);
  if (voice == VOICE_ACCOMPANY) {
    channel->SetVolume(MusicVolume() / 2.0f);
    ChannelVolume[size_t(voice)] = 0.5f;
  } else {
    channel->SetVolume(MusicVolume());
  }
  channel->SetPaused(false);
}

}  // namespace

std::string StretchPattern(const std::string& pattern) {
  std::string out;
  out.reserve(pattern.size() * 2);
  for (char c : pattern) {
    out.push_back(c);
    out.push_back(' ');
  }
  return out;
}

std::string PickPattern(int section, int offset) {
  std::string pattern = SeededLine(section, offset);
  const int roll = Rand(0, 2);
  const int mode = StretchMode[size_t(section)];
  if ((mode > 0 && roll > 0) || mode < 0) pattern = StretchPattern(pattern);
  if ((mode == STRETCH_RANDOM_PLUS && roll == 2) || mode == STRETCH_DOUBLE) pattern = StretchPattern(pattern);
  return pattern;
}

std::string PickChords(int offset) { return SeededLine(SECTION_CHORDS, offset); }

void NewBar() {
  SeedRnd(PickSeed(0));
  ++Regenerations;
  ++Bar;
  if (ChordLine.empty() || int(ChordLine.size() / 4) < Bar) StartPhrase();
  for (int i = 0; i < STEPS_PER_BAR; ++i) {
    StepTable[VOICE_DRUM1][size_t(i)] = DrumDigit(VoicePattern[VOICE_DRUM1], i);
    StepTable[VOICE_DRUM2][size_t(i)] = DrumDigit(VoicePattern[VOICE_DRUM2], i);
    for (int v = VOICE_BASS; v < MUSIC_VOICES; ++v) StepTable[size_t(v)][size_t(i)] = TonalRate(VoicePattern[size_t(v)], i);
  }
}

int LeadInPhase(int step, int bar, int chordLength) {
  const int eighth = step / 8 + (bar - 1) * 8;
  const int quarter = step / 16 + (bar - 1) * 4;
  if (eighth >= 2 * chordLength - 1) return 2;
  if (quarter >= chordLength - 1) return 1;
  return 0;
}

bool VoiceComesIn(int voice, int phase) {
  if (Muted[size_t(voice)] == 0) return true;
  return MutedNext[size_t(voice)] == 0 && ((phase == 1 && LeadIn[size_t(voice)] == 1) || phase == 2);
}

void MusicUpdate() {
  if (MusicPlaying == 0 || Millisecs() <= NextTick) return;
  // One step a call: when frames come slowly the music slows rather than rushes to catch up.
  NextTick += TickLength;
  if (++Step >= STEPS_PER_BAR) {
    Step = 0;
    NewBar();
  }
  const int quarter = Step / 16 + (Bar - 1) * 4;
  const int phase = LeadInPhase(Step, Bar, int(ChordLine.size()));
  const float root = (quarter >= 0 && size_t(quarter) < ChordLine.size()) ? NoteLetterRate(ChordLine[size_t(quarter)]) : 0.0f;
  for (int v = 0; v < MUSIC_VOICES; ++v)
    if (VoiceComesIn(v, phase) && HasNote(v)) Sound(v, root);
}

int LoadTune(const std::string& name, int seed, int tempo) {
  const std::string path = GamePath("music/" + name + ".ini");
  if (FileType(path) != FILETYPE_FILE) return 0;
  ReadTuneFile(path);
  if (seed == -1) seed = Millisecs();
  TuneSeed = seed;
  SeedRnd(int(uint32_t(seed) * 1024u));
  MusicSpread = kStartSpread;
  ChordLine.clear();
  Step = Bar = Regenerations = -1;
  NextTick = Millisecs();
  TickLength = tempo / 2;
  for (int& flag : MutedNext) flag = Rand(0, 1);
  NewBar();
  NextTick = Millisecs() + kFirstStepDelay;
  MusicPlaying = 1;
  return 1;
}

void StopMusic() {
  MusicPlaying = 0;
  for (size_t slot = 0; slot < MUTE_ENTRIES; ++slot) {
    TChannelPtr& channel = ChannelTable[slot];
    if (channel && channel->Playing()) channel->Stop();
    channel.reset();
  }
}

void SetMusicSpread(float spread) { MusicSpread = spread; }

void ResetMusicPlayer() {
  MusicPlaying = 0;
  TuneSeed = 0;
  NextTick = 0;
  TickLength = 0;
  Step = Bar = Regenerations = -1;
  ChordLine.clear();
  for (auto& voice : StepTable) voice.fill(0);
  VoicePattern.fill(std::string());
  Muted.fill(0);
  MutedNext.fill(0);
  LeadIn.fill(0);
  Instrument.fill(0);
  MusicSpread = kStartSpread;
}
