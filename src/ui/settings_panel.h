// The settings panel that slides down over any screen on Tab: display, controls and audio.
#pragma once

extern int PanelOpen;    // 1 while open or opening; Tab toggles it
extern int PanelOffset;  // vertical slide offset, -300 hidden .. 20 open

// Called by PresentFrame every frame, after the screen's drawing; draws only while shown.
void DrawSettingsPanel();
// Hidden and closed (tests).
void ResetSettingsPanel();
