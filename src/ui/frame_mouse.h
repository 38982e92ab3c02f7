// The mouse as the frame sees it: position and clicks captured once per frame by PresentFrame,
// read by the screens and the widgets drawn during the next frame.
#pragma once

extern int FrameMouseX;  // mouse in virtual pixels, captured once per frame
extern int FrameMouseY;
extern int PrevMouseX;   // the previous frame's values
extern int PrevMouseY;
extern int ClickLeft;    // left clicks since the previous capture
extern int ClickRight;   // right clicks since the previous capture

// Moves the position to Prev, reads the pointer in virtual pixels and takes the clicks from the
// mouse-hit counters (which reset when read). Called by PresentFrame once a frame.
void CaptureFrameMouse();
// All back to 0 (tests, start-up).
void ResetFrameMouse();
