#include "ui/controls.h"

std::array<int, 101> ControlTable{};

void SetDefaultControls() {
  ControlTable.fill(0);
  ControlTable[0] = 38;   // up arrow
  ControlTable[3] = 37;   // left arrow
  ControlTable[5] = 39;   // right arrow
  ControlTable[8] = 40;   // down arrow
  ControlTable[10] = 90;  // Z
  ControlTable[11] = 88;  // X
  ControlTable[12] = 67;  // C
  ControlTable[13] = 86;  // V
}

void SetUpJoysticks() {}
