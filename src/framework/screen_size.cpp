#include "framework/screen_size.h"

int CurrentWidth = 800;
int CurrentHeight = 600;
int VirtualWidth = 1280;
int VirtualHeight = 960;
int DisplayOpen = 0;

void ResetScreenSize() {
  CurrentWidth = 800;
  CurrentHeight = 600;
  VirtualWidth = 1280;
  VirtualHeight = 960;
  DisplayOpen = 0;
}
