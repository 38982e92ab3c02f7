// The level editor's check that the level being edited can be finished (F5), and the way it can
// be finished shown by the sheep itself (F6). The search is the level solver's, run as a program
// of its own beside the game: the game's state is global, so a search in this process could not
// run while the level goes on being played and edited.
#pragma once
#include <string>

// The solver program; empty for "level_solver" beside the game's own executable.
extern std::string LevelSolverPath;

// What the solver answered for one level, read from its output.
struct TSolverAnswer {
  bool read = false;         // the output held an answer for the level
  bool completable = false;
  int frames = 0;            // fewest frames until the sheep passes the left edge
  std::string route;         // one input a frame: "." none, "L" Left, "U" jump, "B" both
};
TSolverAnswer ReadSolverAnswer(const std::string& output, int level);

// Once a frame in the editor, after the frame's rules and before PresentFrame: F5 and F6, the
// running check, and the route being walked (its input for the next frame goes in here).
void LevelCheckFrame();
// Stops a running check and a route being walked and forgets the last answer (the start and the
// end of an editing session; tests).
void ResetLevelCheck();
// A check is running; the route is being walked.
bool LevelCheckRunning();
bool RouteWalking();
