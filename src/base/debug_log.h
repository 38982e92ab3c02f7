// The debug log "Debug.txt": a plain record of start-up, mode changes, screenshots and closing,
// rewritten every run, for players to send along with a problem report.
#pragma once
#include <string>

#include "platform/stream.h"

extern TStreamPtr DebugLogStream;  // null until opened, or when "Debug.txt" can't be created

// Creates the log at path ("Debug.txt" in the files folder; start-up does this once) and takes the
// platform's warnings from then on, each as a line of its own after a tab.
void OpenDebugLog(const std::string& path);
// Writes text and CR LF and flushes it; does nothing without a log. Any thread may call it.
void LogLine(const std::string& text);
// Closes the log (the farewell screen, just before the process ends).
void CloseDebugLog();
