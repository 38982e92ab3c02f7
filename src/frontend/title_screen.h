// The title screen: the program's front end. A side panel with the score table and the About
// page slides in beside the world chooser, the start prompt, the logo and a scrolling strip of
// pictures; a fire key starts a game, E the level editor, Escape leaves.
#pragma once
#include <array>
#include <string>

enum TTitleTab { TAB_HISCORES = 0, TAB_ONLINE = 1, TAB_ABOUT = 2 };

extern const int OnlineTab;  // 1 shows the Online tab; 0 in the default build
extern int SlideIn;     // 0 .. 32: how far the screen has slid in; 0 after every game
extern int TitleTab;    // the selected tab (TTitleTab)
extern std::array<std::string, 100> AboutText;  // About page, lines 1 to AboutCount - 1
extern int AboutCount;

// Width of the side panel for the real display width: wider at small sizes, where text is larger.
int TitlePanelWidth(int current_width);
// What the start prompt names for the input bound to fire 1: "Return" when it is unbound, a pad's
// input with its pad, by its printed name where the pad's layout is known ("Pad 1 A", else
// "Pad 1 Button 0").
std::string StartInputName(int code);
// Which speed a table of these game flags is for: "Game Speed 85 %".
std::string SpeedCaption(int flags);
// "Press Start (...) To Begin", naming fire 1's input and the south button of the first pad that
// plays by its layout ("Press Start (Z or Pad 1 A) To Begin").
std::string StartPrompt();

// One frame of the title screen, a game or editing session started from it included. Returns
// false when Escape ends the screen.
bool TitleFrame();
// Frames until the screen ends.
void RunTitleScreen();
// The About page's lines, as start-up makes them.
void ResetAboutPage();
// Start values (the main program's creation of the screen; tests).
void ResetTitleScreen();
