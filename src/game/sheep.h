// The sheep: its step every frame (death timer, walking, jumping, drawing) and the slide of
// worlds 7 and 8.
#pragma once

// After the object pass: the death timer and the restart after a death, the progression
// bookkeeping, the sheep drawn, then walking and jumping from the controls.
void SheepStep();
// Worlds 7 and 8: once started, the sheep slides on left by itself while Left is let go.
void SlideStep();
// The walking step a frame in the current world.
float WalkStep();
