// The scrambled score file "nuscores.dat" and the key it is scrambled with.
#pragma once

// Derives the scrambling key; start-up calls it once, before any score is read or written.
void BuildScrambleKey();
// Replaces the score tables and the stored login with the contents of "nuscores.dat".
void LoadScores();
// Writes the score tables and the login to "nuscores.dat".
void SaveScores();
