// Where each object's parts are drawn on a frame, from the columns as the object pass left them:
// the sheet frames, points, turns and scales, in drawing order. The screen draws them; the rules
// never do.
#pragma once
#include <vector>

#include "rules/game_rules.h"

struct TObjectSprite {
  int column = 0;        // each column's parts start from a reset drawing state
  bool warning = false;  // the warning sign (its own image, frame 0) rather than a sheet frame
  int frame = 0;         // sheet frame; one outside the sheet draws nothing
  float x = 0.0f;        // playfield units, the sprite's centre
  float y = 0.0f;
  float angle = 0.0f;    // degrees
  float scaleX = 1.0f;
  float scaleY = 1.0f;
};

// The picture's objects, column by column, each sign before the object it announces.
void ObjectSprites(const TFramePicture& picture, std::vector<TObjectSprite>& out);
