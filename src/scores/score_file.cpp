#include "scores/score_file.h"

void BuildScrambleKey() {}
