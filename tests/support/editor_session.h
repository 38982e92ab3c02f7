// The level editor started headless, as E on the title screen starts it: a 1280 x 960 display
// (window and virtual pixels the same), the player's levels made from the shipped "blank.txt",
// and the editing session's first level loaded.
#pragma once
#include <string>

#include "support/headless_game.h"

struct TEditorSession {
  THeadlessGame game;
  TEditorSession();
  std::string MyLevels() const { return game.ReadFile("Levels/My Levels.txt"); }
  std::string Work() const { return game.ReadFile("Levels/WIP.txt"); }
  // Editor frames, each a whole game frame.
  static void Play(int frames);
};
