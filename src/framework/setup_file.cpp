#include "framework/setup_file.h"

int AudioDriverChosen = 0;

void ReadSetupFile() {}

void WriteSetupFile() {}
