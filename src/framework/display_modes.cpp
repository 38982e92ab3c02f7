#include "framework/display_modes.h"

void ApplyDisplayMode() {}
