#include "framework/debug_log.h"

TStreamPtr DebugLogStream;

void OpenDebugLog() { DebugLogStream = WriteFile("Debug.txt"); }

void LogLine(const std::string& text) {
  if (DebugLogStream) DebugLogStream->WriteLine(text);
}

void CloseDebugLog() {
  if (DebugLogStream) DebugLogStream->Close();
  DebugLogStream.reset();
}
