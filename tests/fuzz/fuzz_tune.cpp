// Fuzzes the tune parser and the bars built from it: any bytes, line by line as the file is read,
// must keep the counts and stretch modes valid and the kept lines within their table, and the
// sequencer's step tables must hold only drum digits and note rates, whatever the patterns.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "audio/music_file.h"
#include "audio/music_player.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool IsNoteRate(float rate) {
  if (rate == 0) return true;
  for (int c = 0; c < 256; ++c)
    if (NoteLetterRate(char(c)) == rate) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ClearTune();
  ResetMusicPlayer();
  int section = NO_SECTION;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(std::string("\n\0", 2), start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    std::string kept;
    for (char c : line)
      if (c != '\r') kept.push_back(c);
    ReadTuneLine(kept, section);
    Check(section >= NO_SECTION && section < MUSIC_SECTIONS);
    start = end + 1;
  }
  for (int s = 0; s < MUSIC_SECTIONS; ++s) {
    const int mode = StretchMode[size_t(s)];
    Check(mode == STRETCH_ALWAYS || mode == STRETCH_NEVER || mode == STRETCH_RANDOM || mode == STRETCH_RANDOM_PLUS ||
          mode == STRETCH_DOUBLE);
    Check(PatternCount[size_t(s)] >= 0);
    for (int k = PatternCount[size_t(s)] + 1; k < PATTERN_TABLE_STRIDE; ++k)
      Check(PatternLines[size_t(s * PATTERN_TABLE_STRIDE + k)].empty());
    Check(PatternLines[size_t(s * PATTERN_TABLE_STRIDE)].empty());
  }

  TuneSeed = int(size);
  for (int bar = 0; bar < 4; ++bar) {
    NewBar();
    Check(Bar >= 1);
    for (int step = 0; step < STEPS_PER_BAR; ++step) {
      for (int v = VOICE_DRUM1; v <= VOICE_DRUM2; ++v) {
        const float digit = StepTable[size_t(v)][size_t(step)];
        Check(digit >= 0 && digit <= 9 && digit == float(int(digit)));
      }
      for (int v = VOICE_BASS; v < MUSIC_VOICES; ++v) Check(IsNoteRate(StepTable[size_t(v)][size_t(step)]));
    }
    for (int i : Instrument) Check(i >= 0 && i <= 8);
  }
  return 0;
}
