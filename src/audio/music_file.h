// Tune definition files and the music sample bank: the bank of one-shot WAV samples under
// "music/", the parser of the text files that list each section's pattern lines, and the note
// letters that give playback rates.
#pragma once
#include <array>
#include <string>

#include "platform/sound.h"

// Sections of a tune, in file and table order.
enum { SECTION_DRUMS = 0, SECTION_CHORDS = 1, SECTION_BASS = 2, SECTION_MELODY = 3, SECTION_ACCOMPANY = 4 };
enum {
  MUSIC_SECTIONS = 5,
  PATTERN_TABLE_STRIDE = 1000,  // section s keeps line k at s * 1000 + k
  MAX_KEPT_PATTERNS = 998,      // later lines of a section are counted but not kept
  NO_SECTION = -1
};
// Stretch modes of a section: how its picked patterns are slowed down.
enum { STRETCH_ALWAYS = -1, STRETCH_NEVER = 0, STRETCH_RANDOM = 1, STRETCH_RANDOM_PLUS = 2, STRETCH_DOUBLE = -2 };

// Sample bank: 1..8 drum kit 1, 11..18 drum kit 2, 21..28 bass, 31..38 lead, 41..48
// accompaniment; null where the file is missing.
extern std::array<TSoundPtr, 49> MusicSamples;
// Bass, lead and accompaniment: the highest sample number 1..8 whose file exists, 0 for none.
extern std::array<int, 3> InstrumentCount;
// The parsed tune: pattern line k (from 1) of section s at s * 1000 + k.
extern std::array<std::string, MUSIC_SECTIONS * PATTERN_TABLE_STRIDE> PatternLines;
// Pattern lines read per section, kept or not.
extern std::array<int, MUSIC_SECTIONS> PatternCount;
extern std::array<int, MUSIC_SECTIONS> StretchMode;

// Reloads the bank from the game folder's "music/" (at every display change, after the engine
// test). Missing files leave empty slots.
void LoadMusicSamples();
// The playback rate of a one-character note text (1 = the sample's own pitch); 0 for no note,
// any other character or text of another length.
float NoteRate(const std::string& text);
float NoteLetterRate(char letter);

// Forgets the parsed tune: no lines, every section's stretch mode back to "always".
void ClearTune();
// Takes one line of a definition file into the tune; section is the section selected so far
// (NO_SECTION before the first valid header) and is updated by headers.
void ReadTuneLine(const std::string& line, int& section);
// Clears the tune and parses the file; false, with the tune cleared, when it can't be opened.
bool ReadTuneFile(const std::string& path);
// Empties the bank and the tune (tests).
void ResetMusicFile();
