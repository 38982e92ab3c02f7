// The whole program back at its start: every module's state at its start values, layer by layer
// from the platform up, and the front end's steps handed to the layers below, as start-up leaves
// them before it reads the setup. Tests start and end with it; so does a tool that runs the
// program's parts without its start-up (the music renderer). The rules keep no state of their
// own: the game's record is reset with the game.
#pragma once

void ResetEveryModule();
