// Frame presentation state: what the end of every frame measures and captures, and the floating
// messages waiting to be drawn.
#include "framework/present_frame.h"

#include "platform/clock.h"

int OverlayOn = 1;
int FrameSkipped = 0;
int CollectCount = 0;
int LastFrameTime = 0;
int FrameTime = 0;
int FrameRate = 0;
int FrameMouseX = 0;
int FrameMouseY = 0;
int PrevMouseX = 0;
int PrevMouseY = 0;
int ClickLeft = 0;
int ClickRight = 0;
std::vector<ment> MessageList;

void ResetPresentFrame() {
  OverlayOn = 1;
  FrameSkipped = 0;
  CollectCount = 0;
  LastFrameTime = Millisecs();
  FrameTime = 0;
  FrameRate = 0;
  FrameMouseX = 0;
  FrameMouseY = 0;
  PrevMouseX = 0;
  PrevMouseY = 0;
  ClickLeft = 0;
  ClickRight = 0;
  MessageList.clear();
}
