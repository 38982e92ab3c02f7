// Frame presentation: every screen ends its frame in PresentFrame, which runs the hot keys (Tab
// settings, F11 screenshot, F12 overlay, Escape pause, Alt+F4 and window close), draws what lies
// on top of every screen, paces the program to 30 frames a second (a slower game's frames
// slower) and shows the frame.
#pragma once
#include <string>
#include <vector>

#include "base/game_speed.h"

#include "ui/frame_mouse.h"

extern int OverlayOn;       // 1: the debug overlay is shown (F12 toggles)
extern int LastFrameTime;   // ms when the previous frame ended
extern int FrameTime;       // ms, length of the last frame
extern int FrameRate;       // smoothed frames per second

// The screens above hand in the settings panel's drawing, which runs every frame after the screen's
// own, its claim on the clicks made over it, run right after the frame's mouse capture, and the
// farewell that the exit hot key, the window's close button and the quit signals lead to.
void SetFrontEndSteps(void (*drawPanel)(), void (*claimPanelClicks)(), void (*endProgram)());
// Puts the frame state back to its start values (LastFrameTime from the current clock).
void ResetPresentFrame();

// Finishes the frame. showPointer 1 draws the mouse pointer; the frame lasts at least
// 1000 / frameRate - 2 ms (a game below full speed passes its own rate, every other screen keeps
// 30). Returns 0, or the pause menu's choice when it ran during this call (1 Continue, 99 Quit).
int PresentFrame(int showPointer, double frameRate = kFullFrameRate);
// Escape held as the screens read it: while the settings panel is shown Escape closes the panel,
// and that press means nothing else (no pause, no leaving the title) until it is let go.
bool EscapeHeld();
// What opens the pause menu in a game, and chooses in it: Escape as EscapeHeld reads it, or Start
// on a pad the standard layer reads (not while the settings panel is shown).
bool PauseInputHeld();
// F4 held with left or right Alt: the exit hot key of every screen.
bool ExitHotKeyHeld();
// The smoothed rate after a frame of frameTime ms: (1000 / frameTime + 2 * rate) / 3, in whole
// numbers.
int SmoothFrameRate(int rate, int frameTime);
// Bytes of memory the program currently holds (the overlay's "Used Memory : ").
long UsedMemory();
