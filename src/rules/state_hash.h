// A hash of every field of the rules' state, floats by their bits: two states hash the same only
// when one plays on exactly as the other. Replays and builds are compared by it.
#pragma once
#include <cstdint>

#include "rules/game_rules.h"

uint64_t StateHash(const TRulesState& state);
