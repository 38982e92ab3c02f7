// The steps of one frame, in the order StepFrame runs them (game_rules.cpp): each is one concern
// of the rules, in a file of its own.
#pragma once
#include "rules/game_rules.h"

// sheep.cpp: after the object pass, the death timer and the restart after a death, the
// progression bookkeeping of a game, the sheep's height and jump, its picture, then walking and
// jumping from the input.
void SheepStep(TRulesState& state, const TFrameInput& input, TFrameEvents& events);
// sheep.cpp: worlds 7 and 8: once started, the sheep slides on left by itself while Left is let go.
void SlideStep(TRulesState& state, const TFrameInput& input);
// progression.cpp: in a game, in the sheep's step after the death timer: the life lost at timer
// 30 and the world reached.
void ProgressBookkeeping(TRulesState& state, TFrameEvents& events);
// progression.cpp: in a game, after the slide: the heads-up values, the bonus count-down, the
// skip and the level end.
void LevelEndStep(TRulesState& state, const TFrameInput& input, TFrameEvents& events);
