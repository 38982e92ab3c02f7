// The settings panel that slides down over any screen on Tab: display, controls and audio.
#pragma once
#include <string>

extern int PanelPlayers; // players whose control buttons are shown; start-up sets 4

// Called by PresentFrame every frame, after the screen's drawing; draws only while shown. Its
// widgets see the clicks the panel claimed at the end of the previous frame in ClickLeft and
// ClickRight (the screen has read its own by then).
void DrawSettingsPanel();
// Called by PresentFrame right after the frame's mouse capture: clicks made with the pointer over
// the shown panel belong to the panel alone, so the screen under it sees none.
void ClaimPanelClicks();
// Hidden and closed, no players' buttons (tests).
void ResetSettingsPanel();

// An icon and a caption that cycles Settings[element] through as many values as there are
// non-empty labels (label0 "AUDIO": the audio drivers). A left click over it moves to the next
// value. 1 while the pointer is over it.
int OptionButton(int element, int x, int y, int iconFrame, const std::string& label0,
                 const std::string& label1 = "", const std::string& label2 = "",
                 const std::string& label3 = "", const std::string& label4 = "",
                 const std::string& label5 = "");
// A horizontal volume slider dragged with the left button; returns the new value.
int Slider(int value, int x, int y, const std::string& label);
