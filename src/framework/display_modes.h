// Display modes: the usable modes, the open display and the virtual resolution every screen
// draws in.
#pragma once

// Opens (or re-opens) the display at the chosen mode and reloads everything that belongs to it.
void ApplyDisplayMode();
