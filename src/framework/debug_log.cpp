#include "framework/debug_log.h"

#include "framework/game_paths.h"

TStreamPtr DebugLogStream;

void OpenDebugLog() { DebugLogStream = WriteFile(FilesPath("Debug.txt")); }

void LogLine(const std::string& text) {
  if (!DebugLogStream) return;
  DebugLogStream->WriteLine(text);
  // Flushed line by line: the log exists for problem reports, and a crash must not take its
  // last lines with it.
  DebugLogStream->Flush();
}

void CloseDebugLog() {
  if (DebugLogStream) DebugLogStream->Close();
  DebugLogStream.reset();
}
