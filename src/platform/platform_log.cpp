#include "platform/platform_log.h"

#include <cstdio>
#include <mutex>

namespace {
std::mutex sink_lock;
TPlatformLogSink current_sink = nullptr;
}  // namespace

void PlatformWarning(const std::string& line) {
  std::lock_guard<std::mutex> hold(sink_lock);
  if (current_sink) {
    current_sink(line);
    return;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
}

void SetPlatformLogSink(TPlatformLogSink sink) {
  std::lock_guard<std::mutex> hold(sink_lock);
  current_sink = sink;
}
