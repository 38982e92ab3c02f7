#include "base/debug_log.h"

#include <mutex>

#include "platform/platform_log.h"

TStreamPtr DebugLogStream;

namespace {

// The sound thread reports through the platform's sink too, so lines are written one at a time.
std::mutex log_lock;

void LogPlatformWarning(const std::string& line) { LogLine("\t" + line); }

}  // namespace

void OpenDebugLog(const std::string& path) {
  {
    std::lock_guard<std::mutex> hold(log_lock);
    DebugLogStream = WriteFile(path);
  }
  if (DebugLogStream) SetPlatformLogSink(LogPlatformWarning);
}

void LogLine(const std::string& text) {
  std::lock_guard<std::mutex> hold(log_lock);
  if (!DebugLogStream) return;
  DebugLogStream->WriteLine(text);
  // Flushed line by line: the log exists for problem reports, and a crash must not take its
  // last lines with it.
  DebugLogStream->Flush();
}

void CloseDebugLog() {
  SetPlatformLogSink(nullptr);
  std::lock_guard<std::mutex> hold(log_lock);
  if (DebugLogStream) DebugLogStream->Close();
  DebugLogStream.reset();
}
