#include "game/level_editor.h"

bool KeyLatch = false;
bool MouseLatch = false;

void EditorStep() {}

void EditorLatchUpkeep() {}
