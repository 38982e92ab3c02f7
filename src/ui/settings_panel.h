// The settings panel that slides down over any screen on Tab: display, controls and audio.
#pragma once

extern int PanelOpen;    // 1 while open or opening; Tab toggles it
extern int PanelOffset;  // vertical slide offset, -300 hidden .. 20 open

// Called by PresentFrame every frame, after the screen's drawing; draws only while shown. Its
// widgets see the clicks the panel claimed at the end of the previous frame in ClickLeft and
// ClickRight (the screen has read its own by then).
void DrawSettingsPanel();
// Called by PresentFrame right after the frame's mouse capture: clicks made with the pointer over
// the shown panel belong to the panel alone, so the screen under it sees none.
void ClaimPanelClicks();
// Hidden and closed (tests).
void ResetSettingsPanel();
