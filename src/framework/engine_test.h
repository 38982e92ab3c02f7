// The engine test: a short intro with the two logos sliding in, then a measuring phase that draws
// ever more invisible sprites until the frame rate drops, setting the per-frame sprite budgets.
#pragma once

// Judges one measured step: with frame rate F against the threshold D (target - 2) after drawing
// n sprites, records n as the best count when it held, and tells whether to stop measuring.
bool JudgeEngineStep(int frame_rate, int threshold, int sprites, int& best);
// Sets the budgets from the best count (shares 0.4, 0.4, 0.2) and logs them, then raises them to
// their lower limits (1000, 500, 250).
void SetBudgetsFromEngineTest(int best, int target);
// Runs the whole test; scale is the test sprites' scale (the first value is not used).
void RunEngineTest(int unused, float scale);
