#include "ui/panel_state.h"

int PanelOpen = 0;
int PanelOffset = -300;

bool PanelShown() { return PanelOffset >= -299; }

bool PanelFullyOpen() { return PanelOffset >= 0; }

void ResetPanelState() {
  PanelOpen = 0;
  PanelOffset = -300;
}
