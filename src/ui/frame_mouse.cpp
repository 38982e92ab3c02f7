#include "ui/frame_mouse.h"

#include "platform/display.h"
#include "platform/input.h"

int FrameMouseX = 0;
int FrameMouseY = 0;
int PrevMouseX = 0;
int PrevMouseY = 0;
int ClickLeft = 0;
int ClickRight = 0;

void CaptureFrameMouse() {
  PrevMouseX = FrameMouseX;
  PrevMouseY = FrameMouseY;
  FrameMouseX = int(VirtualMouseX());
  FrameMouseY = int(VirtualMouseY());
  ClickLeft = MouseHit(1);
  ClickRight = MouseHit(2);
}

void ResetFrameMouse() { FrameMouseX = FrameMouseY = PrevMouseX = PrevMouseY = ClickLeft = ClickRight = 0; }
