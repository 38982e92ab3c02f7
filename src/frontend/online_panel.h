// The title screen's Online tab: the login panel until a login succeeds, then the "Refresh Scores"
// button, the message of the day and the online table of the world in view. Reached only when the
// build's OnlineTab is 1.
#pragma once

extern int LoginField;  // 0 none, 1 user name, 2 password being typed

// One frame of the tab's work, every title frame: with shown false only the online table's
// ranking runs (after a login); with shown true the tab draws, takes clicks and typing, and
// moves the refresh on.
void OnlineFrame(int panelX, int panelW, bool shown);
