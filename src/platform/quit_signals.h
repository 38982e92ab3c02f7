// Interrupt, terminate and hang-up signals ask the program to close in an orderly way: the handler
// only notes the request, and the frame routine closes the program like the exit hot key does.
#pragma once

// Installs the handlers for SIGINT, SIGTERM and SIGHUP (once; later calls do nothing).
void InstallQuitSignals();
// 1 once one of those signals has arrived.
int QuitSignalled();
// Forgets a request (tests).
void ResetQuitSignal();
