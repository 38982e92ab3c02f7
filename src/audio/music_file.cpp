// The sample bank and the tune parser. Lines are trimmed of control characters and spaces; headers,
// STRETCH options and quoted patterns are recognised by their first characters, everything else
// is a comment.
#include "audio/music_file.h"

#include <algorithm>

#include "base/game_paths.h"
#include "platform/files.h"
#include "platform/stream.h"

std::array<TSoundPtr, 49> MusicSamples{};
std::array<int, 3> InstrumentCount{};
std::array<std::string, MUSIC_SECTIONS * PATTERN_TABLE_STRIDE> PatternLines{};
std::array<int, MUSIC_SECTIONS> PatternCount{};
std::array<int, MUSIC_SECTIONS> StretchMode = {STRETCH_ALWAYS, STRETCH_ALWAYS, STRETCH_ALWAYS,
                                               STRETCH_ALWAYS, STRETCH_ALWAYS};

namespace {

// Rates as single-precision constants, not computed powers of two: tunes were tuned by ear to
// these exact values.
struct TNoteLetter {
  char letter;
  float rate;
};
constexpr TNoteLetter kNoteLetters[] = {
    {'s', 0.5295f}, {'x', 0.561f}, {'d', 0.5945f}, {'c', 0.63f},  {'v', 0.6675f}, {'g', 0.707f},
    {'b', 0.749f},  {'h', 0.7935f}, {'n', 0.841f}, {'j', 0.891f}, {'m', 0.944f},  {'q', 1.0f},
    {'2', 1.059f},  {'w', 1.122f}, {'3', 1.189f},  {'e', 1.26f},  {'r', 1.335f},  {'5', 1.414f},
    {'t', 1.498f},  {'6', 1.587f}, {'y', 1.682f},  {'7', 1.782f}, {'u', 1.888f},  {'i', 2.0f},
    {'9', 2.118f},  {'o', 2.244f}, {'0', 2.378f},  {'p', 2.52f},  {'[', 2.67f},   {'=', 2.828f},
    {']', 2.996f}};

// Only ASCII letters change case: bytes above 127 are characters of their own.
char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string UpperText(std::string text) {
  for (char& c : text) c = Upper(c);
  return text;
}

bool IsBlank(char c) { return (unsigned char)c <= 32; }

std::string Trimmed(const std::string& line) {
  size_t first = 0, last = line.size();
  while (first < last && IsBlank(line[first])) ++first;
  while (last > first && IsBlank(line[last - 1])) --last;
  return line.substr(first, last - first);
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int HeaderSection(std::string header) {
  header = UpperText(header);
  header.erase(std::remove(header.begin(), header.end(), ']'), header.end());
  static const char* const kHeaders[MUSIC_SECTIONS] = {"[DRUMS", "[CHORDS", "[BASS", "[MELODY", "[ACCOMPANY"};
  for (int s = 0; s < MUSIC_SECTIONS; ++s)
    if (header == kHeaders[s]) return s;
  return NO_SECTION;
}

void ReadStretch(const std::string& line, int section) {
  const std::string text = UpperText(line);
  int& mode = StretchMode[size_t(section)];
  // Tested in this order, the last match winning.
  if (EndsWith(text, "FALSE")) mode = STRETCH_NEVER;
  if (EndsWith(text, "RANDOM")) mode = STRETCH_RANDOM;
  if (EndsWith(text, "RANDOM+")) mode = STRETCH_RANDOM_PLUS;
  if (EndsWith(text, "DOUBLE")) mode = STRETCH_DOUBLE;
}

void ReadPattern(std::string line, int section) {
  line.erase(std::remove(line.begin(), line.end(), '"'), line.end());
  int& count = PatternCount[size_t(section)];
  ++count;
  if (count <= MAX_KEPT_PATTERNS) PatternLines[size_t(section * PATTERN_TABLE_STRIDE + count)] = line;
}

std::string MusicFile(const std::string& kind, int i) { return GamePath("music/" + kind + std::to_string(i) + ".wav"); }

}  // namespace

float NoteLetterRate(char letter) {
  letter = Lower(letter);
  for (const TNoteLetter& note : kNoteLetters)
    if (note.letter == letter) return note.rate;
  return 0.0f;
}

float NoteRate(const std::string& text) { return text.size() == 1 ? NoteLetterRate(text[0]) : 0.0f; }

void ClearTune() {
  PatternLines.fill(std::string());
  PatternCount.fill(0);
  StretchMode.fill(STRETCH_ALWAYS);
}

void ReadTuneLine(const std::string& raw, int& section) {
  const std::string line = Trimmed(raw);
  if (line.empty()) return;
  if (line[0] == '[') {
    const int selected = HeaderSection(line);
    if (selected != NO_SECTION) section = selected;
    return;
  }
  if (section == NO_SECTION) return;
  if (line.size() >= 7 && UpperText(line.substr(0, 7)) == "STRETCH") {
    ReadStretch(line, section);
  } else if (line[0] == '"') {
    ReadPattern(line, section);
  }
}

bool ReadTuneFile(const std::string& path) {
  ClearTune();
  TStreamPtr file = ReadFile(path);
  if (!file) return false;
  int section = NO_SECTION;
  while (!file->Eof()) ReadTuneLine(file->ReadLine(), section);
  file->Close();
  return true;
}

void LoadMusicSamples() {
  MusicSamples.fill(nullptr);
  InstrumentCount.fill(0);
  static const char* const kInstruments[3] = {"bass", "lead", "accompany"};
  for (int i = 1; i <= 8; ++i) {
    MusicSamples[size_t(i)] = LoadSound(MusicFile("d1-", i), 0);
    MusicSamples[size_t(i + 10)] = LoadSound(MusicFile("d2-", i), 0);
    for (int kind = 0; kind < 3; ++kind) {
      const std::string path = MusicFile(kInstruments[kind], i);
      if (FileType(path) != FILETYPE_FILE) continue;
      InstrumentCount[size_t(kind)] = i;
      MusicSamples[size_t(i + 20 + 10 * kind)] = LoadSound(path, 0);
    }
  }
}

void ResetMusicFile() {
  MusicSamples.fill(nullptr);
  InstrumentCount.fill(0);
  ClearTune();
}
