#include "framework/main_program.h"

void Main() {}
