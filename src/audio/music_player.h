// The music player: a step sequencer of 64 steps a bar on five voices (two drum kits, bass,
// melody, accompaniment) that picks its pattern lines, chords and instruments reproducibly from
// the tune seed. PresentFrame advances it once a frame; this game starts no tune, so it idles.
#pragma once
#include <array>
#include <string>

enum { MUSIC_VOICES = 5, STEPS_PER_BAR = 64, MUTE_ENTRIES = 20 };
// Voices, each on the channel slot of its own number.
enum { VOICE_DRUM1 = 0, VOICE_DRUM2 = 1, VOICE_BASS = 2, VOICE_MELODY = 3, VOICE_ACCOMPANY = 4 };

extern int MusicPlaying;       // 1 from LoadTune until StopMusic
extern int TuneSeed;           // seed of every pick of the tune
extern int NextTick;           // Millisecs() of the next step
extern int TickLength;         // milliseconds a step: tempo / 2
extern int Step;               // 0..63 within the bar (-1 before the first step)
extern int Bar;                // bar within the phrase, from 1
extern int Regenerations;      // bars set up since the tune started, from -1
extern std::string ChordLine;  // roots of the phrase, a letter every 16 steps
// Per voice and step: the drum digit (voices 0, 1) or the note rate (2..4); 0 for nothing.
extern std::array<std::array<float, STEPS_PER_BAR>, MUSIC_VOICES> StepTable;
extern std::array<std::string, MUSIC_VOICES> VoicePattern;
extern std::array<int, MUTE_ENTRIES> Muted;      // sits out this phrase
extern std::array<int, MUTE_ENTRIES> MutedNext;  // sits out the next phrase
extern std::array<int, MUTE_ENTRIES> LeadIn;     // 1 comes in a chord early, 2 only in the last 8 steps
extern std::array<int, 3> Instrument;            // bass, lead, accompaniment sample numbers
extern float MusicSpread;                        // pan of the side voices

// Parses "music/" name ".ini" and starts it: 1 when started, 0 (the player untouched) when the
// file doesn't exist. seed -1 takes the clock; tempo is twice the milliseconds of a step.
int LoadTune(const std::string& name, int seed, int tempo);
// Called once a frame by PresentFrame: plays at most one step when its time has come.
void MusicUpdate();
// Sets up the next bar, and a new phrase when the chord line is used up.
void NewBar();
// A seeded pick among a section's pattern lines, stretched as the section's mode says.
std::string PickPattern(int section, int offset);
// A seeded pick among the chord lines, never stretched.
std::string PickChords(int offset);
// Stops the player and every channel of slots 0..19.
void StopMusic();
void SetMusicSpread(float spread);

// A space after every character: the pattern at half speed.
std::string StretchPattern(const std::string& pattern);
// 2 in the phrase's last 8 steps, 1 on the rest of its last chord, else 0.
int LeadInPhase(int step, int bar, int chordLength);
// Whether voice v plays its note this step, given the phrase's mute decisions and the phase.
bool VoiceComesIn(int voice, int phase);
// Back to idle with every table at its start values (tests).
void ResetMusicPlayer();
