// The title screen: the program's front end, run until the player leaves it.
#pragma once

void RunTitleScreen();
