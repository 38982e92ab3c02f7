// The game's screen: what a frame of the rules shows, drawn from their state and the picture a
// step took, in the frame's order (borders, objects, sheep, the frame around the playfield, the
// heads-up texts), and the "Game Over" end screen.
#pragma once
#include "rules/game_rules.h"

// The border strips of the level's world pair at the level's offsets, first after the frame's
// clear, before the frame's step.
void DrawBorders(const TRulesState& state);
// Forgets the copy the strips were last drawn from (tests).
void ForgetBorders();
// The objects as they moved, then the sheep, from the step's picture.
void DrawObjectsAndSheep(const TFramePicture& picture);
// The ground band, the dark top and bottom, and the sides darkened towards the screen's edges.
void DrawPlayfieldFrame();
// A game's "World", "Lives", "Bonus" and "Score" texts.
void DrawHeadsUpTexts(const TFramePicture& picture);
// "Game Over" in yellow with a dark rim and a white halo, flipped and left on screen.
void DrawEndScreen();
