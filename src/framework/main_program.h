// Start-up and the main program: the global state every screen shares, and Main, the spine of
// the process.
#pragma once

void Main();
