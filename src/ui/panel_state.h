// Where the settings panel stands: open or closed and how far it has slid. The frame presentation
// toggles it, the panel's drawing slides it, and every screen asks whether it is shown, since the
// panel then has the keys and the clicks made over it.
#pragma once

extern int PanelOpen;    // 1 while open or opening; Tab toggles it
extern int PanelOffset;  // vertical slide offset, -300 hidden .. 20 open

// True while any of the panel is on screen.
bool PanelShown();
// Slid all the way down: its control buttons bind what is pressed over them.
bool PanelFullyOpen();
// Hidden and closed (start-up; tests).
void ResetPanelState();
