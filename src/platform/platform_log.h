// One sink for the platform's warnings: a file that failed to load, a device that stopped, an X
// error. The debug log connects itself here at start-up, so each failure leaves a line a player
// can send us; before that (and in tools) warnings go to standard error.
#pragma once
#include <string>

using TPlatformLogSink = void (*)(const std::string& line);

// Reports one warning (one line, no line end) to the sink, or to standard error without one.
// Safe to call from the sound thread: calls are serialised.
void PlatformWarning(const std::string& line);
// Connects a sink; nullptr goes back to standard error.
void SetPlatformLogSink(TPlatformLogSink sink);
