#include "scores/score_file.h"

void BuildScrambleKey() {}

void LoadScores() {}

void SaveScores() {}
