#include "framework/title_screen.h"

void RunTitleScreen() {}
